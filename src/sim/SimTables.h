#pragma once
// What a simulated detector needs to know about its model and its gas: the
// identification-number band and firmware of each model, and per gas code the
// decimals, the unit, the reference concentration and whether the
// temperature register runs in hundredths of a degree.

#include <cstdint>
#include <optional>
#include <string_view>

namespace zor {

enum class SimModel : uint8_t { Zor10, Zor11, Zor12, Zor13 };

struct SimModelInfo {
    std::string_view name; // "ZOR-10" ..
    uint32_t firstSerial; // identification-number band
    uint32_t lastSerial;
    uint16_t version; // default firmware, major * 100 + minor
};

const SimModelInfo& simModelInfo(SimModel model);
// "ZOR-10" .. "ZOR-13"; nothing for any other text.
std::optional<SimModel> simModelNamed(std::string_view name);

// Unit codes as the detectors report them.
enum : uint8_t { kSimUnitPpm = 139, kSimUnitVol = 149, kSimUnitLel = 161 };

struct SimGasInfo {
    uint16_t lel; // reference concentration; for %НКПР gases 0.01 %об
    uint8_t decimals; // of the register units
    uint8_t unit;
    bool tempInHundredths;
};

constexpr uint8_t kSimGasCount = 34;
constexpr uint8_t kSimGasOxygen = 23;

// code 0..33.
const SimGasInfo& simGasInfo(uint8_t code);

} // namespace zor
