// The unit list's change handler: the device layer converts the shown values.

#include "app/TFormMain.h"

#include "device/UnitSwitch.h"

namespace zor {

void TFormMain::CBoxUnitChange()
{
    // The switch keeps nothing between calls; it works on the window's
    // state as it is now.
    UnitSwitch(DevList_, SelNode_, Panel, dialogs_, separator_, Updating_).CBoxUnitChange();
}

} // namespace zor
