#pragma once
// Timers of the kit's views (submenu open and close, pop-up scrolling). They
// keep the moment they are due on the program's monotonic clock and a Qt
// timer wakes them then, so a test that moves a manual clock fires them at
// once through FireDueTimers() instead of waiting.

#include <QTimer>

#include <cstdint>
#include <functional>

namespace dk {

class KitTimer {
public:
    // The callback runs on the GUI thread each time the timer is due; an
    // exception it raises ends a running modal loop (see GuardedInLoop).
    explicit KitTimer(std::function<void()> onTimeout);
    ~KitTimer();
    KitTimer(const KitTimer&) = delete;
    KitTimer& operator=(const KitTimer&) = delete;

    // Fires every intervalMs from now until stopped; restarts a running timer.
    void Start(int intervalMs);
    void Stop();
    bool Active() const { return active_; }
    int Interval() const { return interval_; }

    // Fires when due on the clock (or re-arms the wake-up); true when it fired.
    bool FireIfDue();

private:
    void Arm(int64_t now);

    QTimer wake_;
    std::function<void()> onTimeout_;
    int64_t due_ = 0;
    int interval_ = 0;
    bool active_ = false;
};

// Fires, in the order they were started, every running timer of this thread
// whose time has come on the monotonic clock. A timer that stops or deletes
// another one first keeps that one from firing.
void FireDueTimers();

} // namespace dk
