#pragma once
// The port holder's parity and stop bits (the bus settings the technician
// chose) as the link's. Converted here and only here, name by name.

#include "link/TVSCOM.h"
#include "ports/LineConfig.h"

namespace zor {

// A value outside the enum passes on as no parity and two stop bits, what
// the port has always made of one.
constexpr TParity LinkParity(ports::TParity parity)
{
    switch (parity) {
    case ports::TParity::pNone:
        return TParity::pNone;
    case ports::TParity::pOdd:
        return TParity::pOdd;
    case ports::TParity::pEven:
        return TParity::pEven;
    case ports::TParity::pMark:
        return TParity::pMark;
    case ports::TParity::pSpace:
        return TParity::pSpace;
    }
    return TParity::pNone;
}

constexpr TStopBits LinkStopBits(ports::TStopBits stopBits)
{
    switch (stopBits) {
    case ports::TStopBits::sbOne:
        return TStopBits::sb1;
    case ports::TStopBits::sbOneAndHalf:
        return TStopBits::sb1HALF;
    case ports::TStopBits::sbTwo:
        return TStopBits::sb2;
    }
    return TStopBits::sb2;
}

} // namespace zor
