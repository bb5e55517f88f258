// The real-time loop of zor-sim, lightly: order of calls, timers, watched
// descriptors and quitting. Delays are a few milliseconds.

#include "sim/PollLoop.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <vector>

namespace zor {
namespace {

TEST(PollLoop, DeferredCallsRunInTimeOrderAndNotEarly)
{
    PollLoop loop;
    std::vector<std::pair<int, uint32_t>> ran;
    const uint32_t start = loop.tickCount();
    loop.callLater(20, [&] { ran.emplace_back(2, loop.tickCount() - start); });
    loop.callLater(5, [&] { ran.emplace_back(1, loop.tickCount() - start); });
    loop.callLater(20, [&] { ran.emplace_back(3, loop.tickCount() - start); });
    EXPECT_TRUE(loop.waitUntil([&] { return ran.size() == 3; }, 2000));
    ASSERT_EQ(ran.size(), 3u);
    EXPECT_EQ(ran[0].first, 1);
    EXPECT_EQ(ran[1].first, 2);
    EXPECT_EQ(ran[2].first, 3);
    EXPECT_GE(ran[0].second, 5u);
    EXPECT_GE(ran[1].second, 20u);
}

TEST(PollLoop, TimersRepeatUntilDisabled)
{
    PollLoop loop;
    auto timer = loop.createTimer();
    int fired = 0;
    timer->setInterval(3);
    timer->setHandler([&] {
        if (++fired == 3)
            timer->setEnabled(false);
    });
    timer->setEnabled(true);
    loop.waitUntil([] { return false; }, 60);
    EXPECT_EQ(fired, 3);
    EXPECT_FALSE(timer->enabled());
}

TEST(PollLoop, WatchedDescriptorsWakeItAndQuitEndsTheRun)
{
    PollLoop loop;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::string got;
    loop.watch(fds[0], [&] {
        char buf[16];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        got.append(buf, static_cast<size_t>(n));
        loop.quit();
    });
    loop.callLater(5, [&] { ASSERT_EQ(::write(fds[1], "ab", 2), 2); });
    loop.callLater(5000, [&] { loop.quit(); }); // bounds the run if the watch fails
    const uint32_t start = loop.tickCount();
    loop.run();
    EXPECT_EQ(got, "ab");
    EXPECT_LT(loop.tickCount() - start, 1000u);
    loop.unwatch(fds[0]);
    ::close(fds[0]);
    ::close(fds[1]);
}

} // namespace
} // namespace zor
