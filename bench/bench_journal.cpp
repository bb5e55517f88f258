// Appending a record must cost about the same whatever the journal holds:
// one record appended to an empty journal and to one of 100,000 records
// (each append is its own synchronous transaction, as in the program).

#include "JournalSample.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void BM_JournalAppend(benchmark::State& state)
{
    const std::string path = zor::bench::MakeJournal(state.range(0));
    zor::journal::FixedClock clock({ 1'765'450'000, 60 });
    auto opened = zor::journal::JournalStore::Open(path, clock);
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(opened.store->Append(zor::bench::SampleRecord(++n)));
    state.counters["records"] = static_cast<double>(opened.store->Count());
    opened.store.reset();
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}
BENCHMARK(BM_JournalAppend)->Arg(0)->Arg(100000)->Iterations(300)->Unit(benchmark::kMicrosecond);

} // namespace
