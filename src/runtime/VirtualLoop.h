#pragma once
// Virtual-time event loop for tests: nothing happens until the test advances
// the clock, and then every timer and deferred call that falls due fires in
// time order. A search of 248 steps of 1100 ms runs in milliseconds of CPU.

#include "runtime/ScheduledLoop.h"

#include <cstdint>
#include <functional>

namespace zor {

class VirtualLoop final : public ScheduledLoop {
public:
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
    // Moves the clock without firing anything: for wrap-around tests, and for
    // a port that blocks its caller while the wire drains.
    void setNow(uint64_t t) { now_ = t; }

protected:
    uint64_t nowMs() const override { return now_; }

private:
    // Fires the earliest event if it is due by limit, moving the clock to it.
    bool fireNext(uint64_t limit);

    uint64_t now_ = 0;
};

} // namespace zor
