#include "link/PosixTermios.h"

#include <sys/sysmacros.h>

namespace zor::posix {

std::optional<speed_t> StandardSpeed(uint32_t baud)
{
    struct Entry {
        uint32_t baud;
        speed_t code;
    };
    static constexpr Entry kSpeeds[] = { { 50, B50 }, { 75, B75 }, { 110, B110 }, { 134, B134 }, { 150, B150 },
        { 200, B200 }, { 300, B300 }, { 600, B600 }, { 1200, B1200 }, { 1800, B1800 }, { 2400, B2400 }, { 4800, B4800 },
        { 9600, B9600 }, { 19200, B19200 }, { 38400, B38400 }, { 57600, B57600 }, { 115200, B115200 },
        { 230400, B230400 }, { 460800, B460800 }, { 500000, B500000 }, { 576000, B576000 }, { 921600, B921600 },
        { 1000000, B1000000 }, { 1152000, B1152000 }, { 1500000, B1500000 }, { 2000000, B2000000 },
        { 2500000, B2500000 }, { 3000000, B3000000 }, { 3500000, B3500000 }, { 4000000, B4000000 } };
    for (const Entry& e : kSpeeds)
        if (e.baud == baud)
            return e.code;
    return std::nullopt;
}

void MakeRaw(termios& t)
{
    t.c_iflag &= ~static_cast<tcflag_t>(
        IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK | IGNPAR);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
}

void SetDataBits(termios& t, uint8_t bits)
{
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE);
    switch (bits) {
    case 5:
        t.c_cflag |= CS5;
        break;
    case 6:
        t.c_cflag |= CS6;
        break;
    case 7:
        t.c_cflag |= CS7;
        break;
    default:
        t.c_cflag |= CS8;
        break;
    }
}

void SetParity(termios& t, ParityKind parity)
{
    t.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR);
    switch (parity) {
    case ParityKind::None:
        break;
    case ParityKind::Odd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case ParityKind::Even:
        t.c_cflag |= PARENB;
        break;
    case ParityKind::Mark:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case ParityKind::Space:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    }
}

void SetStopBits(termios& t, StopBitsKind stopBits)
{
    if (stopBits == StopBitsKind::One)
        t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
    else
        t.c_cflag |= CSTOPB;
}

void SetFlowControl(termios& t, RtsMode rts, bool xonXoff)
{
    if (rts == RtsMode::Handshake)
        t.c_cflag |= CRTSCTS;
    else
        t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    if (xonXoff) {
        t.c_iflag |= IXON | IXOFF;
        t.c_cc[VSTART] = 0x11;
        t.c_cc[VSTOP] = 0x13;
    } else {
        t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
    }
}

bool BuildTermios(termios& t, const LineSettings& s, bool pseudoTerminal)
{
    MakeRaw(t);
    if (!pseudoTerminal) {
        SetDataBits(t, s.dataBits);
        SetParity(t, s.parity);
    }
    SetStopBits(t, s.stopBits);
    SetFlowControl(t, s.rts, s.xonXoff);
    const std::optional<speed_t> code = StandardSpeed(s.baud);
    const speed_t speed = code.value_or(B38400);
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    // cfsetispeed leaves the kernel's input-rate field alone; one left at
    // a custom rate would keep the input at that rate. Cleared, the input
    // follows the output.
    t.c_cflag &= ~static_cast<tcflag_t>(CIBAUD);
    return code.has_value();
}

bool IsPseudoTerminalSlave(dev_t device)
{
    // Unix98 pty slaves (/dev/pts/N) use majors 136 to 143.
    const unsigned int m = major(device);
    return m >= 136 && m <= 143;
}

} // namespace zor::posix
