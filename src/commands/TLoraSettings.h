#pragma once
// The LoRa radio settings and ABP session keys of a detector, as the LoRa
// window holds them, and the values the button "Исходные" loads.

#include <array>
#include <cstddef>
#include <cstdint>

namespace zor {

using TSessionKey = std::array<uint8_t, 16>;

struct TLoraSettings {
    uint16_t State = 0;
    uint32_t DevAddr = 0;
    uint32_t Chan1 = 0;
    uint32_t Chan2 = 0;
    uint32_t Chan3 = 0;
    uint8_t BandWidth = 0;
    uint8_t CodingRate = 0;
    uint8_t Power = 0;
    uint8_t SFactor = 0;
    uint16_t Period = 0;
    TSessionKey AppSKey {};
    TSessionKey NwkSKey {};

    bool operator==(const TLoraSettings&) const = default;
};

// Values of the LoRa state word.
constexpr uint16_t LoraActive = 1;
constexpr uint16_t LoraFactory = 4;

inline constexpr TSessionKey DefaultSessionKey { 0x5C, 0x0E, 0x93, 0xA1, 0xD7, 0x4F, 0x28, 0xB6, 0xE0, 0xA3, 0xC9, 0x17,
    0x5D, 0x2B, 0x84, 0xF6 };

// DevAddr is not used: the address shown stays.
inline constexpr TLoraSettings LoraDefaults { LoraFactory, 0, 868100000, 868300000, 868500000, 0, 0, 0, 3, 60,
    DefaultSessionKey, DefaultSessionKey };

// A key as the eight registers that carry it, the first byte in the high
// byte of the first register.
constexpr std::array<uint16_t, 8> KeyRegisters(const TSessionKey& key)
{
    std::array<uint16_t, 8> regs {};
    for (std::size_t i = 0; i < regs.size(); ++i)
        regs[i] = static_cast<uint16_t>(key[2 * i] << 8 | key[2 * i + 1]);
    return regs;
}

} // namespace zor
