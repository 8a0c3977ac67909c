// Slash commands of the input line and the choice of its target.
#include "app/mainform/MainForm.h"

#include "app/mainform/MainFormControls.h"
#include "console/QvConsole/QvConsole.h"
#include "platform/core/Cp1252.h"
#include "strings/TextRoutines.h"

void TMainForm::ParseCommand(const QString& text) {
    const QString word = txt::AsciiUpper(txt::ExtractWord(txt::CollapseSpaces(text), 1)).mid(1);
    // Usage lines show their angle brackets.
    auto usage = [this](const QString& line) {
        AddSystemLine(EscapeText(line, Settings.ParseEmoticons));
    };
    QString rest = text;
    txt::SplitFirstWord(rest);

    if (word == QLatin1String("TELL") || word == QLatin1String("T")) {
        const QString target = txt::Trim(txt::SplitFirstWord(rest));
        if (target.isEmpty() || rest.isEmpty()) {
            usage(QStringLiteral("/TELL <Target> <Text>"));
        } else {
            SendTell(target, rest);
        }
    } else if (word == QLatin1String("REPLY") || word == QLatin1String("R")) {
        if (LastTellSender.isEmpty()) {
            usage(QStringLiteral("No message to reply to"));
        } else if (rest.isEmpty()) {
            usage(QStringLiteral("/REPLY <Text>"));
        } else {
            SendTell(LastTellSender, rest);
        }
    } else if (word == QLatin1String("ADDBUDDY")) {
        const QString target = txt::Trim(rest);
        if (target.isEmpty()) {
            usage(QStringLiteral("/ADDBUDDY <Target>"));
        } else if (!txt::SameTextAscii(target, CurrentCharacter)) {
            VLChat->AddFriend(plat::ToCp1252(target), true);
        }
    } else if (word == QLatin1String("QUERY") || word == QLatin1String("Q")) {
        const QString target = txt::Trim(rest);
        if (target.isEmpty()) {
            usage(QStringLiteral("/QUERY <Target>"));
        } else {
            QueryTarget(target);
        }
    } else if (word == QLatin1String("WHOIS") || word == QLatin1String("W") ||
               word == QLatin1String("WI")) {
        const QString target = txt::Trim(rest);
        if (target.isEmpty()) {
            usage(QStringLiteral("/WHOIS <Target>"));
        } else {
            ShowWhois(target);
        }
    } else if (word == QLatin1String("AWAY") || word == QLatin1String("AFK")) {
        SetAway(text);
    } else if (word == QLatin1String("BACK")) {
        SetBack();
    } else if (word == QLatin1String("CLEAR")) {
        OutputMemo->Clear();
    } else {
        // The word is the user's own text: escaped like the usage lines.
        usage(QStringLiteral("Unknown command ") + word);
    }
}

void TMainForm::QueryTarget(const QString& name) {
    if (VLChat->GroupList().IndexOfName(plat::ToCp1252(name)) >= 0) {
        QueryPublicGroup(name);
    } else if (trees_->PrivateGroupNode(name)) {
        QueryPrivateGroup(name);
    } else {
        QueryCharacter(name);
    }
}

void TMainForm::QueryCharacter(const QString& name) {
    target_->Set(tkCharacter, name);
    InputEdit->setFocus();
}

void TMainForm::QueryPublicGroup(const QString& name) {
    UnmuteGroup(name); // listening again before talking to it
    target_->Set(tkPublicGroup, name);
    InputEdit->setFocus();
}

void TMainForm::QueryPrivateGroup(const QString& name) {
    UnmuteGroup(name);
    target_->Set(tkPrivateGroup, name);
    InputEdit->setFocus();
}
