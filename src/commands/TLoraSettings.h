#pragma once
// The LoRa radio settings and ABP session keys of a detector, as the LoRa
// window holds them.

#include <array>
#include <cstdint>

namespace zor {

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
    std::array<uint8_t, 16> AppSKey{};
    std::array<uint8_t, 16> NwkSKey{};

    bool operator==(const TLoraSettings&) const = default;
};

} // namespace zor
