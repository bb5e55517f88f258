// Calibration: set zero, calibrate with a test gas, reset. Each is one
// command word written to the concentration register inside the write
// permission; they differ in their checks and texts.

#include "commands/SettingsWrite.h"

#include "device/Device.h"
#include "device/Registers.h"
#include "device/Tables.h"

#include <cmath>
#include <optional>

namespace zor {

namespace {

constexpr std::string_view kNotWorking = "Прибор неработоспособен!";

const TDevice* Selected(const CommandWindow& window, DeviceTable& devices)
{
    const forms::TreeNode* node = window.SelNode();
    return node ? devices.at(node->overlayIndex()) : nullptr;
}

} // namespace

void SettingsWrite::RunCalibration(TWriteOp op, const std::string& question)
{
    const bool reading = window_.Reading();
    const TDevice* dev = Selected(window_, m_.devices);
    if (!dev || window_.RefuseUnread(window_.PanelRead()))
        return;
    if (!(dev->Regs[RegState] & StateWorks)) {
        window_.Message(std::string(kNotWorking));
        return;
    }
    if (window_.Finding() || op_ != woNone)
        return;
    // Zero waits for an outstanding read; the reset does not.
    if (op == woZero)
        window_.WaitReadIdle();
    // Held off from before the question until the first write has gone, so
    // that no read slips in between.
    window_.HoldReading();
    if (m_.dialogs.message(
            forms::DialogOwner::Main, forms::MessageKind::Confirmation, question, forms::MessageButtons::YesNo)
        != forms::Answer::Yes) {
        window_.ResumeReading(reading);
        return;
    }
    Start(op);
    if (op == woReset)
        window_.SetStatus("");
    window_.ResumeReading(reading);
}

void SettingsWrite::Zero()
{
    RunCalibration(woZero, "Установить показания в 0?");
}

void SettingsWrite::Reset()
{
    RunCalibration(woReset, "Сбросить градуировку?");
}

std::optional<int32_t> SettingsWrite::CalibrationTag()
{
    const TDevice* dev = Selected(window_, m_.devices);
    if (!dev || window_.RefuseUnread(window_.PanelRead()))
        return std::nullopt;
    const stGas& gas = Gases[GasCode(*dev)];
    const uint8_t unit = (dev->Regs[RegOptions] & OptSecondUnit) ? gas.Unit2 : gas.Unit1;
    const uint16_t conc = dev->Regs[RegConc];
    const uint16_t range = dev->Regs[RegRange];
    if (!(dev->Regs[RegState] & StateWorks)) {
        window_.Message(std::string(kNotWorking));
        return std::nullopt;
    }
    if (conc == 0) {
        window_.Message("Необходимо подать ПГС!");
        return std::nullopt;
    }
    // In %НКПР the limit is a fixed raw 100; otherwise a tenth of the range,
    // which itself passes.
    if ((unit == UnitLel && conc < 100) || (unit != UnitLel && range * 0.1 > conc)) {
        window_.Message("Концентрация < 10% !");
        return std::nullopt;
    }
    return static_cast<int32_t>(
        static_cast<uint32_t>(range) << 16 | static_cast<uint32_t>(unit) << 8 | (dev->Regs[RegGas] & 0x00FFu));
}

bool SettingsWrite::ApplySpan(float x)
{
    if (window_.Finding() || op_ != woNone || !CalibrationTag())
        return false;
    const TDevice* dev = Selected(window_, m_.devices);
    // Firmware before 15.52 takes the concentration in the gas's first unit.
    if ((dev->Regs[RegOptions] & OptSecondUnit) && dev->Regs[RegVersion] < 1552)
        x = std::nearbyint(x / Gases[GasCode(*dev)].MgFactor);
    // The command register also takes the words for zero, reset and unit:
    // a span beyond the concentrations the panel shows would be one of them.
    if (!(x >= 1 && x < SpanMax + 1.0f)) {
        window_.Message("Концентрация ПГС вне диапазона!");
        return false;
    }
    SpanValue_ = static_cast<uint16_t>(std::trunc(x));
    const std::string warning = window_.Recorder().SpanWarning();
    if (warning.empty()) {
        Start(woSpan);
        return true;
    }
    // The technician's call: told, not refused. No read slips in while the
    // box is open.
    const bool reading = window_.Reading();
    window_.HoldReading();
    m_.dialogs.message(forms::DialogOwner::Main, forms::MessageKind::Warning, warning, forms::MessageButtons::Ok);
    window_.WaitReadIdle();
    Start(woSpan);
    window_.ResumeReading(reading);
    return true;
}

} // namespace zor
