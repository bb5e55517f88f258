#pragma once
// What the platform says when devices come and go, in the terms the holder
// and the port box decide on.

#include <cstdint>

namespace zor::ports {

enum class TDeviceEvent : uint8_t {
    DevNodesChanged, // something in the device tree changed
    DeviceArrival,
    DeviceRemoveComplete,
    Other,
};
enum class TDeviceType : uint8_t { Port, Other };

struct TDeviceChange {
    TDeviceEvent event = TDeviceEvent::Other;
    TDeviceType type = TDeviceType::Other;
};

} // namespace zor::ports
