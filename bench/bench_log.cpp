// Appending to the exchange log must cost the same however long the log has
// grown: a technician may read a detector all day (about 300,000 lines in 8
// hours). Compare the per-append time at 1,000 and 1,000,000 lines.

#include "app/ExchangeLog.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const std::string kAnswer = [] {
    // The nineteen register lines of one panel-block answer.
    std::string s;
    for (int r = 0; r < 19; ++r)
        s += "Прибор:12  Функция:0x03  Регистр:0x00" + std::string(r < 16 ? "0" : "1")
            + "0123456789ABCDEF"[r % 16] + " = 0x1234\r\n";
    return s;
}();

void BM_LogAppend(benchmark::State& state)
{
    zor::ExchangeLog log;
    size_t appended = 0;
    log.SetObserver([&](const std::string& piece) { appended += piece.size(); });
    const int64_t lines = state.range(0);
    for (int64_t n = 0; n < lines; n += 20)
        log.Add(kAnswer);
    for (auto _ : state) {
        log.Add(kAnswer);
        benchmark::DoNotOptimize(log.Size());
    }
    state.counters["lines"] = static_cast<double>(lines);
    benchmark::DoNotOptimize(appended);
}
// A fixed number of appends, so that each run measures around its own size.
BENCHMARK(BM_LogAppend)->Arg(1000)->Arg(1000000)->Iterations(5000);

} // namespace
