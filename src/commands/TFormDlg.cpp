#include "commands/TFormDlg.h"

#include "device/Registers.h"
#include "device/Tables.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zor {

namespace {

const stGas& GasRow(uint8_t code)
{
    return Gases[code < GasCount ? code : 1];
}

// 10^d as the single-precision number the limits are computed with.
float Power10(int d)
{
    return static_cast<float>(std::pow(10.0, d));
}

std::string UnitCaption(uint8_t unit)
{
    const bool known = unit == UnitPpm || unit == UnitVol || unit == UnitLel || unit == UnitMgM3;
    return known ? UnitText(unit) : std::string("?");
}

} // namespace

void TFormDlg::Open(int32_t tag)
{
    Caption.setText("ПГС:");
    Tag = tag;
    // A dialog still open is set up again, for the device as it is now.
    window_.CloseConcentrationDialog();
    window_.ShowConcentrationDialog();
}

void TFormDlg::FormShow()
{
    const auto tag = static_cast<uint32_t>(Tag);
    RangeRaw = static_cast<uint16_t>(tag >> 16);
    UnitCode = static_cast<uint8_t>(tag >> 8);
    GasCode = static_cast<uint8_t>(tag);

    const stGas& gas = GasRow(GasCode);
    // Whatever is entered goes to the device as value x 10^d in the command
    // register: the upper limit stays below its command words.
    const float ceiling = SpanMax / Power10(gas.Decimals);
    if (UnitCode == UnitLel) {
        LConc.setText(UnitText(UnitLel));
        const float upper = std::min(2 * gas.NominalRange, ceiling);
        EditConc.setDecimals(1);
        EditConc.setStep(0.1);
        EditConc.setMin(10);
        EditConc.setMax(upper);
        EditConc.setValue(upper * 0.25);
        return;
    }
    LConc.setText(UnitCaption(UnitCode));
    const int d = gas.Decimals;
    const float unitRange = RangeRaw / Power10(d);
    const float upper = std::min(unitRange * 2, ceiling);
    EditConc.setDecimals(d);
    EditConc.setStep(1 / std::pow(10.0, d));
    EditConc.setMin(unitRange * 0.05f);
    EditConc.setMax(upper);
    // The preset is rounded to the shown decimals, a half to the even one.
    EditConc.setValue(std::nearbyint(upper * 0.25 * std::pow(10.0, d)) / std::pow(10.0, d));
}

void TFormDlg::BtOkClick()
{
    // What "Град." checked is checked again, on the device as it is now; a
    // device whose range, unit or gas has changed since gets the dialog set
    // up again before anything is written.
    const std::optional<int32_t> tag = write_.CalibrationTag();
    if (!tag)
        return;
    if (*tag != Tag) {
        Tag = *tag;
        FormShow();
        window_.Message("Данные прибора изменились!");
        return;
    }
    const float x = static_cast<float>(EditConc.value() * std::pow(10.0, GasRow(GasCode).Decimals));
    if (write_.ApplySpan(x))
        window_.CloseConcentrationDialog();
}

void TFormDlg::BtCancelClick()
{
    window_.CloseConcentrationDialog();
}

} // namespace zor
