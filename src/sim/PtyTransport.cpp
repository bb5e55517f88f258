#include "sim/PtyTransport.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace zor {

namespace {

constexpr std::array<std::pair<speed_t, uint32_t>, 12> kSpeeds { {
    { B300, 300 },
    { B600, 600 },
    { B1200, 1200 },
    { B2400, 2400 },
    { B4800, 4800 },
    { B9600, 9600 },
    { B19200, 19200 },
    { B38400, 38400 },
    { B57600, 57600 },
    { B115200, 115200 },
    { B230400, 230400 },
    { B460800, 460800 },
} };

std::string failure(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

PtyTransport::PtyTransport(SimBus& bus)
    : bus_(bus)
{
}

PtyTransport::~PtyTransport()
{
    bus_.setOutput(nullptr);
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool PtyTransport::open(std::string& error)
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        error = failure("posix_openpt");
        return false;
    }
    char name[128];
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name) != 0) {
        error = failure("pseudo-terminal");
        return false;
    }
    path_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0) {
        error = failure(name);
        return false;
    }
    // Raw, so that nothing the detectors send is echoed back as a request.
    termios t {};
    ::tcgetattr(slave_, &t);
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B19200);
    ::cfsetospeed(&t, B19200);
    ::tcsetattr(slave_, TCSANOW, &t);
    bus_.setOutput([this](const uint8_t* data, size_t n, const LineSettings&) { write(data, n); });
    return true;
}

uint32_t PtyTransport::rate() const
{
    termios t {};
    if (::tcgetattr(master_, &t) != 0)
        return 0;
    const speed_t speed = ::cfgetospeed(&t);
    for (const auto& [code, baud] : kSpeeds)
        if (code == speed)
            return baud;
    return 0;
}

void PtyTransport::onReadable()
{
    uint8_t buf[512];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0)
            return; // drained; EIO only while no slave is open, which we prevent
        HeardLine heard;
        heard.settings.baud = rate();
        heard.rateOnly = true;
        bus_.receive(buf, static_cast<size_t>(n), heard);
    }
}

void PtyTransport::write(const uint8_t* data, size_t n)
{
    while (n > 0) {
        const ssize_t done = ::write(master_, data, n);
        if (done <= 0)
            return; // a full queue that nobody reads: the answer is lost, as on a line
        data += done;
        n -= static_cast<size_t>(done);
    }
}

} // namespace zor
