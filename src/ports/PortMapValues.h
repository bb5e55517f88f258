#pragma once
// The platform's port map as the registry keeps it: one value per port,
// named by the kernel's device name and holding the port name.

#include "ports/TPortEntry.h"

#include <string>
#include <vector>

namespace zor::ports {

struct PortMapValue {
    std::string kernelName; // the value's name, \Device\Serial0
    std::string portName; // its data, COM1
};

// The numbered ports of the values, in ascending order of number: each
// port name upper-cased and trimmed; names that are not "COM" and a decimal
// number are skipped, and so is a port name met before.
PortMap PortMapFromValues(const std::vector<PortMapValue>& values);

} // namespace zor::ports
