// The connection as the window shows it: connect and disconnect lines, the
// stored login, the character choice, the logged-in caption and status bar,
// and reconnection after a disconnect nobody asked for.
#include "app/mainform/MainForm.h"

#include "app/dialogs/CharSelForm.h"
#include "app/dialogs/DialogSupport.h"
#include "app/mainform/MainFormControls.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Format.h"
#include "platform/core/Guarded.h"
#include "platform/gui/ImageList.h"

#include <QAction>

namespace {

QString DimensionName(const TVLChat& chat) {
    return chat.Dimension() ? chat.Dimension()->Name() : QString();
}

} // namespace

void TMainForm::VLChatConnect(TVLChat*) {
    AddErrorLine(QStringLiteral("Connected to Vellinor chat server"));
    EndBusy();
    ConnectAction->setEnabled(false);
    DisconnectAction->setEnabled(true);
    const bool reconnected = reconnector_->Connected();

    Settings.LastUser = plat::FromCp1252(VLChat->UserName());
    Settings.LastDimension = DimensionName(*VLChat);
    // Not remembering a password forgets one remembered before.
    Logins.SetLoginPassword(Settings.LastUser,
                            SavePassword ? plat::FromCp1252(VLChat->Password()) : QString());

    if (reconnected) {
        VLChat->SelectCharacter(plat::ToCp1252(CurrentCharacter));
    } else {
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
    Away.Touch();
    StatusBar->Panels().Items(0)->SetCaption(Away ? CurrentCharacter + QStringLiteral(" - Away")
                                                  : CurrentCharacter);
    StatusBar->Panels().Items(1)->SetCaption(DimensionName(*VLChat));
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
    reconnector_->SocketError(ErrorCode);
    ErrorCode = 0;
    VLChat->Disconnect();
}

void TMainForm::VLChatDisconnect(TVLChat*) {
    EndBusy();
    const QString suffix = reconnector_->TakeErrorSuffix();
    ConnectAction->setEnabled(true);
    DisconnectAction->setEnabled(false);
    trees_->Clear();
    setWindowTitle(QStringLiteral("Quorvel - Not Connected"));
    AddErrorLine(QStringLiteral("Disconnected from Vellinor chat server") + suffix);
    StatusBar->Panels().Items(0)->SetCaption(QString());
    StatusBar->Panels().Items(1)->SetCaption(QString());
    DisableChatControls();

    switch (reconnector_->Disconnected()) {
    case TReconnector::TNext::Waiting:
        AddSystemLine(plat::Format("Waiting %d seconds to reconnect", Settings.ReconnectDelay));
        break;
    case TReconnector::TNext::GaveUp:
        AddSystemLine(QStringLiteral("Maximum number of reconnect attempts reached"));
        break;
    case TReconnector::TNext::None:
        break;
    }
}

void TMainForm::Disconnect() {
    reconnector_->Cancel();
    VLChat->Disconnect();
}

void TMainForm::DisconnectActionExecute() {
    Disconnect();
}
