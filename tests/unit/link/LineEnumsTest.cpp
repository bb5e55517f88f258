// The link's parity and stop bits as the port backends take them: every
// value by name, and what a value outside the enum becomes.

#include "link/LineEnums.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

TEST(LineEnums, EveryParityBecomesItsNamesakeBothWays)
{
    const struct {
        TParity link;
        ParityKind port;
    } cases[] = {
        { TParity::pNone, ParityKind::None },
        { TParity::pOdd, ParityKind::Odd },
        { TParity::pEven, ParityKind::Even },
        { TParity::pMark, ParityKind::Mark },
        { TParity::pSpace, ParityKind::Space },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.link));
        EXPECT_EQ(ToParityKind(c.link), c.port);
        EXPECT_EQ(ToTParity(c.port), c.link);
    }
}

TEST(LineEnums, EveryStopBitsBecomesItsNamesake)
{
    EXPECT_EQ(ToStopBitsKind(TStopBits::sb1), StopBitsKind::One);
    EXPECT_EQ(ToStopBitsKind(TStopBits::sb1HALF), StopBitsKind::OneAndHalf);
    EXPECT_EQ(ToStopBitsKind(TStopBits::sb2), StopBitsKind::Two);
}

TEST(LineEnums, AValueOutsideTheEnumIsNoParityAndTwoStopBits)
{
    EXPECT_EQ(ToParityKind(static_cast<TParity>(9)), ParityKind::None);
    EXPECT_EQ(ToStopBitsKind(static_cast<TStopBits>(9)), StopBitsKind::Two);
}

} // namespace
} // namespace zor
