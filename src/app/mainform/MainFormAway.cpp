// Away mode as the window shows it: the status bar, the console lines, the
// away actions, the question about unread messages on return, the automatic
// reply and automatic away after idle time.
#include "app/mainform/MainForm.h"

#include "app/away/AwayMessagesForm.h"
#include "app/dialogs/DialogSupport.h"
#include "app/mainform/MainFormControls.h"
#include "dockkit/items/DkActionLink.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "platform/gui/ImageList.h"

#include <QAction>

void TMainForm::SetAway(const QString& text) {
    if (!Away.Enter(text)) {
        SetBack();
        return;
    }
    StatusBar->Panels().Items(0)->SetCaption(CurrentCharacter + QStringLiteral(" - Away"));
    AddSystemLine(QStringLiteral("You are now set away"));
    AwayActionUpdate();
}

void TMainForm::SetBack() {
    if (!Away.Leave()) {
        return;
    }
    StatusBar->Panels().Items(0)->SetCaption(CurrentCharacter);
    AddSystemLine(QStringLiteral("You are now set back"));
    AwayActionUpdate();
    if (Away.Unread() > 0) {
        InputEdit->clear();
        // No keeps the count: the question comes again next time.
        if (dlg::ConfirmationBox(this, QStringLiteral("You have %1 new away messages.  Would you "
                                                      "like to view \r\nyour messages?")
                                           .arg(Away.Unread()))) {
            Away.MarkRead();
            ShowAwayMessages();
        }
    }
}

void TMainForm::AddAwayMessage(const QString& sender, const QString& text) {
    Away.AddMessage(sender, text);
    AwayMessagesActionUpdate();
}

void TMainForm::AwayTellReceived(const QString& sender, const QString& message) {
    AddAwayMessage(sender, message);
    if (const std::optional<QString> reply = Away.Reply(sender)) {
        const TAwayMode::TReplying replying(Away);
        SendTell(sender, *reply);
    }
}

void TMainForm::AwayTimerTimer() {
    if (VLChat->State() == csLoggedIn && !Away && Away.IdleTimeUp()) {
        SetAway(QStringLiteral("/away ") + Settings.AutoAwayMessage);
    }
}

void TMainForm::AwayActionUpdate() {
    AwayAction->setEnabled(VLChat->State() == csLoggedIn);
    const QString caption =
        Away ? QStringLiteral("Set Yourself Back") : QStringLiteral("Set Yourself Away");
    AwayAction->setText(caption);
    dk::SetActionImageIndex(*AwayAction, Away ? 30 : 31);
    if (MenuImages) { // not yet while the window is being built
        AwayAction->setIcon(QIcon(QPixmap::fromImage(MenuImages->Image(Away ? 30 : 31))));
    }
}

void TMainForm::AwayMessagesActionUpdate() {
    AwayMessagesAction->setEnabled(Away.List().Count() >= 1);
}

void TMainForm::ShowAwayMessages() {
    auto* form = FindOrCreateForm<TAwayMessagesForm>(
        QStringLiteral("AwayMessagesForm"), [this](QWidget* parent) {
            auto* created = new TAwayMessagesForm(&Away.List(), MenuImages, registry_, parent);
            created->OnClear = [this](TAwayMessagesForm*) { AwayMessagesActionUpdate(); };
            return created;
        });
    form->RefreshMessages();
    ShowForm(*form);
}
