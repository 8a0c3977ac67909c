#include "TestClient.h"

#include "chatd/ChatSession.h"

#include <QRandomGenerator>

namespace chatd::test {

TEST(ServerCodec, NeverBuildsWhatTheClientRejects) {
    const QList<int> neverAccepted{
        spUnknownPacketType, spClientUnknown, spMessageVicinity, spMessageAnonVicinity,
        spPrivategroupPart,  spGroupPart,     spForward,         spAdmMuxInfo};
    const QMap<char, TPacketArg> sample{{'I', TPacketArg::Int(1)},
                                        {'S', TPacketArg::Text("t")},
                                        {'G', TPacketArg::Group({1, 2, 3, 4, 5})},
                                        {'D', TPacketArg::Data("d")},
                                        {'i', TPacketArg::IntList({1})},
                                        {'s', TPacketArg::TextList({"t"})}};
    for (uint8_t row = 0; row < spCount; ++row) {
        TPacketArgs args; // a value of each kind the signature asks for
        for (const char* p = VLServerPackets[row].Signature; *p; ++p) {
            if (sample.contains(*p)) {
                args.append(sample[*p]);
            }
        }
        const auto build = [&] { return ServerFrame(static_cast<TVLServerPacket>(row), args); };
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

    // What a session takes in each state: what the client sends in it.
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
}

TEST_F(ChatServerTest, BadPacketsCloseOnlyTheirOwnSession) {
    auto bystander = Alpha();
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
        auto client = Demochar();
        client->SendRaw(c.frame);
        EXPECT_TRUE(client->WaitClosed()) << c.what;
        EXPECT_TRUE(LogHas(QString::fromLatin1(c.logged))) << c.what;
        EXPECT_TRUE(WaitUntil([&] { return !server.IsOnline("Demochar"); })) << c.what;
    }
    EXPECT_TRUE(bystander->Sync().isEmpty());
    EXPECT_EQ(server.OnlineCharacters(), QStringList{"Alpha"});

    // Packets before their state close the session too.
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
    auto client = Demochar();
    const QByteArray first = TVLChatOutgoingPacket(cpPing, {TPacketArg::Data("one")}).Frame();
    const QByteArray second = TVLChatOutgoingPacket(cpPing, {TPacketArg::Data("two")}).Frame();
    // A whole frame and the start of the next: only the first is answered.
    client->SendRaw(first + second.left(3));
    EXPECT_EQ(Show(client->Next()), QStringList{"Pong [6f6e65]"});
    client->SendRaw(second.mid(3, 2));
    client->SendRaw(second.mid(5));
    EXPECT_EQ(Show(client->Next()), QStringList{"Pong [74776f]"});

    // Random bytes from the first byte on: the session ends, the service
    // lives. Longer than any frame the service takes, so that whatever
    // length the first header claims, its body is complete.
    QRandomGenerator random(20261206);
    for (int round = 0; round < 5; ++round) {
        QByteArray noise(8192, Qt::Uninitialized);
        for (char& b : noise) {
            b = static_cast<char>(random.bounded(256));
        }
        auto victim = Connect();
        victim->SendRaw(noise);
        EXPECT_TRUE(victim->WaitClosed()) << round;
    }
    client->Send(cpNameLookup, {TPacketArg::Text("Testchar")});
    EXPECT_EQ(Show(client->Sync()), QStringList{"Lookup Result 1002 Testchar"});
}

} // namespace chatd::test
