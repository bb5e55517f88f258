#include "AppFixture.h"

#include "sim/SimDetector.h"

#include <optional>

namespace zor::test {
namespace {

// A "ZOR-10" at address 5 on its default firmware, which shows no hint box,
// its gas reaching the sensor at once.
class CalibrationTest : public AppFixture {
protected:
    SimDetector& Detector(uint8_t gas) { return bus.add(SimModel::Zor10, 5).gas(gas).responseTime(0); }
    void Open() { OpenRead(5); }
};

struct DialogLimits {
    std::string unit;
    double min, max, step;
    int decimals;
    double value;
};

struct CalbCase {
    const char* name;
    uint8_t gas;
    uint16_t range;
    uint16_t conc; // test gas at the sensor, register units
    bool working;
    std::string refusal; // empty: the dialog opens
    DialogLimits limits;
};

class CalbCommand : public CalibrationTest, public ::testing::WithParamInterface<CalbCase> { };

TEST_P(CalbCommand, RefusesOrOpensTheDialogWithTheUnitsLimits)
{
    const CalbCase& c = GetParam();
    SimDetector& d = Detector(c.gas).range(c.range);
    if (c.conc)
        d.applyTestGas(c.conc);
    if (!c.working)
        d.setHolding(1, 0x0000);
    Open();
    form->ActCalbExecute();

    EXPECT_TRUE(sent.empty());
    if (!c.refusal.empty()) {
        EXPECT_EQ(dialogs.texts(), std::vector<std::string> { c.refusal });
        EXPECT_EQ(windows.dialogShown, 0);
        return;
    }
    EXPECT_TRUE(dialogs.shown.empty());
    ASSERT_EQ(windows.dialogShown, 1);
    const TFormDlg& dlg = form->FormDlg();
    EXPECT_EQ(dlg.Caption.text(), "ПГС:");
    EXPECT_EQ(dlg.LConc.text(), c.limits.unit);
    EXPECT_FLOAT_EQ(dlg.EditConc.min(), c.limits.min);
    EXPECT_FLOAT_EQ(dlg.EditConc.max(), c.limits.max);
    EXPECT_DOUBLE_EQ(dlg.EditConc.step(), c.limits.step);
    EXPECT_EQ(dlg.EditConc.decimals(), c.limits.decimals);
    EXPECT_DOUBLE_EQ(dlg.EditConc.value(), c.limits.value);
}

INSTANTIATE_TEST_SUITE_P(Cases, CalbCommand,
    ::testing::Values(CalbCase { "NotWorking", 2, 500, 100, false, "Прибор неработоспособен!", {} },
        CalbCase { "NoTestGas", 2, 500, 0, true, "Необходимо подать ПГС!", {} },
        // %НКПР: the limit is a raw 100 whatever the range.
        CalbCase { "LelBelowTenPercent", 5, 250, 99, true, "Концентрация < 10% !", {} },
        CalbCase { "LelAtTenPercent", 5, 250, 100, true, "", { "%НКПР", 10, 100, 0.1, 1, 25.0 } },
        // Other units: a tenth of the range, which itself passes.
        CalbCase { "VolBelowATenthOfTheRange", 2, 500, 49, true, "Концентрация < 10% !", {} },
        CalbCase { "VolAtATenthOfTheRange", 2, 500, 50, true, "", { "%об.", 0.25, 10.0, 0.01, 2, 2.5 } },
        CalbCase { "PpmWithoutDecimals", 24, 1000, 100, true, "", { "млн-1", 50, 2000, 1, 0, 500 } },
        // Twice the range would reach the command words: the limit stays at
        // the largest concentration shown, 9999.
        CalbCase {
            "UpperLimitStaysBelowTheCommandWords", 2, 40000, 30000, true, "", { "%об.", 20, 99.99, 0.01, 2, 25.0 } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalibrationTest, SpanEnteredInTheDialogRunsTheSequence)
{
    Detector(2).range(500).applyTestGas(100);
    Open();
    form->ActCalbExecute();
    TFormDlg& dlg = form->FormDlg();
    dlg.EditConc.setValue(2.51);
    const int32_t tx = form->TxCount();
    dlg.BtOkClick();
    EXPECT_FALSE(windows.dialogOpen);
    EXPECT_EQ(form->SpanValue(), 251);
    EXPECT_EQ(Status(), "Установка разрешений...");
    Finish();

    EXPECT_EQ(WritesSent(), (std::vector<Frame> { Write6(5, 1, 0x0080), Write6(5, 3, 251), Write6(5, 1, 0) }));
    EXPECT_EQ(form->TxCount() - tx, 3);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Градуировка произведена" });
    EXPECT_EQ(Status(), "");
}

TEST_F(CalibrationTest, SetDuringAParameterWriteSendsNothingAndTheDialogStaysOpen)
{
    Detector(2).range(500).applyTestGas(100);
    Open();
    form->ActCalbExecute();
    form->ActWriteOptExecute();
    form->FormDlg().BtOkClick();
    EXPECT_TRUE(windows.dialogOpen);
    Finish();
    for (const Frame& f : WritesSent())
        EXPECT_NE(f[3], 3) << "a calibration command went out";
    EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Параметры изменены!" });
}

struct SpanCase {
    const char* name;
    uint8_t gas;
    uint16_t version;
    bool secondUnit;
    float entered;
    uint16_t span;
};

class SpanValue : public CalibrationTest, public ::testing::WithParamInterface<SpanCase> { };

TEST_P(SpanValue, FollowsTheFirmwaresUnitRule)
{
    const SpanCase& c = GetParam();
    SimDetector& d = Detector(c.gas).version(c.version);
    d.applyTestGas(500);
    if (c.secondUnit)
        d.setHolding(2, 0x8000);
    Open();
    ASSERT_TRUE(form->ApplySpan(c.entered));
    EXPECT_EQ(form->SpanValue(), c.span);
    Finish();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[1], Write6(5, 3, c.span));
}

INSTANTIATE_TEST_SUITE_P(Cases, SpanValue,
    ::testing::Values(
        // CO: the second unit is 1.1644 times the first.
        SpanCase { "OldFirmwareSecondUnitConverts", 24, 1551, true, 1355, 1164 },
        SpanCase { "NewFirmwareTakesTheSecondUnit", 24, 1552, true, 1355, 1355 },
        SpanCase { "OldFirmwareFirstUnit", 24, 1551, false, 1355, 1355 },
        SpanCase { "FractionDropped", 24, 1552, false, 1355.9f, 1355 },
        // NH3 (factor 0.708): 7079 becomes 9998.6.
        SpanCase { "ConversionUpToTheLargestSpan", 29, 1551, true, 7079, 9999 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalibrationTest, AConversionBeyondTheLargestSpanIsRefused)
{
    // NH3 (factor 0.708): 7080 would become 10000, the first reading that is
    // no concentration.
    Detector(29).version(1551).applyTestGas(500);
    bus.detector(5).setHolding(2, 0x8000);
    Open();
    EXPECT_FALSE(form->ApplySpan(7080));
    Finish();
    EXPECT_TRUE(WritesSent().empty());
    EXPECT_EQ(dialogs.texts(), std::vector<std::string> { "Концентрация ПГС вне диапазона!" });
}

struct CommandCase {
    const char* name;
    bool reset;
    bool reading;
    forms::Answer answer;
    std::string question;
    std::optional<uint16_t> command;
    std::string done;
};

class CalibrationCommand : public CalibrationTest, public ::testing::WithParamInterface<CommandCase> { };

TEST_P(CalibrationCommand, AsksAndWritesItsCommandWord)
{
    const CommandCase& c = GetParam();
    Detector(2);
    Open();
    const int32_t tx = form->TxCount();
    if (c.reading)
        form->ActRenewExecute();
    dialogs.answers.push_back(c.answer);
    if (c.reset)
        form->ActInitExecute();
    else
        form->ActZeroExecute();
    Finish();

    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown[0].text, c.question);
    EXPECT_EQ(dialogs.shown[0].kind, forms::MessageKind::Confirmation);
    EXPECT_EQ(dialogs.shown[0].buttons, forms::MessageButtons::YesNo);
    EXPECT_EQ(form->TimerRead().enabled(), c.reading);
    if (!c.command) {
        EXPECT_TRUE(WritesSent().empty());
        EXPECT_EQ(dialogs.shown.size(), 1u);
        return;
    }
    EXPECT_EQ(WritesSent(), (std::vector<Frame> { Write6(5, 1, 0x0080), Write6(5, 3, *c.command), Write6(5, 1, 0) }));
    EXPECT_EQ(form->TxCount() - tx, static_cast<int32_t>(sent.size()));
    EXPECT_EQ(dialogs.texts(), (std::vector<std::string> { c.question, c.done }));
}

INSTANTIATE_TEST_SUITE_P(Cases, CalibrationCommand,
    ::testing::Values(CommandCase { "ZeroWhileReading", false, true, forms::Answer::Yes, "Установить показания в 0?",
                          0xBBBB, "Установка 0 произведена" },
        CommandCase { "ZeroDeclined", false, true, forms::Answer::No, "Установить показания в 0?", std::nullopt, "" },
        CommandCase { "Reset", true, false, forms::Answer::Yes, "Сбросить градуировку?", 0xFFFF,
            "Сброс градуировки произведён" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalibrationTest, DeviceNotWorkingRefusesZeroBeforeAnyQuestion)
{
    Detector(2).setHolding(1, 0x0000);
    Open();
    form->ActZeroExecute();
    form->ActInitExecute();
    EXPECT_EQ(dialogs.texts(), (std::vector<std::string> { "Прибор неработоспособен!", "Прибор неработоспособен!" }));
    EXPECT_TRUE(sent.empty());
}

} // namespace
} // namespace zor::test
