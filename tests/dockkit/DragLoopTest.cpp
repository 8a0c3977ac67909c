// The drag loop of dockable windows (between docks, floating and back) and
// the sizing loop of floating forms, driven by queued mouse input.
#include "dockkit/docking/DkDockableWindow.h"
#include "dockkit/docking/DkFloatingWindowParent.h"

#include "DataRows.h"
#include "DockFixtures.h"

#include <QApplication>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

class DragLoopTest : public ::testing::Test {
protected:
    DragLoopTest() { w = f.Add("Bar", QSize(100, 22), f.top); } // (0, 0)-(110, 26) on the top dock

    // Drags by the handle through the points and drops at the last one.
    void DragTo(std::vector<QPoint> points, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                QWidget* from = nullptr, QPoint at = kHandle) {
        PostMoves(&f.form, points, modifiers);
        PostRelease(&f.form, points.back(), modifiers);
        Press(from != nullptr ? from : w, at);
        DropFreedForms();
        f.Settle();
    }
    static void DropFreedForms() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Float(QPoint at) {
        w->SetFloatingPosition(at);
        w->SetFloatingState(true);
        f.Settle();
    }
    // Notes the override cursor's shape in cursors_ while the loop runs,
    // after the moves queued so far.
    void CursorMidway() {
        auto shape = std::make_shared<std::optional<Qt::CursorShape>>();
        PostCall(&f.form, [shape] {
            if (QGuiApplication::overrideCursor() != nullptr) {
                *shape = QGuiApplication::overrideCursor()->shape();
            }
        });
        cursors_.push_back(shape);
    }

    static constexpr QPoint kHandle{3, 10};
    static constexpr QPoint kCaption{20, 8};
    DockForm f;
    TestDockable* w = nullptr;
    std::vector<std::shared_ptr<std::optional<Qt::CursorShape>>> cursors_;
};

TEST_F(DragLoopTest, FromOneDockToAnother) {
    DragTo({{102, 250}});
    // The cursor kept its place in the window: 42 pixels below the window's
    // top, which is 82 pixels down the dock as it stood.
    EXPECT_EQ(Placed(w), "LeftDock 0/82 0,82 26x110");
    EXPECT_EQ(w->LastDock(), f.left);
    EXPECT_FALSE(f.top->HoldsWindow(w));
    EXPECT_EQ(f.top->height(), 0);
    EXPECT_EQ(f.left->width(), 26);
    EXPECT_EQ(f.left->DraggedWindow(), nullptr);
    EXPECT_EQ(f.top->DraggedWindow(), nullptr);
}

TEST_F(DragLoopTest, OffTheDocksItFloatsKeepingItsRowAndDocksWhereItIsDropped) {
    w->SetDockPos(40);
    DragTo({{300, 250}, {400, 300}});
    EXPECT_EQ(Placed(w), "+ 393,272 108x46");
    EXPECT_EQ(w->FloatingPosition(), QPoint(393, 272));
    EXPECT_EQ(w->DockRow(), 0);
    EXPECT_EQ(w->DockPos(), 40);
    EXPECT_EQ(w->LastDock(), f.top);
    EXPECT_EQ(f.top->VisibleWindowCount(), 0);
    // Ctrl keeps it floating over a dock; without Ctrl the dock takes it.
    DragTo({{200, 250}, {101, 250}}, Qt::ControlModifier, w->FloatingParent(), kCaption);
    EXPECT_EQ(Placed(w), "+ 81,242 108x46");
    DragTo({{200, 250}, {101, 250}}, Qt::NoModifier, w->FloatingParent(), kCaption);
    EXPECT_EQ(w->CurrentDock(), f.left);
    EXPECT_TRUE(f.form.findChildren<TDkFloatingWindowParent*>().isEmpty());
}

TEST_F(DragLoopTest, ASmallMoveAlongTheRowLeavesTheWindowInPlace) {
    f.Add("Other", QSize(100, 22), f.top, 0, 300);
    const QPoint start = w->mapToGlobal(kHandle);
    DragTo({start + QPoint(5, 0), start + QPoint(9, 1)});
    EXPECT_EQ(Placed(w), "TopDock 0/0 0,0 110x26");
    DragTo({start + QPoint(30, 0)});
    EXPECT_EQ(Placed(w), "TopDock 0/30 30,0 110x26");
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
        Press(w, kHandle);
        f.client->releaseMouse();
        QCoreApplication::processEvents(); // the release queued after the end
        DropFreedForms();
        EXPECT_EQ(floatingMidway, std::optional<bool>(true)) << escape;
        EXPECT_EQ(Placed(w), "TopDock 0/0 0,0 110x26") << escape;
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
    Press(w, kHandle);
    EXPECT_TRUE(dockedMidway);
    EXPECT_EQ(outline, std::optional<QRect>(QRect(393, 272, 108, 46)));
    EXPECT_EQ(Placed(w), "+ 393,272 108x46");
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
    const QPoint start = second->mapToGlobal(kHandle);
    PostMoves(&f.form, {start - QPoint(20, 0)});
    CursorMidway();
    // Far past the window before it: it keeps its place in the row.
    DragTo({start - QPoint(300, 0)}, Qt::NoModifier, second);
    EXPECT_EQ(*cursors_.back(), std::optional<Qt::CursorShape>(Qt::SizeHorCursor));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Placed(w), "TopDock 0/0 0,0 290x26");
    EXPECT_EQ(Placed(second), "TopDock 0/290 290,0 310x26");
    EXPECT_FALSE(f.top->RowPushMode());
}

TEST_F(DragLoopTest, ARefusingDockIsPassedOverAndAWindowThatCannotFloatStaysWhereItWas) {
    std::vector<QString> asked;
    f.left->OnRequestDock = [&](TDkDock* dock, TDkCustomDockableWindow*, bool& accept) {
        asked.push_back(dock->objectName());
        accept = false;
    };
    DragTo({{102, 250}});
    EXPECT_EQ(asked, std::vector<QString>{QStringLiteral("LeftDock")});
    EXPECT_TRUE(w->Floating());

    w->ToggleDockedFloating();
    w->SetDockMode(dmCannotFloat);
    PostMoves(&f.form, {{400, 300}});
    CursorMidway();
    DragTo({{400, 300}});
    EXPECT_EQ(*cursors_.back(), std::optional<Qt::CursorShape>(Qt::ForbiddenCursor));
    EXPECT_EQ(Placed(w), "TopDock 0/0 0,0 110x26");
}

// --- Sizing a floating window ------------------------------------------------------

TEST_F(DragLoopTest, SizingMovesTheDraggedEdgesWithinTheLimits) {
    w->Content = QSize(100, 50);
    Float({300, 200});
    TDkFloatingWindowParent* form = w->FloatingParent();
    for (const QStringList& row : DataRows("floating-sizing.txt", 6)) {
        SCOPED_ROW(row);
        const QList<int> press = Numbers(row[1]), delta = Numbers(row[2]), least = Numbers(row[3]),
                         largest = Numbers(row[4]), place = Numbers(row[5]);
        const QPoint at(press[0], press[1]);
        const QPoint move(delta[0], delta[1]);
        const QRect expected(place[0], place[1], place[2], place[3]);
        form->setGeometry(300, 200, 108, 74);
        w->MinClient = least[0] == 0 ? QSize() : QSize(least[0], least[1]);
        w->MaxClient = largest[0] == 0 ? QSize() : QSize(largest[0], largest[1]);
        w->Calls.clear();
        const QPoint start = form->mapToGlobal(at);
        PostMoves(&f.form, {start + move / 2, start + move});
        PostRelease(&f.form, start + move);
        Press(form, at);
        EXPECT_EQ(form->geometry(), expected);
        EXPECT_EQ(w->size(), expected.size() - QSize(8, 24));
        // The window hears the new size once, between the begin and the end.
        ASSERT_GE(w->Calls.size(), 3u);
        EXPECT_EQ(w->Calls.front().substr(0, 5), "Begin");
        EXPECT_EQ(std::vector<std::string>(w->Calls.end() - 3, w->Calls.end()),
                  (std::vector<std::string>{
                      "Changing " + TestDockable::Size(w->width(), w->height()), "Apply", "End"}));
    }
}

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
