// Away mode: entering and leaving it, the away log of tells received
// meanwhile, the automatic reply and automatic away after idle time.
#include "app/mainform/MainForm.h"
#include "platform/gui/ImageList.h"

#include "app/away/AwayList.h"
#include "app/away/AwayMessagesForm.h"
#include "app/dialogs/DialogSupport.h"
#include "app/kit/Kit.h"
#include "app/mainform/CommandParser.h"
#include "app/mainform/MainFormControls.h"
#include "platform/core/Clock.h"

#include <QAction>

namespace {

// An automatic reply goes to the same sender at most this often.
constexpr int64_t kReplyIntervalMs = 60000;
constexpr int64_t kMinuteMs = 60000;

} // namespace

void TMainForm::SetAway(const QString& text) {
    QString rest = text;
    cmd::SplitFirstWord(rest);
    const QString reason = cmd::Trim(rest);
    if (reason.isEmpty() && Away) {
        SetBack();
        return;
    }
    StatusBar->SetPanelText(0, CurrentCharacter + QStringLiteral(" - Away"));
    ReplyThrottle.clear();
    Away = true;
    AwayReason = reason;
    AddSystemLine(QStringLiteral("You are now set away"));
    AwayActionUpdate();
}

void TMainForm::SetBack() {
    if (!Away) {
        return;
    }
    StatusBar->SetPanelText(0, CurrentCharacter);
    ReplyThrottle.clear();
    Away = false;
    AwayReason.clear();
    LastActivity = plat::MonotonicMs();
    AddSystemLine(QStringLiteral("You are now set back"));
    AwayActionUpdate();
    if (UnreadAwayMessages > 0) {
        InputEdit->clear();
        // No keeps the count: the question comes again next time.
        if (dlg::ConfirmationBox(this, QStringLiteral("You have %1 new away messages.  Would you "
                                                      "like to view \r\nyour messages?")
                                           .arg(UnreadAwayMessages))) {
            UnreadAwayMessages = 0;
            ShowAwayMessages();
        }
    }
}

void TMainForm::AddAwayMessage(const QString& sender, const QString& text) {
    qsizetype index = AwayList->IndexOf(sender);
    if (index < 0) {
        AwayList->Add()->SetName(sender);
        index = AwayList->IndexOf(sender);
    }
    TAwayCharacter* character = AwayList->Items(index);
    character->SetTag(0);
    character->Messages().Add()->SetText(text);
    ++UnreadAwayMessages;
    AwayMessagesActionUpdate();
}

void TMainForm::AwayTellReceived(const QString& sender, const QString& message) {
    AddAwayMessage(sender, message);

    const QString key = cmd::AsciiLower(sender);
    const int64_t now = plat::MonotonicMs();
    const auto last = ReplyThrottle.constFind(key);
    if (last != ReplyThrottle.cend() && now - *last < kReplyIntervalMs) {
        return;
    }
    ReplyThrottle.insert(key, now);

    QString reply = QStringLiteral("I am away from my keyboard right now");
    if (!cmd::Trim(AwayReason).isEmpty()) {
        reply += QStringLiteral(", \"") + AwayReason + u'"';
    }
    reply += Settings.AwayLogging ? QStringLiteral(", your message has been logged.")
                                  : QStringLiteral(".");

    struct Replying {
        bool& flag;
        explicit Replying(bool& f) : flag(f) { flag = true; }
        ~Replying() { flag = false; }
    } replying(AutoReplying);
    SendTell(sender, reply);
}

void TMainForm::AwayTimerTimer() {
    if (VLChat->State() != csLoggedIn || Away || !Settings.AutoAway || Settings.AutoAwayIdle < 1) {
        return;
    }
    if (plat::MonotonicMs() - LastActivity >= int64_t{Settings.AutoAwayIdle} * kMinuteMs) {
        SetAway(QStringLiteral("/away ") + Settings.AutoAwayMessage);
    }
}

void TMainForm::AwayActionExecute() {
    SetAway(QStringLiteral("/away"));
}

void TMainForm::AwayActionUpdate() {
    AwayAction->setEnabled(VLChat->State() == csLoggedIn);
    const QString caption =
        Away ? QStringLiteral("Set Yourself Back") : QStringLiteral("Set Yourself Away");
    AwayAction->setText(caption);
    AwayAction->setToolTip(caption);
    if (MenuImages) { // not yet while the window is being built
        AwayAction->setIcon(QIcon(QPixmap::fromImage(MenuImages->Image(Away ? 30 : 31))));
    }
}

void TMainForm::AwayMessagesActionExecute() {
    ShowAwayMessages();
}

void TMainForm::AwayMessagesActionUpdate() {
    AwayMessagesAction->setEnabled(AwayList->Count() >= 1);
}

void TMainForm::ShowAwayMessages() {
    auto* form = FindOrCreateForm<TAwayMessagesForm>(
        QStringLiteral("AwayMessagesForm"), [this](QWidget* parent) {
            auto* created = new TAwayMessagesForm(AwayList, MenuImages, registry_.get(), parent);
            created->OnClear = [this](TAwayMessagesForm*) { AwayMessagesActionUpdate(); };
            return created;
        });
    form->RefreshMessages();
    ShowForm(*form);
}
