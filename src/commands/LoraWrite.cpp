#include "commands/LoraWrite.h"

#include "device/Registers.h"

#include <optional>
#include <string>

namespace zor {

namespace {
constexpr uint16_t kBlockTimeoutMs = 1500;
constexpr uint16_t kRestartTimeoutMs = 6000;
} // namespace

LoraWrite::LoraWrite(
    CommandBus& bus, CommandWindow& window, TWriteOp& op, const TLoraSettings& settings, forms::Label& caption)
    : bus_(bus)
    , window_(window)
    , op_(op)
    , settings_(settings)
    , caption_(caption)
{
}

bool LoraWrite::WriteBlock(uint8_t address, uint8_t start, const uint16_t* data, uint8_t count)
{
    if (!bus_.LinkReady())
        return false;
    window_.SetStatus("Запись настроек LoRa...");
    // The first block begins the operation; the network key continues it.
    if (op_ == woNone)
        window_.Recorder().Began(
            start == RegAppSKey ? journal::Operation::LoraKeys : journal::Operation::LoraRadio, address);
    window_.Recorder().Stepped(
        "Запись настроек LoRa... (регистры " + std::to_string(start) + ".." + std::to_string(start + count - 1) + ")");
    op_ = woLoraWrite;
    bus_.SendBlock(address, start, data, count, kBlockTimeoutMs);
    return true;
}

bool LoraWrite::Continue(uint8_t start)
{
    bus_.StopTimeOut();
    if (start == RegAppSKey) {
        // The application key is written; the network key follows.
        const auto regs = KeyRegisters(settings_.NwkSKey);
        WriteBlock(window_.SelAddr(), RegNwkSKey, regs.data(), static_cast<uint8_t>(regs.size()));
        return false;
    }
    window_.SetStatus("Перезапуск LoRa...");
    caption_.setText("Параметры изменены! Перезапуск LoRa...");
    op_ = woNone;
    return true;
}

void LoraWrite::Restart()
{
    // A single write, refused while an operation runs: the operation is the
    // restart from its sending on, whether it went or not.
    op_ = woNone;
    window_.Recorder().Stepped("Перезапуск LoRa...");
    bus_.WriteRegister(window_.SelAddr(), RegLoraCtrl, std::nullopt, kRestartTimeoutMs, 1);
    op_ = woLoraRestart;
}

void LoraWrite::Restarted()
{
    window_.SetStatus("Успешно!");
    caption_.setText("Успешно!");
    op_ = woNone;
    window_.Recorder().Ended(true, "Успешно!");
}

void LoraWrite::RestartTimedOut()
{
    caption_.setText("Настройки LoRa: Ошибка активации!");
    window_.SetStatus("Перезапуск LoRa... Ошибка!");
    window_.Recorder().Ended(false, "Перезапуск LoRa... Ошибка!");
}

} // namespace zor
