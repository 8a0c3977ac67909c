#include "app/options/Settings.h"

#include "engine/DimensionList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

// Every value differs from its default.
TMainSettings Changed() {
    TMainSettings s;
    s.AwayLogging = false, s.AwayAutoCancel = true, s.AutoAway = true, s.AutoAwayIdle = 0;
    s.AutoAwayMessage = QStringLiteral("gone, 100%"), s.PlaySounds = false;
    s.VLDirectory = QStringLiteral("/opt/game/"), s.GroupPanelVisible = false;
    s.GroupSplitterPosition = -3, s.MainSplitterPosition = 351, s.StatusBarVisible = false;
    s.AutoReconnect = true, s.ReconnectTimes = 999, s.ReconnectDelay = 120;
    s.AutoLoginDimension = QStringLiteral("Vassa"), s.AutoLoginUser = QStringLiteral("Bob");
    s.AutoLoginPassword = QStringLiteral("\u00FFpw"), s.OnStartup = 2;
    s.LastUser = QStringLiteral("Bob"), s.LastDimension = QStringLiteral("Kelmarch");
    s.ParseEmoticons = false, s.ParseUrls = false, s.LinkNames = false, s.LinkGroups = false;
    s.TimestampChat = false, s.TimestampFormat = QStringLiteral("hh:nn:ss ampm");
    s.TimestampColor = 0x0000FF, s.SmoothScrolling = true, s.TimestampIndent = false;
    s.LineSpacing = 100;
    int n = 0;
    for (TControlSettings* c :
         {&s.FriendsTreeView, &s.GroupsTreeView, &s.OutputMemo, &s.InputEdit}) {
        ++n;
        c->Font = TFontSettings{n,    0x10 * n, QStringLiteral("Font %1").arg(n), 8 + n, true, true,
                                true, true};
        c->Color = 0x123400 + n;
    }
    s.Logging = true, s.TimestampLogging = false, s.LoggingFolder = QStringLiteral("/tmp/l/");
    s.LogGroup = false, s.LogPrivate = false, s.LogPrivateGroup = false, s.LogSystem = false;
    s.LogError = false;
    return s;
}

TEST_F(SettingsTest, FirstStartTakesEveryDefault) {
    Registry reg(Path());
    const TMainSettings s = LoadSettings(reg);
    EXPECT_EQ(s.OnStartup, 1);
    EXPECT_TRUE(s.ParseEmoticons && s.ParseUrls && s.LinkNames && s.LinkGroups && s.TimestampChat);
    EXPECT_EQ(s.LastDimension, QStringLiteral("Ostrelian"));
    EXPECT_EQ(s.TimestampFormat, QStringLiteral("[hh:nn]"));
    EXPECT_EQ(s.TimestampColor, 0x808080);
    EXPECT_EQ(s.MainSplitterPosition, 76);
    EXPECT_EQ(s.VLDirectory, QDir::homePath() + QStringLiteral("/Vellinor/"));
    EXPECT_TRUE(s.LoggingFolder.endsWith(QStringLiteral("/Logs/")));
    EXPECT_EQ(s.OutputMemo.Font.Name, QStringLiteral("Tahoma"));
    EXPECT_EQ(s.OutputMemo.Font.Size, 8);
    EXPECT_EQ(s.InputEdit.Font.Color, static_cast<int32_t>(0x80000008u));
    EXPECT_EQ(s.InputEdit.Color, static_cast<int32_t>(0x80000005u));
    EXPECT_EQ(s, TMainSettings());
}

TEST_F(SettingsTest, SavingWritesEveryValueInTableOrder) {
    Registry reg(Path());
    SaveSettings(reg, TMainSettings());
    QStringList expected =
        QStringLiteral(
            "AwayLogging AwayAutoCancel AutoAway AutoAwayIdle AutoAwayMessage PlaySounds "
            "VLDirectory "
            "GroupPanelVisible GroupSplitterPosition MainSplitterPosition StatusBarVisible "
            "AutoReconnect ReconnectTimes ReconnectDelay AutoLoginDimension AutoLoginUser "
            "AutoLoginPassword OnStartup LastUser LastDimension ParseEmoticons ParseUrls LinkNames "
            "LinkGroups TimestampChat TimestampFormat TimestampColor SmoothScrolling "
            "TimestampIndent LineSpacing")
            .split(u' ');
    const QStringList controls{QStringLiteral("FriendsTreeView"), QStringLiteral("GroupsTreeView"),
                               QStringLiteral("OutputMemo"), QStringLiteral("InputEdit")};
    for (const QString& c : controls) {
        for (const char* v :
             {"CharSet", "Color", "Name", "Size", "Bold", "Underline", "Italic", "StrikeOut"}) {
            expected << c + QStringLiteral("_Font") + QLatin1String(v);
        }
    }
    for (const QString& c : controls) {
        expected << c + QStringLiteral("_Color");
    }
    expected << QStringLiteral("Logging TimestampLogging LoggingFolder LogGroup LogPrivate "
                               "LogPrivateGroup LogSystem LogError")
                    .split(u' ');
    EXPECT_EQ(reg.OpenKey({}, false)->ValueNames(), expected);
}

TEST_F(SettingsTest, EveryValueRoundTripsThroughTheFile) {
    const TMainSettings changed = Changed();
    {
        Registry reg(Path());
        SaveSettings(reg, changed);
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
    TMainSettings s = LoadSettings(reg);
    EXPECT_EQ(s.AutoAwayIdle, 10);
    EXPECT_EQ(s.OnStartup, 2);
    EXPECT_EQ(s.LineSpacing, 100);
    EXPECT_TRUE(s.ParseUrls);
    EXPECT_EQ(s.TimestampColor, 0xFF);
    EXPECT_EQ(s.AutoAwayMessage, QStringLiteral("Auto-away after 10 minutes"));
    EXPECT_EQ(s.OutputMemo.Font.Size, 8);
    EXPECT_TRUE(s.OutputMemo.Font.Bold);
    EXPECT_EQ(s.LastUser, QString());

    reg.OpenKey({}, false)->WriteInteger(QStringLiteral("LineSpacing"), -5);
    EXPECT_EQ(LoadSettings(reg).LineSpacing, 0);
}

TEST_F(SettingsTest, UnparsableFileIsNotReplacedByDefaults) {
    const QByteArray content("OnStartup=2\nLastUser=Bob\n[Logins/Bob]\nPassword=@hex:6364\n<<<\n");
    WriteFile(content);
    Registry reg(Path());
    EXPECT_EQ(LoadSettings(reg), TMainSettings());
    SaveSettings(reg, TMainSettings());
    EXPECT_FALSE(reg.Save());
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

TEST(Logins, UsersMatchIgnoringAsciiCaseOnly) {
    TLogins logins;
    logins.SetLoginPassword(QStringLiteral("Bob"), QStringLiteral("one"));
    logins.SetLoginPassword(QStringLiteral("BOB"), QStringLiteral("two"));
    logins.SetLastChar(QStringLiteral("bob"), QStringLiteral("Hero"));
    logins.SetLastChar(QStringLiteral("Nobody"), QStringLiteral("X"));
    logins.SetLoginPassword(QStringLiteral("Zoë"), QStringLiteral("a"));
    logins.SetLoginPassword(QStringLiteral("ZOË"), QStringLiteral("b"));
    ASSERT_EQ(logins.Items().size(), 3u);
    EXPECT_EQ(logins.Items()[0].User, QStringLiteral("Bob"));
    EXPECT_EQ(logins.GetLoginPassword(QStringLiteral("bOB")), QStringLiteral("two"));
    EXPECT_EQ(logins.GetLastChar(QStringLiteral("BOB")), QStringLiteral("Hero"));
    EXPECT_EQ(logins.GetLoginPassword(QStringLiteral("zoë")), QStringLiteral("a"));
    EXPECT_EQ(logins.GetLoginPassword(QStringLiteral("Nobody")), QString());
}

TEST_F(SettingsTest, LoginsSaveOneKeyPerEntryAndSurviveZeroBytes) {
    TLogins logins;
    logins.SetLoginPassword(QStringLiteral("Bob"), QStringLiteral("\u00FF\u20ACx"));
    logins.SetLastChar(QStringLiteral("Bob"), QStringLiteral("Hero"));
    logins.SetLoginPassword(QStringLiteral("a/b\\c"), QStringLiteral("pw"));
    {
        Registry reg(Path());
        reg.OpenKey({QStringLiteral("Logins"), QStringLiteral("Stale")}, true);
        SaveLogins(reg, logins);
        ASSERT_TRUE(reg.Save());
    }
    Registry reg(Path());
    EXPECT_EQ(reg.OpenKey({QStringLiteral("Logins")}, false)->SubKeyNames(),
              (QStringList{QStringLiteral("Bob"), QStringLiteral("a/b\\c")}));
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
    const QStringList dims{QStringLiteral("Dimensions")};
    EXPECT_EQ(reg.OpenKey(dims, false)->SubKeyNames(),
              (QStringList{QStringLiteral("Mine"), QStringLiteral("Other")}));

    list.Remove(other.get());
    SaveDimensions(reg, list);
    EXPECT_EQ(reg.OpenKey(dims, false)->SubKeyNames(), QStringList{QStringLiteral("Mine")});

    auto bare = reg.OpenKey(dims + QStringList{QStringLiteral("Bare")}, true);
    bare->WriteString(QStringLiteral("Port"), QStringLiteral("abc"));
    list.Add(QStringLiteral("Unsaved"), QString(), 1, QString());
    LoadDimensions(reg, list);
    ASSERT_EQ(list.Count(), 6);
    const auto mine = list.Items(4);
    EXPECT_EQ(mine->Name(), QStringLiteral("Mine"));
    EXPECT_EQ(mine->Description(), QStringLiteral("my server"));
    EXPECT_EQ(mine->Host(), QStringLiteral("h1"));
    EXPECT_EQ(mine->Port(), 7100);
    EXPECT_EQ(list.Items(5)->Name(), QStringLiteral("Bare"));
    EXPECT_EQ(list.Items(5)->Port(), 7012);
    EXPECT_EQ(list.Items(5)->Host(), QString());
}

} // namespace
