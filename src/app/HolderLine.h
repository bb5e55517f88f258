#pragma once
// The port holder's parity and stop bits (the bus settings the technician
// chose) as the link's, and back. Converted here and only here, name by
// name.

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

// The link's settings taken as the bus settings (the settings a search
// found the detectors at).
constexpr ports::TParity HolderParity(TParity parity)
{
    switch (parity) {
    case TParity::pNone:
        return ports::TParity::pNone;
    case TParity::pOdd:
        return ports::TParity::pOdd;
    case TParity::pEven:
        return ports::TParity::pEven;
    case TParity::pMark:
        return ports::TParity::pMark;
    case TParity::pSpace:
        return ports::TParity::pSpace;
    }
    return ports::TParity::pNone;
}

constexpr ports::TStopBits HolderStopBits(TStopBits stopBits)
{
    switch (stopBits) {
    case TStopBits::sb1:
        return ports::TStopBits::sbOne;
    case TStopBits::sb1HALF:
        return ports::TStopBits::sbOneAndHalf;
    case TStopBits::sb2:
        return ports::TStopBits::sbTwo;
    }
    return ports::TStopBits::sbTwo;
}

} // namespace zor
