// The kit's modal mouse loop (what menus, dragging and sizing run in), the
// timers on the monotonic clock, and the menu loop when the program does
// unexpected things while a menu is open: items deleted, handlers throwing,
// the application quitting.

#include "dockkit/common/DkModalLoop.h"
#include "dockkit/common/DkTimers.h"
#include "dockkit/menus/DkMenuLoop.h"

#include "DataRows.h"
#include "MenuFixtures.h"

#include "platform/core/Clock.h"
#include "platform/core/Guarded.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <map>
#include <memory>
#include <stdexcept>

namespace {

using dk::ModalLoopEnd;
using dk::ModalMouseLoop;

class ModalLoop : public ::testing::Test {
protected:
    ModalLoop() {
        capture_->setGeometry(100, 100, 200, 100);
        capture_->show();
    }

    // Runs `step` inside the loop once it runs.
    static void Soon(std::function<void()> step) { QTimer::singleShot(0, std::move(step)); }

    void ExpectReleased() {
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        EXPECT_EQ(ModalMouseLoop::CaptureLevel(), 0);
        EXPECT_EQ(ModalMouseLoop::Current(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }

    QuietPlatform quiet_;
    std::unique_ptr<QWidget> capture_ = std::make_unique<QWidget>();
    std::vector<std::string> errors_;
    bool grabbedAtError_ = false;
    plat::ScopedExceptionHandler handler_{[this](const std::exception& e) {
        errors_.push_back(e.what());
        grabbedAtError_ = QWidget::mouseGrabber() != nullptr;
    }};
};

// A row of modal-loop-ends.txt.
class ModalLoopEnds : public ModalLoop, public ::testing::WithParamInterface<QStringList> {};

TEST_P(ModalLoopEnds, AndLetsGoOfTheMouse) {
    const QString name = GetParam()[0];
    ModalMouseLoop loop(capture_.get(), Qt::SizeAllCursor);
    QWidget other;
    other.setGeometry(600, 600, 50, 50);
    QWidget popup(nullptr, Qt::Popup);
    popup.setGeometry(600, 500, 50, 50);
    std::function<void()> start;
    ModalMouseLoop::Filter filter;
    if (name == "Accept") {
        Soon([&] { loop.Accept(); });
    } else if (name == "Cancel") {
        Soon([&] { loop.Cancel(); });
    } else if (name == "CaptureWidgetHidden") {
        Soon([&] { capture_->hide(); });
    } else if (name == "CaptureWidgetDeleted") {
        Soon([&] { capture_.reset(); });
    } else if (name == "AnotherWidgetGrabsTheMouse") {
        Soon([&] {
            other.show();
            other.grabMouse();
            SendMouse(QEvent::MouseMove, QPoint(620, 620));
        });
    } else if (name == "AnotherPopupShows") {
        Soon([&] { popup.show(); });
    } else if (name == "Deactivation") {
        Soon([] { Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive); });
    } else if (name == "ThrowInGuardedCode") {
        Soon([] { dk::GuardedInLoop([] { throw std::runtime_error("timer"); }); });
    } else if (name == "ThrowInTheFilter") {
        filter = [](QObject*, QEvent* e) {
            if (e->type() == QEvent::KeyPress) {
                throw std::runtime_error("filter");
            }
            return false;
        };
        Soon([this] { SendKey(Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), capture_.get()); });
    } else if (name == "ThrowWhileStarting") {
        start = [] { throw std::runtime_error("start"); };
    }
    const std::map<QString, ModalLoopEnd> ends{{"Accepted", ModalLoopEnd::Accepted},
                                               {"Cancelled", ModalLoopEnd::Cancelled},
                                               {"CaptureLost", ModalLoopEnd::CaptureLost},
                                               {"Deactivated", ModalLoopEnd::Deactivated},
                                               {"Failed", ModalLoopEnd::Failed}};
    EXPECT_EQ(loop.Run(filter, start), ends.at(GetParam()[1]));
    if (QWidget::mouseGrabber() == &other) {
        other.releaseMouse(); // the new owner of the mouse keeps it
    }
    ExpectReleased();
    if (GetParam()[2] != "-") {
        EXPECT_EQ(errors_, std::vector<std::string>{GetParam()[2].toStdString()});
        EXPECT_FALSE(grabbedAtError_);
    } else {
        EXPECT_TRUE(errors_.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ModalLoopEnds,
                         ::testing::ValuesIn(DataRows("modal-loop-ends.txt", 3)),
                         [](const auto& info) { return info.param[0].toStdString(); });

TEST_F(ModalLoop, AnInnerLoopHasTheEventsAndGivesTheMouseBack) {
    QWidget inner;
    inner.setGeometry(400, 100, 50, 50);
    inner.show();
    int outerKeys = 0;
    int innerKeys = 0;
    QWidget* grabberInside = nullptr;
    QWidget* grabberAfter = nullptr;
    int levelInside = 0;
    ModalMouseLoop outer(capture_.get());
    Soon([&] {
        ModalMouseLoop nested(&inner);
        Soon([&] {
            grabberInside = QWidget::mouseGrabber();
            levelInside = ModalMouseLoop::CaptureLevel();
            SendKey(Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), &inner);
            nested.Accept();
        });
        nested.Run([&](QObject*, QEvent* e) {
            innerKeys += e->type() == QEvent::KeyPress ? 1 : 0;
            return false;
        });
        grabberAfter = QWidget::mouseGrabber();
        outer.Cancel();
    });
    EXPECT_EQ(outer.Run([&](QObject*, QEvent* e) {
        outerKeys += e->type() == QEvent::KeyPress ? 1 : 0;
        return false;
    }),
              ModalLoopEnd::Cancelled);
    EXPECT_EQ(grabberInside, &inner);
    EXPECT_EQ(levelInside, 2);
    EXPECT_EQ(innerKeys, 1);
    EXPECT_EQ(outerKeys, 0);
    EXPECT_EQ(grabberAfter, capture_.get());
    ExpectReleased();
}

TEST_F(ModalLoop, AKeptErrorIsTheOwnersToRethrow) {
    ModalMouseLoop loop(capture_.get());
    loop.KeepError(true);
    Soon([] { dk::GuardedInLoop([] { throw std::runtime_error("kept"); }); });
    EXPECT_EQ(loop.Run({}), ModalLoopEnd::Failed);
    EXPECT_TRUE(errors_.empty());
    const std::exception_ptr error = loop.TakeError();
    ASSERT_TRUE(error);
    EXPECT_THROW(std::rethrow_exception(error), std::runtime_error);
}

// --- The tracking loop of dragging, sizing and pressed buttons -----------------------

struct TrackCase {
    const char* name;
    bool cancelOnAnyPress;
    // Input sent inside the loop (the capture widget spans (100, 100)-(300, 200)).
    std::function<void()> input;
    ModalLoopEnd expected;
    const char* tracked; // the owner's calls: "x,y" or "x,y^" with Ctrl
};
void PrintTo(const TrackCase& c, std::ostream* os) {
    *os << c.name;
}

class TrackingLoopEnds : public ModalLoop, public ::testing::WithParamInterface<TrackCase> {};

TEST_P(TrackingLoopEnds, WithTheOwnerToldOfEachNewPointOnly) {
    const TrackCase& c = GetParam();
    QLineEdit typing;
    typing.setGeometry(500, 500, 100, 20);
    typing.show();
    typing.setFocus();
    ModalMouseLoop loop(capture_.get(), std::nullopt);
    loop.KeepError(true);
    ModalMouseLoop::Tracking tracking;
    tracking.CancelOnAnyPress = c.cancelOnAnyPress;
    std::string tracked;
    tracking.OnTrack = [&](QPoint p, bool ctrl) {
        tracked += (tracked.empty() ? "" : " ") + std::to_string(p.x()) + "," +
                   std::to_string(p.y()) + (ctrl ? "^" : "");
        if (p.x() == 666) {
            throw std::runtime_error("track");
        }
    };
    MenuScript script;
    script.Then(c.input).Then([&] {
        // Whatever the input left running ends here, so that the test fails
        // instead of hanging.
        if (loop.Running()) {
            loop.Cancel();
        }
    });
    script.Start();
    EXPECT_EQ(loop.RunTracking(tracking, QPoint(150, 150), false), c.expected);
    script.Finish();
    EXPECT_EQ(tracked, c.tracked);
    EXPECT_TRUE(typing.text().isEmpty()) << "keys are the loop's";
    EXPECT_EQ(loop.TakeError() != nullptr, c.expected == ModalLoopEnd::Failed);
    ExpectReleased();
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrackingLoopEnds,
    ::testing::Values(TrackCase{"ALeftReleaseAcceptsAtItsPoint", false,
                                [] {
                                    MoveMouse(QPoint(150, 150)); // where it started: nothing new
                                    MoveMouse(QPoint(170, 150));
                                    MoveMouse(QPoint(170, 150));
                                    TypeChar(u'a');
                                    SendMouse(QEvent::MouseButtonRelease, QPoint(180, 160));
                                },
                                ModalLoopEnd::Accepted, "170,150 180,160"},
                      TrackCase{"CtrlPressedAndReleasedTracksAgain", false,
                                [] {
                                    SendKey(Qt::Key_Control, Qt::ControlModifier);
                                    SendMouse(QEvent::MouseButtonRelease, QPoint(150, 150));
                                },
                                ModalLoopEnd::Accepted, "150,150^ 150,150"},
                      TrackCase{"EscapeCancels", false, [] { SendKey(Qt::Key_Escape); },
                                ModalLoopEnd::Cancelled, ""},
                      TrackCase{"ALeftPressCancels", false,
                                [] { SendMouse(QEvent::MouseButtonPress, QPoint(160, 150)); },
                                ModalLoopEnd::Cancelled, ""},
                      TrackCase{"OtherButtonsAreSwallowed", false,
                                [] {
                                    ClickMouse(QPoint(150, 150), Qt::RightButton);
                                    SendMouse(QEvent::MouseButtonRelease, QPoint(150, 150));
                                },
                                ModalLoopEnd::Accepted, ""},
                      TrackCase{"AnyPressCancelsAPressedButton", true,
                                [] {
                                    SendMouse(QEvent::MouseButtonPress, QPoint(150, 150),
                                              Qt::RightButton);
                                },
                                ModalLoopEnd::Cancelled, ""},
                      TrackCase{"AThrowingOwnerEndsIt", false, [] { MoveMouse(QPoint(666, 150)); },
                                ModalLoopEnd::Failed, "666,150"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ModalLoop, TheCursorFollowsTheInnermostLoopAndAnOuterChangeWaitsForIt) {
    ModalMouseLoop outer(capture_.get(), std::nullopt);
    QWidget innerCapture;
    innerCapture.setGeometry(400, 100, 50, 50);
    innerCapture.show();
    std::vector<int> shapes; // the override cursor at each step, -1 for none
    const auto record = [&] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        shapes.push_back(cursor != nullptr ? cursor->shape() : -1);
    };
    Soon([&] {
        record();
        outer.SetCursor(Qt::SizeAllCursor);
        record();
        ModalMouseLoop inner(&innerCapture, Qt::ForbiddenCursor);
        Soon([&] {
            record();
            outer.SetCursor(std::nullopt);
            record();
            inner.Accept();
        });
        inner.Run({});
        record();
        outer.Accept();
    });
    outer.Run({});
    EXPECT_EQ(shapes, (std::vector<int>{-1, Qt::SizeAllCursor, Qt::ForbiddenCursor,
                                        Qt::ForbiddenCursor, -1}));
    ExpectReleased();
}

// --- Timers on the monotonic clock ----------------------------------------------------

TEST(KitTimers, FireWhenTheClockSaysAndRepeatUntilStoppedOrDeleted) {
    plat::ManualClock clock(1000);
    int fired = 0;
    dk::KitTimer timer([&] { ++fired; });
    timer.Start(400);
    clock.Advance(399);
    dk::FireDueTimers();
    EXPECT_EQ(fired, 0);
    clock.Advance(1);
    dk::FireDueTimers();
    EXPECT_EQ(fired, 1);
    clock.Advance(400);
    dk::FireDueTimers();
    EXPECT_EQ(fired, 2);
    timer.Stop();
    clock.Advance(4000);
    dk::FireDueTimers();
    EXPECT_EQ(fired, 2);
    EXPECT_FALSE(timer.Active());

    // A timer deleted by another one due at the same time does not fire.
    int second = 0;
    auto victim = std::make_unique<dk::KitTimer>([&] { ++second; });
    dk::KitTimer first([&] { victim.reset(); });
    first.Start(10);
    victim->Start(10);
    clock.Advance(10);
    dk::FireDueTimers();
    EXPECT_EQ(victim, nullptr);
    EXPECT_EQ(second, 0);
}

// --- Menus when the program does unexpected things ---------------------------------------------

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
