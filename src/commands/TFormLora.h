#pragma once
// The LoRa window: shows a detector's radio settings and session keys, and
// writes the radio part or the two keys back.

#include "commands/CommandHost.h"
#include "commands/LoraWrite.h"
#include "commands/TLoraSettings.h"
#include "device/WriteOp.h"
#include "forms/Controls.h"
#include "forms/Dialogs.h"

#include <cstdint>

namespace zor {

class TFormLora {
public:
    // op: the window's running write operation, which the LoRa writes set.
    TFormLora(CommandBus& bus, CommandWindow& window, forms::Dialogs& dialogs, TWriteOp& op);

    TLoraSettings Settings;
    forms::Label Caption { "Настройки LoRa" };

    // Group "RF".
    forms::IntSpinEdit EditChan1 { 864000000, 870000000, 100000, 9, 868100000 };
    forms::IntSpinEdit EditChan2 { 864000000, 870000000, 100000, 9, 868300000 };
    forms::IntSpinEdit EditChan3 { 864000000, 870000000, 100000, 9, 868500000 };
    forms::ComboList CBoxBandWidth { { "125", "250", "500" }, 0 };
    forms::ComboList CBoxCodingRate { { "4 / 5" }, 0 };
    forms::ComboList CBoxPower { { "Max", "2", "4", "6", "8", "10", "12", "14" }, 0 };
    forms::ComboList CBoxSFactor { { "SF12 - 250 bit/s (не использовать)", "SF11 - 440 bit/s", "SF10 - 980 bit/s",
                                       "SF9 - 1760 bit/s", "SF8 - 3125 bit/s", "SF7 - 5470 bit/s" },
        0 };
    // The full 32-bit address; a period the 16-bit register can carry.
    forms::IntSpinEdit EditAddr { 0, 4294967295LL, 1, 10, 6100000 };
    forms::IntSpinEdit EditPeriod { 5, 65535, 1, 10, 160 };
    // Group "LoRaWAN - ABP ключи".
    forms::TextField EditNwkSKey { "5C0E93A1D74F28B6E0A3C9175D2B84F6", false, 32, true };
    forms::TextField EditAppSKey { "5C0E93A1D74F28B6E0A3C9175D2B84F6", false, 32, true };

    // Run by the window host each time it shows the window (centring it
    // over the main window is the host's part).
    void FormShow();
    void ShowLoraSettings();
    // Value i is register 64 + i; fields whose registers are not in the
    // block keep their values. Values no list or channel can show are
    // replaced so that the window can always show them.
    void DecodeLoraBlock(const uint16_t* values, int count);
    void CBoxSFactorChange();
    void BitBtnRFWriteClick();
    void BitBtnABPWriteClick();
    void BitBtnDefsClick();
    void BitBtnReadClick();

    // The writes the buttons start, with their echoes and the restart.
    LoraWrite& Writer() { return write_; }

private:
    CommandBus& bus_;
    CommandWindow& window_;
    forms::Dialogs& dialogs_;
    LoraWrite write_;
};

} // namespace zor
