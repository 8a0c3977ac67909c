// What the main window writes into the console: the line writer, the
// engine's message events and the program's unhandled exceptions.
#include "app/mainform/MainForm.h"

#include "console/QvConsole/QvConsole.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exception.h"
#include "platform/core/Guarded.h"
#include "platform/gui/Sound.h"
#include "strings/FastStrings.h"

void TMainForm::AddConsoleLine(const QString& text, plat::TColor color, bool withTimestamp) {
    OutputMemo->AddLine(formatter_.ConsoleLine(text, color, withTimestamp), nullptr,
                        Settings.ParseUrls);
}

void TMainForm::ShowLine(const TChatLine& line) {
    OutputMemo->AddLine(line.Markup, nullptr, Settings.ParseUrls);
    LogLine(line);
    if (!line.SoundFile.isEmpty()) {
        plat::PlaySoundFile(line.SoundFile);
    }
}

void TMainForm::AddErrorLine(const QString& text) {
    ShowLine(formatter_.ErrorLine(text));
}

void TMainForm::AddSystemLine(const QString& text) {
    ShowLine(formatter_.SystemLine(text));
}

void TMainForm::ApplicationEvents1Exception(const std::exception& error) {
    const auto* own = dynamic_cast<const plat::Exception*>(&error);
    const QString message = own ? own->Message() : QString::fromUtf8(error.what());
    // An unknown character id inside a packet is not worth a line.
    if (SmartPos(u"Name not found for ID", message, false) > 0) {
        return;
    }
    EndBusy();
    // Entities only: an exception's text is not chat, so "(8)" stays "(8)".
    // Logged to errors.log like every error line; a log failure never raises.
    AddErrorLine(EscapeMarkup(message));
}

plat::ExceptionHandler MainFormExceptionHandler() {
    return [](const std::exception& error) {
        if (TMainForm* form = TMainForm::Instance()) {
            form->ApplicationEvents1Exception(error);
        } else {
            qWarning("Unhandled exception: %s", error.what());
        }
    };
}

// --- message events ------------------------------------------------------------

void TMainForm::VLChatSystemMessage(TVLChat*, const QByteArray& Message) {
    ShowLine(formatter_.ServerSystemMessage(plat::FromCp1252(Message)));
}

void TMainForm::VLChatPrivateMessage(TVLChat*, const QByteArray& CharName,
                                     const QByteArray& Message, const TBlob* Blob) {
    const QString sender = plat::FromCp1252(CharName);
    const QString message = plat::FromCp1252(Message);
    ShowLine(formatter_.TellReceived(sender, message, Blob));
    LastTellSender = sender;
    if (Away) {
        AwayTellReceived(sender, message);
    }
}

void TMainForm::VLChatGroupMessage(TVLChat*, int GroupIdx, const QByteArray& CharName,
                                   const QByteArray& Message, const TBlob* Blob) {
    // A group the server never announced has no name.
    std::optional<QString> group;
    const TGroupList& groups = VLChat->GroupList();
    if (GroupIdx >= 0 && GroupIdx < groups.Count()) {
        group = plat::FromCp1252(groups.Items(GroupIdx)->Name());
    }
    ShowLine(formatter_.GroupMessage(group, plat::FromCp1252(CharName), plat::FromCp1252(Message),
                                     Blob));
}

void TMainForm::VLChatPrivateGroupMessage(TVLChat*, const QByteArray& GroupName,
                                          const QByteArray& CharName, const QByteArray& Message,
                                          const TBlob* Blob) {
    if (trees_->PrivateGroupMuted(plat::FromCp1252(GroupName))) {
        return;
    }
    ShowLine(formatter_.PrivateGroupMessage(plat::FromCp1252(GroupName), plat::FromCp1252(CharName),
                                            plat::FromCp1252(Message), Blob));
}

void TMainForm::VLChatPrivateGroupJoin(TVLChat*, const QByteArray& GroupName,
                                       const QByteArray& CharName) {
    if (trees_->PrivateGroupMuted(plat::FromCp1252(GroupName))) {
        return;
    }
    ShowLine(formatter_.PrivateGroupJoin(plat::FromCp1252(GroupName), plat::FromCp1252(CharName)));
}

void TMainForm::VLChatPrivateGroupLeave(TVLChat*, const QByteArray& GroupName,
                                        const QByteArray& CharName) {
    const QString group = plat::FromCp1252(GroupName);
    const QString name = plat::FromCp1252(CharName);
    if (!trees_->PrivateGroupMuted(group)) {
        ShowLine(formatter_.PrivateGroupLeave(group, name));
    }
    if (QString::compare(name, CurrentCharacter, Qt::CaseInsensitive) == 0) {
        RemovePrivateGroupNode(group);
    }
}

void TMainForm::VLChatPrivateGroupKick(TVLChat*, const QByteArray& GroupName) {
    const QString group = plat::FromCp1252(GroupName);
    if (!trees_->PrivateGroupMuted(group)) {
        ShowLine(formatter_.PrivateGroupKick(group));
    }
    RemovePrivateGroupNode(group);
}
