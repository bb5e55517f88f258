// Calibration: set zero, calibrate with a test gas, reset. Each is one
// command word written to the concentration register inside the write
// permission; they differ in their checks and texts.

#include "app/TFormMain.h"

#include "commands/TFormDlg.h"
#include "device/Device.h"
#include "device/Registers.h"
#include "device/Tables.h"

#include <cmath>
#include <optional>

namespace zor {

namespace {
constexpr std::string_view kNotWorking = "Прибор неработоспособен!";
}

void TFormMain::RunCalibration(TWriteOp op, const std::string& question)
{
    const bool reading = TimerRead_->enabled();
    const TDevice* dev = SelDevice();
    if (!dev || RefuseUnread(PanelRead()))
        return;
    if (!(dev->Regs[RegState] & StateWorks)) {
        Message(std::string(kNotWorking));
        return;
    }
    if (Finding_ || WriteOp_ != woNone)
        return;
    // Zero waits for an outstanding read; the reset does not.
    if (op == woZero)
        WaitReadIdle();
    // Held off from before the question until the first write has gone, so
    // that no read slips in between.
    TimerRead_->setEnabled(false);
    if (dialogs_.message(
            forms::DialogOwner::Main, forms::MessageKind::Confirmation, question, forms::MessageButtons::YesNo)
        != forms::Answer::Yes) {
        ResumeReading(reading);
        return;
    }
    StartOperation(op);
    if (op == woReset)
        SetStatus("");
    ResumeReading(reading);
}

void TFormMain::ActZeroExecute()
{
    RunCalibration(woZero, "Установить показания в 0?");
}

void TFormMain::ActInitExecute()
{
    RunCalibration(woReset, "Сбросить градуировку?");
}

std::optional<int32_t> TFormMain::CalibrationTag()
{
    const TDevice* dev = SelDevice();
    if (!dev || RefuseUnread(PanelRead()))
        return std::nullopt;
    const stGas& gas = Gases[GasCode(*dev)];
    const uint8_t unit = (dev->Regs[RegOptions] & OptSecondUnit) ? gas.Unit2 : gas.Unit1;
    const uint16_t conc = dev->Regs[RegConc];
    const uint16_t range = dev->Regs[RegRange];
    if (!(dev->Regs[RegState] & StateWorks)) {
        Message(std::string(kNotWorking));
        return std::nullopt;
    }
    if (conc == 0) {
        Message("Необходимо подать ПГС!");
        return std::nullopt;
    }
    // In %НКПР the limit is a fixed raw 100; otherwise a tenth of the range,
    // which itself passes.
    if ((unit == UnitLel && conc < 100) || (unit != UnitLel && range * 0.1 > conc)) {
        Message("Концентрация < 10% !");
        return std::nullopt;
    }
    return static_cast<int32_t>(
        static_cast<uint32_t>(range) << 16 | static_cast<uint32_t>(unit) << 8 | (dev->Regs[RegGas] & 0x00FFu));
}

void TFormMain::ActCalbExecute()
{
    const std::optional<int32_t> tag = CalibrationTag();
    if (!tag)
        return;
    formDlg_->Caption.setText("ПГС:");
    formDlg_->Tag = *tag;
    // A dialog still open is set up again, for the device as it is now.
    windows_.CloseConcentrationDialog();
    windows_.ShowConcentrationDialog();
}

bool TFormMain::ApplySpan(float x)
{
    if (Finding_ || WriteOp_ != woNone || !CalibrationTag())
        return false;
    const TDevice* dev = SelDevice();
    // Firmware before 15.52 takes the concentration in the gas's first unit.
    if ((dev->Regs[RegOptions] & OptSecondUnit) && dev->Regs[RegVersion] < 1552)
        x = std::nearbyint(x / Gases[GasCode(*dev)].MgFactor);
    // The command register also takes the words for zero, reset and unit:
    // a span beyond the concentrations the panel shows would be one of them.
    if (!(x >= 1 && x < SpanMax + 1.0f)) {
        Message("Концентрация ПГС вне диапазона!");
        return false;
    }
    SpanValue_ = static_cast<uint16_t>(std::trunc(x));
    StartOperation(woSpan);
    return true;
}

} // namespace zor
