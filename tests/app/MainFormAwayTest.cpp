// Away mode against the local chat service: the automatic reply and its
// throttle, the away log with its unread count and the question on return,
// away ended by sending, and automatic away after idle time.
#include "MainFormInputSupport.h"

#include "app/away/AwayList.h"
#include "app/kit/Kit.h"
#include "app/mainform/MainFormControls.h"
#include "platform/core/Clock.h"
#include "platform/core/Exception.h"

#include <QAction>
#include <QListWidget>
#include <QTimer>

namespace mainformtest {
namespace {

TEST(AwayListTest, SendersAreFoundIgnoringAsciiCaseAndOwnTheirMessages) {
    TAwayList list;
    list.Add()->SetName(QStringLiteral("\u00c9lan"));
    TAwayCharacter* bob = list.Add();
    bob->SetName(QStringLiteral("Bob"));
    EXPECT_EQ(list.IndexOf(u"bOB"), 1);
    EXPECT_EQ(list.IndexOf(u"\u00e9lan"), -1);
    const QDateTime before = QDateTime::currentDateTime();
    bob->Messages().Add()->SetText(QStringLiteral("\x10\x0chi"));
    EXPECT_EQ(bob->Messages().Items(0)->Text(), QStringLiteral("\x10\x0chi"));
    EXPECT_GE(bob->Messages().Items(0)->Time(), before);
    EXPECT_THROW(bob->Messages().Items(1), plat::EListError);
    list.Clear();
    EXPECT_EQ(list.IndexOf(u"Bob"), -1);
    EXPECT_THROW(list.Items(0), plat::EListError);
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
    }
    void TearDown() override {
        boxHandler.reset();
        LoggedInTest::TearDown();
    }
    // Bob tells Kara; returns once the tell line (and any reply) is written.
    void BobTells(const QByteArray& text) {
        const qsizetype lines = Lines().size();
        ASSERT_TRUE(bob->SendPrivateMessage("Kara", text));
        ASSERT_TRUE(WaitUntil([&] { return Lines().size() > lines; }));
    }
    qsizetype Replies() const { return Lines().filter(QStringLiteral("I am away")).size(); }

    plat::ManualClock clock{kStart}; // before the window: login activity at kStart
    std::unique_ptr<plat::ScopedMsgBoxHandler> boxHandler;
    plat::MsgResult answer = plat::MsgResult::No;
    QStringList questions;
};

TEST_F(AwayTest, RepliesAtMostOncePerMinuteAndLogsEveryTell) {
    Enter("/away  lunch ");
    EXPECT_EQ(Lines().last(), Line("800000", "System Message: You are now set away</font>"));
    EXPECT_EQ(form->StatusBar->PanelText(0), QStringLiteral("Kara - Away"));
    form->Settings.AwayAutoCancel = true; // never for the automatic reply
    BobTells("hi");
    const QString reply = QStringLiteral(
        "I am away from my keyboard right now, \"lunch\", your message has been logged.");
    EXPECT_EQ(Lines().last(), Line("0000FF", "To [" + CharLink("Bob") + "]: " + reply + "</font>"));
    clock.Advance(30'000);
    BobTells("\x10\x0cstill there?");
    clock.Advance(29'999);
    BobTells("hello?");
    EXPECT_EQ(Replies(), 1);
    clock.Advance(1);
    BobTells("now?");
    ASSERT_TRUE(WaitForBob(2));
    EXPECT_EQ(bobHeard, (QStringList{"Kara: " + reply, "Kara: " + reply}));
    EXPECT_TRUE(form->Away);

    ASSERT_EQ(form->Away.List().Count(), 1);
    const TAwayMessageList& logged = form->Away.List().Items(0)->Messages();
    ASSERT_EQ(logged.Count(), 4);
    EXPECT_EQ(logged.Items(1)->Text(), QStringLiteral("\x10\x0cstill there?"));
    EXPECT_EQ(form->Away.Unread(), 4);
    EXPECT_TRUE(form->AwayMessagesAction->isEnabled());

    // A new reason answers everyone again at once.
    Enter("/afk dinner");
    BobTells("and now?");
    EXPECT_EQ(Replies(), 3);
    EXPECT_TRUE(Lines().last().contains(QLatin1String("\"dinner\"")));
}

TEST_F(AwayTest, ReplyTextFollowsReasonAndLogging) {
    Enter("/away");
    BobTells("a");
    form->Settings.AwayLogging = false;
    Enter("/away lunch");
    BobTells("b");
    Enter("/away  "); // no reason while away: back
    EXPECT_FALSE(form->Away);
    form->InputEdit->insertPlainText(QStringLiteral("/away \x10\x0c \x12"));
    Press(Qt::Key_Return); // codes and blanks are no reason
    BobTells("c");
    ASSERT_TRUE(WaitForBob(3));
    EXPECT_EQ(bobHeard,
              (QStringList{"Kara: I am away from my keyboard right now, your message has been "
                           "logged.",
                           "Kara: I am away from my keyboard right now, \"lunch\".",
                           "Kara: I am away from my keyboard right now."}));
    EXPECT_EQ(form->Away.Unread(), 3); // logged without AwayLogging too
}

TEST_F(AwayTest, ReturningAsksAboutUnreadMessagesUntilAnswered) {
    form->AwayActionExecute();
    EXPECT_EQ(form->AwayAction->text(), QStringLiteral("Set Yourself Back"));
    BobTells("one");
    form->Away.List().Items(0)->SetTag(1);
    BobTells("two");
    EXPECT_EQ(form->Away.List().Items(0)->Tag(), 0); // unread again
    Type("half typed");
    form->AwayActionExecute();
    EXPECT_EQ(Lines().last(), Line("800000", "System Message: You are now set back</font>"));
    EXPECT_EQ(form->StatusBar->PanelText(0), QStringLiteral("Kara"));
    EXPECT_EQ(form->AwayAction->text(), QStringLiteral("Set Yourself Away"));
    EXPECT_EQ(questions, QStringList{"You have 2 new away messages.  Would you like to view \n"
                                     "your messages?"});
    EXPECT_TRUE(Typed().isEmpty());
    EXPECT_EQ(form->Away.Unread(), 2); // No keeps them

    const qsizetype lines = Lines().size();
    Enter("/back"); // not away: no line, no question
    EXPECT_EQ(Lines().size(), lines);
    Enter("/away");
    answer = plat::MsgResult::Yes;
    Enter("/back");
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(form->Away.Unread(), 0);
    EXPECT_EQ(form->Away.List().Items(0)->Messages().Count(), 2); // the log stays
    Enter("/away");
    Enter("/back");
    EXPECT_EQ(questions.size(), 2); // nothing unread: no question
}

TEST_F(AwayTest, SendingEndsAwayOnlyWhenConfiguredAndKeepsTheLine) {
    form->AttachedReference = QByteArray("{\\rtf1 Sword}");
    form->RefListView->show();
    Enter("/away");
    BobTells("x");
    // The automatic reply took no attachment and left the reference alone.
    ASSERT_TRUE(WaitForBob(1));
    EXPECT_EQ(bobHeard.first(),
              QStringLiteral("Kara: I am away from my keyboard right now, your message has been "
                             "logged."));
    EXPECT_TRUE(form->AttachedReference.has_value());
    EXPECT_FALSE(form->RefListView->isHidden());
    form->DropReference();
    Enter("/tell Bob typed");
    EXPECT_TRUE(form->Away);

    form->Settings.AwayAutoCancel = true;
    clock.Advance(5);
    Enter("/tell Bob typed again");
    EXPECT_FALSE(form->Away);
    EXPECT_EQ(form->Away.LastActivity(), kStart + 5);
    EXPECT_EQ(questions.size(), 1); // the question emptied the line meanwhile
    Press(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Typed(), QStringLiteral("/tell Bob typed again"));
    Press(Qt::Key_Escape);

    Enter("/away");
    Enter("/q General");
    Enter("to the group");
    EXPECT_FALSE(form->Away);
}

TEST_F(AwayTest, IdleTimeSetsAwayWhileLoggedIn) {
    form->Settings.AutoAway = true;
    form->Settings.AutoAwayIdle = 1;
    clock.Advance(59'999);
    ASSERT_TRUE(QMetaObject::invokeMethod(form->AwayTimer, "timeout")); // the timer's tick
    EXPECT_FALSE(form->Away);
    clock.Advance(1);
    ASSERT_TRUE(QMetaObject::invokeMethod(form->AwayTimer, "timeout"));
    EXPECT_EQ(form->Away.Reason(), QStringLiteral("Auto-away after 10 minutes"));
    const qsizetype lines = Lines().size();
    clock.Advance(60'000);
    form->AwayTimerTimer(); // already away: nothing
    EXPECT_EQ(Lines().size(), lines);

    Enter("/back"); // back counts as activity
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

} // namespace
} // namespace mainformtest
