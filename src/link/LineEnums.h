#pragma once
// The link's parity and stop bits (TVSCOM's published properties) as the
// serial port backends take them. Each pair of enums is converted here and
// only here, name by name: their ordinals agree today, but nothing holds them
// to it.

#include "link/SerialPort.h"
#include "link/TVSCOM.h"

namespace zor {

// A value outside the enum (a code read from elsewhere and cast) is no
// parity, as the termios backend has always taken it.
constexpr ParityKind ToParityKind(TParity parity)
{
    switch (parity) {
    case TParity::pNone:
        return ParityKind::None;
    case TParity::pOdd:
        return ParityKind::Odd;
    case TParity::pEven:
        return ParityKind::Even;
    case TParity::pMark:
        return ParityKind::Mark;
    case TParity::pSpace:
        return ParityKind::Space;
    }
    return ParityKind::None;
}

// The way back, for a port's settings given to the link.
constexpr TParity ToTParity(ParityKind parity)
{
    switch (parity) {
    case ParityKind::None:
        return TParity::pNone;
    case ParityKind::Odd:
        return TParity::pOdd;
    case ParityKind::Even:
        return TParity::pEven;
    case ParityKind::Mark:
        return TParity::pMark;
    case ParityKind::Space:
        return TParity::pSpace;
    }
    return TParity::pNone;
}

// A value outside the enum is two stop bits, as the termios backend has
// always taken it.
constexpr StopBitsKind ToStopBitsKind(TStopBits stopBits)
{
    switch (stopBits) {
    case TStopBits::sb1:
        return StopBitsKind::One;
    case TStopBits::sb1HALF:
        return StopBitsKind::OneAndHalf;
    case TStopBits::sb2:
        return StopBitsKind::Two;
    }
    return StopBitsKind::Two;
}

} // namespace zor
