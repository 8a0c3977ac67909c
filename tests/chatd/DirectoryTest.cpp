#include "chatd/Directory.h"

#include "Raises.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace chatd {

namespace {

const QByteArray kAlice = R"({
  "_comment": "ignored",
  "accounts": [
    { "user": "alice", "password": "secret",
      "characters": [
        { "id": 2001, "name": "Alpha", "level": 20, "buddies": ["Bravo", "testchar"],
          "bio": { "firstname": "Al", "rank": "Chief" } },
        { "id": 2002, "name": "Bravo" }
      ] }
  ]
})";

} // namespace

TEST(Directory, LoadsAccountsBesideTheBuiltInDemoAccount) {
    Directory directory;
    EXPECT_EQ(directory.FindAccount("DEMO")->Characters, (QList<int32_t>{1001, 1002}));
    EXPECT_EQ(directory.FindCharacterByName("demochar")->Account, "demo");
    EXPECT_EQ(directory.Groups().size(), 3);

    directory.LoadJson(kAlice, "accounts.json");
    EXPECT_EQ(directory.FindAccount("demo")->Password, "demo");
    const Character* alpha = directory.FindCharacterByName("ALPHA");
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(alpha->Level, 20);
    EXPECT_EQ(alpha->Account, "alice");
    EXPECT_EQ(alpha->Bio.FirstName, "Al");
    EXPECT_EQ(alpha->Bio.Rank, "Chief");
    // Buddies by name, resolved across accounts (the demo account included).
    EXPECT_EQ(alpha->Buddies, (QList<Buddy>{{2002, true}, {1002, true}}));
    EXPECT_EQ(directory.FindCharacter(2002)->Level, 1); // level defaults to 1

    // An account named demo replaces the built-in one, whose ids and names
    // are then free.
    directory.LoadJson(R"({"accounts": [{"user": "Demo", "password": "other",
                           "characters": [{"id": 1002, "name": "Demochar"}]}]})",
                       "accounts.json");
    EXPECT_EQ(directory.FindAccount("demo")->Password, "other");
    EXPECT_EQ(directory.FindCharacterByName("Demochar")->Id, 1002);
    EXPECT_EQ(directory.FindCharacter(1001), nullptr);
    EXPECT_EQ(directory.FindCharacterByName("Alpha"), nullptr);
}

TEST(Directory, BadFilesAreExplainedAndChangeNothing) {
    Directory directory;
    directory.LoadJson(kAlice, "accounts.json");
    // Accounts and characters around the entry under test.
    const auto with = [](const char* characters) {
        return QByteArray(R"({"accounts": [{"user": "x", "password": "y", "characters": [)") +
               characters + "]}]}";
    };
    const struct {
        QByteArray json;
        const char* expected;
    } cases[] = {
        {"{\"accounts\": [", "accounts.json: not valid JSON"},
        {"[]", "accounts.json: top level: must be an object"},
        {R"({"acounts": []})", "top level: unknown field \"acounts\""},
        {R"({"accounts": {}})", "top level.accounts: must be a list"},
        {R"({"accounts": [{"user": "x"}]})", "accounts[0].password: must be a non-empty text"},
        {R"({"accounts": [{"user": "x", "password": "y"}, {"user": "X", "password": "z"}]})",
         "accounts[1]: The user name X is used twice"},
        {with(R"({"name": "N"})"), "accounts[0].characters[0].id: must be a whole number from 1"},
        {with(R"({"id": 0, "name": "N"})"), "characters[0].id: must be a whole number from 1"},
        {with(R"({"id": 9, "name": "N", "level": 1.5})"),
         "characters[0].level: must be a whole number"},
        {with(R"({"id": 9, "name": "A"}, {"id": 9, "name": "B"})"),
         "characters[1]: Character id 9 is used twice"},
        {with(R"({"id": 9, "name": "DEMOCHAR"})"),
         "built-in account demo: The character name Demochar is used twice"},
        {with(R"({"id": 9, "name": "N", "buddies": ["Ghost"]})"),
         "characters[0].buddies[0]: there is no character named Ghost"},
        {with(R"({"id": 9, "name": "Tab\tName"})"), "Character name 'Tab\tName' is not valid"},
        {with(R"({"id": 9, "name": "N", "bio": {"nik": "n"}})"),
         "characters[0].bio: unknown field \"nik\""},
    };
    for (const auto& c : cases) {
        const QString error = MessageOf([&] { directory.LoadJson(c.json, "accounts.json"); });
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.expected))) << error.toStdString();
        EXPECT_NE(directory.FindCharacterByName("Alpha"), nullptr) << c.expected;
        EXPECT_NE(directory.FindCharacterByName("Demochar"), nullptr) << c.expected;
        EXPECT_EQ(directory.Accounts().size(), 2u) << c.expected;
    }

    // Files: a missing one names itself; the shipped example loads.
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.json");
    EXPECT_TRUE(MessageOf([&] { directory.LoadFile(missing); }).startsWith(missing));
    directory.LoadFile(QStringLiteral(QV_CHATD_EXAMPLE));
    EXPECT_GT(directory.Accounts().size(), 1u);
}

} // namespace chatd
