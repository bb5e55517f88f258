#pragma once
// The concentration of one detector over time: a ring buffer of the last
// 43,200 points (a day of automatic reading, one cycle every 2 s), so that
// reading overnight never grows it. A point is a reading or a gap (NaN),
// the mark of a cycle that went unanswered. Times are milliseconds since
// the Unix epoch (UTC), kept as tenths of a second from the first point so
// that a point takes 8 bytes.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace zor {

struct TrendPoint {
    int64_t timeMs;
    float value; // NaN: no answer
    bool gap() const { return std::isnan(value); }
};

class TrendBuffer {
public:
    static constexpr size_t kDayOfCycles = 24 * 3600 / 2;

    explicit TrendBuffer(size_t capacity = kDayOfCycles);

    // Adds a point after the others; once full, the oldest goes.
    void Add(int64_t timeMs, float value);
    size_t Size() const { return points_.size(); }
    size_t Capacity() const { return capacity_; }
    // Point i, 0 the oldest.
    TrendPoint At(size_t i) const;
    // The indices [first, last) of the points from fromMs to toMs.
    std::pair<size_t, size_t> Span(int64_t fromMs, int64_t toMs) const;

private:
    struct Stored {
        uint32_t tenths;
        float value;
    };
    size_t capacity_;
    std::vector<Stored> points_;
    size_t oldest_ = 0;
    int64_t baseMs_ = 0;
};

} // namespace zor
