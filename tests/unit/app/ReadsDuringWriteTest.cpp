#include "AppFixture.h"

#include "sim/SimDetector.h"

#include <functional>

namespace zor::test {
namespace {

constexpr const char* kWait = "Дождитесь окончания записи!";
constexpr const char* kDone = "Параметры изменены!";

// A read sent between a step of a write operation and its echo takes the
// echo's place: the purge drops it, or it comes back under the read's tag.
// Reads asked for meanwhile wait for the operation, or are refused with a
// word; the operation ends as it would have.
class ReadsDuringWriteTest : public AppFixture {
protected:
    // H2S (one decimal) at #5, read; threshold 1 entered as 2.0.
    SimDetector& Open()
    {
        SimDetector& d = bus.add(SimModel::Zor10, 5).gas(25).limits(100, 500);
        OpenRead(5);
        form->Panel.EditLimit1.setValue(2.0);
        return d;
    }
    // The parameter write, up to the moment the magnet step's echo is on its
    // way back.
    void StartWrite()
    {
        form->ActWriteOptExecute();
        ASSERT_TRUE(loop.advanceUntil([&] { return WritesSent().size() == 2; }, 5000));
        loop.advance(100);
    }
    void ExpectWritten(SimDetector& d)
    {
        EXPECT_EQ(form->WriteOp(), woNone);
        EXPECT_EQ(d.holding(9), 20);
        EXPECT_FALSE(d.writePermission());
        ASSERT_FALSE(WritesSent().empty());
        EXPECT_EQ(WritesSent().back(), Write6(5, 1, 0));
    }
    // The frames sent after the closing write.
    std::vector<Frame> After() const
    {
        const auto close = std::find(sent.begin(), sent.end(), Write6(5, 1, 0));
        return close == sent.end() ? std::vector<Frame> {} : std::vector<Frame>(close + 1, sent.end());
    }
};

struct Asked {
    const char* name;
    std::function<void(TFormMain&)> ask;
    std::vector<std::string> boxes;
    // The first request after the operation (the operation's own one-off
    // read follows it after 1000 ms).
    Frame then;
};

class ReadAsked : public ReadsDuringWriteTest, public ::testing::WithParamInterface<Asked> { };

TEST_P(ReadAsked, WaitsForTheOperationOrIsRefused)
{
    const Asked& c = GetParam();
    SimDetector& d = Open();
    StartWrite();
    c.ask(*form);
    Finish(10000);
    loop.advance(2500);

    ExpectWritten(d);
    EXPECT_EQ(dialogs.texts(), c.boxes);
    const std::vector<Frame> after = After();
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after.front(), c.then);
    EXPECT_EQ(windows.loraShown, 0);
    if (form->TimerRead().enabled())
        form->ActReadStopExecute();
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadAsked,
    ::testing::Values(
        // Automatic reading starts with the first tick after the operation.
        Asked { "AutomaticReading", [](TFormMain& f) { f.ActRenewExecute(); }, { kDone },
            Request(5, 4, { 0x01, 0x05, 0x00, 0x01 }) },
        Asked { "DoubleClick", [](TFormMain& f) { f.DevTreeDblClick(); }, { kWait, kDone }, Read3(5, 0, 19) },
        Asked { "LoraMenu", [](TFormMain& f) { f.N11Click(); }, { kWait, kDone }, Read3(5, 0, 19) },
        // The one-off read after an earlier write waits for this one.
        Asked { "OneOffRead", [](TFormMain& f) { f.TimerReadOnesTimer(); }, { kDone }, Read3(5, 0, 19) }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReadsDuringWriteTest, AWriteRightAfterAnotherEndsAndTheOneOffReadFollowsIt)
{
    SimDetector& d = Open();
    form->ActWriteOptExecute();
    Finish();
    // Within the second after the first write, when its one-off read is due.
    form->Panel.EditLimit1.setValue(3.0);
    form->ActWriteOptExecute();
    Finish(10000);
    loop.advance(1500);

    EXPECT_EQ(form->WriteOp(), woNone);
    EXPECT_EQ(d.holding(9), 30);
    EXPECT_FALSE(d.writePermission());
    EXPECT_EQ(dialogs.texts(), (std::vector<std::string> { kDone, kDone }));
    EXPECT_EQ(sent.back(), Read3(5, 0, 19));
}

TEST_F(ReadsDuringWriteTest, TheLoraWindowsReadWaitsForItsWrite)
{
    bus.add(SimModel::Zor10, 5).gas(25);
    OpenRead(5);
    windows.whileLoraOpen = [&] {
        form->FormLora().BitBtnRFWriteClick();
        loop.advance(100);
        form->FormLora().BitBtnReadClick();
        loop.advanceUntil([&] { return form->WriteOp() == woNone; }, 10000);
        loop.advance(1000);
    };
    form->N11Click();
    loop.advance(1000);

    ASSERT_EQ(windows.loraShown, 1);
    EXPECT_EQ(form->WriteOp(), woNone);
    EXPECT_EQ(Status(), "Успешно!");
    EXPECT_EQ(form->FormLora().Caption.text(), "Успешно!");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, kWait);
    EXPECT_EQ(dialogs.shown[0].owner, forms::DialogOwner::Lora);
    EXPECT_EQ(sent.back(), Write6(5, 64, 1));
}

} // namespace
} // namespace zor::test
