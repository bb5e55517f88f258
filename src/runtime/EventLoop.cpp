#include "runtime/EventLoop.h"

namespace zor {

bool EventLoop::waitUntil(const std::function<bool()>& done, uint32_t timeoutMs)
{
    const uint32_t start = tickCount();
    while (!done()) {
        if (static_cast<uint32_t>(tickCount() - start) >= timeoutMs)
            return done();
        processEvents();
    }
    return true;
}

} // namespace zor
