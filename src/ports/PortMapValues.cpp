#include "ports/PortMapValues.h"

#include "ports/DeviceListLoad.h"

#include <algorithm>
#include <cctype>

namespace zor::ports {

namespace {

// The number of "COMn" (n from 1), 0 for any other name.
int32_t portNumber(const std::string& name)
{
    return name.rfind("COM", 0) == 0 ? std::max(ComNumber(name), 0) : 0;
}

} // namespace

PortMap PortMapFromValues(const std::vector<PortMapValue>& values)
{
    PortMap map;
    for (const PortMapValue& value : values) {
        std::string name = Trimmed(value.portName);
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
        const int32_t number = portNumber(name);
        const bool seen
            = std::any_of(map.begin(), map.end(), [&](const PortMapEntry& e) { return e.portName == name; });
        if (number == 0 || seen)
            continue;
        map.push_back({ number, name, value.kernelName });
    }
    std::stable_sort(
        map.begin(), map.end(), [](const PortMapEntry& a, const PortMapEntry& b) { return a.number < b.number; });
    return map;
}

} // namespace zor::ports
