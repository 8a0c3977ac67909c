#include "chatd/Directory.h"

#include "GoldenRows.h"
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
    // Rows: "file" and the whole file, or "characters" and the characters of
    // one account; a part of the error raised.
    for (const QList<QByteArray>& row : GoldenRows("chatd/bad-accounts.tsv", 3)) {
        const QByteArray json =
            row[0] == "file" ? row[1]
                             : R"({"accounts": [{"user": "x", "password": "y", "characters": [)" +
                                   row[1] + "]}]}";
        const QString error = MessageOf([&] { directory.LoadJson(json, "accounts.json"); });
        EXPECT_TRUE(error.contains(QString::fromUtf8(row[2]))) << error.toStdString();
        EXPECT_NE(directory.FindCharacterByName("Alpha"), nullptr) << row[2].constData();
        EXPECT_NE(directory.FindCharacterByName("Demochar"), nullptr) << row[2].constData();
        EXPECT_EQ(directory.Accounts().size(), 2u) << row[2].constData();
    }

    // Files: a missing one names itself; the shipped example loads.
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.json");
    EXPECT_TRUE(MessageOf([&] { directory.LoadFile(missing); }).startsWith(missing));
    directory.LoadFile(QStringLiteral(QV_CHATD_EXAMPLE));
    EXPECT_GT(directory.Accounts().size(), 1u);
}

} // namespace chatd
