#include "ports/UdevPortMonitor.h"

#include "ports/UdevProperties.h"

#include <libudev.h>

#include <fcntl.h>

namespace zor::ports {

std::optional<TDeviceChange> DeviceChangeFromUdev(const std::string& action)
{
    if (action == "add")
        return TDeviceChange { TDeviceEvent::DeviceArrival, TDeviceType::Port };
    if (action == "remove")
        return TDeviceChange { TDeviceEvent::DeviceRemoveComplete, TDeviceType::Port };
    return std::nullopt;
}

UdevPortMonitor::UdevPortMonitor(std::function<void(const PortEvent&)> onChange)
    : onChange_(std::move(onChange))
    , udev_(udev_new())
{
    if (!udev_)
        return;
    // Events from udev itself, not the kernel's: they come once the device
    // node exists and the database knows the device.
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_)
        return;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) < 0
        || udev_monitor_enable_receiving(monitor_) < 0) {
        monitor_ = udev_monitor_unref(monitor_);
        return;
    }
    const int fd = udev_monitor_get_fd(monitor_);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

UdevPortMonitor::~UdevPortMonitor()
{
    udev_monitor_unref(monitor_);
    udev_unref(udev_);
}

int UdevPortMonitor::fd() const
{
    return monitor_ ? udev_monitor_get_fd(monitor_) : -1;
}

void UdevPortMonitor::HandlePending()
{
    if (!monitor_)
        return;
    while (udev_device* dev = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(dev);
        std::optional<PortEvent> msg = PortEventFromUdev(action ? action : "", UdevProperties(dev));
        udev_device_unref(dev);
        if (msg && onChange_)
            onChange_(*msg);
    }
}

} // namespace zor::ports
