#include "platform/core/Clock.h"

#include <QElapsedTimer>

#include <utility>

namespace plat {

namespace {

std::function<int64_t()>& currentOverride() {
    static std::function<int64_t()> source;
    return source;
}

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
    const auto& source = currentOverride();
    return source ? source() : systemMs();
}

ScopedClockOverride::ScopedClockOverride(std::function<int64_t()> source)
    : previous_(std::exchange(currentOverride(), std::move(source))) {}

ScopedClockOverride::~ScopedClockOverride() {
    currentOverride() = std::move(previous_);
}

} // namespace plat
