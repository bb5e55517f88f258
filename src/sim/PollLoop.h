#pragma once
// A real-time event loop without Qt, for zor-sim: the steady clock, timers,
// deferred calls and file descriptors watched with poll(). One thread.

#include "runtime/ScheduledLoop.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace zor {

class PollLoop final : public ScheduledLoop {
public:
    PollLoop();
    ~PollLoop() override;

    // Sleeps until the next due call or a watched descriptor turns readable
    // (at most kMaxWaitMs), then runs what is due.
    void processEvents() override;

    // onReadable runs whenever fd has data, or has hung up or failed (the
    // handler tells which by reading).
    void watch(int fd, std::function<void()> onReadable);
    void unwatch(int fd);

    // Runs until quit().
    void run();
    void quit() { quit_ = true; }

    static constexpr int kMaxWaitMs = 50;

protected:
    uint64_t nowMs() const override;

private:
    void runDue();

    std::chrono::steady_clock::time_point start_;
    std::map<int, std::function<void()>> watches_;
    bool quit_ = false;
};

} // namespace zor
