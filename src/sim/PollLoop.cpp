#include "sim/PollLoop.h"

#include <algorithm>
#include <poll.h>
#include <vector>

namespace zor {

class PollLoop::PollTimer final : public Timer {
public:
    explicit PollTimer(PollLoop& loop)
        : loop_(loop)
        , alive_(loop.alive_)
    {
    }
    ~PollTimer() override { stop(); }

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

    PollLoop& loop_;
    std::weak_ptr<int> alive_;
    uint32_t interval_ = 1000;
    bool enabled_ = false;
    bool pending_ = false;
    Key key_ {};
    std::function<void()> handler_;
};

PollLoop::PollLoop()
    : start_(std::chrono::steady_clock::now())
{
}

PollLoop::~PollLoop() = default;

uint64_t PollLoop::nowMs() const
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count());
}

std::unique_ptr<Timer> PollLoop::createTimer()
{
    return std::make_unique<PollTimer>(*this);
}

PollLoop::Key PollLoop::schedule(uint64_t due, std::function<void()> fn)
{
    const Key key { due, ++seq_ };
    queue_.emplace(key, std::move(fn));
    return key;
}

void PollLoop::callLater(uint32_t ms, std::function<void()> fn)
{
    schedule(nowMs() + ms, std::move(fn));
}

void PollLoop::watch(int fd, std::function<void()> onReadable)
{
    watches_[fd] = std::move(onReadable);
}

void PollLoop::unwatch(int fd)
{
    watches_.erase(fd);
}

void PollLoop::runDue()
{
    // One at a time: a call may schedule or cancel others.
    while (!queue_.empty() && queue_.begin()->first.first <= nowMs()) {
        auto fn = std::move(queue_.begin()->second);
        queue_.erase(queue_.begin());
        fn();
    }
}

void PollLoop::processEvents()
{
    int waitMs = kMaxWaitMs;
    if (!queue_.empty()) {
        const uint64_t due = queue_.begin()->first.first, now = nowMs();
        waitMs = due <= now ? 0 : static_cast<int>(std::min<uint64_t>(due - now, kMaxWaitMs));
    }
    std::vector<pollfd> fds;
    for (const auto& [fd, handler] : watches_)
        fds.push_back({ fd, POLLIN, 0 });
    const int ready = ::poll(fds.data(), fds.size(), waitMs);
    if (ready > 0) {
        for (const pollfd& p : fds) {
            if (p.revents == 0)
                continue;
            // Looked up again: an earlier handler may have dropped it.
            if (auto it = watches_.find(p.fd); it != watches_.end()) {
                auto handler = it->second;
                handler();
            }
        }
    }
    runDue();
}

void PollLoop::run()
{
    quit_ = false;
    while (!quit_)
        processEvents();
}

} // namespace zor
