// The POSIX error numbers of PortError.h in the project's terms; the Win32
// backend has its own (Win32Comm.h).

#include "link/PortError.h"

#include <cerrno>

namespace zor {

PortError PortErrorFromErrno(int err)
{
    switch (err) {
    case 0:
        return PortError::None;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return PortError::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return PortError::AccessDenied;
    case EBUSY:
    case EWOULDBLOCK:
        return PortError::Busy;
    case ENOTTY:
        return PortError::NotATerminal;
    case EINVAL:
        return PortError::InvalidSetting;
    case EOPNOTSUPP:
        return PortError::Unsupported;
    case EIO:
    case EPIPE:
    case EBADF:
        return PortError::Io;
    case EMFILE:
    case ENFILE:
    case ENOMEM:
        return PortError::OutOfResources;
    default:
        return PortError::Other;
    }
}

PortError OpenPortErrorFromErrno(int err)
{
    switch (err) {
    case EIO:
    case ENODEV:
    case ENXIO:
        return PortError::Lost;
    default:
        return PortErrorFromErrno(err);
    }
}

PortError ConnectErrorFromErrno(int err)
{
    switch (err) {
    case ECONNREFUSED:
        return PortError::Refused;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN:
    case EHOSTDOWN:
        return PortError::Unreachable;
    case ETIMEDOUT:
        return PortError::TimedOut;
    default:
        return PortErrorFromErrno(err);
    }
}

} // namespace zor
