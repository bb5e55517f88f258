#include "app/SearchPlan.h"

#include <algorithm>

namespace zor {

namespace {

// Milliseconds for n characters at the line's settings, rounded up.
uint32_t CharactersMs(uint32_t n, const LineSettings& line)
{
    const uint64_t bits = uint64_t { n } * characterBits(line) * 1000;
    const uint64_t baud = std::max<uint32_t>(line.baud, 1);
    return static_cast<uint32_t>((bits + baud - 1) / baud);
}

constexpr uint32_t kProbeCharacters = 8;
constexpr uint32_t kAnswerCharacters = 9;
constexpr uint32_t kProbeMarginMs = 10;
constexpr uint16_t kFastestPollingMs = 5;

} // namespace

uint32_t ShortestProbeMs(const LineSettings& line)
{
    return CharactersMs(kProbeCharacters + kAnswerCharacters, line) + kProbeMarginMs;
}

uint16_t FastPollingMs(const LineSettings& line)
{
    return static_cast<uint16_t>(std::max<uint32_t>(kFastestPollingMs, CharactersMs(2, line)));
}

SearchPlan Bounded(SearchPlan plan, const LineSettings& line)
{
    plan.first = std::clamp<uint8_t>(plan.first, 1, 247);
    plan.last = std::clamp<uint8_t>(plan.last, plan.first, 247);
    if (plan.probeMs != 0)
        plan.probeMs = std::max(plan.probeMs, ShortestProbeMs(line));
    return plan;
}

} // namespace zor
