#include "link/TcpPort.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace zor {

namespace {

// The longest single block of an open or a wait, like the serial port's;
// the driver's loops carry the longer waits.
constexpr int kMaxBlockMs = 10;
// More than this waiting for the socket means the far end takes nothing.
constexpr size_t kMostQueued = 8192;
// A far end gone without a word (a gateway switched off, a cable cut) is
// noticed within seconds: the connection is probed after 5 s of silence,
// every 2 s, three times, and data not acknowledged in 5 s ends it.
constexpr int kKeepIdleS = 5;
constexpr int kKeepIntervalS = 2;
constexpr int kKeepProbes = 3;
constexpr unsigned kUserTimeoutMs = 5000;

// The address each bus name was last found at. Reopening a lost bus uses it
// without asking the name server again, which would block the window every
// second while the network is away; a connect to it that fails drops it, so
// that the next try asks again.
struct Resolved {
    sockaddr_storage address {};
    socklen_t size = 0;
    int family = 0;
};
std::map<std::string, Resolved>& ResolvedNames()
{
    static std::map<std::string, Resolved> names;
    return names;
}

void KeepWatching(int fd)
{
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepIdleS, sizeof kKeepIdleS);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepIntervalS, sizeof kKeepIntervalS);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepProbes, sizeof kKeepProbes);
    setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &kUserTimeoutMs, sizeof kUserTimeoutMs);
}

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
    const std::string key = address->host + "|" + std::to_string(address->port);
    auto known = ResolvedNames().find(key);
    if (known == ResolvedNames().end()) {
        addrinfo hints {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV;
        addrinfo* found = nullptr;
        const std::string service = std::to_string(address->port);
        if (getaddrinfo(address->host.c_str(), service.c_str(), &hints, &found) != 0 || !found)
            return fail(PortError::HostUnknown);
        Resolved resolved;
        resolved.size = std::min<socklen_t>(found->ai_addrlen, sizeof resolved.address);
        std::memcpy(&resolved.address, found->ai_addr, resolved.size);
        resolved.family = found->ai_family;
        freeaddrinfo(found);
        known = ResolvedNames().insert_or_assign(key, resolved).first;
    }
    const Resolved target = known->second;
    const int fd = ::socket(target.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return fail(PortErrorFromErrno(errno));
    // A request is one small segment; it must not wait for the one before
    // to be acknowledged.
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    KeepWatching(fd);
    const int done = ::connect(fd, reinterpret_cast<const sockaddr*>(&target.address), target.size);
    const int err = errno;
    if (done != 0 && err != EINPROGRESS) {
        ::close(fd);
        ResolvedNames().erase(key);
        return fail(ConnectErrorFromErrno(err));
    }
    fd_ = fd;
    connecting_ = done != 0;
    deadlineMs_ = clock_() + kConnectTimeoutMs;
    if (settle(kMaxBlockMs) == Connect::Failed) {
        close();
        ResolvedNames().erase(key);
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
