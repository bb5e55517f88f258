#pragma once
// Tells when a serial port arrives or leaves. The Qt view watches fd() and
// calls HandlePending when it becomes readable; each event about a tty is
// handed on as a port event (to the window, which rebuilds the port list and
// watches for the port its link holds). Without udev's event socket fd() is
// -1 and nothing is reported.

#include "ports/PortEvent.h"
#include "ports/TDeviceChange.h"

#include <functional>
#include <optional>
#include <string>

struct udev;
struct udev_monitor;

namespace zor::ports {

// The message for a udev action on a tty: "add" is an arrival, "remove" a
// removal, anything else says nothing about ports coming or going.
std::optional<TDeviceChange> DeviceChangeFromUdev(const std::string& action);

class UdevPortMonitor {
public:
    explicit UdevPortMonitor(std::function<void(const PortEvent&)> onChange);
    ~UdevPortMonitor();
    UdevPortMonitor(const UdevPortMonitor&) = delete;
    UdevPortMonitor& operator=(const UdevPortMonitor&) = delete;

    int fd() const;
    // Reads every event waiting, without blocking.
    void HandlePending();

private:
    std::function<void(const PortEvent&)> onChange_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
};

} // namespace zor::ports
