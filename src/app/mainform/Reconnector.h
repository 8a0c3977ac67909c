#pragma once
// Reconnection after a disconnect nobody asked for: whether one is wanted,
// the attempts made so far, the one-shot timer that waits ReconnectDelay
// seconds before the next, and the socket error shown with the next
// disconnect line. The attempts return to 0 only when a connection the timer
// did not open reaches the server, so successful reconnects use them up too.

#include <QString>

#include <functional>

class QTimer;
struct TMainSettings;

class TReconnector {
public:
    // Reads AutoReconnect, ReconnectTimes and ReconnectDelay at each call.
    TReconnector(const TMainSettings& settings, QTimer& timer);

    // Makes the attempt numbered `attempt` (from 1) when the timer fires.
    std::function<void(int attempt)> OnAttempt;

    bool Wanted() const { return wanted_; }
    int Attempts() const { return attempts_; }
    bool Reconnecting() const { return reconnecting_; }

    // The connection reached the server: later disconnects reconnect.
    // Returns true when the timer opened it (the character is chosen again
    // without asking); false resets the attempts.
    bool Connected();
    // The user ends the connection: no reconnection follows.
    void Cancel() { wanted_ = false; }

    // A socket error: kept for the next disconnect line.
    void SocketError(int code) { lastError_ = code; }
    // ": socket error #{code}" for a kept error, once; else empty.
    QString TakeErrorSuffix();

    enum class TNext { None, Waiting, GaveUp };
    // The connection ended. Waiting: the timer runs for the next attempt.
    // GaveUp: none is left (also when AutoReconnect is off). None: the user
    // ended it.
    TNext Disconnected();
    // The timer's tick: makes the next attempt when it is still wanted; the
    // timer stops in every case, after the attempt.
    void TimerFired();
    void Stop();

private:
    bool AttemptLeft() const;

    const TMainSettings& settings_;
    QTimer& timer_;
    bool wanted_ = false;
    int attempts_ = 0;
    bool reconnecting_ = false;
    int lastError_ = 0;
};
