#include "TestClient.h"

namespace chatd::test {

namespace {

const TGroupId kGeneral{0x01, 0x00, 0x00, 0x00, 0x01};
constexpr int32_t kMuted = 0x01010000;

} // namespace

TEST_F(ChatServerTest, NameLookupsAnswerTheIdOrMinusOne) {
    auto client = LoginAs("alice", "alicepw", "Alpha");
    client->Send(cpNameLookup, {TPacketArg::Text("tEsTcHaR")});
    client->Send(cpNameLookup, {TPacketArg::Text("Nobody")});
    client->Send(cpNameLookup, {TPacketArg::Text("")});
    const Packets answers = client->Sync();
    ASSERT_EQ(Rows(answers), (QList<int>{spLookupResult, spLookupResult, spLookupResult}));
    EXPECT_EQ(answers[0].Args(0).AsInt(), 1002);
    EXPECT_EQ(answers[0].Args(1).AsText(), QByteArray("Testchar"));
    EXPECT_EQ(answers[1].Args(0).AsInt(), -1);
    EXPECT_EQ(answers[1].Args(1).AsText(), QByteArray("Nobody"));
    EXPECT_EQ(answers[2].Args(0).AsInt(), -1);
}

TEST_F(ChatServerTest, TellsReachTheTargetOnlyAndNamesAreAnnouncedOnce) {
    auto demo = LoginAs("demo", "demo", "Demochar");
    auto alpha = LoginAs("alice", "alicepw", "Alpha");
    const QByteArray item = QByteArray::fromHex("000000000001000000020000000700000000");
    demo->Send(cpMessagePrivate,
               {TPacketArg::Int(2001), TPacketArg::Text("hi"), TPacketArg::Data(item)});
    demo->Send(cpMessagePrivate, {TPacketArg::Int(2001), TPacketArg::Text("again"),
                                  TPacketArg::Data(NoAttachment())});
    EXPECT_TRUE(OfRow(demo->Sync(), spMessagePrivate).isEmpty()); // no echo

    const Packets got = alpha->Sync();
    ASSERT_EQ(Rows(got), (QList<int>{spClientName, spMessagePrivate, spMessagePrivate}));
    EXPECT_EQ(got[0].Args(0).AsInt(), 1001);
    EXPECT_EQ(got[0].Args(1).AsText(), QByteArray("Demochar"));
    EXPECT_EQ(got[1].Args(0).AsInt(), 1001);
    EXPECT_EQ(got[1].Args(1).AsText(), QByteArray("hi"));
    EXPECT_EQ(got[1].Args(2).AsData(), item); // the attachment travels unchanged
    EXPECT_EQ(got[2].Args(1).AsText(), QByteArray("again"));
    EXPECT_TRUE(LogHas("tell Demochar -> Alpha"));
}

TEST_F(ChatServerTest, TellsToOfflineOrUnknownCharactersAreDropped) {
    auto alpha = LoginAs("alice", "alicepw", "Alpha");
    alpha->Send(cpMessagePrivate, {TPacketArg::Int(1002), TPacketArg::Text("anyone?"),
                                   TPacketArg::Data(NoAttachment())});
    alpha->Send(cpMessagePrivate,
                {TPacketArg::Int(555), TPacketArg::Text("?"), TPacketArg::Data(NoAttachment())});
    const Packets got = alpha->Sync();
    ASSERT_EQ(Rows(got), QList<int>{spMessageSystem});
    EXPECT_EQ(got[0].Args(0).AsText(), QByteArray("Testchar is not online."));
}

TEST_F(ChatServerTest, GroupMessagesAreEchoedToEveryMemberSenderIncluded) {
    auto demo = LoginAs("demo", "demo", "Demochar");
    auto alpha = LoginAs("alice", "alicepw", "Alpha");
    demo->Send(cpGroupMessage, {TPacketArg::Group(kGeneral), TPacketArg::Text("hello all"),
                                TPacketArg::Data(NoAttachment())});
    // A group that does not exist goes nowhere.
    demo->Send(cpGroupMessage, {TPacketArg::Group({9, 9, 9, 9, 9}), TPacketArg::Text("void"),
                                TPacketArg::Data(NoAttachment())});
    const Packets mine = demo->Sync();
    ASSERT_EQ(Rows(mine), QList<int>{spGroupMessage});
    EXPECT_EQ(mine[0].Args(0).AsGroup(), kGeneral);
    EXPECT_EQ(mine[0].Args(1).AsInt(), 1001);
    EXPECT_EQ(mine[0].Args(2).AsText(), QByteArray("hello all"));
    EXPECT_EQ(mine[0].Args(3).AsData(), NoAttachment());

    const Packets theirs = alpha->Sync();
    ASSERT_EQ(Rows(theirs), (QList<int>{spClientName, spGroupMessage}));
    EXPECT_EQ(theirs[0].Args(0).AsInt(), 1001);
    EXPECT_EQ(theirs[1].Args(2).AsText(), QByteArray("hello all"));
}

TEST_F(ChatServerTest, MutedMembersGetOnlyTheirOwnMessagesAndTheSettingIsKept) {
    auto demo = LoginAs("demo", "demo", "Demochar");
    auto alpha = LoginAs("alice", "alicepw", "Alpha");
    auto say = [&](TestClient& who, const char* text) {
        who.Send(cpGroupMessage, {TPacketArg::Group(kGeneral), TPacketArg::Text(text),
                                  TPacketArg::Data(NoAttachment())});
    };
    alpha->Send(cpGroupDataSet, {TPacketArg::Group(kGeneral), TPacketArg::Int(kMuted),
                                 TPacketArg::Data(NoAttachment())});
    const Packets update = alpha->Sync();
    ASSERT_EQ(Rows(update), QList<int>{spGroupJoin});
    EXPECT_EQ(update[0].Args(1).AsText(), QByteArray("General"));
    EXPECT_EQ(update[0].Args(2).AsInt(), kMuted);

    say(*demo, "not for alpha");
    say(*alpha, "alpha speaks");
    demo->Sync();
    const Packets alphaGot = OfRow(alpha->Sync(), spGroupMessage);
    ASSERT_EQ(alphaGot.size(), 1);
    EXPECT_EQ(alphaGot[0].Args(2).AsText(), QByteArray("alpha speaks"));

    // Logged in again, the group arrives muted.
    alpha.reset();
    ASSERT_TRUE(WaitUntil([&] { return !server.IsOnline("Alpha"); }));
    alpha = LoginAs("alice", "alicepw", "Alpha");
    const Packets groups = OfRow(alpha->AfterLogin, spGroupJoin);
    ASSERT_EQ(groups.size(), 3);
    EXPECT_EQ(groups[0].Args(2).AsInt(), kMuted);
    EXPECT_EQ(groups[1].Args(2).AsInt(), 0);

    alpha->Send(cpGroupDataSet, {TPacketArg::Group(kGeneral), TPacketArg::Int(0),
                                 TPacketArg::Data(NoAttachment())});
    EXPECT_EQ(alpha->Sync()[0].Args(2).AsInt(), 0);
    say(*demo, "welcome back");
    demo->Sync();
    EXPECT_EQ(OfRow(alpha->Sync(), spGroupMessage).size(), 1);
}

TEST_F(ChatServerTest, EchoesThatWouldExceedTheClientsLimitAreRefused) {
    auto demo = LoginAs("demo", "demo", "Demochar");
    auto alpha = LoginAs("alice", "alicepw", "Alpha");
    // The echo is 4 bytes longer than what was sent (the sender id): a text
    // of 4082 bytes gives an echo body of exactly 4096, one more is too long.
    auto say = [&](qsizetype length) {
        demo->Send(cpGroupMessage,
                   {TPacketArg::Group(kGeneral), TPacketArg::Text(QByteArray(length, 'x')),
                    TPacketArg::Data(NoAttachment())});
    };
    say(4082);
    say(4083);
    const Packets mine = demo->Sync();
    ASSERT_EQ(Rows(mine), (QList<int>{spGroupMessage, spMessageSystem}));
    EXPECT_EQ(mine[0].Args(2).AsText().size(), 4082);
    EXPECT_EQ(mine[1].Args(0).AsText(), QByteArray("The message is too long."));
    EXPECT_EQ(OfRow(alpha->Sync(), spGroupMessage).size(), 1);
}

TEST_F(ChatServerTest, GroupsAddedWhileOnlineAreAnnouncedBeforeTheirFirstMessage) {
    auto demo = LoginAs("demo", "demo", "Demochar");
    const TGroupId late{0x02, 0, 0, 0, 0x07};
    server.Accounts().AddGroup(late, "Latecomers");
    demo->Send(cpGroupMessage, {TPacketArg::Group(late), TPacketArg::Text("first"),
                                TPacketArg::Data(NoAttachment())});
    const Packets got = demo->Sync();
    ASSERT_EQ(Rows(got), (QList<int>{spGroupJoin, spGroupMessage}));
    EXPECT_EQ(got[0].Args(0).AsGroup(), late);
    EXPECT_EQ(got[0].Args(1).AsText(), QByteArray("Latecomers"));
}

TEST_F(ChatServerTest, PingIsAnsweredWithItsData) {
    auto demo = LoginAs("demo", "demo", "Demochar");
    demo->Send(cpPing, {TPacketArg::Data(QByteArray(1, '\xC4'))});
    demo->Send(cpPing, {TPacketArg::Data({})});
    const auto first = demo->Next();
    const auto second = demo->Next();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->Index(), spPong);
    EXPECT_EQ(first->Args(0).AsData(), QByteArray(1, '\xC4'));
    EXPECT_EQ(second->Args(0).AsData(), QByteArray());
}

} // namespace chatd::test
