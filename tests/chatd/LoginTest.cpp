#include "TestClient.h"

#include "engine/VLCrypt.h"

namespace chatd::test {

namespace {

// What the client accepts once logged in (server-table rows).
bool acceptedWhenLoggedIn(int row) {
    return QList<int>{spClientName,
                      spLookupResult,
                      spMessagePrivate,
                      spMessageSystem,
                      spFriendAdded,
                      spFriendRemoved,
                      spPrivategroupInvited,
                      spPrivategroupKicked,
                      spPrivategroupClientJoin,
                      spPrivategroupClientPart,
                      spPrivategroupMessage,
                      spGroupJoin,
                      spGroupMessage,
                      spPong}
        .contains(row);
}

} // namespace

TEST_F(ChatServerTest, LoginThroughCharacterListSelectionAndAnnouncements) {
    auto client = Connect();
    const auto list = client->RequestCharacters("demo", "demo");
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->Index(), spLoginCharacterList);
    EXPECT_FALSE(client->Seed.isEmpty());
    EXPECT_EQ(list->Args(0).AsIntList(), (QList<int32_t>{1001, 1002}));
    EXPECT_EQ(list->Args(1).AsTextList(), (QList<QByteArray>{"Demochar", "Testchar"}));
    EXPECT_EQ(list->Args(2).AsIntList(), (QList<int32_t>{60, 15}));
    EXPECT_EQ(list->Args(3).AsIntList(), (QList<int32_t>{0, 0}));

    client->Send(cpLoginSelectCharacter, {TPacketArg::Int(1001)});
    const auto ok = client->Next();
    ASSERT_TRUE(ok.has_value());
    EXPECT_EQ(ok->Index(), spLoginResultOK);

    // After OK: the stored buddy (Testchar, offline, permanent) and the three
    // public groups, nothing the client would reject.
    const Packets after = client->Sync();
    for (const Packet& p : after) {
        EXPECT_TRUE(acceptedWhenLoggedIn(p.Index())) << p.Info().Name;
    }
    const Packets buddies = OfRow(after, spFriendAdded);
    ASSERT_EQ(buddies.size(), 1);
    EXPECT_EQ(buddies[0].Args(0).AsInt(), 1002);
    EXPECT_EQ(buddies[0].Args(1).AsInt(), 0);
    EXPECT_EQ(buddies[0].Args(2).AsData(), QByteArray(1, '\1'));
    const Packets groups = OfRow(after, spGroupJoin);
    ASSERT_EQ(groups.size(), 3);
    QList<QByteArray> names;
    for (const Packet& g : groups) {
        names.append(g.Args(1).AsText());
        EXPECT_EQ(g.Args(2).AsInt(), 0);
    }
    EXPECT_EQ(names, (QList<QByteArray>{"General", "Trade", "Newcomers"}));
    EXPECT_TRUE(server.IsOnline("demochar"));
    EXPECT_TRUE(LogHas("select Demochar (demo)"));

    // A second connection sees a new seed and Demochar as online.
    auto second = Connect();
    const auto list2 = second->RequestCharacters("DEMO", "demo"); // user names ignore case
    ASSERT_TRUE(list2.has_value());
    ASSERT_EQ(list2->Index(), spLoginCharacterList);
    EXPECT_NE(second->Seed, client->Seed);
    EXPECT_EQ(list2->Args(3).AsIntList(), (QList<int32_t>{1, 0}));
}

TEST_F(ChatServerTest, LoginErrorsAreExplainedAndCloseTheSession) {
    struct Case {
        QByteArray user;
        QByteArray password;
        bool keyForOtherSeed;
        QByteArray expected;
    };
    const Case cases[] = {
        {"demo", "Demo", false, "Wrong password"},
        {"nobody", "demo", false, "Unknown user name"},
        {"demo", "demo", true, "Invalid login key"},
    };
    for (const Case& c : cases) {
        auto client = Connect();
        const auto seed = client->Next();
        ASSERT_TRUE(seed.has_value());
        const QByteArray seedText = c.keyForOtherSeed ? "another seed" : seed->Args(0).AsText();
        client->Send(cpLoginResponseGetCharList,
                     {TPacketArg::Int(0), TPacketArg::Text(c.user),
                      TPacketArg::Text(MakeLoginKey(c.user, c.password, seedText))});
        const auto answer = client->Next();
        ASSERT_TRUE(answer.has_value()) << c.expected.constData();
        EXPECT_EQ(answer->Index(), spLoginResultError);
        EXPECT_EQ(answer->Args(0).AsText(), c.expected);
        EXPECT_TRUE(client->WaitClosed()) << c.expected.constData();
    }
    // A key that is not a key at all.
    auto client = Connect();
    ASSERT_TRUE(client->Next().has_value());
    client->Send(cpLoginResponseGetCharList,
                 {TPacketArg::Int(0), TPacketArg::Text("demo"), TPacketArg::Text("zz-00")});
    const auto answer = client->Next();
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->Args(0).AsText(), QByteArray("Invalid login key"));
    EXPECT_TRUE(LogHas("login failed"));
    EXPECT_TRUE(WaitUntil([&] { return server.SessionCount() == 0; }));
}

TEST_F(ChatServerTest, SelectingACharacterOfAnotherAccountIsRefused) {
    for (const int32_t id : {2001, 999999, -1}) {
        auto client = Connect();
        const auto list = client->RequestCharacters("demo", "demo");
        ASSERT_TRUE(list.has_value());
        ASSERT_EQ(list->Index(), spLoginCharacterList);
        client->Send(cpLoginSelectCharacter, {TPacketArg::Int(id)});
        const auto answer = client->Next();
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(answer->Index(), spLoginResultError) << id;
        EXPECT_EQ(answer->Args(0).AsText(), QByteArray("Unknown character"));
        EXPECT_TRUE(client->WaitClosed());
    }
    EXPECT_FALSE(server.IsOnline("Alpha"));
}

TEST_F(ChatServerTest, SameCharacterLoggingInAgainReplacesTheOldSession) {
    auto first = LoginAs("demo", "demo", "Demochar");
    auto second = LoginAs("demo", "demo", "Demochar");
    EXPECT_TRUE(first->WaitClosed());
    EXPECT_EQ(server.OnlineCharacters(), QStringList{"Demochar"});
    // The new session works.
    second->Send(cpNameLookup, {TPacketArg::Text("testchar")});
    const Packets answers = second->Sync();
    ASSERT_EQ(answers.size(), 1);
    EXPECT_EQ(answers[0].Args(0).AsInt(), 1002);
}

} // namespace chatd::test
