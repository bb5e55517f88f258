#pragma once
// The platform's port operations, as the serial driver uses them. The POSIX
// backend (PosixSerialPort) drives a tty through termios, the Win32 one
// (Win32SerialPort) a COM port through its device control block; the
// in-memory backend (MemoryPort) carries bytes over a simulated wire with
// its timing. Every operation on a closed port fails or returns its neutral
// value; none throws.

#include "link/PortError.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace zor {

enum class ParityKind : uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };
// The ordinal is the platform's stop-bit code: one, one and a half, two.
enum class StopBitsKind : uint8_t { One = 0, OneAndHalf = 1, Two = 2 };
enum class RtsMode : uint8_t { Low, High, Handshake };

// The line settings that a port applies in one go.
struct LineSettings {
    uint32_t baud = 9600;
    uint8_t dataBits = 8; // 5..8
    ParityKind parity = ParityKind::None;
    StopBitsKind stopBits = StopBitsKind::One;
    RtsMode rts = RtsMode::High; // Handshake also enables CTS output flow control
    bool xonXoff = false;
    bool dtrOn = true;
    uint16_t xonLimit = 512;
    uint16_t xoffLimit = 512;

    bool operator==(const LineSettings&) const = default;
};

// Time to send one character: start bit, data bits, parity bit, stop bits.
// One and a half stop bits count as two here; the wire only needs whole bits.
uint32_t characterBits(const LineSettings& s);

// Modem status lines, bit n for the ordinal of TLineStatus.
enum : uint8_t { kLineCTS = 1, kLineDSR = 2, kLineRING = 4, kLineCD = 8 };

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the named port exclusively; false when it is missing or busy.
    virtual bool open(const std::string& name) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Takes over an already open platform handle (a file descriptor, a
    // HANDLE on Windows); the port then owns it.
    virtual bool attach(intptr_t handle) = 0;
    // Forgets the handle without closing it.
    virtual void detach() = 0;
    // The platform handle while open (a file descriptor, a HANDLE on
    // Windows), -1 while closed.
    virtual intptr_t handle() const { return isOpen() ? 0 : -1; }

    virtual bool applySettings(const LineSettings& s) = 0;
    virtual bool setQueueSizes(uint32_t in, uint32_t out) = 0;
    // Clears a pending line error and reports the bytes waiting in the input
    // and output queues.
    virtual bool queueStatus(uint32_t& inQueue, uint32_t& outQueue) = 0;
    // Reads up to n queued bytes without blocking; -1 on failure.
    virtual long read(uint8_t* buf, size_t n) = 0;
    // Queues up to n bytes without blocking; returns how many were taken,
    // -1 on failure.
    virtual long write(const uint8_t* buf, size_t n) = 0;
    virtual bool purge(bool input, bool output) = 0;
    virtual bool modemStatus(uint8_t& lines) = 0;
    virtual bool setDtr(bool on) = 0;
    virtual bool setRts(bool on) = 0;
    // Has the driver raise RTS while it sends and drop it after (the
    // direction of an RS-485 transceiver). False where the driver cannot.
    virtual bool enableRs485() { return false; }
    // Switches that mode off again where it is on. False where the driver
    // cannot.
    virtual bool disableRs485() { return false; }

    // Why the last failed operation failed; Lost once an open port hung up
    // or its device went away.
    virtual PortError lastError() const { return PortError::None; }

    // The driver's write and read loops call these when they could make no
    // progress: the calling thread blocks for at most ms milliseconds, until
    // the output queue has room or input is queued, and nothing else runs on
    // it meanwhile. By default they return at once and the loops spin on the
    // clock.
    virtual void waitWritable(uint32_t ms) { (void)ms; }
    virtual void waitReadable(uint32_t ms) { (void)ms; }
};

} // namespace zor
