#pragma once
// The texts of the range and temperature registers as the panel shows them;
// the service journal writes the same texts.

#include "device/Device.h"
#include "device/Tables.h"

#include <cstdint>
#include <string>

namespace zor {

// The range register in the given unit: in %НКПР the device gives it in
// 0.01 %об and the gas's lower explosive limit turns it into percent of that
// limit; in any other unit it is in the gas's decimals.
std::string RangeText(const stGas& gas, uint8_t unit, uint16_t v, char separator);

// The temperature register in degrees: tenths, or hundredths for the gases
// that give them past the version gate.
std::string TemperatureText(const TDevice& dev, const stGas& gas, uint16_t v, char separator);

} // namespace zor
