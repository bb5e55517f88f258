#pragma once
// What a search probes and how fast. By default it is the search the window
// has always run: addresses 1 to 247, one per step of the probe time-out
// plus 100 ms, at the link's own polling. A fast search gives each address
// a time the technician picks, never shorter than the line needs for a
// probe and its answer plus a margin, and has the link poll every few
// milliseconds while it runs.

#include "link/SerialPort.h"

#include <cstdint>

namespace zor {

struct SearchPlan {
    uint8_t first = 1;
    uint8_t last = 247;
    // The time each address is given in a fast search; 0 for the standard
    // step.
    uint32_t probeMs = 0;

    bool operator==(const SearchPlan&) const = default;
};

// The time a fast search offers by default.
constexpr uint32_t kFastProbeMs = 50;

// The shortest time a fast probe may be given at these line settings: a
// probe of 8 characters and an answer of 9, plus 10 ms for the detector's
// turnaround and the polling.
uint32_t ShortestProbeMs(const LineSettings& line);
// The link's polling during a fast search: every 5 ms, but never less than
// two characters' time, or the bytes of one answer would be taken for two.
uint16_t FastPollingMs(const LineSettings& line);
// The plan within its bounds: addresses 1..247 with the first not above the
// last, and a fast probe time not below the shortest for the line.
SearchPlan Bounded(SearchPlan plan, const LineSettings& line);

} // namespace zor
