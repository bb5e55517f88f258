#include "runtime/VirtualLoop.h"

#include <utility>

namespace zor {

class VirtualLoop::VTimer final : public Timer {
public:
    explicit VTimer(VirtualLoop& loop) : loop_(&loop) { loop_->timers_.insert(this); }
    ~VTimer() override
    {
        if (loop_) {
            stop();
            loop_->timers_.erase(this);
        }
    }

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

    void detach() { loop_ = nullptr; }

private:
    void stop()
    {
        if (pending_) {
            loop_->cancel(seq_, due_);
            pending_ = false;
        }
    }
    void restart()
    {
        stop();
        // A zero interval never fires, as with a window timer.
        if (interval_ == 0)
            return;
        due_ = loop_->now_ + interval_;
        pending_ = true;
        seq_ = loop_->schedule(due_, [this] { fire(); });
    }
    void fire()
    {
        pending_ = false;
        // Re-arm before the handler runs: the handler may stop or retime us.
        restart();
        if (handler_)
            handler_();
    }

    VirtualLoop* loop_;
    uint32_t interval_ = 1000;
    bool enabled_ = false;
    bool pending_ = false;
    uint64_t due_ = 0;
    uint64_t seq_ = 0;
    std::function<void()> handler_;
};

VirtualLoop::VirtualLoop() = default;

VirtualLoop::~VirtualLoop()
{
    for (VTimer* t : timers_)
        t->detach();
}

std::unique_ptr<Timer> VirtualLoop::createTimer()
{
    return std::make_unique<VTimer>(*this);
}

void VirtualLoop::callLater(uint32_t ms, std::function<void()> fn)
{
    schedule(now_ + ms, std::move(fn));
}

uint64_t VirtualLoop::schedule(uint64_t due, std::function<void()> fn)
{
    const uint64_t seq = ++seq_;
    queue_.emplace(Event{due, seq}, std::move(fn));
    return seq;
}

void VirtualLoop::cancel(uint64_t seq, uint64_t due)
{
    queue_.erase(Event{due, seq});
}

bool VirtualLoop::fireNext(uint64_t limit)
{
    if (queue_.empty())
        return false;
    auto it = queue_.begin();
    if (it->first.due > limit)
        return false;
    if (it->first.due > now_)
        now_ = it->first.due;
    auto fn = std::move(it->second);
    queue_.erase(it);
    fn();
    return true;
}

void VirtualLoop::processEvents()
{
    if (fireNext(now_))
        return;
    if (queue_.empty()) {
        ++now_;
        return;
    }
    fireNext(queue_.begin()->first.due);
}

void VirtualLoop::runUntil(uint64_t t)
{
    while (fireNext(t)) {
    }
    if (t > now_)
        now_ = t;
}

void VirtualLoop::advance(uint64_t ms)
{
    runUntil(now_ + ms);
}

bool VirtualLoop::advanceUntil(const std::function<bool()>& pred, uint64_t ms)
{
    const uint64_t end = now_ + ms;
    while (!pred()) {
        if (queue_.empty() || queue_.begin()->first.due > end) {
            now_ = end;
            return pred();
        }
        fireNext(end);
    }
    return true;
}

} // namespace zor
