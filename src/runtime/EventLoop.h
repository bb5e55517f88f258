#pragma once
// What the core needs of its platform: timers that fire on the UI thread, a
// 32-bit wrapping millisecond tick clock, deferred calls, and a way to let
// pending events run inside a wait. The Qt program implements it on QTimer;
// tests implement it in virtual time (VirtualLoop).

#include <cstdint>
#include <functional>
#include <memory>

namespace zor {

// A window timer: while enabled it calls its handler every interval
// milliseconds. Like a VCL TTimer, changing the interval of a running timer
// restarts its period, and enabling an enabled timer changes nothing.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(uint32_t ms) = 0;
    virtual uint32_t interval() const = 0;
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;
    virtual void setHandler(std::function<void()> handler) = 0;
};

class EventLoop {
public:
    virtual ~EventLoop() = default;

    virtual std::unique_ptr<Timer> createTimer() = 0;

    // Milliseconds since an arbitrary start, wrapping at 2^32.
    virtual uint32_t tickCount() const = 0;

    // Runs fn once, ms milliseconds from now, on the UI thread.
    virtual void callLater(uint32_t ms, std::function<void()> fn) = 0;

    // One pass of the events that are due. A wait that loops on this until a
    // flag clears must also bound itself by time; in virtual time a pass
    // advances the clock to the next due event, so such waits never spin.
    virtual void processEvents() = 0;

    // Runs pass after pass until done() or until timeoutMs have passed.
    // Returns done().
    bool waitUntil(const std::function<bool()>& done, uint32_t timeoutMs);
};

} // namespace zor
