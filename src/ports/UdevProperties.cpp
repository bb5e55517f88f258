#include "ports/UdevProperties.h"

#include <libudev.h>

#include <string>

namespace zor::ports {

namespace {

void putAttr(PropertySet& p, const std::string& key, udev_device* dev, const char* attr)
{
    if (const char* v = dev ? udev_device_get_sysattr_value(dev, attr) : nullptr)
        p[key] = v;
}

} // namespace

PropertySet UdevProperties(udev_device* dev)
{
    PropertySet p;
    udev_list_entry* entry;
    udev_list_entry_foreach(entry, udev_device_get_properties_list_entry(dev))
    {
        const char* value = udev_list_entry_get_value(entry);
        p[udev_list_entry_get_name(entry)] = value ? value : "";
    }
    p["DEVPATH"] = udev_device_get_devpath(dev);
    if (const char* node = udev_device_get_devnode(dev))
        p["DEVNAME"] = node;
    putAttr(p, "ATTR{type}", dev, "type");
    // The parent is owned by the child; no unref.
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device");
    putAttr(p, "ATTRS{product}", usb, "product");
    putAttr(p, "ATTRS{manufacturer}", usb, "manufacturer");
    return p;
}

} // namespace zor::ports
