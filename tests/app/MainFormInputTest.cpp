// The input line against the local chat service: commands and their usage
// lines, sending to each kind of target, history keys, colours, paste.
#include "GoldenRows.h"
#include "MainFormTestSupport.h"

#include "app/mainform/MainFormControls.h"
#include "app/rtf/Rtf.h"
#include "platform/core/Guarded.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

namespace mainformtest {
namespace {

using InputLineTest = LoggedInTest;

TEST_F(InputLineTest, UsageAndUnknownCommandLinesSendNothing) {
    for (const auto& row : GoldenRows("input/usage.txt", 2)) {
        const qsizetype before = Lines().size();
        Enter(QString::fromLatin1(row[0]));
        EXPECT_EQ(Lines().mid(before), QStringList{System(QString::fromLatin1(row[1]))})
            << row[0].data();
    }
    EXPECT_EQ(form->Target().Kind(), tkNone);
    ProcessPosted();
    EXPECT_TRUE(serverLog.filter(QStringLiteral("tell")).isEmpty());
}

TEST_F(InputLineTest, TellsKeepTheirSpacingRepliesFollowAndHistoryWraps) {
    Enter("/tell Bob   hi  there");
    ASSERT_TRUE(WaitForBob(1));
    EXPECT_EQ(bobHeard.last(), QStringLiteral("Kara:   hi  there"));
    EXPECT_EQ(Lines().last(), Line("0000FF", "To [" + CharLink("Bob") + "]:   hi  there</font>"));
    EXPECT_TRUE(Typed().isEmpty());

    ASSERT_TRUE(bob->SendPrivateMessage("Kara", "psst"));
    ASSERT_TRUE(WaitUntil([&] { return form->LastTellSender == QLatin1String("Bob"); }));
    Enter("/r ");
    EXPECT_EQ(Lines().last(), System("/REPLY &lt;Text&gt;"));
    Enter("/R  x");
    Enter("/R  x");
    Press(Qt::Key_Return); // empty: nothing sent, nothing kept
    ASSERT_TRUE(WaitForBob(3));
    EXPECT_EQ(bobHeard.last(), QStringLiteral("Kara:  x"));

    // History: no repeats; Shift+Up and Shift+Down wrap; Esc empties.
    Press(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Typed(), QStringLiteral("/R  x"));
    EXPECT_EQ(form->InputEdit->textCursor().position(), 5);
    for (int i = 0; i < 3; ++i) { // "/r " is between them
        Press(Qt::Key_Up, Qt::ShiftModifier);
    }
    EXPECT_EQ(Typed(), QStringLiteral("/R  x")); // wrapped
    Press(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Typed(), QStringLiteral("/tell Bob   hi  there"));
    Press(Qt::Key_Escape);
    EXPECT_TRUE(Typed().isEmpty());
}

TEST_F(InputLineTest, EachTargetKindSendsItsOwnMessage) {
    Enter("hello?");
    EXPECT_EQ(Lines().last(), System("Please select a recipient for your message"));
    Enter("/q Bob");
    EXPECT_EQ(form->TargetLabel->text(), QStringLiteral("Bob:"));
    Enter("to you");

    // A public group by its exact name only; querying it listens to it again.
    TGroupList& groups = form->VLChat->GroupList();
    const qsizetype general = groups.IndexOfName("General");
    form->VLChat->MuteGroup(general);
    ASSERT_TRUE(WaitUntil([&] { return groups.Items(general)->Muted(); }));
    Enter("/query general");
    EXPECT_EQ(form->Target().Kind(), tkCharacter);
    Enter("/Q General");
    EXPECT_EQ(form->Target().Kind(), tkPublicGroup);
    ASSERT_TRUE(WaitUntil([&] { return !groups.Items(general)->Muted(); }));
    Enter("to all");

    // Bob's private group, known to the window by its node.
    ASSERT_TRUE(bob->PrivateGroupInvite("Kara"));
    ASSERT_TRUE(WaitUntil([&] { return serverLog.last().startsWith(QLatin1String("invite")); }));
    ASSERT_TRUE(form->VLChat->PrivateGroupJoin("Bob"));
    form->AddPrivateGroupNode(QStringLiteral("Bob"));
    Enter("/q bob");
    EXPECT_EQ(form->Target().Kind(), tkPrivateGroup);
    Enter("in private");
    ASSERT_TRUE(WaitForBob(3));
    EXPECT_EQ(bobHeard,
              (QStringList{"Kara: to you", "[General] Kara: to all", "[Bob] Kara: in private"}));
    EXPECT_TRUE(serverLog.contains(QStringLiteral("unmute Kara General")));
}

TEST_F(InputLineTest, BuddiesClearingAndTellsToUnknownNames) {
    Enter("/addbuddy  kARA ");
    Enter("/ADDBUDDY Bob");
    ASSERT_TRUE(WaitUntil([&] { return !serverLog.filter("buddy add").isEmpty(); }));
    EXPECT_EQ(serverLog.filter("buddy add"), QStringList{"buddy add Kara + Bob"});
    Enter("/clear");
    EXPECT_TRUE(ConsoleLines().isEmpty());

    // No echo and no private.log line, an error line, and the reference
    // stays for another try.
    QTemporaryDir logs;
    form->Settings.LoggingFolder = logs.path() + u'/';
    form->Settings.Logging = true;
    form->AttachedReference = QByteArray("{\\rtf1 Sword}");
    form->RefListView->show();
    Enter("/tell Nobody <hi>");
    EXPECT_EQ(ConsoleLines(), QStringList{Line("FF0000", "Unknown character: Nobody")});
    EXPECT_TRUE(form->AttachedReference.has_value());
    EXPECT_FALSE(form->RefListView->isHidden());
    form->DropReference();
    Enter("/t bob hi");
    QFile log(logs.filePath(QStringLiteral("private.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray written = log.readAll();
    EXPECT_TRUE(written.endsWith("To [bob]: hi\r\n"));
    EXPECT_FALSE(written.contains("Nobody"));
    // Closing the window writes the stop headers: it goes while the folder is
    // still there, or the log writer would make the folder again.
    form.reset();
    EXPECT_TRUE(QFile(logs.filePath(QStringLiteral("private.log"))).size() > written.size());
}

TEST_F(InputLineTest, AnAttachedReferenceGoesWithTheNextMessageOnly) {
    QTextDocument reference;
    QTextCursor cursor(&reference);
    QTextCharFormat red;
    red.setForeground(QColor(0xFF, 0, 0));
    cursor.insertText(QStringLiteral("Sword"), red);
    cursor.insertText(QStringLiteral(":\tgood"), QTextCharFormat());
    form->AttachedReference = rtf::Write(reference);
    form->RefListView->show();
    Enter("/q Bob");
    Type("see ");
    form->InputEdit->SetTypingColor(ColorOfCode(QString(ReferenceCode)));
    Type("Sword");
    form->InputEdit->SetTypingColor(0x0000FF); // only the reference colour counts now
    Type("!");
    Press(Qt::Key_Return);
    EXPECT_FALSE(form->AttachedReference.has_value());
    EXPECT_TRUE(form->RefListView->isHidden());
    EXPECT_TRUE(Lines().last().contains(QLatin1String("<a name=\"reflink\"")));
    Enter("again");
    ASSERT_TRUE(WaitForBob(2));
    EXPECT_EQ(bobHeard,
              (QStringList{"Kara: see \x11Sword!\x12 +TTextBlob(\x10\x0cSword\x12:\tgood)",
                           "Kara: again"}));
}

// The reference list is shown exactly while a reference is attached: hidden
// with the chat controls at a disconnect, by the user or by the service, and
// shown again at the next login when the reference is still attached, which
// then goes with the next message.
TEST_F(InputLineTest, TheReferenceListFollowsTheAttachmentOverADisconnectAndALogin) {
    QTextDocument sword;
    QTextCursor(&sword).insertText(QStringLiteral("Sword"));
    struct Row {
        bool attached;
        bool byService;
        const char* heard;
    };
    const Row rows[] = {
        {false, false, "Kara: plain"},
        {true, false, "Kara: \x11Sword\x12 +TTextBlob(Sword)"},
        {true, true, "Kara: \x11Sword\x12 +TTextBlob(Sword)"},
    };
    Enter("/q Bob");
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << "attached " << row.attached << ", by service " << row.byService);
        if (row.attached) {
            form->AttachReference(rtf::Write(sword), QStringLiteral("Sword"));
        } else {
            Type("plain");
        }
        EXPECT_EQ(form->RefListView->isHidden(), !row.attached);
        if (row.byService) {
            ASSERT_TRUE(server->DisconnectCharacter(QStringLiteral("Kara")));
        } else {
            form->DisconnectAction->trigger();
        }
        ASSERT_TRUE(WaitUntil([&] { return form->VLChat->State() == csDisconnected; }));
        EXPECT_TRUE(form->RefListView->isHidden());
        EXPECT_EQ(form->AttachedReference.has_value(), row.attached);

        ASSERT_TRUE(LogInWindow());
        EXPECT_EQ(form->RefListView->isHidden(), !row.attached);
        EXPECT_EQ(form->TargetLabel->text(), QStringLiteral("Bob:"));
        const qsizetype heard = bobHeard.size();
        Press(Qt::Key_Return);
        ASSERT_TRUE(WaitForBob(heard + 1));
        EXPECT_EQ(bobHeard.last(), QString::fromLatin1(row.heard));
        EXPECT_FALSE(form->AttachedReference.has_value());
        EXPECT_TRUE(form->RefListView->isHidden());
    }
}

TEST_F(InputLineTest, ColoursBecomeCodesAndPastedTextIsPlain) {
    Enter("/q Bob");
    const plat::TColor red = 0x0000FF;
    const plat::TColor defaultRgb = plat::ColorToRGB(form->DefaultTypingColor());
    form->InputEdit->SetTypingColor(red);
    Type("abc");
    form->InputEdit->SetTypingColor(form->DefaultTypingColor());
    Type("def");
    Press(Qt::Key_Return, Qt::ShiftModifier); // a line break inside the message
    Type("g");
    Press(Qt::Key_Return);
    EXPECT_EQ(plat::ColorToRGB(form->InputEdit->TypingColor()), defaultRgb);
    EXPECT_EQ(Lines().last(), Line("0000FF", "To [" + CharLink("Bob") +
                                                 "]: </font><font color=\"#FF0000\">abc</font>"
                                                 "<font color=\"#0000FF\">def<br>g</font>"));

    // A "/" typed first starts in the default colour, so the line stays a command.
    form->InputEdit->SetTypingColor(red);
    Enter("/q Bob");
    form->InputEdit->SetTypingColor(red);
    Type("x/");
    EXPECT_EQ(form->InputEdit->TypingColor(), red);
    Press(Qt::Key_Escape);
    EXPECT_EQ(form->InputEdit->TypingColor(), red); // emptying keeps the colour
    // A first character with a colour makes a message.
    form->InputEdit->insertPlainText(QStringLiteral("/me"));
    Press(Qt::Key_Return);

    auto* mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b><font color=\"#FF0000\">hot</font></b>"));
    mime->setText(QStringLiteral("hot"));
    QGuiApplication::clipboard()->setMimeData(mime);
    form->InputEdit->SetTypingColor(0x00F700);
    form->InputEdit->paste();
    Press(Qt::Key_Return);
    ASSERT_TRUE(WaitForBob(3));
    EXPECT_EQ(bobHeard, (QStringList{"Kara: \x10\x0c"
                                     "abc\x12"
                                     "def\r\ng",
                                     "Kara: \x10\x0c/me", "Kara: \x10\x08hot"}));
}

TEST_F(InputLineTest, AGroupTheEngineDoesNotKnowKeepsTheLine) {
    {
        const plat::ScopedExceptionHandler router(MainFormExceptionHandler());
        form->Target().Set(tkPublicGroup, QStringLiteral("Gone"));
        Enter("still here");
    }
    EXPECT_EQ(Typed(), QStringLiteral("still here"));
    EXPECT_EQ(form->InputHistory.Count(), 0);
    EXPECT_EQ(Lines(), QStringList{Line("FF0000", "List index out of bounds (-1)")});
    EXPECT_EQ(TMainForm::UpdateLockCount(), 0);
}

} // namespace
} // namespace mainformtest
