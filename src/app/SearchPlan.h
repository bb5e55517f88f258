#pragma once
// What a search probes and how fast. By default it is the search the window
// has always run: addresses 1 to 247, one per step of the probe time-out
// plus 100 ms, at the link's own polling. A fast search gives each address
// a time the technician picks, never shorter than the line needs for a
// probe and its answer plus a margin, and has the link poll every few
// milliseconds while it runs.

#include "link/SerialPort.h"
#include "link/TVSCOM.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zor {

// One set of line settings a search across line settings tries (eight
// data bits always).
struct LineChoice {
    uint32_t baud = 19200;
    TParity parity = TParity::pEven;
    TStopBits stopBits = TStopBits::sb1;

    bool operator==(const LineChoice&) const = default;
};

struct SearchPlan {
    uint8_t first = 1;
    uint8_t last = 247;
    // The time each address is given in a fast search; 0 for the standard
    // step.
    uint32_t probeMs = 0;
    // Line settings to try in turn, each over the whole range; empty for
    // the bus settings alone.
    std::vector<LineChoice> lines;

    bool operator==(const SearchPlan&) const = default;
};

// A detector a search across line settings found, and the settings it
// answered at.
struct FoundAt {
    uint8_t address = 0;
    int32_t serial = 0;
    LineChoice line;
};

// The line settings the most detectors answered at (each detector counted
// once a setting); of equals the preferred one if it is among them, else
// the first found. None when nothing was found.
std::optional<LineChoice> MostAnswered(const std::vector<FoundAt>& found, std::optional<LineChoice> preferred);

// The standard step: the probe time-out of 1000 ms plus 100 ms.
constexpr uint32_t kStandardStepMs = 1100;
// The time a fast search offers by default.
constexpr uint32_t kFastProbeMs = 50;

// The shortest time a fast probe may be given at these line settings: a
// probe of 8 characters and an answer of 9, 10 ms for the detector's
// turnaround, and one period of the fast polling that takes the answer in.
uint32_t ShortestProbeMs(const LineSettings& line);

// Milliseconds for n characters at the line's settings, rounded up.
uint32_t CharactersMs(uint32_t n, const LineSettings& line);

// The link's polling during a fast search: every 5 ms, but never less than
// two characters' time, or the bytes of one answer would be taken for two.
uint16_t FastPollingMs(const LineSettings& line);
// The plan within its bounds: addresses 1..247 with the first not above the
// last, and a fast probe time not below the shortest for the line.
SearchPlan Bounded(SearchPlan plan, const LineSettings& line);
// How long the plan runs when nothing stops it, in milliseconds: a step
// per address and one to end each setting's pass, the probe time raised to
// what each setting's line needs. bus: the line settings of the bus.
uint64_t PlanMs(const SearchPlan& plan, const LineSettings& bus);
// The rates a detector's line word can hold (1200 to 115200).
std::vector<uint32_t> SweepRates();
// Every combination of the given rates, parities and stop bits, rate by
// rate.
std::vector<LineChoice> LineChoices(
    const std::vector<uint32_t>& rates, const std::vector<TParity>& parities, const std::vector<TStopBits>& stopBits);
// "115200 / 8-None-2", as the status bar shows line settings.
std::string LineCaption(uint32_t baud, int dataBits, int parity, int stopBits);
std::string LineCaption(const LineChoice& line);
// The plan in a log line: "Параметры поиска: адреса 1..247, 50 мс на
// адрес, настроек линии: 16".
std::string PlanText(const SearchPlan& plan);

} // namespace zor
