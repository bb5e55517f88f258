#include "device/UnitSwitch.h"

#include "runtime/NumberFormat.h"

namespace zor {

UnitSwitch::UnitSwitch(DeviceTable& devList, forms::TreeNode*& selNode, DevicePanel& panel, forms::Dialogs& dialogs,
    char separator, const bool& updating, const TGasTable& gases)
    : devList_(devList)
    , selNode_(selNode)
    , panel_(panel)
    , dialogs_(dialogs)
    , separator_(separator)
    , updating_(updating)
    , gases_(gases)
{
}

void UnitSwitch::CBoxUnitChange()
{
    if (updating_ || !selNode_)
        return;
    const TDevice* dev = devList_.at(selNode_->overlayIndex());
    if (!dev)
        return;
    const stGas& gas = gases_[GasCode(*dev)];
    // Single precision, as the factor is held in the gas table.
    const float k = panel_.CBoxUnit.itemIndex() != 0 ? gas.MgFactor : 1.0f / gas.MgFactor;

    for (forms::Label* unit : panel_.UnitLabels())
        unit->setText(panel_.CBoxUnit.text());
    if (!scaleText(panel_.EditConc, k, gas.Decimals) || !scaleText(panel_.EditURV, k, gas.Decimals))
        return;
    // Bounds first, so that each value is clamped into its scaled bounds. A
    // value the device gave stays the device's, now in the other unit; what
    // the technician entered stays entered.
    for (forms::SpinEdit* edit :
        { &panel_.EditLimit1, &panel_.EditLimit2, &panel_.EditMagnet, &panel_.EditHyster, &panel_.EditZeroZone }) {
        const bool entered = edit->modified();
        const double value = edit->value();
        if (edit == &panel_.EditMagnet)
            edit->setMin(edit->min() * k);
        edit->setMax(edit->max() * k);
        edit->setValue(value * k);
        if (!entered)
            edit->accept();
    }
}

bool UnitSwitch::scaleText(forms::TextField& field, float k, int decimals)
{
    const auto x = ParseFloat(field.text(), separator_);
    if (!x) {
        dialogs_.message(forms::DialogOwner::Main, forms::MessageKind::Error,
            "'" + field.text() + "' is not a valid floating point value", forms::MessageButtons::Ok);
        return false;
    }
    field.setText(FormatFixed(*x * k, 4, decimals, separator_));
    return true;
}

} // namespace zor
