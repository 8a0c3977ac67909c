#pragma once
// For the fuzz targets that talk over sockets within their own process: runs
// the event loop until a condition holds. A run that does not get there
// within the time limit stops as a hang would.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

inline constexpr int kFuzzWaitLimitMs = 10000;

template <typename Condition>
void WaitFor(Condition done) {
    QElapsedTimer clock;
    clock.start();
    QTimer tick; // wakes the loop up to look at the clock
    tick.start(20);
    while (!done()) {
        if (clock.elapsed() >= kFuzzWaitLimitMs) {
            std::fprintf(stderr, "waited %d ms in vain\n", kFuzzWaitLimitMs);
            std::abort();
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
