#include "dockkit/docking/DkDockRows.h"

#include "DockFixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>
#include <vector>

namespace {

using dk::DockRowPlace;
using dk::DockRowWindow;

DockRowWindow Win(int row, int pos, int full) {
    DockRowWindow w;
    w.Row = row;
    w.Pos = pos;
    w.FullLength = full;
    w.MinLength = full;
    return w;
}

template <typename F>
DockRowWindow With(DockRowWindow w, F change) {
    change(w);
    return w;
}

struct RowCase {
    const char* name;
    int rowLength;
    bool limitToOneRow;
    std::vector<DockRowWindow> windows;
    std::vector<DockRowPlace> expected; // in the input order
    int rows;
    bool squeezed = false;
};

void PrintTo(const RowCase& c, std::ostream* os) {
    *os << c.name;
}

class DockRowArrangement : public ::testing::TestWithParam<RowCase> {};

TEST_P(DockRowArrangement, PlacesEachWindow) {
    const RowCase& c = GetParam();
    const dk::DockRowResult result = dk::ArrangeDockRows(c.windows, c.rowLength, c.limitToOneRow);
    ASSERT_EQ(result.Places.size(), c.expected.size());
    for (size_t i = 0; i < c.expected.size(); ++i) {
        EXPECT_EQ(result.Places[i].Row, c.expected[i].Row) << "window " << i;
        EXPECT_EQ(result.Places[i].Pos, c.expected[i].Pos) << "window " << i;
        EXPECT_EQ(result.Places[i].Length, c.expected[i].Length) << "window " << i;
    }
    EXPECT_EQ(result.RowCount, c.rows);
    EXPECT_EQ(result.DraggedSqueezed, c.squeezed);
}

const auto chevron = [](int min) {
    return [min](DockRowWindow& w) {
        w.Shrink = dksmChevron;
        w.MinLength = min;
    };
};
const auto wrap = [](int min) {
    return [min](DockRowWindow& w) {
        w.Shrink = dksmWrap;
        w.MinLength = min;
    };
};
const auto fullSize = [](DockRowWindow& w) { w.FullSize = true; };
const auto stretch = [](DockRowWindow& w) { w.Stretch = true; };
const auto dragged = [](DockRowWindow& w) { w.Dragged = true; };
const auto newRow = [](DockRowWindow& w) { w.NewRowBefore = true; };

INSTANTIATE_TEST_SUITE_P(
    Cases, DockRowArrangement,
    ::testing::Values(
        // What does not fit goes to the next row, pulled back into the row.
        RowCase{"OverflowMovesOn",
                300,
                false,
                {Win(0, 0, 150), Win(0, 200, 160)},
                {{0, 0, 150}, {1, 140, 160}},
                2},
        RowCase{"OneRowShrinksTheChevronWindow",
                300,
                true,
                {Win(0, 0, 150), With(Win(0, 200, 160), chevron(40))},
                {{0, 0, 150}, {0, 150, 150}},
                1},
        RowCase{"EmptyRowsCloseUp",
                300,
                false,
                {Win(0, 0, 150), Win(5, 0, 160)},
                {{0, 0, 150}, {1, 0, 160}},
                2},
        RowCase{"FullSizeTakesARowOfItsOwn",
                300,
                false,
                {With(Win(0, 0, 150), fullSize), Win(0, 0, 160)},
                {{0, 0, 300}, {1, 0, 160}},
                2},
        RowCase{"FullSizePushesTheWindowsBeforeIt",
                300,
                false,
                {Win(0, 0, 100), With(Win(0, 120, 100), fullSize), Win(1, 0, 100)},
                {{1, 0, 100}, {0, 0, 300}, {2, 0, 100}},
                3},
        RowCase{"NewRowRequestPushesTheOthers",
                300,
                false,
                {Win(0, 0, 100), With(Win(0, 160, 100), newRow)},
                {{1, 0, 100}, {0, 160, 100}},
                2},
        RowCase{"NewRowRequestIgnoredInOneRow",
                300,
                true,
                {Win(0, 0, 100), With(Win(0, 160, 100), newRow)},
                {{0, 0, 100}, {0, 160, 100}},
                1},
        // Stored rows of any size: ranks, no overflow, no loop.
        RowCase{"ExtremeRowsByRank",
                300,
                false,
                {Win(INT_MIN, 0, 100), Win(-5, 0, 100), With(Win(INT_MAX, 0, 100), fullSize),
                 Win(INT_MAX, 0, 100)},
                {{0, 0, 100}, {1, 0, 100}, {2, 0, 300}, {3, 0, 100}},
                4},
        RowCase{
            "HugeOffsetEndsAtTheRowEnd", 300, false, {Win(0, INT_MAX, 150)}, {{0, 150, 150}}, 1},
        RowCase{"NegativeOffsetStartsTheRow", 300, false, {Win(0, INT_MIN, 150)}, {{0, 0, 150}}, 1},
        RowCase{"StretchReachesTheRowEnd",
                300,
                false,
                {Win(0, 0, 100), With(Win(0, 100, 50), stretch)},
                {{0, 0, 100}, {0, 100, 200}},
                1},
        RowCase{"StretchTakesTheNextGap",
                300,
                false,
                {With(Win(0, 0, 100), stretch), Win(0, 200, 50)},
                {{0, 0, 200}, {0, 200, 50}},
                1},
        // A wrapping window gives way only alone in its row.
        RowCase{"WrappingWindowWithOthersKeepsItsLength",
                300,
                true,
                {With(Win(0, 0, 200), wrap(50)), Win(0, 0, 200)},
                {{0, 0, 200}, {0, 200, 200}},
                1},
        RowCase{"WrappingWindowAloneShrinks",
                300,
                false,
                {With(Win(0, 0, 400), wrap(50))},
                {{0, 0, 300}},
                1},
        // The dragged window: the windows before it close up towards it, or
        // are squeezed when the row is full.
        RowCase{"DraggedWindowClosesTheGapBeforeIt",
                300,
                false,
                {Win(0, 50, 100), With(Win(0, 120, 100), dragged)},
                {{0, 20, 100}, {0, 120, 100}},
                1},
        RowCase{"OtherWindowsKeepTheirGaps",
                300,
                false,
                {Win(0, 50, 100), Win(0, 120, 100)},
                {{0, 50, 100}, {0, 150, 100}},
                1},
        RowCase{"DraggedWindowSqueezesTheChevronBeforeIt",
                300,
                true,
                {With(Win(0, 0, 200), chevron(50)), With(Win(0, 60, 200), dragged)},
                {{0, 0, 100}, {0, 100, 200}},
                1,
                true},
        RowCase{"SqueezingStopsAtTheDraggedWindow",
                300,
                true,
                {With(Win(0, 0, 150), chevron(50)), With(Win(0, 150, 100), dragged),
                 With(Win(0, 0, 150), chevron(50))},
                {{0, 0, 150}, {0, 150, 100}, {0, 250, 50}},
                1,
                true}),
    [](const auto& info) { return std::string(info.param.name); });

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

TEST_F(DockTest, RowsPlaceTheWindowsAndSizeTheDock) {
    TestDockable* w1 = f.Add("W1", QSize(290, 22), f.top, 0, 0);
    TestDockable* w2 = f.Add("W2", QSize(300, 22), f.top, 0, 400);
    f.Settle();
    // 4 x 4 frame plus the 6-pixel drag handle along the dock.
    EXPECT_EQ(w1->geometry(), QRect(0, 0, 300, 26));
    EXPECT_EQ(w2->geometry(), QRect(290, 26, 310, 26));
    EXPECT_EQ(w2->EffectiveRow(), 1);
    EXPECT_EQ(w2->DockRow(), 0) << "arranging alone commits nothing";
    EXPECT_EQ(f.top->height(), 52);
    EXPECT_EQ(f.client->y(), 52);
    EXPECT_EQ(w1->contentsRect(), QRect(8, 2, 290, 22));
}

TEST_F(DockTest, ResizingTheFormRearrangesTheRows) {
    f.Add("W1", QSize(190, 22), f.top, 0, 0);
    TestDockable* w2 = f.Add("W2", QSize(190, 22), f.top, 0, 200);
    f.Settle();
    EXPECT_EQ(f.top->height(), 26);
    f.form.resize(300, 400);
    f.Settle();
    EXPECT_EQ(w2->EffectiveRow(), 1);
    EXPECT_EQ(f.top->height(), 52);
    EXPECT_EQ(f.client->geometry().top(), 52);
    f.form.resize(600, 400);
    f.Settle();
    EXPECT_EQ(w2->EffectiveRow(), 0);
    EXPECT_EQ(w2->x(), 200);
    EXPECT_EQ(f.top->height(), 26);
}

TEST_F(DockTest, VerticalAndBottomDocksKeepTheirOuterEdge) {
    TestDockable* side = f.Add("Side", QSize(100, 22), f.right);
    TestDockable* low = f.Add("Low", QSize(100, 22), f.bottom);
    f.Settle();
    EXPECT_EQ(side->size(), QSize(26, 110));
    EXPECT_EQ(f.right->geometry().right(), f.form.width() - 1);
    EXPECT_EQ(f.right->width(), 26);
    EXPECT_EQ(low->size(), QSize(110, 26));
    EXPECT_EQ(f.bottom->geometry().bottom(), f.form.height() - 1);
    EXPECT_EQ(f.bottom->height(), 26);
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
    w->show();
    using Seen = std::vector<std::pair<bool, QString>>;
    EXPECT_EQ(seen, (Seen{{true, "W"}, {false, "W"}, {true, "W"}}));
    EXPECT_EQ(f.top->VisibleWindowCount(), 1);
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
