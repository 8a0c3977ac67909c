#include "TestClient.h"

#include "Raises.h"

#include <QRandomGenerator>

namespace chatd::test {

TEST(ServerCodec, NeverBuildsWhatTheClientRejects) {
    for (const TVLServerPacket row :
         {spUnknownPacketType, spClientUnknown, spMessageVicinity, spMessageAnonVicinity,
          spPrivategroupPart, spGroupPart, spForward, spAdmMuxInfo}) {
        EXPECT_TRUE(MessageOf([&] { ServerFrame(row, {}); }).startsWith("The client never accepts"))
            << VLServerPackets[row].Name;
    }
    // The client's receive limit holds for what the service writes.
    EXPECT_EQ(ServerFrame(spMessageSystem, {A::Text(QByteArray(4094, 'x'))}).size(), 4100);
    EXPECT_THROW(ServerFrame(spMessageSystem, {A::Text(QByteArray(4095, 'x'))}), EPacketTooLarge);
}

TEST_F(ChatServerTest, BadPacketsCloseOnlyTheirOwnSession) {
    auto bystander = Alpha();
    const struct {
        QByteArray frame;
        const char* logged;
    } cases[] = {
        {Frame(30, Hex("000003E9000568")), "Bad packet of type 30"}, // short body
        {Frame(42, Hex("00000001")), "Packet type Onlinestatus Set not allowed in state Logged In"},
        {Frame(9999, {}), "Unknown packet type 9999"},
        {Frame(3, Hex("000003E9")),
         "Packet type Login Select Character not allowed in state Logged In"},
        {Frame(120, Hex("0000")), "Packet type cc not allowed"},
        {Frame(21, QByteArray(4097, 'a')), "Packet too large: 4097 bytes"},
        {Hex("00158000"), "Packet too large: 32768 bytes"}, // a negative length
    };
    for (const auto& c : cases) {
        auto client = Demochar();
        client->SendRaw(c.frame);
        EXPECT_TRUE(client->WaitClosed()) << c.logged;
        EXPECT_TRUE(LogHas(QString::fromLatin1(c.logged))) << c.logged;
        EXPECT_TRUE(WaitUntil([&] { return !server.IsOnline("Demochar"); })) << c.logged;
    }
    EXPECT_TRUE(bystander->Sync().isEmpty());
    EXPECT_EQ(server.OnlineCharacters(), QStringList{"Alpha"});

    // Packets before their state close the session too.
    auto early = Connect();
    ASSERT_TRUE(early->Next().has_value()); // the seed
    early->Send(cpNameLookup, {A::Text("Demochar")});
    EXPECT_TRUE(early->WaitClosed());
    EXPECT_TRUE(LogHas("Packet type Name Lookup not allowed in state Awaiting Login"));
    auto selecting = Connect();
    ASSERT_TRUE(selecting->RequestCharacters("demo", "demo").has_value());
    selecting->Send(cpPing, {A::Data("x")});
    EXPECT_TRUE(selecting->WaitClosed());
    EXPECT_TRUE(LogHas("Packet type Ping not allowed in state Awaiting Character Selection"));
}

TEST_F(ChatServerTest, FramesInPiecesAreReassembledAndGarbageIsSurvived) {
    auto client = Demochar();
    const QByteArray first = TVLChatOutgoingPacket(cpPing, {A::Data("one")}).Frame();
    const QByteArray second = TVLChatOutgoingPacket(cpPing, {A::Data("two")}).Frame();
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
    EXPECT_EQ(client->Ask(cpNameLookup, {A::Text("Testchar")}),
              QStringList{"Lookup Result 1002 Testchar"});
}

} // namespace chatd::test
