// Away mode against the local chat service: the automatic reply and its
// throttle, the away log with its unread count and the question on return,
// away cancelled by sending, and automatic away after idle time.
#include "MainFormInputSupport.h"

#include "app/AwayList.h"
#include "app/MainFormControls.h"
#include "app/kit/Kit.h"
#include "platform/core/Clock.h"
#include "platform/core/Exception.h"

#include <QAction>
#include <QListWidget>
#include <QTimer>

namespace mainformtest {
namespace {

TEST(AwayListTest, SendersAreFoundIgnoringAsciiCaseAndOwnTheirMessages) {
    TAwayList list;
    TAwayCharacter* bob = list.Add();
    bob->SetName(QStringLiteral("Bob"));
    list.Add()->SetName(QStringLiteral("\u00c9lan"));
    EXPECT_EQ(list.IndexOf(u"bOB"), 0);
    EXPECT_EQ(list.IndexOf(u"\u00e9lan"), -1); // only ASCII letters fold
    EXPECT_EQ(list.IndexOf(u"Bo"), -1);

    const QDateTime before = QDateTime::currentDateTime();
    bob->Messages().Add()->SetText(QStringLiteral("\x10\x0chi"));
    bob->Messages().Add()->SetText(QStringLiteral("again"));
    EXPECT_EQ(bob->Messages().Count(), 2);
    EXPECT_EQ(bob->Messages().Items(0)->Text(), QStringLiteral("\x10\x0chi"));
    EXPECT_GE(bob->Messages().Items(1)->Time(), before);
    EXPECT_THROW(bob->Messages().Items(2), plat::EListError);
    EXPECT_THROW(list.Items(-1), plat::EListError);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.IndexOf(u"Bob"), -1);
}

constexpr int64_t kStart = 10'000'000;

class AwayTest : public LoggedInTest {
protected:
    void SetUp() override {
        LoggedInTest::SetUp();
        boxHandler = std::make_unique<plat::ScopedMsgBoxHandler>([this](const auto& request) {
            questions << request.Text;
            return answer;
        });
        StartBob();
    }
    void TearDown() override {
        boxHandler.reset();
        LoggedInTest::TearDown();
    }

    // Bob tells Kara; returns once the tell line (and any reply) is written.
    void BobTells(const QByteArray& text) {
        const qsizetype lines = Lines().size();
        ASSERT_TRUE(bob->SendPrivateMessage("Kara", text));
        ASSERT_TRUE(WaitForLines(lines + 1));
    }
    // The replies Kara sent, as Kara's console shows them.
    QStringList Replies() const { return Lines().filter(QStringLiteral("I am away")); }

    plat::ManualClock clock{kStart};
    std::unique_ptr<plat::ScopedMsgBoxHandler> boxHandler;
    plat::MsgResult answer = plat::MsgResult::No;
    QStringList questions;
};

const QString kLunchReply = QStringLiteral(
    "I am away from my keyboard right now, \"lunch\", your message has been logged.");

TEST_F(AwayTest, RepliesAtMostOncePerMinuteAndLogsEveryTell) {
    Enter("/away  lunch ");
    EXPECT_EQ(Lines().last(), Line("800000", "System Message: You are now set away</font>"));
    EXPECT_EQ(form->StatusBar->PanelText(0), QStringLiteral("Kara - Away"));
    EXPECT_EQ(form->AwayReason, QStringLiteral("lunch"));

    BobTells("hi");
    ASSERT_TRUE(WaitForBob(1));
    EXPECT_EQ(bobHeard.last(), QStringLiteral("Kara: ") + kLunchReply);
    EXPECT_EQ(Lines().last(),
              Line("0000FF", "To [" + CharLink("Bob") + "]: " + kLunchReply + "</font>"));
    clock.Advance(30'000);
    BobTells("\x10\x0cstill there?");
    clock.Advance(29'999);
    BobTells("hello?");
    EXPECT_EQ(Replies().size(), 1);
    clock.Advance(1);
    BobTells("now?");
    EXPECT_EQ(Replies().size(), 2);

    ASSERT_EQ(form->AwayList->Count(), 1);
    const TAwayCharacter* logged = form->AwayList->Items(0);
    EXPECT_EQ(logged->Name(), QStringLiteral("Bob"));
    ASSERT_EQ(logged->Messages().Count(), 4);
    EXPECT_EQ(logged->Messages().Items(1)->Text(), QStringLiteral("\x10\x0cstill there?"));
    EXPECT_EQ(form->UnreadAwayMessages, 4);
    EXPECT_TRUE(form->AwayMessagesAction->isEnabled());
    // The automatic reply never ends away mode, even when sending does.
    form->Settings.AwayAutoCancel = true;
    clock.Advance(60'000);
    BobTells("last");
    EXPECT_EQ(Replies().size(), 3);
    EXPECT_TRUE(form->Away);
}

TEST_F(AwayTest, ReturningAsksAboutUnreadMessagesUntilAnswered) {
    Enter("/afk");
    BobTells("one");
    BobTells("two");
    form->AwayList->Items(0)->SetTag(1);
    BobTells("three");
    EXPECT_EQ(form->AwayList->Items(0)->Tag(), 0); // unread again
    Type("half typed");
    form->SetBack();
    EXPECT_EQ(Lines().last(), Line("800000", "System Message: You are now set back</font>"));
    EXPECT_EQ(form->StatusBar->PanelText(0), QStringLiteral("Kara"));
    EXPECT_EQ(questions,
              QStringList{QStringLiteral("You have 3 new away messages.  Would you like to view \n"
                                         "your messages?")});
    EXPECT_TRUE(form->InputEdit->toPlainText().isEmpty());
    EXPECT_EQ(form->UnreadAwayMessages, 3); // No keeps them

    // Back while not away: no line, no question.
    const qsizetype lines = Lines().size();
    Enter("/back");
    EXPECT_EQ(Lines().size(), lines);
    EXPECT_EQ(questions.size(), 1);

    form->AwayActionExecute();
    EXPECT_TRUE(form->Away);
    EXPECT_EQ(form->AwayAction->text(), QStringLiteral("Set Yourself Back"));
    answer = plat::MsgResult::Yes;
    form->AwayActionExecute();
    EXPECT_FALSE(form->Away);
    EXPECT_EQ(form->AwayAction->text(), QStringLiteral("Set Yourself Away"));
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(form->UnreadAwayMessages, 0);
    // The log itself stays.
    EXPECT_EQ(form->AwayList->Items(0)->Messages().Count(), 3);

    form->AwayActionExecute();
    form->AwayActionExecute();
    EXPECT_EQ(questions.size(), 2); // nothing unread: no question
}

TEST_F(AwayTest, ReplyTextFollowsReasonAndLoggingAndANewReasonResetsTheThrottle) {
    Enter("/away");
    BobTells("a");
    ASSERT_TRUE(WaitForBob(1));
    EXPECT_EQ(bobHeard.last(),
              QStringLiteral("Kara: I am away from my keyboard right now, your message has been "
                             "logged."));
    form->Settings.AwayLogging = false;
    Enter("/away lunch");
    EXPECT_TRUE(form->Away);
    BobTells("b");
    ASSERT_TRUE(WaitForBob(2));
    EXPECT_EQ(bobHeard.last(),
              QStringLiteral("Kara: I am away from my keyboard right now, \"lunch\"."));
    Enter("/away  ");
    EXPECT_FALSE(form->Away); // no reason while away: back
    // A reason of nothing but codes and blanks is none.
    form->InputEdit->insertPlainText(QStringLiteral("/away \x10\x0c \x12"));
    Press(Qt::Key_Return);
    EXPECT_TRUE(form->Away);
    BobTells("c");
    ASSERT_TRUE(WaitForBob(3));
    EXPECT_EQ(bobHeard.last(), QStringLiteral("Kara: I am away from my keyboard right now."));
    EXPECT_EQ(form->UnreadAwayMessages, 3); // logged without AwayLogging too
}

TEST_F(AwayTest, SendingEndsAwayWhenConfiguredAndTheLineStaysInTheHistory) {
    Enter("/away");
    BobTells("x");
    Enter("/tell Bob typed");
    EXPECT_TRUE(form->Away); // AwayAutoCancel is off

    form->Settings.AwayAutoCancel = true;
    Enter("/tell Bob typed again");
    EXPECT_FALSE(form->Away);
    EXPECT_EQ(questions.size(), 1);
    Press(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(form->InputEdit->toPlainText(), QStringLiteral("/tell Bob typed again"));
    Press(Qt::Key_Escape);

    Enter("/away");
    Enter("/q General");
    const int64_t before = form->LastActivity;
    clock.Advance(5);
    Enter("to the group");
    EXPECT_FALSE(form->Away);
    EXPECT_EQ(form->LastActivity, kStart + 5);
    EXPECT_GT(form->LastActivity, before);
}

TEST_F(AwayTest, TheAutomaticReplyLeavesTheAttachedReferenceAlone) {
    form->AttachedReference = QByteArray("{\\rtf1 Sword}");
    form->RefListView->show();
    Enter("/away");
    BobTells("hey");
    ASSERT_TRUE(WaitForBob(1));
    EXPECT_EQ(bobAttachments.last(), QString());
    EXPECT_TRUE(form->AttachedReference.has_value());
    EXPECT_FALSE(form->RefListView->isHidden());
}

TEST_F(AwayTest, IdleTimeSetsAwayOnceLoggedInAndNotAlreadyAway) {
    form->Settings.AutoAway = true;
    form->Settings.AutoAwayIdle = 1;
    EXPECT_EQ(form->LastActivity, kStart); // the login counted
    clock.Advance(59'999);
    form->AwayTimerTimer();
    EXPECT_FALSE(form->Away);
    clock.Advance(1);
    form->AwayTimerTimer();
    EXPECT_TRUE(form->Away);
    EXPECT_EQ(form->AwayReason, QStringLiteral("Auto-away after 10 minutes"));
    const qsizetype lines = Lines().size();
    clock.Advance(60'000);
    form->AwayTimerTimer();
    EXPECT_EQ(Lines().size(), lines);

    // Back counts as activity.
    Enter("/back");
    clock.Advance(59'999);
    form->AwayTimerTimer();
    EXPECT_FALSE(form->Away);

    form->Settings.AutoAwayIdle = 0;
    clock.Advance(3'600'000);
    form->AwayTimerTimer();
    EXPECT_FALSE(form->Away);

    form->Settings.AutoAwayIdle = 1;
    form->Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return form->VLChat->State() == csDisconnected; }));
    form->AwayTimerTimer();
    EXPECT_FALSE(form->Away);
    EXPECT_FALSE(form->AwayAction->isEnabled());
}

class AutoAwayStartTest : public LoggedInTest {
protected:
    void StoreSettings(plat::Registry::Key& root) override {
        root.WriteBool(QStringLiteral("AutoAway"), true);
    }
};

TEST_F(AutoAwayStartTest, TheTimerRunsFromCreationAndChecksEveryFiveSeconds) {
    EXPECT_TRUE(form->AwayTimer->isActive());
    EXPECT_EQ(form->AwayTimer->interval(), 5000);
    EXPECT_TRUE(form->AwayAction->isEnabled());
    form->LastActivity -= 10 * 60'000;
    // The timer's own tick does the check.
    ASSERT_TRUE(QMetaObject::invokeMethod(form->AwayTimer, "timeout"));
    EXPECT_TRUE(form->Away);
}

} // namespace
} // namespace mainformtest
