// Away mode in the main window against the local chat service: the
// automatic reply, the away log with the question on return, away ended by
// sending, and automatic away after idle time.
#include "MainFormTestSupport.h"

#include "app/mainform/MainFormControls.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "platform/core/Clock.h"
#include "platform/gui/ImageList.h"

#include <QAction>
#include <QListWidget>
#include <QTimer>

namespace mainformtest {
namespace {

constexpr int64_t kStart = 10'000'000;
const QString kReply = QStringLiteral(
    "I am away from my keyboard right now, \"lunch\", your message has been logged.");

class AwayTest : public LoggedInTest {
protected:
    // Bob tells Kara; returns once the tell line (and any reply) is written.
    void BobTells(const QByteArray& text) {
        const qsizetype lines = Lines().size();
        ASSERT_TRUE(bob->SendPrivateMessage("Kara", text));
        ASSERT_TRUE(WaitUntil([&] { return Lines().size() > lines; }));
    }
    qsizetype Replies() const { return Lines().filter(QStringLiteral("I am away")).size(); }

    plat::ManualClock clock{kStart}; // before the window: login activity at kStart
};

TEST_F(AwayTest, TellsAreLoggedAndAnsweredOncePerMinute) {
    Enter("/away  lunch ");
    EXPECT_EQ(Lines().last(), System("You are now set away"));
    EXPECT_EQ(form->StatusBar->Panels().Items(0)->Caption(), QStringLiteral("Kara - Away"));
    form->Settings.AwayAutoCancel = true; // never for the automatic reply
    BobTells("hi");
    EXPECT_EQ(Lines().last(),
              Line("0000FF", "To [" + CharLink("Bob") + "]: " + kReply + "</font>"));
    BobTells("\x10\x0cstill there?");
    EXPECT_EQ(Replies(), 1);
    ASSERT_TRUE(WaitForBob(1));
    EXPECT_EQ(bobHeard, QStringList{"Kara: " + kReply});
    EXPECT_TRUE(form->Away);
    EXPECT_EQ(form->Away.Unread(), 2);
    EXPECT_EQ(form->Away.List().Items(0)->Messages().Items(1)->Text(),
              QStringLiteral("\x10\x0cstill there?"));
    EXPECT_TRUE(form->AwayMessagesAction->isEnabled());
}

TEST_F(AwayTest, ReturningAsksAboutUnreadMessagesUntilAnswered) {
    boxAnswer = plat::MsgResult::No;
    form->AwayActionExecute();
    EXPECT_EQ(form->AwayAction->text(), QStringLiteral("Set Yourself Back"));
    BobTells("one");
    BobTells("two");
    Type("half typed");
    form->AwayActionExecute();
    EXPECT_EQ(Lines().last(), System("You are now set back"));
    EXPECT_EQ(form->StatusBar->Panels().Items(0)->Caption(), QStringLiteral("Kara"));
    EXPECT_EQ(form->AwayAction->text(), QStringLiteral("Set Yourself Away"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, QStringLiteral("You have 2 new away messages.  Would you like to "
                                            "view \nyour messages?"));
    EXPECT_TRUE(Typed().isEmpty());
    EXPECT_EQ(form->Away.Unread(), 2); // No keeps them

    const qsizetype lines = Lines().size();
    Enter("/back"); // not away: no line, no question
    EXPECT_EQ(Lines().size(), lines);
    Enter("/away");
    boxAnswer = plat::MsgResult::Yes;
    Enter("/back");
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(form->Away.Unread(), 0);
    EXPECT_TRUE(form->findChild<QWidget*>(QStringLiteral("AwayMessagesForm"))->isVisible());
    Enter("/away");
    Enter("/back");
    EXPECT_EQ(boxes.size(), 2u); // nothing unread: no question
}

TEST_F(AwayTest, SendingEndsAwayOnlyWhenConfiguredAndKeepsTheLine) {
    form->AttachedReference = QByteArray("{\\rtf1 Sword}");
    form->RefListView->show();
    Enter("/away");
    BobTells("x");
    // The automatic reply took no attachment and left the reference alone.
    ASSERT_TRUE(WaitForBob(1));
    EXPECT_EQ(bobHeard.first(), QStringLiteral("Kara: I am away from my keyboard right now, "
                                               "your message has been logged."));
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
    EXPECT_EQ(boxes.size(), 1u); // the question emptied the line meanwhile
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

    Enter("/back");
    form->Disconnect(); // not logged in: never away
    ASSERT_TRUE(WaitUntil([&] { return form->VLChat->State() == csDisconnected; }));
    clock.Advance(60'000);
    form->AwayTimerTimer();
    EXPECT_FALSE(form->Away);
    EXPECT_FALSE(form->AwayAction->isEnabled());
}

} // namespace
} // namespace mainformtest
