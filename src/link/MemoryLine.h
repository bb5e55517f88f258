#pragma once
// The state of an in-memory line between the master end and the far end:
// the bytes on their way in each direction with the time at which each one
// has fully arrived, the master's input queue and its line settings. Time is
// the event loop's tick clock, unwrapped, in nanoseconds so that the bits of
// a character add up exactly. Bytes for the master are settled into its input
// queue whenever the master end looks at it; bytes for the far end are handed
// over at their arrival time by deferred calls.

#include "link/SerialPort.h"
#include "runtime/EventLoop.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace zor {

class MemoryLine : public std::enable_shared_from_this<MemoryLine> {
public:
    using Receiver = std::function<void(uint8_t byte, const LineSettings& sentWith)>;

    MemoryLine(EventLoop& loop, std::string name);

    // What a receiver set to `receiver` reads when `byte` was sent with
    // `sentWith`: the byte itself (its data bits) when the framing matches,
    // otherwise every bit inverted. Inverting all bits of a frame shorter
    // than 32767 bytes always spoils its CRC.
    static uint8_t heardAs(uint8_t byte, const LineSettings& sentWith, const LineSettings& receiver);

    EventLoop& loop() { return loop_; }
    const std::string& name() const { return name_; }

    // Delivers everything that has arrived by now.
    void settle();
    uint64_t nowNs();

    // Master end. Unplugging the master's adapter ends every port opened
    // before it: they fail as lost ports do, also after it is plugged in
    // again, and the name opens nothing while it is out.
    bool masterOpen = false;
    bool present = true;
    uint32_t plugs = 0;
    void unplug();
    // A damaged adapter or cable: the name opens, every transfer on it
    // fails.
    bool failing = false;
    // How many times the master end has been opened.
    uint32_t opens = 0;
    LineSettings master;
    size_t inCapacity = 4096;
    size_t outCapacity = 4096;
    uint8_t modemLines = kLineCTS | kLineDSR;
    std::deque<uint8_t> inQueue;

    size_t outQueued() const { return toSlave_.size(); }
    // Queues bytes from the master end; they leave the output queue as they
    // finish on the wire.
    void masterSend(const uint8_t* data, size_t n);
    // Drops the bytes not yet sent (a purge of the output queue).
    void dropOutput();
    // Nanoseconds from now until the next byte finishes in either direction,
    // 0 when none is under way.
    uint64_t untilNextOutput();
    uint64_t untilNextInput();

    // Far end.
    Receiver receiver;
    void slaveSend(const uint8_t* data, size_t n, const LineSettings& settings);

private:
    struct InFlight {
        uint8_t byte;
        LineSettings sentWith;
        uint64_t doneNs;
    };
    // Appends n characters that go on the wire after busyNs and returns when
    // each one is done, through `queue`.
    void transmit(
        std::deque<InFlight>& queue, uint64_t& busyNs, const uint8_t* data, size_t n, const LineSettings& settings);
    uint64_t untilFront(const std::deque<InFlight>& queue);

    EventLoop& loop_;
    std::string name_;
    uint32_t lastTick_;
    uint64_t elapsedMs_ = 0;
    std::deque<InFlight> toSlave_;
    std::deque<InFlight> toMaster_;
    uint64_t toSlaveBusyNs_ = 0;
    uint64_t toMasterBusyNs_ = 0;
    bool settling_ = false;
};

} // namespace zor
