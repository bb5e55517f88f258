#pragma once
// A real-time event loop without Qt, for zor-sim: the steady clock, timers,
// deferred calls and file descriptors watched with poll(). One thread.

#include "runtime/EventLoop.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace zor {

class PollLoop final : public EventLoop {
public:
    PollLoop();
    ~PollLoop() override;

    std::unique_ptr<Timer> createTimer() override;
    uint32_t tickCount() const override { return static_cast<uint32_t>(nowMs()); }
    void callLater(uint32_t ms, std::function<void()> fn) override;
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

private:
    class PollTimer;
    using Key = std::pair<uint64_t, uint64_t>; // due, sequence
    uint64_t nowMs() const;
    Key schedule(uint64_t due, std::function<void()> fn);
    void cancel(const Key& key) { queue_.erase(key); }
    void runDue();

    std::chrono::steady_clock::time_point start_;
    uint64_t seq_ = 0;
    std::map<Key, std::function<void()>> queue_;
    std::map<int, std::function<void()>> watches_;
    bool quit_ = false;
    // Timers that outlive the loop check it.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace zor
