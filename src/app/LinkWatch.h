#pragma once
// What the main window keeps about its serial link beyond the link itself:
// which device node it holds, the port it lost and what the loss stopped,
// the read cycles missed in a row, and the recent comings and goings of
// ports that explain a port that will not open.

#include "runtime/EventLoop.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace zor {

struct LinkWatch {
    // Where the running programs are seen.
    std::string proc;
    // The device node of the open link (a by-id link or a link made for a
    // pseudo-terminal resolved), to know its removal when udev reports it.
    std::string held;
    // The name of the port the link lost; empty while the link is not lost.
    std::string lost;
    // Automatic reading was on when the port was lost.
    bool readingStopped = false;
    // Tries to reopen a lost port while it is away.
    std::unique_ptr<Timer> regain;
    // The port was reopened and nothing has answered on it since (tick
    // count of the reopening).
    bool onTrial = false;
    uint32_t reopenedAt = 0;
    // The port opens but fails again before anything answers (a damaged
    // adapter or cable): it is tried ever more rarely and without a word
    // until something answers on it, it is plugged in again, or a command
    // tries it.
    bool quiet = false;
    // Read cycles in a row whose answer had not come at the next tick.
    int missedCycles = 0;
    // The device's silence has been told in this run of misses.
    bool silenceTold = false;
    // Why the port that is back will not open has been told in this loss.
    bool refusalTold = false;
    // The driver's refusal of RS-485 mode has been told.
    bool rs485Told = false;
    // When each device node last arrived (tick count).
    std::map<std::string, uint32_t> arrivals;
    // A CH340 or CP210x adapter that vanished right after it arrived: its
    // chip and node, for the explanation of a missing port.
    std::string vanishedChip;
    std::string vanishedNode;
};

} // namespace zor
