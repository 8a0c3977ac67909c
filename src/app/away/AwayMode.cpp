#include "app/away/AwayMode.h"

#include "app/settings/Settings.h"
#include "platform/core/Clock.h"
#include "strings/TextRoutines.h"

namespace {

// An automatic reply goes to the same sender at most this often.
constexpr int64_t kReplyIntervalMs = 60000;
constexpr int64_t kMinuteMs = 60000;

} // namespace

TAwayMode::TAwayMode(const TMainSettings& settings)
    : settings_(settings), lastActivity_(plat::MonotonicMs()) {}

void TAwayMode::Touch() {
    lastActivity_ = plat::MonotonicMs();
}

bool TAwayMode::Enter(const QString& commandLine) {
    QString rest = commandLine;
    txt::SplitFirstWord(rest);
    const QString reason = txt::Trim(rest);
    if (reason.isEmpty() && away_) {
        return false;
    }
    replyThrottle_.clear();
    away_ = true;
    reason_ = reason;
    return true;
}

bool TAwayMode::Leave() {
    if (!away_) {
        return false;
    }
    replyThrottle_.clear();
    away_ = false;
    reason_.clear();
    Touch();
    return true;
}

void TAwayMode::AddMessage(const QString& sender, const QString& text) {
    qsizetype index = list_.IndexOf(sender);
    if (index < 0) {
        list_.Add()->SetName(sender);
        index = list_.Count() - 1;
    }
    TAwayCharacter* character = list_.Items(index);
    character->SetTag(0);
    character->Messages().Add()->SetText(text);
    ++unread_;
}

std::optional<QString> TAwayMode::Reply(const QString& sender) {
    const QString key = txt::AsciiLower(sender);
    const int64_t now = plat::MonotonicMs();
    const auto last = replyThrottle_.constFind(key);
    if (last != replyThrottle_.cend() && now - *last < kReplyIntervalMs) {
        return std::nullopt;
    }
    replyThrottle_.insert(key, now);

    QString reply = QStringLiteral("I am away from my keyboard right now");
    if (!txt::Trim(reason_).isEmpty()) {
        reply += QStringLiteral(", \"") + reason_ + u'"';
    }
    reply += settings_.AwayLogging ? QStringLiteral(", your message has been logged.")
                                   : QStringLiteral(".");
    return reply;
}

bool TAwayMode::IdleTimeUp() const {
    return settings_.AutoAway && settings_.AutoAwayIdle >= 1 &&
           plat::MonotonicMs() - lastActivity_ >= int64_t{settings_.AutoAwayIdle} * kMinuteMs;
}
