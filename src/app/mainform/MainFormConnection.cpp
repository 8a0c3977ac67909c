// The connection as the window shows it: connect and disconnect lines, the
// stored login, the character choice, the logged-in caption and status bar,
// and reconnection after a disconnect nobody asked for.
#include "app/mainform/MainForm.h"

#include "app/dialogs/CharSelForm.h"
#include "app/dialogs/DialogSupport.h"
#include "app/kit/Kit.h"
#include "app/mainform/MainFormControls.h"
#include "platform/core/Clock.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Format.h"
#include "platform/core/Guarded.h"

#include <QAction>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace {

QString DimensionName(const TVLChat& chat) {
    return chat.Dimension() ? chat.Dimension()->Name() : QString();
}

// Deletes every child of the roots named, in that order, inside one update.
void EmptyRoots(TTreeView& tree, std::initializer_list<const char*> roots) {
    tree.setUpdatesEnabled(false);
    for (const char* caption : roots) {
        const auto found = tree.findItems(QString::fromLatin1(caption), Qt::MatchExactly);
        for (QTreeWidgetItem* root : found) {
            if (root->parent() == nullptr) {
                qDeleteAll(root->takeChildren());
            }
        }
    }
    tree.setUpdatesEnabled(true);
}

} // namespace

void TMainForm::VLChatConnect(TVLChat*) {
    AddErrorLine(QStringLiteral("Connected to Vellinor chat server"));
    EndBusy();
    ConnectAction->setEnabled(false);
    DisconnectAction->setEnabled(true);
    ReconnectWanted = true;

    Settings.LastUser = plat::FromCp1252(VLChat->UserName());
    Settings.LastDimension = DimensionName(*VLChat);
    // Not remembering a password forgets one remembered before.
    Logins.SetLoginPassword(Settings.LastUser,
                            SavePassword ? plat::FromCp1252(VLChat->Password()) : QString());

    if (Reconnecting) {
        VLChat->SelectCharacter(plat::ToCp1252(CurrentCharacter));
        Reconnecting = false;
    } else {
        ReconnectAttempts = 0;
        ChooseCharacter();
    }
}

void TMainForm::ChooseCharacter() {
    TCharSelForm dialog(this);
    QStringList names;
    const TCharList& characters = VLChat->CharList();
    for (qsizetype i = 0; i < characters.Count(); ++i) {
        names.append(plat::FromCp1252(characters.Items(i)->Name()));
    }
    dialog.SetCharacters(names, Logins.GetLastChar(plat::FromCp1252(VLChat->UserName())));
    if (dlg::RunModal(dialog) == QDialog::Accepted) {
        CurrentCharacter = dialog.Character();
        VLChat->SelectCharacter(plat::ToCp1252(CurrentCharacter));
    } else {
        Disconnect();
    }
}

void TMainForm::VLChatLogin(TVLChat*) {
    LastActivity = plat::MonotonicMs();
    StatusBar->SetPanelText(0,
                            Away ? CurrentCharacter + QStringLiteral(" - Away") : CurrentCharacter);
    StatusBar->SetPanelText(1, DimensionName(*VLChat));
    setWindowTitle(QStringLiteral("Quorvel - Connected as %1 on %2")
                       .arg(CurrentCharacter, DimensionName(*VLChat)));
    Logins.SetLastChar(Settings.LastUser, CurrentCharacter);
    EnableChatControls();
}

void TMainForm::VLChatLoginError(TVLChat*, const QByteArray& Message) {
    EndBusy();
    ConnectAction->setEnabled(true);
    DisconnectAction->setEnabled(false);
    DisableChatControls();
    Disconnect();
    dlg::ErrorBox(this, plat::FromCp1252(Message));
}

// The code is kept for the disconnect line; the socket raises nothing.
void TMainForm::VLChatError(TVLChat*, int& ErrorCode) {
    LastSocketError = ErrorCode;
    ErrorCode = 0;
    VLChat->Disconnect();
}

void TMainForm::VLChatDisconnect(TVLChat*) {
    EndBusy();
    const QString suffix =
        LastSocketError >= 1 ? plat::Format(": socket error #%d", LastSocketError) : QString();
    LastSocketError = 0;
    ConnectAction->setEnabled(true);
    DisconnectAction->setEnabled(false);

    EmptyRoots(*GroupsTreeView, {"Public Groups", "Private Groups"});
    EmptyRoots(*FriendsTreeView, {"Online Friends", "Offline Friends", "Unknown"});
    ExpandOnlineFriends = true;
    ExpandOfflineFriends = false;
    ExpandPublicGroups = true;
    ExpandPrivateGroups = true;

    setWindowTitle(QStringLiteral("Quorvel - Not Connected"));
    AddErrorLine(QStringLiteral("Disconnected from Vellinor chat server") + suffix);
    StatusBar->SetPanelText(0, QString());
    StatusBar->SetPanelText(1, QString());
    DisableChatControls();

    if (!ReconnectWanted) {
        return;
    }
    if (Settings.AutoReconnect && ReconnectAttempts < Settings.ReconnectTimes) {
        ReconnectTimer->stop();
        AddSystemLine(plat::Format("Waiting %d seconds to reconnect", Settings.ReconnectDelay));
        // A timer takes at most INT_MAX milliseconds.
        const int64_t ms = std::clamp<int64_t>(int64_t{Settings.ReconnectDelay} * 1000, 0, INT_MAX);
        ReconnectTimer->setInterval(static_cast<int>(ms));
        ReconnectTimer->start();
    } else {
        AddSystemLine(QStringLiteral("Maximum number of reconnect attempts reached"));
        Reconnecting = false;
    }
}

void TMainForm::ReconnectTimerTimer() {
    struct StopTimer {
        QTimer* timer;
        ~StopTimer() { timer->stop(); }
    } stop{ReconnectTimer};
    if (ReconnectWanted && Settings.AutoReconnect && ReconnectAttempts < Settings.ReconnectTimes) {
        ++ReconnectAttempts;
        Reconnecting = true;
        AddSystemLine(plat::Format("Reconnect attempt #%d", ReconnectAttempts));
        VLChat->Connect();
        ConnectAction->setEnabled(false);
        DisconnectAction->setEnabled(true);
    }
}

void TMainForm::Disconnect() {
    ReconnectWanted = false;
    VLChat->Disconnect();
}

void TMainForm::DisconnectActionExecute() {
    Disconnect();
}
