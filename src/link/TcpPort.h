#pragma once
// A bus reached over the network, behind the port interface: a TCP
// connection to a serial device server that carries the RTU frames unchanged
// ("rtu-tcp://HOST:PORT"), or to a Modbus TCP gateway ("tcp://HOST:PORT"),
// where each request and answer is converted between RTU and MBAP here
// (MbapCodec). The driver above polls it like a serial port.
//
// Nothing blocks the event loop for long: the connect runs non-blocking; an
// open waits at most a few milliseconds for it and, when it has not come
// about by then, reports the port open and finishes the connect at the next
// port operations, queuing what is written meanwhile. A connect that has not
// come about after kConnectTimeoutMs, a connection the far end closes or
// resets, and any other failure of the open connection are a lost port.
// The line settings belong to the far end's serial side and are not sent.

#include "link/MbapCodec.h"
#include "link/NetworkName.h"
#include "link/SerialPort.h"

#include <functional>
#include <optional>
#include <vector>

namespace zor {

class TcpPort final : public SerialPort {
public:
    // A millisecond clock: the steady clock by default, a test's own in
    // tests.
    using Clock = std::function<uint64_t()>;
    explicit TcpPort(Clock clock = SteadyMs);
    ~TcpPort() override;
    TcpPort(const TcpPort&) = delete;
    TcpPort& operator=(const TcpPort&) = delete;

    // name is a network name (link/NetworkName.h).
    bool open(const std::string& name) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    // A network bus is opened by its name only.
    bool attach(intptr_t handle) override;
    void detach() override;
    intptr_t handle() const override { return fd_; }

    bool applySettings(const LineSettings& s) override;
    bool setQueueSizes(uint32_t in, uint32_t out) override;
    // Also finishes a pending connect, sends what is queued and takes what
    // arrived.
    bool queueStatus(uint32_t& inQueue, uint32_t& outQueue) override;
    long read(uint8_t* buf, size_t n) override;
    long write(const uint8_t* buf, size_t n) override;
    bool purge(bool input, bool output) override;
    bool modemStatus(uint8_t& lines) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;

    void waitWritable(uint32_t ms) override;
    void waitReadable(uint32_t ms) override;

    PortError lastError() const override { return lastError_; }

private:
    static uint64_t SteadyMs();

    enum class Connect { Up, Pending, Failed };
    // Whether the connect has come about, waiting at most waitMs for it; on
    // failure its error is in connectError_.
    Connect settle(int waitMs);
    // Sends what is queued and takes what arrived; false when the
    // connection is lost.
    bool pump();
    bool lost();
    bool fail(PortError error);
    void wait(short events, uint32_t ms);

    int fd_ = -1;
    bool connecting_ = false;
    int connectError_ = 0;
    Clock clock_;
    uint64_t deadlineMs_ = 0;
    // Set for a Modbus TCP gateway.
    std::optional<MbapCodec> mbap_;
    // RTU bytes for the master; bytes for the socket that it has not taken.
    std::vector<uint8_t> in_;
    std::vector<uint8_t> out_;
    PortError lastError_ = PortError::None;
};

} // namespace zor
