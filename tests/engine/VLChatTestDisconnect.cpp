// The end of a connection: closed by the server or by the client at any step
// of the login; what is left of it afterwards.

#include "VLChatTestSupport.h"

using namespace chattest;

namespace {

void ExpectNothingLeft(TVLChat& chat) {
    EXPECT_EQ(chat.State(), csDisconnected);
    EXPECT_EQ(chat.NameList().Count() + chat.CharList().Count() + chat.FriendList().Count() +
                  chat.GroupList().Count() + chat.SendQueueCount(),
              0);
    EXPECT_EQ(chat.LastSendTick(), 0u);
    EXPECT_FALSE(chat.SendTimer().isActive());
    EXPECT_FALSE(chat.PingTimer().isActive());
    EXPECT_FALSE(chat.LoginTimer().isActive());
}

// A session with something in every list and two packets in the queue.
class DisconnectTest : public ChatTest {
protected:
    void SetUp() override {
        LogIn();
        Deliver(ClientName(kBobId, "Bob") +
                ServerFrame(spFriendAdded, {A::Int(kBobId), A::Int(1), A::Data(Hex("01"))}) +
                GroupJoin(kGeneral, "General"));
        for (const char* text : {"one", "two", "three"}) {
            ASSERT_TRUE(chat->SendPrivateMessage("Bob", text));
        }
        ASSERT_EQ(chat->SendQueueCount(), 2);
        ASSERT_TRUE(server.WaitForFrames(1));
        TakeEvents();
    }
};

} // namespace

TEST_F(DisconnectTest, ACloseByTheServerEndsInDisconnectedWithNothingLeft) {
    // A frame that arrived before the close is still handled.
    server.Send(System("bye"));
    server.CloseClient();
    ASSERT_TRUE(WaitForDisconnects(1));
    EXPECT_EQ(TakeEvents(), (Events{"System bye", "Disconnect"}));
    ExpectNothingLeft(*chat);
    EXPECT_TRUE(errors.Take().isEmpty()) << "a close by the peer is no error";
}

TEST_F(DisconnectTest, ADisconnectByTheClientGoesThroughDisconnecting) {
    chat->Disconnect();
    EXPECT_EQ(chat->State(), csDisconnecting);
    EXPECT_EQ(chat->SendTimer().interval(), 5) << "the disconnect completes 5 ms later";
    EXPECT_EQ(chat->FriendList().Count(), 1) << "the lists go when the disconnect completes";
    EXPECT_EQ(disconnects, 0);
    chat->SendTimerTimer(); // the tick of the disconnect, driven here
    EXPECT_EQ(TakeEvents(), Events{"Disconnect"});
    ExpectNothingLeft(*chat); // the timer is stopped: no second completion
    EXPECT_TRUE(server.WaitClientGone());
    chat->Disconnect(); // nothing to close
    EXPECT_EQ(chat->State(), csDisconnected);
}

TEST_F(ChatTest, TheClientCanCancelEveryStepOfTheLogin) {
    std::vector<LoginStep> steps = LoginSteps();
    steps.push_back({"choosing a character", [&] { ReachCharacterChoice(); }, csReadyForLogin});
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        const int before = disconnects;
        step.reach();
        TakeEvents();
        chat->Disconnect();
        EXPECT_EQ(chat->State(), csDisconnecting);
        ASSERT_TRUE(WaitForDisconnects(before + 1));
        EXPECT_EQ(TakeEvents(), Events{"Disconnect"});
        ExpectNothingLeft(*chat);
    }
    // A close by the server while the login waits ends the same way.
    ReachCharacterList();
    server.CloseClient();
    ASSERT_TRUE(WaitForDisconnects(5));
    // So does a cancel while the host is still being looked up.
    chat->Dimension()->SetHost("no-such-host.invalid");
    chat->Connect();
    chat->Disconnect();
    ASSERT_TRUE(WaitForDisconnects(6));
    ExpectNothingLeft(*chat);
    EXPECT_TRUE(errors.Take().isEmpty());
}

TEST_F(DisconnectTest, AReconnectKeepsNothingOfTheOldSession) {
    // Half a frame is in flight when the server closes.
    server.Send(System("cut short").left(5));
    server.CloseClient();
    ASSERT_TRUE(WaitForDisconnects(1));
    ExpectNothingLeft(*chat);

    ConnectToServer();
    server.Send(Hex("00 00 00 04 00 02 4E 57")); // Login Seed "NW"
    ASSERT_TRUE(WaitForState(csAwaitingAuthorization));
    EXPECT_EQ(chat->LoginSeed(), "NW");
    server.Send(TwoCharacterList());
    ASSERT_TRUE(WaitForState(csReadyForLogin));
    chat->SelectCharacter("Bobby");
    server.Send(kLoginOK);
    ASSERT_TRUE(WaitForState(csLoggedIn));
    // Nothing queued in the old session reaches the new one.
    EXPECT_FALSE(chat->SendTimer().isActive());
    EXPECT_EQ(chat->NameList().Count(), 2);
    const Frames written = FramesUpToMarker();
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(server.frames[0].type, 2);
    EXPECT_EQ(written[1], Hex("00 03 00 04 00 00 03 09"));
    EXPECT_EQ(TakeEvents(), (Events{"Disconnect", "Connect", "Login"}));
    EXPECT_TRUE(errors.Take().isEmpty());
}

TEST_F(ChatTest, TheEngineMayBeDeletedLaterFromItsOwnEvents) {
    LogIn();
    QPointer<TVLChat> watched(chat.get());
    TVLChat* engine = chat.release();
    engine->OnSystemMessage = [](TVLChat* sender, const QByteArray&) { sender->deleteLater(); };
    // The second frame is already on its way when the first one's handler runs.
    server.Send(System("first") + System("second"));
    EXPECT_TRUE(WaitUntil([&] { return watched.isNull(); }));
    EXPECT_TRUE(server.WaitClientGone());
    EXPECT_TRUE(errors.Take().isEmpty());
}
