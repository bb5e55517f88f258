#include "ports/UdevPort.h"

#include <algorithm>
#include <cctype>

namespace zor::ports {

namespace {

// Kinds of port with a block of numbers each, in the order they are listed.
struct Family {
    const char* prefix;
    int32_t first;
};
constexpr Family kFamilies[] = {
    { "ttyS", 1 },
    { "ttyUSB", 257 },
    { "ttyACM", 513 },
    { "ttyAMA", 769 },
    { "rfcomm", 1025 },
};
constexpr int32_t kFamilySize = 256;

std::string get(const PropertySet& p, const char* key)
{
    auto it = p.find(key);
    return it == p.end() ? std::string() : it->second;
}

// udev writes the bytes of the *_ENC properties it cannot keep as \xHH.
std::string decoded(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const auto hex = [&](size_t at) { return at < s.size() && std::isxdigit(static_cast<unsigned char>(s[at])); };
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'x' && hex(i + 2) && hex(i + 3)) {
            out += static_cast<char>(std::stoi(s.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string trimmed(std::string s)
{
    const auto space = [](unsigned char c) { return std::isspace(c) != 0; };
    s.erase(std::find_if_not(s.rbegin(), s.rend(), space).base(), s.end());
    s.erase(s.begin(), std::find_if_not(s.begin(), s.end(), space));
    return s;
}

// The first of the given names that says something: the encoded form as the
// device reports it, the plain one (blanks made underscores), the USB
// device's string, then the hardware database's name.
std::string firstName(const PropertySet& p, const char* enc, const char* plain, const char* attr, const char* db)
{
    if (std::string s = trimmed(decoded(get(p, enc))); !s.empty())
        return s;
    std::string s = get(p, plain);
    std::replace(s.begin(), s.end(), '_', ' ');
    if (s = trimmed(s); !s.empty())
        return s;
    if (s = trimmed(get(p, attr)); !s.empty())
        return s;
    return trimmed(get(p, db));
}

// The index after a family's prefix, -1 when the name is not of the family.
int familyIndex(const std::string& name, const std::string& prefix)
{
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return -1;
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 4
        || !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
        return -1;
    return std::stoi(digits);
}

} // namespace

std::optional<UdevPort> PortFromUdev(const PropertySet& device)
{
    const std::string devpath = get(device, "DEVPATH");
    std::string devnode = get(device, "DEVNAME");
    if (devpath.empty() || devnode.empty())
        return std::nullopt;
    if (devnode.front() != '/')
        devnode = "/dev/" + devnode;
    UdevPort port;
    port.kernelName = devpath.substr(devpath.rfind('/') + 1);

    const Family* family = nullptr;
    int index = -1;
    for (const Family& f : kFamilies)
        if ((index = familyIndex(port.kernelName, f.prefix)) >= 0) {
            family = &f;
            break;
        }
    const bool virtualDevice = devpath.rfind("/devices/virtual/", 0) == 0;
    const bool bluetooth = family && std::string(family->prefix) == "rfcomm";
    if (family && std::string(family->prefix) == "ttyS") {
        // The kernel makes ttyS devices for every possible UART; only those
        // where a UART was found have a type.
        const std::string type = trimmed(get(device, "ATTR{type}"));
        if (type.empty() || type == "0")
            return std::nullopt;
    } else if (virtualDevice && !bluetooth) {
        return std::nullopt; // consoles, ptmx, ttyprintk, ...
    }
    if (family && index < kFamilySize)
        port.number = family->first + index;

    TPortEntry& r = port.record;
    r.PortName = devnode;
    r.Description = firstName(device, "ID_MODEL_ENC", "ID_MODEL", "ATTRS{product}", "ID_MODEL_FROM_DATABASE");
    if (r.Description.empty())
        r.Description = bluetooth ? kBluetoothPortText : kSerialPortText;
    r.Manufacturer = firstName(device, "ID_VENDOR_ENC", "ID_VENDOR", "ATTRS{manufacturer}", "ID_VENDOR_FROM_DATABASE");
    r.Service = get(device, "ID_USB_DRIVER");
    r.InstanceId = devpath;
    r.RegKey = get(device, "ID_PATH");
    r.StableName = StableNameFromUdev(device);
    return port;
}

std::string StableNameFromUdev(const PropertySet& device)
{
    static const std::string kById = "/dev/serial/by-id/";
    const std::string links = get(device, "DEVLINKS");
    for (size_t at = 0; at < links.size();) {
        const size_t end = std::min(links.find(' ', at), links.size());
        const std::string link = links.substr(at, end - at);
        if (link.rfind(kById, 0) == 0 && link.size() > kById.size())
            return link;
        at = end + 1;
    }
    return {};
}

} // namespace zor::ports
