#include "device/DevicePanel.h"

namespace zor {

namespace {

template <class... E> void Revert(E&... entries)
{
    (entries.revert(), ...);
}

} // namespace

DevicePanel::DevicePanel()
{
    // Nothing to show before a device answers; the fixed-current controls
    // wait for the device's adjust mode, the calibration for a device.
    DevPanel.setEnabled(false);
    ChBoxCurrFix.setEnabled(false);
    forms::RadioButton::group({ &RBt01mA, &RBt04mA, &RBt20mA });
    for (forms::Control* c : std::initializer_list<forms::Control*> { &RBt01mA, &RBt04mA, &RBt20mA, &LabelEditCurr,
             &EditCurr, &Label15, &SpBtSetCurr, &ActZero, &ActCalb, &ActInit })
        c->setEnabled(false);
    ActInit.setVisible(false);
}

void DevicePanel::DropEntries()
{
    Revert(EditMagnet, EditLimit1, EditLimit2, EditHyster, EditZeroZone, CBoxRelay1, CBoxRelay2, CBoxRelayD, CBoxBlock,
        SEditAddr, CBoxBaud, CBoxPar, CBoxStopBit, EditCurr);
}

} // namespace zor
