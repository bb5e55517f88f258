#pragma once
// What the measuring programs share: the process's processor time, and
// running the Qt event loop for a span of wall time as the program's own
// loop does (sleeping between events).

#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

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

} // namespace zor::bench
