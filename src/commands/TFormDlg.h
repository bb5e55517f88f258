#pragma once
// The test-gas concentration dialog: a small stay-on-top window, not modal,
// that takes the concentration of the test gas and starts the calibration.

#include "commands/CommandHost.h"
#include "commands/SettingsWrite.h"
#include "forms/Controls.h"

#include <cstdint>

namespace zor {

class TFormDlg {
public:
    TFormDlg(SettingsWrite& write, CommandWindow& window)
        : write_(write)
        , window_(window)
    {
    }

    // Set by the window before it shows the dialog: the measuring range in
    // bits 16..31, the unit code in bits 8..15, the gas code in bits 0..7.
    int32_t Tag = 0;
    forms::Label Caption { "Dlg" };

    forms::Label LConc { "НКПР" };
    forms::SpinEdit EditConc { 10, 100, 0.1, 1, 10 };
    forms::Label BtOk { "Задать" };
    forms::Label BtCancel { "Отмена" };

    uint16_t RangeRaw = 0;
    uint8_t UnitCode = 0;
    uint8_t GasCode = 0;

    // "Град." passed its checks on the device that tag describes: the dialog
    // opens for it, set up again when it was still open.
    void Open(int32_t tag);
    // Run by the window host when the dialog appears (placing it over the
    // main window is the host's part), and again when the device changed
    // under it: unpacks Tag and sets the limits, decimals, step and preset of
    // EditConc for the unit.
    void FormShow();
    // Checks the selected device again as "Град." does, then starts the
    // calibration with the value entered, in register units, and closes the
    // dialog; stays open when the window refuses.
    void BtOkClick();
    void BtCancelClick();
    void EditConcKeyDown() { }

private:
    SettingsWrite& write_;
    CommandWindow& window_;
};

} // namespace zor
