#pragma once
// Puts a simulated bus behind a TCP port, as a serial device server (the
// RTU frames carried unchanged) or as a Modbus TCP gateway (each MBAP
// request passed to the bus as an RTU request to its unit id, the answer
// sent back under the request's transaction id; unit id 0 is a broadcast
// and is not answered). The bus's serial side runs at fixed line settings,
// like the port of a device server: detectors set otherwise do not hear it.
// One master at a time: a new connection takes the place of the old.

#include "link/NetworkName.h"
#include "sim/PollLoop.h"
#include "sim/SimBus.h"

#include <optional>
#include <string>
#include <vector>

namespace zor {

class TcpTransport {
public:
    TcpTransport(SimBus& bus, PollLoop& loop, NetworkMode mode, const LineSettings& line);
    ~TcpTransport();
    TcpTransport(const TcpTransport&) = delete;
    TcpTransport& operator=(const TcpTransport&) = delete;

    // Listens on host:port (port 0: one the system picks); false with the
    // reason in error.
    bool listen(const std::string& host, uint16_t port, std::string& error);
    uint16_t port() const { return port_; }

private:
    struct Pending {
        uint16_t transaction;
        uint8_t unit;
    };
    void accept();
    void drop();
    void onReadable();
    void takeRequests();
    void fromBus(const uint8_t* data, size_t n);
    void send(const uint8_t* data, size_t n);

    SimBus& bus_;
    PollLoop& loop_;
    NetworkMode mode_;
    HeardLine heard_;
    int listener_ = -1;
    int client_ = -1;
    uint16_t port_ = 0;
    // Modbus TCP: the stream from the master, the answer being put together
    // from the bus, and the request it answers.
    std::vector<uint8_t> requests_;
    std::vector<uint8_t> answer_;
    std::optional<Pending> pending_;
};

} // namespace zor
