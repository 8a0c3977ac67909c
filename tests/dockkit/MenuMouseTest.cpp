// The menu loop driven by the pointer: hovering, clicking, presses and
// releases outside the menus, submenus opening and closing after the menu
// show delay; driven by the keyboard; and a tool bar's own menu loop.

#include "DataRows.h"
#include "MenuFixtures.h"
#include "ToolTips.h"
#include "ViewFixtures.h"

#include "dockkit/menus/DkMenuLoop.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <string>
#include <vector>

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

// A submenu that opens under its item's hint takes the hint away, and the
// item shows none while its submenu is open: neither when the pointer comes
// back onto it nor when it rests there. (Each look is taken at once: the
// offscreen platform hides a tip as the next events pass.)
TEST_F(MenuMouse, ASubmenuOpeningUnderItsItemsHintTakesTheHintAway) {
    recent_->SetHint(QStringLiteral("Files opened lately"));
    recent_->SetOptions(recent_->Options() | dkoShowHint);
    std::vector<std::string> seen;
    const auto note = [&seen](const QString& tip) { seen.push_back(tip.toStdString()); };
    const auto restOn = [](const TDkCustomItem* item) {
        QWidget* window = ViewShowing(item)->Window();
        return ToolTipAt(window, window->mapFromGlobal(ScreenCenterOf(item)));
    };
    script_.Then(MoveOnto(recent_))
        .Then([&] {
            note(restOn(recent_));
            Advance(400);
            note(ShownToolTip());
        })
        .Then(Expect(2, "after the delay"))
        .Then([&] {
            MoveMouse(ScreenCenterOf(recent_) + QPoint(1, 0));
            note(ShownToolTip());
            note(restOn(recent_));
        })
        .Keys("ee");
    RunMenu();
    EXPECT_EQ(seen, (std::vector<std::string>{"Files opened lately", "", "", ""}));
}

// Where the desktop keeps no delay of its own, the one stored under "Control
// Panel\Desktop" is the delay the submenu waits (letters give 0, no value
// 400).
TEST_F(MenuMouse, ASubmenuWaitsTheDelayStoredOnTheDesktop) {
    const struct {
        const char* stored; // nothing: no value
        int delay;
    } rows[] = {{"250", 250}, {"abc", 0}, {nullptr, 400}};
    params_.Answers.MenuShowDelay = std::nullopt;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored != nullptr ? row.stored : "no value");
        FakeDesktopStore desktop;
        if (row.stored != nullptr) {
            desktop.Write(QStringLiteral("Control Panel\\Desktop"), QStringLiteral("MenuShowDelay"),
                          QString::fromLatin1(row.stored));
        }
        MenuScript script;
        script.Then(MoveOnto(recent_))
            .Then([this, &row] {
                if (row.delay > 0) {
                    Advance(row.delay - 1);
                    EXPECT_EQ(OpenPopupCount(), 1) << "before the delay";
                }
                Advance(1);
            })
            .Then(Expect(2, "after the delay"))
            .Keys("e")
            .Keys("e");
        std::swap(script_, script);
        RunMenu();
        std::swap(script_, script);
    }
}

// The sounds of the desktop's scheme: "MenuPopup" as the menu shows, and
// "MenuCommand" for the command chosen in it (not stopping a sound that plays).
TEST_F(MenuMouse, TheSchemesEntriesPlayThroughTheSoundService) {
    FakeDesktopStore desktop;
    const QString scheme = QStringLiteral("AppEvents\\Schemes\\Apps\\.Default\\");
    desktop.Write(scheme + QStringLiteral("MenuPopup\\.Current"), QString(),
                  QStringLiteral("/sounds/popup.wav"));
    desktop.Write(scheme + QStringLiteral("MenuCommand\\.Current"), QString(),
                  QStringLiteral("/sounds/command.wav"));
    FakeSoundService sounds;
    script_.Then([&sounds] {
        EXPECT_EQ(sounds.Log, QStringList{QStringLiteral("play-unless-playing /sounds/popup.wav")});
        sounds.Stop(); // the pop-up sound has ended
        sounds.Log.clear();
    });
    script_.Then(MoveOnto(close_)).Then([this] { ClickMouse(ScreenCenterOf(close_)); });
    RunMenu();
    EXPECT_EQ(ClickLog(), "&Close");
    EXPECT_EQ(sounds.Log, QStringList{QStringLiteral("play-unless-playing /sounds/command.wav")});
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

// --- The keyboard -------------------------------------------------------------------

// Arrows, Home, End, Tab, Enter, Escape, Alt, F10 and accelerators.
// A row of menu-keys.txt.
class MenuKeys : public MenuTest, public ::testing::WithParamInterface<QStringList> {
protected:
    MenuKeys() {
        for (const char* caption :
             {"&Open", "&Options", "E&xit", "&Delete", "Fish && &Chips", "&a&b", "Zebra"}) {
            AddItem(caption);
        }
        menu_.Items()->Items(3)->SetEnabled(false);
    }
};

TEST_P(MenuKeys, ChooseWhatTheKeysSelect) {
    const QStringList& row = GetParam();
    script_.Keys(row[1].toUtf8().constData());
    RunMenu();
    EXPECT_EQ(ClickLog(), row[2].toStdString());
    EXPECT_EQ(beeps_, row[3].toInt());
}

INSTANTIATE_TEST_SUITE_P(Rows, MenuKeys, ::testing::ValuesIn(DataRows("menu-keys.txt", 4)),
                         [](const auto& info) { return info.param[0].toStdString(); });

// --- A tool bar's own menu loop --------------------------------------------------------

// As a menu bar runs it in drop-down mode: the pointer on the next header
// opens its menu.
class ToolbarLoop : public MenuTest {
protected:
    ToolbarLoop() {
        file_ = Header("File", {"&Open", "&Save"});
        edit_ = Header("Edit", {"Cu&t", "&Copy"});
        bar_.window.setGeometry(100, 50, 200, 20);
        bar_.window.show();
        bar_.view->ValidatePositions();
    }
    FixedItem* Header(const char* name, std::initializer_list<const char*> captions) {
        FixedItem* header = bar_.Add(name, 40, 20);
        header->SetCaption(QString::fromLatin1(name));
        header->SetItemStyle(header->ItemStyle() | dk::StyleSubmenu);
        for (const char* caption : captions) {
            AddItem(caption, header);
        }
        return header;
    }
    // Runs the bar's loop with the header selected and its menu open.
    void RunBar(FixedItem* header) {
        script_.Start();
        bar_.view->Select(bar_.view->Find(header));
        bar_.view->EnterToolbarLoop(tloDropDown | tloSelectFirst);
        EXPECT_TRUE(script_.AllRun());
        script_.Finish();
        EXPECT_EQ(OpenPopupCount(), 0);
        QCoreApplication::sendPostedEvents();
    }

    ViewSetup bar_{true};
    FixedItem* file_;
    FixedItem* edit_;
};

TEST_F(ToolbarLoop, ThePointerOnTheNextHeaderOpensItsMenuAtOnce) {
    TDkCustomItem* copy = edit_->Items(1);
    script_.Then([this] { MoveMouse(ScreenCenterOf(edit_)); })
        .Then([copy] {
            EXPECT_EQ(OpenPopupCount(), 1);
            EXPECT_NE(ViewShowing(copy), nullptr);
        })
        .Then([copy] { MoveMouse(ScreenCenterOf(copy)); })
        .Then([copy] { ClickMouse(ScreenCenterOf(copy)); });
    RunBar(file_);
    EXPECT_EQ(ClickLog(), "&Copy");
}

} // namespace
