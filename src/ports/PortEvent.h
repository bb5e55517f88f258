#pragma once
// A serial port that came or went, as the window needs to know of it: the
// device node, the adapter's stable name, and whether the adapter is one that
// brltty takes for a Braille display.

#include "ports/TDeviceChange.h"
#include "ports/UdevPort.h"

#include <optional>
#include <string>

namespace zor::ports {

struct PortEvent {
    TDeviceChange change;
    std::string node; // /dev/ttyUSB0
    std::string stableName; // /dev/serial/by-id/..., empty without one
    // "CH340" or "CP210x" for the USB-serial chips whose identities brltty
    // claims; empty for any other.
    std::string adapter;
};

// Nothing for an action that says nothing about ports coming or going.
std::optional<PortEvent> PortEventFromUdev(const std::string& action, const PropertySet& device);

} // namespace zor::ports
