// The menu loop when the program does unexpected things while a menu is
// open: items deleted, handlers throwing, the application quitting.

#include "MenuFixtures.h"

#include "dockkit/common/DkModalLoop.h"
#include "dockkit/menus/DkMenuLoop.h"

#include "platform/core/Guarded.h"

#include <QApplication>
#include <QTimer>

#include <stdexcept>

namespace {

class MenuRobust : public MenuTest {
protected:
    MenuRobust() {
        newItem_ = AddItem("&New");
        recent_ = AddItem("&Recent", nullptr, true);
        one_ = AddItem("&One", recent_);
        two_ = AddItem("&Two", recent_);
        close_ = AddItem("&Close");
    }

    TDkCustomItem* newItem_;
    TDkCustomItem* recent_;
    TDkCustomItem* one_;
    TDkCustomItem* two_;
    TDkCustomItem* close_;
    std::vector<std::string> errors_;
    bool grabbedAtError_ = false;
    bool loopAtError_ = false;
    int popupsAtError_ = -1;
    plat::ScopedExceptionHandler handler_{[this](const std::exception& e) {
        errors_.push_back(e.what());
        grabbedAtError_ = QWidget::mouseGrabber() != nullptr;
        popupsAtError_ = OpenPopupCount();
        loopAtError_ = dk::RunningMenuLoopView() != nullptr;
    }};
};

// --- Items deleted while their menu is open --------------------------------------

struct DeleteCase {
    const char* name;
    const char* before; // keys before the deletion, as MenuScript::Keys takes them
    int victim;         // 0 New, 1 Recent (with its submenu), 2 One, 3 Close
    const char* after;  // keys after it
    int popupsAfter;    // open right after the deletion
    const char* clicked;
};
void PrintTo(const DeleteCase& c, std::ostream* os) {
    *os << c.name;
}

class MenuItemDeleted : public MenuRobust, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(MenuItemDeleted, TheMenuGoesOnWithTheItemsLeft) {
    const DeleteCase& c = GetParam();
    TDkCustomItem* victims[] = {newItem_, recent_, one_, close_};
    script_.Keys(c.before)
        .Then([&c, victim = victims[c.victim]] {
            delete victim;
            EXPECT_EQ(OpenPopupCount(), c.popupsAfter);
        })
        .Keys(c.after);
    RunMenu();
    EXPECT_EQ(ClickLog(), c.clicked);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MenuItemDeleted,
    ::testing::Values(DeleteCase{"TheSelectedOne", "v", 0, "vvr", 1, "&Close"},
                      DeleteCase{"TheOneWhoseSubmenuIsOpen", "vvR", 1, "vr", 1, "&New"},
                      DeleteCase{"TheSelectedOneInTheSubmenu", "vvR", 2, "vr", 2, "&Two"},
                      DeleteCase{"AnotherOneBelowTheSelection", "v", 3, "^^r", 1, "&New"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Ended from outside its input (a timer, a queued call) ---------------------

struct OutsideEndCase {
    const char* name;
    const char* keys; // before the end, as MenuScript::Keys takes them
    bool fromSubmenu; // ended through the deepest open view, not the loop's own
    bool withItem;    // ended with a click on Close rather than with nothing
    const char* clicked;
};
void PrintTo(const OutsideEndCase& c, std::ostream* os) {
    *os << c.name;
}

class MenuEndedFromOutside : public MenuRobust,
                             public ::testing::WithParamInterface<OutsideEndCase> {};

// The script's step is a queued call: the loop must end without waiting for
// input (the script cancels a loop still running after its last step).
TEST_P(MenuEndedFromOutside, EndsAtOnce) {
    const OutsideEndCase& c = GetParam();
    script_.Keys(c.keys).Then([&c, this] {
        const std::vector<TDkView*> views = OpenMenuViews();
        ASSERT_FALSE(views.empty());
        TDkView* view = c.fromSubmenu ? views.back() : views.front();
        if (c.withItem) {
            view->EndModalWithItem(close_, false);
        } else {
            view->EndModal();
        }
    });
    RunMenu();
    EXPECT_EQ(ClickLog(), c.clicked);
}

INSTANTIATE_TEST_SUITE_P(Table, MenuEndedFromOutside,
                         ::testing::Values(OutsideEndCase{"WithNothing", "v", false, false, ""},
                                           OutsideEndCase{"WithAClick", "v", false, true, "&Close"},
                                           OutsideEndCase{"ThroughAnOpenSubmenu", "vvR", true,
                                                          false, ""},
                                           OutsideEndCase{"ThroughAnOpenSubmenuWithAClick", "vvR",
                                                          true, true, "&Close"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenuRobust, TheMenuComponentDeletedWhileItsMenuRuns) {
    auto* menu = new TDkPopupMenu(&owner_);
    auto* item = new TDkCustomItem(menu);
    item->SetCaption(QStringLiteral("&Gone"));
    menu->Items()->Add(item);
    script_.Keys("v").Then([menu] { delete menu; }).Keys("r");
    script_.Start();
    menu->Popup(100, 100);
    script_.Finish();
    EXPECT_EQ(dk::RunningMenuLoopView(), nullptr);
    EXPECT_EQ(OpenPopupCount(), 0);
}

// --- Exceptions ---------------------------------------------------------------------

TEST_F(MenuRobust, AnExceptionInAClickReachesTheApplicationHandlerAfterTheMenu) {
    close_->OnClick = [](QObject*) { throw std::runtime_error("click failed"); };
    script_.Keys("^r");
    RunMenu();
    EXPECT_EQ(errors_, std::vector<std::string>{"click failed"});
    EXPECT_FALSE(loopAtError_);
}

TEST_F(MenuRobust, AThrowingHandlerEndsTheMenuAndTheErrorReachesTheHandlerOnceTheMouseIsFree) {
    // The selection handler of New, then the pop-up handler of Recent (run
    // by its timer).
    for (const bool selection : {true, false}) {
        SCOPED_TRACE(selection ? "selection handler" : "pop-up handler");
        errors_.clear();
        if (selection) {
            newItem_->OnSelect = [](TDkCustomItem*, TDkItemViewer*, bool selecting) {
                if (selecting) {
                    throw std::runtime_error("handler failed");
                }
            };
            script_.Keys("v");
        } else {
            newItem_->OnSelect = nullptr;
            recent_->OnPopup = [](TDkCustomItem*, bool) {
                throw std::runtime_error("handler failed");
            };
            script_.Then([this] { MoveMouse(ScreenCenterOf(recent_)); }).Then([this] {
                Advance(400);
            });
        }
        RunMenu();
        EXPECT_EQ(errors_, std::vector<std::string>{"handler failed"});
        EXPECT_FALSE(grabbedAtError_);
        EXPECT_FALSE(loopAtError_);
        EXPECT_EQ(popupsAtError_, 0);
        EXPECT_EQ(ClickLog(), "");
    }
}

TEST_F(MenuRobust, QuittingTheApplicationEndsTheMenu) {
    bool returned = false;
    script_.Keys("v").Then([] { QCoreApplication::quit(); });
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            RunMenu();
            returned = true;
        },
        Qt::QueuedConnection);
    // Should the quit not get through, this ends the wait instead.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(returned);
    EXPECT_EQ(ClickLog(), "");
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

} // namespace
