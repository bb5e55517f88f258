// Measures the processor time the tool takes while it reads a detector
// automatically: the real windows on the in-process demonstration bus (or on
// the port named after the number of seconds, such as a network bus that
// zor-sim serves), a search stopped once the first detector is found,
// "Читать", and then the process's CPU time over a span of wall-clock time.
// Run by scripts/measure-idle-cpu.sh; exits 1 when the tool takes 1% of one
// core or more.

#include "MeasureCpu.h"

#include "app/TFormMain.h"
#include "ui/DesktopApp.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

using zor::bench::CpuSeconds;
using zor::bench::RunUntil;

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    QApplication app(argc, argv);
    zor::ui::DesktopApp tool(',');
    std::string error;
    if (argc > 2) {
        tool.UsePort(argv[2], "");
    } else if (!tool.StartDemo(error)) {
        std::fprintf(stderr, "demo bus: %s\n", error.c_str());
        return 2;
    }
    tool.Show();
    zor::TFormMain& form = tool.Form();
    if (!zor::bench::ReadFirstDetector(form))
        return 2;

    const int32_t rx0 = form.RxCount();
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    RunUntil([] { return false; }, seconds * 1000);
    const double cpu = CpuSeconds() - cpu0;
    const double share = cpu / (static_cast<double>(wall.elapsed()) / 1000.0) * 100.0;
    std::printf("reading %s automatically for %.1f s: %.3f s of CPU, %.2f%% of one core; %d answers\n",
        form.VSModbus.PortName().c_str(), static_cast<double>(wall.elapsed()) / 1000.0, cpu, share,
        form.RxCount() - rx0);
    return share < 1.0 ? 0 : 1;
}
