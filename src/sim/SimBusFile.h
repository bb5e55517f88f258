#pragma once
// Bus descriptions: a small text format with one detector per line, the
// model first and then key=value settings, "#" starting a comment:
//
//   ZOR-11 address=2 gas=23 warmup=30s noise=2
//
// demoBusText() is the default bus of zor-sim and documents every key.

#include "sim/SimBus.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace zor {

// "where: what", e.g. "my.bus:3: unknown key \"colour\"".
class SimBusFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Adds one detector described like a line of a bus file; where names it in
// error messages.
void addDetectorLine(SimBus& bus, std::string_view line, const std::string& where);
// Adds every detector of a description; name labels the messages.
void loadBusText(SimBus& bus, std::string_view text, const std::string& name);
// Reads the file and loads it.
void loadBusFile(SimBus& bus, const std::string& path);

// The demo bus: four detectors, one of each model, with a flammable gas in
// %НКПР, oxygen, a toxic gas in млн-1 and a gas in %об., at 19200 baud 8E1,
// addresses 1 to 4.
std::string_view demoBusText();

} // namespace zor
