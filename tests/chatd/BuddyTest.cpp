#include "TestClient.h"

namespace chatd::test {

namespace {

void expectFriend(const Packet& p, int32_t id, int32_t online, char flag) {
    EXPECT_EQ(p.Index(), spFriendAdded);
    EXPECT_EQ(p.Args(0).AsInt(), id);
    EXPECT_EQ(p.Args(1).AsInt(), online);
    EXPECT_EQ(p.Args(2).AsData(), QByteArray(1, flag));
}

} // namespace

TEST_F(ChatServerTest, BuddiesAreAddedRemovedAndKeptAcrossLogins) {
    auto alpha = LoginAs("alice", "alicepw", "Alpha");
    EXPECT_TRUE(OfRow(alpha->AfterLogin, spFriendAdded).isEmpty());

    alpha->Send(cpFriendAdd, {TPacketArg::Int(1002), TPacketArg::Data(QByteArray(1, '\1'))});
    alpha->Send(cpFriendAdd, {TPacketArg::Int(2003), TPacketArg::Data(QByteArray(1, '\0'))});
    alpha->Send(cpFriendAdd, {TPacketArg::Int(777), TPacketArg::Data(QByteArray(1, '\1'))});
    const Packets added = alpha->Sync();
    ASSERT_EQ(Rows(added), (QList<int>{spClientName, spFriendAdded, spClientName, spFriendAdded}));
    EXPECT_EQ(added[0].Args(1).AsText(), QByteArray("Testchar"));
    expectFriend(added[1], 1002, 0, '\1');
    expectFriend(added[3], 2003, 0, '\0');

    // Removing a buddy answers; removing a stranger does nothing.
    alpha->Send(cpFriendRemove, {TPacketArg::Int(2003)});
    alpha->Send(cpFriendRemove, {TPacketArg::Int(2003)});
    const Packets removed = alpha->Sync();
    ASSERT_EQ(Rows(removed), QList<int>{spFriendRemoved});
    EXPECT_EQ(removed[0].Args(0).AsInt(), 2003);

    alpha.reset();
    ASSERT_TRUE(WaitUntil([&] { return !server.IsOnline("Alpha"); }));
    alpha = LoginAs("alice", "alicepw", "Alpha");
    const Packets stored = OfRow(alpha->AfterLogin, spFriendAdded);
    ASSERT_EQ(stored.size(), 1);
    expectFriend(stored[0], 1002, 0, '\1');
    // Testchar is not on Alpha's character list: it is announced first.
    const QList<int> rows = Rows(alpha->AfterLogin);
    ASSERT_GE(rows.indexOf(spClientName), 0);
    EXPECT_LT(rows.indexOf(spClientName), rows.indexOf(spFriendAdded));
    EXPECT_EQ(OfRow(alpha->AfterLogin, spClientName)[0].Args(0).AsInt(), 1002);
}

TEST_F(ChatServerTest, BuddiesLearnWhenTheirBuddyComesAndGoes) {
    // Demochar has Testchar as a stored buddy.
    auto demo = LoginAs("demo", "demo", "Demochar");
    const Packets atLogin = OfRow(demo->AfterLogin, spFriendAdded);
    ASSERT_EQ(atLogin.size(), 1);
    expectFriend(atLogin[0], 1002, 0, '\1');

    auto test = LoginAs("demo", "demo", "Testchar");
    const auto online = demo->Next();
    ASSERT_TRUE(online.has_value());
    expectFriend(*online, 1002, 1, '\1');

    // Somebody who is not Testchar's buddy hears nothing of it.
    auto alpha = LoginAs("alice", "alicepw", "Alpha");
    test.reset();
    const auto offline = demo->Next();
    ASSERT_TRUE(offline.has_value());
    expectFriend(*offline, 1002, 0, '\1');
    EXPECT_TRUE(alpha->Sync().isEmpty());
}

} // namespace chatd::test
