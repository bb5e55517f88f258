#include "ports/UdevPortProvider.h"

#include "ports/UdevPort.h"
#include "ports/UdevProperties.h"

#include <libudev.h>
#include <unistd.h>

#include <memory>

namespace zor::ports {

namespace {

struct UdevFree {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <class T> using UdevPtr = std::unique_ptr<T, UdevFree>;

} // namespace

PlatformPorts UdevPortProvider::ReadPorts()
{
    PlatformPorts ports;
    UdevPtr<udev> u(udev_new());
    if (!u)
        return ports;
    UdevPtr<udev_enumerate> en(udev_enumerate_new(u.get()));
    if (!en || udev_enumerate_add_match_subsystem(en.get(), "tty") < 0 || udev_enumerate_scan_devices(en.get()) < 0)
        return ports;
    udev_list_entry* entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en.get()))
    {
        UdevPtr<udev_device> dev(udev_device_new_from_syspath(u.get(), udev_list_entry_get_name(entry)));
        if (!dev)
            continue;
        std::optional<UdevPort> port = PortFromUdev(UdevProperties(dev.get()));
        // A port without its device node (not made yet, or hidden from a
        // container) cannot be opened.
        if (!port || access(port->record.PortName.c_str(), F_OK) != 0)
            continue;
        if (port->number > 0)
            ports.map.push_back({ port->number, port->record.PortName, port->kernelName });
        ports.devices.push_back(std::move(port->record));
    }
    return ports;
}

} // namespace zor::ports
