#include "platform/core/Registry.h"

#include "GoldenRows.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <limits>

using plat::Registry;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    QString Path() const { return dir_.path() + "/ZELVO/Quorvel.ini"; }

    void WriteFile(const QByteArray& bytes) const {
        QDir().mkpath(dir_.path() + "/ZELVO");
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray ReadFile() const {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static int Mode(const QString& path) {
        struct stat info {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : -1;
    }

    QTemporaryDir dir_;
};

TEST_F(RegistryTest, TypedValuesSurviveTheFileAndNeverReadAsAnotherType) {
    const QString awkward = " @lead, 100% = [x]; #y\\z\nline\ttab é€ trail ";
    const QByteArray bytes("\x00\xFF\x01 @hex:", 9);
    {
        Registry reg(Path());
        EXPECT_EQ(reg.State(), Registry::LoadState::NoFile);
        auto key = reg.OpenKey({"Values"}, true);
        ASSERT_TRUE(key);
        key->WriteString("Text", awkward);
        key->WriteString("Empty", QString());
        key->WriteInteger("Min", std::numeric_limits<int32_t>::min());
        key->WriteBool("Flag", true);
        key->WriteBinary("Bytes", bytes);
        key->WriteBinary("NoBytes", QByteArray());
        ASSERT_TRUE(reg.Save()) << reg.ErrorText().toStdString();
    }
    Registry reg(Path());
    ASSERT_EQ(reg.State(), Registry::LoadState::Loaded);
    const auto key = reg.OpenKey({"Values"}, false);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadString("Text"), awkward);
    EXPECT_EQ(key->ReadString("Empty"), QString());
    EXPECT_EQ(key->ReadInteger("Min"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(key->ReadBool("Flag"), true);
    EXPECT_EQ(key->ReadBinary("Bytes"), bytes);
    EXPECT_EQ(key->ReadBinary("NoBytes"), QByteArray());

    EXPECT_FALSE(key->ReadString("Bytes"));
    EXPECT_FALSE(key->ReadBinary("Text"));
    EXPECT_FALSE(key->ReadBool("Empty"));
}

TEST_F(RegistryTest, HandWrittenValuesParseAsTheirTypeOneByOne) {
    WriteFile("; comment\r\n  Idle = ten \r\nBig=4294967295\nHuge=4294967296\nHex=$10\n"
              "Flag=2\nOff=0\nname=first\nNAME=second\n[Sub]\nx=1\n");
    Registry reg(Path());
    ASSERT_EQ(reg.State(), Registry::LoadState::Loaded) << reg.ErrorText().toStdString();
    const auto root = reg.OpenKey({}, false);
    ASSERT_TRUE(root);
    EXPECT_FALSE(root->ReadInteger("Idle"));
    EXPECT_EQ(root->ReadString("Idle"), "ten");
    EXPECT_EQ(root->ReadInteger("Big"), -1);
    EXPECT_FALSE(root->ReadInteger("Huge"));
    EXPECT_EQ(root->ReadInteger("Hex"), 16);
    EXPECT_EQ(root->ReadBool("Flag"), true);
    // The later line of a name wins; the first spelling stays.
    EXPECT_EQ(root->ReadString("Name"), "second");
    EXPECT_EQ(root->ValueNames().count("name"), 1);
    EXPECT_EQ(root->SubKeyNames(), QStringList{"Sub"});
}

TEST_F(RegistryTest, NamesIgnoreCaseKeepTheirSpellingAndAreAlwaysOneSegment) {
    const QStringList names{"a\\b", "a/b", "x=y", " lead", "trail ", "Zoë 東",
                            "%41",  "[s]", ";c",  "#h",    "@at"};
    {
        Registry reg(Path());
        for (const QString& name : names) {
            auto key = reg.OpenKey({"Logins", name}, true);
            ASSERT_TRUE(key);
            key->WriteString(name, name);
        }
        auto bob = reg.OpenKey({"Logins", "Bob"}, true);
        bob->WriteString("Password", "1");
        auto again = reg.OpenKey({"LOGINS", "bob"}, true);
        again->WriteString("PASSWORD", "2");
        ASSERT_TRUE(reg.Save());
    }
    Registry reg(Path());
    const auto logins = reg.OpenKey({"logins"}, false);
    ASSERT_TRUE(logins);
    EXPECT_EQ(logins->SubKeyNames(), names + QStringList{"Bob"});
    for (const QString& name : names) {
        const auto key = reg.OpenKey({"Logins", name.toUpper()}, false);
        ASSERT_TRUE(key) << name.toStdString();
        EXPECT_EQ(key->ReadString(name), name);
        EXPECT_TRUE(key->SubKeyNames().isEmpty());
    }
    const auto bob = reg.OpenKey({"logins", "BOB"}, false);
    EXPECT_EQ(bob->ValueNames(), QStringList{"Password"});
    EXPECT_EQ(bob->ReadString("password"), "2");
}

TEST_F(RegistryTest, KeysAreCreatedEnumeratedAndDeletedAsTrees) {
    Registry reg(Path());
    const QStringList a{"A"};
    EXPECT_FALSE(reg.OpenKey(a, false));
    EXPECT_FALSE(reg.OpenKey({"A", QString()}, true));
    auto deep = reg.OpenKey(a + QStringList{"B", "C"}, true);
    ASSERT_TRUE(deep);
    deep->WriteInteger("v", 1);
    ASSERT_TRUE(reg.OpenKey(a + QStringList{"D"}, true));
    EXPECT_EQ(reg.OpenKey(a, false)->SubKeyNames(), (QStringList{"B", "D"}));

    EXPECT_TRUE(reg.DeleteKey({"a", "b"}));
    EXPECT_FALSE(reg.KeyExists(a + QStringList{"B", "C"}));
    EXPECT_FALSE(deep->ReadInteger("v"));
    EXPECT_FALSE(deep->WriteInteger("v", 2));
    EXPECT_FALSE(reg.DeleteKey({}));

    ASSERT_TRUE(reg.Save());
    Registry reloaded(Path());
    EXPECT_EQ(reloaded.OpenKey(a, false)->SubKeyNames(), QStringList{"D"});
}

TEST_F(RegistryTest, FileAndFolderAreOwnerOnly) {
    WriteFile("x=1\n");
    QFile::setPermissions(Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadOther | QFileDevice::ReadGroup);
    Registry existing(Path());
    ASSERT_TRUE(existing.Save());
    EXPECT_EQ(Mode(Path()), 0600);

    const QString fresh = dir_.path() + "/config/ZELVO/Quorvel.ini";
    Registry created(fresh);
    ASSERT_TRUE(created.Save());
    EXPECT_EQ(Mode(fresh), 0600);
    EXPECT_EQ(Mode(dir_.path() + "/config/ZELVO"), 0700);
}

TEST_F(RegistryTest, UnreadableFileIsLeftUntouched) {
    for (const QList<QByteArray>& row : GoldenRows("platform/registry-files.tsv", 2)) {
        const QByteArray& content = row[1];
        if (row[0] != "unreadable") {
            continue;
        }
        WriteFile(content);
        Registry reg(Path());
        EXPECT_EQ(reg.State(), Registry::LoadState::Unreadable) << content.toStdString();
        EXPECT_FALSE(reg.ErrorText().isEmpty());
        auto root = reg.OpenKey({}, true);
        EXPECT_FALSE(root->ValueExists("Good"));
        EXPECT_TRUE(root->WriteInteger("Good", 2));
        EXPECT_FALSE(reg.Save());
        EXPECT_EQ(ReadFile(), content);
    }
}

// Every key and value below a key, one line each, in the store's order.
QStringList Snapshot(Registry& reg, const QStringList& path = {}) {
    QStringList lines;
    const auto key = reg.OpenKey(path, false);
    for (const QString& name : key->ValueNames()) {
        const auto bytes = key->ReadBinary(name);
        lines << path.join(u'/') + u'|' + name + u'=' +
                     (bytes ? "hex:" + QString::fromLatin1(bytes->toHex())
                            : "text:" + *key->ReadString(name));
    }
    for (const QString& sub : key->SubKeyNames()) {
        lines << "[" + path.join(u'/') + u'/' + sub + u']';
        lines << Snapshot(reg, path + QStringList{sub});
    }
    return lines;
}

TEST_F(RegistryTest, WhateverALoadAcceptsASaveAndAReloadGiveBack) {
    for (const QList<QByteArray>& row : GoldenRows("platform/registry-files.tsv", 2)) {
        const QByteArray& content = row[1];
        if (row[0] != "loaded") {
            continue;
        }
        SCOPED_TRACE(content.toHex().toStdString());
        WriteFile(content);
        Registry first(Path());
        ASSERT_EQ(first.State(), Registry::LoadState::Loaded) << first.ErrorText().toStdString();
        const QStringList loaded = Snapshot(first);
        ASSERT_TRUE(first.Save());
        const QByteArray saved = ReadFile();
        Registry second(Path());
        ASSERT_EQ(second.State(), Registry::LoadState::Loaded);
        EXPECT_EQ(Snapshot(second), loaded);
        // And the file, once written, stays as it is.
        ASSERT_TRUE(second.Save());
        EXPECT_EQ(ReadFile(), saved);
    }
}

TEST(RegistryPaths, DefaultFileFollowsXdgConfigHomeAndKeyPathsSplit) {
    QTemporaryDir config;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    EXPECT_EQ(Registry::DefaultFilePath(), config.path() + "/ZELVO/Quorvel.ini");
    if (saved.isEmpty()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", saved);
    }

    EXPECT_EQ(Registry::KeyPath(u"Software\\ZELVO\\MainForm\\Toolbars\\"),
              (QStringList{"MainForm", "Toolbars"}));
    EXPECT_EQ(Registry::KeyPath(u"software\\zelvo\\"), QStringList());
}

} // namespace
