#include "dockkit/docking/DkDockableWindow.h"
#include "dockkit/docking/DkFloatingWindowParent.h"

#include "DockFixtures.h"

#include <QApplication>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

class DragLoopTest : public ::testing::Test {
protected:
    DragLoopTest() { w = f.Add("Bar", QSize(100, 22), f.top); } // (0, 0)-(110, 26) on the top dock

    // Presses the drag handle and runs the queued input.
    void PressHandle() { Press(w, kHandle); }
    QPoint HandleGlobal() const { return w->mapToGlobal(kHandle); }
    static void DropFreedForms() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Float(QPoint at) {
        w->SetFloatingPosition(at);
        w->SetFloatingState(true);
        f.Settle();
    }

    static constexpr QPoint kHandle{3, 10};
    static constexpr QPoint kCaption{20, 8};
    DockForm f;
    TestDockable* w = nullptr;
};

TEST_F(DragLoopTest, FromOneDockToAnother) {
    PostMoves(&f.form, {{102, 250}});
    PostRelease(&f.form, {102, 250});
    PressHandle();
    f.Settle();
    EXPECT_EQ(w->CurrentDock(), f.left);
    EXPECT_EQ(w->LastDock(), f.left);
    EXPECT_FALSE(f.top->HoldsWindow(w));
    EXPECT_EQ(f.top->height(), 0);
    EXPECT_EQ(f.left->width(), 26);
    // The cursor kept its place in the window: 42 pixels below the window's
    // top, which is 82 pixels down the dock as it stood.
    EXPECT_EQ(w->DockPos(), 82);
    EXPECT_EQ(w->size(), QSize(26, 110));
    EXPECT_EQ(f.left->DraggedWindow(), nullptr);
    EXPECT_EQ(f.top->DraggedWindow(), nullptr);
}

TEST_F(DragLoopTest, OffTheDocksItFloatsAndKeepsItsRow) {
    w->SetDockPos(40);
    PostMoves(&f.form, {{300, 250}, {400, 300}});
    PostRelease(&f.form, {400, 300});
    PressHandle();
    ASSERT_TRUE(w->Floating());
    EXPECT_EQ(w->FloatingPosition(), QPoint(393, 272));
    EXPECT_EQ(w->FloatingParent()->pos(), QPoint(393, 272));
    EXPECT_EQ(w->DockRow(), 0);
    EXPECT_EQ(w->DockPos(), 40);
    EXPECT_EQ(w->LastDock(), f.top);
    EXPECT_EQ(f.top->VisibleWindowCount(), 0);
}

TEST_F(DragLoopTest, AFloatingWindowDocksWhereItIsDropped) {
    Float({300, 200});
    TDkFloatingWindowParent* form = w->FloatingParent();
    PostMoves(&f.form, {{200, 250}, {101, 250}});
    PostRelease(&f.form, {101, 250});
    Press(form, kCaption);
    DropFreedForms();
    EXPECT_EQ(w->CurrentDock(), f.left);
    EXPECT_TRUE(f.form.findChildren<TDkFloatingWindowParent*>().isEmpty());
}

TEST_F(DragLoopTest, CtrlKeepsItFloatingOverADock) {
    Float({300, 200});
    PostMoves(&f.form, {{200, 250}, {101, 250}}, Qt::ControlModifier);
    PostRelease(&f.form, {101, 250}, Qt::ControlModifier);
    Press(w->FloatingParent(), kCaption);
    ASSERT_TRUE(w->Floating());
    EXPECT_EQ(w->FloatingPosition(), QPoint(81, 242));
}

TEST_F(DragLoopTest, ASmallMoveAlongTheRowLeavesTheWindowInPlace) {
    f.Add("Other", QSize(100, 22), f.top, 0, 300);
    const QPoint start = HandleGlobal();
    PostMoves(&f.form, {start + QPoint(5, 0), start + QPoint(9, 1)});
    PostRelease(&f.form, start + QPoint(9, 1));
    PressHandle();
    EXPECT_EQ(w->DockPos(), 0);
    EXPECT_EQ(w->x(), 0);
    PostMoves(&f.form, {start + QPoint(30, 0)});
    PostRelease(&f.form, start + QPoint(30, 0));
    PressHandle();
    EXPECT_EQ(w->DockPos(), 30);
    EXPECT_EQ(w->x(), 30);
}

TEST_F(DragLoopTest, EscapeOrALostCaptureCancelsAndTheWindowGoesBack) {
    for (const bool escape : {true, false}) {
        std::optional<bool> floatingMidway;
        PostMoves(&f.form, {{400, 300}});
        PostCall(&f.form, [&] { floatingMidway = w->Floating(); });
        if (escape) {
            PostKey(&f.form, Qt::Key_Escape);
        } else {
            PostCall(&f.form, [&] { f.client->grabMouse(); });
            PostMoves(&f.form, {{420, 300}});
        }
        PostRelease(&f.form, {420, 300});
        PressHandle();
        f.client->releaseMouse();
        QCoreApplication::processEvents(); // the release queued after the end
        DropFreedForms();
        EXPECT_EQ(floatingMidway, std::optional<bool>(true)) << escape;
        EXPECT_EQ(w->CurrentDock(), f.top) << escape;
        EXPECT_EQ(w->pos(), QPoint(0, 0)) << escape;
        EXPECT_TRUE(f.form.findChildren<TDkFloatingWindowParent*>().isEmpty()) << escape;
    }
}

TEST_F(DragLoopTest, WithoutSmoothDragAnOutlineMovesAndTheDropApplies) {
    w->SetSmoothDrag(false);
    std::optional<QRect> outline;
    bool dockedMidway = false;
    PostMoves(&f.form, {{400, 300}});
    PostCall(&f.form, [&] {
        dockedMidway = w->Docked();
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QStringLiteral("DkDragOutline") && top->isVisible()) {
                outline = top->geometry();
            }
        }
    });
    PostRelease(&f.form, {400, 300});
    PressHandle();
    EXPECT_TRUE(dockedMidway);
    EXPECT_EQ(outline, std::optional<QRect>(QRect(393, 272, 108, 46)));
    ASSERT_TRUE(w->Floating());
    EXPECT_EQ(w->FloatingPosition(), QPoint(393, 272));
    for (QWidget* top : QApplication::topLevelWidgets()) {
        EXPECT_NE(top->objectName(), QStringLiteral("DkDragOutline"));
    }
}

TEST_F(DragLoopTest, DoubleClicksToggleBothWays) {
    DoubleClick(w, kHandle);
    ASSERT_TRUE(w->Floating());
    DoubleClick(w->FloatingParent(), kCaption);
    EXPECT_EQ(w->CurrentDock(), f.top);
    DoubleClick(w, QPoint(50, 10)); // the client part too
    EXPECT_TRUE(w->Floating());
    w->SetDockMode(dmCannotFloat);
    w->ToggleDockedFloating();
    DoubleClick(w, kHandle);
    EXPECT_TRUE(w->Docked()) << "a window that cannot float stays docked";
}

TEST_F(DragLoopTest, AWindowWithoutSizeCanBeDragged) {
    w->Content = QSize(0, 0);
    Float({300, 200});
    ASSERT_EQ(w->size(), QSize(0, 0));
    // The grab ratio divides by the window's width and height: 0 here.
    PostMoves(&f.form, {{350, 250}});
    PostRelease(&f.form, {350, 250});
    w->RunDragLoop(w->FloatingParent()->mapToGlobal(QPoint(4, 10)));
    EXPECT_TRUE(w->Floating());
    EXPECT_EQ(w->FloatingPosition(), QPoint(347, 231));
}

TEST_F(DragLoopTest, ASqueezedWindowPushesItsRow) {
    f.top->SetLimitToOneRow(true);
    w->Shrink = dksmChevron;
    w->MinLength = 60;
    w->Content = QSize(300, 22);
    TestDockable* second = f.Add("Second", QSize(300, 22), f.top, 0, 310);
    ASSERT_EQ(w->width(), 290);
    std::optional<Qt::CursorShape> cursor;
    const QPoint start = second->mapToGlobal(kHandle);
    PostMoves(&f.form, {start - QPoint(20, 0)});
    PostCall(&f.form, [&] {
        if (QGuiApplication::overrideCursor() != nullptr) {
            cursor = QGuiApplication::overrideCursor()->shape();
        }
    });
    // Far past the window before it: it keeps its place in the row.
    PostMoves(&f.form, {start - QPoint(300, 0)});
    PostRelease(&f.form, start - QPoint(300, 0));
    Press(second, kHandle);
    EXPECT_EQ(cursor, std::optional<Qt::CursorShape>(Qt::SizeHorCursor));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(second->EffectiveRow(), 0);
    EXPECT_EQ(w->x(), 0);
    EXPECT_EQ(second->x(), 290);
    EXPECT_EQ(second->DockPos(), 290);
    EXPECT_FALSE(f.top->RowPushMode());
}

TEST_F(DragLoopTest, ARefusingDockIsPassedOver) {
    std::vector<QString> asked;
    f.left->OnRequestDock = [&](TDkDock* dock, TDkCustomDockableWindow*, bool& accept) {
        asked.push_back(dock->objectName());
        accept = false;
    };
    PostMoves(&f.form, {{102, 250}});
    PostRelease(&f.form, {102, 250});
    PressHandle();
    EXPECT_EQ(asked, std::vector<QString>{QStringLiteral("LeftDock")});
    EXPECT_TRUE(w->Floating());
}

TEST_F(DragLoopTest, AWindowThatCannotFloatStaysWhereItWasOffTheDocks) {
    w->SetDockMode(dmCannotFloat);
    std::optional<Qt::CursorShape> cursor;
    PostMoves(&f.form, {{400, 300}});
    PostCall(&f.form, [&] {
        if (QGuiApplication::overrideCursor() != nullptr) {
            cursor = QGuiApplication::overrideCursor()->shape();
        }
    });
    PostRelease(&f.form, {400, 300});
    PressHandle();
    EXPECT_EQ(cursor, std::optional<Qt::CursorShape>(Qt::ForbiddenCursor));
    EXPECT_EQ(w->CurrentDock(), f.top);
    EXPECT_EQ(w->pos(), QPoint(0, 0));
}

// --- Sizing a floating window ------------------------------------------------------

struct SizingCase {
    const char* name;
    QPoint press; // on the 108 x 74 form at (300, 200)
    QPoint delta;
    QSize minClient;
    QSize maxClient;
    QRect expected;
};

void PrintTo(const SizingCase& c, std::ostream* os) {
    *os << c.name;
}

class SizingLoop : public DragLoopTest, public ::testing::WithParamInterface<SizingCase> {};

TEST_P(SizingLoop, MovesTheDraggedEdgesWithinTheLimits) {
    const SizingCase& c = GetParam();
    w->Content = QSize(100, 50);
    w->MinClient = c.minClient;
    w->MaxClient = c.maxClient;
    Float({300, 200});
    TDkFloatingWindowParent* form = w->FloatingParent();
    ASSERT_EQ(form->geometry(), QRect(300, 200, 108, 74));
    w->Calls.clear();
    const QPoint start = form->mapToGlobal(c.press);
    PostMoves(&f.form, {start + c.delta / 2, start + c.delta});
    PostRelease(&f.form, start + c.delta);
    Press(form, c.press);
    EXPECT_EQ(form->geometry(), c.expected);
    EXPECT_EQ(w->size(), c.expected.size() - QSize(8, 24));
    ASSERT_GE(w->Calls.size(), 3u);
    EXPECT_EQ(w->Calls.front().substr(0, 5), "Begin");
    EXPECT_EQ(w->Calls[w->Calls.size() - 2], "Apply");
    EXPECT_EQ(w->Calls.back(), "End");
    EXPECT_EQ(w->Calls[w->Calls.size() - 3],
              "Changing " + TestDockable::Size(w->width(), w->height()));
}

INSTANTIATE_TEST_SUITE_P(
    Edges, SizingLoop,
    ::testing::Values(
        SizingCase{"Right", {106, 40}, {50, 0}, {}, {}, {300, 200, 158, 74}},
        SizingCase{"Left", {1, 40}, {-30, 0}, {}, {}, {270, 200, 138, 74}},
        SizingCase{"BottomRight", {106, 72}, {20, 10}, {}, {}, {300, 200, 128, 84}},
        SizingCase{"TopAtItsMinimum", {50, 1}, {0, 100}, {40, 40}, {}, {300, 210, 108, 64}},
        SizingCase{"RightAtItsMinimum", {106, 40}, {-90, 0}, {60, 20}, {}, {300, 200, 68, 74}},
        SizingCase{"RightAtItsMaximum", {106, 40}, {500, 0}, {}, {200, 0}, {300, 200, 208, 74}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DragLoopTest, CancelledSizingPutsTheFormBack) {
    w->Content = QSize(100, 50);
    Float({300, 200});
    TDkFloatingWindowParent* form = w->FloatingParent();
    w->Calls.clear();
    std::optional<QRect> midway;
    const QPoint start = form->mapToGlobal(QPoint(106, 40));
    PostMoves(&f.form, {start + QPoint(40, 0)});
    PostCall(&f.form, [&] { midway = form->geometry(); });
    PostKey(&f.form, Qt::Key_Escape);
    Press(form, QPoint(106, 40));
    EXPECT_EQ(midway, std::optional<QRect>(QRect(300, 200, 148, 74)));
    EXPECT_EQ(form->geometry(), QRect(300, 200, 108, 74));
    EXPECT_EQ(w->size(), QSize(100, 50));
    EXPECT_EQ(w->Calls.front(), "Begin 1");
    EXPECT_EQ(w->Calls.back(), "End");
    EXPECT_EQ(std::count(w->Calls.begin(), w->Calls.end(), "Apply"), 0);
}

} // namespace
