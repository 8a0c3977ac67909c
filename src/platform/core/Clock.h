#pragma once

#include "platform/core/ScopedOverride.h"

#include <QDateTime>

#include <cstdint>
#include <functional>

namespace plat {

// Milliseconds on a monotonic clock with an arbitrary origin.
int64_t MonotonicMs();

// The system tick: MonotonicMs() truncated to 32 bits, so it wraps like the
// classic millisecond tick count. Compare two ticks by their unsigned difference.
inline uint32_t TickCount() {
    return static_cast<uint32_t>(MonotonicMs());
}

// Replaces the clock for the lifetime of the object (tests). Overrides nest;
// the innermost wins.
struct ClockSourceTag;
using ScopedClockOverride = ScopedOverride<std::function<int64_t()>, ClockSourceTag>;

// A clock that moves only when told to (tests).
class ManualClock {
public:
    explicit ManualClock(int64_t start = 0) : now_(start), override_([this] { return now_; }) {}
    int64_t Now() const { return now_; }
    void Set(int64_t ms) { now_ = ms; }
    void Advance(int64_t ms) { now_ += ms; }

private:
    int64_t now_;
    ScopedClockOverride override_;
};

// The local date and time, read from a wall clock and a time zone.
//
// The zone's offset from UTC is asked for once per second of UTC time and
// kept for the rest of that second: zones change their offset only at whole
// seconds, so a daylight saving change shows at its first millisecond, and a
// change of the machine's zone from the next second on. Asking the system's
// zone reads its settings (a file) every time, which a message flood would
// otherwise pay for at every line.
class LocalClock {
public:
    // Milliseconds since 1970-01-01 00:00 UTC.
    using WallClock = std::function<int64_t()>;
    // The zone's offset from UTC in seconds (east positive) at a UTC time in
    // seconds since 1970.
    using ZoneOffset = std::function<int(int64_t utcSeconds)>;

    // The system's clock and time zone.
    LocalClock();
    LocalClock(WallClock wall, ZoneOffset zone);

    // Now, as a date and time with the offset of the local zone.
    QDateTime Now();

private:
    WallClock wall_;
    ZoneOffset zone_;
    int64_t second_ = INT64_MIN; // the UTC second offset_ was asked for
    int offset_ = 0;
};

// The system's offset at a UTC time, read afresh from the zone's settings.
int SystemZoneOffset(int64_t utcSeconds);

// The local clock of the calling thread over the system's clock and zone.
LocalClock& SystemLocalClock();

} // namespace plat
