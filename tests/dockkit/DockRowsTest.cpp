#include "dockkit/docking/DkDockRows.h"

#include "DataRows.h"
#include "DockFixtures.h"

#include <gtest/gtest.h>

#include <climits>
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

} // namespace
