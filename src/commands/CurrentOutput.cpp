#include "commands/CurrentOutput.h"

#include "device/Device.h"
#include "device/Registers.h"

#include <cmath>

namespace zor {

namespace {
constexpr uint16_t kTimeoutMs = 1500;
}

CurrentOutput::CurrentOutput(CommandBus& bus, CommandWindow& window, DevicePanel& panel, const DeviceTable& devices)
    : bus_(bus)
    , window_(window)
    , panel_(panel)
    , devices_(devices)
{
}

void CurrentOutput::Drive(uint16_t command, const std::string& status)
{
    // A selection the window makes itself sends nothing: only one request
    // may be outstanding, and the decoder runs while a read is answered.
    if (window_.Updating() || window_.RefuseUnread(window_.PanelRead()))
        return;
    bus_.WriteRegister(window_.SelAddr(), RegConc, status, kTimeoutMs, command);
}

void CurrentOutput::Drive1mA()
{
    Drive(CmdCurrent1mA, "Коррекция 1 мА");
}

void CurrentOutput::Drive4mA()
{
    Drive(CmdCurrent4mA, "Коррекция 4 мА");
}

void CurrentOutput::Drive20mA()
{
    Drive(CmdCurrent20mA, "Коррекция 20 мА");
}

void CurrentOutput::WriteMeasured()
{
    if (window_.RefuseUnread(window_.PanelRead()))
        return;
    const std::string status = panel_.RBt04mA.checked() ? "Коррекция 4 мА"
        : panel_.RBt20mA.checked()                      ? "Коррекция 20 мА"
                                                        : "Коррекция 1 мА";
    // Hundredths of a milliampere, a half to the even neighbour.
    const double hundredths = std::nearbyint(panel_.EditCurr.value() * static_cast<double>(100.0f));
    if (bus_.WriteRegister(window_.SelAddr(), RegCurrent, status, kTimeoutMs,
            static_cast<uint16_t>(static_cast<int64_t>(hundredths)))) {
        window_.Recorder().Began(journal::Operation::CurrentTrim, window_.SelAddr());
        window_.Recorder().Stepped(status);
        panel_.EditCurr.accept(); // written: the next read shows the device's test current again
    }
}

void CurrentOutput::FixChanged()
{
    const forms::TreeNode* node = window_.SelNode();
    const TDevice* dev = node ? devices_.at(node->overlayIndex()) : nullptr;
    if (!dev)
        return;
    const uint16_t c = dev->Regs[RegState];
    const bool on = panel_.ChBoxCurrFix.checked();
    // When the box agrees with the device (always so when the decoder set
    // it) nothing is sent.
    if (on == static_cast<bool>(c & StateCurrentFixed) || window_.RefuseUnread(window_.PanelRead()))
        return;
    const uint16_t value
        = on ? static_cast<uint16_t>(c | StateCurrentFixed) : static_cast<uint16_t>(c & ~StateCurrentFixed);
    if (!bus_.WriteRegister(window_.SelAddr(), RegState, " ", kTimeoutMs, value))
        return;
    window_.SetUpdating(true);
    panel_.RBt04mA.setChecked(true);
    // The device starts at 4 mA: a measured value typed before goes.
    panel_.EditCurr.show(4.0);
    panel_.EditCurr.revert();
}

} // namespace zor
