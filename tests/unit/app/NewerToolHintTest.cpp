#include "AppFixture.h"

#include "sim/SimDetector.h"

#include <algorithm>

namespace zor::test {
namespace {

constexpr const char* kHint = "Используйте ZOR Tool 1.6.0";

// Two "ZOR-11", which ask for a newer tool, read automatically.
class NewerToolHintTest : public AppFixture {
protected:
    void SetUp() override
    {
        bus.add(SimModel::Zor11, 1);
        bus.add(SimModel::Zor11, 2);
        MakeForm();
        SearchUpTo(2);
        sent.clear();
    }
    long Hints() const
    {
        const auto texts = dialogs.texts();
        return std::count(texts.begin(), texts.end(), kHint);
    }
    size_t LogLines(const std::string& part) const
    {
        size_t n = 0;
        for (size_t at = form->Log.Text().find(part); at != std::string::npos; at = form->Log.Text().find(part, at + 1))
            ++n;
        return n;
    }
};

TEST_F(NewerToolHintTest, OpensAfterTheCycleAndLosesNoAnswerWhileOpenOrWhenClosed)
{
    struct Opened {
        bool updating, readBusy;
    };
    std::vector<Opened> opened;
    dialogs.whileOpen = [&] {
        opened.push_back({ form->Updating(), form->ReadBusy() });
        // Reading goes on while the technician reads the box; it is closed
        // just after the first read of a later cycle has been answered.
        const size_t n = sent.size();
        loop.advanceUntil([&] { return sent.size() >= n + 3 && sent.back()[1] == 4; }, 10000);
        loop.advance(100);
    };
    Select(1);
    const int32_t rx = form->RxCount();
    form->ActRenewExecute();
    loop.advance(20000);
    form->ActReadStopExecute();
    loop.advance(1000);

    EXPECT_EQ(Hints(), 1);
    ASSERT_FALSE(opened.empty());
    EXPECT_FALSE(opened[0].updating) << "opened from inside the decoding of an answer";
    EXPECT_FALSE(opened[0].readBusy) << "opened before the read cycle had ended";
    // Every cycle is the gas register, then the panel block; every request
    // was answered, and every answer counted and logged.
    ASSERT_GE(sent.size(), 20u);
    for (size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(sent[i][1], i % 2 == 0 ? 4 : 3) << "request " << i;
    EXPECT_EQ(form->RxCount() - rx, static_cast<int32_t>(sent.size()));
    EXPECT_EQ(LogLines("Функция:0x04  Регистр:0x0105"), sent.size() / 2);
}

TEST_F(NewerToolHintTest, OncePerDevicePerSelection)
{
    const auto readAWhile = [&](int address) {
        Select(address);
        form->ActRenewExecute();
        loop.advance(10000);
        form->ActReadStopExecute();
    };
    readAWhile(1);
    EXPECT_EQ(Hints(), 1);
    readAWhile(1); // pressed again: still the same selection
    EXPECT_EQ(Hints(), 1);
    readAWhile(2);
    EXPECT_EQ(Hints(), 2);
    readAWhile(1);
    EXPECT_EQ(Hints(), 3);
    for (const auto& box : dialogs.shown) {
        EXPECT_EQ(box.owner, forms::DialogOwner::Main);
        EXPECT_EQ(box.kind, forms::MessageKind::Information);
        EXPECT_EQ(box.buttons, forms::MessageButtons::Ok);
    }
}

} // namespace
} // namespace zor::test
