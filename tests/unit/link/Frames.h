#pragma once
// Frames as the link tests write them: bytes with their CRC added.

#include "link/TVSModbusRTU.h"

#include <cstdint>
#include <vector>

namespace zor::test {

using Bytes = std::vector<uint8_t>;

// The bytes and their CRC-16/MODBUS, low byte first.
inline Bytes WithCrc(Bytes b)
{
    const uint16_t crc = ModbusCRC16(b.data(), b.size());
    b.push_back(static_cast<uint8_t>(crc & 0xFF));
    b.push_back(static_cast<uint8_t>(crc >> 8));
    return b;
}

} // namespace zor::test
