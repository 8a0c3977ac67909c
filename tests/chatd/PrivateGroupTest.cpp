#include "TestClient.h"

namespace chatd::test {

namespace {

constexpr int32_t kDemo = 1001;
constexpr int32_t kAlpha = 2001;
constexpr int32_t kCharlie = 2003;

TPacketArgs Id(int32_t id) {
    return {TPacketArg::Int(id)};
}

} // namespace

// Demochar owns the group; Alpha and Charlie are online.
class PrivateGroupTest : public ChatServerTest {
protected:
    void SetUp() override {
        ChatServerTest::SetUp();
        owner = Demochar();
        alpha = Alpha();
        charlie = Charlie();
    }

    // Invites and joins a member; everybody synced.
    void AddMember(TestClient& member, int32_t id) {
        owner->Send(cpPrivategroupInvite, Id(id));
        owner->Sync();
        member.Sync();
        member.Send(cpPrivategroupJoin, Id(kDemo));
        for (TestClient* c : {&member, owner.get(), alpha.get(), charlie.get()}) {
            c->Sync();
        }
    }

    std::unique_ptr<TestClient> owner;
    std::unique_ptr<TestClient> alpha;
    std::unique_ptr<TestClient> charlie;
};

TEST_F(PrivateGroupTest, InviteJoinMessageAndLeave) {
    owner->Send(cpPrivategroupInvite, Id(kAlpha));
    EXPECT_TRUE(owner->Sync().isEmpty());
    EXPECT_EQ(Show(alpha->Sync()),
              (QStringList{"Client Name 1001 Demochar", "Privategroup Invited 1001"}));
    alpha->Send(cpPrivategroupJoin, Id(kDemo));
    EXPECT_EQ(Show(alpha->Sync()), QStringList{"Privategroup Client Join 1001 2001"});
    EXPECT_EQ(Show(owner->Sync()),
              (QStringList{"Client Name 2001 Alpha", "Privategroup Client Join 1001 2001"}));
    EXPECT_EQ(server.PrivateGroupMembers("Demochar"), QStringList{"Alpha"});

    // A member's message reaches the owner and the member itself.
    alpha->Send(cpPrivategroupMessage, Message(kDemo, "yo"));
    const QStringList message{"Privategroup Message 1001 2001 yo [00]"};
    EXPECT_EQ(Show(alpha->Sync()), message); // first: the service has handled it
    EXPECT_EQ(Show(owner->Sync()), message);
    EXPECT_TRUE(charlie->Sync().isEmpty());

    // Leaving: the owner and the one who left see it.
    alpha->Send(cpPrivategroupPart, Id(kDemo));
    const QStringList left{"Privategroup Client Part 1001 2001"};
    EXPECT_EQ(Show(alpha->Sync()), left);
    EXPECT_EQ(Show(owner->Sync()), left);
    EXPECT_TRUE(server.PrivateGroupMembers("Demochar").isEmpty());
}

TEST_F(PrivateGroupTest, OnlyInvitedCharactersJoinAndOnlyMembersSpeak) {
    charlie->Send(cpPrivategroupJoin, Id(kDemo));
    charlie->Send(cpPrivategroupMessage, Message(kDemo, "let me in"));
    EXPECT_TRUE(charlie->Sync().isEmpty());
    EXPECT_TRUE(owner->Sync().isEmpty());

    // An invitation is used once; kicking an invitee withdraws it.
    AddMember(*alpha, kAlpha);
    alpha->Send(cpPrivategroupPart, Id(kDemo));
    alpha->Sync();
    alpha->Send(cpPrivategroupJoin, Id(kDemo));
    EXPECT_TRUE(alpha->Sync().isEmpty());
    owner->Send(cpPrivategroupInvite, Id(kCharlie));
    owner->Send(cpPrivategroupKick, Id(kCharlie));
    owner->Sync();
    charlie->Sync();
    charlie->Send(cpPrivategroupJoin, Id(kDemo));
    EXPECT_TRUE(charlie->Sync().isEmpty());
    EXPECT_TRUE(server.PrivateGroupMembers("Demochar").isEmpty());

    // The owner's own messages come back even with no members.
    owner->Send(cpPrivategroupMessage, Message(kDemo, "alone"));
    EXPECT_EQ(Show(owner->Sync()), QStringList{"Privategroup Message 1001 1001 alone [00]"});
}

TEST_F(PrivateGroupTest, KickAndKickAll) {
    AddMember(*alpha, kAlpha);
    AddMember(*charlie, kCharlie);
    EXPECT_EQ(server.PrivateGroupMembers("Demochar"), (QStringList{"Alpha", "Charlie"}));

    owner->Send(cpPrivategroupKick, Id(kAlpha));
    const QStringList part{"Privategroup Client Part 1001 2001"};
    EXPECT_EQ(Show(owner->Sync()), part);
    EXPECT_EQ(Show(alpha->Sync()), QStringList{"Privategroup Kicked 1001"});
    // Charlie joined after Alpha and learns Alpha's name first.
    EXPECT_EQ(Show(charlie->Sync()), QStringList{"Client Name 2001 Alpha"} + part);

    AddMember(*alpha, kAlpha); // now after Charlie
    owner->Send(cpPrivategroupKickall, {});
    EXPECT_EQ(Show(owner->Sync()), (QStringList{"Privategroup Client Part 1001 2003",
                                                "Privategroup Client Part 1001 2001"}));
    EXPECT_TRUE(Show(alpha->Sync()).contains("Privategroup Kicked 1001"));
    EXPECT_TRUE(Show(charlie->Sync()).contains("Privategroup Kicked 1001"));
    EXPECT_TRUE(server.PrivateGroupMembers("Demochar").isEmpty());
    EXPECT_TRUE(LogHas("kick all Demochar"));
}

TEST_F(PrivateGroupTest, DisconnectsLeaveGroupsAndEndOwnGroups) {
    AddMember(*alpha, kAlpha);
    AddMember(*charlie, kCharlie);
    alpha.reset(); // a member goes: the others see it leave
    EXPECT_EQ(Show(owner->Next()), QStringList{"Privategroup Client Part 1001 2001"});
    // Charlie joined after Alpha and learns Alpha's name first.
    EXPECT_EQ(Show(charlie->Next()), QStringList{"Client Name 2001 Alpha"});
    EXPECT_EQ(Show(charlie->Next()), QStringList{"Privategroup Client Part 1001 2001"});
    owner.reset(); // the owner goes: its group ends
    EXPECT_EQ(Show(charlie->Next()), QStringList{"Privategroup Kicked 1001"});
    EXPECT_TRUE(server.PrivateGroupMembers("Demochar").isEmpty());

    // Inviting a character that is not online says why nothing happens.
    charlie->Send(cpPrivategroupInvite, Id(kAlpha));
    EXPECT_EQ(Show(charlie->Sync()), QStringList{"Message System Alpha is not online."});
}

} // namespace chatd::test
