#pragma once
// The slash commands of the input line, one row each: the word that names
// it, the other words for it, the line shown when its arguments are missing,
// and what it does. A new command is a row of the table in
// MainFormCommands.cpp and its handler there.

#include <QString>
#include <QStringView>

#include <span>

class TMainForm;

// A command line as the handlers take it.
struct TCommandLine {
    QString Text; // the line as typed
    // What follows the command word: the left-trimmed text after the first
    // blank, with further leading blanks, inner and trailing spacing kept.
    QString Rest;
};

struct TChatCommand {
    const char* Name;    // upper case, without the "/"
    const char* Aliases; // other words for it, upper case, separated by blanks
    const char* Usage;   // empty for a command that takes anything
    // Returns false when the arguments do not do, and the usage line shows.
    bool (*Handler)(TMainForm& form, const TCommandLine& line);
};

// Every command.
std::span<const TChatCommand> ChatCommands();
// The command whose name or alias is `word` (upper case, without the "/"),
// or null.
const TChatCommand* FindChatCommand(QStringView word);
