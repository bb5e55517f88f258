#include "AppFixture.h"

#include "sim/SimDetector.h"

#include <optional>

namespace zor::test {
namespace {

// A "ZOR-10" at address 5 in its current-output adjust mode.
class CurrentOutputTest : public AppFixture {
protected:
    SimDetector& Open(bool adjust = true)
    {
        SimDetector& d = bus.add(SimModel::Zor10, 5).gas(2);
        if (adjust)
            d.writeHolding(1, 0x0400);
        MakeForm();
        SearchUpTo(5);
        Select(5);
        ReadPanel();
        sent.clear();
        return d;
    }
};

enum class Press { Rbt01, Rbt04, Rbt20, Write };

struct CurrentCase {
    const char* name;
    Press press;
    forms::RadioButton DevicePanel::*selected; // the radio button the user left checked
    double measured;
    Frame frame;
    std::string status;
    std::string statusAfterAnswer;
};

class CurrentCommand : public CurrentOutputTest, public ::testing::WithParamInterface<CurrentCase> { };

TEST_P(CurrentCommand, WritesOneRegisterWithItsStatus)
{
    const CurrentCase& c = GetParam();
    Open();
    DevicePanel& p = form->Panel;
    (p.*c.selected).setChecked(true);
    p.EditCurr.setValue(c.measured);
    switch (c.press) {
    case Press::Rbt01:
        form->RBt01mAClick();
        break;
    case Press::Rbt04:
        form->RBt04mAClick();
        break;
    case Press::Rbt20:
        form->RBt20mAClick();
        break;
    case Press::Write:
        form->ActWriteCurrExecute();
        break;
    }
    EXPECT_EQ(Status(), c.status);
    loop.advance(1000);
    EXPECT_EQ(sent, std::vector<Frame> { c.frame });
    EXPECT_EQ(Status(), c.statusAfterAnswer);
    EXPECT_EQ(form->WriteOp(), woNone);
    loop.advance(2000);
    EXPECT_FALSE(form->Log.Text().ends_with("Timeout!\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Cases, CurrentCommand,
    ::testing::Values(CurrentCase { "Test1mA", Press::Rbt01, &DevicePanel::RBt01mA, 4.0, Write6(5, 3, 0xF111),
                          "Коррекция 1 мА", "Закрытие разрешений..." },
        CurrentCase { "Test4mA", Press::Rbt04, &DevicePanel::RBt04mA, 4.0, Write6(5, 3, 0), "Коррекция 4 мА",
            "Закрытие разрешений..." },
        CurrentCase { "Test20mA", Press::Rbt20, &DevicePanel::RBt20mA, 4.0, Write6(5, 3, 1000), "Коррекция 20 мА",
            "Закрытие разрешений..." },
        // The correction keeps its status; hundredths of a milliampere.
        CurrentCase { "Measured405At4mA", Press::Write, &DevicePanel::RBt04mA, 4.05, Write6(5, 11, 405),
            "Коррекция 4 мА", "Коррекция 4 мА" },
        CurrentCase { "Measured1234At20mA", Press::Write, &DevicePanel::RBt20mA, 12.34, Write6(5, 11, 1234),
            "Коррекция 20 мА", "Коррекция 20 мА" },
        CurrentCase { "Measured2000At1mA", Press::Write, &DevicePanel::RBt01mA, 20.0, Write6(5, 11, 2000),
            "Коррекция 1 мА", "Коррекция 1 мА" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CurrentOutputTest, RadioButtonDuringAParameterWriteSendsNothing)
{
    Open();
    form->ActWriteOptExecute();
    const std::string status = Status();
    form->RBt20mAClick();
    EXPECT_EQ(Status(), status);
    Finish();
    for (const Frame& f : sent)
        EXPECT_NE(f[3], 3) << "a test current command went out";
}

TEST_F(CurrentOutputTest, SelectionTheDecoderMakesSendsNothing)
{
    SimDetector& d = Open();
    // A view that forwards every change of the button as a click.
    form->Panel.RBt20mA.setObserver([this] {
        if (form->Panel.RBt20mA.checked())
            form->RBt20mAClick();
    });
    d.writeHolding(3, 1000); // the device now drives 20 mA
    ReadPanel();
    EXPECT_TRUE(form->Panel.RBt20mA.checked());
    for (const Frame& f : sent)
        EXPECT_NE(f[1], 6) << "a write went out";
}

struct FixCase {
    const char* name;
    bool adjust; // the device's mode
    bool checked; // the box
    std::optional<uint16_t> setBits, clearBits; // of the cached state word
};

class CurrFix : public CurrentOutputTest, public ::testing::WithParamInterface<FixCase> { };

TEST_P(CurrFix, SwitchesTheAdjustModeOnlyWhenTheBoxDisagrees)
{
    const FixCase& c = GetParam();
    Open(c.adjust);
    DevicePanel& p = form->Panel;
    p.RBt20mA.setChecked(true);
    p.EditCurr.setValue(12.0);
    const uint16_t state = form->DevList().at(5)->Regs[1];
    p.ChBoxCurrFix.setChecked(c.checked);
    form->ChBoxCurrFixClick();
    loop.advance(1000);

    if (!c.setBits && !c.clearBits) {
        EXPECT_TRUE(sent.empty());
        EXPECT_TRUE(p.RBt20mA.checked());
        return;
    }
    const uint16_t value
        = c.setBits ? static_cast<uint16_t>(state | *c.setBits) : static_cast<uint16_t>(state & ~*c.clearBits);
    EXPECT_EQ(sent, std::vector<Frame> { Write6(5, 1, value) });
    EXPECT_EQ(Status(), " ");
    EXPECT_TRUE(p.RBt04mA.checked());
    EXPECT_DOUBLE_EQ(p.EditCurr.value(), 4.0);
    EXPECT_TRUE(form->Updating());
    EXPECT_EQ(bus.detector(5).adjustMode(), c.checked);
}

INSTANTIATE_TEST_SUITE_P(Cases, CurrFix,
    ::testing::Values(FixCase { "SwitchOn", false, true, 0x0400, std::nullopt },
        FixCase { "SwitchOff", true, false, std::nullopt, 0x0400 },
        FixCase { "AlreadyOn", true, true, std::nullopt, std::nullopt },
        FixCase { "AlreadyOff", false, false, std::nullopt, std::nullopt }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zor::test
