#include "ports/DeviceListLoad.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace zor::ports {

namespace {

bool equalNoCase(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
        [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

bool describes(const TPortEntry& record, const std::string& portName)
{
    return equalNoCase(Trimmed(record.PortName), portName)
        || record.Description.find("(" + portName + ")") != std::string::npos;
}

// What a matched or left-over record gives its entry.
void takeFrom(TPortEntry& entry, const TPortEntry& record)
{
    entry.Service = record.Service;
    entry.Description = record.Description;
    entry.Driver = record.Driver;
    entry.Manufacturer = record.Manufacturer;
    entry.RegKey = record.RegKey;
    entry.InstanceId = record.InstanceId;
    entry.StableName = record.StableName;
    // A record matched by its description may carry no port name (device
    // interfaces have a path instead); the entry then keeps the map's name,
    // which is still the one the port opens by.
    if (std::string name = Trimmed(record.PortName); !name.empty())
        entry.PortName = name;
    entry.NameFriendly = FriendlyName(entry.NameDeviceDos, entry.Description);
}

bool startsWith(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

} // namespace

std::string Trimmed(const std::string& s)
{
    const auto space = [](unsigned char c) { return std::isspace(c) != 0; };
    auto b = std::find_if_not(s.begin(), s.end(), space);
    auto e = std::find_if_not(s.rbegin(), std::string::const_reverse_iterator(b), space).base();
    return std::string(b, e);
}

int32_t ComNumber(const std::string& name)
{
    int32_t n = 0;
    const char* first = name.data() + 3;
    const char* last = name.data() + name.size();
    auto [end, ec] = std::from_chars(first, last, n);
    return (ec == std::errc() && end == last && first != last) ? n : 0;
}

std::string FriendlyName(const std::string& portName, const std::string& description)
{
    return description.empty() ? portName : portName + " (" + description + ")";
}

bool AddPortEntry(std::vector<TPortEntry>& list, TPortEntry entry)
{
    auto at = std::lower_bound(
        list.begin(), list.end(), entry.Data, [](const TPortEntry& e, int32_t n) { return e.Data < n; });
    if (at != list.end() && at->Data == entry.Data)
        return false;
    list.insert(at, std::move(entry));
    return true;
}

std::vector<TPortEntry> DeviceListLoad(const PortMap& map, std::vector<TPortEntry> devices, TEnumPorts mode)
{
    if (mode == TEnumPorts::epQuickAll)
        devices.clear();
    PortMap ordered = map;
    std::stable_sort(ordered.begin(), ordered.end(),
        [](const PortMapEntry& a, const PortMapEntry& b) { return a.number < b.number; });

    std::vector<TPortEntry> list;
    for (const PortMapEntry& port : ordered) {
        TPortEntry entry;
        entry.NameFriendly = entry.NameDeviceDos = entry.PortName = port.portName;
        entry.NamePDO = port.kernelName;
        entry.Data = port.number;
        const bool compared = !devices.empty();
        auto match = std::find_if(
            devices.begin(), devices.end(), [&](const TPortEntry& r) { return describes(r, port.portName); });
        if (match != devices.end()) {
            takeFrom(entry, *match);
            devices.erase(match);
        } else if (compared && mode == TEnumPorts::epFullPresent) {
            continue;
        }
        AddPortEntry(list, std::move(entry));
    }

    int32_t next = kFirstUnnumberedPort;
    for (const TPortEntry& record : devices) {
        const std::string name = Trimmed(record.PortName);
        if (name.empty() || startsWith(name, "LPT"))
            continue;
        TPortEntry entry;
        entry.NameDeviceDos = name;
        entry.Data = startsWith(name, "COM") ? ComNumber(name) : next++;
        takeFrom(entry, record);
        AddPortEntry(list, std::move(entry));
    }
    return list;
}

} // namespace zor::ports
