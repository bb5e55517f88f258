#pragma once
// A port's line settings in one call, for the tables of cases of the port
// backends' tests.

#include "link/SerialPort.h"

namespace zor::test {

inline LineSettings LineOf(uint32_t baud, uint8_t bits, ParityKind parity, StopBitsKind stop, RtsMode rts, bool xon)
{
    LineSettings s;
    s.baud = baud;
    s.dataBits = bits;
    s.parity = parity;
    s.stopBits = stop;
    s.rts = rts;
    s.xonXoff = xon;
    return s;
}

} // namespace zor::test
