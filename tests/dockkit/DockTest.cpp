// Docks: the arrangement of their rows, the dock as a widget, and the
// positions of dockable windows saved and read back, as stored values a user
// or an older version may have left them.

#include "dockkit/docking/DkDockRows.h"
#include "dockkit/docking/DkPositions.h"

#include "DataRows.h"
#include "DockFixtures.h"

#include "platform/core/Registry.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using dk::DockRowPlace;
using dk::DockRowWindow;

// Windows and their places written as in tests/data/dockkit/dock-rows.txt.
std::vector<DockRowWindow> Windows(const std::string& text) {
    std::vector<DockRowWindow> windows;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        DockRowWindow w;
        char slash = 0;
        long long row = 0;
        long long pos = 0;
        std::istringstream item(word);
        item >> row >> slash >> pos >> slash >> w.FullLength;
        w.Row = static_cast<int>(row);
        w.Pos = static_cast<int>(pos);
        w.MinLength = w.FullLength;
        for (char flag = 0; item >> flag;) {
            if (flag == 'c' || flag == 'w') {
                w.Shrink = flag == 'c' ? dksmChevron : dksmWrap;
                item >> w.MinLength;
            }
            w.FullSize = w.FullSize || flag == 'F';
            w.Stretch = w.Stretch || flag == 'S';
            w.Dragged = w.Dragged || flag == 'D';
            w.NewRowBefore = w.NewRowBefore || flag == 'N';
        }
        windows.push_back(w);
    }
    return windows;
}

std::string Describe(const dk::DockRowResult& result) {
    std::string text;
    for (const DockRowPlace& p : result.Places) {
        text += std::to_string(p.Row) + "/" + std::to_string(p.Pos) + "/" +
                std::to_string(p.Length) + " ";
    }
    return text + std::to_string(result.RowCount) + (result.DraggedSqueezed ? " squeezed" : "");
}

TEST(DockRowArrangement, PlacesEachWindow) {
    for (const QStringList& row : DataRows("dock-rows.txt", 4)) {
        SCOPED_ROW(row);
        EXPECT_EQ(Describe(dk::ArrangeDockRows(Windows(row[2].toStdString()), 300, row[1] == "1")),
                  row[3].toStdString());
    }
}

TEST(DockRowRanks, KeepTheOrderAndCloseUp) {
    std::vector<int> rows{7, INT_MAX, -5, 7, INT_MIN, 0};
    dk::CompactRowsByRank(rows);
    EXPECT_EQ(rows, (std::vector<int>{3, 4, 1, 3, 0, 2}));
    EXPECT_EQ(dk::SaturatingAdd(INT_MAX, 1), INT_MAX);
    EXPECT_EQ(dk::SaturatingAdd(INT_MIN, -1), INT_MIN);
}

// --- The dock as a widget ---------------------------------------------------------

class DockTest : public ::testing::Test {
protected:
    DockForm f;
};

TEST_F(DockTest, RowsPlaceTheWindowsAndSizeTheDockAsTheFormResizes) {
    TestDockable* w1 = f.Add("W1", QSize(290, 22), f.top, 0, 0);
    TestDockable* w2 = f.Add("W2", QSize(300, 22), f.top, 0, 400);
    f.Settle();
    // A 4 x 4 frame plus the 6-pixel drag handle along the dock; W2 does not
    // fit beside W1 and goes below it, pulled back into the row.
    EXPECT_EQ(Placed(w1), "TopDock 0/0 0,0 300x26");
    EXPECT_EQ(Placed(w2), "TopDock 0/400 290,26 310x26") << "arranging alone commits nothing";
    EXPECT_EQ(w2->EffectiveRow(), 1);
    EXPECT_EQ(f.client->y(), 52);
    EXPECT_EQ(w1->contentsRect(), QRect(8, 2, 290, 22));
    // A wider form takes both in one row; a narrower one wraps again.
    f.form.resize(800, 400);
    f.Settle();
    EXPECT_EQ(Placed(w2), "TopDock 0/400 400,0 310x26");
    EXPECT_EQ(f.client->y(), 26);
    f.form.resize(600, 400);
    f.Settle();
    EXPECT_EQ(w2->EffectiveRow(), 1);
    EXPECT_EQ(f.top->height(), 52);
}

TEST_F(DockTest, VerticalAndBottomDocksKeepTheirOuterEdge) {
    TestDockable* side = f.Add("Side", QSize(100, 22), f.right);
    TestDockable* low = f.Add("Low", QSize(100, 22), f.bottom);
    f.Settle();
    EXPECT_EQ(side->size(), QSize(26, 110));
    EXPECT_EQ(f.right->geometry().right(), f.form.width() - 1);
    EXPECT_EQ(low->size(), QSize(110, 26));
    EXPECT_EQ(f.bottom->geometry().bottom(), f.form.height() - 1);
}

TEST_F(DockTest, EmptyDockAndBoundLines) {
    EXPECT_EQ(f.top->height(), 0);
    f.top->SetFixAlign(true);
    EXPECT_EQ(f.top->height(), 1);
    f.top->SetBoundLines(blTop | blBottom);
    TestDockable* w = f.Add("W", QSize(100, 22), f.top);
    EXPECT_EQ(f.top->height(), 28);
    EXPECT_EQ(f.top->contentsRect(), QRect(0, 1, f.top->width(), 26));
    EXPECT_EQ(w->y(), 1);
}

TEST_F(DockTest, PositionCannotChangeOnceWindowsAreDocked) {
    f.top->SetPosition(dpRight);
    EXPECT_EQ(f.layout->AlignOf(f.top), plat::Align::Right);
    f.top->SetPosition(dpTop);
    f.Add("W", QSize(100, 22), f.top);
    try {
        f.top->SetPosition(dpLeft);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(
            e.Message(),
            QStringLiteral("Cannot change Position of a TDkDock if it already contains controls"));
    }
    EXPECT_EQ(f.top->Position(), dpTop);
}

TEST_F(DockTest, DocksAreNotPlacedInDocksOrDockableWindows) {
    TestDockable* w = f.Add("W", QSize(100, 22), f.top);
    const QString text = QStringLiteral(
        "A TDkDock control cannot be placed inside a tool window or another TDkDock");
    for (QWidget* parent : {static_cast<QWidget*>(f.top), static_cast<QWidget*>(w)}) {
        try {
            TDkDock dock(parent);
            FAIL() << "no error";
        } catch (const EInvalidOperation& e) {
            EXPECT_EQ(e.Message(), text);
        }
    }
    EXPECT_THROW(f.left->SetParentControl(w), EInvalidOperation);
    EXPECT_EQ(f.left->parentWidget(), &f.form);
}

TEST_F(DockTest, InsertRemoveFollowsShowingAndHiding) {
    std::vector<std::pair<bool, QString>> seen;
    f.top->OnInsertRemoveBar = [&](TDkDock*, bool inserting, TDkCustomDockableWindow* w) {
        seen.emplace_back(inserting, w->objectName());
    };
    TestDockable* w = f.Add("W", QSize(100, 22), f.top);
    w->setVisible(false);
    EXPECT_EQ(f.top->height(), 0);
    EXPECT_TRUE(w->isHidden());
    // Sized by the dock while hidden (a new row height), it does not take
    // that for a size of its own when it shows.
    f.Add("Tall", QSize(100, 40), f.top);
    f.top->ArrangeRows();
    w->Calls.clear();
    w->show();
    f.Settle();
    EXPECT_EQ(w->height(), 44);
    EXPECT_EQ(w->Calls, std::vector<std::string>{});
    using Seen = std::vector<std::pair<bool, QString>>;
    EXPECT_EQ(seen, (Seen{{true, "W"}, {false, "W"}, {true, "Tall"}, {true, "W"}}));
    EXPECT_EQ(f.top->VisibleWindowCount(), 2);
}

TEST_F(DockTest, ChangesWhileLockedArrangeOnceAtUnlock) {
    TestDockable* w = f.Add("W", QSize(100, 22), f.top);
    f.top->LockArrangement();
    w->SetDockPos(50);
    w->Content = QSize(100, 40);
    EXPECT_EQ(w->x(), 0);
    f.top->UnlockArrangement();
    EXPECT_EQ(w->x(), 50);
    EXPECT_EQ(f.top->height(), 44);
}

// A window that wraps its content into two rows once the dock shrinks it,
// and notes the length its children were last placed for.
class WrappingDockable : public TestDockable {
public:
    WrappingDockable(QWidget* form, QSize content) : TestDockable(form, "Wrap", content) {
        Shrink = dksmWrap;
    }
    QSize LayoutChildren(bool canMoveControls, PlacementKind, TDkDock*) override {
        if (canMoveControls) {
            PlacedFor = CurrentShrunkLength();
        }
        return CurrentShrunkLength() != 0 ? QSize(Content.width() / 2, Content.height() * 2)
                                          : Content;
    }
    int PlacedFor = -1;
};

TEST_F(DockTest, AWrappingWindowKeepsItsRowsWhileItStaysShrunk) {
    auto* w = new WrappingDockable(&f.form, QSize(700, 22));
    w->MinLength = 300;
    w->SetCurrentDock(f.top);
    // Each width is arranged twice: the second time the window is shrunk to
    // the same length and keeps the height its wrapped layout gave it. Its
    // children follow every new length.
    struct Step {
        int FormWidth;
        int ShrunkTo; // 0: its full length
        int DockHeight;
    };
    for (const Step& step :
         {Step{600, 600, 48}, Step{650, 650, 48}, Step{800, 0, 26}, Step{600, 600, 48}}) {
        f.form.resize(step.FormWidth, 400);
        f.Settle();
        f.top->ArrangeRows();
        EXPECT_EQ(w->CurrentShrunkLength(), step.ShrunkTo) << "form " << step.FormWidth;
        EXPECT_EQ(w->PlacedFor, step.ShrunkTo) << "form " << step.FormWidth;
        EXPECT_EQ(f.top->height(), step.DockHeight) << "form " << step.FormWidth;
        EXPECT_EQ(w->height(), step.DockHeight) << "form " << step.FormWidth;
    }
}

// --- Saved positions ---------------------------------------------------------------------------

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
