#pragma once
// Where the catalogue's two sources come from. The desktop program reads the
// platform's device database (UdevPortProvider); tests and the window can
// hand in their own.

#include "ports/TPortEntry.h"

#include <vector>

namespace zor::ports {

struct PlatformPorts {
    PortMap map; // numbered ports
    std::vector<TPortEntry> devices; // device records describing ports
};

class PortProvider {
public:
    virtual ~PortProvider() = default;
    // Read anew on every call: ports come and go.
    virtual PlatformPorts ReadPorts() = 0;
};

} // namespace zor::ports
