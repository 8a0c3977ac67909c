#include "TestClient.h"

namespace chatd::test {

namespace {

constexpr int32_t kDemo = 1001;
constexpr int32_t kAlpha = 2001;
constexpr int32_t kCharlie = 2003;

TPacketArgs Id(int32_t id) {
    return {A::Int(id)};
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
        owner->Ask(cpPrivategroupInvite, Id(id));
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
    EXPECT_TRUE(owner->Ask(cpPrivategroupInvite, Id(kAlpha)).isEmpty());
    EXPECT_EQ(alpha->Said(),
              (QStringList{"Client Name 1001 Demochar", "Privategroup Invited 1001"}));
    EXPECT_EQ(alpha->Ask(cpPrivategroupJoin, Id(kDemo)),
              QStringList{"Privategroup Client Join 1001 2001"});
    EXPECT_EQ(owner->Said(),
              (QStringList{"Client Name 2001 Alpha", "Privategroup Client Join 1001 2001"}));
    EXPECT_EQ(server.PrivateGroupMembers("Demochar"), QStringList{"Alpha"});

    // A member's message reaches the owner and the member itself; leaving,
    // the owner and the one who left see it.
    for (const auto& [row, args, seen] :
         {std::tuple{cpPrivategroupMessage, Message(kDemo, "yo"),
                     QStringList{"Privategroup Message 1001 2001 yo [00]"}},
          {cpPrivategroupPart, Id(kDemo), QStringList{"Privategroup Client Part 1001 2001"}}}) {
        EXPECT_EQ(alpha->Ask(row, args), seen); // first: the service has handled it
        EXPECT_EQ(owner->Said(), seen);
        EXPECT_TRUE(charlie->Sync().isEmpty());
    }
    EXPECT_TRUE(server.PrivateGroupMembers("Demochar").isEmpty());
}

TEST_F(PrivateGroupTest, OnlyInvitedCharactersJoinAndOnlyMembersSpeak) {
    charlie->Send(cpPrivategroupJoin, Id(kDemo));
    EXPECT_TRUE(charlie->Ask(cpPrivategroupMessage, Message(kDemo, "let me in")).isEmpty());
    EXPECT_TRUE(owner->Sync().isEmpty());

    // An invitation is used once; kicking an invitee withdraws it.
    AddMember(*alpha, kAlpha);
    alpha->Ask(cpPrivategroupPart, Id(kDemo));
    EXPECT_TRUE(alpha->Ask(cpPrivategroupJoin, Id(kDemo)).isEmpty());
    owner->Send(cpPrivategroupInvite, Id(kCharlie));
    owner->Ask(cpPrivategroupKick, Id(kCharlie));
    charlie->Sync();
    EXPECT_TRUE(charlie->Ask(cpPrivategroupJoin, Id(kDemo)).isEmpty());
    EXPECT_TRUE(server.PrivateGroupMembers("Demochar").isEmpty());

    // The owner's own messages come back even with no members.
    EXPECT_EQ(owner->Ask(cpPrivategroupMessage, Message(kDemo, "alone")),
              QStringList{"Privategroup Message 1001 1001 alone [00]"});
}

TEST_F(PrivateGroupTest, KickAndKickAll) {
    AddMember(*alpha, kAlpha);
    AddMember(*charlie, kCharlie);
    EXPECT_EQ(server.PrivateGroupMembers("Demochar"), (QStringList{"Alpha", "Charlie"}));

    const QStringList part{"Privategroup Client Part 1001 2001"};
    EXPECT_EQ(owner->Ask(cpPrivategroupKick, Id(kAlpha)), part);
    EXPECT_EQ(alpha->Said(), QStringList{"Privategroup Kicked 1001"});
    // Charlie joined after Alpha and learns Alpha's name first.
    EXPECT_EQ(charlie->Said(), QStringList{"Client Name 2001 Alpha"} + part);

    AddMember(*alpha, kAlpha); // now after Charlie
    EXPECT_EQ(
        owner->Ask(cpPrivategroupKickall, {}),
        (QStringList{"Privategroup Client Part 1001 2003", "Privategroup Client Part 1001 2001"}));
    EXPECT_TRUE(alpha->Said().contains("Privategroup Kicked 1001"));
    EXPECT_TRUE(charlie->Said().contains("Privategroup Kicked 1001"));
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
    EXPECT_EQ(charlie->Ask(cpPrivategroupInvite, Id(kAlpha)),
              QStringList{"Message System Alpha is not online."});
}

} // namespace chatd::test
