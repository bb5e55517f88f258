#include "sim/PollLoop.h"

#include <algorithm>
#include <poll.h>
#include <vector>

namespace zor {

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
    for (auto due = firstDue(); due && *due <= nowMs(); due = firstDue())
        runFirst();
}

void PollLoop::processEvents()
{
    int waitMs = kMaxWaitMs;
    if (const auto due = firstDue()) {
        const uint64_t now = nowMs();
        waitMs = *due <= now ? 0 : static_cast<int>(std::min<uint64_t>(*due - now, kMaxWaitMs));
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
