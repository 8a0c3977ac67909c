#include "platform/core/Clock.h"

#include <QElapsedTimer>

#include <ctime>

namespace plat {

namespace {

int64_t SystemMs() {
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
    return source ? source() : SystemMs();
}

LocalClock::LocalClock()
    : LocalClock([] { return QDateTime::currentMSecsSinceEpoch(); }, SystemZoneOffset) {}

LocalClock::LocalClock(WallClock wall, ZoneOffset zone)
    : wall_(std::move(wall)), zone_(std::move(zone)) {}

QDateTime LocalClock::Now() {
    const int64_t ms = wall_();
    const int64_t second = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    if (second != second_) {
        offset_ = zone_(second);
        second_ = second;
    }
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, offset_);
}

int SystemZoneOffset(int64_t utcSeconds) {
    // tzset reads the zone's settings again, so a changed zone is seen;
    // localtime_r alone would keep the one read before.
    tzset();
    const auto t = static_cast<time_t>(utcSeconds);
    tm local{};
    if (localtime_r(&t, &local) == nullptr) {
        return 0;
    }
    return static_cast<int>(local.tm_gmtoff);
}

LocalClock& SystemLocalClock() {
    thread_local LocalClock clock;
    return clock;
}

} // namespace plat
