// A server that breaks the rules: oversize, truncated and unknown frames,
// packets the state does not accept, malformed character lists. Each ends in
// its exact error and the connection carries on (or closes, for an oversize
// frame); nothing crashes or hangs.

#include "VLChatTestSupport.h"

using namespace chattest;

namespace {

using Events = std::vector<std::string>;

QByteArray System(const QByteArray& text) {
    return ServerFrame(spMessageSystem, {TPacketArg::Text(text)});
}

QString Refused(const char* packet, const char* state) {
    return QString("Error in packet handler, packet type: %1, error Packet type %1 not allowed in "
                   "state %2")
        .arg(packet, state);
}

QByteArray CharacterList(QList<int32_t> ids, QList<QByteArray> names, QList<int32_t> levels,
                         QList<int32_t> online) {
    return ServerFrame(spLoginCharacterList,
                       {TPacketArg::IntList(std::move(ids)), TPacketArg::TextList(std::move(names)),
                        TPacketArg::IntList(std::move(levels)),
                        TPacketArg::IntList(std::move(online))});
}

} // namespace

TEST_F(ChatTest, OversizeFramesCloseTheConnection) {
    for (const char* header : {"00 24 10 01", "00 24 80 00", "FF FF FF FF"}) {
        SCOPED_TRACE(header);
        const int before = disconnects;
        LogIn();
        // Only the header is needed to refuse it; what follows is never read.
        server.Send(System("before") + Hex(header) + QByteArray(64, 'x') + System("after"));
        ASSERT_TRUE(WaitForDisconnects(before + 1));
        EXPECT_EQ(TakeEvents(), (Events{"System before", "Disconnect"}));
        const QByteArray bytes = Hex(header);
        const int length = (static_cast<uint8_t>(bytes[2]) << 8) | static_cast<uint8_t>(bytes[3]);
        EXPECT_EQ(TakeErrors(), QStringList{QString("Packet too large: %1 bytes").arg(length)});
        EXPECT_EQ(chat->State(), csDisconnected);
    }
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

TEST_F(ChatTest, PacketsTheStateDoesNotAcceptAreRefusedByName) {
    LogIn();
    const QByteArray one = ServerFrame(spClientUnknown, {TPacketArg::Int(1)});
    Deliver(Hex("00 22 00 0A 00 00 03 E9 00 01 78 00 01 00") + one +
            ServerFrame(spMessageAnonVicinity,
                        {TPacketArg::Text("a"), TPacketArg::Text("b"), TPacketArg::Data({})}) +
            ServerFrame(spPrivategroupPart, {TPacketArg::Int(kAliceId)}) +
            ServerFrame(spGroupPart, {TPacketArg::Group({1, 2, 3, 4, 5})}) +
            ServerFrame(spAdmMuxInfo, {TPacketArg::IntList({}), TPacketArg::IntList({}),
                                       TPacketArg::IntList({})}) +
            Hex("00 00 00 06 00 04 53 33 33 44") + Hex("00 05 00 00") + TwoCharacterList());
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
    EXPECT_EQ(chat->CharList().Count(), 2);
    EXPECT_TRUE(server.frames.empty()) << "a refused seed must not start a login";
}

TEST_F(ChatTest, PacketsBeforeTheLoginAreRefusedAndChangeNothing) {
    ConnectToServer();
    server.Send(Hex("00 05 00 00") + ClientName(kBobId, "Bob") +
                Hex("00 00 00 06 00 04 53 33 33 44"));
    ASSERT_TRUE(WaitForState(csAwaitingAuthorization));
    server.Send(Hex("00 00 00 06 00 04 53 33 33 44") + TwoCharacterList());
    ASSERT_TRUE(WaitForState(csReadyForLogin));
    server.Send(ClientName(kBobId, "Bob") + Hex("00 05 00 00"));
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

TEST_F(ChatTest, ACharacterListOfUnequalListsAddsNothing) {
    ConnectToServer();
    server.Send(Hex("00 00 00 06 00 04 53 33 33 44"));
    ASSERT_TRUE(WaitForState(csAwaitingAuthorization));
    server.Send(CharacterList({1, 2}, {"Ann"}, {10, 20}, {1, 0}) +
                CharacterList({1, 2}, {"Ann", "Ben"}, {10, 20}, {1}) +
                CharacterList({1}, {"Ann"}, {10, 20}, {1}));
    ASSERT_TRUE(WaitUntil([&] { return errors.messages.size() == 3; }));
    const QString prefix = "Error in packet handler, packet type: Login CharacterList, error ";
    EXPECT_EQ(
        TakeErrors(),
        (QStringList{
            prefix + "Character list lengths differ: 2 identifiers, 1 names, 2 levels, 2 flags",
            prefix + "Character list lengths differ: 2 identifiers, 2 names, 2 levels, 1 flags",
            prefix + "Character list lengths differ: 1 identifiers, 1 names, 2 levels, 1 flags",
        }));
    EXPECT_EQ(chat->CharList().Count(), 0);
    EXPECT_EQ(chat->NameList().Count(), 0);
    EXPECT_EQ(chat->State(), csAwaitingAuthorization);
    EXPECT_TRUE(TakeEvents().empty());
    // An empty list is well formed.
    server.Send(CharacterList({}, {}, {}, {}));
    ASSERT_TRUE(WaitForState(csReadyForLogin));
    EXPECT_EQ(TakeEvents(), Events{"Connect"});
}
