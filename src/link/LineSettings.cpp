#include "link/SerialPort.h"

namespace zor {

uint32_t characterBits(const LineSettings& s)
{
    const uint32_t parityBits = s.parity == ParityKind::None ? 0 : 1;
    const uint32_t stopBits = s.stopBits == StopBitsKind::One ? 1 : 2;
    return 1 + s.dataBits + parityBits + stopBits;
}

} // namespace zor
