#pragma once
// The port and line settings the window remembers across runs. The desktop
// program keeps them in the user's configuration (Qt's settings).

#include <cstdint>
#include <string>

namespace zor {

struct LineMemory {
    std::string port; // the link name: a /dev/serial/by-id link, a device path or a network name
    uint32_t baud = 19200;
    uint8_t byteSize = 8;
    uint8_t parity = 2; // TParity code
    uint8_t stopBits = 0; // TStopBits code
    bool rs485 = false;
    // The network bus last named in "Сетевой порт...", chosen or not.
    std::string network;

    bool operator==(const LineMemory&) const = default;
};

} // namespace zor
