#include "platform/core/Clock.h"

#include <QElapsedTimer>

namespace plat {

namespace {

int64_t systemMs() {
    static const QElapsedTimer start = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    // Start above zero so that a tick of 0 never means "now".
    return start.elapsed() + 1000;
}

} // namespace

int64_t MonotonicMs() {
    const auto& source = ScopedClockOverride::Current();
    return source ? source() : systemMs();
}

} // namespace plat
