// The engine's message events shown in the main window's console, end to end
// against the local chat service, and the program's exception router.
#include "MainFormTestSupport.h"

#include "chatd/ChatServer.h"
#include "chatd/ServerCodec.h"
#include "console/QvConsole.h"
#include "platform/core/Exception.h"

#include <QDateTime>

namespace mainformtest {
namespace {

bool LogIn(TVLChat& chat, quint16 port, const QByteArray& user, const QByteArray& character) {
    chat.SetFloodProtection(false);
    chat.SetDimension(chat.DimensionList().Add(QStringLiteral("Local"), QString(), port,
                                               QStringLiteral("127.0.0.1")));
    chat.SetUserName(user);
    chat.SetPassword(user + "pw");
    chat.Connect();
    if (!WaitUntil([&] { return chat.State() == csReadyForLogin; })) {
        return false;
    }
    chat.SelectCharacter(character);
    return WaitUntil([&] { return chat.State() == csLoggedIn; });
}

class MainFormChatTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        ASSERT_TRUE(server.Listen({0}));
        port = server.Ports().first();
        for (const auto& [user, name, id] : {std::tuple{"kara", "Kara", 0x1000},
                                             {"bob", "Bob", 0x1234},
                                             {"cara", "Cara", 0x1300}}) {
            server.Accounts().AddAccount(QString::fromLatin1(user),
                                         QString::fromLatin1(user) + QStringLiteral("pw"));
            chatd::Character character;
            character.Id = id;
            character.Name = QString::fromLatin1(name);
            server.Accounts().AddCharacter(QString::fromLatin1(user), character);
        }
        auto dimension = *Stored().OpenKey({"Dimensions", "Local"}, true);
        dimension.WriteString(QStringLiteral("Host"), QStringLiteral("127.0.0.1"));
        dimension.WriteInteger(QStringLiteral("Port"), port);
        StoredRoot().WriteInteger(QStringLiteral("OnStartup"), 0);
        Create();
        loginAnswer = LoginAnswer{QStringLiteral("Local"), QStringLiteral("kara"),
                                  QStringLiteral("karapw"), false};
        characterAnswer = QStringLiteral("Kara");
        form->ConnectAction->trigger();
        ASSERT_TRUE(WaitUntil([&] { return form->VLChat->State() == csLoggedIn; }));
        form->VLChat->SetFloodProtection(false);
    }

    // The console lines after the welcome line and the connect line.
    QStringList Lines() const { return ConsoleLines().mid(2); }
    bool WaitForLines(int count) {
        return WaitUntil([&] { return Lines().size() >= count; });
    }

    chatd::ChatServer server;
    quint16 port = 0;
};

TEST_F(MainFormChatTest, TellsAndSystemMessagesAreShownEscaped) {
    TVLChat bob;
    ASSERT_TRUE(LogIn(bob, port, "bob", "Bob"));
    ASSERT_TRUE(bob.SendPrivateMessage("Kara", "a & b <c> :-) :o("));
    ASSERT_TRUE(WaitForLines(1));
    EXPECT_EQ(Lines().last(),
              Line("800080", CharLink("Bob") + ": a &amp; b &lt;c&gt; <img index=\"0\"> "
                                               "<img index=\"5\">(</font>"));
    EXPECT_EQ(form->LastTellSender, QStringLiteral("Bob"));

    ASSERT_TRUE(
        server.SendSystemMessage(QStringLiteral("Kara"), QStringLiteral("Server <down> soon")));
    ASSERT_TRUE(WaitForLines(2));
    EXPECT_EQ(Lines().last(), Line("800000", "System Message: Server &lt;down&gt; soon</font>"));
}

TEST_F(MainFormChatTest, GroupMessagesNameTheirGroup) {
    TVLChat bob;
    ASSERT_TRUE(LogIn(bob, port, "bob", "Bob"));
    bob.SendGroupMessage("General", "hello");
    ASSERT_TRUE(WaitForLines(1));
    EXPECT_EQ(Lines().last(),
              Line("008000", "[<a name=\"publiclink\" params=\"General\" hint=\"Query General\">"
                             "General</a>] " +
                                 CharLink("Bob") + ": hello</font>"));

    // A group the server never announced: shown without a name or link.
    const QByteArray frame =
        chatd::ServerFrame(spGroupMessage, {TPacketArg::Group({9, 9, 9, 9, 9}),
                                            TPacketArg::Int(0x1234), TPacketArg::Text("lost?"),
                                            TPacketArg::Data(QByteArray("\x00\x01\x00", 3))});
    ASSERT_TRUE(server.SendFrame(QStringLiteral("Kara"), frame));
    ASSERT_TRUE(WaitForLines(2));
    EXPECT_EQ(Lines().last(), Line("008000", "[?] " + CharLink("Bob") + ": lost?</font>"));
}

TEST_F(MainFormChatTest, PrivateGroupJoinsMessagesLeavesAndKicks) {
    TVLChat bob;
    TVLChat cara;
    ASSERT_TRUE(LogIn(bob, port, "bob", "Bob"));
    ASSERT_TRUE(LogIn(cara, port, "cara", "Cara"));
    ASSERT_TRUE(bob.PrivateGroupInvite("Kara"));
    ASSERT_TRUE(bob.PrivateGroupInvite("Cara"));
    ASSERT_TRUE(WaitUntil([&] { return server.SessionCount() == 3; }));
    // Lines of a private group are shown while its node listens.
    form->AddPrivateGroupNode(QStringLiteral("Bob"));
    ASSERT_TRUE(form->VLChat->PrivateGroupJoin("Bob"));
    ASSERT_TRUE(WaitForLines(1));
    EXPECT_EQ(Lines().last(), Line("808000", "Kara joined the private group Bob."));
    ASSERT_TRUE(cara.PrivateGroupJoin("Bob"));
    ASSERT_TRUE(WaitForLines(2));
    EXPECT_EQ(Lines().last(), Line("808000", "Cara joined the private group Bob."));

    ASSERT_TRUE(bob.SendPrivateGroupMessage("Bob", "yo"));
    ASSERT_TRUE(WaitForLines(3));
    EXPECT_EQ(Lines().last(),
              Line("008080",
                   "[<a name=\"privatelink\" params=\"Bob\" hint=\"Query Bob\">Bob</a>] "
                   "<a name=\"privcharlink\" params=\"Bob,Bob\" hint=\"Query Bob\">Bob</a>"
                   ": yo</font>"));

    ASSERT_TRUE(bob.PrivateGroupKick("Cara"));
    ASSERT_TRUE(WaitForLines(4));
    EXPECT_EQ(Lines().last(), Line("808000", "Cara left the private group Bob."));
    ASSERT_TRUE(bob.PrivateGroupKick("Kara"));
    ASSERT_TRUE(WaitForLines(5));
    EXPECT_EQ(Lines().last(), Line("808000", "You have been kicked from the private group Bob."));
}

class RouterScope {
public:
    RouterScope() : previous_(RouteExceptionsToMainForm()) {}
    ~RouterScope() { plat::SetExceptionHandler(std::move(previous_)); }

private:
    plat::ExceptionHandler previous_;
};

TEST_F(MainFormChatTest, UnknownCharacterIdsAreNotWorthALine) {
    RouterScope router;
    // A tell from an id nobody announced, then a system line to wait for.
    const QByteArray tell =
        chatd::ServerFrame(spMessagePrivate, {TPacketArg::Int(0x9999), TPacketArg::Text("who?"),
                                              TPacketArg::Data(QByteArray("\x00\x01\x00", 3))});
    ASSERT_TRUE(server.SendFrame(QStringLiteral("Kara"), tell));
    ASSERT_TRUE(server.SendSystemMessage(QStringLiteral("Kara"), QStringLiteral("after")));
    ASSERT_TRUE(WaitForLines(1));
    EXPECT_EQ(Lines(), QStringList{Line("800000", "System Message: after</font>")});
}

TEST_F(MainFormTest, ExceptionsBecomeRedLinesAndEndTheBusyCursor) {
    Create();
    RouterScope router;
    TMainForm::BeginBusy();
    plat::HandleException(plat::EListError(QStringLiteral("List index out of bounds (8) <x>")));
    EXPECT_EQ(TMainForm::BusyCount(), 0);
    EXPECT_EQ(ConsoleLines().last(), Line("FF0000", "List index out of bounds (8) &lt;x&gt;"));

    TMainForm::BeginBusy();
    plat::HandleException(plat::Exception(
        QStringLiteral("Error in packet handler, packet type: Message Private, error name NOT "
                       "found for id 39321")));
    EXPECT_EQ(TMainForm::BusyCount(), 1);
    EXPECT_EQ(ConsoleLines().size(), 2);

    // Without a window the message goes to the debug log.
    form.reset();
    plat::HandleException(plat::Exception(QStringLiteral("no window")));
}

} // namespace
} // namespace mainformtest
