// Slash commands of the input line and the choice of its target.
#include "app/mainform/MainForm.h"

#include "app/mainform/ChatCommands.h"
#include "app/mainform/MainFormControls.h"
#include "console/QvConsole/QvConsole.h"
#include "platform/core/Cp1252.h"
#include "strings/TextRoutines.h"

#include <QLatin1StringView>

namespace {

// Usage and error lines show their angle brackets.
void ShowNote(TMainForm& form, const QString& text) {
    form.AddSystemLine(EscapeText(text, form.Settings.ParseEmoticons));
}

// The target, then the text; two blanks after the command word make the
// target empty.
bool Tell(TMainForm& form, const TCommandLine& line) {
    QString text = line.Rest;
    const QString target = txt::Trim(txt::SplitFirstWord(text));
    if (target.isEmpty() || text.isEmpty()) {
        return false;
    }
    form.SendTell(target, text);
    return true;
}

bool Reply(TMainForm& form, const TCommandLine& line) {
    if (form.LastTellSender.isEmpty()) {
        ShowNote(form, QStringLiteral("No message to reply to"));
        return true;
    }
    if (line.Rest.isEmpty()) {
        return false;
    }
    form.SendTell(form.LastTellSender, line.Rest);
    return true;
}

// ADDBUDDY, QUERY and WHOIS take the whole rest, trimmed, as their target.
template <typename Act>
bool OnTarget(const TCommandLine& line, Act act) {
    const QString target = txt::Trim(line.Rest);
    if (target.isEmpty()) {
        return false;
    }
    act(target);
    return true;
}

// The user's own character is never a buddy: ignored without a word.
bool AddBuddy(TMainForm& form, const TCommandLine& line) {
    return OnTarget(line, [&form](const QString& target) {
        if (!txt::SameTextAscii(target, form.CurrentCharacter)) {
            form.VLChat->AddFriend(plat::ToCp1252(target), true);
        }
    });
}

bool Query(TMainForm& form, const TCommandLine& line) {
    return OnTarget(line, [&form](const QString& target) { form.QueryTarget(target); });
}

bool Whois(TMainForm& form, const TCommandLine& line) {
    return OnTarget(line, [&form](const QString& target) { form.ShowWhois(target); });
}

// The words after the command are the reason.
bool Away(TMainForm& form, const TCommandLine& line) {
    form.SetAway(line.Text);
    return true;
}

bool Back(TMainForm& form, const TCommandLine&) {
    form.SetBack();
    return true;
}

bool Clear(TMainForm& form, const TCommandLine&) {
    form.OutputMemo->Clear();
    return true;
}

const TChatCommand kCommands[] = {
    {"TELL", "T", "/TELL <Target> <Text>", Tell},
    {"REPLY", "R", "/REPLY <Text>", Reply},
    {"ADDBUDDY", "", "/ADDBUDDY <Target>", AddBuddy},
    {"QUERY", "Q", "/QUERY <Target>", Query},
    {"WHOIS", "W WI", "/WHOIS <Target>", Whois},
    {"AWAY", "AFK", "", Away},
    {"BACK", "", "", Back},
    {"CLEAR", "", "", Clear},
};

bool Names(const TChatCommand& command, QStringView word) {
    if (word == QLatin1StringView(command.Name)) {
        return true;
    }
    for (const QLatin1StringView alias :
         QLatin1StringView(command.Aliases).tokenize(u' ', Qt::SkipEmptyParts)) {
        if (word == alias) {
            return true;
        }
    }
    return false;
}

} // namespace

std::span<const TChatCommand> ChatCommands() {
    return kCommands;
}

const TChatCommand* FindChatCommand(QStringView word) {
    for (const TChatCommand& command : kCommands) {
        if (Names(command, word)) {
            return &command;
        }
    }
    return nullptr;
}

void TMainForm::ParseCommand(const QString& text) {
    const QString word = txt::AsciiUpper(txt::ExtractWord(txt::CollapseSpaces(text), 1)).mid(1);
    const TChatCommand* command = FindChatCommand(word);
    if (command == nullptr) {
        // The word is the user's own text: escaped like the usage lines.
        ShowNote(*this, QStringLiteral("Unknown command ") + word);
        return;
    }
    TCommandLine line{text, text};
    txt::SplitFirstWord(line.Rest);
    if (!command->Handler(*this, line)) {
        ShowNote(*this, QString::fromLatin1(command->Usage));
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
