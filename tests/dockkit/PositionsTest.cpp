#include "dockkit/docking/DkPositions.h"

#include "DataRows.h"
#include "DockFixtures.h"

#include "platform/core/Registry.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

const QString kBase = QStringLiteral("Software\\ZELVO\\MainForm\\Toolbars\\");

// What SavePositions wrote, in order: "section.name=value".
struct Recorder {
    std::vector<std::string> Lines;
    void Save(QObject* owner) {
        dk::SavePositions(
            owner,
            [this](const QString& s, const QString& n, int v, void*) {
                Lines.push_back((s + "." + n + "=" + QString::number(v)).toStdString());
            },
            [this](const QString& s, const QString& n, const QString& v, void*) {
                Lines.push_back((s + "." + n + "=" + v).toStdString());
            });
    }
    std::vector<std::string> Of(const std::string& section) const {
        std::vector<std::string> of;
        for (const std::string& line : Lines) {
            if (line.rfind(section + ".", 0) == 0) {
                of.push_back(line.substr(section.size() + 1));
            }
        }
        return of;
    }
};

class PositionsTest : public ::testing::Test {
protected:
    PositionsTest() {
        menu = f.Add("MenuBar", QSize(200, 22), f.top, 0, 0);
        standard = f.Add("StandardBar", QSize(100, 22), f.top, 1, 40);
        edit = f.Add("EditBar", QSize(120, 22), f.top, 0, 300);
        edit->SetFloatingPosition(QPoint(300, 200));
        edit->SetFloatingState(true);
        spare = new TestDockable(&f.form, "Spare", QSize(50, 22));
    }

    DockForm f;
    TestDockable* menu;
    TestDockable* standard;
    TestDockable* edit;
    TestDockable* spare;
};

using Lines = std::vector<std::string>;

TEST_F(PositionsTest, SaveWritesThePlacedWindowsInOrder) {
    standard->Extra = 5;
    Recorder saved;
    saved.Save(&f.form);
    EXPECT_EQ(saved.Of("StandardBar"),
              (Lines{"Rev=2000", "Visible=1", "DockedTo=TopDock", "LastDock=TopDock", "DockRow=1",
                     "DockPos=40", "FloatLeft=0", "FloatTop=0", "TestExtra=5"}));
    EXPECT_EQ(saved.Of("EditBar"),
              (Lines{"Rev=2000", "Visible=1", "DockedTo=+", "LastDock=TopDock", "DockRow=0",
                     "DockPos=300", "FloatLeft=300", "FloatTop=200", "TestExtra=0"}));
    EXPECT_TRUE(saved.Of("Spare").empty());
    ASSERT_FALSE(saved.Lines.empty());
    EXPECT_EQ(saved.Lines.front(), "MenuBar.Rev=2000");
    EXPECT_EQ(saved.Lines.back(), "EditBar.TestExtra=0");
}

TEST_F(PositionsTest, AWindowThatCannotBeSavedIsReportedAndTheOthersAreStillWritten) {
    menu->setObjectName(QString());
    Recorder saved;
    try {
        saved.Save(&f.form);
        FAIL() << "no error";
    } catch (const TDkException& e) {
        EXPECT_EQ(e.Message(),
                  QStringLiteral(
                      "Cannot save dockable window's position because Name property is not set"));
    }
    EXPECT_EQ(saved.Of("StandardBar").size(), 9u);
    EXPECT_EQ(saved.Of("EditBar").size(), 9u);

    menu->setObjectName(QStringLiteral("MenuBar"));
    f.left->setObjectName(QString());
    standard->SetCurrentDock(f.left);
    saved.Lines.clear();
    try {
        saved.Save(&f.form);
        FAIL() << "no error";
    } catch (const TDkException& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot save dockable window's position because "
                                              "DockedTo's Name property not set"));
    }
    EXPECT_EQ(saved.Of("EditBar").size(), 9u);
    // A fixed dock is not named in the store.
    f.left->SetAllowDrag(false);
    saved.Lines.clear();
    saved.Save(&f.form);
    EXPECT_EQ(saved.Of("StandardBar")[2], "DockedTo=");
}

TEST_F(PositionsTest, RegistryRoundTrip) {
    QTemporaryDir dir;
    plat::Registry store(dir.path() + QStringLiteral("/store.ini"));
    dk::RegistrySavePositions(&f.form, store, kBase);
    const auto key = store.OpenKey(
        {QStringLiteral("MainForm"), QStringLiteral("Toolbars"), QStringLiteral("StandardBar")},
        false);
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(key->ReadString(QStringLiteral("DockPos")), std::optional<QString>("40"));

    menu->setVisible(false);
    standard->SetCurrentDock(f.left);
    standard->SetDockRow(0);
    edit->ToggleDockedFloating();
    ASSERT_TRUE(edit->Docked());

    dk::RegistryLoadPositions(&f.form, store, kBase);
    f.Settle();
    EXPECT_TRUE(menu->Visible());
    EXPECT_EQ(standard->CurrentDock(), f.top);
    EXPECT_EQ(standard->DockRow(), 1);
    EXPECT_EQ(standard->DockPos(), 40);
    EXPECT_EQ(standard->EffectiveRow(), 1);
    ASSERT_TRUE(edit->Floating());
    EXPECT_EQ(edit->FloatingParent()->pos(), QPoint(300, 200));
    EXPECT_EQ(edit->LastDock(), f.top);
    EXPECT_FALSE(spare->Docked() || spare->Floating());
}

// --- Stored values as a user or an older version may have left them ---------------

// Where the window is after the load, as in stored-positions.txt.
std::string Describe(TestDockable* w) {
    std::string text = w->Floating() ? "+ at " + std::to_string(w->FloatingParent()->x()) + "," +
                                           std::to_string(w->FloatingParent()->y())
                                     : w->CurrentDock()->objectName().toStdString() + " row " +
                                           std::to_string(w->DockRow()) + "/" +
                                           std::to_string(w->EffectiveRow());
    if (w->LastDock() != nullptr) {
        text += " last " + w->LastDock()->objectName().toStdString();
    }
    return text + (w->Visible() ? "" : " hidden") + " extra " + std::to_string(w->Extra);
}

TEST(StoredValues, LoadAppliesWhatItCanAndGoesOn) {
    for (const QStringList& row : DataRows("stored-positions.txt", 3)) {
        SCOPED_ROW(row);
        const QString values = row[0];
        const QString setup = row[1];
        DockForm f;
        f.Add("Row0", QSize(100, 22), f.top);
        TestDockable* bar = f.Add("Bar", QSize(100, 22), f.left, 3, 0);
        TestDockable* next = f.Add("Next", QSize(100, 22), f.left);
        bar->VerticalOnly = setup == "V";
        f.top->SetAllowDrag(setup != "T");

        QTemporaryDir dir;
        plat::Registry store(dir.path() + QStringLiteral("/store.ini"));
        const QStringList path{QStringLiteral("MainForm"), QStringLiteral("Toolbars")};
        auto barKey = store.OpenKey(path + QStringList{QStringLiteral("Bar")}, true);
        if (setup != "R") {
            barKey->WriteString(QStringLiteral("Rev"), QStringLiteral("2000"));
        }
        for (const QString& value : values.split(u' ')) {
            barKey->WriteString(value.section(u'=', 0, 0), value.section(u'=', 1));
        }
        auto nextKey = store.OpenKey(path + QStringList{QStringLiteral("Next")}, true);
        nextKey->WriteInteger(QStringLiteral("Rev"), 2000);
        nextKey->WriteString(QStringLiteral("DockedTo"), QStringLiteral("RightDock"));

        ASSERT_NO_THROW(dk::RegistryLoadPositions(&f.form, store, kBase));
        f.Settle();
        EXPECT_EQ(next->CurrentDock(), f.right) << "the load went on";
        EXPECT_EQ(Describe(bar), row[2].toStdString());
    }
}

} // namespace
