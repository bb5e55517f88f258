#include "link/PosixCustomRate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace zor::posix {

bool SetCustomRate(int fd, uint32_t baud)
{
    termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return false;
    t.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ospeed = baud;
    t.c_ispeed = baud;
    return ioctl(fd, TCSETS2, &t) == 0;
}

std::optional<LineRates> RatesOf(int fd)
{
    termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return std::nullopt;
    return LineRates { t.c_ispeed, t.c_ospeed };
}

} // namespace zor::posix
