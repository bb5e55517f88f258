#include "link/MemoryPort.h"

#include "runtime/VirtualLoop.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace zor {

namespace {

constexpr intptr_t kLineHandle = 1;

// A blocked thread lets time pass and runs nothing meanwhile. In virtual time
// that is the clock moving on with no event fired (events that fall due
// fire late, at the next pass of the loop); on a real loop it is a short
// sleep, as a blocking write would be.
void passBlockedTime(EventLoop& loop, uint32_t ms)
{
    if (auto* virtualLoop = dynamic_cast<VirtualLoop*>(&loop))
        virtualLoop->setNow(virtualLoop->now() + ms);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

MemoryPort::MemoryPort(std::shared_ptr<MemoryLine> line)
    : line_(std::move(line))
{
}

MemoryPort::~MemoryPort()
{
    close();
}

bool MemoryPort::fail(PortError error)
{
    lastError_ = error;
    return false;
}

bool MemoryPort::usable()
{
    if (!open_)
        return fail(PortError::Io);
    if (!line_->present || plugs_ != line_->plugs)
        return fail(PortError::Lost);
    return true;
}

bool MemoryPort::transferable()
{
    if (!usable())
        return false;
    return !line_->failing || fail(PortError::Lost);
}

bool MemoryPort::open(const std::string& name)
{
    if (open_ || line_->masterOpen)
        return fail(PortError::Busy);
    if (name != line_->name() || !line_->present)
        return fail(PortError::NotFound);
    line_->settle();
    line_->masterOpen = true;
    ++line_->opens;
    line_->inQueue.clear();
    open_ = true;
    plugs_ = line_->plugs;
    lastError_ = PortError::None;
    return true;
}

void MemoryPort::close()
{
    if (!open_)
        return;
    line_->settle();
    line_->masterOpen = false;
    line_->inQueue.clear();
    line_->dropOutput();
    open_ = false;
}

bool MemoryPort::attach(intptr_t)
{
    return false;
}

void MemoryPort::detach()
{
    // The line's end stays taken, as a handle handed on elsewhere would.
    open_ = false;
}

intptr_t MemoryPort::handle() const
{
    return open_ ? kLineHandle : -1;
}

bool MemoryPort::applySettings(const LineSettings& s)
{
    if (!usable())
        return false;
    if (s.baud == 0 || s.dataBits < 5 || s.dataBits > 8)
        return fail(PortError::InvalidSetting);
    line_->settle();
    line_->master = s;
    return true;
}

bool MemoryPort::setQueueSizes(uint32_t in, uint32_t out)
{
    if (!usable())
        return false;
    if (in == 0 || out == 0)
        return fail(PortError::InvalidSetting);
    line_->inCapacity = in;
    line_->outCapacity = out;
    return true;
}

bool MemoryPort::queueStatus(uint32_t& inQueue, uint32_t& outQueue)
{
    if (!transferable())
        return false;
    line_->settle();
    inQueue = static_cast<uint32_t>(line_->inQueue.size());
    outQueue = static_cast<uint32_t>(line_->outQueued());
    return true;
}

long MemoryPort::read(uint8_t* buf, size_t n)
{
    if (!transferable())
        return -1;
    line_->settle();
    const size_t count = std::min(n, line_->inQueue.size());
    std::copy_n(line_->inQueue.begin(), count, buf);
    line_->inQueue.erase(line_->inQueue.begin(), line_->inQueue.begin() + static_cast<std::ptrdiff_t>(count));
    return static_cast<long>(count);
}

long MemoryPort::write(const uint8_t* buf, size_t n)
{
    if (!transferable())
        return -1;
    line_->settle();
    const size_t queued = line_->outQueued();
    const size_t room = line_->outCapacity > queued ? line_->outCapacity - queued : 0;
    const size_t count = std::min(n, room);
    line_->masterSend(buf, count);
    return static_cast<long>(count);
}

bool MemoryPort::purge(bool input, bool output)
{
    if (!usable())
        return false;
    line_->settle();
    if (input)
        line_->inQueue.clear();
    if (output)
        line_->dropOutput();
    return true;
}

bool MemoryPort::modemStatus(uint8_t& lines)
{
    if (!usable())
        return false;
    lines = line_->modemLines;
    return true;
}

bool MemoryPort::setDtr(bool on)
{
    if (!usable())
        return false;
    line_->master.dtrOn = on;
    return true;
}

bool MemoryPort::setRts(bool on)
{
    if (!usable())
        return false;
    line_->master.rts = on ? RtsMode::High : RtsMode::Low;
    return true;
}

void MemoryPort::block(uint64_t untilNs, uint32_t bound)
{
    constexpr uint64_t kNsPerMs = 1'000'000;
    const uint64_t ms = std::clamp<uint64_t>((untilNs + kNsPerMs - 1) / kNsPerMs, 1, std::max<uint32_t>(bound, 1));
    passBlockedTime(line_->loop(), static_cast<uint32_t>(ms));
    line_->settle();
}

void MemoryPort::waitWritable(uint32_t ms)
{
    line_->settle();
    block(line_->untilNextOutput(), ms);
}

void MemoryPort::waitReadable(uint32_t ms)
{
    line_->settle();
    block(line_->untilNextInput(), ms);
}

} // namespace zor
