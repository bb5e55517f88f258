#pragma once
// What went wrong with a platform port operation, in the project's own terms
// rather than the platform's error numbers.

#include <cstdint>

namespace zor {

enum class PortError : uint8_t {
    None,
    NotFound, // no such device
    AccessDenied, // no permission
    Busy, // held by another program
    NotATerminal, // the name is not a serial device
    InvalidSetting, // the device refused a setting
    Unsupported, // the device cannot do this at all
    Io, // the device failed
    OutOfResources, // descriptors or memory exhausted
    Lost, // an open port hung up or its device went away
    BadAddress, // a network name that names no host and port
    HostUnknown, // the host's name does not resolve
    Refused, // the host refused the connection: nothing listens on the port
    Unreachable, // no route to the host
    TimedOut, // the host did not answer the connection in time
    Other,
};

// The error of an open or of an operation on a port that is not open.
PortError PortErrorFromErrno(int err);
// The error of an operation on an open port: a hang-up, an I/O error or a
// vanished device means the port is lost.
PortError OpenPortErrorFromErrno(int err);

// The error of a connection to a network bus that did not come about.
PortError ConnectErrorFromErrno(int err);

} // namespace zor
