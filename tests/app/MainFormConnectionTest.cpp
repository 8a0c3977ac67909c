// The connection as the main window shows it, against the local chat
// service: login, character choice, login errors, socket errors, the user's
// disconnect and reconnection.
#include "MainFormTestSupport.h"

#include "app/mainform/MainFormControls.h"
#include "console/QvConsole/QvConsole.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "platform/core/Clock.h"
#include "platform/gui/ImageList.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTcpServer>
#include <QTimer>

namespace mainformtest {
namespace {

const QString kConnected = Line("FF0000", QStringLiteral("Connected to Vellinor chat server"));
const QString kDisconnected =
    Line("FF0000", QStringLiteral("Disconnected from Vellinor chat server"));

class MainFormConnectionTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        StartService();
        loginAnswer = LoginAnswer{QStringLiteral("Local"), QStringLiteral("kara"),
                                  QStringLiteral("karapw"), true};
        characterAnswer = QStringLiteral("Kara");
    }
    bool LoggedIn() const { return form->VLChat->State() == csLoggedIn; }
    bool Disconnected() const { return form->VLChat->State() == csDisconnected; }
    bool Connect() {
        form->ConnectAction->trigger();
        return WaitUntil([&] { return LoggedIn(); });
    }
    QString StoredPassword(plat::Registry& stored) {
        return ReadPassword(*stored.OpenKey({"Logins", "kara"}, false), QStringLiteral("Password"));
    }
    // Whether Connect and Disconnect are enabled, and how deep the busy cursor is.
    QString Actions() const {
        return QStringLiteral("connect=%1 disconnect=%2 busy=%3")
            .arg(int(form->ConnectAction->isEnabled()))
            .arg(int(form->DisconnectAction->isEnabled()))
            .arg(TMainForm::BusyCount());
    }
    // The console lines after the welcome line.
    QStringList Lines() const { return ConsoleLines().mid(1); }
    bool WaitForLines(int count) {
        return WaitUntil([&] { return Lines().size() >= count; });
    }
};

TEST_F(MainFormConnectionTest, LoginChoosesACharacterAndRemembersTheLogin) {
    auto login = *Stored().OpenKey({"Logins", "kara"}, true);
    login.WriteString(QStringLiteral("LastChar"), QStringLiteral("zed"));
    Create();
    form->ConnectAction->trigger();
    // Busy from the dialog's OK until the server answers; Disconnect can cancel meanwhile.
    EXPECT_EQ(Actions(), "connect=0 disconnect=1 busy=1");
    ASSERT_TRUE(WaitUntil([&] { return LoggedIn(); }));

    EXPECT_EQ(events, (QStringList{"login", "chars"}));
    EXPECT_EQ(preselected, QStringLiteral("Zed"));
    EXPECT_EQ(Lines(), QStringList{kConnected});
    EXPECT_EQ(Actions(), "connect=0 disconnect=1 busy=0");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quorvel - Connected as Kara on Local"));
    EXPECT_EQ(form->StatusBar->Panels().Items(0)->Caption(), QStringLiteral("Kara"));
    EXPECT_EQ(form->StatusBar->Panels().Items(1)->Caption(), QStringLiteral("Local"));
    EXPECT_FALSE(form->InputEdit->isHidden());
    EXPECT_TRUE(form->OutputMemo->isEnabled());
    EXPECT_TRUE(form->FriendsTreeView->isEnabled());

    const auto saved = DestroyAndReload();
    const auto root = saved->OpenKey({}, false);
    EXPECT_EQ(root->ReadString(QStringLiteral("LastUser")), "kara");
    EXPECT_EQ(root->ReadString(QStringLiteral("LastDimension")), "Local");
    EXPECT_EQ(StoredPassword(*saved), QStringLiteral("karapw"));
    EXPECT_EQ(saved->OpenKey({"Logins", "kara"}, false)->ReadString("LastChar"), "Kara");

    // Not remembering it forgets the remembered password.
    Create();
    loginAnswer->Remember = false;
    ASSERT_TRUE(Connect());
    EXPECT_EQ(StoredPassword(*DestroyAndReload()), QString());
}

TEST_F(MainFormConnectionTest, AutomaticLoginSwitchesTheActionsAtOnceAndKeepsThePassword) {
    plat::Registry::Key root = StoredRoot();
    root.WriteInteger(QStringLiteral("OnStartup"), 2);
    root.WriteString(QStringLiteral("AutoLoginDimension"), QStringLiteral("LOCAL"));
    root.WriteString(QStringLiteral("AutoLoginUser"), QStringLiteral("kara"));
    WritePassword(root, QStringLiteral("AutoLoginPassword"), QStringLiteral("karapw"));
    Create();
    ShowAndActivate();
    EXPECT_EQ(Actions(), "connect=0 disconnect=1 busy=0");
    ASSERT_TRUE(WaitUntil([&] { return LoggedIn(); }));
    EXPECT_EQ(events, QStringList{"chars"});
    EXPECT_EQ(StoredPassword(*DestroyAndReload()), QStringLiteral("karapw"));
}

TEST_F(MainFormConnectionTest, FailedLoginsNeverReconnect) {
    StoredRoot().WriteBool(QStringLiteral("AutoReconnect"), true);
    Create();
    // The character choice cancelled.
    characterAnswer.reset();
    form->ConnectAction->trigger();
    ASSERT_TRUE(WaitForLines(2));
    ASSERT_TRUE(WaitUntil([&] { return Disconnected(); }));
    ProcessPosted();
    EXPECT_EQ(Lines(), (QStringList{kConnected, kDisconnected}));
    EXPECT_FALSE(form->Reconnection().Wanted());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quorvel - Not Connected"));

    // A wrong password: the server's text in a box after the connection closed.
    characterAnswer = QStringLiteral("Kara");
    loginAnswer->Password = QStringLiteral("wrong");
    events.clear();
    form->ConnectAction->trigger();
    ASSERT_TRUE(WaitForLines(3));
    ASSERT_TRUE(WaitUntil([&] { return Disconnected(); }));
    ProcessPosted();
    EXPECT_EQ(events, (QStringList{"login", "box"}));
    EXPECT_EQ(BoxTexts(boxes), QStringList{"Error: Wrong password"});
    EXPECT_EQ(Lines().mid(2), QStringList{kDisconnected});
    EXPECT_FALSE(form->ReconnectTimer->isActive());
    EXPECT_EQ(Actions(), "connect=1 disconnect=0 busy=0");
}

TEST_F(MainFormConnectionTest, SocketErrorIsShownOnceWithTheNextDisconnect) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 closedPort = closed.serverPort();
    closed.close();
    auto refused = *Stored().OpenKey({"Dimensions", "Refused"}, true);
    refused.WriteString(QStringLiteral("Host"), QStringLiteral("127.0.0.1"));
    refused.WriteInteger(QStringLiteral("Port"), closedPort);
    Create();
    loginAnswer->Dimension = QStringLiteral("Refused");
    form->ConnectAction->trigger();
    ASSERT_TRUE(WaitForLines(1));
    EXPECT_EQ(Lines(),
              QStringList{Line("FF0000", "Disconnected from Vellinor chat server: socket error "
                                         "#10061")});
    EXPECT_EQ(Actions(), "connect=1 disconnect=0 busy=0");

    // The user's own disconnect: no suffix, no reconnection.
    loginAnswer->Dimension = QStringLiteral("Local");
    ASSERT_TRUE(Connect());
    form->DisconnectAction->trigger();
    ASSERT_TRUE(WaitForLines(3));
    ProcessPosted();
    EXPECT_EQ(Lines().mid(1), (QStringList{kConnected, kDisconnected}));
}

TEST_F(MainFormConnectionTest, ALoginInProgressCanBeCancelledAndOneThatStallsEnds) {
    plat::ManualClock clock(1000000);
    QTcpServer silent; // accepts and never speaks
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    auto dimension = *Stored().OpenKey({"Dimensions", "Silent"}, true);
    dimension.WriteString(QStringLiteral("Host"), QStringLiteral("127.0.0.1"));
    dimension.WriteInteger(QStringLiteral("Port"), silent.serverPort());
    StoredRoot().WriteBool(QStringLiteral("AutoReconnect"), true);
    Create();
    loginAnswer->Dimension = QStringLiteral("Silent");
    int accepted = 0;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] { ++accepted; });

    // The user cancels while the login waits for the server.
    form->ConnectAction->trigger();
    ASSERT_EQ(Actions(), "connect=0 disconnect=1 busy=1");
    ASSERT_TRUE(WaitUntil([&] { return accepted == 1; }));
    form->DisconnectAction->trigger();
    ASSERT_TRUE(WaitForLines(1));
    ProcessPosted();
    EXPECT_EQ(Lines(), QStringList{kDisconnected});
    EXPECT_EQ(Actions(), "connect=1 disconnect=0 busy=0");

    // Nobody cancels: after 30 s the login ends as a timed-out connection.
    form->ConnectAction->trigger();
    ASSERT_TRUE(WaitUntil([&] { return accepted == 2; }));
    clock.Advance(TVLChat::LoginStepTimeout);
    form->VLChat->LoginTimerTimer();
    ASSERT_TRUE(WaitForLines(2));
    ProcessPosted();
    EXPECT_EQ(Lines().mid(1), QStringList{Line("FF0000", "Disconnected from Vellinor chat server: "
                                                         "socket error #10060")});
    EXPECT_TRUE(Disconnected());
    EXPECT_EQ(Actions(), "connect=1 disconnect=0 busy=0");
    EXPECT_FALSE(form->ReconnectTimer->isActive())
        << "a first login that never came is not retried";
}

TEST_F(MainFormConnectionTest, UnwantedDisconnectsReconnectUntilTheAttemptsAreUsedUp) {
    plat::Registry::Key root = StoredRoot();
    root.WriteBool(QStringLiteral("AutoReconnect"), true);
    root.WriteInteger(QStringLiteral("ReconnectTimes"), 1);
    root.WriteInteger(QStringLiteral("ReconnectDelay"), 0);
    Create();
    ASSERT_TRUE(Connect());
    form->QueryCharacter(QStringLiteral("Bob"));
    TTreeNode* groups = form->Trees().PublicGroupsNode();
    ASSERT_TRUE(WaitUntil([&] { return groups->ChildCount() == 3; }));
    form->GroupsTreeView->SetExpanded(groups, false);

    ASSERT_TRUE(server->DisconnectCharacter(QStringLiteral("Kara")));
    ASSERT_TRUE(WaitForLines(5));
    ASSERT_TRUE(WaitUntil([&] { return LoggedIn() && groups->ChildCount() == 3; }));
    EXPECT_TRUE(form->GroupsTreeView->IsExpanded(groups)); // its first child opens it again
    EXPECT_EQ(Lines().mid(1), (QStringList{kDisconnected, System("Waiting 0 seconds to reconnect"),
                                           System("Reconnect attempt #1"), kConnected}));
    // The character comes back without a dialog, the target with its label.
    EXPECT_EQ(events, (QStringList{"login", "chars"}));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quorvel - Connected as Kara on Local"));
    EXPECT_FALSE(form->TargetPanel->isHidden());
    EXPECT_EQ(form->TargetLabel->text(), QStringLiteral("Bob:"));

    // Successful reconnects do not give the attempts back.
    form->Trees().AddPrivateGroup(QStringLiteral("Bob"));
    ASSERT_TRUE(server->DisconnectCharacter(QStringLiteral("Kara")));
    ASSERT_TRUE(WaitForLines(7));
    ProcessPosted();
    EXPECT_EQ(Lines().mid(5),
              (QStringList{kDisconnected, System("Maximum number of reconnect attempts reached")}));
    EXPECT_FALSE(form->ReconnectTimer->isActive());
    EXPECT_TRUE(Disconnected());
    // The trees are emptied, the chat controls and status panels go.
    const TFriendsGroupsTrees& trees = form->Trees();
    for (const TTreeNode* root :
         {trees.OnlineFriendsNode(), trees.OfflineFriendsNode(), trees.UnknownFriendsNode(),
          trees.PublicGroupsNode(), trees.PrivateGroupsNode()}) {
        EXPECT_EQ(root->ChildCount(), 0) << root->Text().toStdString();
    }
    EXPECT_TRUE(form->InputEdit->isHidden() && form->TargetPanel->isHidden());
    EXPECT_EQ(form->StatusBar->Panels().Items(0)->Caption() +
                  form->StatusBar->Panels().Items(1)->Caption(),
              QString());
}

} // namespace
} // namespace mainformtest
