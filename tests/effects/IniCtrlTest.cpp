#include "effects/core/VfxIniCtrl.h"
#include "effects/core/VfxLinuxSysInfo.h"

#include "EffectsTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fx;

namespace {

class IniCtrlTest : public ::testing::Test {
protected:
    IniCtrlTest() {
        ini_.OnChange = [this](TVfxCustomComponent* sender) {
            EXPECT_EQ(sender, &ini_);
            ++changes_;
        };
    }

    TVfxIniCtrl ini_;
    int changes_ = 0;
};

TEST_F(IniCtrlTest, ANameWithoutExtensionGetsDotIni) {
    for (const QStringList& row : GoldenTextRows("effects/ini-names.tsv", 2)) {
        ini_.SetIniFile(row[0]);
        EXPECT_EQ(ini_.IniFile(), row[1]) << row[0].toStdString();
    }
}

TEST_F(IniCtrlTest, LetterCountersHoldAtMost26Entries) {
    ini_.SetMaxEntries(40);
    ini_.SetAlphaCounter(true);
    EXPECT_EQ(ini_.MaxEntries(), 26);
    ini_.SetMaxEntries(30);
    EXPECT_EQ(ini_.MaxEntries(), 26);
    ini_.SetAlphaCounter(false);
    ini_.SetMaxEntries(200);
    EXPECT_EQ(ini_.MaxEntries(), 200);
}

TEST_F(IniCtrlTest, AnIniFileStoreLivesInTheNamedFile) {
    QTemporaryDir dir;
    ini_.SetTarget(itIniFile);
    EXPECT_EQ(ini_.OpenStore(), nullptr); // no file name yet
    ini_.SetIniFile(dir.filePath(QStringLiteral("effects")));
    EXPECT_EQ(ini_.StoreFilePath(), dir.filePath(QStringLiteral("effects.INI")));
    {
        auto store = ini_.OpenStore();
        ASSERT_NE(store, nullptr);
        auto key = ini_.OpenKey(*store, {QStringLiteral("Entries")}, true);
        ASSERT_TRUE(key);
        key->WriteString(QStringLiteral("a"), QStringLiteral("first"));
        key->WriteInteger(QStringLiteral("Count"), 1);
        ASSERT_TRUE(store->Save());
    }
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("effects.INI"))));
    auto store = ini_.OpenStore();
    const auto key = ini_.OpenKey(*store, {QStringLiteral("Entries")}, false);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadString(QStringLiteral("a")), QStringLiteral("first"));
    EXPECT_EQ(key->ReadInteger(QStringLiteral("Count")), 1);
}

// Points the user's configuration folder at a temporary one.
class ConfigHome : public IniCtrlTest {
public:
    ~ConfigHome() override { qputenv("XDG_CONFIG_HOME", previous_); }

protected:
    ConfigHome() : previous_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path()));
    }

    QTemporaryDir dir_;
    QByteArray previous_;
};

TEST_F(ConfigHome, ARelativeIniFileLivesBelowItsPrefixFolder) {
    ini_.SetTarget(itIniFile);
    ini_.SetIniFile(QStringLiteral("sub\\vfx"));
    EXPECT_EQ(ini_.StoreFilePath(), dir_.filePath(QStringLiteral("sub/vfx.INI")));
    ini_.SetIniPrefix(ppSystem);
    EXPECT_EQ(ini_.StoreFilePath(), QStringLiteral("/etc/sub/vfx.INI"));
}

TEST_F(ConfigHome, TheRegistryTargetIsTheProgramsStoreUnderRegPath) {
    ini_.SetRegPath(QStringLiteral("Software\\ZELVO\\Effects\\Recent"));
    EXPECT_EQ(ini_.EffectiveTarget(), itRegistry); // the default target, automatic
    for (const TVfxIniTarget target : {itAuto, itRegistry}) {
        ini_.SetTarget(target);
        EXPECT_EQ(ini_.StoreFilePath(), dir_.filePath(QStringLiteral("ZELVO/Quorvel.ini")));
        EXPECT_EQ(ini_.RootKeyPath(), (QStringList{"Effects", "Recent"}));
    }
    {
        auto store = ini_.OpenStore();
        auto key = ini_.OpenKey(*store, {}, true);
        ASSERT_TRUE(key);
        key->WriteString(QStringLiteral("1"), QStringLiteral("x"));
        ASSERT_TRUE(store->Save());
    }
    plat::Registry program(plat::Registry::DefaultFilePath());
    const auto key = program.OpenKey({QStringLiteral("Effects"), QStringLiteral("Recent")}, false);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadString(QStringLiteral("1")), QStringLiteral("x"));
}

} // namespace
