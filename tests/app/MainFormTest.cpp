// The main window's creation, its start-up login choice, the busy and
// paint-lock counters and the chat controls.
#include "MainFormTestSupport.h"

#include "app/mainform/MainFormControls.h"
#include "console/QvConsole.h"
#include "platform/core/Exception.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTimer>

namespace mainformtest {
namespace {

const QString kWelcome =
    QStringLiteral("<b>Welcome to Vellinor</b></font><font color=\"clBlue\"><hr></font>");

TEST_F(MainFormTest, CreationLeavesTheWindowWaitingWithItsWelcomeLine) {
    StoredRoot().WriteBool(QStringLiteral("TimestampChat"), true);
    StoredRoot().WriteInteger(QStringLiteral("OutputMemo_FontColor"), 0x0000FF);
    StoredRoot().WriteBool(QStringLiteral("AutoAway"), true);
    TMainForm& f = Create();

    // The welcome line has no timestamp block although chat lines get one,
    // and it is written in the console font's colour read from the settings.
    ASSERT_EQ(ConsoleLines(), QStringList{"<font color=\"#FF0000\">" + kWelcome + "</font>"});

    EXPECT_TRUE(f.InputEdit->isHidden());
    EXPECT_TRUE(f.TargetPanel->isHidden());
    EXPECT_TRUE(f.RefListView->isHidden());
    EXPECT_FALSE(f.OutputMemo->isEnabled());
    EXPECT_FALSE(f.FriendsTreeView->isEnabled());
    EXPECT_FALSE(f.GroupsTreeView->isEnabled());
    EXPECT_FALSE(f.DisconnectAction->isEnabled());
    EXPECT_TRUE(f.AwayTimer->isActive());
    EXPECT_EQ(f.ReceivedAttachments.MaxCount(), f.OutputMemo->Limit());
}

// The built-in dimensions are marked before the user's are loaded, so only
// the user's are written back.
TEST_F(MainFormTest, OnlyUserDimensionsAreStoredAgain) {
    auto key = *Stored().OpenKey({"Dimensions", "Local"}, true);
    key.WriteString(QStringLiteral("Host"), QStringLiteral("127.0.0.1"));
    key.WriteInteger(QStringLiteral("Port"), 7100);
    TMainForm& f = Create();
    TDimensionList& list = f.VLChat->DimensionList();
    ASSERT_EQ(list.Count(), 5);
    for (qsizetype i = 0; i < 4; ++i) {
        EXPECT_EQ(list.Items(i)->Tag(), 1) << i;
    }
    EXPECT_EQ(list.Items(4)->Name(), QStringLiteral("Local"));
    EXPECT_EQ(list.Items(4)->Tag(), 0);
    list.Add(QStringLiteral("Later"), QString(), 7200, QStringLiteral("host"));

    auto reloaded = DestroyAndReload();
    const auto dimensions = reloaded->OpenKey({"Dimensions"}, false);
    ASSERT_TRUE(dimensions);
    EXPECT_EQ(dimensions->SubKeyNames(), (QStringList{"Local", "Later"}));
}

TEST_F(MainFormTest, StartupChoiceNothingWaitsForConnect) {
    StoredRoot().WriteInteger(QStringLiteral("OnStartup"), 0);
    Create();
    ShowAndActivate();
    EXPECT_TRUE(events.isEmpty());
    EXPECT_FALSE(form->FirstActivation);
}

TEST_F(MainFormTest, StartupChoiceOpensTheLoginDialogOnceOnly) {
    Create();
    ShowAndActivate();
    EXPECT_EQ(events, QStringList{"login"});
    // Cancelled: nothing connects, nothing stays busy.
    EXPECT_EQ(form->VLChat->State(), csDisconnected);
    EXPECT_EQ(TMainForm::BusyCount(), 0);
    EXPECT_TRUE(form->ConnectAction->isEnabled());

    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(form.get(), &activate);
    form->hide();
    form->show();
    ProcessPosted();
    EXPECT_EQ(events, QStringList{"login"});
}

TEST_F(MainFormTest, AutomaticLoginToAVanishedDimensionFallsBackToTheDialog) {
    plat::Registry::Key root = StoredRoot();
    root.WriteInteger(QStringLiteral("OnStartup"), 2);
    root.WriteString(QStringLiteral("AutoLoginDimension"), QStringLiteral("Nowhere"));
    root.WriteString(QStringLiteral("AutoLoginUser"), QStringLiteral("bob"));
    root.WriteBinary(QStringLiteral("AutoLoginPassword"), QByteArray("bdf"));
    Create();
    ShowAndActivate();

    EXPECT_EQ(events, (QStringList{"box", "login"}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Kind, plat::MsgKind::Error);
    EXPECT_EQ(boxes[0].Caption, QStringLiteral("Quorvel"));
    EXPECT_EQ(boxes[0].Text, QStringLiteral("Could not auto login to the 'Nowhere' Dimension.  "
                                            "The \nspecified Dimension configuration no longer "
                                            "exists in ZELVO."));
    EXPECT_EQ(form->VLChat->State(), csDisconnected);

    auto reloaded = DestroyAndReload();
    EXPECT_EQ(reloaded->OpenKey({}, false)->ReadInteger(QStringLiteral("OnStartup")), 1);
}

TEST_F(MainFormTest, AutomaticLoginWithoutAUserOpensTheDialogSilently) {
    plat::Registry::Key root = StoredRoot();
    root.WriteInteger(QStringLiteral("OnStartup"), 2);
    root.WriteString(QStringLiteral("AutoLoginDimension"), QStringLiteral("Ostrelian"));
    root.WriteBinary(QStringLiteral("AutoLoginPassword"), QByteArray("bdf"));
    Create();
    ShowAndActivate();
    EXPECT_EQ(events, QStringList{"login"});
    const auto reloaded = DestroyAndReload();
    EXPECT_EQ(reloaded->OpenKey({}, false)->ReadInteger(QStringLiteral("OnStartup")), 1);
}

TEST_F(MainFormTest, BusyCursorNestsAndExtraEndsAreHarmless) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    TMainForm::BeginBusy();
    TMainForm::BeginBusy();
    TMainForm::EndBusy();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    TMainForm::EndBusy();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // An extra end leaves the counter at 0 and someone else's cursor alone.
    QApplication::setOverrideCursor(Qt::CrossCursor);
    TMainForm::EndBusy();
    EXPECT_EQ(TMainForm::BusyCount(), 0);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QApplication::restoreOverrideCursor();
    TMainForm::BeginBusy();
    EXPECT_EQ(TMainForm::BusyCount(), 1);
    TMainForm::EndBusy();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainFormTest, PaintLockNestsAndSurvivesAnException) {
    TMainForm& f = Create();
    {
        TMainForm::TUpdateLock outer(f);
        try {
            TMainForm::TUpdateLock inner(f);
            EXPECT_EQ(TMainForm::UpdateLockCount(), 2);
            throw plat::Exception(QStringLiteral("while locked"));
        } catch (const plat::Exception&) {
        }
        EXPECT_FALSE(f.updatesEnabled());
        EXPECT_EQ(TMainForm::UpdateLockCount(), 1);
    }
    EXPECT_TRUE(f.updatesEnabled());
    EXPECT_EQ(TMainForm::UpdateLockCount(), 0);
}

TEST_F(MainFormTest, ChatControlsComeBackWithTheTargetKeptOverADisconnect) {
    TMainForm& f = Create();
    f.show();
    f.EnableChatControls();
    EXPECT_FALSE(f.InputEdit->isHidden());
    EXPECT_TRUE(f.OutputMemo->isEnabled());
    EXPECT_TRUE(f.TargetPanel->isHidden()); // no target yet

    f.Target().Set(tkCharacter, QStringLiteral("Bob"));
    f.DisableChatControls();
    EXPECT_TRUE(f.TargetPanel->isHidden());
    EXPECT_TRUE(f.InputEdit->isHidden());

    f.EnableChatControls();
    EXPECT_FALSE(f.TargetPanel->isHidden());
    EXPECT_EQ(f.TargetLabel->text(), QStringLiteral("Bob:"));
    EXPECT_FALSE(f.RefListView->isVisible());
}

TEST_F(MainFormTest, OnDemandFormsExistOnceAndGoWhenClosed) {
    TMainForm& f = Create();
    int created = 0;
    auto create = [&](QWidget* parent) {
        ++created;
        return new QDialog(parent);
    };
    QPointer<QDialog> first = f.FindOrCreateForm<QDialog>(QStringLiteral("OptionsForm"), create);
    TMainForm::ShowForm(*first);
    EXPECT_EQ(f.FindOrCreateForm<QDialog>(QStringLiteral("OptionsForm"), create), first.data());
    EXPECT_EQ(created, 1);
    EXPECT_TRUE(first->isWindow());
    // Another name is another form.
    QDialog* other = f.FindOrCreateForm<QDialog>(QStringLiteral("AttachForm"), create);
    EXPECT_NE(other, first.data());

    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    QDialog* again = f.FindOrCreateForm<QDialog>(QStringLiteral("OptionsForm"), create);
    EXPECT_EQ(created, 3);
    EXPECT_EQ(again->objectName(), QStringLiteral("OptionsForm"));
}

} // namespace
} // namespace mainformtest
