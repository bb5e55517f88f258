#include "link/PosixSerialPort.h"

#include "link/PosixCustomRate.h"
#include "link/PosixTermios.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zor {

namespace {

// The longest single block of a write or read wait, like the platform's
// short write time-out; the driver's loops carry the longer waits.
constexpr uint32_t kMaxBlockMs = 10;

} // namespace

PosixSerialPort::~PosixSerialPort()
{
    close();
}

bool PosixSerialPort::fail(int err)
{
    lastError_ = PortErrorFromErrno(err);
    return false;
}

bool PosixSerialPort::failOpen(int err)
{
    lastError_ = OpenPortErrorFromErrno(err);
    return false;
}

long PosixSerialPort::failedCount(int err)
{
    failOpen(err);
    return -1;
}

void PosixSerialPort::take(int fd)
{
    fd_ = fd;
    struct stat st { };
    pseudoTerminal_ = fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && posix::IsPseudoTerminalSlave(st.st_rdev);
}

bool PosixSerialPort::open(const std::string& name)
{
    if (isOpen())
        return fail(EBUSY);
    // O_NOCTTY: a serial line must not become our controlling terminal;
    // O_NONBLOCK: neither the open (waiting for carrier) nor any read or
    // write may block the event loop.
    const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    const auto refuse = [fd, this](int err) {
        ::close(fd);
        return fail(err);
    };
    // Exclusive use: the advisory lock keeps out programs that lock too (and
    // holds for root, whom TIOCEXCL does not stop); TIOCEXCL keeps out the
    // others.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return refuse(errno == EWOULDBLOCK ? EBUSY : errno);
    termios t {};
    if (tcgetattr(fd, &t) != 0)
        return refuse(errno);
    if (ioctl(fd, TIOCEXCL) != 0)
        return refuse(errno);
    take(fd);
    lastError_ = PortError::None;
    return true;
}

void PosixSerialPort::close()
{
    if (!isOpen())
        return;
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

bool PosixSerialPort::attach(intptr_t handle)
{
    if (handle < 0 || handle > INT32_MAX || fcntl(static_cast<int>(handle), F_GETFD) < 0)
        return fail(EBADF);
    close();
    take(static_cast<int>(handle));
    return true;
}

void PosixSerialPort::detach()
{
    fd_ = -1;
}

bool PosixSerialPort::applySettings(const LineSettings& s)
{
    if (!isOpen())
        return fail(EBADF);
    termios t {};
    if (tcgetattr(fd_, &t) != 0)
        return failOpen(errno);
    const bool standardRate = posix::BuildTermios(t, s, pseudoTerminal_);
    if (tcsetattr(fd_, TCSANOW, &t) != 0)
        return failOpen(errno);
    if (!standardRate && !posix::SetCustomRate(fd_, s.baud))
        return failOpen(errno);
    // XON/XOFF thresholds belong to the driver's own buffers and have no
    // termios form. The modem lines are set as far as the device has them:
    // a pseudo-terminal has none, which is no reason to refuse the settings.
    if (s.rts != RtsMode::Handshake)
        setModemLine(TIOCM_RTS, s.rts == RtsMode::High);
    setModemLine(TIOCM_DTR, s.dtrOn);
    return true;
}

bool PosixSerialPort::setQueueSizes(uint32_t, uint32_t)
{
    // The kernel keeps queues of its own size; there is nothing to set.
    return isOpen() || fail(EBADF);
}

bool PosixSerialPort::queueStatus(uint32_t& inQueue, uint32_t& outQueue)
{
    if (!isOpen())
        return fail(EBADF);
    int in = 0;
    int out = 0;
    // A hung-up line still answers the queue queries on some devices (a
    // pseudo-terminal whose other end closed); poll tells.
    pollfd p { fd_, 0, 0 };
    if (::poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return failOpen(EIO);
    if (ioctl(fd_, FIONREAD, &in) != 0 || ioctl(fd_, TIOCOUTQ, &out) != 0)
        return failOpen(errno);
    inQueue = static_cast<uint32_t>(std::max(in, 0));
    outQueue = static_cast<uint32_t>(std::max(out, 0));
    return true;
}

long PosixSerialPort::read(uint8_t* buf, size_t n)
{
    if (!isOpen())
        return failedCount(EBADF);
    const ssize_t got = ::read(fd_, buf, n);
    if (got >= 0)
        return got;
    if (errno == EAGAIN || errno == EINTR)
        return 0;
    return failedCount(errno);
}

long PosixSerialPort::write(const uint8_t* buf, size_t n)
{
    if (!isOpen())
        return failedCount(EBADF);
    const ssize_t put = ::write(fd_, buf, n);
    if (put >= 0)
        return put;
    if (errno == EAGAIN || errno == EINTR)
        return 0;
    return failedCount(errno);
}

bool PosixSerialPort::purge(bool input, bool output)
{
    if (!isOpen())
        return fail(EBADF);
    if (!input && !output)
        return true;
    const int which = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
    return tcflush(fd_, which) == 0 || failOpen(errno);
}

bool PosixSerialPort::modemStatus(uint8_t& lines)
{
    if (!isOpen())
        return fail(EBADF);
    int status = 0;
    if (ioctl(fd_, TIOCMGET, &status) != 0)
        return failOpen(errno);
    lines = static_cast<uint8_t>(((status & TIOCM_CTS) ? kLineCTS : 0) | ((status & TIOCM_DSR) ? kLineDSR : 0)
        | ((status & TIOCM_RNG) ? kLineRING : 0) | ((status & TIOCM_CAR) ? kLineCD : 0));
    return true;
}

bool PosixSerialPort::setModemLine(int line, bool on)
{
    if (!isOpen())
        return fail(EBADF);
    return ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0 || failOpen(errno);
}

bool PosixSerialPort::enableRs485()
{
    return changeRs485([](serial_rs485& conf) {
        conf.flags |= SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
        conf.flags &= ~static_cast<uint32_t>(SER_RS485_RTS_AFTER_SEND);
    });
}

bool PosixSerialPort::disableRs485()
{
    return changeRs485([](serial_rs485& conf) { conf.flags &= ~static_cast<uint32_t>(SER_RS485_ENABLED); });
}

bool PosixSerialPort::changeRs485(void (*change)(serial_rs485&))
{
    if (!isOpen())
        return fail(EBADF);
    serial_rs485 conf {};
    // Drivers without RS-485 support refuse the request itself.
    if (ioctl(fd_, TIOCGRS485, &conf) != 0)
        return errno == ENOTTY || errno == EINVAL || errno == EOPNOTSUPP ? fail(EOPNOTSUPP) : failOpen(errno);
    const serial_rs485 was = conf;
    change(conf);
    if (conf.flags == was.flags)
        return true;
    if (ioctl(fd_, TIOCSRS485, &conf) != 0)
        return errno == ENOTTY || errno == EINVAL || errno == EOPNOTSUPP ? fail(EOPNOTSUPP) : failOpen(errno);
    return true;
}

bool PosixSerialPort::setDtr(bool on)
{
    return setModemLine(TIOCM_DTR, on);
}

bool PosixSerialPort::setRts(bool on)
{
    return setModemLine(TIOCM_RTS, on);
}

void PosixSerialPort::wait(short events, uint32_t ms)
{
    if (!isOpen())
        return;
    pollfd p { fd_, events, 0 };
    ::poll(&p, 1, static_cast<int>(std::min(ms, kMaxBlockMs)));
}

void PosixSerialPort::waitWritable(uint32_t ms)
{
    wait(POLLOUT, ms);
}

void PosixSerialPort::waitReadable(uint32_t ms)
{
    wait(POLLIN, ms);
}

} // namespace zor
