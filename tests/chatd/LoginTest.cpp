#include "TestClient.h"

#include "engine/VLCrypt.h"

namespace chatd::test {

TEST_F(ChatServerTest, LoginThroughCharacterListSelectionAndAnnouncements) {
    auto client = Connect();
    EXPECT_EQ(Show(client->RequestCharacters("demo", "demo")),
              QStringList{"Login CharacterList 1001,1002 Demochar,Testchar 60,15 0,0"});
    client->Send(cpLoginSelectCharacter, {A::Int(1001)});
    EXPECT_EQ(Show(client->Next()), QStringList{"Login Result OK"});
    // The stored buddy (Testchar, offline, permanent; known from the list)
    // and the public groups, nothing else.
    EXPECT_EQ(client->Said(),
              (QStringList{"Friend Added 1002 0 [01]", "Group Join g0100000001 General 0 []",
                           "Group Join g0100000002 Trade 0 []",
                           "Group Join g0100000003 Newcomers 0 []"}));
    EXPECT_TRUE(server.IsOnline("demochar"));
    EXPECT_TRUE(LogHas("select Demochar (demo)"));

    // Another connection gets another seed and sees Demochar online; user
    // names ignore case.
    auto second = Connect();
    EXPECT_EQ(Show(second->RequestCharacters("DEMO", "demo")),
              QStringList{"Login CharacterList 1001,1002 Demochar,Testchar 60,15 1,0"});
    EXPECT_NE(second->Seed, client->Seed);
}

TEST_F(ChatServerTest, LoginErrorsAreExplainedAndCloseTheSession) {
    const struct {
        QByteArray user, password, seed, key; // empty seed, key: the right ones
        const char* expected;
    } cases[] = {
        {"demo", "Demo", {}, {}, "Wrong password"},
        {"nobody", "demo", {}, {}, "Unknown user name"},
        {"demo", "demo", "another seed", {}, "Invalid login key"},
        {"demo", "demo", {}, "zz-00", "Invalid login key"},
    };
    for (const auto& c : cases) {
        auto client = Connect();
        const auto seed = client->Next();
        ASSERT_TRUE(seed.has_value());
        const QByteArray key =
            !c.key.isEmpty() ? c.key
                             : MakeLoginKey(c.user, c.password,
                                            c.seed.isEmpty() ? seed->Args(0).AsText() : c.seed);
        client->Send(cpLoginResponseGetCharList, {A::Int(0), A::Text(c.user), A::Text(key)});
        EXPECT_EQ(Show(client->Next()), QStringList{QString("Login Result Error ") + c.expected});
        EXPECT_TRUE(client->WaitClosed()) << c.expected;
    }
    EXPECT_TRUE(LogHas("login failed"));
    EXPECT_TRUE(WaitUntil([&] { return server.SessionCount() == 0; }));
}

TEST_F(ChatServerTest, OnlyTheAccountsOwnCharactersCanBeSelected) {
    for (const int32_t id : {2001, 999999, -1}) {
        auto client = Connect();
        ASSERT_TRUE(client->RequestCharacters("demo", "demo").has_value());
        client->Send(cpLoginSelectCharacter, {A::Int(id)});
        EXPECT_EQ(Show(client->Next()), QStringList{"Login Result Error Unknown character"}) << id;
        EXPECT_TRUE(client->WaitClosed());
    }
    EXPECT_FALSE(server.IsOnline("Alpha"));

    // The same character logging in again replaces the old session.
    auto first = Demochar();
    auto second = Demochar();
    EXPECT_TRUE(first->WaitClosed());
    EXPECT_EQ(server.OnlineCharacters(), QStringList{"Demochar"});
    // Lookups are answered, unknown and empty names with -1; pings echo their data.
    for (const char* name : {"tEsTcHaR", "Nobody", ""}) {
        second->Send(cpNameLookup, {A::Text(name)});
    }
    EXPECT_EQ(second->Ask(cpPing, {A::Data(QByteArray(1, '\xC4'))}),
              (QStringList{"Lookup Result 1002 Testchar", "Lookup Result -1 Nobody",
                           "Lookup Result -1 ", "Pong [c4]"}));
}

} // namespace chatd::test
