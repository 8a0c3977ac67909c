// The menu loop driven by the pointer: hovering, clicking, presses and
// releases outside the menus, submenus opening and closing after the menu
// show delay, and submenus with the keyboard.

#include "DataRows.h"
#include "MenuFixtures.h"

#include "dockkit/menus/DkMenuLoop.h"

#include <QMouseEvent>

namespace {

class MenuMouse : public MenuTest {
protected:
    MenuMouse() {
        newItem_ = AddItem("&New");
        recent_ = AddItem("&Recent", nullptr, true);
        one_ = AddItem("&One", recent_);
        two_ = AddItem("&Two", recent_);
        more_ = AddItem("&More", recent_, true);
        deep_ = AddItem("&Deep", more_);
        close_ = AddItem("&Close");
    }
    // Steps that move the pointer onto an item.
    static std::function<void()> MoveOnto(TDkCustomItem* item) {
        return [item] { MoveMouse(ScreenCenterOf(item)); };
    }
    std::function<void()> Expect(int popups, const char* where) {
        return [popups, where] { EXPECT_EQ(OpenPopupCount(), popups) << where; };
    }

    TDkCustomItem* newItem_;
    TDkCustomItem* recent_;
    TDkCustomItem* one_;
    TDkCustomItem* two_;
    TDkCustomItem* more_;
    TDkCustomItem* deep_;
    TDkCustomItem* close_;
};

TEST_F(MenuMouse, AClickRunsTheItemOnceTheMenuHasClosed) {
    script_.Then(MoveOnto(close_)).Then([this] {
        EXPECT_EQ(SelectedItem(), close_);
        ClickMouse(ScreenCenterOf(close_));
    });
    RunMenu();
    EXPECT_EQ(ClickLog(), "&Close");
}

TEST_F(MenuMouse, TheReleaseOfTheOpeningClickDoesNotCloseTheMenu) {
    script_.Then([] { SendMouse(QEvent::MouseButtonRelease, QPoint(700, 600)); })
        .Then([] { EXPECT_NE(dk::RunningMenuLoopView(), nullptr); })
        .Then([] { SendMouse(QEvent::MouseButtonRelease, QPoint(700, 600)); });
    RunMenu();
    EXPECT_EQ(ClickLog(), "");
}

TEST_F(MenuMouse, APressOutsideEndsTheMenuAndReachesWhatLiesUnderIt) {
    struct PressCounter : QObject {
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::MouseButtonPress) {
                At.push_back(static_cast<QMouseEvent*>(e)->globalPosition().toPoint());
            }
            return false;
        }
        std::vector<QPoint> At;
    } desk;
    desk_.installEventFilter(&desk);
    script_.Then(MoveOnto(newItem_)).Then([] {
        SendMouse(QEvent::MouseButtonPress, QPoint(700, 600));
    });
    RunMenu();
    EXPECT_EQ(ClickLog(), "");
    EXPECT_EQ(desk.At, std::vector<QPoint>{QPoint(700, 600)});
}

TEST_F(MenuMouse, ASubmenuOpensAfterTheShowDelay) {
    script_.Then(MoveOnto(recent_))
        .Then([this] { Advance(399); })
        .Then(Expect(1, "before the delay"))
        .Then([this] { Advance(1); })
        .Then(Expect(2, "after the delay"))
        .Then(MoveOnto(two_))
        .Then([this] { ClickMouse(ScreenCenterOf(two_)); });
    RunMenu();
    EXPECT_EQ(ClickLog(), "&Two");
}

TEST_F(MenuMouse, MovingAwayClosesTheSubmenuOnlyWhenTheCloseTimerFires) {
    script_.Then(MoveOnto(recent_))
        .Then([this] { Advance(400); })
        .Then(Expect(2, "open"))
        .Then(MoveOnto(close_))
        .Then([this] { Advance(399); })
        .Then(Expect(2, "before the close timer"))
        .Then([this] { Advance(1); })
        .Then(Expect(1, "after it"))
        .Keys("e");
    RunMenu();
    EXPECT_EQ(ClickLog(), "");
}

TEST_F(MenuMouse, ReachingIntoTheSubmenuKeepsItOpen) {
    script_.Then(MoveOnto(recent_))
        .Then([this] { Advance(400); })
        .Then(MoveOnto(close_)) // on the way, across another item
        .Then(MoveOnto(one_))
        .Then([this] {
            EXPECT_EQ(ViewShowing(recent_)->Selected()->Item(), recent_);
            Advance(1000);
        })
        .Then(Expect(2, "after the timers would have fired"))
        .Then([this] { ClickMouse(ScreenCenterOf(one_)); });
    RunMenu();
    EXPECT_EQ(ClickLog(), "&One");
}

TEST_F(MenuMouse, TheRightButtonChoosesOnlyWhenTheMenuTracksIt) {
    script_.Then(MoveOnto(newItem_)).Then([this] {
        ClickMouse(ScreenCenterOf(newItem_), Qt::RightButton);
    });
    RunMenu();
    EXPECT_EQ(ClickLog(), "&New");

    menu_.SetTrackButton(dkLeftButton);
    script_.Then(MoveOnto(newItem_))
        .Then([this] { ClickMouse(ScreenCenterOf(newItem_), Qt::RightButton); })
        .Keys("e");
    RunMenu();
    EXPECT_EQ(ClickLog(), "&New");
}

// A row of menu-levels.txt.
class MenuLevels : public MenuMouse, public ::testing::WithParamInterface<QStringList> {};

TEST_P(MenuLevels, KeysOpenAndCloseOneLevelAtATime) {
    const QStringList& row = GetParam();
    const int popups = row[2].toInt();
    script_.Keys(row[1].toUtf8().constData()).Then([&] {
        EXPECT_EQ(OpenPopupCount(), popups);
        ASSERT_NE(SelectedItem(), nullptr);
        EXPECT_EQ(SelectedItem()->Caption(), row[3]);
    });
    for (int i = 0; i < popups; ++i) {
        script_.Keys("e");
    }
    RunMenu();
    EXPECT_EQ(ClickLog(), "");
}

INSTANTIATE_TEST_SUITE_P(Rows, MenuLevels, ::testing::ValuesIn(DataRows("menu-levels.txt", 4)),
                         [](const auto& info) { return info.param[0].toStdString(); });

} // namespace
