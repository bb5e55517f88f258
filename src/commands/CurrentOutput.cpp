// The current-output adjust mode: the device drives a test current of 1, 4
// or 20 mA and takes back the current the technician measured. Each command
// is one single write outside any write operation.

#include "app/TFormMain.h"

#include "device/Device.h"
#include "device/Registers.h"

#include <cmath>

namespace zor {

namespace {
constexpr uint16_t kTimeoutMs = 1500;
}

void TFormMain::TestCurrent(uint16_t command, const std::string& status)
{
    // A selection the window makes itself sends nothing: only one request
    // may be outstanding, and the decoder runs while a read is answered.
    if (Updating_ || RefuseUnread(PanelRead()))
        return;
    WriteRegister(SelAddr(), RegConc, status, kTimeoutMs, command);
}

void TFormMain::RBt01mAClick()
{
    TestCurrent(CmdCurrent1mA, "Коррекция 1 мА");
}

void TFormMain::RBt04mAClick()
{
    TestCurrent(CmdCurrent4mA, "Коррекция 4 мА");
}

void TFormMain::RBt20mAClick()
{
    TestCurrent(CmdCurrent20mA, "Коррекция 20 мА");
}

void TFormMain::ActWriteCurrExecute()
{
    if (RefuseUnread(PanelRead()))
        return;
    const std::string status = Panel.RBt04mA.checked() ? "Коррекция 4 мА"
        : Panel.RBt20mA.checked()                      ? "Коррекция 20 мА"
                                                       : "Коррекция 1 мА";
    // Hundredths of a milliampere, a half to the even neighbour.
    const double hundredths = std::nearbyint(Panel.EditCurr.value() * static_cast<double>(100.0f));
    if (WriteRegister(
            SelAddr(), RegCurrent, status, kTimeoutMs, static_cast<uint16_t>(static_cast<int64_t>(hundredths))))
        Panel.EditCurr.accept(); // written: the next read shows the device's test current again
}

void TFormMain::ChBoxCurrFixClick()
{
    const TDevice* dev = SelDevice();
    if (!dev)
        return;
    const uint16_t c = dev->Regs[RegState];
    const bool on = Panel.ChBoxCurrFix.checked();
    // When the box agrees with the device (always so when the decoder set
    // it) nothing is sent.
    if (on == static_cast<bool>(c & StateCurrentFixed) || RefuseUnread(PanelRead()))
        return;
    const uint16_t value
        = on ? static_cast<uint16_t>(c | StateCurrentFixed) : static_cast<uint16_t>(c & ~StateCurrentFixed);
    if (!WriteRegister(SelAddr(), RegState, " ", kTimeoutMs, value))
        return;
    Updating_ = true;
    Panel.RBt04mA.setChecked(true);
    // The device starts at 4 mA: a measured value typed before goes.
    Panel.EditCurr.show(4.0);
    Panel.EditCurr.revert();
}

} // namespace zor
