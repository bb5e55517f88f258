#pragma once
// The LoRa writes: a block of the radio settings, or the two session keys
// one after the other, each with function 16, then the radio restart. The
// chain moves on with each echo the reply dispatch hands here; the LoRa
// window's settings and caption are the ones written and told.

#include "commands/CommandHost.h"
#include "commands/TLoraSettings.h"
#include "device/WriteOp.h"
#include "forms/Controls.h"

#include <cstdint>

namespace zor {

class LoraWrite {
public:
    LoraWrite(
        CommandBus& bus, CommandWindow& window, TWriteOp& op, const TLoraSettings& settings, forms::Label& caption);
    LoraWrite(const LoraWrite&) = delete;
    LoraWrite& operator=(const LoraWrite&) = delete;

    // Sends count registers from start; false when the port is not ready.
    bool WriteBlock(uint8_t address, uint8_t start, const uint16_t* data, uint8_t count);
    // The echo of the block written from start: true once the last block is
    // written and the radio is to be restarted; the network key follows the
    // application key.
    bool Continue(uint8_t start);
    // The restart command, its echo, and no echo in time. A block write
    // that is not echoed ends as every write operation does.
    void Restart();
    void Restarted();
    void RestartTimedOut();

private:
    CommandBus& bus_;
    CommandWindow& window_;
    TWriteOp& op_;
    const TLoraSettings& settings_;
    forms::Label& caption_;
};

} // namespace zor
