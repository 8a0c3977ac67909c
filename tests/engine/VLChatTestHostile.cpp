// A server that breaks the rules: oversize, truncated and unknown frames,
// packets the state does not accept, malformed character lists. Each ends in
// its exact error and the connection carries on (a character list that cannot
// be used ends the login); nothing crashes or hangs.

#include "VLChatTestSupport.h"

#include "platform/core/Guarded.h"

#include <algorithm>

using namespace chattest;

namespace {

QByteArray CharacterList(QList<int32_t> ids, QList<QByteArray> names, QList<int32_t> levels,
                         QList<int32_t> online) {
    return ServerFrame(spLoginCharacterList,
                       {TPacketArg::IntList(std::move(ids)), TPacketArg::TextList(std::move(names)),
                        TPacketArg::IntList(std::move(levels)),
                        TPacketArg::IntList(std::move(online))});
}

// A frame with a body of the length given, whatever its content.
QByteArray Oversize(int length) {
    return Hex("00 1E") + char(length >> 8) + char(length & 0xFF) + QByteArray(length, 'x');
}

} // namespace

TEST_F(ChatTest, AnOversizeFrameIsSkippedAndTheConnectionStays) {
    LogIn();
    for (const int length : {4097, 32768, 65535}) {
        Deliver(System("before") + Oversize(length) + System("after"));
        EXPECT_EQ(TakeEvents(), (Events{"System before", "System after"}));
        EXPECT_EQ(TakeErrors(), QStringList{QString("Packet too large: %1 bytes").arg(length)});
    }
    EXPECT_EQ(chat->State(), csLoggedIn);
    EXPECT_EQ(disconnects, 0);

    // The largest frame, arriving one byte at a time: every byte is taken as
    // it comes, so nothing of it piles up in the receive buffer.
    plat::ByteQueue received;
    const QByteArray stream = Oversize(65535) + System("next");
    qsizetype mostKept = 0;
    for (qsizetype i = 0; i < stream.size(); ++i) {
        received.Append(stream.mid(i, 1));
        plat::guarded([&] { chat->ReadNotification(received); });
        mostKept = std::max(mostKept, i < 4 + 65535 ? received.Size() : 0);
    }
    EXPECT_LE(mostKept, 3) << "only a header waits for its last byte";
    EXPECT_EQ(TakeErrors(), QStringList{"Packet too large: 65535 bytes"});
    EXPECT_EQ(TakeEvents(), Events{"System next"});
}

TEST_F(ChatTest, FramesThatCannotBeParsedAreSkipped) {
    LogIn();
    // A frame split over two sends is put together again.
    server.Send(Hex("00 24 00"));
    Deliver(Hex("04 00 02 68 69"));
    EXPECT_EQ(TakeEvents(), Events{"System hi"});
    EXPECT_TRUE(TakeErrors().isEmpty());

    Deliver(Hex("00 24 00 03 00 05 61") +          // a text longer than its body
            Hex("00 6E 00 04 00 00 00 01") +       // "Forward" cannot be read at all
            Hex("27 0F 00 03 AA BB CC") +          // a type no row has
            Hex("00 1E 00 06 00 00 03 E9 00 02") + // arguments missing at the end
            System("still in step"));
    EXPECT_EQ(TakeErrors(),
              (QStringList{"Stream read error", "Logic error, bad param type M.",
                           Refused("Unknown Packet Type", "Logged In"), "Stream read error"}));
    EXPECT_EQ(TakeEvents(), Events{"System still in step"});
    EXPECT_EQ(chat->State(), csLoggedIn);
}

TEST_F(OfflineTest, PacketsTheStateDoesNotAcceptAreRefusedByName) {
    Feed(Hex("00 22 00 0A 00 00 03 E9 00 01 78 00 01 00") +
         ServerFrame(spClientUnknown, {TPacketArg::Int(1)}) +
         ServerFrame(spMessageAnonVicinity,
                     {TPacketArg::Text("a"), TPacketArg::Text("b"), TPacketArg::Data({})}) +
         ServerFrame(spPrivategroupPart, {TPacketArg::Int(kAliceId)}) +
         ServerFrame(spGroupPart, {TPacketArg::Group({1, 2, 3, 4, 5})}) +
         ServerFrame(spAdmMuxInfo,
                     {TPacketArg::IntList({}), TPacketArg::IntList({}), TPacketArg::IntList({})}) +
         kLoginSeed + kLoginOK + TwoCharacterList());
    EXPECT_EQ(TakeErrors(), (QStringList{
                                Refused("Message Vicinity", "Logged In"),
                                Refused("Client Unknown", "Logged In"),
                                Refused("Message Anon Vicinity", "Logged In"),
                                Refused("Privategroup Part", "Logged In"),
                                Refused("Group Part", "Logged In"),
                                Refused("Adm Mux Info", "Logged In"),
                                Refused("Login Seed", "Logged In"),
                                Refused("Login Result OK", "Logged In"),
                                Refused("Login CharacterList", "Logged In"),
                            }));
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
    EXPECT_EQ(TakeErrors(), (QStringList{
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
    const QString prefix = "Error in packet handler, packet type: Login CharacterList, error ";
    const struct {
        QByteArray list;
        const char* lengths;
    } cases[] = {
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
    for (const auto& c : cases) {
        const int before = disconnects;
        ReachCharacterList();
        server.Send(c.list + TwoCharacterList()); // the good list after it is never read
        ASSERT_TRUE(WaitForDisconnects(before + 1));
        EXPECT_EQ(TakeEvents(), (Events{"Error 10060", "Disconnect"}));
        EXPECT_EQ(TakeErrors(),
                  QStringList{prefix + "Character list lengths differ: " + c.lengths});
        EXPECT_TRUE(WaitUntil([&] { return server.ClientGone(); }));
    }
    // An empty list is well formed.
    ReachCharacterList();
    server.Send(CharacterList({}, {}, {}, {}));
    ASSERT_TRUE(WaitForState(csReadyForLogin));
    EXPECT_EQ(TakeEvents(), Events{"Connect"});
}
