#include "journal/WallClock.h"

#include <cstdio>
#include <ctime>

namespace zor::journal {

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date CivilFromDays(int64_t z)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return { static_cast<int>(yoe + era * 400 + (m <= 2)), m, d };
}

bool Leap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysIn(int y, int m)
{
    static constexpr int days[] { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return m == 2 && Leap(y) ? 29 : days[m - 1];
}

} // namespace

WallTime SystemClock::now() const
{
    const std::time_t t = std::time(nullptr);
    std::tm local {};
    localtime_r(&t, &local);
    return { static_cast<int64_t>(t), static_cast<int>(local.tm_gmtoff / 60) };
}

Date LocalDate(WallTime t)
{
    const int64_t local = t.unixTime + int64_t { t.offsetMinutes } * 60;
    return CivilFromDays(local >= 0 ? local / 86400 : (local - 86399) / 86400);
}

std::string LocalText(WallTime t)
{
    const int64_t local = t.unixTime + int64_t { t.offsetMinutes } * 60;
    const Date d = LocalDate(t);
    const int64_t secs = ((local % 86400) + 86400) % 86400;
    const int off = t.offsetMinutes < 0 ? -t.offsetMinutes : t.offsetMinutes;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d %c%02d:%02d", d.year, d.month, d.day,
        static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60),
        t.offsetMinutes < 0 ? '-' : '+', off / 60, off % 60);
    return buf;
}

std::string DateText(Date d)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.day, d.month, d.year);
    return buf;
}

bool ParseDate(const std::string& text, Date& out)
{
    Date d;
    char tail = 0;
    const bool dotted = std::sscanf(text.c_str(), "%2d.%2d.%4d%c", &d.day, &d.month, &d.year, &tail) == 3;
    const bool iso = !dotted && std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &d.year, &d.month, &d.day, &tail) == 3;
    if (!(dotted || iso) || d.month < 1 || d.month > 12 || d.day < 1 || d.year < 1900
        || d.day > DaysIn(d.year, d.month))
        return false;
    out = d;
    return true;
}

Date AddMonths(Date d, int months)
{
    const int total = d.year * 12 + (d.month - 1) + months;
    Date r { total / 12, total % 12 + 1, d.day };
    if (r.day > DaysIn(r.year, r.month))
        r.day = DaysIn(r.year, r.month);
    return r;
}

int64_t DaysBetween(Date a, Date b)
{
    return DaysFromCivil(b.year, b.month, b.day) - DaysFromCivil(a.year, a.month, a.day);
}

} // namespace zor::journal
