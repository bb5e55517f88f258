#include "journal/CalibrationDue.h"
#include "journal/WallClock.h"

#include <gtest/gtest.h>

namespace zor::journal {
namespace {

TEST(CalendarTest, MonthsLaterKeepTheDayOrTakeTheLastOfTheMonth)
{
    struct Case {
        Date from;
        int months;
        Date to;
    };
    const Case cases[] {
        { { 2026, 1, 15 }, 6, { 2026, 7, 15 } },
        { { 2026, 8, 31 }, 6, { 2027, 2, 28 } },
        { { 2027, 8, 31 }, 6, { 2028, 2, 29 } },
        { { 2026, 10, 31 }, 1, { 2026, 11, 30 } },
        { { 2026, 12, 1 }, 12, { 2027, 12, 1 } },
        { { 2026, 11, 30 }, 3, { 2027, 2, 28 } },
    };
    for (const Case& c : cases) {
        const Date got = AddMonths(c.from, c.months);
        EXPECT_EQ(got, c.to) << DateText(c.from) << " + " << c.months << " = " << DateText(got);
    }
}

TEST(CalendarTest, LocalTextCarriesTheOffsetAndTheLocalDay)
{
    struct Case {
        WallTime t;
        std::string text;
        std::string day;
    };
    // 2026-12-11 23:30:00 UTC.
    const int64_t t = 1'797'031'800;
    const Case cases[] {
        { { t, 0 }, "2026-12-11 23:30:00 +00:00", "11.12.2026" },
        { { t, 60 }, "2026-12-12 00:30:00 +01:00", "12.12.2026" },
        { { t, -330 }, "2026-12-11 18:00:00 -05:30", "11.12.2026" },
        { { t, 180 }, "2026-12-12 02:30:00 +03:00", "12.12.2026" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LocalText(c.t), c.text);
        EXPECT_EQ(DateText(LocalDate(c.t)), c.day);
    }
}

TEST(CalendarTest, DatesAreReadInTwoSpellingsAndImpossibleOnesRefused)
{
    struct Case {
        std::string text;
        bool ok;
        Date date;
    };
    const Case cases[] {
        { "11.12.2026", true, { 2026, 12, 11 } },
        { "2027-02-28", true, { 2027, 2, 28 } },
        { "29.02.2028", true, { 2028, 2, 29 } },
        { "29.02.2027", false, {} },
        { "31.04.2026", false, {} },
        { "1.13.2026", false, {} },
        { "", false, {} },
        { "завтра", false, {} },
        { "11.12.2026x", false, {} },
    };
    for (const Case& c : cases) {
        Date d;
        EXPECT_EQ(ParseDate(c.text, d), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(d, c.date) << c.text;
        }
    }
}

TEST(CalendarTest, DueStateFromTheLastSpan)
{
    // Now: 2026-12-11 12:00 local (+01:00).
    const WallTime now { 1'796'986'800, 60 };
    const Date today = LocalDate(now);
    ASSERT_EQ(today, (Date { 2026, 12, 11 }));
    const auto at = [&](int64_t daysAgo) { return now.unixTime - daysAgo * 86400; };
    struct Case {
        std::optional<int64_t> last;
        int months;
        DueState state;
    };
    const Case cases[] {
        { std::nullopt, 6, DueState::Unknown },
        { at(10), 6, DueState::Fine },
        { at(183 - 31), 6, DueState::Fine }, // due in about a month and a day
        { at(183 - 20), 6, DueState::Soon },
        { at(183), 6, DueState::Soon }, // 11.06 + 6 months: due today
        { at(184), 6, DueState::Overdue },
        { at(184), 12, DueState::Fine },
        { at(400), 12, DueState::Overdue },
    };
    for (const Case& c : cases)
        EXPECT_EQ(DueOf(c.last, now, c.months).state, c.state)
            << (c.last ? DateText(LocalDate({ *c.last, 60 })) : "-") << " + " << c.months;
}

} // namespace
} // namespace zor::journal
