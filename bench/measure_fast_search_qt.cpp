// Measures a fast search of addresses 1..247 at 19200 baud on a
// pseudo-terminal served by the zor-sim program (four detectors): its wall
// time next to the standard search's 272.8 s, the processor time it takes,
// and the processor time in the span after it, when the link polls at its
// own 500 ms again. Run by scripts/measure-fast-search.sh; exits 1 when the
// search takes more than 15 s or does not find each detector once.

#include "MeasureCpu.h"

#include "app/TFormMain.h"
#include "ui/DesktopApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>
#include <cstdlib>
#include <string>

using zor::bench::CpuSeconds;
using zor::bench::RunUntil;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s ZOR-SIM [SECONDS-AFTER]\n", argv[0]);
        return 2;
    }
    const int after = argc > 2 ? std::atoi(argv[2]) : 10;
    QApplication app(argc, argv);

    const int addresses[] = { 3, 60, 150, 247 };
    QStringList simArgs;
    for (int a : addresses)
        simArgs << "--device" << QString("ZOR-10 address=%1 serial=%2").arg(a).arg(6000000 + a);
    QProcess sim;
    sim.start(QString::fromLocal8Bit(argv[1]), simArgs);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "zor-sim did not start\n");
        return 2;
    }
    const std::string pty = sim.readLine().trimmed().toStdString();

    zor::ui::DesktopApp tool(',');
    tool.UsePort(pty, "Измерение");
    tool.Show();
    zor::TFormMain& form = tool.Form();
    form.SetFindPlan({ 1, 247, zor::kFastProbeMs, {} });

    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    form.ActFindExecute();
    const bool ended = RunUntil([&] { return !form.Finding(); }, 60000);
    const double searchSeconds = static_cast<double>(wall.elapsed()) / 1000.0;
    const double searchCpu = CpuSeconds() - cpu0;
    const uint16_t pollingAfter = form.VSModbus.PollingDelay();

    const double cpu1 = CpuSeconds();
    wall.restart();
    RunUntil([] { return false; }, after * 1000);
    const double idleSeconds = static_cast<double>(wall.elapsed()) / 1000.0;
    const double idleCpu = CpuSeconds() - cpu1;

    int found = 0;
    for (int a : addresses)
        if (const zor::TDevice* d = form.DevList().at(a); d && d->Serial == 6000000 + a)
            ++found;
    form.FormClose();
    sim.terminate();
    sim.waitForFinished(5000);

    std::printf("fast search 1..247 at 19200, %u ms a probe: %.1f s wall (standard search: 272.8 s)\n",
        zor::kFastProbeMs, searchSeconds);
    std::printf("  %d of 4 detectors found, %d answers, %d requests\n", found, form.RxCount(), form.TxCount());
    std::printf(
        "  processor during the search: %.3f s, %.1f%% of one core\n", searchCpu, searchCpu / searchSeconds * 100.0);
    std::printf("  after it (polling every %u ms): %.3f s in %.1f s, %.2f%% of one core\n", pollingAfter, idleCpu,
        idleSeconds, idleCpu / idleSeconds * 100.0);
    return ended && searchSeconds <= 15.0 && found == 4 && form.RxCount() == 4 ? 0 : 1;
}
