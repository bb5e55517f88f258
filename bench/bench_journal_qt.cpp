// The "Журнал" window opened on a journal of 100,000 records against one of
// 1,000: the newest-first list, the first record's values and the detectors
// due for calibration, until the window has painted.

#include "JournalSample.h"
#include "app/ServiceJournal.h"
#include "commands/TLoraSettings.h"
#include "device/DevicePanel.h"
#include "device/DeviceTable.h"
#include "runtime/VirtualLoop.h"
#include "ui/JournalWindow.h"
#include "ui/QtDialogs.h"

#include "QtBenchMain.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void BM_JournalWindowOpen(benchmark::State& state)
{
    const std::string path = zor::bench::MakeJournal(state.range(0));
    zor::journal::FixedClock clock({ 1'796'986'800, 60 });
    auto opened = zor::journal::JournalStore::Open(path, clock);
    zor::VirtualLoop loop;
    zor::DeviceTable devices;
    zor::DevicePanel panel;
    zor::TLoraSettings lora;
    zor::ServiceJournal journal(loop, { devices, panel, lora, [] { return uint16_t { 0 }; } });
    journal.Attach(opened.store.get(), &clock);
    zor::ui::QtDialogs dialogs;
    for (auto _ : state) {
        zor::ui::JournalWindow window(journal, dialogs, [] {});
        window.show();
        QApplication::processEvents();
        window.repaint();
        benchmark::DoNotOptimize(window.model()->rowCount());
    }
    state.counters["records"] = static_cast<double>(opened.store->Count());
    opened.store.reset();
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}
BENCHMARK(BM_JournalWindowOpen)->Arg(1000)->Arg(100000)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

ZOR_QT_BENCHMARK_MAIN()
