#pragma once
// The handlers of the panel's gas and unit lists. Picking the other unit
// converts the shown values on screen with the gas's factor; the device is
// not told (the unit in use changes there only through a settings write).

#include "device/DevicePanel.h"
#include "device/DeviceTable.h"
#include "device/Tables.h"
#include "forms/Dialogs.h"
#include "forms/TreeView.h"

namespace zor {

class UnitSwitch {
public:
    // updating is the window's flag for filling controls itself; selNode its
    // selected device node (may be null), whose overlay index is the address.
    UnitSwitch(DeviceTable& devList, forms::TreeNode*& selNode, DevicePanel& panel, forms::Dialogs& dialogs,
        char separator, const bool& updating, const TGasTable& gases = Gases);

    // The unit list's change handler: runs the conversion to the unit now
    // selected in CBoxUnit.
    void CBoxUnitChange();
    // The gas list's change handler: the gas is changed only through a
    // settings write, so picking an item here does nothing.
    void CBoxGasChange() { }

private:
    // Multiplies the number a read-only field shows; false, after telling
    // the user, when the field holds no number.
    bool scaleText(forms::TextField& field, float k, int decimals);

    DeviceTable& devList_;
    forms::TreeNode*& selNode_;
    DevicePanel& panel_;
    forms::Dialogs& dialogs_;
    char separator_;
    const bool& updating_;
    const TGasTable& gases_;
};

} // namespace zor
