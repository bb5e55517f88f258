// The log pane must take an answer's lines as fast at 1,000,000 lines as at
// 1,000: it only ever appends the new text.

#include "app/ExchangeLog.h"
#include "ui/LogView.h"

#include <QApplication>
#include <QPlainTextEdit>

#include "LogSample.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

void BM_LogPaneAppend(benchmark::State& state)
{
    zor::ExchangeLog log;
    QPlainTextEdit pane;
    zor::ui::BindLog(log, &pane);
    const int64_t lines = state.range(0);
    for (int64_t n = 0; n < lines; n += 20)
        log.Add(kPanelAnswerLines);
    for (auto _ : state)
        log.Add(kPanelAnswerLines);
    state.counters["lines"] = static_cast<double>(lines);
}
// A fixed number of appends, so that each run measures around its own size.
BENCHMARK(BM_LogPaneAppend)->Arg(1000)->Arg(1000000)->Iterations(2000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
