#pragma once
// What udev knows about a device, as the pure port functions read it.

#include "ports/UdevPort.h"

struct udev_device;

namespace zor::ports {

// Its properties, DEVPATH and DEVNAME, the UART type and the USB device's
// product and manufacturer strings where it has them.
PropertySet UdevProperties(udev_device* dev);

} // namespace zor::ports
