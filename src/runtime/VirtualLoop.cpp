#include "runtime/VirtualLoop.h"

namespace zor {

bool VirtualLoop::fireNext(uint64_t limit)
{
    const auto due = firstDue();
    if (!due || *due > limit)
        return false;
    if (*due > now_)
        now_ = *due;
    runFirst();
    return true;
}

void VirtualLoop::processEvents()
{
    if (fireNext(now_))
        return;
    const auto due = firstDue();
    if (!due) {
        ++now_;
        return;
    }
    fireNext(*due);
}

void VirtualLoop::runUntil(uint64_t t)
{
    while (fireNext(t)) { }
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
        if (!fireNext(end)) {
            now_ = end;
            return pred();
        }
    }
    return true;
}

} // namespace zor
