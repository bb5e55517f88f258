#include "link/PosixTermios.h"
#include "link/PortError.h"
#include "unit/LineOf.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/sysmacros.h>

using namespace zor;
using namespace zor::posix;

namespace {

using zor::test::LineOf;

TEST(PosixTermios, RatesWithASpeedCodeAndRatesWithout)
{
    struct Case {
        uint32_t baud;
        std::optional<speed_t> code;
    };
    const Case cases[] = {
        { 110, B110 },
        { 300, B300 },
        { 600, B600 },
        { 1200, B1200 },
        { 2400, B2400 },
        { 4800, B4800 },
        { 9600, B9600 },
        { 19200, B19200 },
        { 38400, B38400 },
        { 57600, B57600 },
        { 115200, B115200 },
        { 230400, B230400 },
        { 14400, std::nullopt },
        { 56000, std::nullopt },
        { 128000, std::nullopt },
        { 256000, std::nullopt },
        { 0, std::nullopt },
        { 12345, std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(StandardSpeed(c.baud), c.code) << c.baud;
}

TEST(PosixTermios, TheRecordCarriesEverySetting)
{
    constexpr tcflag_t kParityBits = PARENB | PARODD | CMSPAR;
    struct Case {
        const char* what;
        LineSettings s;
        bool pty;
        tcflag_t size;
        tcflag_t parity;
        bool twoStop;
        bool rtscts;
        bool xon;
        speed_t speed;
        bool standard;
    };
    const Case cases[] = {
        { "19200 8E1", LineOf(19200, 8, ParityKind::Even, StopBitsKind::One, RtsMode::Low, false), false, CS8, PARENB,
            false, false, false, B19200, true },
        { "9600 7O2", LineOf(9600, 7, ParityKind::Odd, StopBitsKind::Two, RtsMode::High, false), false, CS7,
            PARENB | PARODD, true, false, false, B9600, true },
        { "mark, 1.5 stop as two", LineOf(1200, 6, ParityKind::Mark, StopBitsKind::OneAndHalf, RtsMode::High, false),
            false, CS6, PARENB | PARODD | CMSPAR, true, false, false, B1200, true },
        { "space, handshakes", LineOf(115200, 5, ParityKind::Space, StopBitsKind::One, RtsMode::Handshake, true), false,
            CS5, PARENB | CMSPAR, false, true, true, B115200, true },
        { "custom rate", LineOf(14400, 8, ParityKind::None, StopBitsKind::One, RtsMode::High, false), false, CS8, 0,
            false, false, false, B38400, false },
        { "pty keeps 8 bits without parity", LineOf(19200, 7, ParityKind::Even, StopBitsKind::One, RtsMode::Low, false),
            true, CS8, 0, false, false, false, B19200, true },
    };
    for (const Case& c : cases) {
        termios t {};
        // Start from what a device might have: 8 bits, no parity, echo on.
        t.c_cflag = CS8 | CSTOPB | CRTSCTS;
        t.c_lflag = ECHO | ICANON | ISIG;
        t.c_iflag = ICRNL | IXON | INPCK;
        t.c_oflag = OPOST;
        EXPECT_EQ(BuildTermios(t, c.s, c.pty), c.standard) << c.what;
        EXPECT_EQ(t.c_cflag & CSIZE, c.size) << c.what;
        EXPECT_EQ(t.c_cflag & kParityBits, c.parity) << c.what;
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStop) << c.what;
        EXPECT_EQ((t.c_cflag & CRTSCTS) != 0, c.rtscts) << c.what;
        EXPECT_EQ((t.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF), c.xon) << c.what;
        EXPECT_EQ(t.c_iflag & (INPCK | ICRNL), 0u)
            << c.what << ": received parity is not checked, bytes not translated";
        EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG), 0u) << c.what;
        EXPECT_EQ(t.c_oflag & OPOST, 0u) << c.what;
        EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), CLOCAL | CREAD) << c.what;
        EXPECT_EQ(cfgetospeed(&t), c.speed) << c.what;
        EXPECT_EQ(cfgetispeed(&t), c.speed) << c.what;
        if (c.xon) {
            EXPECT_EQ(t.c_cc[VSTART], 0x11);
            EXPECT_EQ(t.c_cc[VSTOP], 0x13);
        }
    }
}

TEST(PosixTermios, PseudoTerminalSlavesByDeviceNumber)
{
    EXPECT_TRUE(IsPseudoTerminalSlave(makedev(136, 0)));
    EXPECT_TRUE(IsPseudoTerminalSlave(makedev(143, 255)));
    EXPECT_FALSE(IsPseudoTerminalSlave(makedev(4, 64))); // ttyS0
    EXPECT_FALSE(IsPseudoTerminalSlave(makedev(188, 0))); // ttyUSB0
    EXPECT_FALSE(IsPseudoTerminalSlave(makedev(5, 2))); // ptmx
}

TEST(PortErrors, ErrnoMapsToTheProjectsValues)
{
    const std::pair<int, PortError> cases[] = {
        { 0, PortError::None },
        { ENOENT, PortError::NotFound },
        { ENODEV, PortError::NotFound },
        { ENXIO, PortError::NotFound },
        { EACCES, PortError::AccessDenied },
        { EPERM, PortError::AccessDenied },
        { EBUSY, PortError::Busy },
        { EWOULDBLOCK, PortError::Busy },
        { ENOTTY, PortError::NotATerminal },
        { EINVAL, PortError::InvalidSetting },
        { EOPNOTSUPP, PortError::Unsupported },
        { EIO, PortError::Io },
        { EMFILE, PortError::OutOfResources },
        { EDOM, PortError::Other },
    };
    for (const auto& [err, expected] : cases)
        EXPECT_EQ(PortErrorFromErrno(err), expected) << err;
}

} // namespace
