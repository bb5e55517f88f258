#pragma once
// Turning what the device database says about one tty device into a port of
// the catalogue. Pure, so that tests feed it made-up devices.

#include "ports/TPortEntry.h"

#include <map>
#include <optional>
#include <string>

namespace zor::ports {

// The device's udev properties (DEVNAME, DEVPATH, ID_MODEL, ...) and, under
// udev's rule names, the sysfs attributes that help: "ATTR{type}" (the UART
// type of a ttyS port, 0 when no UART answers there) and "ATTRS{product}",
// "ATTRS{manufacturer}" (from the USB device above it).
using PropertySet = std::map<std::string, std::string>;

struct UdevPort {
    // The port's number in the catalogue, fixed by its kind and index
    // (ttyS0 is 1, ttyUSB0 is 257, ...); 0 for a kind without numbers, which
    // the catalogue then numbers itself.
    int32_t number = 0;
    std::string kernelName; // ttyUSB0
    TPortEntry record; // PortName is the device path
};

// Nothing for a tty that is no serial port: virtual consoles, pseudo-terminal
// masters, ttyS names without a UART behind them.
std::optional<UdevPort> PortFromUdev(const PropertySet& device);

// The device's link under /dev/serial/by-id (named for the adapter's make
// and serial number), empty when udev made none.
std::string StableNameFromUdev(const PropertySet& device);

// The description shown for a built-in port that the database does not name.
inline constexpr const char* kSerialPortText = "Последовательный порт";
inline constexpr const char* kBluetoothPortText = "Последовательный порт Bluetooth";

} // namespace zor::ports
