#include "AppFixture.h"

#include "sim/SimDetector.h"

#include <functional>

namespace zor::test {
namespace {

constexpr const char* kReadFirst = "Сначала прочитайте прибор!";

// H2S at address 1 (one decimal) and methane at address 3 (two decimals),
// both read once, #3 first, and #1's LoRa settings too: the window knows
// #3's registers, but the panel and the LoRa window show #1's values when #3
// is pressed again.
class PanelOwnershipTest : public AppFixture {
protected:
    void SetUp() override
    {
        bus.add(SimModel::Zor10, 1).gas(25).magnet(500).responseTime(0).applyTestGas(500);
        bus.add(SimModel::Zor10, 3).gas(1).magnet(300).responseTime(0).applyTestGas(300);
        MakeForm();
        SearchUpTo(3);
        Select(3);
        ReadPanel();
        Select(1);
        ReadPanel();
        form->N11Click(); // the LoRa window opens and is closed
        loop.advance(1000);
        ASSERT_EQ(windows.loraShown, 1);
        Select(3); // a press does not read
        sent.clear();
        dialogs.shown.clear();
    }
};

struct Command {
    const char* name;
    std::function<void(TFormMain&)> run;
    forms::DialogOwner owner;
};

class WriteCommand : public PanelOwnershipTest, public ::testing::WithParamInterface<Command> { };

TEST_P(WriteCommand, RefusesUntilThePressedDeviceIsRead)
{
    const Command& c = GetParam();
    c.run(*form);
    loop.advance(5000);

    EXPECT_TRUE(sent.empty()) << "to #" << int(sent.empty() ? 0 : sent[0][0]);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, kReadFirst);
    EXPECT_EQ(dialogs.shown[0].owner, c.owner);
    EXPECT_EQ(windows.dialogShown, 0);
    EXPECT_EQ(form->WriteOp(), woNone);
}

INSTANTIATE_TEST_SUITE_P(Commands, WriteCommand,
    ::testing::Values(Command { "Parameters", [](TFormMain& f) { f.ActWriteOptExecute(); }, forms::DialogOwner::Main },
        Command { "Interface", [](TFormMain& f) { f.ActWriteAddrExecute(); }, forms::DialogOwner::Main },
        Command { "Zero", [](TFormMain& f) { f.ActZeroExecute(); }, forms::DialogOwner::Main },
        Command { "Span", [](TFormMain& f) { f.ActCalbExecute(); }, forms::DialogOwner::Main },
        Command { "Reset", [](TFormMain& f) { f.ActInitExecute(); }, forms::DialogOwner::Main },
        Command { "TestCurrent", [](TFormMain& f) { f.RBt20mAClick(); }, forms::DialogOwner::Main },
        Command { "MeasuredCurrent", [](TFormMain& f) { f.ActWriteCurrExecute(); }, forms::DialogOwner::Main },
        Command { "AdjustMode",
            [](TFormMain& f) {
                f.Panel.ChBoxCurrFix.setChecked(true);
                f.ChBoxCurrFixClick();
            },
            forms::DialogOwner::Main },
        Command { "LoraRadio", [](TFormMain& f) { f.FormLora().BitBtnRFWriteClick(); }, forms::DialogOwner::Lora },
        Command { "LoraKeys", [](TFormMain& f) { f.FormLora().BitBtnABPWriteClick(); }, forms::DialogOwner::Lora }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelOwnershipTest, ThePanelIsMarkedUntilThePressedDeviceAnswersThenItsOwnValuesAreWritten)
{
    const std::string caption = form->Panel.DevPanel.text();
    ASSERT_TRUE(caption.starts_with("#1 : ")) << caption;
    EXPECT_TRUE(form->Panel.OtherDevice.on());
    // Reading starts: the caption keeps naming the device whose values are
    // shown until the pressed one has answered.
    form->DevTreeDblClick();
    EXPECT_EQ(form->Panel.DevPanel.text(), caption);
    EXPECT_TRUE(form->Panel.OtherDevice.on());
    loop.advance(2000);
    EXPECT_FALSE(form->Panel.OtherDevice.on());
    EXPECT_TRUE(form->Panel.DevPanel.text().starts_with("#3 : ")) << form->Panel.DevPanel.text();

    sent.clear();
    form->ActWriteOptExecute();
    Finish();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[1], Write6(3, 8, 300)); // #3's own magnet value
    EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Параметры изменены!" });
}

TEST_F(PanelOwnershipTest, PressingTheShownDeviceAgainStillWantsARead)
{
    Select(1); // the values are #1's, but read before this selection
    EXPECT_TRUE(form->Panel.OtherDevice.on());
    form->ActWriteOptExecute();
    loop.advance(3000);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(dialogs.texts(), std::vector<std::string> { kReadFirst });
    // Pressing the selected device again changes nothing.
    ReadPanel();
    Select(1);
    EXPECT_FALSE(form->Panel.OtherDevice.on());
}

TEST_F(PanelOwnershipTest, AutomaticReadingLiftsTheMarkWithThePanelBlockNotWithTheGas)
{
    form->ActRenewExecute();
    // The gas register has been answered when the panel block is asked for.
    ASSERT_TRUE(loop.advanceUntil([&] { return sent.size() == 2; }, 2000));
    EXPECT_TRUE(form->Panel.OtherDevice.on());
    ASSERT_TRUE(loop.advanceUntil([&] { return !form->ReadBusy(); }, 2000));
    EXPECT_FALSE(form->Panel.OtherDevice.on());
    form->ActReadStopExecute();
}

} // namespace
} // namespace zor::test
