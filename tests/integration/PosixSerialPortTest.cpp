// The termios backend on pseudo-terminal pairs: real descriptors, waits
// bounded by poll().

#include "link/PosixSerialPort.h"
#include "link/PosixCustomRate.h"
#include "link/TVSModbusRTU.h"
#include "runtime/VirtualLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

using namespace zor;

namespace zor::posix {
void PrintTo(const LineRates& r, std::ostream* os)
{
    *os << "in " << r.input << ", out " << r.output;
}
} // namespace zor::posix

namespace {

using Bytes = std::vector<uint8_t>;

struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;

    Pty()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = name;
    }
    ~Pty()
    {
        ::close(master);
        ::close(slave);
    }
};

// Reads n bytes from fd, waiting at most about a second in all.
Bytes readFrom(int fd, size_t n)
{
    Bytes got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (got.size() < n && std::chrono::steady_clock::now() < end) {
        pollfd p { fd, POLLIN, 0 };
        if (::poll(&p, 1, 100) <= 0)
            continue;
        uint8_t buf[256];
        const ssize_t r = ::read(fd, buf, std::min(sizeof buf, n - got.size()));
        if (r > 0)
            got.insert(got.end(), buf, buf + r);
    }
    return got;
}

// Waits until the port has n bytes queued, at most about a second.
bool waitQueued(SerialPort& port, uint32_t n)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    uint32_t in = 0;
    uint32_t out = 0;
    while (std::chrono::steady_clock::now() < end) {
        if (port.queueStatus(in, out) && in >= n)
            return true;
        pollfd p { static_cast<int>(port.handle()), POLLIN, 0 };
        ::poll(&p, 1, 50);
    }
    return false;
}

LineSettings line(uint32_t baud, uint8_t bits = 8, ParityKind parity = ParityKind::None)
{
    LineSettings s;
    s.baud = baud;
    s.dataBits = bits;
    s.parity = parity;
    return s;
}

TEST(PosixSerialPort, CarriesBytesBothWays)
{
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    PosixSerialPort port;
    ASSERT_TRUE(port.open(pty.path));
    ASSERT_TRUE(port.applySettings(line(19200, 8, ParityKind::Even)));

    const Bytes request = { 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD };
    ASSERT_EQ(port.write(request.data(), request.size()), 8);
    EXPECT_EQ(readFrom(pty.master, 8), request);

    const Bytes answer = { 0x01, 0x83, 0x02, 0xC0, 0xF1 };
    ASSERT_EQ(::write(pty.master, answer.data(), answer.size()), 5);
    ASSERT_TRUE(waitQueued(port, 5));
    Bytes got(16);
    got.resize(static_cast<size_t>(port.read(got.data(), got.size())));
    EXPECT_EQ(got, answer);
    EXPECT_EQ(port.read(got.data(), got.size()), 0); // nothing queued: no wait
}

TEST(PosixSerialPort, TheRateShowsAtTheOtherEnd)
{
    struct Case {
        LineSettings s;
    };
    // Parity and short characters do not apply to a pseudo-terminal and do
    // not stop the settings. A standard rate after a custom one must set the
    // input rate too, not only the output rate.
    const Case cases[] = {
        { line(9600) },
        { line(19200, 8, ParityKind::Even) },
        { line(115200, 7, ParityKind::Odd) },
        { line(1200, 8, ParityKind::Mark) },
        { line(14400) },
        { line(19200) },
        { line(56000, 8, ParityKind::Even) },
        { line(256000) },
        { line(9600) },
    };
    Pty pty;
    PosixSerialPort port;
    ASSERT_TRUE(port.open(pty.path));
    for (const Case& c : cases) {
        EXPECT_TRUE(port.applySettings(c.s)) << c.s.baud;
        EXPECT_EQ(posix::RatesOf(pty.master), (posix::LineRates { c.s.baud, c.s.baud })) << c.s.baud;
    }
    termios t {};
    ASSERT_TRUE(port.applySettings(line(14400)));
    ASSERT_TRUE(port.applySettings(line(19200)));
    ASSERT_EQ(tcgetattr(pty.master, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), B19200);
    EXPECT_EQ(cfgetispeed(&t), B19200);
}

TEST(PosixSerialPort, OpensExclusively)
{
    Pty pty;
    PosixSerialPort first;
    PosixSerialPort second;
    ASSERT_TRUE(first.open(pty.path));
    EXPECT_FALSE(second.open(pty.path));
    EXPECT_EQ(second.lastError(), PortError::Busy);
    EXPECT_FALSE(second.isOpen());
    first.close();
    EXPECT_TRUE(second.open(pty.path));
}

TEST(PosixSerialPort, RefusesWhatIsNoSerialPort)
{
    char file[] = "/tmp/zor-not-a-port-XXXXXX";
    const int fd = mkstemp(file);
    ASSERT_GE(fd, 0);
    ::close(fd);
    struct Case {
        std::string path;
        PortError error;
    };
    const Case cases[] = {
        { "/dev/zor-no-such-port", PortError::NotFound },
        { file, PortError::NotATerminal },
    };
    for (const Case& c : cases) {
        PosixSerialPort port;
        EXPECT_FALSE(port.open(c.path)) << c.path;
        EXPECT_EQ(port.lastError(), c.error) << c.path;
        uint32_t in = 0;
        uint32_t out = 0;
        EXPECT_FALSE(port.queueStatus(in, out));
    }
    ::unlink(file);
}

TEST(PosixSerialPort, TheMasterRunsOverAPseudoTerminal)
{
    Pty pty;
    VirtualLoop loop;
    TVSModbusRTU rtu(loop, std::make_unique<PosixSerialPort>());
    std::vector<Bytes> events;
    rtu.SetOnModbusPacketEvent([&](TVSModbusRTU&, const uint8_t* d, uint16_t n) { events.emplace_back(d, d + n); });
    rtu.SetPortName(pty.path);
    rtu.SetBaudRateValue(19200);
    rtu.SetParity(TParity::pEven);
    rtu.SetPollingDelay(500);
    ASSERT_TRUE(rtu.Open());
    EXPECT_EQ(posix::RatesOf(pty.master), (posix::LineRates { 19200, 19200 }));

    const uint8_t read10[] = { 0x00, 0x00, 0x00, 0x0A };
    ASSERT_TRUE(rtu.FlushBuffers(true, true));
    ASSERT_EQ(rtu.SendCmdModbusPacket(1, 3, read10, 4, false), TVSRTUresult::vsrOk);
    EXPECT_EQ(readFrom(pty.master, 8), (Bytes { 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD }));

    const Bytes answer = { 0x01, 0x03, 0x02, 0x00, 0x07, 0xF9, 0x86 };
    ASSERT_EQ(::write(pty.master, answer.data(), answer.size()), 7);
    for (int i = 0; i < 20 && rtu.CountRX() < 7; ++i) {
        pollfd p { static_cast<int>(rtu.Handle()), POLLIN, 0 };
        ::poll(&p, 1, 50);
    }
    ASSERT_EQ(rtu.CountRX(), 7);
    loop.advance(500);
    EXPECT_EQ(events, (std::vector<Bytes> { { 0x01, 0x03, 0x02, 0x00, 0x07 } }));
    rtu.Close();
    EXPECT_FALSE(rtu.Connected());
}

TEST(PosixSerialPort, AHandleIsAttachedAndDetachedWithoutClosingIt)
{
    Pty pty;
    VirtualLoop loop;
    TVSCOM com(loop, std::make_unique<PosixSerialPort>());
    const int fd = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    com.SetHandle(fd);
    EXPECT_TRUE(com.Connected());
    EXPECT_EQ(com.Handle(), fd);
    com.SetHandle(TVSCOM::kDetachHandle);
    EXPECT_FALSE(com.Connected());
    EXPECT_GE(fcntl(fd, F_GETFD), 0);
    ::close(fd);
}

} // namespace
