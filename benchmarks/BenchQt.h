#pragma once
// What the benchmarks that run widgets and the event loop share.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <functional>

// Widgets draw offscreen unless QT_QPA_PLATFORM names a platform; call it
// before the application is made.
inline void PreferOffscreen() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

// The processor time of this process so far, all its threads, in nanoseconds.
inline int64_t ProcessCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Runs the event loop, deferred deletes included, for ms milliseconds.
inline void RunEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until done() holds or limitMs passed; whether done()
// holds.
inline bool WaitUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs) {
        RunEventLoopFor(1);
    }
    return done();
}
