#pragma once
// The serial ports of a Windows machine: the port map from the registry
// (HARDWARE\DEVICEMAP\SERIALCOMM) and the records of the devices behind
// them from SetupAPI (description, manufacturer, driver, where the device
// sits), for the catalogue's merge to join.

#include "ports/PortProvider.h"

namespace zor::ports {

class Win32PortProvider final : public PortProvider {
public:
    // presentOnly: the devices plugged in now; otherwise every device the
    // setup database remembers.
    explicit Win32PortProvider(bool presentOnly = true)
        : presentOnly_(presentOnly)
    {
    }
    PlatformPorts ReadPorts() override;

private:
    bool presentOnly_;
};

} // namespace zor::ports
