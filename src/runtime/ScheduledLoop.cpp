#include "runtime/ScheduledLoop.h"

namespace zor {

class ScheduledLoop::LoopTimer final : public Timer {
public:
    explicit LoopTimer(ScheduledLoop& loop)
        : loop_(loop)
        , alive_(loop.alive_)
    {
    }
    ~LoopTimer() override { stop(); }

    void setInterval(uint32_t ms) override
    {
        if (ms == interval_)
            return;
        interval_ = ms;
        if (enabled_)
            restart();
    }
    uint32_t interval() const override { return interval_; }
    void setEnabled(bool on) override
    {
        if (on == enabled_)
            return;
        enabled_ = on;
        if (on)
            restart();
        else
            stop();
    }
    bool enabled() const override { return enabled_; }
    void setHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

private:
    void stop()
    {
        if (pending_ && !alive_.expired())
            loop_.cancel(key_);
        pending_ = false;
    }
    void restart()
    {
        stop();
        // A zero interval never fires, as with a window timer.
        if (interval_ == 0)
            return;
        pending_ = true;
        key_ = loop_.schedule(loop_.nowMs() + interval_, [this] { fire(); });
    }
    void fire()
    {
        pending_ = false;
        restart(); // before the handler, which may stop or retime us
        if (handler_)
            handler_();
    }

    ScheduledLoop& loop_;
    std::weak_ptr<int> alive_;
    uint32_t interval_ = 1000;
    bool enabled_ = false;
    bool pending_ = false;
    Key key_ {};
    std::function<void()> handler_;
};

std::unique_ptr<Timer> ScheduledLoop::createTimer()
{
    return std::make_unique<LoopTimer>(*this);
}

void ScheduledLoop::callLater(uint32_t ms, std::function<void()> fn)
{
    schedule(nowMs() + ms, std::move(fn));
}

ScheduledLoop::Key ScheduledLoop::schedule(uint64_t due, std::function<void()> fn)
{
    const Key key { due, ++seq_ };
    queue_.emplace(key, std::move(fn));
    return key;
}

std::optional<uint64_t> ScheduledLoop::firstDue() const
{
    if (queue_.empty())
        return std::nullopt;
    return queue_.begin()->first.first;
}

void ScheduledLoop::runFirst()
{
    // Off the queue before it runs: a call may schedule or cancel others.
    auto fn = std::move(queue_.begin()->second);
    queue_.erase(queue_.begin());
    fn();
}

} // namespace zor
