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
    Other,
};

// The error of an open or of an operation on a port that is not open.
PortError PortErrorFromErrno(int err);
// The error of an operation on an open port: a hang-up, an I/O error or a
// vanished device means the port is lost.
PortError OpenPortErrorFromErrno(int err);

} // namespace zor
