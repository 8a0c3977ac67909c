#pragma once

#include "platform/core/ScopedOverride.h"

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

} // namespace plat
