// Appending to the exchange log must cost the same however long the log has
// grown: a technician may read a detector all day (about 300,000 lines in 8
// hours). Compare the per-append time at 1,000 and 1,000,000 lines, and
// time saving a log of 1,000,000 lines.

#include "app/ExchangeLog.h"
#include "app/LogFile.h"

#include "LogSample.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

void BM_LogAppend(benchmark::State& state)
{
    zor::ExchangeLog log;
    size_t appended = 0;
    log.SetObserver([&](size_t lines) { appended = lines; });
    const int64_t lines = state.range(0);
    for (int64_t n = 0; n < lines; n += 20)
        log.Add(kPanelAnswerLines);
    for (auto _ : state) {
        log.Add(kPanelAnswerLines);
        benchmark::DoNotOptimize(log.Size());
    }
    state.counters["lines"] = static_cast<double>(lines);
    benchmark::DoNotOptimize(appended);
}
// A fixed number of appends, so that each run measures around its own size.
BENCHMARK(BM_LogAppend)->Arg(1000)->Arg(1000000)->Iterations(5000);

void BM_LogSave(benchmark::State& state)
{
    zor::ExchangeLog log;
    const int64_t lines = state.range(0);
    for (int64_t n = 0; n < lines; n += 20)
        log.Add(kPanelAnswerLines);
    const std::string path
        = (std::filesystem::temp_directory_path() / ("zor-bench-" + std::to_string(::getpid()) + ".log")).string();
    for (auto _ : state)
        if (!zor::SaveLogFile(path, log.Lines()).empty())
            state.SkipWithError("the log was not saved");
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}
BENCHMARK(BM_LogSave)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
