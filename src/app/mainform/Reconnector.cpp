#include "app/mainform/Reconnector.h"

#include "app/settings/Settings.h"
#include "platform/core/Format.h"

#include <QTimer>

#include <algorithm>
#include <climits>

TReconnector::TReconnector(const TMainSettings& settings, QTimer& timer)
    : settings_(settings), timer_(timer) {
    timer_.setSingleShot(true);
}

bool TReconnector::Connected() {
    wanted_ = true;
    if (reconnecting_) {
        reconnecting_ = false;
        return true;
    }
    attempts_ = 0;
    return false;
}

QString TReconnector::TakeErrorSuffix() {
    QString suffix = lastError_ >= 1 ? plat::Format(": socket error #%d", lastError_) : QString();
    lastError_ = 0;
    return suffix;
}

bool TReconnector::AttemptLeft() const {
    return settings_.AutoReconnect && attempts_ < settings_.ReconnectTimes;
}

TReconnector::TNext TReconnector::Disconnected() {
    if (!wanted_) {
        return TNext::None;
    }
    if (!AttemptLeft()) {
        reconnecting_ = false;
        return TNext::GaveUp;
    }
    timer_.stop();
    // A timer takes at most INT_MAX milliseconds.
    const int64_t ms = std::clamp<int64_t>(int64_t{settings_.ReconnectDelay} * 1000, 0, INT_MAX);
    timer_.setInterval(static_cast<int>(ms));
    timer_.start();
    return TNext::Waiting;
}

void TReconnector::TimerFired() {
    struct StopTimer {
        QTimer& timer;
        ~StopTimer() { timer.stop(); }
    } stop{timer_};
    if (wanted_ && AttemptLeft()) {
        ++attempts_;
        reconnecting_ = true;
        if (OnAttempt) {
            OnAttempt(attempts_);
        }
    }
}

void TReconnector::Stop() {
    timer_.stop();
}
