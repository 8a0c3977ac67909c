// Dockable windows: placement, closing, floating forms and their frames; the
// drag loop (between docks, floating and back) and the sizing loop of
// floating forms, driven by queued mouse input.

#include "dockkit/common/DkHooks.h"
#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"
#include "dockkit/docking/DkFloatingWindowParent.h"

#include "DataRows.h"
#include "DockFixtures.h"
#include "PixelPicture.h"
#include "WaitUntil.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

class DockableTest : public ::testing::Test {
protected:
    // Frees floating forms that were let go.
    static void DropFreedForms() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    DockForm f;
};

TEST_F(DockableTest, FloatsInAToolWindowOfItsFormAndDocksBack) {
    TestDockable* w = f.Add("Bar", QSize(100, 22), f.top);
    std::vector<std::string> events;
    w->OnDockChanging = [&](TDkCustomDockableWindow*, bool floating, TDkDock* dock) {
        events.push_back(std::string("changing ") + (floating ? "floating" : "docked") +
                         (dock != nullptr ? " " + dock->objectName().toStdString() : ""));
    };
    w->OnRecreating = [&](TDkCustomDockableWindow*) { events.emplace_back("recreating"); };
    w->OnDockChangingHidden = [&](TDkCustomDockableWindow* sender, bool, TDkDock*) {
        events.emplace_back(sender->isHidden() ? "hidden" : "still shown");
    };
    w->OnRecreated = [&](TDkCustomDockableWindow*) { events.emplace_back("recreated"); };
    w->OnDockChanged = [&](TDkCustomDockableWindow* sender) {
        events.emplace_back(sender->Floating() ? "floating" : "docked");
    };

    w->SetFloatingPosition(QPoint(300, 200));
    w->SetFloatingState(true);
    TDkFloatingWindowParent* form = w->FloatingParent();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isWindow() && form->isVisible());
    EXPECT_EQ(form->parentWidget(), &f.form);
    // Sizing frame of 4 on every side and a small caption of 16.
    EXPECT_EQ(Placed(w), "+ 300,200 108x46");
    EXPECT_EQ(w->geometry(), QRect(4, 20, 100, 22));
    EXPECT_EQ(w->contentsRect(), QRect(0, 0, 100, 22)) << "no docked frame while floating";
    EXPECT_EQ(f.top->VisibleWindowCount(), 0);
    EXPECT_TRUE(f.top->HoldsWindow(w)) << "the last dock keeps it in its list";
    EXPECT_EQ(w->LastDock(), f.top);

    w->ToggleDockedFloating();
    DropFreedForms();
    EXPECT_EQ(Placed(w), "TopDock 0/0 0,0 110x26");
    EXPECT_EQ(w->FloatingParent(), nullptr);
    EXPECT_TRUE(f.form.findChildren<TDkFloatingWindowParent*>().isEmpty());
    EXPECT_EQ(f.top->VisibleWindowCount(), 1);
    using Events = std::vector<std::string>;
    EXPECT_EQ(events,
              (Events{"changing floating", "recreating", "hidden", "recreated", "floating",
                      "changing docked TopDock", "recreating", "hidden", "recreated", "docked"}));
}

TEST_F(DockableTest, DoubleClickWithoutLastOrDefaultDockStaysFloating) {
    TestDockable* w = f.Add("Bar", QSize(100, 22), f.top);
    TestDockable* other = f.Add("Other", QSize(100, 22), f.top);
    w->SetUseLastDock(false);
    w->SetFloatingState(true);
    ASSERT_EQ(w->LastDock(), nullptr);
    w->ToggleDockedFloating();
    EXPECT_TRUE(w->Floating());
    // The default dock takes it at the very front of the first row.
    w->SetDefaultDock(f.top);
    w->ToggleDockedFloating();
    EXPECT_EQ(Placed(w), "TopDock 0/-8 0,0 110x26");
    EXPECT_EQ(other->x(), w->width());
}

// Close, and a close by the window system or in code (QWidget::close), go one
// way: asked first, then hidden with OnClose.
// Floating, and closed by QWidget::close() rather than Close().
class DockableClose : public DockableTest,
                      public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(DockableClose, AsksFirst) {
    const bool floating = std::get<0>(GetParam());
    const bool byWidget = std::get<1>(GetParam());
    TestDockable* w = f.Add("Bar", QSize(100, 22), f.top);
    if (floating) {
        w->SetFloatingState(true);
    }
    bool allow = false;
    int asked = 0;
    int closed = 0;
    w->OnCloseQuery = [&](TDkCustomDockableWindow*, bool& canClose) {
        ++asked;
        canClose = allow;
    };
    w->OnClose = [&](TDkCustomDockableWindow*) { ++closed; };
    // Hidden and shown again in code: no closing.
    w->setVisible(false);
    w->setVisible(true);
    EXPECT_EQ(asked + closed, 0);
    const auto close = [&] {
        if (byWidget) {
            return w->close();
        }
        w->Close();
        return w->isHidden();
    };
    EXPECT_FALSE(close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(closed, 0);
    allow = true;
    EXPECT_TRUE(close());
    EXPECT_FALSE(w->Visible());
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(f.top->height(), 0);
    if (floating) {
        EXPECT_FALSE(w->FloatingParent()->isVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, DockableClose,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) ? "Floating" : "Docked") +
                                    (std::get<1>(info.param) ? "ByTheWidget" : "");
                         });

TEST_F(DockableTest, FloatingWindowsFollowTheApplicationAndTheirForm) {
    TestDockable* w = f.Add("Bar", QSize(100, 22), f.top);
    w->SetFloatingState(true);
    TDkFloatingWindowParent* form = w->FloatingParent();
    const auto activate = [&](bool active) {
        f.params.Answers.ApplicationActive = active;
        dk::KitHookMessage message{dk::KitHookCode::hcActivateApp};
        message.Active = active;
        dk::DispatchThreadHook(message);
    };
    activate(false);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(w->Visible());
    activate(true);
    EXPECT_TRUE(form->isVisible());
    w->SetHideWhenInactive(false);
    activate(false);
    EXPECT_TRUE(form->isVisible());
    activate(true);
    f.form.hide();
    EXPECT_FALSE(form->isVisible());
    f.form.show();
    EXPECT_TRUE(form->isVisible());
    w->SetFloatingMode(fmOnTopOfAllForms);
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    f.form.hide();
    EXPECT_TRUE(form->isVisible()) << "on top of all forms, it shows without its form";
}

TEST_F(DockableTest, KeepOnScreenMovesTheFloatingFormIntoTheWorkArea) {
    TestDockable* w = f.Add("Bar", QSize(100, 22), f.top);
    for (const QStringList& row : DataRows("keep-on-screen.txt", 3)) {
        SCOPED_ROW(row);
        const QList<int> start = Numbers(row[0]), end = Numbers(row[2]);
        w->SetFloatingPosition({start[0], start[1]});
        w->SetFloatingState(true);
        w->KeepOnScreen(row[1] == "1");
        EXPECT_EQ(w->FloatingParent()->pos(), QPoint(end[0], end[1]));
        EXPECT_EQ(w->FloatingPosition(), QPoint(end[0], end[1]));
        w->SetFloatingState(false);
    }
}

TEST_F(DockableTest, DockedFramesHaveTheirHandleAndCloseButtonAndTheirHitCodes) {
    const struct {
        TDkDragHandleStyle style;
        bool closeButton;
        QMargins margins;
        std::vector<std::pair<QPoint, int>> hits;
    } cases[] = {
        {dhSingle, false, QMargins(8, 2, 2, 2), {{{3, 10}, 2000}, {{8, 2}, 1}, {{109, 25}, 2000}}},
        {dhDouble, false, QMargins(11, 2, 2, 2), {{{10, 10}, 2000}, {{11, 10}, 1}}},
        {dhNone, false, QMargins(2, 2, 2, 2), {{{1, 10}, 2000}, {{2, 10}, 1}}},
        {dhSingle,
         true,
         QMargins(16, 2, 2, 2),
         {{{5, 5}, 2001}, {{5, 20}, 2000}, {{16, 5}, 1}, {{200, 5}, 0}}},
    };
    TestDockable* w = f.Add("Bar", QSize(100, 22), f.top);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.style << " close " << c.closeButton);
        w->SetDragHandleStyle(c.style);
        w->SetCloseButtonWhenDocked(c.closeButton);
        EXPECT_EQ(w->contentsMargins(), c.margins);
        EXPECT_EQ(w->width(), 100 + c.margins.left() + c.margins.right());
        for (const auto& [point, hit] : c.hits) {
            EXPECT_EQ(w->NcHitTest(point), hit) << point.x() << "," << point.y();
        }
    }
}

class FloatingFrame : public DockableTest {
protected:
    // A floating window of 100 x 50 at (300, 200): the form is 108 x 74.
    TDkFloatingWindowParent* Float(bool resizable, bool caption) {
        w = f.Add("Bar", QSize(100, 50), f.top);
        w->SetResizable(resizable);
        w->SetShowCaption(caption);
        w->SetFloatingPosition(QPoint(300, 200));
        w->SetFloatingState(true);
        return w->FloatingParent();
    }
    TestDockable* w = nullptr;
};

TEST_F(FloatingFrame, ResizableWithCaption) {
    TDkFloatingWindowParent* form = Float(true, true);
    ASSERT_EQ(form->size(), QSize(108, 74));
    // The corners reach 16 pixels along each edge.
    const std::vector<std::pair<QPoint, int>> hits{
        {{20, 8}, 2002}, {{95, 10}, 2001}, {{50, 40}, 1},  {{1, 40}, 10},
        {{106, 40}, 11}, {{50, 1}, 12},    {{50, 72}, 15}, {{1, 15}, 13},
        {{106, 1}, 14},  {{1, 60}, 16},    {{90, 72}, 17}};
    for (const auto& [point, hit] : hits) {
        EXPECT_EQ(form->NcHitTest(point), hit) << point.x() << "," << point.y();
    }
    EXPECT_EQ(form->CloseButtonRect(), plat::TRect(89, 6, 102, 17));
}

TEST_F(FloatingFrame, EscapeGivesTheFocusBackToTheForm) {
    auto* mainEdit = new QLineEdit(f.client);
    mainEdit->show();
    mainEdit->setFocus();
    TDkFloatingWindowParent* form = Float(true, true);
    auto* floatingEdit = new QLineEdit(w);
    floatingEdit->show();
    form->activateWindow();
    floatingEdit->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == floatingEdit; }));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(form, &escape);
    EXPECT_TRUE(escape.isAccepted());
    EXPECT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == mainEdit; }));
}

// A floating window keeps the activation when it comes from its form (the
// user moves into it); from any other window, its form takes it.
TEST_F(FloatingFrame, KeepsTheActivationOnlyWhenItComesFromItsForm) {
    TDkFloatingWindowParent* floating = Float(true, true);
    QWidget other;
    other.setGeometry(600, 400, 100, 60);
    other.show();
    const struct {
        const char* from;
        QWidget* before;
        QWidget* active;
    } cases[] = {
        {"its form", &f.form, floating},
        {"another window", &other, &f.form},
        {"the form again", &f.form, floating},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from);
        c.before->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == c.before; }));
        floating->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() != c.before; }));
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::processEvents(); // a hand-over runs its course
        }
        EXPECT_EQ(QApplication::activeWindow(), c.active);
    }
}

TEST_F(FloatingFrame, ClosingTheFloatingFormClosesItsForm) {
    TDkFloatingWindowParent* form = Float(true, true);
    EXPECT_FALSE(form->close());
    EXPECT_FALSE(f.form.isVisible());
}

// Wherever the floating form goes, the window's floating position follows:
// docked and floated again, it comes back there.
TEST_F(FloatingFrame, TheFloatingPositionFollowsTheFormsMoves) {
    const std::vector<std::pair<const char*, std::function<void(QWidget*)>>> moves{
        {"move", [](QWidget* form) { form->move(420, 310); }},
        {"setGeometry",
         [](QWidget* form) { form->setGeometry(QRect(QPoint(420, 310), form->size())); }},
        {"hidden, then shown",
         [this](QWidget* form) {
             w->setVisible(false);
             form->move(420, 310);
             w->setVisible(true);
         }},
    };
    for (const auto& [name, moveForm] : moves) {
        SCOPED_TRACE(name);
        TDkFloatingWindowParent* form = Float(true, true);
        ASSERT_EQ(w->FloatingPosition(), QPoint(300, 200));
        moveForm(form);
        EXPECT_EQ(w->FloatingPosition(), QPoint(420, 310));
        w->ToggleDockedFloating();
        ASSERT_TRUE(w->Docked());
        EXPECT_EQ(w->FloatingPosition(), QPoint(420, 310)) << "docking keeps it";
        w->SetFloatingState(true);
        EXPECT_EQ(Placed(w), "+ 420,310 108x74");
        delete w;
        w = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(FloatingFrame, CloseButtonClosesOnlyWhenReleasedOverIt) {
    TDkFloatingWindowParent* form = Float(true, true);
    int closed = 0;
    w->OnClose = [&](TDkCustomDockableWindow*) { ++closed; };
    const QPoint button(95, 10);
    bool pressedShown = false;
    PostCall(form, [&] { pressedShown = form->CloseButtonPressed(); });
    PostMoves(form, {form->mapToGlobal(QPoint(50, 40))});
    PostRelease(form, form->mapToGlobal(QPoint(50, 40)));
    Press(form, button);
    EXPECT_TRUE(pressedShown);
    EXPECT_FALSE(form->CloseButtonPressed());
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(w->Visible());
    PostRelease(form, form->mapToGlobal(button));
    Press(form, button);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(w->Visible());
    EXPECT_FALSE(form->isVisible());
}

TEST_F(DockableTest, DestroyingADockOrAWindowLeavesNothingDangling) {
    TestDockable* a = f.Add("A", QSize(100, 22), f.top);
    TestDockable* b = f.Add("B", QSize(100, 22), f.left);
    b->SetFloatingState(true); // its last dock is the left dock
    delete f.left;
    f.left = nullptr;
    EXPECT_EQ(b->LastDock(), nullptr);
    b->ToggleDockedFloating(); // nowhere to go
    EXPECT_TRUE(b->Floating());
    delete a;
    EXPECT_EQ(f.top->VisibleWindowCount(), 0);
    EXPECT_EQ(f.top->height(), 0);
    delete b;
    DropFreedForms();
    EXPECT_TRUE(f.form.findChildren<TDkFloatingWindowParent*>().isEmpty());
    EXPECT_TRUE(TDkCustomDockableWindow::FloatingWindows().empty());
}

TEST_F(DockableTest, DockedCloseButtonSinksWhilePressedAndClosesWhenReleasedOverIt) {
    TestDockable* w = f.Add("Bar", QSize(100, 22), f.top);
    w->SetCloseButtonWhenDocked(true);
    const QRect button(2, 2, 12, 12);
    const auto picture = [&] {
        return PixelPicture(w->grab().toImage().convertToFormat(QImage::Format_RGB32),
                            ClassicLegend(), button);
    };
    EXPECT_EQ(picture(),
              (QStringList{"FFFFFFFFFFFF", "FFFFFFFFFFFF", "FFFFFFFFFFFF", "FFKKFFKKFFFF",
                           "FFFKKKKFFFFF", "FFFFKKFFFFFF", "FFFKKKKFFFFF", "FFKKFFKKFFFF",
                           "FFFFFFFFFFFF", "FFFFFFFFFFFF", "FFFFFFFFFFFF", "FFFFFFFFFFFF"}));
    QStringList pressed;
    PostCall(w, [&] { pressed = picture(); });
    PostRelease(&f.form, w->mapToGlobal(QPoint(60, 10)));
    Press(w, QPoint(5, 5));
    EXPECT_TRUE(w->Visible()) << "released away from the button";
    PostRelease(&f.form, w->mapToGlobal(QPoint(6, 6)));
    Press(w, QPoint(5, 5));
    EXPECT_FALSE(w->Visible()) << "released over it";
    EXPECT_EQ(pressed,
              (QStringList{"GGGGGGGGGGGW", "GFFFFFFFFFFW", "GFFFFFFFFFFW", "GFFFFFFFFFFW",
                           "GFFKKFFKKFFW", "GFFFKKKKFFFW", "GFFFFKKFFFFW", "GFFFKKKKFFFW",
                           "GFFKKFFKKFFW", "GFFFFFFFFFFW", "GFFFFFFFFFFW", "WWWWWWWWWWWW"}));
}

// --- The drag loop and the sizing loop ---------------------------------------------------------

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

// Dropped near a corner of the screen or past it, a window floats whole
// within the work area.
TEST_F(DragLoopTest, ADropNearTheScreensEdgeFloatsTheWindowInsideTheWorkArea) {
    const QRect work = plat::CurrentScreens().RectForPoint({0, 0}, true).ToQRect();
    const auto inside = [&] {
        const QRect frame = w->FloatingParent()->geometry();
        return work.contains(frame) ? std::string("inside")
                                    : QStringLiteral("%1,%2 %3x%4")
                                          .arg(frame.x())
                                          .arg(frame.y())
                                          .arg(frame.width())
                                          .arg(frame.height())
                                          .toStdString();
    };
    DragTo({{300, 250}, {work.right() - 5, work.bottom() - 5}});
    ASSERT_TRUE(w->Floating());
    EXPECT_EQ(inside(), "inside") << "bottom right";
    DragTo({{300, 250}, {work.left() - 200, work.top() - 200}}, Qt::NoModifier, w->FloatingParent(),
           kCaption);
    ASSERT_TRUE(w->Floating());
    EXPECT_EQ(inside(), "inside") << "above and left of the screen";
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

// Dropped below its row, the window gets a row of its own; the request for
// it ends with the drop, so later arrangements leave the rows as they are.
TEST_F(DragLoopTest, ADropBelowTheRowMakesARowOfItsOwnOnce) {
    TestDockable* second = f.Add("Second", QSize(100, 22), f.top, 0, 200);
    DragTo({w->mapToGlobal(kHandle) + QPoint(0, 20)});
    EXPECT_EQ(Placed(w), "TopDock 1/0 0,26 110x26");
    EXPECT_FALSE(w->NewRowBefore());
    f.top->ArrangeRows();
    EXPECT_EQ(Placed(second), "TopDock 0/200 200,0 110x26");
    EXPECT_EQ(Placed(w), "TopDock 1/0 0,26 110x26");
    EXPECT_EQ(f.top->height(), 52);
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
