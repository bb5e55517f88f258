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
    Io, // the device failed or went away
    OutOfResources, // descriptors or memory exhausted
    Other,
};

PortError PortErrorFromErrno(int err);

} // namespace zor
