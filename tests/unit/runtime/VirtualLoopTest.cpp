#include "runtime/VirtualLoop.h"

#include <gtest/gtest.h>

#include <vector>

using zor::VirtualLoop;

TEST(VirtualLoop, TimersFireAtTheirPeriodInTimeOrder)
{
    VirtualLoop loop;
    std::vector<std::pair<int, uint64_t>> fired;
    auto a = loop.createTimer();
    auto b = loop.createTimer();
    a->setInterval(1100);
    b->setInterval(2000);
    a->setHandler([&] { fired.emplace_back(1, loop.now()); });
    b->setHandler([&] { fired.emplace_back(2, loop.now()); });
    a->setEnabled(true);
    b->setEnabled(true);
    loop.advance(4400);
    const std::vector<std::pair<int, uint64_t>> expected { { 1, 1100 }, { 2, 2000 }, { 1, 2200 }, { 1, 3300 },
        { 2, 4000 }, { 1, 4400 } };
    EXPECT_EQ(fired, expected);
}

TEST(VirtualLoop, ChangingTheIntervalRestartsAndEnablingAgainDoesNot)
{
    VirtualLoop loop;
    int count = 0;
    auto t = loop.createTimer();
    t->setInterval(1000);
    t->setHandler([&] { ++count; });
    t->setEnabled(true);
    loop.advance(900);
    t->setEnabled(true); // no restart
    loop.advance(100);
    EXPECT_EQ(count, 1);
    loop.advance(900);
    t->setInterval(500); // restarts from now
    loop.advance(499);
    EXPECT_EQ(count, 1);
    loop.advance(1);
    EXPECT_EQ(count, 2);
}

TEST(VirtualLoop, HandlerMayStopItsOwnTimerAndDestroyedTimersNeverFire)
{
    VirtualLoop loop;
    int count = 0;
    auto t = loop.createTimer();
    t->setInterval(10);
    t->setHandler([&] {
        ++count;
        t->setEnabled(false);
    });
    t->setEnabled(true);
    loop.advance(100);
    EXPECT_EQ(count, 1);

    auto u = loop.createTimer();
    u->setInterval(10);
    u->setHandler([&] { ++count; });
    u->setEnabled(true);
    u.reset();
    loop.advance(100);
    EXPECT_EQ(count, 1);
}

TEST(VirtualLoop, WaitUntilIsBoundedAndRunsEventsMeanwhile)
{
    VirtualLoop loop;
    bool flag = true;
    loop.callLater(300, [&] { flag = false; });
    EXPECT_TRUE(loop.waitUntil([&] { return !flag; }, 1500));
    EXPECT_EQ(loop.now(), 300u);

    flag = true; // nothing will clear it
    EXPECT_FALSE(loop.waitUntil([&] { return !flag; }, 1500));
    EXPECT_GE(loop.now(), 1800u);
    EXPECT_LE(loop.now(), 1801u);
}

TEST(VirtualLoop, TickCountWrapsAt32Bits)
{
    VirtualLoop loop;
    loop.setNow(0xFFFFFFF0ull);
    bool done = false;
    loop.callLater(0x20, [&] { done = true; });
    EXPECT_TRUE(loop.waitUntil([&] { return done; }, 100));
    EXPECT_EQ(loop.tickCount(), 0x10u);
}
