#pragma once
// The trend of every detector read automatically: each panel block decoded
// while reading adds the concentration (in the unit the detector has in use) to the
// detector's buffer, each cycle that went unanswered adds a gap, and so does
// a pause of more than two cycles between readings (reading stopped, another
// detector read meanwhile), so that no line joins readings across a time
// nothing was read. A buffer is made for a detector when it is first read,
// and made anew when the detector reports another unit in use or another
// gas: the points of one trend are always of one unit.
//
// Times come from the loop's tick clock, laid on the wall clock as it was at
// the first point: the trend keeps its spacing when the system clock is set.

#include "app/TrendBuffer.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace zor {

struct TDevice;

struct TrendOf {
    TrendBuffer points;
    // As the device held them at its last reading, in its unit in use.
    float limit1 = 0;
    float limit2 = 0;
    int decimals = 0;
    std::string unit;
};

class TrendRecorder {
public:
    // A pause longer than this between two points is shown as a gap.
    static constexpr int64_t kPauseMs = 5000;

    // wallClockMs: the wall clock, milliseconds since the epoch (UTC).
    explicit TrendRecorder(std::function<int64_t()> wallClockMs = {});

    // The panel block of the device at address, just decoded while read
    // automatically; tick is the loop's tick count.
    void Reading(uint8_t address, uint32_t tick, const TDevice& device);
    // A read cycle of the device at address went unanswered.
    void Missed(uint8_t address, uint32_t tick);

    // The detector that got the last point, 0 before any.
    uint8_t Current() const { return current_; }
    // Its trend, null for an address never read.
    const TrendOf* Of(uint8_t address) const;

    // Called after every point with the detector's address.
    void SetObserver(std::function<void(uint8_t address)> fn) { observer_ = std::move(fn); }

private:
    int64_t TimeOf(uint32_t tick);
    void Add(uint8_t address, int64_t timeMs, float value);

    std::function<int64_t()> wallClock_;
    std::map<uint8_t, TrendOf> trends_;
    bool started_ = false;
    int64_t baseMs_ = 0;
    uint32_t lastTick_ = 0;
    int64_t elapsedMs_ = 0;
    uint8_t current_ = 0;
    std::function<void(uint8_t)> observer_;
};

} // namespace zor
