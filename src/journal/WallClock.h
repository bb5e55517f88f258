#pragma once
// The calendar time records are stamped with: seconds since 1970 and the
// local offset from UTC at that moment. The program reads the system clock;
// tests set the time they need.

#include <cstdint>
#include <string>

namespace zor::journal {

struct WallTime {
    int64_t unixTime = 0;
    int offsetMinutes = 0; // local time minus UTC
};

class WallClock {
public:
    virtual ~WallClock() = default;
    virtual WallTime now() const = 0;
};

class SystemClock final : public WallClock {
public:
    WallTime now() const override;
};

class FixedClock final : public WallClock {
public:
    explicit FixedClock(WallTime t)
        : t_(t)
    {
    }
    WallTime now() const override { return t_; }
    void set(WallTime t) { t_ = t; }

private:
    WallTime t_;
};

// A calendar day.
struct Date {
    int year = 1970;
    int month = 1;
    int day = 1;
    auto operator<=>(const Date&) const = default;
};

// The local day of a moment.
Date LocalDate(WallTime t);
// "2026-12-11 13:05:00 +01:00".
std::string LocalText(WallTime t);
// "11.12.2026".
std::string DateText(Date d);
// "11.12.2026" or "2026-12-11" read back; false when it is neither.
bool ParseDate(const std::string& text, Date& out);
// The same day months later; the last day of a shorter month when it has
// no such day (31 August + 6 months is 28 or 29 February).
Date AddMonths(Date d, int months);
// Days from a to b.
int64_t DaysBetween(Date a, Date b);

} // namespace zor::journal
