#include "app/TrendBuffer.h"

#include <algorithm>
#include <climits>

namespace zor {

TrendBuffer::TrendBuffer(size_t capacity)
    : capacity_(std::max<size_t>(capacity, 1))
{
}

void TrendBuffer::Add(int64_t timeMs, float value)
{
    if (points_.empty())
        baseMs_ = timeMs;
    // The points stay in time order, which Span relies on.
    if (!points_.empty())
        timeMs = std::max(timeMs, At(points_.size() - 1).timeMs);
    const Stored s { static_cast<uint32_t>((timeMs - baseMs_) / 100), value };
    if (points_.size() < capacity_) {
        points_.push_back(s);
        return;
    }
    points_[oldest_] = s;
    oldest_ = (oldest_ + 1) % capacity_;
}

TrendPoint TrendBuffer::At(size_t i) const
{
    const Stored& s = points_[(oldest_ + i) % points_.size()];
    return { baseMs_ + static_cast<int64_t>(s.tenths) * 100, s.value };
}

std::pair<size_t, size_t> TrendBuffer::Span(int64_t fromMs, int64_t toMs) const
{
    // Binary searches over the ring in time order.
    auto lower = [this](int64_t t) {
        size_t lo = 0, hi = points_.size();
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            if (At(mid).timeMs < t)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    };
    const size_t first = lower(fromMs);
    const size_t last = toMs == INT64_MAX ? points_.size() : lower(toMs + 1);
    return { first, std::max(first, last) };
}

} // namespace zor
