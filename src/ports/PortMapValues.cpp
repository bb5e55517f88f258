#include "ports/PortMapValues.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace zor::ports {

namespace {

std::string upperTrimmed(const std::string& s)
{
    const auto space = [](unsigned char c) { return std::isspace(c) != 0; };
    auto b = std::find_if_not(s.begin(), s.end(), space);
    auto e = std::find_if_not(s.rbegin(), std::string::const_reverse_iterator(b), space).base();
    std::string out(b, e);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
    return out;
}

// The number of "COMn", 0 for any other name.
int32_t comNumber(const std::string& name)
{
    if (name.rfind("COM", 0) != 0 || name.size() == 3)
        return 0;
    int32_t n = 0;
    const char* first = name.data() + 3;
    const char* last = name.data() + name.size();
    auto [end, ec] = std::from_chars(first, last, n);
    return ec == std::errc() && end == last && n > 0 ? n : 0;
}

} // namespace

PortMap PortMapFromValues(const std::vector<PortMapValue>& values)
{
    PortMap map;
    for (const PortMapValue& value : values) {
        const std::string name = upperTrimmed(value.portName);
        const int32_t number = comNumber(name);
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
