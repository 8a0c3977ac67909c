// The login handshake against a scripted server: the exact bytes the client
// writes, the states it walks through, the refusals, and the time each step
// may take.

#include "VLChatTestSupport.h"

#include "chatd/LoginVerifier.h"
#include "engine/BigInt.h"
#include "platform/core/Clock.h"

#include <QMetaObject>
#include <QRegularExpression>

using namespace chattest;

TEST_F(ChatTest, LoginWalksTheStatesAndWritesTheExpectedBytes) {
    ConnectToServer();
    EXPECT_TRUE(server.frames.empty()) << "the client must wait for the server to speak";

    server.Send(kLoginSeed);
    ASSERT_TRUE(server.WaitForFrames(1));
    EXPECT_EQ(server.frames[0].type, 2);
    const TPacketArgs args = server.frames[0].Args();
    EXPECT_EQ(args.at(0).AsInt(), 0);
    EXPECT_EQ(args.at(1).AsText(), "bob");
    const QByteArray key = args.at(2).AsText();
    EXPECT_TRUE(QRegularExpression("^[0-9a-f]+-([0-9a-f]{16})+$").match(key).hasMatch())
        << key.data();
    EXPECT_EQ(chatd::RecoverLoginPassword(key, "bob", "S33D",
                                          TBigInt::CreateHex(QStringView(chatd::kLoginSecretHex))),
              QByteArray("pw"));
    EXPECT_EQ(chat->LoginSeed(), "S33D");
    EXPECT_EQ(chat->State(), csAwaitingAuthorization);
    EXPECT_NE(chat->LastSendTick(), 0u);

    server.Send(TwoCharacterList());
    ASSERT_TRUE(WaitForState(csReadyForLogin));
    EXPECT_EQ(TakeEvents(), Events{"Connect"});
    ASSERT_EQ(chat->CharList().Count(), 2);
    for (const int i : {0, 1}) {
        const auto c = chat->CharList().Items(i);
        EXPECT_EQ(c->Name() + " " + QByteArray::number(c->Level()) + " " +
                      QByteArray::number(c->Online()),
                  i == 0 ? "Alice 10 1" : "Bobby 200 0");
    }
    EXPECT_EQ(chat->NameList().IdOf("Bobby"), kBobbyId);

    chat->SelectCharacter("alice"); // names are found without regard to case
    EXPECT_EQ(chat->State(), csAwaitingLoginResult);
    ASSERT_TRUE(server.WaitForFrames(2));
    EXPECT_EQ(server.frames[1].bytes, Hex("00 03 00 04 00 00 30 39"));

    server.Send(kLoginOK);
    ASSERT_TRUE(WaitForState(csLoggedIn));
    EXPECT_EQ(TakeEvents(), Events{"Login"});
    EXPECT_TRUE(chat->PingTimer().isActive());
    EXPECT_EQ(chat->PingTimer().interval(), 5000) << "the keep-alive check runs every 5 s";
    EXPECT_TRUE(errors.Take().isEmpty());
}

TEST_F(ChatTest, LoginErrorClosesTheConnectionAndClearsTheLists) {
    // Refused at the character list (wrong password) and after the choice.
    for (const bool afterChoice : {false, true}) {
        SCOPED_TRACE(afterChoice ? "after the choice" : "at the character list");
        const int before = disconnects;
        afterChoice ? ReachLoginResult() : ReachCharacterList();
        TakeEvents();
        const TVLChatState waiting = afterChoice ? csAwaitingLoginResult : csAwaitingAuthorization;
        TVLChatState stateInHandler = csCount;
        TVLChatState stateAfterHandler = csCount;
        chat->OnLoginError = [&](TVLChat* sender, const QByteArray& message) {
            events.push_back("LoginError " + message.toStdString());
            // The error is told first; the connection closes after it.
            stateInHandler = chat->State();
            // Runs once the packet is handled: the close has started the disconnect.
            QMetaObject::invokeMethod(
                sender, [&] { stateAfterHandler = chat->State(); }, Qt::QueuedConnection);
        };
        server.Send(Hex("00 06 00 0E 00 0C 42 61 64 20 70 61 73 73 77 6F 72 64"));
        ASSERT_TRUE(WaitForDisconnects(before + 1));
        EXPECT_EQ(stateInHandler, waiting);
        EXPECT_EQ(stateAfterHandler, csDisconnecting);
        EXPECT_EQ(TakeEvents(), (Events{"LoginError Bad password", "Disconnect"}));
        EXPECT_EQ(chat->State(), csDisconnected);
        EXPECT_FALSE(chat->SendTimer().isActive());
        EXPECT_TRUE(server.WaitClientGone());
        EXPECT_TRUE(errors.Take().isEmpty());
    }
}

TEST_F(ChatTest, LoginSeedWithoutUserNameOrPasswordStaysAuthorizing) {
    const struct {
        QByteArray user, password;
        const char* message;
    } cases[] = {{"", "pw", "Need a username!"}, {"bob", "", "No password!"}};
    for (const auto& c : cases) {
        chat->SetUserName(c.user);
        chat->SetPassword(c.password);
        ConnectToServer();
        server.Send(kLoginSeed);
        ASSERT_TRUE(WaitUntil([&] { return !errors.messages.isEmpty(); }));
        EXPECT_EQ(errors.Take(), QStringList{HandlerError("Login Seed", c.message)});
        EXPECT_EQ(chat->State(), csAuthorizing);
        EXPECT_TRUE(server.frames.empty());
        chat->Disconnect();
        ASSERT_TRUE(WaitForState(csDisconnected));
    }
}

TEST_F(ChatTest, EachLoginStepEndsAfterThirtySecondsAsATimedOutConnection) {
    plat::ManualClock clock(1000000);
    std::vector<LoginStep> steps = LoginSteps();
    steps.push_back({"the answer to the seed",
                     [&] {
                         chat->SetPassword("");
                         ConnectToServer();
                         server.Send(kLoginSeed);
                         ASSERT_TRUE(WaitUntil([&] { return !errors.Take().isEmpty(); }));
                         chat->SetPassword("pw");
                     },
                     csAuthorizing});
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        const int before = disconnects;
        step.reach();
        ASSERT_EQ(chat->State(), step.state);
        TakeEvents();
        EXPECT_TRUE(chat->LoginTimer().isActive());
        EXPECT_EQ(chat->LoginTimer().interval(), 30000);
        // A tick before the time is up waits for the rest of it.
        clock.Advance(29999);
        chat->LoginTimerTimer();
        EXPECT_EQ(chat->State(), step.state);
        EXPECT_EQ(chat->LoginTimer().interval(), 1);
        clock.Advance(1);
        chat->LoginTimerTimer();
        ASSERT_TRUE(WaitForDisconnects(before + 1));
        EXPECT_EQ(TakeEvents(), (Events{"Error 10060", "Disconnect"}));
        // The handler left the code: the socket raises it, as for any socket error.
        EXPECT_EQ(errors.Take(), QStringList{"Socket error 10060: Connection timed out"});
        EXPECT_TRUE(server.WaitClientGone());
    }

    // Each step has its own time, and choosing a character or chatting has none.
    ConnectToServer();
    clock.Advance(29000);
    server.Send(kLoginSeed);
    ASSERT_TRUE(WaitForState(csAwaitingAuthorization));
    clock.Advance(29000);
    chat->LoginTimerTimer();
    EXPECT_EQ(chat->State(), csAwaitingAuthorization);
    server.Send(TwoCharacterList());
    for (const TVLChatState state : {csReadyForLogin, csLoggedIn}) {
        ASSERT_TRUE(WaitForState(state));
        EXPECT_FALSE(chat->LoginTimer().isActive());
        clock.Advance(300000);
        chat->LoginTimerTimer();
        EXPECT_EQ(chat->State(), state);
        if (state == csReadyForLogin) {
            chat->SelectCharacter("Alice");
            server.Send(kLoginOK);
        }
    }
    EXPECT_TRUE(errors.Take().isEmpty());
}

TEST_F(ChatTest, SelectingAnUnknownCharacterFailsOnTheLookup) {
    ReachCharacterChoice();
    EXPECT_EQ(MessageOf([&] { chat->SelectCharacter("Zed"); }),
              "Packet type Name Lookup not allowed in state Ready for Login");
    EXPECT_EQ(chat->State(), csReadyForLogin);
    // Nothing was written for it: the next frame is the next choice.
    chat->SelectCharacter("Bobby");
    ASSERT_TRUE(server.WaitForFrames(2));
    EXPECT_EQ(server.frames[1].bytes, Hex("00 03 00 04 00 00 03 09"));
}

TEST_F(ChatTest, ConnectRefusesWhatCannotWork) {
    const auto dimension = chat->Dimension();
    chat->SetDimension(nullptr);
    EXPECT_EQ(MessageOf([&] { chat->Connect(); }), "No dimension selected");
    chat->SetDimension(dimension);
    const uint16_t port = server.Port();
    // Ports outside 1..65535 are refused rather than cut to 16 bits.
    for (const int32_t bad : {0, -1, 65536, 65536 + port}) {
        dimension->SetPort(bad);
        EXPECT_EQ(MessageOf([&] { chat->Connect(); }), QString("Invalid port number %1").arg(bad));
        EXPECT_EQ(chat->State(), csDisconnected);
    }
    dimension->SetPort(port);
    ConnectToServer();
    EXPECT_EQ(MessageOf([&] { chat->Connect(); }), "Already connected");
    chat->Disconnect();
    ASSERT_TRUE(WaitForDisconnects(1));
    LogIn();
    EXPECT_EQ(MessageOf([&] { chat->Connect(); }), "Already connected");
    EXPECT_EQ(chat->State(), csLoggedIn);
    EXPECT_TRUE(errors.Take().isEmpty());
}

TEST_F(ChatTest, ConnectWhileDisconnectingCompletesTheDisconnectFirst) {
    LogIn();
    chat->Disconnect();
    ASSERT_EQ(chat->State(), csDisconnecting);
    chat->Connect();
    EXPECT_EQ(TakeEvents(), Events{"Disconnect"});
    EXPECT_EQ(chat->State(), csConnecting);
    EXPECT_FALSE(chat->SendTimer().isActive()) << "the 5 ms tick of the old session must not run";
    ASSERT_TRUE(WaitUntil([&] { return server.Connections() == 2; }));
    server.Send(kLoginSeed);
    ASSERT_TRUE(WaitForState(csAwaitingAuthorization));
    EXPECT_EQ(disconnects, 1);
}
