// The login handshake against a scripted server: the exact bytes the client
// writes, the states it walks through and the refusals.

#include "VLChatTestSupport.h"

#include "chatd/LoginVerifier.h"
#include "engine/BigInt.h"
#include "platform/core/Exception.h"

#include <QMetaObject>
#include <QRegularExpression>
#include <QTimer>

using namespace chattest;

namespace {

QByteArray RecoveredPassword(const ClientFrame& loginResponse, const QByteArray& seed) {
    const TPacketArgs args = ClientArgs(loginResponse);
    const auto password =
        chatd::RecoverLoginPassword(args.at(2).AsText(), args.at(1).AsText(), seed,
                                    TBigInt::CreateHex(QStringView(chatd::kLoginSecretHex)));
    return password.value_or("<key does not verify>");
}

void ExpectThrows(const std::function<void()>& f, const QString& message) {
    try {
        f();
        ADD_FAILURE() << "no exception, expected " << message.toStdString();
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

} // namespace

TEST_F(ChatTest, LoginWalksTheStatesAndWritesTheExpectedBytes) {
    ConnectToServer();
    EXPECT_TRUE(server.frames.empty()) << "the client must wait for the server to speak";

    server.Send(Hex("00 00 00 06 00 04 53 33 33 44")); // Login Seed "S33D"
    ASSERT_TRUE(server.WaitForFrames(1));
    const ClientFrame& response = server.frames[0];
    EXPECT_EQ(response.type, 2);
    const auto* header = reinterpret_cast<const uint8_t*>(response.bytes.constData());
    EXPECT_EQ((header[2] << 8) | header[3], response.body.size());
    const TPacketArgs args = ClientArgs(response);
    EXPECT_EQ(args.at(0).AsInt(), 0);
    EXPECT_EQ(args.at(1).AsText(), "bob");
    EXPECT_TRUE(QRegularExpression("^[0-9a-f]+-([0-9a-f]{16})+$")
                    .match(QString::fromLatin1(args.at(2).AsText()))
                    .hasMatch())
        << args.at(2).AsText().toStdString();
    EXPECT_EQ(RecoveredPassword(response, "S33D"), "pw");
    EXPECT_EQ(chat->LoginSeed(), "S33D");
    EXPECT_EQ(chat->State(), csAwaitingAuthorization);
    EXPECT_NE(chat->LastSendTick(), 0u);

    server.Send(TwoCharacterList());
    ASSERT_TRUE(WaitForState(csReadyForLogin));
    EXPECT_EQ(TakeEvents(), std::vector<std::string>{"Connect"});
    ASSERT_EQ(chat->CharList().Count(), 2);
    EXPECT_EQ(chat->CharList().Items(0)->Name(), "Alice");
    EXPECT_EQ(chat->CharList().Items(0)->Level(), 10);
    EXPECT_TRUE(chat->CharList().Items(0)->Online());
    EXPECT_EQ(chat->CharList().Items(1)->Name(), "Bobby");
    EXPECT_EQ(chat->CharList().Items(1)->Level(), 200);
    EXPECT_FALSE(chat->CharList().Items(1)->Online());
    EXPECT_EQ(chat->NameList().IdOf("Bobby"), kBobbyId);

    chat->SelectCharacter("alice"); // names are found without regard to case
    EXPECT_EQ(chat->State(), csAwaitingLoginResult);
    ASSERT_TRUE(server.WaitForFrames(2));
    EXPECT_EQ(server.frames[1].bytes, Hex("00 03 00 04 00 00 30 39"));

    server.Send(Hex("00 05 00 00"));
    ASSERT_TRUE(WaitForState(csLoggedIn));
    EXPECT_EQ(TakeEvents(), std::vector<std::string>{"Login"});
    EXPECT_TRUE(chat->PingTimer().isActive());
    EXPECT_EQ(chat->PingTimer().interval(), TVLChat::PingCheckInterval);
    EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(ChatTest, LoginErrorClosesTheConnectionAndClearsTheLists) {
    // Refused at the character list (wrong password) and after the choice.
    for (const bool afterChoice : {false, true}) {
        SCOPED_TRACE(afterChoice ? "after the choice" : "at the character list");
        const int before = disconnects;
        if (afterChoice) {
            ReachCharacterChoice();
            chat->SelectCharacter("Bobby");
        } else {
            ConnectToServer();
            server.Send(Hex("00 00 00 06 00 04 53 33 33 44"));
            ASSERT_TRUE(WaitForState(csAwaitingAuthorization));
        }
        TakeEvents();
        TVLChatState stateAfterHandler = csCount;
        chat->OnLoginError = [&](TVLChat* sender, const QByteArray& message) {
            events.push_back("LoginError " + message.toStdString());
            // Runs once the packet is handled: the close has started the disconnect.
            QMetaObject::invokeMethod(
                sender, [&] { stateAfterHandler = chat->State(); }, Qt::QueuedConnection);
        };
        server.Send(Hex("00 06 00 0E 00 0C 42 61 64 20 70 61 73 73 77 6F 72 64"));
        ASSERT_TRUE(WaitForDisconnects(before + 1));
        EXPECT_EQ(stateAfterHandler, csDisconnecting);
        EXPECT_EQ(TakeEvents(),
                  (std::vector<std::string>{"LoginError Bad password", "Disconnect"}));
        EXPECT_EQ(chat->State(), csDisconnected);
        EXPECT_EQ(chat->CharList().Count(), 0);
        EXPECT_FALSE(chat->SendTimer().isActive());
        EXPECT_TRUE(WaitUntil([&] { return server.ClientGone(); }));
        EXPECT_TRUE(TakeErrors().isEmpty());
    }
}

TEST_F(ChatTest, LoginSeedWithoutUserNameOrPasswordStaysAuthorizing) {
    const struct {
        QByteArray user, password;
        const char* message;
    } cases[] = {{"", "pw", "Need a username!"}, {"bob", "", "No password!"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        chat->SetUserName(c.user);
        chat->SetPassword(c.password);
        ConnectToServer();
        server.Send(Hex("00 00 00 06 00 04 53 33 33 44"));
        ASSERT_TRUE(WaitUntil([&] { return !errors.messages.isEmpty(); }));
        EXPECT_EQ(TakeErrors(),
                  QStringList{QString("Error in packet handler, packet type: Login Seed, error ") +
                              c.message});
        EXPECT_EQ(chat->State(), csAuthorizing);
        EXPECT_TRUE(server.frames.empty());
        chat->Disconnect();
        ASSERT_TRUE(WaitForState(csDisconnected));
    }
}

TEST_F(ChatTest, SelectingAnUnknownCharacterFailsOnTheLookup) {
    ReachCharacterChoice();
    ExpectThrows([&] { chat->SelectCharacter("Zed"); },
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
    ExpectThrows([&] { chat->Connect(); }, "No dimension selected");
    chat->SetDimension(dimension);
    const uint16_t port = server.Port();
    // Ports outside 1..65535 are refused rather than cut to 16 bits.
    for (const int32_t bad : {0, -1, 65536, 65536 + port}) {
        dimension->SetPort(bad);
        ExpectThrows([&] { chat->Connect(); }, QString("Invalid port number %1").arg(bad));
        EXPECT_EQ(chat->State(), csDisconnected);
    }
    dimension->SetPort(port);
    ConnectToServer();
    ExpectThrows([&] { chat->Connect(); }, "Already connected");
    chat->Disconnect();
    ASSERT_TRUE(WaitForDisconnects(1));
    LogIn();
    ExpectThrows([&] { chat->Connect(); }, "Already connected");
    EXPECT_EQ(chat->State(), csLoggedIn);
    EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(ChatTest, ConnectWhileDisconnectingCompletesTheDisconnectFirst) {
    LogIn();
    chat->Disconnect();
    ASSERT_EQ(chat->State(), csDisconnecting);
    chat->Connect();
    EXPECT_EQ(TakeEvents(), std::vector<std::string>{"Disconnect"});
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(chat->State(), csConnecting);
    EXPECT_FALSE(chat->SendTimer().isActive()) << "the 5 ms tick of the old session must not run";
    ASSERT_TRUE(WaitUntil([&] { return server.Connections() == 2; }));
    server.Send(Hex("00 00 00 06 00 04 53 33 33 44"));
    ASSERT_TRUE(WaitForState(csAwaitingAuthorization));
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(chat->State(), csAwaitingAuthorization);
}
