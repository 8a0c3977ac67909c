#include "dockkit/docking/DkPositions.h"

#include "DockFixtures.h"

#include "platform/core/Registry.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <optional>
#include <ostream>
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

struct StoredCase {
    const char* name;
    std::map<QString, QString> values; // of the window "Bar"
    bool verticalOnly = false;
    bool topFixed = false;
    // Expected afterwards.
    QString place;                   // the dock's name, or "+" floating
    std::optional<int> dockRow;      // its DockRow
    std::optional<int> effectiveRow; // its arranged row
    std::optional<QPoint> floatPos;  // the floating form's place
    std::optional<QString> lastDock; // its last dock's name
    bool visible = true;
    int extra = 0;
};

void PrintTo(const StoredCase& c, std::ostream* os) {
    *os << c.name;
}

class StoredValues : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredValues, LoadAppliesWhatItCanAndGoesOn) {
    const StoredCase& c = GetParam();
    DockForm f;
    f.Add("Row0", QSize(100, 22), f.top);
    TestDockable* bar = f.Add("Bar", QSize(100, 22), f.left, 3, 0);
    TestDockable* next = f.Add("Next", QSize(100, 22), f.left);
    bar->VerticalOnly = c.verticalOnly;
    f.top->SetAllowDrag(!c.topFixed);

    QTemporaryDir dir;
    plat::Registry store(dir.path() + QStringLiteral("/store.ini"));
    const QStringList path{QStringLiteral("MainForm"), QStringLiteral("Toolbars")};
    auto barKey = store.OpenKey(path + QStringList{QStringLiteral("Bar")}, true);
    for (const auto& [name, value] : c.values) {
        barKey->WriteString(name, value);
    }
    auto nextKey = store.OpenKey(path + QStringList{QStringLiteral("Next")}, true);
    nextKey->WriteInteger(QStringLiteral("Rev"), 2000);
    nextKey->WriteString(QStringLiteral("DockedTo"), QStringLiteral("RightDock"));

    ASSERT_NO_THROW(dk::RegistryLoadPositions(&f.form, store, kBase));
    f.Settle();
    EXPECT_EQ(next->CurrentDock(), f.right) << "the load went on";
    if (c.place == QStringLiteral("+")) {
        ASSERT_TRUE(bar->Floating());
    } else {
        ASSERT_TRUE(bar->Docked());
        EXPECT_EQ(bar->CurrentDock()->objectName(), c.place);
    }
    if (c.dockRow) {
        EXPECT_EQ(bar->DockRow(), *c.dockRow);
    }
    if (c.effectiveRow) {
        EXPECT_EQ(bar->EffectiveRow(), *c.effectiveRow);
    }
    if (c.floatPos) {
        EXPECT_EQ(bar->FloatingParent()->pos(), *c.floatPos);
    }
    if (c.lastDock) {
        ASSERT_NE(bar->LastDock(), nullptr);
        EXPECT_EQ(bar->LastDock()->objectName(), *c.lastDock);
    }
    EXPECT_EQ(bar->Visible(), c.visible);
    EXPECT_EQ(bar->Extra, c.extra);
}

const QString kRev = QStringLiteral("Rev");
const QString kDockedTo = QStringLiteral("DockedTo");
const QString kDockRow = QStringLiteral("DockRow");
const QString k2000 = QStringLiteral("2000");

StoredCase Case(const char* name, std::map<QString, QString> values, QString place) {
    StoredCase c;
    c.name = name;
    c.values = std::move(values);
    c.place = std::move(place);
    return c;
}
template <typename F>
StoredCase Case(const char* name, std::map<QString, QString> values, QString place, F adjust) {
    StoredCase c = Case(name, std::move(values), std::move(place));
    adjust(c);
    return c;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredValues,
    ::testing::Values(
        Case("RevOtherThan2000", {{kRev, "3"}, {kDockedTo, "TopDock"}}, "LeftDock"),
        Case("DockNameInOtherLetterCase", {{kRev, k2000}, {kDockedTo, "topdock"}, {kDockRow, "0"}},
             "TopDock", [](StoredCase& c) { c.effectiveRow = 0; }),
        Case("UnknownDockStillAppliesVisible",
             {{kRev, k2000}, {"Visible", "0"}, {kDockedTo, "NoSuchDock"}}, "LeftDock",
             [](StoredCase& c) { c.visible = false; }),
        Case("DockTheWindowRefuses", {{kRev, k2000}, {kDockedTo, "TopDock"}}, "LeftDock",
             [](StoredCase& c) { c.verticalOnly = true; }),
        Case("DockWithoutDragging", {{kRev, k2000}, {kDockedTo, "TopDock"}}, "LeftDock",
             [](StoredCase& c) { c.topFixed = true; }),
        Case("HugeRow", {{kRev, k2000}, {kDockedTo, "TopDock"}, {kDockRow, "2147483647"}},
             "TopDock",
             [](StoredCase& c) {
                 c.dockRow = INT_MAX;
                 c.effectiveRow = 1;
             }),
        Case("RowBeyondIntegers",
             {{kRev, k2000}, {kDockedTo, "TopDock"}, {kDockRow, "99999999999"}}, "TopDock",
             [](StoredCase& c) {
                 c.dockRow = 3;
                 c.effectiveRow = 1;
             }),
        Case("OnlyFloating", {{kRev, k2000}, {kDockedTo, "+"}}, "+",
             [](StoredCase& c) {
                 c.dockRow = 3;
                 c.floatPos = QPoint(0, 0);
                 c.lastDock = QStringLiteral("LeftDock");
             }),
        Case("FloatingFarAway",
             {{kRev, k2000},
              {kDockedTo, "+"},
              {"FloatLeft", "2147483647"},
              {"FloatTop", "-2147483648"}},
             "+", [](StoredCase& c) { c.floatPos = QPoint(1024 - 108, 0); }),
        Case("LastDockTheWindowRefuses", {{kRev, k2000}, {kDockedTo, "+"}, {"LastDock", "TopDock"}},
             "+",
             [](StoredCase& c) {
                 c.verticalOnly = true;
                 c.lastDock = QStringLiteral("LeftDock");
             }),
        Case("ValuesOfTheWindowsClass",
             {{kRev, k2000}, {kDockedTo, "LeftDock"}, {"TestExtra", "7"}}, "LeftDock",
             [](StoredCase& c) { c.extra = 7; })),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
