// The port holder's parity and stop bits as the link's: every value by
// name, and what a value outside the enum becomes.

#include "app/HolderLine.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

TEST(HolderLine, EveryParityAndStopBitsBecomesItsNamesake)
{
    EXPECT_EQ(LinkParity(ports::TParity::pNone), TParity::pNone);
    EXPECT_EQ(LinkParity(ports::TParity::pOdd), TParity::pOdd);
    EXPECT_EQ(LinkParity(ports::TParity::pEven), TParity::pEven);
    EXPECT_EQ(LinkParity(ports::TParity::pMark), TParity::pMark);
    EXPECT_EQ(LinkParity(ports::TParity::pSpace), TParity::pSpace);
    EXPECT_EQ(LinkStopBits(ports::TStopBits::sbOne), TStopBits::sb1);
    EXPECT_EQ(LinkStopBits(ports::TStopBits::sbOneAndHalf), TStopBits::sb1HALF);
    EXPECT_EQ(LinkStopBits(ports::TStopBits::sbTwo), TStopBits::sb2);
}

TEST(HolderLine, AValueOutsideTheEnumIsNoParityAndTwoStopBits)
{
    EXPECT_EQ(LinkParity(static_cast<ports::TParity>(7)), TParity::pNone);
    EXPECT_EQ(LinkStopBits(static_cast<ports::TStopBits>(7)), TStopBits::sb2);
}

} // namespace
} // namespace zor
