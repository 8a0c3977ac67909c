#include "dockkit/common/DkTimers.h"

#include "dockkit/common/DkModalLoop.h"

#include "platform/core/Clock.h"

#include <algorithm>
#include <vector>

namespace dk {

namespace {

// The running timers of the thread, oldest start first.
std::vector<KitTimer*>& Running() {
    thread_local std::vector<KitTimer*> running;
    return running;
}

void Forget(KitTimer* timer) {
    auto& running = Running();
    running.erase(std::remove(running.begin(), running.end(), timer), running.end());
}

} // namespace

KitTimer::KitTimer(std::function<void()> onTimeout) : onTimeout_(std::move(onTimeout)) {
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wake_, &QTimer::timeout, [this] { FireIfDue(); });
}

KitTimer::~KitTimer() {
    Forget(this);
}

void KitTimer::Start(int intervalMs) {
    interval_ = std::max(0, intervalMs);
    const int64_t now = plat::MonotonicMs();
    due_ = now + interval_;
    Forget(this);
    Running().push_back(this);
    active_ = true;
    Arm(now);
}

void KitTimer::Stop() {
    active_ = false;
    wake_.stop();
    Forget(this);
}

void KitTimer::Arm(int64_t now) {
    wake_.start(static_cast<int>(std::clamp<int64_t>(due_ - now, 0, interval_)));
}

bool KitTimer::FireIfDue() {
    if (!active_) {
        return false;
    }
    const int64_t now = plat::MonotonicMs();
    if (now < due_) {
        Arm(now);
        return false;
    }
    // Due again one interval from now, as a repeating timer of the window
    // system is; the callback may stop, restart or delete it.
    due_ = now + interval_;
    Arm(now);
    GuardedInLoop([this] { onTimeout_(); });
    return true;
}

void FireDueTimers() {
    const std::vector<KitTimer*> snapshot = Running();
    for (KitTimer* timer : snapshot) {
        const auto& running = Running();
        if (std::find(running.begin(), running.end(), timer) != running.end()) {
            timer->FireIfDue();
        }
    }
}

} // namespace dk
