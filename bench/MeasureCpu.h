#pragma once
// What the measuring programs share: the process's processor time, and
// running the Qt event loop for a span of wall time as the program's own
// loop does (sleeping between events).

#include "app/TFormMain.h"

#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <functional>

namespace zor::bench {

inline double CpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop until done() holds (looked at every 50 ms) or ms have
// passed; returns done().
inline bool RunUntil(const std::function<bool()>& done, int ms)
{
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    look.start(50);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// Finds the detector at address 1 with a search, selects it and starts
// reading it automatically; false when none answers.
inline bool ReadFirstDetector(TFormMain& form)
{
    form.ActFindExecute();
    if (!RunUntil([&] { return form.DevList().at(1) != nullptr; }, 10000)) {
        std::fprintf(stderr, "no detector found at address 1\n");
        return false;
    }
    form.ActStopExecute();
    form.DevTreeMouseDown(MouseButton::Left, form.DevTree.roots().front()->children().front().get());
    form.ActRenewExecute();
    RunUntil([] { return false; }, 5000); // let the first cycles settle
    return true;
}

} // namespace zor::bench
