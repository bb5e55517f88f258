#include "sim/TcpTransport.h"

#include "link/MbapCodec.h"
#include "link/TVSModbusRTU.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zor {

TcpTransport::TcpTransport(SimBus& bus, PollLoop& loop, NetworkMode mode, const LineSettings& line)
    : bus_(bus)
    , loop_(loop)
    , mode_(mode)
{
    heard_.settings = line;
}

TcpTransport::~TcpTransport()
{
    bus_.setOutput(nullptr);
    drop();
    if (listener_ >= 0) {
        loop_.unwatch(listener_);
        ::close(listener_);
    }
}

bool TcpTransport::listen(const std::string& host, uint16_t port, std::string& error)
{
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int err = getaddrinfo(host.c_str(), service.c_str(), &hints, &found); err != 0 || !found) {
        error = host + ": " + gai_strerror(err);
        return false;
    }
    listener_ = ::socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    const bool bound = listener_ >= 0 && setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0
        && ::bind(listener_, found->ai_addr, found->ai_addrlen) == 0 && ::listen(listener_, 4) == 0;
    freeaddrinfo(found);
    if (!bound) {
        error = host + ":" + service + ": " + std::strerror(errno);
        return false;
    }
    sockaddr_storage at {};
    socklen_t size = sizeof at;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &size);
    port_ = ntohs(at.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&at)->sin6_port
                                           : reinterpret_cast<sockaddr_in*>(&at)->sin_port);
    loop_.watch(listener_, [this] { accept(); });
    bus_.setOutput([this](const uint8_t* data, size_t n, const LineSettings&) { fromBus(data, n); });
    return true;
}

void TcpTransport::accept()
{
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return;
    drop();
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    client_ = fd;
    loop_.watch(client_, [this] { onReadable(); });
}

void TcpTransport::drop()
{
    if (client_ >= 0) {
        loop_.unwatch(client_);
        ::close(client_);
    }
    client_ = -1;
    requests_.clear();
    answer_.clear();
    pending_.reset();
}

void TcpTransport::onReadable()
{
    uint8_t buf[512];
    for (;;) {
        const ssize_t n = ::recv(client_, buf, sizeof buf, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (n <= 0) {
            drop();
            return;
        }
        if (mode_ == NetworkMode::RtuOverTcp) {
            bus_.receive(buf, static_cast<size_t>(n), heard_);
            continue;
        }
        requests_.insert(requests_.end(), buf, buf + n);
        takeRequests();
        if (client_ < 0)
            return;
    }
}

void TcpTransport::takeRequests()
{
    for (;;) {
        const std::optional<size_t> whole = MbapFrameSize(requests_);
        if (!whole) {
            // Not Modbus TCP: a gateway closes such a connection.
            drop();
            return;
        }
        if (*whole == 0)
            return;
        const uint8_t unit = requests_[kMbapHeaderSize - 1];
        pending_ = Pending { MbapTransaction(requests_), unit };
        answer_.clear();
        std::vector<uint8_t> rtu;
        AppendRtu(rtu, unit, requests_.data() + kMbapHeaderSize, *whole - kMbapHeaderSize);
        requests_.erase(requests_.begin(), requests_.begin() + static_cast<ptrdiff_t>(*whole));
        bus_.receive(rtu.data(), rtu.size(), heard_);
    }
}

void TcpTransport::fromBus(const uint8_t* data, size_t n)
{
    if (mode_ == NetworkMode::RtuOverTcp) {
        send(data, n);
        return;
    }
    answer_.insert(answer_.end(), data, data + n);
    // The answer is whole when its CRC closes it (it may come in parts).
    if (!pending_ || answer_.size() < 4 || ModbusCRC16(answer_.data(), answer_.size()) != 0)
        return;
    std::vector<uint8_t> frame;
    AppendMbap(frame, pending_->transaction, pending_->unit, answer_.data() + 1, answer_.size() - 3);
    answer_.clear();
    pending_.reset();
    send(frame.data(), frame.size());
}

void TcpTransport::send(const uint8_t* data, size_t n)
{
    while (client_ >= 0 && n > 0) {
        const ssize_t done = ::send(client_, data, n, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (done <= 0)
            return; // nobody takes it: the answer is lost, as on a line
        data += done;
        n -= static_cast<size_t>(done);
    }
}

} // namespace zor
