#include "link/TcpPort.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zor {

namespace {

// The longest single block of an open or a wait, like the serial port's;
// the driver's loops carry the longer waits.
constexpr int kMaxBlockMs = 10;
// More than this waiting for the socket means the far end takes nothing.
constexpr size_t kMostQueued = 8192;

} // namespace

TcpPort::TcpPort(Clock clock)
    : clock_(std::move(clock))
{
}

uint64_t TcpPort::SteadyMs()
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

TcpPort::~TcpPort()
{
    close();
}

bool TcpPort::fail(PortError error)
{
    lastError_ = error;
    return false;
}

bool TcpPort::lost()
{
    return fail(PortError::Lost);
}

bool TcpPort::open(const std::string& name)
{
    if (isOpen())
        return fail(PortError::Busy);
    const std::optional<NetworkAddress> address = ParseNetworkName(name);
    if (!address)
        return fail(PortError::BadAddress);
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(address->port);
    if (getaddrinfo(address->host.c_str(), service.c_str(), &hints, &found) != 0 || !found)
        return fail(PortError::HostUnknown);
    const int fd = ::socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        freeaddrinfo(found);
        return fail(PortErrorFromErrno(errno));
    }
    // A request is one small segment; it must not wait for the one before
    // to be acknowledged.
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const int done = ::connect(fd, found->ai_addr, found->ai_addrlen);
    const int err = errno;
    freeaddrinfo(found);
    if (done != 0 && err != EINPROGRESS) {
        ::close(fd);
        return fail(ConnectErrorFromErrno(err));
    }
    fd_ = fd;
    connecting_ = done != 0;
    deadlineMs_ = clock_() + kConnectTimeoutMs;
    if (settle(kMaxBlockMs) == Connect::Failed) {
        close();
        return fail(ConnectErrorFromErrno(connectError_));
    }
    mbap_.reset();
    if (address->mode == NetworkMode::ModbusTcp)
        mbap_.emplace();
    in_.clear();
    out_.clear();
    lastError_ = PortError::None;
    return true;
}

TcpPort::Connect TcpPort::settle(int waitMs)
{
    if (!connecting_)
        return Connect::Up;
    pollfd p { fd_, POLLOUT, 0 };
    if (::poll(&p, 1, waitMs) == 1) {
        socklen_t size = sizeof connectError_;
        if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &connectError_, &size) != 0)
            connectError_ = errno;
        connecting_ = connectError_ != 0;
        return connecting_ ? Connect::Failed : Connect::Up;
    }
    if (clock_() < deadlineMs_)
        return Connect::Pending;
    connectError_ = ETIMEDOUT;
    return Connect::Failed;
}

void TcpPort::close()
{
    if (!isOpen())
        return;
    ::close(fd_);
    detach();
}

bool TcpPort::attach(intptr_t)
{
    return fail(PortError::Unsupported);
}

void TcpPort::detach()
{
    fd_ = -1;
    connecting_ = false;
    in_.clear();
    out_.clear();
}

bool TcpPort::applySettings(const LineSettings&)
{
    return isOpen() || fail(PortError::Io);
}

bool TcpPort::setQueueSizes(uint32_t, uint32_t)
{
    return isOpen() || fail(PortError::Io);
}

bool TcpPort::pump()
{
    switch (settle(0)) {
    case Connect::Failed:
        return lost();
    case Connect::Pending:
        return true;
    case Connect::Up:
        break;
    }
    while (!out_.empty()) {
        const ssize_t sent = ::send(fd_, out_.data(), out_.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EAGAIN || errno == EINTR))
            break;
        if (sent <= 0)
            return lost();
        out_.erase(out_.begin(), out_.begin() + sent);
    }
    uint8_t buf[1024];
    for (;;) {
        const ssize_t got = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == EAGAIN)
            return true;
        // Closed by the far end (0), reset or failed.
        if (got <= 0)
            return lost();
        if (mbap_)
            mbap_->fromServer(buf, static_cast<size_t>(got), in_);
        else
            in_.insert(in_.end(), buf, buf + got);
    }
}

bool TcpPort::queueStatus(uint32_t& inQueue, uint32_t& outQueue)
{
    if (!isOpen())
        return fail(PortError::Io);
    if (!pump())
        return false;
    inQueue = static_cast<uint32_t>(in_.size());
    outQueue = static_cast<uint32_t>(out_.size());
    return true;
}

long TcpPort::read(uint8_t* buf, size_t n)
{
    if (!isOpen()) {
        fail(PortError::Io);
        return -1;
    }
    const size_t take = std::min(n, in_.size());
    std::copy_n(in_.begin(), take, buf);
    in_.erase(in_.begin(), in_.begin() + static_cast<ptrdiff_t>(take));
    return static_cast<long>(take);
}

long TcpPort::write(const uint8_t* buf, size_t n)
{
    if (!isOpen()) {
        fail(PortError::Io);
        return -1;
    }
    if (out_.size() >= kMostQueued)
        return 0;
    if (mbap_)
        mbap_->fromMaster(buf, n, out_);
    else
        out_.insert(out_.end(), buf, buf + n);
    return pump() ? static_cast<long>(n) : -1;
}

bool TcpPort::purge(bool input, bool output)
{
    if (!isOpen())
        return fail(PortError::Io);
    if (output) {
        out_.clear();
        if (mbap_)
            mbap_->dropRequest();
    }
    if (!input)
        return true;
    // What has come so far is purged; a Modbus TCP stream stays whole, and
    // a late answer in it is dropped by its transaction id.
    const bool alive = pump();
    in_.clear();
    return alive;
}

bool TcpPort::modemStatus(uint8_t& lines)
{
    lines = 0;
    return isOpen() || fail(PortError::Io);
}

bool TcpPort::setDtr(bool)
{
    return isOpen() || fail(PortError::Io);
}

bool TcpPort::setRts(bool)
{
    return isOpen() || fail(PortError::Io);
}

void TcpPort::wait(short events, uint32_t ms)
{
    if (!isOpen())
        return;
    pollfd p { fd_, events, 0 };
    ::poll(&p, 1, static_cast<int>(std::min<uint32_t>(ms, kMaxBlockMs)));
}

void TcpPort::waitWritable(uint32_t ms)
{
    wait(POLLOUT, ms);
}

void TcpPort::waitReadable(uint32_t ms)
{
    if (in_.empty())
        wait(POLLIN, ms);
}

} // namespace zor
