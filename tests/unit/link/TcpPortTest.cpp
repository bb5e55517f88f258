// The network backend against a listening socket of the test's own on the
// loopback: bytes carried unchanged or converted to Modbus TCP, the far end
// closing or resetting the connection, a refusal, and a connect that does
// not come about, which ends after the time-out on the port's clock (the
// test's) without anything blocking meanwhile.

#include "link/TcpPort.h"
#include "link/NetworkName.h"

#include "Frames.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace zor;
using test::Bytes;
using test::WithCrc;

namespace {

// A listening socket on a free loopback port; backlog 0 holds one
// connection that nobody accepts, and the next connect then waits.
class Listener {
public:
    explicit Listener(int backlog = 4)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in at {};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&at), sizeof at);
        ::listen(fd_, backlog);
        socklen_t size = sizeof at;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&at), &size);
        port_ = ntohs(at.sin_port);
    }
    ~Listener()
    {
        if (peer_ >= 0)
            ::close(peer_);
        ::close(fd_);
    }
    std::string name(NetworkMode mode) const { return NetworkName({ mode, "127.0.0.1", port_ }); }
    uint16_t port() const { return port_; }
    // The connection the port made; -1 when none came within a second.
    int accept()
    {
        pollfd p { fd_, POLLIN, 0 };
        if (::poll(&p, 1, 1000) == 1)
            peer_ = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        return peer_;
    }
    Bytes receive(size_t n)
    {
        Bytes got(n);
        size_t have = 0;
        pollfd p { peer_, POLLIN, 0 };
        while (have < n && ::poll(&p, 1, 1000) == 1) {
            const ssize_t r = ::recv(peer_, got.data() + have, n - have, 0);
            if (r <= 0)
                break;
            have += static_cast<size_t>(r);
        }
        got.resize(have);
        return got;
    }
    void send(const Bytes& b) { ASSERT_EQ(::send(peer_, b.data(), b.size(), 0), static_cast<ssize_t>(b.size())); }
    void close() { ::close(std::exchange(peer_, -1)); }
    void reset()
    {
        const linger abort { 1, 0 };
        ::setsockopt(peer_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        close();
    }

private:
    int fd_ = -1;
    int peer_ = -1;
    uint16_t port_ = 0;
};

// What the master reads now: every byte queued.
Bytes ReadAll(TcpPort& port)
{
    uint32_t in = 0, out = 0;
    if (!port.queueStatus(in, out))
        return {};
    Bytes b(in);
    b.resize(static_cast<size_t>(std::max(port.read(b.data(), b.size()), 0L)));
    return b;
}

void Write(TcpPort& port, const Bytes& b)
{
    EXPECT_EQ(port.write(b.data(), b.size()), static_cast<long>(b.size()));
}

TEST(TcpPort, RtuOverTcpCarriesTheFramesUnchanged)
{
    Listener far;
    TcpPort port;
    ASSERT_TRUE(port.open(far.name(NetworkMode::RtuOverTcp)));
    ASSERT_GE(far.accept(), 0);
    const Bytes request = WithCrc({ 0x01, 0x03, 0x00, 0x00, 0x00, 0x13 });
    Write(port, request);
    EXPECT_EQ(far.receive(request.size()), request);
    const Bytes answer = WithCrc({ 0x01, 0x03, 0x02, 0x12, 0x34 });
    far.send(answer);
    EXPECT_EQ(ReadAll(port), answer);
}

// A gateway switched off or a cable cut without a word from the far end is
// found by the socket itself within seconds, not after the kernel's quarter
// of an hour of retransmissions.
TEST(TcpPort, AFarEndGoneWithoutAWordIsWatchedFor)
{
    Listener far;
    TcpPort port;
    ASSERT_TRUE(port.open(far.name(NetworkMode::ModbusTcp)));
    ASSERT_GE(far.accept(), 0);
    const int fd = static_cast<int>(port.handle());
    int keepalive = 0;
    int idle = 0;
    unsigned userTimeout = 0;
    socklen_t size = sizeof keepalive;
    ASSERT_EQ(::getsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &keepalive, &size), 0);
    size = sizeof idle;
    ASSERT_EQ(::getsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, &size), 0);
    size = sizeof userTimeout;
    ASSERT_EQ(::getsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeout, &size), 0);
    EXPECT_NE(keepalive, 0);
    EXPECT_LE(idle, 10);
    EXPECT_GT(userTimeout, 0u);
    EXPECT_LE(userTimeout, 10000u);
}

TEST(TcpPort, ModbusTcpSendsMbapAndGivesTheMasterRtuFrames)
{
    Listener far;
    TcpPort port;
    ASSERT_TRUE(port.open(far.name(NetworkMode::ModbusTcp)));
    ASSERT_GE(far.accept(), 0);
    Write(port, WithCrc({ 0x01, 0x03, 0x00, 0x00, 0x00, 0x13 }));
    EXPECT_EQ(far.receive(12), (Bytes { 0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00, 0x00, 0x00, 0x13 }));
    // The answer in two segments: nothing for the master until it is whole.
    far.send({ 0x00, 0x01, 0x00, 0x00, 0x00, 0x05, 0x01 });
    EXPECT_EQ(ReadAll(port), Bytes {});
    far.send({ 0x03, 0x02, 0x12, 0x34 });
    EXPECT_EQ(ReadAll(port), WithCrc({ 0x01, 0x03, 0x02, 0x12, 0x34 }));
}

TEST(TcpPort, TheFarEndEndingTheConnectionIsALoss)
{
    struct Case {
        const char* name;
        void (Listener::*end)();
    };
    for (const Case c : { Case { "closed", &Listener::close }, Case { "reset", &Listener::reset } }) {
        SCOPED_TRACE(c.name);
        Listener far;
        TcpPort port;
        ASSERT_TRUE(port.open(far.name(NetworkMode::RtuOverTcp)));
        ASSERT_GE(far.accept(), 0);
        uint32_t in = 0, out = 0;
        EXPECT_TRUE(port.queueStatus(in, out));
        (far.*c.end)();
        EXPECT_FALSE(port.queueStatus(in, out));
        EXPECT_EQ(port.lastError(), PortError::Lost);
    }
}

TEST(TcpPort, AnOpenThatCannotBeIsRefusedWithItsReason)
{
    uint16_t unused = 0;
    {
        Listener gone;
        unused = gone.port();
    }
    struct Case {
        std::string name;
        PortError error;
    };
    const Case cases[] = {
        { NetworkName({ NetworkMode::ModbusTcp, "127.0.0.1", unused }), PortError::Refused },
        { "tcp://127.0.0.1", PortError::BadAddress },
        { "rtu-tcp://127.0.0.1:0", PortError::BadAddress },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TcpPort port;
        EXPECT_FALSE(port.open(c.name));
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(port.lastError(), c.error);
    }
}

TEST(TcpPort, AConnectThatDoesNotComeAboutHoldsTheRequestThenIsALossAtTheTimeOut)
{
    Listener far(0);
    // Fills the listener's queue: the port's own connect waits behind it.
    const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in at {};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    at.sin_port = htons(far.port());
    ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);

    uint64_t now = 5000;
    TcpPort port([&] { return now; });
    ASSERT_TRUE(port.open(far.name(NetworkMode::ModbusTcp)));
    const Bytes request = WithCrc({ 0x01, 0x03, 0x00, 0x00, 0x00, 0x13 });
    Write(port, request);
    uint32_t in = 0, out = 0;
    now += kConnectTimeoutMs - 1;
    ASSERT_TRUE(port.queueStatus(in, out));
    EXPECT_EQ(out, 12u); // the MBAP request waits for the connection
    now += 1;
    EXPECT_FALSE(port.queueStatus(in, out));
    EXPECT_EQ(port.lastError(), PortError::Lost);
    ::close(filler);
}

} // namespace
