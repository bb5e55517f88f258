#include "link/PortByName.h"

#include "link/NetworkName.h"

namespace zor {

PortByName::PortByName(std::unique_ptr<SerialPort> serial, std::unique_ptr<SerialPort> network)
    : serial_(std::move(serial))
    , network_(std::move(network))
    , active_(serial_.get())
{
}

void PortByName::use(SerialPort& next)
{
    if (active_ != &next)
        active_->close();
    active_ = &next;
}

bool PortByName::open(const std::string& name)
{
    use(IsNetworkName(name) ? *network_ : *serial_);
    return active_->open(name);
}

bool PortByName::attach(intptr_t handle)
{
    use(*serial_);
    return active_->attach(handle);
}

} // namespace zor
