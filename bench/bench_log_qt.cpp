// The log pane must take an answer's lines as fast at 1,000,000 lines as at
// 1,000, and redraw as fast: it paints only the lines on screen.

#include "app/ExchangeLog.h"
#include "ui/LogPane.h"

#include "QtBenchMain.h"

#include <QApplication>
#include <QEvent>

#include "LogSample.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

// Counts the paints of the widget it watches.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(int& count)
        : count_(count)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count_;
        return false;
    }

private:
    int& count_;
};

void BM_LogPaneAppend(benchmark::State& state)
{
    zor::ExchangeLog log;
    zor::ui::LogPane pane(log, nullptr);
    const int64_t lines = state.range(0);
    for (int64_t n = 0; n < lines; n += 20)
        log.Add(kPanelAnswerLines);
    for (auto _ : state)
        log.Add(kPanelAnswerLines);
    state.counters["lines"] = static_cast<double>(lines);
}
// A fixed number of appends, so that each run measures around its own size.
BENCHMARK(BM_LogPaneAppend)->Arg(1000)->Arg(1000000)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// An answer's lines, then a pass of the loop, which repaints the pane on
// screen at its newest line, as in the program.
void BM_LogPaneAppendAndPaint(benchmark::State& state)
{
    zor::ExchangeLog log;
    zor::ui::LogPane pane(log, nullptr);
    pane.resize(484, 200);
    pane.show();
    QApplication::processEvents();
    const int64_t lines = state.range(0);
    for (int64_t n = 0; n < lines; n += 20) {
        log.Add(kPanelAnswerLines);
        QApplication::processEvents();
    }
    int painted = 0;
    PaintCounter counter(painted);
    pane.viewport()->installEventFilter(&counter);
    for (auto _ : state) {
        log.Add(kPanelAnswerLines);
        QApplication::processEvents();
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["painted"] = painted;
}
BENCHMARK(BM_LogPaneAppendAndPaint)->Arg(1000)->Arg(1000000)->Iterations(2000)->Unit(benchmark::kMicrosecond);

} // namespace

ZOR_QT_BENCHMARK_MAIN()
