// The input line against the local chat service: commands and their usage
// lines, sending to each kind of target, history keys, colours, paste.
#include "MainFormInputSupport.h"

#include "app/CommandParser.h"
#include "app/MainFormControls.h"
#include "console/QvConsole.h"
#include "platform/core/Exception.h"
#include "platform/core/Guarded.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>

namespace mainformtest {
namespace {

QString System(const QString& text) {
    return Line("800000", "System Message: " + text + "</font>");
}

QString Echo(const QString& target, const QString& text) {
    return Line("0000FF", "To [" + CharLink(target) + "]: " + text + "</font>");
}

TEST(CommandTextTest, SplittingKeepsTheSpacingOfTheRest) {
    EXPECT_EQ(cmd::CollapseSpaces(u"a     b  c "), QStringLiteral("a b c "));
    EXPECT_EQ(cmd::ExtractWord(u"one two", 2), QStringLiteral("two"));
    EXPECT_EQ(cmd::ExtractWord(u" one", 1), QString()); // a leading blank: empty first token
    EXPECT_EQ(cmd::ExtractWord(u" one", 2), QStringLiteral("one"));
    EXPECT_EQ(cmd::ExtractWord(u"one", 2), QString());

    // Codes and control characters at the ends go with the blanks.
    EXPECT_EQ(cmd::Trim(u"\x10\x0c red \x12\r\n"), QStringLiteral("red"));
    EXPECT_EQ(cmd::TrimLeft(u" \t x "), QStringLiteral("x "));

    QString text = QStringLiteral("/tell Bob   hi  there ");
    EXPECT_EQ(cmd::SplitFirstWord(text), QStringLiteral("/tell"));
    EXPECT_EQ(cmd::SplitFirstWord(text), QStringLiteral("Bob"));
    EXPECT_EQ(text, QStringLiteral("  hi  there "));
    // Extra blanks before a word leave it empty and the word in the rest.
    text = QStringLiteral("  Bob hi");
    EXPECT_EQ(cmd::SplitFirstWord(text), QString());
    EXPECT_EQ(text, QStringLiteral("hi"));
    text = QStringLiteral(" last ");
    EXPECT_EQ(cmd::SplitFirstWord(text), QStringLiteral("last"));
    EXPECT_EQ(text, QString());

    EXPECT_EQ(cmd::AsciiUpper(u"tell\u00e9"), QStringLiteral("TELL\u00e9"));
    EXPECT_TRUE(cmd::SameTextAscii(u"KaRa", u"kara"));
    EXPECT_FALSE(cmd::SameTextAscii(u"\u00c9", u"\u00e9"));
}

using InputLineTest = LoggedInTest;

TEST_F(InputLineTest, UsageAndUnknownCommandLinesSendNothing) {
    const QStringList typed = {
        "/tell  Bob hi", "/tell Bob", "/t",        "/r hi",  "/r", "/q",   "/query   ", "/w",
        "/wi",           "/whois",    "/addbuddy", "/foo x", "/",  "/<b>&"};
    for (const QString& line : typed) {
        Enter(line);
    }
    const QString tell = System("/TELL &lt;Target&gt; &lt;Text&gt;");
    const QString noReply = System("No message to reply to");
    const QString query = System("/QUERY &lt;Target&gt;");
    const QString whois = System("/WHOIS &lt;Target&gt;");
    EXPECT_EQ(Lines(),
              (QStringList{tell, tell, tell, noReply, noReply, query, query, whois, whois, whois,
                           System("/ADDBUDDY &lt;Target&gt;"), System("Unknown command FOO"),
                           System("Unknown command "), System("Unknown command &lt;B&gt;&amp;")}));
    EXPECT_EQ(form->TargetKind, tkNone);
    // Every command line is history all the same, newest last.
    EXPECT_EQ(form->InputHistory.Count(), typed.size());
    ProcessPosted();
    EXPECT_FALSE(serverLog.join(u'\n').contains(QLatin1String("tell")));
}

TEST_F(InputLineTest, TellsKeepTheirSpacingAndEchoAndReplyGoesToTheLastSender) {
    StartBob();
    Enter("/tell Bob   hi  there");
    ASSERT_TRUE(WaitForBob(1));
    EXPECT_EQ(bobHeard.last(), QStringLiteral("Kara:   hi  there"));
    EXPECT_EQ(Lines().last(), Echo("Bob", "  hi  there"));
    EXPECT_TRUE(form->InputEdit->toPlainText().isEmpty());
    Press(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(form->InputEdit->toPlainText(), QStringLiteral("/tell Bob   hi  there"));
    Press(Qt::Key_Escape);
    EXPECT_TRUE(form->InputEdit->toPlainText().isEmpty());

    ASSERT_TRUE(bob->SendPrivateMessage("Kara", "psst"));
    ASSERT_TRUE(WaitUntil([&] { return form->LastTellSender == QLatin1String("Bob"); }));
    Enter("/r ");
    EXPECT_EQ(Lines().last(), System("/REPLY &lt;Text&gt;"));
    Enter("/R  x");
    ASSERT_TRUE(WaitForBob(2));
    EXPECT_EQ(bobHeard.last(), QStringLiteral("Kara:  x"));
    EXPECT_EQ(form->TargetKind, tkNone); // replying picks no target
}

TEST_F(InputLineTest, EachTargetKindSendsItsOwnMessage) {
    StartBob();
    Enter("hello?");
    EXPECT_EQ(Lines().last(), System("Please select a recipient for your message"));

    Enter("/q Bob");
    EXPECT_EQ(form->TargetKind, tkCharacter);
    EXPECT_FALSE(form->TargetPanel->isHidden());
    EXPECT_EQ(form->TargetLabel->text(), QStringLiteral("Bob:"));
    Enter("to you");
    ASSERT_TRUE(WaitForBob(1));
    EXPECT_EQ(bobHeard.last(), QStringLiteral("Kara: to you"));

    // Public groups match their exact name only.
    Enter("/query general");
    EXPECT_EQ(form->TargetKind, tkCharacter);
    Enter("/Q General");
    EXPECT_EQ(form->TargetKind, tkPublicGroup);
    EXPECT_EQ(form->TargetLabel->text(), QStringLiteral("General:"));
    Enter("to all");
    ASSERT_TRUE(WaitForBob(2));
    EXPECT_EQ(bobHeard.last(), QStringLiteral("[General] Kara: to all"));
    // No echo: the server returns the message to its sender.
    ASSERT_TRUE(WaitUntil([&] { return Lines().last().contains(QLatin1String("to all")); }));
    EXPECT_TRUE(Lines().last().startsWith(Line("008000", "").chopped(7)));

    // Bob's private group, known to the window by its node.
    ASSERT_TRUE(bob->PrivateGroupInvite("Kara"));
    ASSERT_TRUE(WaitUntil([&] { return serverLog.last().startsWith(QLatin1String("invite")); }));
    ASSERT_TRUE(form->VLChat->PrivateGroupJoin("Bob"));
    ASSERT_TRUE(WaitUntil(
        [&] { return server.PrivateGroupMembers(QStringLiteral("Bob")).contains("Kara"); }));
    QTreeWidgetItem* privateRoot = form->GroupsTreeView->topLevelItem(1);
    ASSERT_EQ(privateRoot->text(0), QStringLiteral("Private Groups"));
    new QTreeWidgetItem(privateRoot, QStringList{QStringLiteral("Bob")});
    Enter("/q bob");
    EXPECT_EQ(form->TargetKind, tkPrivateGroup);
    EXPECT_EQ(form->TargetName, QStringLiteral("bob"));
    Enter("in private");
    ASSERT_TRUE(WaitForBob(3));
    EXPECT_EQ(bobHeard.last(), QStringLiteral("[Bob] Kara: in private"));
}

TEST_F(InputLineTest, QueryingAMutedGroupListensToItAgain) {
    TGroupList& groups = form->VLChat->GroupList();
    const qsizetype general = groups.IndexOfName("General");
    ASSERT_GE(general, 0);
    form->VLChat->MuteGroup(general);
    ASSERT_TRUE(WaitUntil([&] { return groups.Items(general)->Muted(); }));
    Enter("/q General");
    ASSERT_TRUE(WaitUntil([&] { return !groups.Items(general)->Muted(); }));
    EXPECT_TRUE(serverLog.contains(QStringLiteral("unmute Kara General")));
    // Querying a listening group sends nothing more.
    const qsizetype logged = serverLog.size();
    Enter("/q General");
    ProcessPosted();
    EXPECT_EQ(serverLog.size(), logged);
}

TEST_F(InputLineTest, AddBuddyIgnoresTheOwnNameAndClearEmptiesTheConsole) {
    Enter("/addbuddy  kARA ");
    Enter("/ADDBUDDY Bob");
    ASSERT_TRUE(
        WaitUntil([&] { return !serverLog.filter(QStringLiteral("buddy add")).isEmpty(); }));
    EXPECT_EQ(serverLog.filter(QStringLiteral("buddy add")),
              QStringList{QStringLiteral("buddy add Kara + Bob")});

    Enter("/clear");
    EXPECT_EQ(ConsoleLines().size(), 0);
}

TEST_F(InputLineTest, ATellToAnUnknownNameIsNotEchoedAndKeepsTheReference) {
    form->AttachedReference = QByteArray("{\\rtf1 Sword}");
    form->RefListView->show();
    Enter("/tell Nobody <hi>");
    EXPECT_EQ(Lines().last(), Line("FF0000", "Unknown character: Nobody"));
    EXPECT_EQ(Lines().size(), 1);
    EXPECT_TRUE(form->AttachedReference.has_value());
    EXPECT_FALSE(form->RefListView->isHidden());
    // The typed line is kept for another try.
    Press(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(form->InputEdit->toPlainText(), QStringLiteral("/tell Nobody <hi>"));
}

TEST_F(InputLineTest, HistoryKeysWrapAndSkipRepeatsAndEmptyLines) {
    Enter("/q a");
    Enter("/q b");
    Enter("/q b");
    Press(Qt::Key_Return); // empty: nothing added
    EXPECT_EQ(form->InputHistory.Count(), 2);
    Press(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(form->InputEdit->toPlainText(), QStringLiteral("/q b"));
    Press(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(form->InputEdit->toPlainText(), QStringLiteral("/q a"));
    Press(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(form->InputEdit->toPlainText(), QStringLiteral("/q b"));
    // The caret ends up behind the line, nothing selected.
    EXPECT_EQ(form->InputEdit->textCursor().position(), 4);
    EXPECT_FALSE(form->InputEdit->textCursor().hasSelection());
    Press(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(form->InputEdit->toPlainText(), QStringLiteral("/q a"));
    // Up and Down without Shift move the caret as usual.
    Press(Qt::Key_Up);
    EXPECT_EQ(form->InputEdit->toPlainText(), QStringLiteral("/q a"));
}

TEST_F(InputLineTest, ColoursAreSentAsCodesAndResetAfterEachLine) {
    StartBob();
    Enter("/q Bob");
    const plat::TColor red = 0x0000FF;
    // The input font colour is a system colour: compared as RGB.
    const plat::TColor defaultRgb = plat::ColorToRGB(form->DefaultTypingColor());
    form->InputEdit->SetTypingColor(red);
    Type("abc");
    form->InputEdit->SetTypingColor(form->DefaultTypingColor());
    Type("def");
    Press(Qt::Key_Return);
    ASSERT_TRUE(WaitForBob(1));
    EXPECT_EQ(bobHeard.last(), QStringLiteral("Kara: \x10\x0c"
                                              "abc\x12"
                                              "def"));
    EXPECT_EQ(Lines().last(), Echo("Bob", "</font><font color=\"#FF0000\">abc</font>"
                                          "<font color=\"#0000FF\">def"));
    EXPECT_EQ(plat::ColorToRGB(form->InputEdit->TypingColor()), defaultRgb);

    // Enter on an empty line still resets the colour.
    form->InputEdit->SetTypingColor(red);
    Press(Qt::Key_Return);
    EXPECT_EQ(plat::ColorToRGB(form->InputEdit->TypingColor()), defaultRgb);

    // A "/" typed first starts in the default colour, so it stays a command.
    form->InputEdit->SetTypingColor(red);
    Enter("/q Bob");
    EXPECT_EQ(Lines().last(), Echo("Bob", "</font><font color=\"#FF0000\">abc</font>"
                                          "<font color=\"#0000FF\">def"));
    EXPECT_EQ(form->InputHistory.Count(), 3);
    // A "/" that is not first keeps the colour.
    form->InputEdit->SetTypingColor(red);
    Type("x/");
    EXPECT_EQ(form->InputEdit->TypingColor(), red);
    Press(Qt::Key_Escape);
    // Emptying keeps the chosen colour too.
    EXPECT_EQ(form->InputEdit->TypingColor(), red);

    // A line whose first character carries a colour is a message.
    form->InputEdit->insertPlainText(QStringLiteral("/me"));
    Press(Qt::Key_Return);
    ASSERT_TRUE(WaitForBob(2));
    EXPECT_EQ(bobHeard.last(), QStringLiteral("Kara: \x10\x0c/me"));
}

TEST_F(InputLineTest, LineBreaksAndPastedTextArriveAsPlainText) {
    StartBob();
    Enter("/q Bob");
    Type("one");
    Press(Qt::Key_Return, Qt::ShiftModifier);
    Type("two");
    Press(Qt::Key_Return);
    ASSERT_TRUE(WaitForBob(1));
    EXPECT_EQ(bobHeard.last(), QStringLiteral("Kara: one\r\ntwo"));

    auto* mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b><font color=\"#FF0000\">hot</font></b>"));
    mime->setText(QStringLiteral("hot"));
    QGuiApplication::clipboard()->setMimeData(mime);
    const plat::TColor lime = 0x00F700;
    form->InputEdit->SetTypingColor(lime);
    form->InputEdit->paste();
    Press(Qt::Key_Return);
    ASSERT_TRUE(WaitForBob(2));
    // The pasted text takes the typing colour; its own colour and weight go.
    EXPECT_EQ(bobHeard.last(), QStringLiteral("Kara: \x10\x08hot"));
}

class RouterScope {
public:
    RouterScope() : previous_(RouteExceptionsToMainForm()) {}
    ~RouterScope() { plat::SetExceptionHandler(std::move(previous_)); }

private:
    plat::ExceptionHandler previous_;
};

TEST_F(InputLineTest, AGroupTheEngineDoesNotKnowKeepsTheLine) {
    RouterScope router;
    form->TargetKind = tkPublicGroup;
    form->TargetName = QStringLiteral("Gone");
    Enter("still here");
    EXPECT_EQ(form->InputEdit->toPlainText(), QStringLiteral("still here"));
    EXPECT_EQ(form->InputHistory.Count(), 0);
    ASSERT_FALSE(Lines().isEmpty());
    EXPECT_EQ(Lines().last(), Line("FF0000", "List index out of bounds (-1)"));
    EXPECT_EQ(TMainForm::UpdateLockCount(), 0);
}

} // namespace
} // namespace mainformtest
