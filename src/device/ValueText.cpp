#include "device/ValueText.h"

#include "runtime/NumberFormat.h"

#include <cmath>

namespace zor {

std::string RangeText(const stGas& gas, uint8_t unit, uint16_t v, char separator)
{
    return unit == UnitLel ? FormatFixed(static_cast<double>(v) / gas.Lel * 100, 3, gas.Decimals, separator)
                           : FormatFixed(v / std::pow(10.0, gas.Decimals), 4, gas.Decimals, separator);
}

std::string TemperatureText(const TDevice& dev, const stGas& gas, uint16_t v, char separator)
{
    int t = static_cast<int16_t>(v);
    if (gas.TempInHundredths != 0 && VersionMatch(dev, 4, 300))
        t /= 10; // toward zero, as the device's own display does
    return FormatGeneral(t * 0.1, 5, separator);
}

} // namespace zor
