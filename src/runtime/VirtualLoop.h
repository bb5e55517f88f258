#pragma once
// Virtual-time event loop for tests: nothing happens until the test advances
// the clock, and then every timer and deferred call that falls due fires in
// time order. A search of 248 steps of 1100 ms runs in milliseconds of CPU.

#include "runtime/EventLoop.h"

#include <cstdint>
#include <map>
#include <set>

namespace zor {

class VirtualLoop final : public EventLoop {
public:
    VirtualLoop();
    ~VirtualLoop() override;

    std::unique_ptr<Timer> createTimer() override;
    uint32_t tickCount() const override { return static_cast<uint32_t>(now_); }
    void callLater(uint32_t ms, std::function<void()> fn) override;

    // Fires what is due now; if nothing is, advances the clock to the next
    // due event and fires that. With nothing scheduled at all, advances the
    // clock by 1 ms so that time-bounded waits still end.
    void processEvents() override;

    // Advances the clock by ms, firing everything that falls due on the way,
    // each at its own time.
    void advance(uint64_t ms);
    // Fires everything due up to and including the absolute time t.
    void runUntil(uint64_t t);
    // Advances until pred() holds or ms have passed; returns pred().
    bool advanceUntil(const std::function<bool()>& pred, uint64_t ms);

    uint64_t now() const { return now_; }
    // Starts the clock just below the 32-bit wrap, for wrap-around tests.
    void setNow(uint64_t t) { now_ = t; }

private:
    class VTimer;
    struct Event {
        uint64_t due;
        uint64_t seq;
        bool operator<(const Event& o) const { return due != o.due ? due < o.due : seq < o.seq; }
    };
    uint64_t schedule(uint64_t due, std::function<void()> fn);
    void cancel(uint64_t seq, uint64_t due);
    bool fireNext(uint64_t limit);

    uint64_t now_ = 0;
    uint64_t seq_ = 0;
    std::map<Event, std::function<void()>> queue_;
    std::set<VTimer*> timers_;
};

} // namespace zor
