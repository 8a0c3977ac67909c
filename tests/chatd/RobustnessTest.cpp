#include "TestClient.h"

#include "chatd/ChatSession.h"

#include <QRandomGenerator>

namespace chatd::test {

namespace {

// Default arguments for a signature.
TPacketArgs argsFor(const char* signature) {
    TPacketArgs args;
    for (const char* p = signature; *p; ++p) {
        switch (*p) {
        case 'I':
            args.append(TPacketArg::Int(1));
            break;
        case 'S':
            args.append(TPacketArg::Text("t"));
            break;
        case 'G':
            args.append(TPacketArg::Group({1, 2, 3, 4, 5}));
            break;
        case 'D':
            args.append(TPacketArg::Data("d"));
            break;
        case 'i':
            args.append(TPacketArg::IntList({1}));
            break;
        case 's':
            args.append(TPacketArg::TextList({"t"}));
            break;
        default:
            break;
        }
    }
    return args;
}

} // namespace

TEST(ServerCodec, NeverBuildsWhatTheClientRejectsInEveryState) {
    const QList<int> neverAccepted{
        spUnknownPacketType, spClientUnknown, spMessageVicinity, spMessageAnonVicinity,
        spPrivategroupPart,  spGroupPart,     spForward,         spAdmMuxInfo};
    for (uint8_t row = 0; row < spCount; ++row) {
        const auto build = [&] {
            return ServerFrame(static_cast<TVLServerPacket>(row),
                               argsFor(VLServerPackets[row].Signature));
        };
        if (neverAccepted.contains(row)) {
            EXPECT_THROW(build(), plat::Exception) << VLServerPackets[row].Name;
        } else {
            const QByteArray frame = build();
            EXPECT_EQ((uint8_t(frame[0]) << 8) | uint8_t(frame[1]), VLServerPackets[row].Type);
        }
    }
    // The client's receive limit holds for what the service writes.
    EXPECT_EQ(ServerFrame(spMessageSystem, {TPacketArg::Text(QByteArray(4094, 'x'))}).size(), 4100);
    EXPECT_THROW(ServerFrame(spMessageSystem, {TPacketArg::Text(QByteArray(4095, 'x'))}),
                 EPacketTooLarge);
}

TEST(ServerCodec, SessionStatesAllowWhatTheClientSendsInTheMatchingState) {
    const QList<int> loggedIn{cpNameLookup,
                              cpMessagePrivate,
                              cpFriendAdd,
                              cpFriendRemove,
                              cpPrivategroupInvite,
                              cpPrivategroupKick,
                              cpPrivategroupJoin,
                              cpPrivategroupPart,
                              cpPrivategroupKickall,
                              cpPrivategroupMessage,
                              cpGroupDataSet,
                              cpGroupMessage,
                              cpPing};
    for (uint8_t row = 0; row <= cpCount; ++row) {
        EXPECT_EQ(ClientMaySend(SessionState::AwaitingLogin, row),
                  row == cpLoginResponseGetCharList);
        EXPECT_EQ(ClientMaySend(SessionState::AwaitingSelect, row), row == cpLoginSelectCharacter);
        EXPECT_EQ(ClientMaySend(SessionState::LoggedIn, row), loggedIn.contains(row)) << int(row);
        EXPECT_FALSE(ClientMaySend(SessionState::Closed, row));
    }
    const ClientPacket unknown = ParseClientPacket(9999, QByteArray("abc"));
    EXPECT_FALSE(unknown.Known());
    EXPECT_EQ(unknown.Name(), u"unknown type 9999");
    EXPECT_THROW(ParseClientPacket(30, QByteArray::fromHex("000003E9000568")), plat::EReadError);
}

TEST_F(ChatServerTest, BadPacketsCloseOnlyTheirOwnSession) {
    auto bystander = LoginAs("alice", "alicepw", "Alpha");
    struct Case {
        const char* what;
        QByteArray frame;
        const char* logged;
    };
    const Case cases[] = {
        {"short body", RawFrame(30, QByteArray::fromHex("000003E9000568")),
         "Bad packet of type 30"},
        {"status not allowed", RawFrame(42, QByteArray::fromHex("00000001")),
         "Packet type Onlinestatus Set not allowed in state Logged In"},
        {"unknown type", RawFrame(9999, {}), "Unknown packet type 9999"},
        {"selection again", RawFrame(3, QByteArray::fromHex("000003E9")),
         "Packet type Login Select Character not allowed in state Logged In"},
        {"list row", RawFrame(120, QByteArray::fromHex("0000")), "Packet type cc not allowed"},
        {"too large", RawFrame(21, QByteArray(4097, 'a')), "Packet too large: 4097 bytes"},
        {"negative length", QByteArray::fromHex("00158000"), "Packet too large: 32768 bytes"},
    };
    for (const Case& c : cases) {
        auto client = LoginAs("demo", "demo", "Demochar");
        client->SendRaw(c.frame);
        EXPECT_TRUE(client->WaitClosed()) << c.what;
        EXPECT_TRUE(LogHas(QString::fromLatin1(c.logged))) << c.what;
        EXPECT_TRUE(WaitUntil([&] { return !server.IsOnline("Demochar"); })) << c.what;
    }
    EXPECT_TRUE(bystander->Sync().isEmpty());
    EXPECT_EQ(server.OnlineCharacters(), QStringList{"Alpha"});
}

TEST_F(ChatServerTest, PacketsBeforeTheirStateClose) {
    auto early = Connect();
    ASSERT_TRUE(early->Next().has_value()); // the seed
    early->Send(cpNameLookup, {TPacketArg::Text("Demochar")});
    EXPECT_TRUE(early->WaitClosed());
    EXPECT_TRUE(LogHas("Packet type Name Lookup not allowed in state Awaiting Login"));

    auto selecting = Connect();
    ASSERT_TRUE(selecting->RequestCharacters("demo", "demo").has_value());
    selecting->Send(cpPing, {TPacketArg::Data("x")});
    EXPECT_TRUE(selecting->WaitClosed());
    EXPECT_TRUE(LogHas("Packet type Ping not allowed in state Awaiting Character Selection"));
}

TEST_F(ChatServerTest, FramesInPiecesAreReassembledAndGarbageIsSurvived) {
    auto client = LoginAs("demo", "demo", "Demochar");
    const QByteArray first = TVLChatOutgoingPacket(cpPing, {TPacketArg::Data("one")}).Frame();
    const QByteArray second = TVLChatOutgoingPacket(cpPing, {TPacketArg::Data("two")}).Frame();
    // A whole frame and the start of the next: only the first is answered.
    client->SendRaw(first + second.left(3));
    const auto pong1 = client->Next();
    ASSERT_TRUE(pong1.has_value());
    EXPECT_EQ(pong1->Args(0).AsData(), QByteArray("one"));
    client->SendRaw(second.mid(3, 2));
    client->SendRaw(second.mid(5));
    const auto pong2 = client->Next();
    ASSERT_TRUE(pong2.has_value());
    EXPECT_EQ(pong2->Args(0).AsData(), QByteArray("two"));

    // Random bytes from the first byte on: the session ends, the service lives.
    QRandomGenerator random(20261206);
    for (int round = 0; round < 5; ++round) {
        // Longer than any frame the service accepts, so that whatever length
        // the first header claims, its body is complete.
        QByteArray noise(8192, Qt::Uninitialized);
        for (char& b : noise) {
            b = static_cast<char>(random.bounded(256));
        }
        auto victim = Connect();
        victim->SendRaw(noise);
        EXPECT_TRUE(victim->WaitClosed()) << round;
    }
    client->Send(cpNameLookup, {TPacketArg::Text("Testchar")});
    EXPECT_EQ(Rows(client->Sync()), QList<int>{spLookupResult});
}

} // namespace chatd::test
