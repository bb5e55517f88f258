// The main window's side of the LoRa settings: opening the window by reading
// the block, the block writes with function 16, and their chaining up to the
// radio restart.

#include "app/TFormMain.h"

#include "commands/TFormLora.h"
#include "device/Registers.h"

#include <vector>

namespace zor {

namespace {
constexpr uint16_t kBlockTimeoutMs = 1500;
}

void TFormMain::N11Click()
{
    if (!SelNode_ || RefuseWhileWriting() || !LinkReady())
        return;
    WaitReadIdle();
    // Nothing enables it again when the LoRa window closes: automatic
    // reading stays stopped.
    TimerRead_->setEnabled(false);
    ReadBlock(SelAddr(), LoraBlock);
}

bool TFormMain::WriteLoraBlock(uint8_t address, uint8_t start, const uint16_t* data, uint8_t count)
{
    if (!LinkReady())
        return false;
    SetStatus("Запись настроек LoRa...");
    WriteOp_ = woLoraWrite;
    std::vector<uint8_t> bytes { 0x00, start, 0x00, count, static_cast<uint8_t>(2 * count) };
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<uint8_t>(data[i] >> 8));
        bytes.push_back(static_cast<uint8_t>(data[i]));
    }
    // The queues are not purged for a block write.
    Issue(address, FnWriteRegisters, bytes.data(), static_cast<uint16_t>(bytes.size()), start, false);
    ArmTimeOut(kBlockTimeoutMs);
    return true;
}

bool TFormMain::ContinueLoraWrite(uint8_t, uint8_t start, uint8_t)
{
    TimerTimeOut_->setEnabled(false);
    if (start == RegAppSKey) {
        // The application key is written; the network key follows.
        const auto regs = KeyRegisters(formLora_->Settings.NwkSKey);
        WriteLoraBlock(SelAddr(), RegNwkSKey, regs.data(), static_cast<uint8_t>(regs.size()));
        return false;
    }
    SetStatus("Перезапуск LoRa...");
    formLora_->Caption.setText("Параметры изменены! Перезапуск LoRa...");
    WriteOp_ = woNone;
    return true;
}

} // namespace zor
