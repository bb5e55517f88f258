// Measures the tool's memory with a long exchange log: the real windows,
// the log filled with LINES lines of answers as automatic reading adds them
// (default 1,000,000: about 26 hours of reading a detector), the pane
// painted at its newest line. Prints the resident set now and at its peak.
// Run by scripts/measure-log-memory.sh; exits 1 when either is over LIMIT
// megabytes (default 100).

#include "MeasureCpu.h"

#include "app/TFormMain.h"
#include "ui/DesktopApp.h"
#include "ui/DevicePanelView.h"
#include "ui/LogPane.h"
#include "ui/MainWindow.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

namespace {

// A field of /proc/self/status in megabytes.
double StatusMb(const std::string& field)
{
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(field + ":", 0) == 0)
            return std::atof(line.c_str() + field.size() + 1) / 1024.0;
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
    const double limit = argc > 2 ? std::atof(argv[2]) : 100;
    QApplication app(argc, argv);
    zor::ui::DesktopApp tool(',');
    tool.Show();
    zor::bench::RunUntil([] { return false; }, 200);
    zor::TFormMain& form = tool.Form();
    // A cycle as automatic reading logs it: the gas answer's line, then the
    // panel block's nineteen lines and the empty line after each answer; 21
    // lines. Concentration, temperature and current move from cycle to cycle
    // as a live detector's do, which is what makes a log hard to pack.
    std::mt19937 noise(1);
    while (static_cast<long>(form.Log.Lines().LineCount()) < lines) {
        form.Log.Add("Прибор:12  Функция:0x04  Регистр:0x0105 = 0x0017\r\n");
        std::string block;
        for (int reg = 0; reg < 19; ++reg) {
            const bool live = reg == 3 || reg == 5 || reg == 8;
            char line[96];
            std::snprintf(line, sizeof line, "Прибор:12  Функция:0x03  Регистр:0x%04X = 0x%04X\r\n", reg,
                live ? static_cast<unsigned>(noise() & 0x3FF) : 0x1234u + static_cast<unsigned>(reg));
            block += line;
        }
        form.Log.Add(block);
        // The program's loop runs between two answers.
        QApplication::processEvents();
    }
    zor::bench::RunUntil([] { return false; }, 200);
    const zor::ui::LogPane* pane = tool.Main().panel()->log();
    const double rss = StatusMb("VmRSS");
    const double peak = StatusMb("VmHWM");
    std::printf("%d log lines (%.1f MB of text), pane at line %d: resident %.1f MB, peak %.1f MB (limit %.0f MB)\n",
        pane->lineCount(), static_cast<double>(form.Log.Size()) / 1e6, pane->firstVisibleLine(), rss, peak, limit);
    return rss <= limit && peak <= limit ? 0 : 1;
}
