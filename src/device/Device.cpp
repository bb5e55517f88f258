#include "device/Device.h"

namespace zor {

int32_t SerialNumber(uint16_t lo, uint16_t hi)
{
    return static_cast<int32_t>(static_cast<uint32_t>(hi) << 16 | lo);
}

std::optional<int32_t> ClassifyModel(int32_t serial)
{
    if (serial < 6000000 || serial > 9699999)
        return std::nullopt;
    if (serial <= 9399999)
        return ModelZor10;
    if (serial <= 9499999)
        return ModelZor11;
    if (serial <= 9599999)
        return ModelZor12;
    return ModelZor13;
}

int GasCode(const TDevice& device)
{
    const int code = device.Regs[RegGas];
    return code < GasCount ? code : 1;
}

bool VersionMatch(const TDevice& device, int m, int b)
{
    if (device.Model == ModelZor11 || device.Model == ModelZor12 || device.Model == ModelZor13)
        return true;
    const int version = device.Regs[RegVersion];
    return device.Model == ModelZor10 && version % 100 >= m && version / 10 < b / 10;
}

} // namespace zor
