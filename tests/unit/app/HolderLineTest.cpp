// The port holder's parity and stop bits as the link's: every value by
// name, and what a value outside the enum becomes.

#include "app/HolderLine.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

TEST(HolderLine, EveryParityAndStopBitsBecomesItsNamesakeBothWays)
{
    const struct {
        ports::TParity holder;
        TParity link;
    } parities[] = {
        { ports::TParity::pNone, TParity::pNone },
        { ports::TParity::pOdd, TParity::pOdd },
        { ports::TParity::pEven, TParity::pEven },
        { ports::TParity::pMark, TParity::pMark },
        { ports::TParity::pSpace, TParity::pSpace },
    };
    for (const auto& c : parities) {
        SCOPED_TRACE(static_cast<int>(c.link));
        EXPECT_EQ(LinkParity(c.holder), c.link);
        EXPECT_EQ(HolderParity(c.link), c.holder);
    }
    const struct {
        ports::TStopBits holder;
        TStopBits link;
    } stops[] = {
        { ports::TStopBits::sbOne, TStopBits::sb1 },
        { ports::TStopBits::sbOneAndHalf, TStopBits::sb1HALF },
        { ports::TStopBits::sbTwo, TStopBits::sb2 },
    };
    for (const auto& c : stops) {
        SCOPED_TRACE(static_cast<int>(c.link));
        EXPECT_EQ(LinkStopBits(c.holder), c.link);
        EXPECT_EQ(HolderStopBits(c.link), c.holder);
    }
}

TEST(HolderLine, AValueOutsideTheEnumIsNoParityAndTwoStopBits)
{
    EXPECT_EQ(LinkParity(static_cast<ports::TParity>(7)), TParity::pNone);
    EXPECT_EQ(LinkStopBits(static_cast<ports::TStopBits>(7)), TStopBits::sb2);
    EXPECT_EQ(HolderParity(static_cast<TParity>(7)), ports::TParity::pNone);
    EXPECT_EQ(HolderStopBits(static_cast<TStopBits>(7)), ports::TStopBits::sbTwo);
}

} // namespace
} // namespace zor
