#pragma once
// One entry of the port catalogue. The same record carries, before the
// merge, what the platform's device database says about one device; those
// records are discarded once the catalogue is built.

#include <cstdint>
#include <string>
#include <vector>

namespace zor::ports {

// How the catalogue is built: the port map only; the port map merged with
// every device the database knows; the same with the devices present now.
enum class TEnumPorts : uint8_t { epQuickAll, epFullInfo, epFullPresent };

struct TPortEntry {
    int32_t Data = 0; // the port number, the sort key of the catalogue
    std::string NameFriendly; // the display text
    std::string NamePDO; // the kernel's name of the device
    std::string NameDeviceDos; // the port name from the port map
    std::string PortName; // the device path
    // A name that stays with the adapter when it is plugged in again, maybe
    // at another device path (/dev/serial/by-id/...); empty without one.
    std::string StableName;
    std::string Description;
    std::string Manufacturer;
    std::string Service; // the driver serving the device
    std::string Driver;
    std::string InstanceId; // where the device sits in the device tree
    std::string RegKey; // where its settings are kept
};

// One numbered port of the platform's port map.
struct PortMapEntry {
    int32_t number = 0;
    std::string portName;
    std::string kernelName;
};
using PortMap = std::vector<PortMapEntry>;

} // namespace zor::ports
