#include "TestClient.h"

namespace chatd::test {

namespace {

const TGroupId kGeneral{0x01, 0x00, 0x00, 0x00, 0x01};

TPacketArgs Muted(bool muted) {
    return {A::Group(kGeneral), A::Int(muted ? 0x01010000 : 0), A::Data({})};
}

TPacketArgs Buddy(int32_t id, char permanent) {
    return {A::Int(id), A::Data(QByteArray(1, permanent))};
}

} // namespace

TEST_F(ChatServerTest, TellsReachTheirTargetOnlyWithTheSenderAnnouncedOnce) {
    auto demo = Demochar();
    auto alpha = Alpha();
    const QByteArray item = Hex("000000000001000000020000000700000000");
    demo->Send(cpMessagePrivate, {A::Int(2001), A::Text("hi"), A::Data(item)});
    EXPECT_TRUE(demo->Ask(cpMessagePrivate, Message(2001, "again")).isEmpty()); // no echo
    EXPECT_EQ(alpha->Said(), (QStringList{"Client Name 1001 Demochar",
                                          "Message Private 1001 hi [" + item.toHex() + "]",
                                          "Message Private 1001 again [00]"}));
    EXPECT_TRUE(LogHas("tell Demochar -> Alpha"));

    // To somebody offline: a notice; to nobody at all: nothing.
    alpha->Send(cpMessagePrivate, Message(1002, "anyone?"));
    EXPECT_EQ(alpha->Ask(cpMessagePrivate, Message(555, "?")),
              QStringList{"Message System Testchar is not online."});
}

TEST_F(ChatServerTest, GroupMessagesReachEveryMemberTheSenderIncluded) {
    auto demo = Demochar();
    auto alpha = Alpha();
    demo->Send(cpGroupMessage, Message(kGeneral, "hello all"));
    EXPECT_EQ(demo->Ask(cpGroupMessage, Message({9, 9, 9, 9, 9}, "void")), // no such group
              QStringList{"Group Message g0100000001 1001 hello all [00]"});
    EXPECT_EQ(alpha->Said(), (QStringList{"Client Name 1001 Demochar",
                                          "Group Message g0100000001 1001 hello all [00]"}));

    // The echo is 4 bytes longer than what was sent (the sender id): a text
    // of 4082 bytes gives an echo body of exactly 4096, one more is too long.
    demo->Send(cpGroupMessage, Message(kGeneral, QByteArray(4082, 'x')));
    demo->Send(cpGroupMessage, Message(kGeneral, QByteArray(4083, 'x')));
    const Packets mine = demo->Sync();
    ASSERT_EQ(mine.size(), 2);
    EXPECT_EQ(mine[0].Args(2).AsText().size(), 4082);
    EXPECT_EQ(Show(mine[1]), "Message System The message is too long.");
    EXPECT_EQ(alpha->Sync().size(), 1);

    // A group added while online is announced before its first message.
    const TGroupId late{0x02, 0, 0, 0, 0x07};
    server.Accounts().AddGroup(late, "Latecomers");
    EXPECT_EQ(demo->Ask(cpGroupMessage, Message(late, "first")),
              (QStringList{"Group Join g0200000007 Latecomers 0 []",
                           "Group Message g0200000007 1001 first [00]"}));
}

TEST_F(ChatServerTest, MutedMembersGetOnlyTheirOwnMessagesAndTheSettingIsKept) {
    auto demo = Demochar();
    auto alpha = Alpha();
    const QString mutedGeneral = "Group Join g0100000001 General 16842752 []";
    EXPECT_EQ(alpha->Ask(cpGroupDataSet, Muted(true)), QStringList{mutedGeneral});
    demo->Ask(cpGroupMessage, Message(kGeneral, "not for alpha"));
    EXPECT_EQ(alpha->Ask(cpGroupMessage, Message(kGeneral, "alpha speaks")),
              QStringList{"Group Message g0100000001 2001 alpha speaks [00]"});

    // Logged in again, the group arrives muted; unmuted, messages come again.
    LogOut(alpha, "Alpha");
    alpha = Alpha();
    EXPECT_EQ(alpha->AfterLogin.mid(0, 2),
              (QStringList{mutedGeneral, "Group Join g0100000002 Trade 0 []"}));
    alpha->Ask(cpGroupDataSet, Muted(false));
    demo->Ask(cpGroupMessage, Message(kGeneral, "welcome back"));
    EXPECT_EQ(alpha->Said(), (QStringList{"Client Name 1001 Demochar",
                                          "Group Message g0100000001 1001 welcome back [00]"}));
}

TEST_F(ChatServerTest, BuddiesAreAddedRemovedAndKeptAcrossLogins) {
    auto alpha = Alpha();
    alpha->Send(cpFriendAdd, Buddy(1002, 1));
    alpha->Send(cpFriendAdd, Buddy(2003, 0));
    EXPECT_EQ(alpha->Ask(cpFriendAdd, Buddy(777, 1)),
              (QStringList{"Client Name 1002 Testchar", "Friend Added 1002 0 [01]",
                           "Client Name 2003 Charlie", "Friend Added 2003 0 [00]"}));
    // Removing a buddy answers; removing a stranger does nothing.
    alpha->Send(cpFriendRemove, {A::Int(2003)});
    EXPECT_EQ(alpha->Ask(cpFriendRemove, {A::Int(2003)}), QStringList{"Friend Removed 2003"});

    // Testchar is not on Alpha's character list: it is announced first.
    LogOut(alpha, "Alpha");
    alpha = Alpha();
    EXPECT_EQ(alpha->AfterLogin.mid(0, 2),
              (QStringList{"Client Name 1002 Testchar", "Friend Added 1002 0 [01]"}));
}

TEST_F(ChatServerTest, BuddiesLearnWhenTheirBuddyComesAndGoes) {
    auto demo = Demochar(); // Testchar is its stored buddy
    auto test = LoginAs("demo", "demo", "Testchar");
    EXPECT_EQ(Show(demo->Next()), QStringList{"Friend Added 1002 1 [01]"});
    auto alpha = Alpha();
    test.reset();
    EXPECT_EQ(Show(demo->Next()), QStringList{"Friend Added 1002 0 [01]"});
    EXPECT_TRUE(alpha->Sync().isEmpty()); // not Testchar's buddy: hears nothing
}

} // namespace chatd::test
