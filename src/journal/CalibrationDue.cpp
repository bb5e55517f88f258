#include "journal/CalibrationDue.h"

#include "journal/Operation.h"

#include <algorithm>

namespace zor::journal {

Due DueOf(std::optional<int64_t> lastSpan, WallTime now, int intervalMonths, int soonDays)
{
    Due d;
    if (!lastSpan)
        return d;
    d.last = LocalDate({ *lastSpan, now.offsetMinutes });
    d.due = AddMonths(*d.last, intervalMonths);
    const int64_t left = DaysBetween(LocalDate(now), *d.due);
    d.state = left < 0 ? DueState::Overdue : left <= soonDays ? DueState::Soon : DueState::Fine;
    return d;
}

std::vector<Due> DueList(const JournalStore& store, WallTime now, int intervalMonths, int soonDays)
{
    std::vector<Due> out;
    for (const LastSpan& s : store.LastOfKind(static_cast<int>(Operation::Span))) {
        Due d = DueOf(s.unixTime, now, intervalMonths, soonDays);
        if (d.state == DueState::Fine)
            continue;
        d.serial = s.serial;
        d.model = s.model;
        out.push_back(std::move(d));
    }
    std::stable_sort(out.begin(), out.end(), [](const Due& a, const Due& b) {
        if (a.due && b.due)
            return *a.due < *b.due;
        return a.due.has_value() && !b.due.has_value();
    });
    return out;
}

Due DueOfSerial(const JournalStore& store, int32_t serial, WallTime now, int intervalMonths)
{
    Due d = DueOf(store.LastSuccess(serial, static_cast<int>(Operation::Span)), now, intervalMonths);
    d.serial = serial;
    return d;
}

std::string DueHint(const Due& due)
{
    switch (due.state) {
    case DueState::Unknown:
        return "Калибровка не записана в журнале";
    case DueState::Overdue:
        return "Калибровка просрочена с " + DateText(*due.due);
    case DueState::Soon:
        return "Калибровка до " + DateText(*due.due);
    case DueState::Fine:
        break;
    }
    return {};
}

} // namespace zor::journal
