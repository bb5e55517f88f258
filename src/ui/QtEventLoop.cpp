#include "ui/QtEventLoop.h"

#include "ui/ErrorReport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace zor::ui {

namespace {

class QtTimer final : public Timer {
public:
    QtTimer()
    {
        timer_.setInterval(1000);
        timer_.setTimerType(Qt::PreciseTimer);
        // Qt never fires a timer again while its own slot runs, but a
        // handler may open a modal window (the LoRa window from the polling
        // tick's reply) inside which this same timer must keep firing. So the
        // slot only queues the handler, at most once at a time, and returns.
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (queued_)
                return;
            queued_ = true;
            QMetaObject::invokeMethod(
                &timer_,
                [this] {
                    queued_ = false;
                    if (enabled_ && handler_)
                        Guarded(handler_);
                },
                Qt::QueuedConnection);
        });
    }
    void setInterval(uint32_t ms) override
    {
        if (static_cast<int>(ms) == timer_.interval())
            return;
        timer_.setInterval(static_cast<int>(ms));
        restart();
    }
    uint32_t interval() const override { return static_cast<uint32_t>(timer_.interval()); }
    void setEnabled(bool on) override
    {
        if (on == enabled_)
            return;
        enabled_ = on;
        restart();
    }
    bool enabled() const override { return enabled_; }
    void setHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

private:
    // A zero interval never fires, as with a window timer.
    void restart()
    {
        if (enabled_ && timer_.interval() > 0)
            timer_.start();
        else
            timer_.stop();
    }

    QTimer timer_;
    bool enabled_ = false;
    bool queued_ = false;
    std::function<void()> handler_;
};

} // namespace

QtEventLoop::QtEventLoop()
{
    clock_.start();
}

std::unique_ptr<Timer> QtEventLoop::createTimer()
{
    return std::make_unique<QtTimer>();
}

uint32_t QtEventLoop::tickCount() const
{
    return static_cast<uint32_t>(clock_.elapsed());
}

void QtEventLoop::callLater(uint32_t ms, std::function<void()> fn)
{
    QTimer::singleShot(
        static_cast<int>(ms), Qt::PreciseTimer, QCoreApplication::instance(), [fn = std::move(fn)] { Guarded(fn); });
}

void QtEventLoop::processEvents()
{
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(5);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace zor::ui
