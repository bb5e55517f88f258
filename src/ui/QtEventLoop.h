#pragma once
// The event-loop interface on Qt's event loop: QTimer for the window timers,
// a monotonic clock for the tick count.

#include "runtime/EventLoop.h"

#include <QElapsedTimer>

namespace zor::ui {

class QtEventLoop final : public EventLoop {
public:
    QtEventLoop();
    std::unique_ptr<Timer> createTimer() override;
    uint32_t tickCount() const override;
    void callLater(uint32_t ms, std::function<void()> fn) override;
    // Waits for the next event (at most a few milliseconds) and handles what
    // is pending, so that a wait loop does not spin the processor.
    void processEvents() override;

private:
    QElapsedTimer clock_;
};

} // namespace zor::ui
