// Measures the processor time the tool takes after its port hung up, next
// to the same span on a healthy port: the real windows read a demo detector
// automatically over a pseudo-terminal behind a link (as "--port PATH"),
// for SECONDS of wall time; then the far end of the pseudo-terminal closes,
// as when an adapter is pulled out, and the tool is measured again for
// SECONDS while it waits for the port to come back. Run by
// scripts/measure-hangup-cpu.sh; exits 1 when the tool takes 1% of one core
// or more after the hang-up, or does not notice it.

#include "MeasureCpu.h"

#include "app/TFormMain.h"
#include "sim/PtyTransport.h"
#include "sim/SimBus.h"
#include "sim/SimBusFile.h"
#include "ui/DesktopApp.h"
#include "ui/QtEventLoop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

using zor::bench::CpuSeconds;
using zor::bench::RunUntil;

namespace {

struct Span {
    double seconds;
    double cpu;
    int32_t tx;
    int32_t rx;
    double share() const { return cpu / seconds * 100.0; }
};

Span Measure(const zor::TFormMain& form, int seconds)
{
    const int32_t tx0 = form.TxCount();
    const int32_t rx0 = form.RxCount();
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    RunUntil([] { return false; }, seconds * 1000);
    return { static_cast<double>(wall.elapsed()) / 1000.0, CpuSeconds() - cpu0, form.TxCount() - tx0,
        form.RxCount() - rx0 };
}

void Report(const char* what, const Span& s)
{
    std::printf("%-28s %5.1f s wall, %.3f s CPU, %5.2f%% of one core, %d requests, %d answers\n", what, s.seconds,
        s.cpu, s.share(), s.tx, s.rx);
}

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const std::string link = dir.filePath("port").toStdString();

    zor::ui::QtEventLoop busLoop;
    zor::SimBus bus(busLoop);
    zor::loadBusText(bus, zor::demoBusText(), "demo");
    auto line = std::make_unique<zor::PtyTransport>(bus);
    std::string error;
    if (!line->open(error)) {
        std::fprintf(stderr, "pseudo-terminal: %s\n", error.c_str());
        return 2;
    }
    std::filesystem::create_symlink(line->slavePath(), link);
    auto notifier = std::make_unique<QSocketNotifier>(line->fd(), QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [&] { line->onReadable(); });

    zor::ui::DesktopApp tool(',');
    tool.UsePort(link, "Измерение");
    tool.Show();
    zor::TFormMain& form = tool.Form();
    if (!zor::bench::ReadFirstDetector(form))
        return 2;
    const Span healthy = Measure(form, seconds);

    // The adapter pulled out: the far end closes, the link is left dangling.
    notifier.reset();
    line.reset();
    const bool noticed = RunUntil([&] { return !form.VSModbus.Connected(); }, 3000);
    const Span lost = Measure(form, seconds);

    Report("healthy port, reading:", healthy);
    Report("after the hang-up:", lost);
    std::printf(
        "link closed: %s; status: %s\n", form.VSModbus.Connected() ? "no" : "yes", form.StatBar.text(3).c_str());
    return noticed && lost.share() < 1.0 && lost.tx == 0 ? 0 : 1;
}
