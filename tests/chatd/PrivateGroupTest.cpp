#include "TestClient.h"

namespace chatd::test {

namespace {

constexpr int32_t kDemo = 1001;
constexpr int32_t kAlpha = 2001;
constexpr int32_t kCharlie = 2003;

void expectPair(const Packet& p, int row, int32_t owner, int32_t character) {
    EXPECT_EQ(p.Index(), row);
    EXPECT_EQ(p.Args(0).AsInt(), owner);
    EXPECT_EQ(p.Args(1).AsInt(), character);
}

} // namespace

class PrivateGroupTest : public ChatServerTest {
protected:
    void SetUp() override {
        ChatServerTest::SetUp();
        owner = LoginAs("demo", "demo", "Demochar");
        alpha = LoginAs("alice", "alicepw", "Alpha");
        charlie = LoginAs("bob", "bobpw", "Charlie");
    }

    // Invites and joins a member of Demochar's group; everybody synced.
    void addMember(TestClient& member, int32_t id) {
        owner->Send(cpPrivategroupInvite, {TPacketArg::Int(id)});
        owner->Sync();
        member.Sync();
        member.Send(cpPrivategroupJoin, {TPacketArg::Int(kDemo)});
        member.Sync();
        syncAll();
    }

    void syncAll() {
        owner->Sync();
        alpha->Sync();
        charlie->Sync();
    }

    std::unique_ptr<TestClient> owner;
    std::unique_ptr<TestClient> alpha;
    std::unique_ptr<TestClient> charlie;
};

TEST_F(PrivateGroupTest, InviteJoinMessageAndLeave) {
    owner->Send(cpPrivategroupInvite, {TPacketArg::Int(kAlpha)});
    EXPECT_TRUE(owner->Sync().isEmpty());
    const Packets invited = alpha->Sync();
    ASSERT_EQ(Rows(invited), (QList<int>{spClientName, spPrivategroupInvited}));
    EXPECT_EQ(invited[0].Args(0).AsInt(), kDemo);
    EXPECT_EQ(invited[1].Args(0).AsInt(), kDemo);

    alpha->Send(cpPrivategroupJoin, {TPacketArg::Int(kDemo)});
    const Packets joinedSelf = alpha->Sync();
    ASSERT_EQ(joinedSelf.size(), 1);
    expectPair(joinedSelf[0], spPrivategroupClientJoin, kDemo, kAlpha);
    const Packets joinedOwner = owner->Sync();
    ASSERT_EQ(Rows(joinedOwner), (QList<int>{spClientName, spPrivategroupClientJoin}));
    EXPECT_EQ(joinedOwner[0].Args(1).AsText(), QByteArray("Alpha"));
    expectPair(joinedOwner[1], spPrivategroupClientJoin, kDemo, kAlpha);
    EXPECT_EQ(server.PrivateGroupMembers("Demochar"), QStringList{"Alpha"});

    // A message of a member reaches the owner and the member itself.
    alpha->Send(cpPrivategroupMessage,
                {TPacketArg::Int(kDemo), TPacketArg::Text("yo"), TPacketArg::Data(NoAttachment())});
    const Packets alphaGot = alpha->Sync(); // first: the server has handled the message
    const Packets ownerGot = owner->Sync();
    for (const Packets& all : {alphaGot, ownerGot}) {
        const Packets got = OfRow(all, spPrivategroupMessage);
        ASSERT_EQ(got.size(), 1);
        expectPair(got[0], spPrivategroupMessage, kDemo, kAlpha);
        EXPECT_EQ(got[0].Args(2).AsText(), QByteArray("yo"));
    }
    EXPECT_TRUE(charlie->Sync().isEmpty());

    // Leaving: the owner and the one who left see it.
    alpha->Send(cpPrivategroupPart, {TPacketArg::Int(kDemo)});
    const Packets leftSelf = alpha->Sync();
    ASSERT_EQ(leftSelf.size(), 1);
    expectPair(leftSelf[0], spPrivategroupClientPart, kDemo, kAlpha);
    const Packets leftOwner = owner->Sync();
    ASSERT_EQ(leftOwner.size(), 1);
    expectPair(leftOwner[0], spPrivategroupClientPart, kDemo, kAlpha);
    EXPECT_TRUE(server.PrivateGroupMembers("Demochar").isEmpty());
}

TEST_F(PrivateGroupTest, OnlyInvitedCharactersJoinAndOnlyMembersSpeak) {
    charlie->Send(cpPrivategroupJoin, {TPacketArg::Int(kDemo)});
    charlie->Send(cpPrivategroupMessage, {TPacketArg::Int(kDemo), TPacketArg::Text("let me in"),
                                          TPacketArg::Data(NoAttachment())});
    EXPECT_TRUE(charlie->Sync().isEmpty());
    EXPECT_TRUE(owner->Sync().isEmpty());
    EXPECT_TRUE(server.PrivateGroupMembers("Demochar").isEmpty());

    // An invitation is used once; kicking an invitee withdraws it.
    addMember(*alpha, kAlpha);
    alpha->Send(cpPrivategroupPart, {TPacketArg::Int(kDemo)});
    alpha->Sync();
    alpha->Send(cpPrivategroupJoin, {TPacketArg::Int(kDemo)});
    EXPECT_TRUE(alpha->Sync().isEmpty());
    owner->Send(cpPrivategroupInvite, {TPacketArg::Int(kCharlie)});
    owner->Send(cpPrivategroupKick, {TPacketArg::Int(kCharlie)});
    owner->Sync();
    charlie->Sync();
    charlie->Send(cpPrivategroupJoin, {TPacketArg::Int(kDemo)});
    EXPECT_TRUE(charlie->Sync().isEmpty());
    EXPECT_TRUE(server.PrivateGroupMembers("Demochar").isEmpty());

    // The owner's own messages are echoed to it even with no members.
    owner->Send(cpPrivategroupMessage, {TPacketArg::Int(kDemo), TPacketArg::Text("alone"),
                                        TPacketArg::Data(NoAttachment())});
    EXPECT_EQ(Rows(owner->Sync()), QList<int>{spPrivategroupMessage});
}

TEST_F(PrivateGroupTest, KickAndKickAll) {
    addMember(*alpha, kAlpha);
    addMember(*charlie, kCharlie);
    EXPECT_EQ(server.PrivateGroupMembers("Demochar"), (QStringList{"Alpha", "Charlie"}));

    owner->Send(cpPrivategroupKick, {TPacketArg::Int(kAlpha)});
    const Packets ownerSaw = owner->Sync();
    const Packets kicked = alpha->Sync();
    ASSERT_EQ(Rows(kicked), QList<int>{spPrivategroupKicked});
    EXPECT_EQ(kicked[0].Args(0).AsInt(), kDemo);
    for (const Packets& all : {ownerSaw, charlie->Sync()}) {
        const Packets seen = OfRow(all, spPrivategroupClientPart);
        ASSERT_EQ(seen.size(), 1);
        expectPair(seen[0], spPrivategroupClientPart, kDemo, kAlpha);
    }

    addMember(*alpha, kAlpha);
    owner->Send(cpPrivategroupKickall, {});
    EXPECT_EQ(OfRow(owner->Sync(), spPrivategroupClientPart).size(), 2);
    for (TestClient* c : {alpha.get(), charlie.get()}) {
        const Packets got = c->Sync();
        EXPECT_EQ(OfRow(got, spPrivategroupKicked).size(), 1);
    }
    EXPECT_TRUE(server.PrivateGroupMembers("Demochar").isEmpty());
    EXPECT_TRUE(LogHas("kick all Demochar"));
}

TEST_F(PrivateGroupTest, DisconnectsLeaveGroupsAndEndOwnGroups) {
    addMember(*alpha, kAlpha);
    addMember(*charlie, kCharlie);
    alpha.reset(); // a member goes away: the others see it leave
    for (TestClient* c : {owner.get(), charlie.get()}) {
        // Charlie joined after Alpha: it learns Alpha's name first.
        auto part = c->Next();
        if (part && part->Index() == spClientName) {
            EXPECT_EQ(part->Args(0).AsInt(), kAlpha);
            part = c->Next();
        }
        ASSERT_TRUE(part.has_value());
        expectPair(*part, spPrivategroupClientPart, kDemo, kAlpha);
    }
    owner.reset(); // the owner goes away: its group ends
    const auto ended = charlie->Next();
    ASSERT_TRUE(ended.has_value());
    EXPECT_EQ(ended->Index(), spPrivategroupKicked);
    EXPECT_EQ(ended->Args(0).AsInt(), kDemo);
    EXPECT_TRUE(server.PrivateGroupMembers("Demochar").isEmpty());

    // Inviting a character that is not online explains why nothing happens.
    charlie->Send(cpPrivategroupInvite, {TPacketArg::Int(kAlpha)});
    const Packets got = charlie->Sync();
    ASSERT_EQ(Rows(got), QList<int>{spMessageSystem});
    EXPECT_EQ(got[0].Args(0).AsText(), QByteArray("Alpha is not online."));
}

} // namespace chatd::test
