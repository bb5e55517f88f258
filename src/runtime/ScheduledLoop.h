#pragma once
// The part of an event loop that keeps time-ordered calls: window timers and
// deferred calls on one queue, run in order of their due time. The loops
// differ only in their clock and in how they wait: VirtualLoop moves its
// clock to the next due call, PollLoop sleeps in poll().

#include "runtime/EventLoop.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace zor {

class ScheduledLoop : public EventLoop {
public:
    std::unique_ptr<Timer> createTimer() override;
    uint32_t tickCount() const override { return static_cast<uint32_t>(nowMs()); }
    void callLater(uint32_t ms, std::function<void()> fn) override;

protected:
    using Key = std::pair<uint64_t, uint64_t>; // due, sequence

    virtual uint64_t nowMs() const = 0;
    Key schedule(uint64_t due, std::function<void()> fn);
    void cancel(const Key& key) { queue_.erase(key); }
    // When the earliest call is due; nothing when none is queued.
    std::optional<uint64_t> firstDue() const;
    // Takes the earliest call off the queue and runs it.
    void runFirst();

private:
    class LoopTimer;
    uint64_t seq_ = 0;
    std::map<Key, std::function<void()>> queue_;
    // Timers that outlive the loop check it.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace zor
