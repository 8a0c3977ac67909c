#include "dockkit/common/DkHooks.h"
#include "dockkit/docking/DkDockableWindow.h"
#include "dockkit/docking/DkFloatingWindowParent.h"

#include "DockFixtures.h"
#include "PixelPicture.h"
#include "WaitUntil.h"

#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

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
    const auto [floating, byWidget] = GetParam();
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
    const struct {
        QPoint start;
        bool onlyIfFullyOff;
        QPoint expected; // of the 108 x 46 form
    } cases[] = {
        {QPoint(5000, 5000), true, QPoint(916, 722)},
        {QPoint(1000, 700), true, QPoint(1000, 700)},
        {QPoint(1000, 700), false, QPoint(916, 700)},
        {QPoint(-500, -20), false, QPoint(0, 0)},
    };
    for (const auto& c : cases) {
        w->SetFloatingPosition(c.start);
        w->SetFloatingState(true);
        w->KeepOnScreen(c.onlyIfFullyOff);
        EXPECT_EQ(w->FloatingParent()->pos(), c.expected) << c.start.x() << "," << c.start.y();
        EXPECT_EQ(w->FloatingPosition(), c.expected);
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

} // namespace
