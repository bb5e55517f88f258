#include "ports/PortEvent.h"

#include "ports/UdevPortMonitor.h"

namespace zor::ports {

namespace {

std::string get(const PropertySet& p, const char* key)
{
    auto it = p.find(key);
    return it == p.end() ? std::string() : it->second;
}

// The USB identities in brltty's device rules that ordinary USB-serial
// adapters share.
struct Spoiled {
    const char* vendor;
    const char* model;
    const char* chip;
};
constexpr Spoiled kBrlttyClaims[] = { { "1a86", "7523", "CH340" }, { "10c4", "ea60", "CP210x" } };

} // namespace

std::optional<PortEvent> PortEventFromUdev(const std::string& action, const PropertySet& device)
{
    const std::optional<TDeviceChange> change = DeviceChangeFromUdev(action);
    if (!change)
        return std::nullopt;
    PortEvent event;
    event.change = *change;
    event.node = get(device, "DEVNAME");
    event.stableName = StableNameFromUdev(device);
    const std::string vendor = get(device, "ID_VENDOR_ID");
    const std::string model = get(device, "ID_MODEL_ID");
    for (const Spoiled& s : kBrlttyClaims)
        if (vendor == s.vendor && model == s.model)
            event.adapter = s.chip;
    return event;
}

} // namespace zor::ports
