// A server that breaks the rules: oversize, truncated and unknown frames,
// packets the state does not accept, malformed character lists. Each ends in
// its exact error and the connection carries on (a character list that cannot
// be used ends the login); nothing crashes or hangs.

#include "VLChatTestSupport.h"

using namespace chattest;

namespace {

QByteArray CharacterList(QList<int32_t> ids, QList<QByteArray> names, QList<int32_t> levels,
                         QList<int32_t> online) {
    return ServerFrame(spLoginCharacterList,
                       {A::IntList(std::move(ids)), A::TextList(std::move(names)),
                        A::IntList(std::move(levels)), A::IntList(std::move(online))});
}

} // namespace

TEST_F(ChatTest, FramesThatCannotBeReadAreSkippedAndTheConnectionStays) {
    LogIn();
    // A frame split over two sends is put together again.
    server.Send(Hex("00 24 00"));
    Deliver(Hex("04 00 02 68 69"));
    EXPECT_EQ(TakeEvents(), Events{"System hi"});
    EXPECT_TRUE(errors.Take().isEmpty());

    for (const int length : {4097, 32768, 65535}) {
        Deliver(System("before") + Frame(30, QByteArray(length, 'x')) + System("after"));
        EXPECT_EQ(TakeEvents(), (Events{"System before", "System after"}));
        EXPECT_EQ(errors.Take(), QStringList{QString("Packet too large: %1 bytes").arg(length)});
    }
    Deliver(Hex("00 24 00 03 00 05 61") +          // a text longer than its body
            Hex("00 6E 00 04 00 00 00 01") +       // "Forward" cannot be read at all
            Hex("27 0F 00 03 AA BB CC") +          // a type no row has
            Hex("00 1E 00 06 00 00 03 E9 00 02") + // arguments missing at the end
            System("still in step"));
    EXPECT_EQ(errors.Take(),
              (QStringList{"Stream read error", "Logic error, bad param type M.",
                           Refused("Unknown Packet Type", "Logged In"), "Stream read error"}));
    EXPECT_EQ(TakeEvents(), Events{"System still in step"});
    EXPECT_EQ(chat->State(), csLoggedIn);
    EXPECT_EQ(disconnects, 0);
}

TEST_F(OfflineTest, PacketsTheStateDoesNotAcceptAreRefusedByName) {
    Feed(Hex("00 22 00 0A 00 00 03 E9 00 01 78 00 01 00") +
         ServerFrame(spClientUnknown, {A::Int(1)}) +
         ServerFrame(spMessageAnonVicinity, {A::Text("a"), A::Text("b"), A::Data({})}) +
         ServerFrame(spPrivategroupPart, {A::Int(kAliceId)}) +
         ServerFrame(spGroupPart, {A::Group(kGeneral)}) +
         ServerFrame(spAdmMuxInfo, {A::IntList({}), A::IntList({}), A::IntList({})}) + kLoginSeed +
         kLoginOK + TwoCharacterList());
    QStringList refused;
    for (const char* row :
         {"Message Vicinity", "Client Unknown", "Message Anon Vicinity", "Privategroup Part",
          "Group Part", "Adm Mux Info", "Login Seed", "Login Result OK", "Login CharacterList"}) {
        refused << Refused(row, "Logged In");
    }
    EXPECT_EQ(errors.Take(), refused);
    EXPECT_TRUE(TakeEvents().empty());
    EXPECT_EQ(chat->State(), csLoggedIn);
    EXPECT_EQ(chat->CharList().Count(), 0);
}

TEST_F(ChatTest, PacketsBeforeTheLoginAreRefusedAndChangeNothing) {
    ConnectToServer();
    server.Send(kLoginOK + ClientName(kBobId, "Bob") + kLoginSeed);
    ASSERT_TRUE(WaitForState(csAwaitingAuthorization));
    server.Send(kLoginSeed + TwoCharacterList());
    ASSERT_TRUE(WaitForState(csReadyForLogin));
    server.Send(ClientName(kBobId, "Bob") + kLoginOK);
    ASSERT_TRUE(WaitUntil([&] { return errors.messages.size() == 5; }));
    EXPECT_EQ(errors.Take(), (QStringList{
                                 Refused("Login Result OK", "Connecting"),
                                 Refused("Client Name", "Connecting"),
                                 Refused("Login Seed", "Awaiting Authoriziation"),
                                 Refused("Client Name", "Ready for Login"),
                                 Refused("Login Result OK", "Ready for Login"),
                             }));
    EXPECT_EQ(chat->State(), csReadyForLogin);
    EXPECT_EQ(chat->NameList().Count(), 2) << "Bob must not be known";
    EXPECT_EQ(server.frames.size(), 1u);
}

TEST_F(ChatTest, ACharacterListOfUnequalListsEndsTheLoginAsATimeOut) {
    const std::pair<QByteArray, const char*> cases[] = {
        {CharacterList({1, 2}, {"Ann"}, {10, 20}, {1, 0}),
         "2 identifiers, 1 names, 2 levels, 2 flags"},
        {CharacterList({1, 2}, {"Ann", "Ben"}, {10, 20}, {1}),
         "2 identifiers, 2 names, 2 levels, 1 flags"},
        {CharacterList({1}, {"Ann"}, {10, 20}, {1}), "1 identifiers, 1 names, 2 levels, 1 flags"},
    };
    // The application's way with a socket error: keep the code, clear it, disconnect.
    chat->OnError = [&](TVLChat* sender, int& code) {
        events.push_back("Error " + std::to_string(code));
        code = 0;
        sender->Disconnect();
    };
    for (const auto& [list, lengths] : cases) {
        const int before = disconnects;
        ReachCharacterList();
        server.Send(list + TwoCharacterList()); // the good list after it is never read
        ASSERT_TRUE(WaitForDisconnects(before + 1));
        EXPECT_EQ(TakeEvents(), (Events{"Error 10060", "Disconnect"}));
        EXPECT_EQ(errors.Take(),
                  QStringList{HandlerError("Login CharacterList",
                                           QString("Character list lengths differ: ") + lengths)});
        EXPECT_TRUE(server.WaitClientGone());
    }
    // An empty list is well formed.
    ReachCharacterList();
    server.Send(CharacterList({}, {}, {}, {}));
    ASSERT_TRUE(WaitForState(csReadyForLogin));
    EXPECT_EQ(TakeEvents(), Events{"Connect"});
}
