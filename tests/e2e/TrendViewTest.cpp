// The trend chart offscreen: what it draws from the points of the detector
// read last, and what it saves.

#include "ScriptedDialogs.h"

#include "app/TrendRecorder.h"
#include "device/Device.h"
#include "device/Registers.h"
#include "ui/TrendView.h"

#include <QChart>
#include <QChartView>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace zor::ui {
namespace {

constexpr int64_t kStart = 1'765'440'000'000; // the wall clock at the first point

class TrendViewTest : public ::testing::Test {
protected:
    TrendViewTest()
    {
        device.Regs[RegGas] = 5; // ethane: one decimal, %НКПР
        device.Regs[RegLimit1] = 200;
        device.Regs[RegLimit2] = 400;
        view.setLocale(QLocale(QLocale::Russian, QLocale::Russia));
        view.resize(700, 400);
        view.show();
    }
    // A reading of register value v at the given second of the run.
    void Read(int second, uint16_t v, uint8_t address = 7)
    {
        device.Regs[RegConc] = v;
        trend.Reading(address, static_cast<uint32_t>(second * 1000), device);
    }
    // The view redraws once the points that came together are in.
    void Settle() { QCoreApplication::processEvents(); }

    TDevice device;
    TrendRecorder trend { [] { return kStart; } };
    test::ScriptedDialogs dialogs;
    TrendView view { trend, dialogs, nullptr };
};

TEST_F(TrendViewTest, DrawsTheReadingsWithBreaksAtGapsAndTheThresholdsAsLines)
{
    EXPECT_TRUE(view.lineSegments().isEmpty());
    Read(0, 10);
    Read(2, 12);
    Read(4, 15);
    trend.Missed(7, 6000);
    Read(8, 30);
    trend.Missed(7, 10000);
    Read(12, 250);
    Read(14, 260);
    Settle();

    const auto t = [](int second) { return static_cast<double>(kStart + second * 1000); };
    EXPECT_EQ(view.lineSegments(),
        (QList<QList<QPointF>> {
            { { t(0), 1.0 }, { t(2), double { 1.2f } }, { t(4), 1.5 } }, { { t(12), 25.0 }, { t(14), 26.0 } } }));
    EXPECT_EQ(view.singlePoints(), (QList<QPointF> { { t(8), 3.0 } }));
    // The thresholds across the shown period, which ends at the newest point
    // and, shorter than 10 minutes, starts at the first, but spans a minute
    // at least.
    EXPECT_EQ(view.threshold(0), (QList<QPointF> { { t(14) - 60000, 20.0 }, { t(14), 20.0 } }));
    EXPECT_EQ(view.threshold(1), (QList<QPointF> { { t(14) - 60000, 40.0 }, { t(14), 40.0 } }));
    for (int i = 0; i < 90; ++i)
        Read(20 + 2 * i, 10);
    Settle();
    EXPECT_EQ(view.threshold(0).first().x(), t(0)) << "longer than a minute: from the first point";
    EXPECT_EQ(view.chartView()->chart()->title(), "Прибор 7, концентрация, %НКПР");

    // Another detector read: its trend, not the first one's.
    Read(200, 50, 9);
    Settle();
    EXPECT_EQ(view.lineSegments(), QList<QList<QPointF>> {});
    EXPECT_EQ(view.singlePoints(), (QList<QPointF> { { t(200), 5.0 } }));
}

TEST_F(TrendViewTest, ADayOfPointsIsThinnedToThePixelsKeepingEveryPeakAndGap)
{
    for (int i = 0; i < 43200; ++i) {
        if (i == 30000)
            trend.Missed(7, static_cast<uint32_t>(2 * i * 1000));
        else
            Read(2 * i, static_cast<uint16_t>(i == 20000 ? 999 : 100 + i % 7));
    }
    view.setPeriodIndex(3); // 24 h
    Settle();
    const QList<QList<QPointF>> pieces = view.lineSegments();
    ASSERT_EQ(pieces.size(), 2) << "one break, at the gap";
    qsizetype drawn = 0;
    double highest = 0;
    for (const auto& piece : pieces)
        for (const QPointF& p : piece) {
            ++drawn;
            highest = std::max(highest, p.y());
        }
    EXPECT_LE(drawn, 2 * 1000 + 4) << "two points a pixel column at most";
    EXPECT_GT(drawn, 100);
    EXPECT_FLOAT_EQ(highest, 99.9) << "the peak is drawn";
    EXPECT_LT(pieces[0].last().x(), static_cast<double>(kStart + 60000000));
    EXPECT_GT(pieces[1].first().x(), static_cast<double>(kStart + 60000000));
}

TEST_F(TrendViewTest, SavesTheShownPeriodAsCsvAndTheChartAsPng)
{
    qputenv("TZ", "MSK-3");
    tzset();
    Read(0, 10);
    trend.Missed(7, 2000);
    Read(4, 125);
    Settle();
    QTemporaryDir dir;
    dialogs.savePath = dir.filePath("trend.csv").toStdString();
    view.saveCsv();
    EXPECT_EQ(dialogs.saveExt, "csv");
    QFile csv(dir.filePath("trend.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    // 2025-12-11 08:00:00 UTC.
    EXPECT_EQ(QString::fromUtf8(csv.readAll()),
        QString::fromUtf8("\xEF\xBB\xBF"
                          "Местное время;Время UTC;Концентрация, %НКПР;Примечание\r\n"
                          "2025-12-11 11:00:00;2025-12-11 08:00:00;1,0;\r\n"
                          "2025-12-11 11:00:02;2025-12-11 08:00:02;;нет ответа\r\n"
                          "2025-12-11 11:00:04;2025-12-11 08:00:04;12,5;\r\n"));

    dialogs.savePath = dir.filePath("trend.png").toStdString();
    view.savePng();
    EXPECT_EQ(dialogs.saveExt, "png");
    QFile png(dir.filePath("trend.png"));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_TRUE(png.readAll().startsWith("\x89PNG"));
    EXPECT_TRUE(dialogs.shown.empty());
    qunsetenv("TZ");
    tzset();
}

} // namespace
} // namespace zor::ui
