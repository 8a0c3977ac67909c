// The menu loop when the program does unexpected things while a menu is
// open: items deleted, handlers throwing, the application quitting.

#include "DataRows.h"
#include "MenuFixtures.h"

#include "dockkit/common/DkModalLoop.h"
#include "dockkit/menus/DkMenuLoop.h"

#include "platform/core/Guarded.h"

#include <QApplication>
#include <QTimer>

#include <map>
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

// A row of menu-robustness.txt.
class MenuItemDeleted : public MenuRobust, public ::testing::WithParamInterface<QStringList> {};

TEST_P(MenuItemDeleted, TheMenuGoesOnWithTheItemsLeft) {
    const QStringList& row = GetParam();
    const std::map<QString, TDkCustomItem*> victims{
        {"&New", newItem_}, {"&Recent", recent_}, {"&One", one_}, {"&Close", close_}};
    script_.Keys(row[1].toUtf8().constData())
        .Then([&, victim = victims.at(row[2])] {
            delete victim;
            EXPECT_EQ(OpenPopupCount(), row[4].toInt());
        })
        .Keys(row[3].toUtf8().constData());
    RunMenu();
    EXPECT_EQ(ClickLog(), row[5].toStdString());
}

INSTANTIATE_TEST_SUITE_P(Rows, MenuItemDeleted,
                         ::testing::ValuesIn(DataRows("menu-robustness.txt", 6)),
                         [](const auto& info) { return info.param[0].toStdString(); });

// --- Ended from outside its input (a timer, a queued call) ---------------------

// A row of menu-ended-outside.txt.
class MenuEndedFromOutside : public MenuRobust,
                             public ::testing::WithParamInterface<QStringList> {};

// The script's step is a queued call: the loop must end without waiting for
// input (the script cancels a loop still running after its last step).
TEST_P(MenuEndedFromOutside, EndsAtOnce) {
    const QStringList& row = GetParam();
    script_.Keys(row[1].toUtf8().constData()).Then([&, this] {
        const std::vector<TDkView*> views = OpenMenuViews();
        ASSERT_FALSE(views.empty());
        TDkView* view = row[2] == "submenu" ? views.back() : views.front();
        if (row[3] == "click") {
            view->EndModalWithItem(close_, false);
        } else {
            view->EndModal();
        }
    });
    RunMenu();
    EXPECT_EQ(ClickLog(), row[4].toStdString());
}

INSTANTIATE_TEST_SUITE_P(Rows, MenuEndedFromOutside,
                         ::testing::ValuesIn(DataRows("menu-ended-outside.txt", 5)),
                         [](const auto& info) { return info.param[0].toStdString(); });

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
