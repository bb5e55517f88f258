#pragma once
// An in-memory RS-485 line with wire timing, for tests and the in-process
// demo. A byte written at time t at 19200 baud 8E1 (11 bits) arrives
// 11/19200 s later, and the bytes of one write follow one another. Line
// settings travel with the wire: bytes sent at other settings than the
// receiver's arrive garbled, so the two ends do not understand each other.

#include "link/SerialPort.h"
#include "runtime/EventLoop.h"

#include <functional>
#include <memory>
#include <string>

namespace zor {

class MemoryWire {
public:
    // name: the only port name that the master end opens.
    MemoryWire(EventLoop& loop, std::string name = "COM1");
    ~MemoryWire();

    // The master end as a driver backend (the wire outlives it). Opening it
    // by another name than the wire's fails; so does opening it twice.
    std::unique_ptr<SerialPort> masterPort();

    // The far end, where simulated detectors listen. It is always open.
    // Every byte that arrives there is handed to the receiver at its arrival
    // time, together with the master's line settings at the moment it was
    // sent (so the listener can tell whether it understands them).
    using Receiver = std::function<void(uint8_t byte, const LineSettings& sentWith)>;
    void setSlaveReceiver(Receiver receiver);
    // Sends bytes from the far end with the given line settings; they arrive
    // at the master end one after another with wire timing, garbled when the
    // master's settings differ.
    void slaveSend(const uint8_t* data, size_t n, const LineSettings& settings);

    const std::string& name() const;
    // The master end's current line settings (what a pty would show as its
    // rate), whether it is open, and how many times it has been opened.
    const LineSettings& masterSettings() const;
    bool masterOpen() const;
    uint32_t masterOpens() const;

    // The master's adapter pulled out and plugged in again: a port opened
    // before is lost for good, the name opens again once plugged in.
    void unplug();
    void plugIn();
    // A damaged adapter or cable: the name still opens and takes its line
    // settings, but every transfer on the master end fails as on a lost
    // port.
    void setFailing(bool failing);

    // The modem status lines that the master end reads (kLineCTS ...).
    void setModemLines(uint8_t lines);

    // What a receiver set to `receiver` makes of `byte` sent with
    // `sentWith`: the byte when the framing (rate, data bits, parity, stop
    // bits) matches, otherwise a garbled byte that spoils any frame's CRC.
    static uint8_t heardAs(uint8_t byte, const LineSettings& sentWith, const LineSettings& receiver);

private:
    struct State;
    std::shared_ptr<State> s_;
};

} // namespace zor
