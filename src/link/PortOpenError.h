#pragma once
// Why a port did not open, told the technician in the window's words: what
// failed and what to do about it. The facts come from the system (see
// PortFacts.h); the texts are made here, so that each case can be checked
// without the system.

#include "link/PortError.h"

#include <string>

namespace zor {

struct OpenFailure {
    std::string port; // as the technician knows it
    PortError error = PortError::Other;
    // No permission: the group that owns the device node, and the user the
    // tool runs as.
    std::string group;
    std::string user;
    // Busy: the program that holds the port, "minicom (PID 4242)", when the
    // system shows it.
    std::string holder;
    // Busy: ModemManager runs and the port is a ttyACM one, which it probes
    // in its first seconds.
    bool modemManager = false;
    // Missing: brltty runs and an adapter of this chip ("CH340", "CP210x")
    // vanished right after it was plugged in.
    std::string brlttyAdapter;
};

std::string OpenFailureText(const OpenFailure& f);

// A command that needs the port, with no port chosen.
inline constexpr const char* kNoPortText
    = "Порт не выбран. Выберите порт адаптера в списке портов в разделе «Настройки».";

// The adapter named went away right after it was plugged in while brltty
// runs: brltty took it for a Braille display.
std::string BrlttyText(const std::string& adapter, const std::string& port);
// A ttyACM port opened in its first seconds while ModemManager runs.
std::string ModemManagerText(const std::string& port);

} // namespace zor
