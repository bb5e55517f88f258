#pragma once
// The tool's constant vocabulary: gases, units, models, line settings and
// the texts of the write operations. Built at compile time, never changed.

#include "device/WriteOp.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zor {

// One row of the gas table, indexed by the gas code the device holds.
struct stGas {
    std::string_view Name; // caption of the panel's first section
    std::string_view Formula; // the only item of the gas list
    uint16_t Lel; // lower explosive limit in 0.01 %об, or a reference value
    float NominalRange; // %НКПР
    uint8_t Decimals; // a register value v is shown as v / 10^Decimals
    uint8_t Unit1; // unit code of unit list item 0
    uint8_t Unit2; // unit code of unit list item 1
    float MgFactor; // from Unit1 to Unit2
    int32_t TempInHundredths; // 1: temperature in 0.01 degree past the version gate
    int32_t Spare1;
    float Spare2;
    uint8_t ListPos;
};

constexpr int GasCount = 34;
using TGasTable = std::array<stGas, GasCount>;
extern const TGasTable Gases;

constexpr uint8_t GasOxygen = 23;

// Unit codes.
enum : uint8_t {
    UnitPpm = 139,
    UnitVol = 149,
    UnitLel = 161,
    UnitMgM3 = 171,
};
// The text of a unit code; "???" for a code that names no unit.
std::string UnitText(uint8_t unit);

// Indexed by TDevice::Model.
inline constexpr std::array<std::string_view, 4> ModelNames { "ZOR-11", "ZOR-12", "ZOR-13", "ZOR-10" };

// Indexed by the codes of the line register.
inline constexpr std::array<int32_t, 9> BaudRates { 0, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200 };
// The port's parity values: none, odd, even, mark.
inline constexpr std::array<uint8_t, 4> ParityCodes { 0, 1, 2, 3 };
// The port's stop-bit values: 0 one, 1 one and a half, 2 two.
inline constexpr std::array<uint8_t, 4> StopBitCodes { 1, 0, 2, 0 };

// Indexed by the port's parity and stop-bit values.
inline constexpr std::array<std::string_view, 5> ParityNames { "None", "Odd", "Even", "Mark", "Space" };
inline constexpr std::array<std::string_view, 3> StopBitNames { "1", "1,5", "2" };

// Status text while an operation runs, and the message when it is done;
// empty for the operations that have none.
inline constexpr std::array<std::string_view, 8> WriteOpTexts { "", "", "", "Установка 0...", "Градуировка...",
    "Сброс градуировки...", "", "" };
inline constexpr std::array<std::string_view, 8> WriteOpDoneTexts { "", "", "", "Установка 0 произведена",
    "Градуировка произведена", "Сброс градуировки произведён", "", "" };

} // namespace zor
