#pragma once
// When each detector is next to be calibrated: a fixed number of months after
// its last successful span, as the journal holds it.

#include "journal/JournalStore.h"
#include "journal/WallClock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zor::journal {

constexpr int kDefaultIntervalMonths = 6;

enum class DueState {
    Unknown, // no successful span recorded
    Overdue,
    Soon, // within the days asked for
    Fine,
};

struct Due {
    int32_t serial = 0;
    std::string model;
    std::optional<Date> last;
    std::optional<Date> due;
    DueState state = DueState::Unknown;
};

// The state of one detector whose last successful span was at lastSpan.
Due DueOf(std::optional<int64_t> lastSpan, WallTime now, int intervalMonths, int soonDays = 30);
// Every detector the journal knows that is overdue, unknown or due within
// soonDays, soonest first (unknown last).
std::vector<Due> DueList(const JournalStore& store, WallTime now, int intervalMonths, int soonDays = 30);
// The state of one serial number.
Due DueOfSerial(const JournalStore& store, int32_t serial, WallTime now, int intervalMonths);
// "Калибровка просрочена с 11.06.2026", "Калибровка не записана в журнале";
// empty when it is not yet due.
std::string DueHint(const Due& due);

} // namespace zor::journal
