// The bus overview against what else happens on the line: commands pressed
// while an overview answer is due, slow detectors, a fast search, a dead bus,
// a lost port, another detector at a row's address.

#include "AppFixture.h"

#include "device/Registers.h"
#include "sim/SimDetector.h"

#include <algorithm>

namespace zor::test {
namespace {

class OverviewGiveWay : public AppFixture {
protected:
    void TwoDetectors(uint32_t turnaroundOf3 = 5)
    {
        bus.add(SimModel::Zor11, 3).gas(1).limits(1000, 2000).turnaround(turnaroundOf3);
        bus.add(SimModel::Zor10, 5).serial(6000005).gas(25).limits(100, 500).version(105);
    }
    int Found() const
    {
        int n = 0;
        for (int a = 1; a <= 247; ++a)
            n += form->DevList().at(a) != nullptr;
        return n;
    }
};

// Detector 3 starts its answers 30 ms after a request; a settings write to 5
// is pressed right after the overview asked 3 for its panel block. The write
// waits for that answer to be in, then goes and succeeds.
TEST_F(OverviewGiveWay, ASlowDetectorsAnswerIsWaitedForAndTheWriteSucceeds)
{
    TwoDetectors(30);
    MakeForm();
    SearchUpTo(5);
    Select(5);
    ReadPanel();
    form->ActOverviewExecute();
    sent.clear();
    loop.advanceUntil([this] { return !sent.empty() && sent.back() == Read3(3, 0, 19); }, 20000);
    ASSERT_EQ(sent.back(), Read3(3, 0, 19));
    form->Panel.EditLimit1.setValue(15.0);
    form->ActWriteOptExecute();
    Finish(10000);
    EXPECT_EQ(form->WriteOp(), woNone);
    EXPECT_EQ(dialogs.texts().back(), "Параметры изменены!");
    EXPECT_EQ(bus.detector(5).holding(RegLimit1), 150);
}

// A fast search of 25 ms a step pressed while an overview request is out:
// every address is probed once, in order, a step apart, and all are found.
TEST_F(OverviewGiveWay, AFastSearchPressedWhileAnOverviewRequestIsOutKeepsItsSteps)
{
    for (uint8_t a : { 1, 2, 3, 4 })
        bus.add(SimModel::Zor10, a).serial(6000000 + a).gas(1);
    MakeForm();
    SearchUpTo(4);
    form->ActOverviewExecute();
    loop.advance(3000);
    form->SetFindPlan({ 1, 8, 25, {} });
    const int32_t tx = form->TxCount();
    loop.advanceUntil([this, tx] { return form->TxCount() != tx; }, 5000);
    ASSERT_NE(form->TxCount(), tx);
    sent.clear();
    sentAt.clear();
    form->ActFindExecute();
    loop.advance(1000);
    std::vector<int> probes;
    std::vector<uint32_t> at;
    for (size_t i = 0; i < sent.size(); ++i)
        if (sent[i][1] == 3 && sent[i][5] == 2) {
            probes.push_back(sent[i][0]);
            at.push_back(sentAt[i]);
        }
    EXPECT_EQ(probes, (std::vector<int> { 1, 2, 3, 4, 5, 6, 7, 8 }));
    for (size_t i = 1; i < at.size(); ++i)
        EXPECT_EQ(at[i] - at[i - 1], 25u) << "probe " << i;
    EXPECT_EQ(Found(), 4);
}

// The bus goes dead while detector 3 is read automatically: the panel and
// every row say so.
TEST_F(OverviewGiveWay, ADeadBusWhileReadingMarksTheRowsSilent)
{
    TwoDetectors();
    MakeForm();
    SearchUpTo(5);
    Select(3);
    form->ActRenewExecute();
    form->ActOverviewExecute();
    loop.advance(10000);
    ASSERT_EQ(RowOf(5).mark, RowMark::None);
    bus.detector(3).silent(true);
    bus.detector(5).silent(true);
    loop.advance(30000);
    EXPECT_TRUE(form->Panel.NoAnswer.on());
    EXPECT_EQ(RowOf(5).mark, RowMark::Silent);
    EXPECT_EQ(RowOf(3).mark, RowMark::Silent);
}

TEST_F(OverviewGiveWay, RowsOfALostPortAreNotShownAsLive)
{
    TwoDetectors();
    MakeForm();
    SearchUpTo(5);
    form->ActOverviewExecute();
    loop.advance(5000);
    ASSERT_EQ(RowOf(3).mark, RowMark::None);
    wire.unplug();
    loop.advance(1000);
    EXPECT_FALSE(form->VSModbus.Connected());
    EXPECT_EQ(RowOf(3).mark, RowMark::Silent);
    EXPECT_EQ(RowOf(5).mark, RowMark::Silent);
}

// Another detector answers at a row's address (a unit swapped on the bus):
// its readings are not shown under the serial number of the one found there.
TEST_F(OverviewGiveWay, AnotherDetectorAtARowsAddressIsSaidAndNotShownAsTheOne)
{
    TwoDetectors();
    MakeForm();
    SearchUpTo(5);
    form->ActOverviewExecute();
    loop.advance(5000);
    ASSERT_FALSE(RowOf(5).cells[ColConc].empty());
    bus.detector(5).serial(6000777).gas(1).limits(2000, 4000);
    loop.advance(20000);
    const RowTexts r5 = RowOf(5);
    EXPECT_EQ(r5.mark, RowMark::Fault);
    EXPECT_EQ(r5.cells[ColState].rfind("Другой прибор по адресу (зав. № 06000777)", 0), 0u) << r5.cells[ColState];
    EXPECT_TRUE(r5.cells[ColConc].empty());
    EXPECT_TRUE(r5.cells[ColLimit1].empty());
}

// A command that waits for the read cycle's answer is not made to wait for
// an overview turn besides: the test current goes as soon as without it.
struct CurrentScene final : AppFixture {
    void TestBody() override { }
    uint32_t WriteAfterPress(bool overview)
    {
        bus.add(SimModel::Zor11, 3).gas(1);
        bus.add(SimModel::Zor11, 5).gas(1);
        MakeForm();
        SearchUpTo(5);
        Select(5);
        form->DevTreeDblClick();
        loop.advance(2000);
        form->ActRenewExecute();
        if (overview)
            form->ActOverviewExecute();
        loop.advance(4000);
        loop.advanceUntil([this] { return form->ReadBusy(); }, 3000);
        sent.clear();
        sentAt.clear();
        const uint32_t pressed = loop.tickCount();
        form->Panel.RBt20mA.setChecked(true);
        form->RBt20mAClick();
        loop.advance(2000);
        for (size_t i = 0; i < sent.size(); ++i)
            if (sent[i] == Write6(5, 3, 1000))
                return sentAt[i] - pressed;
        ADD_FAILURE() << "no write";
        return 0;
    }
};

TEST(OverviewWaitsForTheRead, ATestCurrentWriteIsNotDelayedByTheOverview)
{
    CurrentScene without, with;
    EXPECT_EQ(with.WriteAfterPress(true), without.WriteAfterPress(false));
}

// "Читать" pressed at every moment of an overview turn: the overview's
// answer is never dispatched while the press waits for it (its wait leaves
// the input queue alone), and the read goes out within the answer's time.
struct Pressed final : AppFixture {
    void TestBody() override { }
    using AppFixture::form;
    using AppFixture::loop;
    using AppFixture::sent;
    using AppFixture::sentAt;
    void Prepare()
    {
        bus.add(SimModel::Zor11, 3).gas(1);
        bus.add(SimModel::Zor10, 5).gas(25).version(105);
        MakeForm();
        SearchUpTo(5);
        Select(5);
    }
};

TEST(OverviewWaitsForTheRead, NoOverviewAnswerIsTakenWhileACommandWaitsForIt)
{
    for (uint32_t phase = 0; phase < 500; phase += 10) {
        SCOPED_TRACE(phase);
        Pressed s;
        s.Prepare();
        s.loop.advance(phase);
        s.form->ActOverviewExecute();
        const int32_t rx = s.form->RxCount();
        const uint32_t pressed = s.loop.tickCount();
        s.sent.clear();
        s.sentAt.clear();
        s.form->ActRenewExecute();
        EXPECT_EQ(s.form->RxCount(), rx);
        s.loop.advance(100);
        const Frame read = Request(5, 4, { 0x01, 0x05, 0x00, 0x01 });
        const auto it = std::find(s.sent.begin(), s.sent.end(), read);
        ASSERT_NE(it, s.sent.end());
        // The overview's gas question and answer, 15 characters of 11 bits
        // at 19200 baud and the detector's 5 ms, then the read's 8.
        EXPECT_LE(s.sentAt[static_cast<size_t>(it - s.sent.begin())] - pressed, 30u);
        s.form->ActReadStopExecute();
    }
}

} // namespace
} // namespace zor::test
