#include "AppFixture.h"

#include "sim/SimDetector.h"

#include <functional>

namespace zor::test {
namespace {

// CO at address 5 (млн-1, no decimals, range 200: limits 10..400) with test
// gas at the sensor, and methane at address 6 (%об., two decimals, range
// 4.40) in clean air. Neither asks for a newer tool.
class ConcentrationDialogTest : public AppFixture {
protected:
    void SetUp() override
    {
        bus.add(SimModel::Zor10, 5).gas(24).range(200).responseTime(0).applyTestGas(100);
        bus.add(SimModel::Zor10, 6).gas(1).responseTime(0);
        MakeForm();
        SearchUpTo(6);
        Select(5);
        ReadPanel();
        form->ActCalbExecute();
        ASSERT_TRUE(windows.dialogOpen);
        ASSERT_EQ(Dlg().LConc.text(), "млн-1");
        sent.clear();
        dialogs.shown.clear();
    }
    TFormDlg& Dlg() { return form->FormDlg(); }

public:
    // What the technician does meanwhile.
    void Read() { ReadPanel(); }
    void Press(int address) { Select(address); }
};

TEST_F(ConcentrationDialogTest, ServesTheSelectedDeviceOnly)
{
    Dlg().EditConc.setValue(250);
    Select(6);
    // The dialog was set up for #5: it goes when another device is pressed.
    EXPECT_FALSE(windows.dialogOpen);
    ReadPanel();
    // A press on "Задать" left over sends nothing: #6 has no test gas.
    Dlg().BtOkClick();
    loop.advance(3000);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Необходимо подать ПГС!" });

    // With test gas, "Град." sets the dialog up for the methane detector.
    bus.detector(6).applyTestGas(250);
    ReadPanel();
    form->ActCalbExecute();
    ASSERT_TRUE(windows.dialogOpen);
    EXPECT_EQ(Dlg().LConc.text(), "%об.");
    EXPECT_EQ(Dlg().EditConc.decimals(), 2);
    EXPECT_FLOAT_EQ(Dlg().EditConc.min(), 0.22f);
    EXPECT_FLOAT_EQ(Dlg().EditConc.max(), 8.8f);
    Dlg().EditConc.setValue(2.5);
    Dlg().BtOkClick();
    Finish();
    EXPECT_EQ(WritesSent(), (std::vector<Frame> { Write6(6, 1, 0x0080), Write6(6, 3, 250), Write6(6, 1, 0) }));
}

TEST_F(ConcentrationDialogTest, GradAgainOnAnOpenDialogSetsItUpForTheDeviceAsItIsNow)
{
    bus.detector(5).range(1000);
    ReadPanel();
    form->ActCalbExecute();
    EXPECT_TRUE(windows.dialogOpen);
    EXPECT_FLOAT_EQ(Dlg().EditConc.min(), 50);
    EXPECT_FLOAT_EQ(Dlg().EditConc.max(), 2000);
}

struct Recheck {
    const char* name;
    std::function<void(ConcentrationDialogTest&, SimDetector&)> meanwhile;
    std::string refusal;
};

class SetRechecks : public ConcentrationDialogTest, public ::testing::WithParamInterface<Recheck> { };

TEST_P(SetRechecks, WhatGradChecksAgainstTheDeviceItWritesTo)
{
    const Recheck& c = GetParam();
    c.meanwhile(*this, bus.detector(5));
    sent.clear();
    Dlg().BtOkClick();
    loop.advance(3000);

    EXPECT_TRUE(WritesSent().empty()) << "a write went to #" << int(WritesSent().front()[0]);
    EXPECT_EQ(form->WriteOp(), woNone);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string> { c.refusal });
}

// Each change happens while the dialog is open; the panel is read again.
INSTANTIATE_TEST_SUITE_P(Cases, SetRechecks,
    ::testing::Values(Recheck { "GasGone",
                          [](ConcentrationDialogTest& t, SimDetector& d) {
                              d.clearAir();
                              t.Read();
                          },
                          "Необходимо подать ПГС!" },
        Recheck { "TooLittleGas",
            [](ConcentrationDialogTest& t, SimDetector& d) {
                d.applyTestGas(15);
                t.Read();
            },
            "Концентрация < 10% !" },
        Recheck { "DeviceInError",
            [](ConcentrationDialogTest& t, SimDetector& d) {
                d.setHolding(1, 0x0000);
                t.Read();
            },
            "Прибор неработоспособен!" },
        Recheck { "AnotherDevicePressed", [](ConcentrationDialogTest& t, SimDetector&) { t.Press(6); },
            "Сначала прочитайте прибор!" },
        Recheck { "RangeChanged",
            [](ConcentrationDialogTest& t, SimDetector& d) {
                d.range(1000);
                t.Read();
            },
            "Данные прибора изменились!" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConcentrationDialogTest, AChangedRangeSetsTheDialogUpAgainBeforeAnythingIsWritten)
{
    bus.detector(5).range(1000);
    ReadPanel();
    Dlg().BtOkClick();
    EXPECT_TRUE(windows.dialogOpen);
    EXPECT_FLOAT_EQ(Dlg().EditConc.max(), 2000);
    Dlg().BtOkClick(); // entered again, against the new range
    Finish();
    EXPECT_EQ(dialogs.texts(), (std::vector<std::string> { "Данные прибора изменились!", "Градуировка произведена" }));
}

// The span goes to the command register, whose words 0xBBBB and 0xFFFF set
// zero and reset the calibration: a span stays at or below 9999, the
// largest concentration the panel shows.
struct SpanLimit {
    const char* name;
    float entered; // in register units
    bool sent;
};

class SpanLimits : public ConcentrationDialogTest, public ::testing::WithParamInterface<SpanLimit> { };

TEST_P(SpanLimits, TheSpanStaysBelowEveryCommandWord)
{
    const SpanLimit& c = GetParam();
    EXPECT_EQ(form->ApplySpan(c.entered), c.sent);
    Finish();
    const std::vector<Frame> expected = c.sent
        ? std::vector<Frame> { Write6(5, 1, 0x0080), Write6(5, 3, static_cast<uint16_t>(c.entered)), Write6(5, 1, 0) }
        : std::vector<Frame> {};
    EXPECT_EQ(WritesSent(), expected);
    const std::vector<std::string> refusal { "Концентрация ПГС вне диапазона!" };
    EXPECT_EQ(dialogs.texts(), c.sent ? std::vector<std::string> { "Градуировка произведена" } : refusal);
}

INSTANTIATE_TEST_SUITE_P(Cases, SpanLimits,
    ::testing::Values(SpanLimit { "Largest", 9999, true }, SpanLimit { "AboveTheShownConcentrations", 10000, false },
        SpanLimit { "SetZeroWord", 48059, false }, SpanLimit { "ResetWord", 65535, false },
        SpanLimit { "BeyondSixteenBits", 70000, false }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConcentrationDialogTest, TheDialogOffersNoSpanAboveTheShownConcentrations)
{
    // Twice a range of 6000 would be 12000.
    bus.detector(5).range(6000).applyTestGas(1000);
    ReadPanel();
    form->ActCalbExecute();
    EXPECT_FLOAT_EQ(Dlg().EditConc.max(), 9999);
    Dlg().EditConc.setValue(20000);
    Dlg().BtOkClick();
    Finish();
    ASSERT_EQ(WritesSent().size(), 3u);
    EXPECT_EQ(WritesSent()[1], Write6(5, 3, 9999));
}

} // namespace
} // namespace zor::test
