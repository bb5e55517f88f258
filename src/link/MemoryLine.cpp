#include "link/MemoryLine.h"

#include <algorithm>

namespace zor {

namespace {

constexpr uint64_t kNsPerMs = 1'000'000;
constexpr uint64_t kNsPerS = 1'000'000'000;

bool sameFraming(const LineSettings& a, const LineSettings& b)
{
    return a.baud == b.baud && a.dataBits == b.dataBits && a.parity == b.parity && a.stopBits == b.stopBits;
}

uint8_t dataMask(uint8_t dataBits)
{
    return dataBits >= 8 ? 0xFF : static_cast<uint8_t>((1u << dataBits) - 1);
}

} // namespace

MemoryLine::MemoryLine(EventLoop& loop, std::string name)
    : loop_(loop)
    , name_(std::move(name))
    , lastTick_(loop.tickCount())
{
}

uint8_t MemoryLine::heardAs(uint8_t byte, const LineSettings& sentWith, const LineSettings& receiver)
{
    const uint8_t mask = dataMask(receiver.dataBits);
    if (sameFraming(sentWith, receiver))
        return byte & mask;
    return static_cast<uint8_t>(~byte) & mask;
}

void MemoryLine::unplug()
{
    settle();
    present = false;
    ++plugs;
    inQueue.clear();
    dropOutput();
}

uint64_t MemoryLine::nowNs()
{
    const uint32_t tick = loop_.tickCount();
    elapsedMs_ += static_cast<uint32_t>(tick - lastTick_);
    lastTick_ = tick;
    return elapsedMs_ * kNsPerMs;
}

void MemoryLine::settle()
{
    // A receiver that reacts by calling into the line must not deliver the
    // following bytes from inside this delivery.
    if (settling_)
        return;
    settling_ = true;
    const uint64_t now = nowNs();
    while (!toMaster_.empty() && toMaster_.front().doneNs <= now) {
        const InFlight f = toMaster_.front();
        toMaster_.pop_front();
        // A closed port hears nothing; a full input queue overruns.
        if (masterOpen && present && inQueue.size() < inCapacity)
            inQueue.push_back(heardAs(f.byte, f.sentWith, master));
    }
    while (!toSlave_.empty() && toSlave_.front().doneNs <= now) {
        const InFlight f = toSlave_.front();
        toSlave_.pop_front();
        if (receiver)
            receiver(f.byte, f.sentWith);
    }
    settling_ = false;
}

void MemoryLine::transmit(
    std::deque<InFlight>& queue, uint64_t& busyNs, const uint8_t* data, size_t n, const LineSettings& settings)
{
    const uint64_t now = nowNs();
    const uint64_t start = std::max(now, busyNs);
    const uint64_t bits = characterBits(settings);
    const uint64_t baud = std::max<uint32_t>(settings.baud, 1);
    const uint8_t mask = dataMask(settings.dataBits);
    for (size_t k = 0; k < n; ++k) {
        // Counted from the start of the write, so that rounding does not add
        // up over a long write.
        const uint64_t done = start + (k + 1) * bits * kNsPerS / baud;
        queue.push_back({ static_cast<uint8_t>(data[k] & mask), settings, done });
    }
    if (n > 0)
        busyNs = queue.back().doneNs;
}

void MemoryLine::masterSend(const uint8_t* data, size_t n)
{
    transmit(toSlave_, toSlaveBusyNs_, data, n, master);
    // The far end hears each byte at its own time.
    const uint64_t now = nowNs();
    std::weak_ptr<MemoryLine> self = weak_from_this();
    for (auto it = toSlave_.end() - static_cast<std::ptrdiff_t>(n); it != toSlave_.end(); ++it) {
        const uint64_t delayMs = (it->doneNs - now + kNsPerMs - 1) / kNsPerMs;
        loop_.callLater(static_cast<uint32_t>(delayMs), [self] {
            if (auto line = self.lock())
                line->settle();
        });
    }
}

void MemoryLine::dropOutput()
{
    toSlave_.clear();
    toSlaveBusyNs_ = nowNs();
}

void MemoryLine::slaveSend(const uint8_t* data, size_t n, const LineSettings& settings)
{
    transmit(toMaster_, toMasterBusyNs_, data, n, settings);
}

uint64_t MemoryLine::untilFront(const std::deque<InFlight>& queue)
{
    const uint64_t now = nowNs();
    if (queue.empty() || queue.front().doneNs <= now)
        return 0;
    return queue.front().doneNs - now;
}

uint64_t MemoryLine::untilNextOutput()
{
    return untilFront(toSlave_);
}

uint64_t MemoryLine::untilNextInput()
{
    return untilFront(toMaster_);
}

} // namespace zor
