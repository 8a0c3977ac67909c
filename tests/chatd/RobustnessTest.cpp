#include "TestClient.h"

#include <QRandomGenerator>

namespace chatd::test {

TEST(ServerCodec, NeverBuildsWhatTheClientRejects) {
    for (const TVLServerPacket row :
         {spUnknownPacketType, spClientUnknown, spMessageVicinity, spMessageAnonVicinity,
          spPrivategroupPart, spGroupPart, spForward, spAdmMuxInfo}) {
        try {
            ServerFrame(row, {});
            ADD_FAILURE() << VLServerPackets[row].Name;
        } catch (const plat::Exception& e) {
            EXPECT_TRUE(e.Message().startsWith("The client never accepts"))
                << VLServerPackets[row].Name;
        }
    }
    // The client's receive limit holds for what the service writes.
    EXPECT_EQ(ServerFrame(spMessageSystem, {TPacketArg::Text(QByteArray(4094, 'x'))}).size(), 4100);
    EXPECT_THROW(ServerFrame(spMessageSystem, {TPacketArg::Text(QByteArray(4095, 'x'))}),
                 EPacketTooLarge);
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
