#include "link/MemoryWire.h"

#include "link/MemoryLine.h"
#include "link/MemoryPort.h"

namespace zor {

struct MemoryWire::State : MemoryLine {
    using MemoryLine::MemoryLine;
};

MemoryWire::MemoryWire(EventLoop& loop, std::string name)
    : s_(std::make_shared<State>(loop, std::move(name)))
{
}

MemoryWire::~MemoryWire()
{
    // Ports may outlive the wire; the far end goes with it.
    s_->receiver = nullptr;
}

std::unique_ptr<SerialPort> MemoryWire::masterPort()
{
    return std::make_unique<MemoryPort>(s_);
}

void MemoryWire::setSlaveReceiver(Receiver receiver)
{
    s_->receiver = std::move(receiver);
}

void MemoryWire::slaveSend(const uint8_t* data, size_t n, const LineSettings& settings)
{
    s_->slaveSend(data, n, settings);
}

const std::string& MemoryWire::name() const
{
    return s_->name();
}

const LineSettings& MemoryWire::masterSettings() const
{
    return s_->master;
}

bool MemoryWire::masterOpen() const
{
    return s_->masterOpen;
}

uint32_t MemoryWire::masterOpens() const
{
    return s_->opens;
}

void MemoryWire::unplug()
{
    s_->unplug();
}

void MemoryWire::plugIn()
{
    s_->present = true;
}

void MemoryWire::setFailing(bool failing)
{
    s_->failing = failing;
}

void MemoryWire::setModemLines(uint8_t lines)
{
    s_->modemLines = lines;
}

uint8_t MemoryWire::heardAs(uint8_t byte, const LineSettings& sentWith, const LineSettings& receiver)
{
    return MemoryLine::heardAs(byte, sentWith, receiver);
}

} // namespace zor
