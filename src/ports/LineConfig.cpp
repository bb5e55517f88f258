#include "ports/LineConfig.h"

namespace zor::ports {

namespace {

// What survives a change of flow control.
constexpr uint32_t kKeptFlags = dcbParity | dcbOutxDsrFlow | dcbDtrControlHigh | dcbDsrSensitivity | dcbTXContinueOnXoff
    | dcbErrorChar | dcbNull | dcbAbortOnError;

bool has(uint32_t flags, uint32_t bits)
{
    return (flags & bits) == bits;
}

} // namespace

uint32_t StreamProtocolFlags(uint32_t flags, TStreamProtocol protocol, bool rs485Mode)
{
    flags &= kKeptFlags;
    if (rs485Mode)
        return flags | kFlagsRS485;
    switch (protocol) {
    case TStreamProtocol::spXonXoff:
        return flags | kFlagsXonXoff;
    case TStreamProtocol::spHardware:
        return flags | kFlagsHardware;
    case TStreamProtocol::spNone:
        break;
    }
    return flags | kFlagsNone;
}

StreamMode DeriveStreamProtocol(uint32_t flags)
{
    StreamMode m;
    if (has(flags, kFlagsXonXoff))
        m.protocol = TStreamProtocol::spXonXoff;
    else if (has(flags, kFlagsHardware))
        m.protocol = TStreamProtocol::spHardware;
    m.rs485Mode = has(flags, kFlagsRS485);
    return m;
}

} // namespace zor::ports
