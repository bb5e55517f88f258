#pragma once
// The serial ports present on this machine, from udev's device database:
// every tty that is a serial port, numbered by its kind and index, with the
// description and manufacturer the database gives.

#include "ports/PortProvider.h"

namespace zor::ports {

class UdevPortProvider final : public PortProvider {
public:
    PlatformPorts ReadPorts() override;
};

} // namespace zor::ports
