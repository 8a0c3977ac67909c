#include "controls/StateSaver.h"

#include "platform/core/Registry.h"
#include "platform/gui/MsgBox.h"

#include "BoxAnswerer.h"
#include "GoldenRows.h"
#include "PlatformFakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using plat::TRect;

namespace {

class StateSaverTest : public ::testing::Test {
protected:
    StateSaverTest() {
        registry_ = std::make_shared<plat::Registry>(dir_.filePath(QStringLiteral("store.ini")));
    }

    // A saver in the registry store, or with `ini` in that INI file.
    TStateSaver* SaverFor(QWidget& form, const QString& ini = QString()) {
        auto* saver = new TStateSaver(&form);
        if (ini.isEmpty()) {
            saver->SetPath(QStringLiteral("Software\\ZELVO\\MainForm"));
            saver->SetRegistry(registry_);
        } else {
            saver->SetLocation(slIni);
            saver->SetPath(ini);
            saver->SetSection(QString()); // the default section then
        }
        return saver;
    }
    static void Design(QWidget& form) { form.setGeometry(50, 60, 300, 200); }
    static QRect Bounds(const QWidget& form) { return QRect(form.pos(), form.size()); }

    // The values the store file (or the INI file) holds now, read afresh.
    QString Stored(const QString& ini = QString()) {
        plat::Registry file(ini.isEmpty() ? registry_->FilePath() : ini);
        const auto key = file.OpenKey(
            ini.isEmpty() ? QStringList{"MainForm", "Position"} : QStringList{"Position"}, false);
        QStringList values;
        for (const QString& name : key ? key->ValueNames() : QStringList()) {
            values << name + u'=' + key->ReadString(name).value_or(QStringLiteral("?"));
        }
        return values.join(u' ');
    }
    plat::Registry::Key Key() {
        return *registry_->OpenKey({QStringLiteral("MainForm"), QStringLiteral("Position")}, true);
    }

    QTemporaryDir dir_;
    FakeScreens screens_{{{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040)}}};
    std::shared_ptr<plat::Registry> registry_;
    BoxAnswerer boxes_;
};

TEST_F(StateSaverTest, PlacementComesBackInTheNextRunFromEitherStore) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("sub")));
    for (const QString& ini : {QString(), dir_.filePath(QStringLiteral("sub/window.ini"))}) {
        {
            QWidget form;
            form.setGeometry(100, 120, 640, 480);
            TStateSaver* saver = SaverFor(form, ini);
            saver->SaveState();
            EXPECT_EQ(Stored(ini), "Top=120 Left=100 Height=480 Width=640 Maximized=0");
            // Maximized, only the state is written: the normal bounds stay.
            form.move(10, 10);
            form.setWindowState(Qt::WindowMaximized);
            saver->SaveState();
            EXPECT_EQ(Stored(ini), "Top=120 Left=100 Height=480 Width=640 Maximized=1");
        }
        QWidget again;
        Design(again);
        SaverFor(again, ini)->Loaded();
        EXPECT_TRUE(again.isMaximized());
        EXPECT_EQ(again.normalGeometry(), QRect(100, 120, 640, 480));
    }
    EXPECT_TRUE(boxes_.Boxes.empty());
}

// Each row in the registry store and in an INI file of the saver's own.
TEST_F(StateSaverTest, StoredValuesOfTheWrongKindNeverLoseTheWindow) {
    const QString ini = dir_.filePath(QStringLiteral("window.ini"));
    for (const QStringList& row : GoldenTextRows("controls/stored-placements.tsv", 4)) {
        for (const bool inIni : {false, true}) {
            SCOPED_TRACE(row[0].toStdString() + (inIni ? " (INI file)" : " (registry)"));
            registry_->DeleteKey({QStringLiteral("MainForm")});
            QFile::remove(ini);
            plat::Registry file(ini);
            if (row[1] != u"-") {
                plat::Registry::Key key =
                    inIni ? *file.OpenKey({QStringLiteral("Position")}, true) : Key();
                for (const auto& [name, value] : {std::pair{"Top", 70},
                                                  {"Left", 80},
                                                  {"Height", 400},
                                                  {"Width", 500},
                                                  {"Maximized", 0}}) {
                    key.WriteInteger(QLatin1String(name), value);
                }
                for (const QString& write : row[1].split(u' ', Qt::SkipEmptyParts)) {
                    const QString name = write.section(u'=', 0, 0);
                    const QString value = write.section(u'=', 1);
                    if (value.startsWith(u'#')) {
                        key.WriteInteger(name, value.mid(1).toInt());
                    } else if (value.startsWith(u'%')) {
                        key.WriteBinary(name, QByteArray::fromHex(value.mid(1).toLatin1()));
                    } else {
                        key.WriteString(name, value);
                    }
                }
            }
            ASSERT_TRUE(file.Save());
            QWidget form;
            Design(form);
            SaverFor(form, inIni ? ini : QString())->Loaded();
            const QStringList b = row[2].split(u' ');
            EXPECT_EQ(Bounds(form), QRect(b[0].toInt(), b[1].toInt(), b[2].toInt(), b[3].toInt()));
            EXPECT_EQ(form.isMaximized(), row[3] == u"1");
        }
    }
}

TEST_F(StateSaverTest, EachMonitorKeepsItsWindowsAndNoneIsLost) {
    screens_.SetAreas({{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040)},
                       {TRect(1920, 0, 3840, 1080), TRect(1920, 0, 3840, 1040)}});
    QStringList placed;
    for (const auto& [top, left] : {std::pair{100, 2000}, {-3000, -4000}, {100, 9000}}) {
        plat::Registry::Key key = Key();
        for (const auto& [name, value] :
             {std::pair{"Top", top}, {"Left", left}, {"Height", 600}, {"Width", 800}}) {
            key.WriteInteger(QLatin1String(name), value);
        }
        QWidget form;
        Design(form);
        SaverFor(form)->Loaded();
        const QRect r = Bounds(form);
        placed
            << QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    EXPECT_EQ(placed.join(u" | "), "2000,100 800x600 | 0,0 800x600 | 1920,100 1920x600");
}

TEST_F(StateSaverTest, AWindowAnywhereOnItsMonitorComesBackThere) {
    screens_.SetAreas({{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040)},
                       {TRect(-1920, 0, 0, 1080), TRect(-1920, 0, 0, 1040)}});
    for (const QRect& shown : {QRect(-1034, 100, 800, 600), QRect(-1920, 0, 1920, 1040),
                               QRect(-234, -234 + 300, 234, 234), QRect(1000, 440, 920, 600)}) {
        {
            QWidget form;
            form.setGeometry(shown);
            SaverFor(form)->SaveState();
        }
        QWidget again;
        Design(again);
        SaverFor(again)->Loaded();
        EXPECT_EQ(Bounds(again), shown);
    }
}

TEST_F(StateSaverTest, IniFileInAMissingFolderIsReportedAndSkipped) {
    const QString folder = dir_.filePath(QStringLiteral("gone"));
    QWidget form;
    Design(form);
    TStateSaver* saver = SaverFor(form, folder + QStringLiteral("/window.ini"));
    saver->Loaded();
    saver->SaveState();
    ASSERT_EQ(boxes_.Boxes.size(), 2u);
    EXPECT_EQ(boxes_.Boxes[0].Kind, plat::MsgKind::Error);
    EXPECT_EQ(boxes_.Boxes[0].Text,
              QStringLiteral("Unable to load window state.  Directory does not exist:\n") + folder);
    EXPECT_EQ(boxes_.Boxes[1].Text,
              QStringLiteral("Unable to save window state.  Directory does not exist:\n") + folder);
    EXPECT_EQ(Bounds(form), QRect(50, 60, 300, 200));
    EXPECT_FALSE(QFile::exists(folder));
}

TEST_F(StateSaverTest, ClosingOrDestroyingTheWindowStoresItOnlyWhenAutomatic) {
    for (const bool automatic : {false, true}) {
        QWidget form;
        Design(form);
        TStateSaver* saver = SaverFor(form);
        saver->SetAutomatic(automatic);
        saver->SetDefaulMaximized(false);
        saver->Loaded();
        form.show();
        form.move(200, 210);
        form.resize(420, 310);
        form.close();
        EXPECT_EQ(Stored(), automatic ? "Top=210 Left=200 Height=310 Width=420 Maximized=0" : "");
    }
    auto form = std::make_unique<QWidget>();
    Design(*form);
    SaverFor(*form)->SetDefaulMaximized(false);
    form->show();
    form->move(220, 230);
    form.reset();
    EXPECT_EQ(Stored(), "Top=230 Left=220 Height=200 Width=300 Maximized=0");
}

} // namespace
