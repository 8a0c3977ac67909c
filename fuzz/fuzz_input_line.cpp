// Typed lines through the main window's input line: each is typed, Enter
// hands it to the command parser or sends it to the target, through the real
// engine logged in as Kara at a fake chat server in this process
// (FakeChatServer.h, which checks every byte the engine writes).
//
// Input: lines split at '\n'. A line is typed and Enter pressed; these bytes
// inside it act instead of being typed:
//   01 hi lo  the UTF-16 unit hi:lo (any, lone surrogates included)
//   02 n      the typing colour: the palette's cell n; past the cells the
//             default colour, then the reference colour
//   03        Shift+Enter, a line break inside the message
//   04 n      what the line holds so far again and again, up to n x 512
//             characters (past what a packet carries)
//   05 n      attaches a reference at the caret, as the editor's OK does: the
//             next n bytes are its text (03 a paragraph, 02 c a colour)
//   06 n      the emoticon palette's cell n
//   07 n      selects up to n characters before the caret
// Every other byte is a Windows-1252 character; the first of each run of
// them is a key press, the rest arrive as pasted text. A line an error kept
// is emptied before the next one.
// A line starting with 0E a does something else instead (a % 8):
//   0  the target: kind (a / 8) % 4 (3: none), the rest its name
//   1  the last tell came from the rest (empty: no tell came)
//   2  history keys: each further byte, even Shift+Up, odd Shift+Down
//   3  Esc
//   4  Delete in the attached-reference list
//   5  settings from the rest's first byte: bit 0 emoticons in the console,
//      bit 1 sending sets the user back
//   6  Bob tells the user the rest (answered while away)
//   7  nothing
//
// Checked on every input (a failure aborts), beside the server's checks:
// - the engine stays logged in and connected; after the input's closing
//   ping nothing the engine wrote is left half a frame;
// - after each Enter: the paint lock is released; the line is empty, in the
//   default colour, with the typed text last in the history, or an error kept
//   it as it was and the history as it was; the history holds at most 100
//   lines;
// - a typed line "/word ..." of plain characters: an unknown word gives the
//   line "Unknown command WORD", a known one never does; a command without
//   what it needs gives its usage line (REPLY before any tell "No message to
//   reply to"); a tell or reply goes out with exactly the text after its
//   target (blanks kept) when the server knows the name, else the error line
//   says so and nothing goes; "/q name" makes the name the target (a public
//   group by its exact name, else a private group, else a character) and
//   shows it in the target label;
// - the only boxes are the whois refusal and the away messages question; no
//   dialog opens.
#include "FakeChatServer.h"
#include "FuzzSupport.h"
#include "FuzzWait.h"

#include "app/dialogs/CharSelForm.h"
#include "app/dialogs/DialogSupport.h"
#include "app/format/ColorCodes.h"
#include "app/mainform/MainForm.h"
#include "app/mainform/MainFormControls.h"
#include "app/mainform/MainFormTestSeam.h"
#include "app/rtf/Rtf.h"
#include "console/QvConsole/QvConsole.h"
#include "dockkit/palettes/DkxColorPalette.h"
#include "dockkit/palettes/DkxColorSet.h"
#include "dockkit/palettes/DkxToolPalette.h"
#include "dockkit/themes/DkKitThemes.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Guarded.h"
#include "platform/core/Registry.h"
#include "platform/gui/MsgBox.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <memory>

namespace {

constexpr qsizetype kHistoryLines = 100;
constexpr int kRepeatUnit = 512;
constexpr char kActionByte = 0x0E;
const QString kWhoisRefusal = QStringLiteral("Whois information is only available on the");
const QString kAwayQuestion = QStringLiteral("new away messages");

FakeChatServer* server = nullptr;
TMainForm* form = nullptr;
TMainSettings loggedInSettings;

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
           const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(form->InputEdit, &press);
}

bool SameColor(plat::TColor a, plat::TColor b) {
    return plat::ColorToRGB(a) == plat::ColorToRGB(b);
}

QStringList ConsoleLines() {
    QStringList lines;
    for (const TMessageNode* line = form->OutputMemo->FirstLine(); line; line = line->Next) {
        lines << line->Text;
    }
    return lines;
}

bool AnyLineHolds(const QString& text) {
    return !ConsoleLines().filter(text).isEmpty();
}

// ---- typing ------------------------------------------------------------------

// Walks a line's bytes; `at` is the next one.
class LineTyper {
public:
    explicit LineTyper(QByteArrayView line) : line_(line) {}

    // Types the line into the input line.
    void Type() {
        QString run;
        while (at_ < line_.size()) {
            const auto b = static_cast<uint8_t>(line_[at_++]);
            if (b >= 1 && b <= 7) {
                TypeRun(run);
                Special(b);
            } else {
                run += plat::FromCp1252(line_.sliced(at_ - 1, 1));
            }
        }
        TypeRun(run);
    }

private:
    uint8_t Next() { return at_ < line_.size() ? static_cast<uint8_t>(line_[at_++]) : 0; }

    // The first character as a key press, the rest as pasted text.
    static void TypeRun(QString& run) {
        if (run.isEmpty()) {
            return;
        }
        Press(Qt::Key_unknown, Qt::NoModifier, run.left(1));
        form->InputEdit->insertPlainText(run.mid(1));
        run.clear();
    }

    void Special(uint8_t b) {
        switch (b) {
        case 1: {
            const int high = Next();
            form->InputEdit->insertPlainText(QString(QChar(char16_t((high << 8) | Next()))));
            break;
        }
        case 2:
            SetColor(Next());
            break;
        case 3:
            Press(Qt::Key_Return, Qt::ShiftModifier, QStringLiteral("\r"));
            break;
        case 4:
            Repeat(Next() * kRepeatUnit);
            break;
        case 5:
            Attach();
            break;
        case 6:
            Emoticon(Next());
            break;
        default:
            Select(Next());
            break;
        }
    }

    static int ColorCells() { return form->VLColorSet->ColCount() * form->VLColorSet->RowCount(); }
    static plat::TColor CellColor(int n) {
        const int columns = form->VLColorSet->ColCount();
        return form->ColorPalette->GetCellColor(n % columns, (n % ColorCells()) / columns);
    }

    static void SetColor(int n) {
        const int cells = ColorCells();
        n %= cells + 2;
        if (n < cells) {
            bool allow = true;
            const int columns = form->VLColorSet->ColCount();
            form->ColorPaletteCellClick(form->ColorPalette, n % columns, n / columns, allow);
        } else if (n == cells) {
            form->ClrDefaultClick(nullptr);
        } else {
            form->InputEdit->SetTypingColor(ColorOfCode(QString(ReferenceCode)));
        }
    }

    static void Repeat(qsizetype length) {
        const QString unit = form->InputEdit->toPlainText();
        if (unit.isEmpty() || unit.size() >= length) {
            return;
        }
        form->InputEdit->insertPlainText(unit.repeated((length - unit.size()) / unit.size() + 1));
    }

    static void Emoticon(int n) {
        const TDkxToolPalette& palette = *form->EmotPalette;
        n %= palette.ColCount() * palette.RowCount();
        bool allow = true;
        form->EmotPaletteCellClick(form->EmotPalette, n % palette.ColCount(),
                                   n / palette.ColCount(), allow);
    }

    static void Select(int n) {
        QTextCursor cursor = form->InputEdit->textCursor();
        cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, n);
        form->InputEdit->setTextCursor(cursor);
    }

    // The reference editor's text, then its OK.
    void Attach() {
        const int length = Next();
        const qsizetype end = std::min(line_.size(), at_ + length);
        QTextDocument document;
        QTextCursor cursor(&document);
        QTextCharFormat format;
        while (at_ < end) {
            const char b = line_[at_++];
            if (b == 3) {
                cursor.insertBlock();
            } else if (b == 2) {
                format.setForeground(plat::ToQColor(CellColor(Next())));
            } else {
                cursor.insertText(plat::FromCp1252(QByteArrayView(&b, 1)), format);
            }
        }
        const QByteArray richText = rtf::Write(document);
        form->AttachReference(richText, document.firstBlock().text());
        check(form->AttachedReference == richText && !form->RefListView->isHidden());
    }

    QByteArrayView line_;
    qsizetype at_ = 0;
};

void Sync();

// ---- what a typed command must do ---------------------------------------------------

// The command words, and the line each writes when given nothing (escaped
// as the console shows it; REPLY's depends on whether a tell came).
struct Command {
    const char* Word;
    const char* Usage;
};
constexpr Command kCommands[] = {
    {"TELL", "/TELL &lt;Target&gt; &lt;Text&gt;"},
    {"T", "/TELL &lt;Target&gt; &lt;Text&gt;"},
    {"REPLY", "/REPLY &lt;Text&gt;"},
    {"R", "/REPLY &lt;Text&gt;"},
    {"ADDBUDDY", "/ADDBUDDY &lt;Target&gt;"},
    {"QUERY", "/QUERY &lt;Target&gt;"},
    {"Q", "/QUERY &lt;Target&gt;"},
    {"WHOIS", "/WHOIS &lt;Target&gt;"},
    {"W", "/WHOIS &lt;Target&gt;"},
    {"WI", "/WHOIS &lt;Target&gt;"},
    {"AWAY", ""},
    {"AFK", ""},
    {"BACK", ""},
    {"CLEAR", ""},
};

const Command* CommandOf(const QString& word) {
    for (const Command& command : kCommands) {
        if (word == QLatin1String(command.Word)) {
            return &command;
        }
    }
    return nullptr;
}

// Without what a line may hold at its ends: blanks and control characters.
QString Trimmed(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32) {
        ++first;
    }
    while (last > first && text[last - 1].unicode() <= 32) {
        --last;
    }
    return text.sliced(first, last - first);
}

// Markup only the program writes: user text has its angle brackets escaped.
const QString kSystemLine = QStringLiteral("#800000\">System Message: ");
const QString kErrorLine = QStringLiteral("<font color=\"#FF0000\">");

QString AsciiUpper(QString text) {
    for (QChar& c : text) {
        if (c >= u'a' && c <= u'z') {
            c = QChar(c.unicode() - 32);
        }
    }
    return text;
}

// "/q name": a public group of that exact name, else a private group of that
// name, else a character; the label shows it.
void CheckQuery(const QString& name) {
    const TChatTarget& target = form->Target();
    check(target.Name() == name);
    TTargetKind kind = tkCharacter;
    if (form->VLChat->GroupList().IndexOfName(plat::ToCp1252(name)) >= 0) {
        kind = tkPublicGroup;
    } else if (name.toCaseFolded() == u"bob" || name.toCaseFolded() == u"zo\u00EB") {
        kind = tkPrivateGroup;
    }
    check(target.Kind() == kind);
    check(form->TargetLabel->text() == name + u':');
}

QString LeftTrimmed(const QString& text) {
    qsizetype first = 0;
    while (first < text.size() && text[first].unicode() <= 32) {
        ++first;
    }
    return text.mid(first);
}

// The first word and what follows it, as a command line is split: the word
// is the first blank-separated token after blanks were collapsed (empty when
// the text starts with a blank); the rest starts after the first blank of the
// left-trimmed text, its own leading blanks kept.
std::pair<QString, QString> SplitFirst(const QString& text) {
    const QString trimmed = Trimmed(text);
    if (!trimmed.contains(u' ')) {
        return {trimmed, QString()};
    }
    QString collapsed = text;
    while (collapsed.contains(QLatin1String("  "))) {
        collapsed.replace(QLatin1String("  "), QLatin1String(" "));
    }
    const QString left = LeftTrimmed(text);
    return {collapsed.section(u' ', 0, 0), left.mid(left.indexOf(u' ') + 1)};
}

// A tell went to the server with exactly that text when it knows the name;
// else an error line says so and nothing went.
void CheckTell(const QString& target, const QString& text) {
    const int32_t id = FakeChatServer::IdOf(plat::ToCp1252(target));
    if (id < 0) {
        check(AnyLineHolds(kErrorLine + QStringLiteral("Unknown character: ")));
    }
    Sync();
    const std::optional<FakeChatServer::Tell> tell = server->TakeTell();
    check(tell.has_value() == (id >= 0));
    check(!tell || (tell->Id == id && tell->Text == plat::ToCp1252(text)));
}

void CheckUnknown(const QString& word) {
    check(AnyLineHolds(kSystemLine + QStringLiteral("Unknown command ")));
    bool letters = true;
    for (const QChar c : word) {
        letters = letters && ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'));
    }
    check(!letters || AnyLineHolds(kSystemLine + QStringLiteral("Unknown command ") + word +
                                   QStringLiteral("</font>")));
}

void CheckCommand(const QString& typed, const QString& tellSender) {
    const auto [first, rest] = SplitFirst(typed);
    const QString word = AsciiUpper(first).mid(1);
    const Command* command = CommandOf(word);
    if (!command) {
        CheckUnknown(word);
        return;
    }
    check(!AnyLineHolds(kSystemLine + QStringLiteral("Unknown command")));
    const auto usage = [&] {
        check(
            AnyLineHolds(kSystemLine + QLatin1String(command->Usage) + QStringLiteral("</font>")));
    };
    const QString usageText = QLatin1String(command->Usage);
    if (usageText.startsWith(QLatin1String("/TELL"))) {
        const auto [target, text] = SplitFirst(rest);
        if (Trimmed(target).isEmpty() || text.isEmpty()) {
            usage();
        } else {
            CheckTell(Trimmed(target), text);
        }
    } else if (usageText.startsWith(QLatin1String("/REPLY"))) {
        if (tellSender.isEmpty()) {
            check(AnyLineHolds(kSystemLine + QStringLiteral("No message to reply to</font>")));
        } else if (rest.isEmpty()) {
            usage();
        } else {
            CheckTell(tellSender, rest);
        }
    } else if (!usageText.isEmpty() && Trimmed(rest).isEmpty()) {
        usage();
    } else if (usageText.startsWith(QLatin1String("/QUERY"))) {
        CheckQuery(Trimmed(rest));
    }
}

// ---- one line ------------------------------------------------------------------------

void CheckAfterEnter(const QString& before, qsizetype historyBefore) {
    check(TMainForm::UpdateLockCount() == 0);
    check(form->InputHistory.Count() <= kHistoryLines);
    check(form->VLChat->State() == csLoggedIn && server->Connected());
    const QString now = form->InputEdit->toPlainText();
    if (!now.isEmpty()) {
        // An error left the line for another try, and nothing in the history.
        check(now == before && form->InputHistory.Count() == historyBefore);
        check(AnyLineHolds(kErrorLine));
        form->InputEdit->clear();
        form->ClrDefaultClick(nullptr);
        return;
    }
    check(SameColor(form->InputEdit->TypingColor(), form->DefaultTypingColor()));
    if (before.isEmpty()) {
        check(form->InputHistory.Count() == historyBefore);
    } else {
        check(form->InputHistory.Previous() == before);
        form->InputHistory.ResetPosition(); // as the Enter left it
    }
}

void Action(QByteArrayView line) {
    const auto a = static_cast<uint8_t>(line.size() > 1 ? line[1] : 0);
    const QByteArrayView rest = line.size() > 2 ? line.sliced(2) : QByteArrayView();
    switch (a % 8) {
    case 0:
        form->Target().Set(TTargetKind((a / 8) % 4), plat::FromCp1252(rest));
        break;
    case 1:
        form->LastTellSender = plat::FromCp1252(rest);
        break;
    case 2:
        for (const char key : rest) {
            Press((key & 1) ? Qt::Key_Down : Qt::Key_Up, Qt::ShiftModifier);
        }
        break;
    case 3:
        Press(Qt::Key_Escape);
        break;
    case 4: {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
        QCoreApplication::sendEvent(form->RefListView, &release);
        check(!form->AttachedReference && form->RefListView->isHidden());
        break;
    }
    case 5:
        form->Settings.ParseEmoticons = !rest.isEmpty() && (rest[0] & 1);
        form->Settings.AwayAutoCancel = !rest.isEmpty() && (rest[0] & 2);
        break;
    case 6:
        form->LastTellSender.clear();
        server->TellFromBob(rest.toByteArray());
        WaitFor([] { return form->LastTellSender == u"Bob"; });
        break;
    default:
        break;
    }
}

void TypeAndEnter(QByteArrayView line) {
    const bool wasEmpty = form->InputEdit->toPlainText().isEmpty();
    const QString typed = plat::FromCp1252(line);
    bool printable = true;
    for (const char b : line) {
        printable = printable && static_cast<uint8_t>(b) >= 0x20;
    }
    // Plain characters only: the parser sees what was typed.
    const bool command = wasEmpty && printable && typed.startsWith(u'/');
    if (command) {
        // What this line writes and sends, alone.
        Sync();
        server->TakeTell();
        form->OutputMemo->Clear();
    }
    const QString tellSender = form->LastTellSender;
    LineTyper(line).Type();
    const QString before = form->InputEdit->toPlainText();
    const qsizetype historyBefore = form->InputHistory.Count();
    Press(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    const bool kept = !form->InputEdit->toPlainText().isEmpty();
    CheckAfterEnter(before, historyBefore);
    if (command && !kept) {
        CheckCommand(typed, tellSender);
    }
}

// Back to the state after the login: no target, reference, tell, history,
// away mode, away messages or console lines; the settings and groups as they
// were.
void Reset() {
    form->InputEdit->clear();
    form->ClrDefaultClick(nullptr);
    form->DropReference();
    form->Settings = loggedInSettings;
    form->Away.List().Clear();
    form->Away.MarkRead();
    form->SetBack();
    form->Target().Set(tkNone, QString());
    form->Target().HideLabel();
    form->LastTellSender.clear();
    form->InputHistory = TBufferList();
    form->OutputMemo->Clear();
    server->AnnounceGroups();
}

// Everything the engine wrote has reached the server: its ping is the last.
void Sync() {
    const int pings = server->Pings() + 1;
    form->VLChat->Ping();
    WaitFor([&] { return server->Pings() >= pings; });
    check(!server->PartFrame());
    check(form->VLChat->State() == csLoggedIn && server->Connected());
}

void Answer() {
    static const dlg::ScopedModalRunner dialogs([](QDialog& dialog) {
        auto* choice = qobject_cast<TCharSelForm*>(&dialog);
        check(choice != nullptr && form->VLChat->State() == csReadyForLogin);
        choice->CharacterCombobox->setEditText(QString::fromLatin1(FakeChatServer::kCast[0].Name));
        return int(QDialog::Accepted);
    });
    static const plat::ScopedMsgBoxHandler boxes([](const plat::MsgBoxRequest& box) {
        check(box.Text.contains(kWhoisRefusal) || box.Text.contains(kAwayQuestion));
        return box.Kind == plat::MsgKind::Confirmation ? plat::MsgResult::No : plat::MsgResult::Ok;
    });
    static const plat::ScopedExceptionHandler exceptions(MainFormExceptionHandler());
}

// Settings of their own, logging off, nothing played.
void PrepareSettings() {
    UseOwnFolder(QStringLiteral("fuzz_input_line"));
    check(QDir().mkpath(QFileInfo(plat::Registry::DefaultFilePath()).path()));
    plat::Registry store(plat::Registry::DefaultFilePath());
    if (auto root = store.OpenKey({}, true)) {
        root->WriteBool(QStringLiteral("Logging"), false);
        root->WriteBool(QStringLiteral("PlaySounds"), false);
        root->WriteInteger(QStringLiteral("OnStartup"), 0);
    }
    check(store.Save());
}

void LogIn() {
    form = new TMainForm; // lives as long as the process
    form->FirstActivation = false;
    TVLChat& chat = *form->VLChat;
    chat.SetDimension(chat.DimensionList().Add(QStringLiteral("Local"), QString(), server->Port(),
                                               QStringLiteral("127.0.0.1")));
    chat.SetUserName("kara");
    chat.SetPassword("karapw");
    chat.Connect();
    WaitFor([&] { return chat.State() == csLoggedIn; });
    // Every packet leaves at once, so that the server sees it before the
    // input ends.
    chat.SetFloodProtection(false);
    form->AddPrivateGroupNode(QStringLiteral("Bob"));
    form->AddPrivateGroupNode(QStringLiteral("Zo\u00EB"));
    check(!form->Settings.Logging && !form->Settings.PlaySounds);
    loggedInSettings = form->Settings;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    OffscreenApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    PrepareSettings();
    Answer();
    static const std::unique_ptr<TDkxNexus> themes = dk::CreateKitThemeNexus();
    TMainFormTestSeam::StoreConsoleText = true;
    server = new FakeChatServer;
    LogIn();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reset();
    const QByteArrayView input(data, static_cast<qsizetype>(size));
    qsizetype start = 0;
    while (start <= input.size()) {
        qsizetype end = input.indexOf('\n', start);
        if (end < 0) {
            end = input.size();
        }
        const QByteArrayView line = input.sliced(start, end - start);
        if (!line.isEmpty() && line[0] == kActionByte) {
            Action(line);
        } else {
            TypeAndEnter(line);
        }
        start = end + 1;
    }
    Sync();
    return 0;
}
