// The main window's creation, its start-up login choice, the busy and
// paint-lock counters and the chat controls.
#include "MainFormTestSupport.h"

#include "app/MainFormControls.h"
#include "app/kit/Kit.h"
#include "chatd/ChatServer.h"
#include "console/QvConsole.h"
#include "platform/core/Exception.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

namespace mainformtest {
namespace {

const QString kWelcome =
    QStringLiteral("<b>Welcome to Vellinor</b></font><font color=\"clBlue\"><hr></font>");

TEST_F(MainFormTest, CreationLeavesTheWindowWaitingWithItsWelcomeLine) {
    StoredRoot().WriteBool(QStringLiteral("TimestampChat"), true);
    StoredRoot().WriteInteger(QStringLiteral("OutputMemo_FontColor"), 0x0000FF);
    TMainForm& f = Create();

    // The welcome line has no timestamp block although chat lines get one,
    // and it is written in the console font's colour read from the settings.
    ASSERT_EQ(ConsoleLines(), QStringList{"<font color=\"#FF0000\">" + kWelcome + "</font>"});

    EXPECT_EQ(f.windowTitle(), QStringLiteral("Quorvel - Not Connected"));
    EXPECT_TRUE(f.InputEdit->isHidden());
    EXPECT_TRUE(f.TargetPanel->isHidden());
    EXPECT_TRUE(f.RefListView->isHidden());
    EXPECT_FALSE(f.OutputMemo->isEnabled());
    EXPECT_FALSE(f.FriendsTreeView->isEnabled());
    EXPECT_FALSE(f.GroupsTreeView->isEnabled());
    EXPECT_TRUE(f.ConnectAction->isEnabled());
    EXPECT_FALSE(f.DisconnectAction->isEnabled());
    EXPECT_EQ(f.TargetKind, tkNone);
    EXPECT_TRUE(f.FirstActivation);
    EXPECT_FALSE(f.AwayTimer->isActive());
    EXPECT_EQ(f.ReceivedAttachments.MaxCount(), f.OutputMemo->Limit());
}

TEST_F(MainFormTest, ComponentsCarryTheirNames) {
    TMainForm& f = Create();
    for (const char* name :
         {"VLChat",      "OutputMemo",      "InputEdit",      "TargetPanel",   "TargetLabel",
          "RefListView", "FriendsTreeView", "GroupsTreeView", "MainSplitter",  "GroupSplitter",
          "StatusBar",   "MenuBar",         "StandardBar",    "EditBar",       "GroupDockablePanel",
          "AwayTimer",   "ReconnectTimer",  "ActionList1",    "ConnectAction", "DisconnectAction",
          "ExitAction",  "EmoticonList"}) {
        EXPECT_NE(f.findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
    }
    EXPECT_EQ(f.GroupDockablePanel->Caption(), QStringLiteral("VL Friends and Groups"));
    EXPECT_EQ(f.AwayTimer->interval(), 5000);
    EXPECT_TRUE(f.ReconnectTimer->isSingleShot());
    EXPECT_EQ(f.ConnectAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    EXPECT_EQ(f.DisconnectAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    EXPECT_EQ(f.OutputMemo->ImageList()->Count(), 12);

    QStringList friends;
    for (int i = 0; i < f.FriendsTreeView->topLevelItemCount(); ++i) {
        friends << f.FriendsTreeView->topLevelItem(i)->text(0);
    }
    EXPECT_EQ(friends, (QStringList{"Online Friends", "Offline Friends", "Unknown"}));
    EXPECT_EQ(f.GroupsTreeView->topLevelItem(1)->text(0), QStringLiteral("Private Groups"));
    EXPECT_EQ(f.GroupsTreeView->topLevelItem(1)->data(0, TTreeView::ImageIndexRole).toInt(), 6);
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

TEST_F(MainFormTest, AutoAwayStartsTheAwayTimer) {
    StoredRoot().WriteBool(QStringLiteral("AutoAway"), true);
    EXPECT_TRUE(Create().AwayTimer->isActive());
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

TEST_F(MainFormTest, AutomaticLoginConnectsWithTheStoredAccount) {
    chatd::ChatServer server;
    ASSERT_TRUE(server.Listen({0}));
    auto dimension = *Stored().OpenKey({"Dimensions", "Local"}, true);
    dimension.WriteString(QStringLiteral("Host"), QStringLiteral("127.0.0.1"));
    dimension.WriteInteger(QStringLiteral("Port"), server.Ports().first());
    plat::Registry::Key root = StoredRoot();
    root.WriteInteger(QStringLiteral("OnStartup"), 2);
    root.WriteString(QStringLiteral("AutoLoginDimension"), QStringLiteral("LOCAL"));
    root.WriteString(QStringLiteral("AutoLoginUser"), QStringLiteral("demo"));
    // "demo" scrambled.
    root.WriteBinary(QStringLiteral("AutoLoginPassword"), QByteArray("egps"));
    Create();
    ShowAndActivate();

    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(form->SavePassword);
    EXPECT_FALSE(form->ConnectAction->isEnabled());
    EXPECT_TRUE(form->DisconnectAction->isEnabled());
    ASSERT_TRUE(form->VLChat->Dimension());
    EXPECT_EQ(form->VLChat->Dimension()->Name(), QStringLiteral("Local"));
    EXPECT_EQ(form->VLChat->UserName(), QByteArray("demo"));
    EXPECT_EQ(form->VLChat->Password(), QByteArray("demo"));
    // The service takes the login and sends the character list.
    EXPECT_TRUE(WaitUntil([&] { return events.contains(QStringLiteral("chars")); }));
}

TEST_F(MainFormTest, ConfirmedLoginDialogConnectsAndStaysBusy) {
    chatd::ChatServer server;
    ASSERT_TRUE(server.Listen({0}));
    auto dimension = *Stored().OpenKey({"Dimensions", "Local"}, true);
    dimension.WriteString(QStringLiteral("Host"), QStringLiteral("127.0.0.1"));
    dimension.WriteInteger(QStringLiteral("Port"), server.Ports().first());
    StoredRoot().WriteInteger(QStringLiteral("OnStartup"), 0);
    Create();
    loginAnswer =
        LoginAnswer{QStringLiteral("Local"), QStringLiteral("demo"), QStringLiteral("demo"), false};
    form->SavePassword = true;
    form->ConnectAction->trigger();

    EXPECT_EQ(events, QStringList{"login"});
    EXPECT_EQ(TMainForm::BusyCount(), 1);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_FALSE(form->SavePassword);
    ASSERT_TRUE(form->VLChat->Dimension());
    EXPECT_EQ(form->VLChat->Dimension()->Name(), QStringLiteral("Local"));
    EXPECT_EQ(form->VLChat->UserName(), QByteArray("demo"));
    EXPECT_EQ(form->VLChat->Password(), QByteArray("demo"));
    // Unlike the automatic login, the actions wait for the connection.
    EXPECT_TRUE(form->ConnectAction->isEnabled());
    EXPECT_FALSE(form->DisconnectAction->isEnabled());
    EXPECT_TRUE(WaitUntil([&] { return events.contains(QStringLiteral("chars")); }));
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

    f.TargetKind = tkCharacter;
    f.TargetName = QStringLiteral("Bob");
    f.SetTargetLabel(QStringLiteral("Bob:"));
    f.DisableChatControls();
    EXPECT_TRUE(f.TargetPanel->isHidden());
    EXPECT_TRUE(f.InputEdit->isHidden());

    f.EnableChatControls();
    EXPECT_FALSE(f.TargetPanel->isHidden());
    EXPECT_EQ(f.TargetLabel->text(), QStringLiteral("Bob:"));
    EXPECT_FALSE(f.RefListView->isVisible());
}

TEST_F(MainFormTest, ExitClosesTheWindow) {
    TMainForm& f = Create();
    f.show();
    ASSERT_TRUE(f.isVisible());
    f.ExitAction->trigger();
    EXPECT_FALSE(f.isVisible());
}

} // namespace
} // namespace mainformtest
