// The settings, stored logins and user dimensions in the registry file.
#include "GoldenRows.h"
#include "MainFormTestSupport.h"

#include "app/settings/Settings.h"
#include "engine/DimensionList.h"

#include <QDir>
#include <QFile>

using plat::Registry;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    QString Path() const { return dir_.path() + QStringLiteral("/ZELVO/Quorvel.ini"); }
    void WriteFile(const QByteArray& bytes) const {
        QDir().mkpath(dir_.path() + QStringLiteral("/ZELVO"));
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QTemporaryDir dir_;
};

TEST_F(SettingsTest, EveryValueIsWrittenInTableOrderAndReadBack) {
    Registry empty(Path());
    const TMainSettings defaults = LoadSettings(empty);
    EXPECT_EQ(defaults, TMainSettings());

    const TMainSettings changed = mainformtest::ChangedSettings();
    {
        Registry reg(Path());
        SaveSettings(reg, changed);
        QStringList expected;
        for (const auto& row : GoldenRows("settings/value-names.txt", 1)) {
            expected << QString::fromLatin1(row[0]);
        }
        EXPECT_EQ(reg.OpenKey({}, false)->ValueNames(), expected);
        ASSERT_TRUE(reg.Save());
    }
    Registry reg(Path());
    EXPECT_EQ(LoadSettings(reg), changed);
    // The password is stored scrambled, as binary: U+00FF at position 1 becomes byte 0.
    EXPECT_EQ(reg.OpenKey({}, false)->ReadBinary(QStringLiteral("AutoLoginPassword")),
              QByteArray("\x00rz", 3));
}

TEST_F(SettingsTest, UnusableValuesFallBackOneByOne) {
    WriteFile("AutoAwayIdle=ten\nOnStartup=2\nLineSpacing=500\nParseUrls=yes\n"
              "TimestampColor=$FF\nAutoAwayMessage=@hex:41\nOutputMemo_FontSize=x\n"
              "OutputMemo_FontBold=1\n[Other]\nLastUser=Bob\n");
    Registry reg(Path());
    TMainSettings expected;
    expected.OnStartup = 2;
    expected.LineSpacing = 100;
    expected.TimestampColor = 0xFF;
    expected.OutputMemo.Font.Bold = true;
    EXPECT_EQ(LoadSettings(reg), expected);
    reg.OpenKey({}, false)->WriteInteger(QStringLiteral("LineSpacing"), -5);
    EXPECT_EQ(LoadSettings(reg).LineSpacing, 0);

    // A file that does not parse is never replaced by defaults.
    const QByteArray content("OnStartup=2\n[Logins/Bob]\nPassword=@hex:6364\n<<<\n");
    WriteFile(content);
    Registry broken(Path());
    EXPECT_EQ(LoadSettings(broken), TMainSettings());
    SaveSettings(broken, TMainSettings());
    EXPECT_FALSE(broken.Save());
    QFile file(Path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), content);
}

TEST(Passwords, ScramblingShiftsEachByteByItsPosition) {
    EXPECT_EQ(ScramblePassword("abc"), QByteArray("bdf"));
    EXPECT_EQ(UnscramblePassword("bdf"), QByteArray("abc"));
    EXPECT_EQ(ScramblePassword("\xFF\xFE"), QByteArray("\x00\x00", 2));
    QByteArray all;
    for (int i = 0; i < 256; ++i) {
        all.append(static_cast<char>(255 - i));
    }
    EXPECT_EQ(UnscramblePassword(ScramblePassword(all)), all);
}

TEST_F(SettingsTest, LoginsMatchIgnoringAsciiCaseAndSaveOneKeyPerEntry) {
    TLogins logins;
    logins.SetLoginPassword(QStringLiteral("Bob"), QStringLiteral("one"));
    logins.SetLoginPassword(QStringLiteral("BOB"), QStringLiteral("\u00FF\u20ACx"));
    logins.SetLastChar(QStringLiteral("bob"), QStringLiteral("Hero"));
    logins.SetLastChar(QStringLiteral("Nobody"), QStringLiteral("X")); // appends nothing
    logins.SetLoginPassword(QStringLiteral("a/b\\c"), QStringLiteral("pw"));
    EXPECT_EQ(logins.Items().size(), 2u);
    EXPECT_EQ(logins.GetLoginPassword(QStringLiteral("Nobody")), QString());
    TLogins other; // only ASCII letters match without regard to case
    other.SetLoginPassword(QStringLiteral("Zo\u00EB"), QStringLiteral("a"));
    other.SetLoginPassword(QStringLiteral("ZO\u00CB"), QStringLiteral("b"));
    EXPECT_EQ(other.GetLoginPassword(QStringLiteral("zo\u00EB")), QStringLiteral("a"));
    {
        Registry reg(Path());
        reg.OpenKey({QStringLiteral("Logins"), QStringLiteral("Stale")}, true);
        SaveLogins(reg, logins);
        ASSERT_TRUE(reg.Save());
    }
    Registry reg(Path());
    EXPECT_EQ(reg.OpenKey({QStringLiteral("Logins")}, false)->SubKeyNames(),
              (QStringList{"Bob", "a/b\\c"}));
    TLogins loaded;
    loaded.SetLoginPassword(QStringLiteral("Old"), QStringLiteral("x"));
    LoadLogins(reg, loaded);
    ASSERT_EQ(loaded.Items().size(), 2u);
    EXPECT_EQ(loaded.GetLoginPassword(QStringLiteral("BOB")), QStringLiteral("\u00FF\u20ACx"));
    EXPECT_EQ(loaded.GetLastChar(QStringLiteral("bob")), QStringLiteral("Hero"));
    EXPECT_EQ(loaded.GetLoginPassword(QStringLiteral("A/B\\C")), QStringLiteral("pw"));
}

TEST_F(SettingsTest, OnlyUserDimensionsAreStoredAndRemovedOnesDeleted) {
    TDimensionList list(nullptr);
    for (qsizetype i = 0; i < list.Count(); ++i) {
        list.Items(i)->SetTag(1);
    }
    list.Add(QStringLiteral("Mine"), QStringLiteral("my server"), 7100, QStringLiteral("h1"));
    const auto other = list.Add(QStringLiteral("Other"), QString(), 7012, QStringLiteral("h2"));
    Registry reg(Path());
    SaveDimensions(reg, list);
    list.Remove(other.get());
    SaveDimensions(reg, list);
    const QStringList dims{QStringLiteral("Dimensions")};
    EXPECT_EQ(reg.OpenKey(dims, false)->SubKeyNames(), QStringList{QStringLiteral("Mine")});

    reg.OpenKey(dims + QStringList{"Bare"}, true)->WriteString(QStringLiteral("Port"), "abc");
    list.Add(QStringLiteral("Unsaved"), QString(), 1, QString());
    LoadDimensions(reg, list);
    ASSERT_EQ(list.Count(), 6);
    const auto mine = list.Items(4);
    EXPECT_EQ(mine->Name() + u'|' + mine->Description() + u'|' + mine->Host(), "Mine|my server|h1");
    EXPECT_EQ(mine->Port(), 7100);
    EXPECT_EQ(list.Items(5)->Name() + u'|' + list.Items(5)->Host(), "Bare|");
    EXPECT_EQ(list.Items(5)->Port(), 7012);
}

} // namespace
