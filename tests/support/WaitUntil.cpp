#include "WaitUntil.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

bool WaitUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        if (elapsed.elapsed() > limitMs) {
            return false;
        }
        // A short nested loop: it also runs deferred deletes, which a plain
        // processEvents() would leave waiting.
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}
