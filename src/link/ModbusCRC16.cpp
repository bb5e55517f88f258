#include "link/TVSModbusRTU.h"

#include <array>

namespace zor {

namespace {

// The reflected CRC-16 table (polynomial 0xA001) split into its low and high
// bytes, so that the register can be kept as two bytes.
struct CrcTables {
    std::array<uint8_t, 256> lo {};
    std::array<uint8_t, 256> hi {};
};

constexpr CrcTables makeTables()
{
    CrcTables t;
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t r = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            r = (r & 1) ? static_cast<uint16_t>((r >> 1) ^ 0xA001) : static_cast<uint16_t>(r >> 1);
        t.lo[i] = static_cast<uint8_t>(r & 0xFF);
        t.hi[i] = static_cast<uint8_t>(r >> 8);
    }
    return t;
}

constexpr CrcTables kTables = makeTables();

} // namespace

uint16_t ModbusCRC16Add(uint16_t crc, uint8_t byte)
{
    const uint8_t i = byte ^ static_cast<uint8_t>(crc);
    return static_cast<uint16_t>(kTables.hi[i] << 8 | (kTables.lo[i] ^ static_cast<uint8_t>(crc >> 8)));
}

uint16_t ModbusCRC16(const uint8_t* data, size_t n)
{
    uint16_t crc = 0xFFFF;
    for (size_t k = 0; k < n; ++k)
        crc = ModbusCRC16Add(crc, data[k]);
    return crc;
}

} // namespace zor
