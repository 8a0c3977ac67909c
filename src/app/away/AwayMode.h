#pragma once
// Away mode: whether the user is away and why, the log of the tells that
// arrive meanwhile with its unread count, the automatic reply with its
// once-a-minute limit per sender, and the idle time after which the user
// goes away by himself. What the user sees of it (status bar, console lines,
// the question on return) is the main window's part.

#include "app/away/AwayList.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>

struct TMainSettings;

class TAwayMode {
public:
    // Reads AwayLogging, AutoAway, AutoAwayIdle from the settings as they are
    // at each call.
    explicit TAwayMode(const TMainSettings& settings);

    // True while away.
    explicit operator bool() const { return away_; }
    const QString& Reason() const { return reason_; }

    // The tells logged while away; emptied only from the away-messages window.
    TAwayList& List() { return list_; }
    // Tells logged since the user last chose to view them.
    int Unread() const { return unread_; }
    void MarkRead() { unread_ = 0; }

    // Sending a message, logging in, coming back: idle time starts again.
    void Touch();
    int64_t LastActivity() const { return lastActivity_; }

    // `commandLine` is the away command: its words after the first are the
    // reason. Returns false, changing nothing, when there is no reason while
    // away: then the user comes back instead. A new reason answers every
    // sender again.
    bool Enter(const QString& commandLine);
    // Returns false when not away. Coming back counts as activity.
    bool Leave();

    // Logs a tell received while away, unread.
    void AddMessage(const QString& sender, const QString& text);
    // The automatic reply to a tell received while away; nothing when the
    // sender was answered less than a minute ago.
    std::optional<QString> Reply(const QString& sender);

    // Idle for AutoAwayIdle minutes with AutoAway on (the caller checks that
    // the user is logged in and not away).
    bool IdleTimeUp() const;

    // True while the automatic reply is sent: it never ends away mode and
    // never takes the user's reference along.
    bool AutoReplying() const { return autoReplying_; }
    class TReplying {
    public:
        explicit TReplying(TAwayMode& mode) : mode_(mode) { mode_.autoReplying_ = true; }
        ~TReplying() { mode_.autoReplying_ = false; }
        TReplying(const TReplying&) = delete;
        TReplying& operator=(const TReplying&) = delete;

    private:
        TAwayMode& mode_;
    };

private:
    const TMainSettings& settings_;
    bool away_ = false;
    QString reason_;
    bool autoReplying_ = false;
    int unread_ = 0;
    int64_t lastActivity_ = 0;
    // Sender (ASCII lower case) -> time of the last automatic reply.
    QHash<QString, int64_t> replyThrottle_;
    TAwayList list_;
};
