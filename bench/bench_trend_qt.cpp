// The trend must stay smooth with a full day of points: appending one
// point and redrawing the chart over 24 hours (43,200 points, thinned to the
// pixel columns) against the same with 1,000 points.

#include "app/TrendRecorder.h"
#include "device/Device.h"
#include "device/Registers.h"
#include "ui/QtDialogs.h"
#include "ui/TrendView.h"

#include "QtBenchMain.h"

#include <QApplication>
#include <QChartView>

#include <benchmark/benchmark.h>

namespace {

void BM_TrendAppendAndRedraw(benchmark::State& state)
{
    zor::TrendRecorder trend([] { return int64_t { 1'765'440'000'000 }; });
    zor::ui::QtDialogs dialogs;
    zor::ui::TrendView view(trend, dialogs, nullptr);
    view.resize(700, 450);
    view.setPeriodIndex(3); // 24 h
    view.show();
    QApplication::processEvents();
    zor::TDevice device;
    device.Regs[zor::RegLimit1] = 200;
    device.Regs[zor::RegLimit2] = 400;
    uint32_t tick = 0;
    auto next = [&] {
        device.Regs[zor::RegConc] = static_cast<uint16_t>(100 + tick / 2000 % 50);
        trend.Reading(5, tick, device);
        tick += 2000;
    };
    for (int64_t n = 0; n < state.range(0); ++n)
        next();
    QApplication::processEvents();
    // A point, the chart redrawn from the trend, the scene brought up to date
    // by the loop and painted.
    for (auto _ : state) {
        next();
        view.refresh();
        QApplication::processEvents();
        view.chartView()->viewport()->repaint();
    }
    state.counters["points"] = static_cast<double>(trend.Of(5)->points.Size());
}
BENCHMARK(BM_TrendAppendAndRedraw)->Arg(1000)->Arg(43200)->Iterations(200)->Unit(benchmark::kMillisecond);

} // namespace

ZOR_QT_BENCHMARK_MAIN()
