// The trend: a bounded ring of points per detector, fed by automatic
// reading, with a gap for every cycle that went unanswered and for every
// pause in reading.

#include "AppFixture.h"

#include "app/TrendBuffer.h"
#include "device/Device.h"
#include "device/Registers.h"
#include "sim/SimDetector.h"

#include <cmath>

namespace zor::test {
namespace {

TEST(TrendBuffer, KeepsTheNewestPointsUpToItsCapacityInTimeOrder)
{
    TrendBuffer day;
    EXPECT_EQ(day.Capacity(), 43200u);
    const int64_t t0 = 1'765'440'000'000; // some time in 2025, UTC
    for (int i = 0; i < 50000; ++i)
        day.Add(t0 + 2000 * int64_t { i }, static_cast<float>(i % 1000));
    ASSERT_EQ(day.Size(), 43200u);
    EXPECT_EQ(day.At(0).timeMs, t0 + 2000 * int64_t { 50000 - 43200 });
    EXPECT_EQ(day.At(0).value, static_cast<float>((50000 - 43200) % 1000));
    EXPECT_EQ(day.At(43199).timeMs, t0 + 2000 * int64_t { 49999 });
    for (size_t i = 1; i < day.Size(); ++i)
        ASSERT_EQ(day.At(i).timeMs - day.At(i - 1).timeMs, 2000) << i;

    const int64_t first = day.At(0).timeMs;
    const struct {
        int64_t from, to;
        size_t begin, end;
    } spans[] = {
        { 0, INT64_MAX, 0, 43200 },
        { first, first, 0, 1 },
        { first + 1, first + 3999, 1, 2 },
        { first + 2000 * 43199, INT64_MAX, 43199, 43200 },
        { first + 2000 * 43200, INT64_MAX, 43200, 43200 },
        { 0, first - 1, 0, 0 },
    };
    for (const auto& s : spans)
        EXPECT_EQ(day.Span(s.from, s.to), std::make_pair(s.begin, s.end)) << s.from - first << " " << s.to - first;
}

TEST(TrendBuffer, AGapIsAPointWithoutValue)
{
    TrendBuffer b(3);
    b.Add(1000, 1.5f);
    b.Add(3000, std::nanf(""));
    b.Add(5000, 2.5f);
    b.Add(7000, 3.5f);
    ASSERT_EQ(b.Size(), 3u);
    EXPECT_TRUE(b.At(0).gap());
    EXPECT_FALSE(b.At(1).gap());
    EXPECT_EQ(b.At(2).value, 3.5f);
}

class TrendTest : public AppFixture {
protected:
    void SetUp() override
    {
        bus.add(SimModel::Zor10, 1).serial(6100001).gas(1).version(204).limits(200, 400);
        bus.add(SimModel::Zor10, 2).serial(6100000).gas(23).version(204);
        MakeForm();
        SearchUpTo(2);
        Select(1);
    }
    const TrendBuffer& Points(uint8_t address) const
    {
        const TrendOf* t = form->Trend.Of(address);
        EXPECT_NE(t, nullptr);
        static const TrendBuffer none;
        return t ? t->points : none;
    }
    // The concentration of device 1 as the window holds it, in its gas's unit.
    float Held() const
    {
        const TDevice& d = *form->DevList()[1];
        return static_cast<float>(d.Regs[RegConc]) / std::pow(10.0f, static_cast<float>(Gases[GasCode(d)].Decimals));
    }
};

TEST_F(TrendTest, EachCycleOfAutomaticReadingAddsItsConcentration)
{
    ReadPanel(); // a double click's read is no part of the trend
    EXPECT_EQ(form->Trend.Of(1), nullptr);

    form->ActRenewExecute();
    std::vector<float> held;
    for (int cycle = 0; cycle < 5; ++cycle) {
        loop.advance(2000);
        held.push_back(Held());
    }
    const TrendBuffer& points = Points(1);
    ASSERT_EQ(points.Size(), 5u);
    for (size_t i = 0; i < points.Size(); ++i)
        EXPECT_EQ(points.At(i).value, held[i]) << i;
    for (size_t i = 1; i < points.Size(); ++i)
        EXPECT_EQ(points.At(i).timeMs - points.At(i - 1).timeMs, 2000) << i;
    const TrendOf& trend = *form->Trend.Of(1);
    const float scale = std::pow(10.0f, static_cast<float>(Gases[1].Decimals));
    EXPECT_EQ(trend.limit1, 200 / scale);
    EXPECT_EQ(trend.limit2, 400 / scale);
    EXPECT_EQ(trend.unit, UnitText(Gases[1].Unit1));
    EXPECT_EQ(form->Trend.Current(), 1);
}

TEST_F(TrendTest, EveryUnansweredCycleIsAGapAndReadingGoesOnAfterIt)
{
    form->ActRenewExecute();
    loop.advance(1900); // the cycle of 0 is answered
    bus.detector(1).silent();
    loop.advance(3 * 2000); // the cycles of 2000, 4000 and 6000 go unanswered
    bus.detector(1).silent(false);
    loop.advance(2 * 2000); // those of 8000 and 10000 are answered

    std::vector<bool> gaps;
    for (size_t i = 0; i < Points(1).Size(); ++i)
        gaps.push_back(Points(1).At(i).gap());
    // A cycle is missed at the tick after it: 2000 at 4000, 4000 at 6000,
    // 6000 at 8000.
    EXPECT_EQ(gaps, (std::vector<bool> { false, true, true, true, false, false }));
}

TEST_F(TrendTest, APauseInReadingIsAGapAndAnotherDetectorHasItsOwnTrend)
{
    form->ActRenewExecute();
    loop.advance(2 * 2000);
    form->ActReadStopExecute();
    loop.advance(30000);
    Select(2);
    form->ActRenewExecute();
    loop.advance(2000);
    form->ActReadStopExecute();
    Select(1);
    form->ActRenewExecute();
    loop.advance(2000);

    EXPECT_EQ(Points(2).Size(), 1u);
    const TrendBuffer& one = Points(1);
    ASSERT_EQ(one.Size(), 4u);
    EXPECT_FALSE(one.At(1).gap());
    EXPECT_TRUE(one.At(2).gap()) << "no line across the time device 1 was not read";
    EXPECT_FALSE(one.At(3).gap());
    EXPECT_GT(one.At(3).timeMs - one.At(1).timeMs, 30000);
    EXPECT_EQ(form->Trend.Current(), 1);
}

// The points of a trend are of one unit and scale: a detector that now
// measures another gas (other decimals, other unit) starts a new trend.
TEST_F(TrendTest, AnotherGasStartsTheTrendAnew)
{
    form->ActRenewExecute();
    loop.advance(3 * 2000);
    ASSERT_EQ(Points(1).Size(), 3u);
    EXPECT_EQ(form->Trend.Of(1)->unit, UnitText(Gases[1].Unit1));

    bus.detector(1).gas(5); // ethane: %НКПР, one decimal
    loop.advance(2000);
    const TrendOf& trend = *form->Trend.Of(1);
    EXPECT_EQ(trend.unit, "%НКПР");
    EXPECT_EQ(trend.decimals, 1);
    ASSERT_EQ(trend.points.Size(), 1u);
    EXPECT_EQ(trend.points.At(0).value, Held());
}

} // namespace
} // namespace zor::test
