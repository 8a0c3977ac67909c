// Pop-up menus. Where they open: kept on the monitor they belong to, submenus
// flipping to the other side at the screen edge, drop-downs moving above or
// beside their button, and menus taller than the screen scrolling. The pop-up
// menu component: OnPopup as the menu opens, context-menu requests of the
// widgets it is attached to, linked subitems, and the status hint while the
// menu is open. Pop-up windows fading or sliding in: the step pacing, the
// worker that drives it, which steps count, and how a pop-up window decides
// to animate or show at once.

#include "dockkit/common/DkMessages.h"
#include "dockkit/common/DkPopupAnimation.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/menus/DkPopupWindow.h"

#include "DataRows.h"
#include "MenuFixtures.h"
#include "ViewFixtures.h"
#include "WaitUntil.h"

#include "platform/gui/KitMessage.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace {

using plat::TRect;

const TRect kScreen(0, 0, 1024, 768);

// --- The placement rule alone -----------------------------------------------------

constexpr unsigned R2L = dk::adRightToLeft;
constexpr unsigned L2R = dk::adLeftToRight;
constexpr unsigned B2T = dk::adBottomToTop;

TEST(PlacePopup, KeepsTheMenuOnTheScreen) {
    for (const QStringList& row : DataRows("popup-placement.txt", 6)) {
        SCOPED_ROW(row);
        QObject owner;
        TDkView view(&owner, nullptr, nullptr, nullptr, false, false, false);
        // Submenus have the menu they open from; its viewers do not matter here.
        TDkView parent(&owner, nullptr, nullptr, nullptr, false, false, false);
        const bool submenu = row[1].startsWith(u"submenu");
        const QList<int> item = Numbers(row[3]);
        const QList<int> start = Numbers(row[4]);
        TDkPopupPositionRec rec;
        rec.PositionAsSubmenu = submenu;
        rec.Alignment = row[2] == "left" ? dkpaLeft : row[2] == "right" ? dkpaRight : dkpaCenter;
        rec.Opposite = row[1] == "submenu left";
        rec.MonitorRect = kScreen;
        rec.ParentItemRect = TRect(item[0], item[1], item[2], item[3]);
        rec.NCSize = QPoint(3, 3);
        rec.X = start[0];
        rec.Y = start[1];
        rec.W = start[2];
        rec.H = start[3];
        dk::PlacePopup(submenu ? &parent : nullptr, &view, rec);
        QStringList directions;
        for (const auto& [bit, name] :
             {std::pair{R2L, "R2L"}, std::pair{L2R, "L2R"}, std::pair{dk::adTopToBottom, "T2B"},
              std::pair{B2T, "B2T"}}) {
            if ((rec.AnimDir & bit) != 0) {
                directions << name;
            }
        }
        EXPECT_EQ(QStringLiteral("%1,%2 ").arg(rec.X).arg(rec.Y) + directions.join(u'|') +
                      (view.HasState(vsOppositeSide) ? " left" : ""),
                  row[5]);
    }
}

// Drop-downs from tool bars: the tool bar's viewers count.
class DropDownPlacement : public ::testing::Test {
protected:
    // A tool bar of `count` 30 x 30 buttons at `at` on the screen, wrapping
    // after `perRow` of them; vertical ones stack in one column.
    void MakeToolbar(QPoint at, int count, int perRow, bool vertical) {
        if (vertical) {
            setup_.view->SetOrientation(dkvoVertical);
        } else {
            setup_.view->SetWrapOffset(perRow * 30);
        }
        for (int i = 0; i < count; ++i) {
            buttons_.push_back(setup_.Add("B", 30, 30));
        }
        setup_.window.move(at);
        setup_.view->ValidatePositions();
    }
    TDkPopupPositionRec Place(const TDkCustomItem* button, int w, int h, int x, int y) {
        TDkPopupPositionRec rec;
        rec.MonitorRect = kScreen;
        TRect item = setup_.Bounds(button);
        const QPoint origin = setup_.window.mapToGlobal(QPoint());
        item.Offset(origin.x(), origin.y());
        rec.ParentItemRect = item;
        rec.X = x;
        rec.Y = y;
        rec.W = w;
        rec.H = h;
        dk::PlacePopup(setup_.view, nullptr, rec);
        return rec;
    }

    ViewSetup setup_{true};
    std::vector<FixedItem*> buttons_;
};

TEST_F(DropDownPlacement, FromAToolbarAtTheBottomOpensAbove) {
    MakeToolbar(QPoint(100, 738), 3, 3, false);
    const TDkPopupPositionRec rec = Place(buttons_[0], 150, 200, 100, 768);
    EXPECT_EQ(QPoint(rec.X, rec.Y), QPoint(100, 538));
    EXPECT_EQ(rec.AnimDir, B2T);
}

TEST_F(DropDownPlacement, GoesAboveWhenBelowWouldHideTheToolbarsSecondRow) {
    MakeToolbar(QPoint(0, 400), 10, 5, false);
    // Below the first button would cover the five buttons of the second row.
    const TDkPopupPositionRec rec = Place(buttons_[0], 150, 200, 0, 430);
    EXPECT_EQ(QPoint(rec.X, rec.Y), QPoint(0, 200));
    EXPECT_EQ(rec.AnimDir, B2T);
}

TEST_F(DropDownPlacement, FromAVerticalToolbarOpensBesideIt) {
    MakeToolbar(QPoint(0, 100), 5, 1, true);
    // It starts left of the button (off the screen, so at its edge), over the
    // tool bar; right of the button it hides nothing.
    const TDkPopupPositionRec rec = Place(buttons_[0], 150, 200, -150, 100);
    EXPECT_EQ(QPoint(rec.X, rec.Y), QPoint(30, 100));
    EXPECT_EQ(rec.AnimDir, L2R);
}

// --- Menus shown on the screens ---------------------------------------------------------

class MenuOnScreen : public MenuTest {
protected:
    MenuOnScreen() {
        AddItem("&First");
        sub_ = AddItem("&Sub", nullptr, true);
        AddItem("&Inner", sub_);
        subSub_ = AddItem("S&ub sub", sub_, true);
        AddItem("&Deepest", subSub_);
    }
    static QRect Geometry(int level) {
        const std::vector<TDkView*> views = OpenMenuViews();
        return static_cast<int>(views.size()) > level ? views[level]->Window()->geometry()
                                                      : QRect();
    }
    TDkCustomItem* sub_;
    TDkCustomItem* subSub_;
};

TEST_F(MenuOnScreen, AMenuAtTheRightEdgeOpensLeftOfThePoint) {
    // The placement rule itself is tested above; here a real menu follows it.
    QRect shown;
    script_.Then([&] { shown = Geometry(0); }).Keys("e");
    RunMenu(QPoint(1020, 300));
    EXPECT_EQ(shown.x() + shown.width(), 1020);
    EXPECT_EQ(shown.y(), 300);
}

TEST_F(MenuOnScreen, SubmenusKeepOpeningLeftOnceOneHadTo) {
    QRect top;
    QRect sub;
    QRect subSub;
    script_.Keys("vvRvR").Then([&] {
        top = Geometry(0);
        sub = Geometry(1);
        subSub = Geometry(2);
    });
    script_.Keys("eee");
    RunMenu(QPoint(1024 - 150, 100));
    ASSERT_FALSE(subSub.isEmpty());
    // Its client area ends where its menu's begins (the frames overlap).
    const int frames = 2 * TDkPopupWindow::kFrameSize;
    EXPECT_EQ(sub.x() + sub.width(), top.x() + frames) << "the submenu opens left of its menu";
    EXPECT_EQ(subSub.x() + subSub.width(), sub.x() + frames) << "and its own submenu follows";
    EXPECT_GE(subSub.left(), 0);
}

TEST_F(MenuOnScreen, OpensOnTheMonitorOfThePoint) {
    screens_.SetAreas({{TRect(0, 0, 1024, 768), TRect(0, 0, 1024, 740)},
                       {TRect(1024, 0, 2048, 768), TRect(1024, 0, 2048, 768)}});
    QRect shown;
    script_.Then([&] { shown = Geometry(0); }).Keys("e");
    RunMenu(QPoint(2040, 100));
    EXPECT_EQ(shown.x() + shown.width(), 2040);
    EXPECT_GE(shown.x(), 1024);

    // On the primary monitor the task bar's rows are out of bounds.
    script_.Then([&] { shown = Geometry(0); }).Keys("e");
    RunMenu(QPoint(100, 735));
    EXPECT_EQ(shown.y() + shown.height(), 735);
}

// --- Menus taller than the screen ---------------------------------------------------------

class TallMenu : public MenuTest {
protected:
    TallMenu() {
        screens_.SetAreas({{TRect(0, 0, 1024, 300), TRect(0, 0, 1024, 300)}});
        for (int i = 0; i < 40; ++i) {
            items_.push_back(AddItem(QStringLiteral("Item %1").arg(i).toUtf8().constData()));
        }
    }
    static TDkView* Menu() { return OpenMenuViews().front(); }
    std::vector<TDkCustomItem*> items_;
};

TEST_F(TallMenu, IsAsTallAsTheWorkAreaAndScrollsWhileThePointerRestsOnAnArrow) {
    std::vector<int> offsets;
    bool lastShown = false;
    int heightShown = 0;
    script_.Then([&] {
        TDkView* menu = Menu();
        heightShown = menu->Window()->height();
        EXPECT_TRUE(menu->ShowDownArrow());
        EXPECT_FALSE(menu->ShowUpArrow());
        const QRect window = menu->Window()->geometry();
        MoveMouse(QPoint(window.center().x(), window.bottom() - 5));
        for (int i = 0; i < 100 && menu->ShowDownArrow(); ++i) {
            Advance(100);
            offsets.push_back(menu->ScrollOffset());
        }
        lastShown = menu->Find(items_.back())->Show;
    });
    script_.Keys("e");
    RunMenu(QPoint(100, 0));
    EXPECT_EQ(heightShown, 300);
    ASSERT_GE(offsets.size(), 2u);
    for (size_t i = 1; i < offsets.size(); ++i) {
        EXPECT_GT(offsets[i], offsets[i - 1]) << "one item further every 100 ms";
    }
    EXPECT_TRUE(lastShown);
}

TEST_F(TallMenu, KeysScrollTheSelectionIntoView) {
    bool endShown = false;
    bool homeShown = false;
    int offsetAtHome = -1;
    script_.Keys(">")
        .Then([&] { endShown = Menu()->Find(items_.back())->Show; })
        .Keys("<")
        .Then([&] {
            homeShown = Menu()->Find(items_.front())->Show;
            offsetAtHome = Menu()->ScrollOffset();
        })
        .Keys("^")
        .Then([&] { EXPECT_EQ(SelectedItem(), items_.back()); })
        .Keys("r");
    RunMenu(QPoint(100, 0));
    EXPECT_TRUE(endShown);
    EXPECT_TRUE(homeShown);
    EXPECT_EQ(offsetAtHome, 0);
    EXPECT_EQ(ClickLog(), "Item 39");
}

// --- The pop-up menu component -------------------------------------------------------

class PopupMenu : public MenuTest {
protected:
    PopupMenu() { open_ = AddItem("&Open"); }
    static QRect MenuGeometry() {
        const std::vector<TDkView*> views = OpenMenuViews();
        return views.empty() ? QRect() : views.front()->Window()->geometry();
    }
    TDkCustomItem* open_;
};

TEST_F(PopupMenu, OnPopupRunsOnceAsTheMenuOpensAndMayFillIt) {
    int calls = 0;
    QObject* sender = nullptr;
    int windowsAtCall = -1;
    menu_.OnPopup = [&](QObject* s) {
        ++calls;
        sender = s;
        windowsAtCall = OpenPopupCount();
        if (calls == 1) {
            AddItem("&Added");
        }
    };
    script_.Then([] { TypeChar(u'a'); });
    RunMenu();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sender, &menu_);
    EXPECT_EQ(windowsAtCall, 0) << "before the window shows";
    EXPECT_EQ(ClickLog(), "&Added");
}

// A menu opened again and again reuses its kept window, which opens as a
// new one would: at the new point, laid out for the items as they are now,
// nothing selected, no keyboard cues left over; it goes with its item.
TEST_F(PopupMenu, AKeptWindowOpensAgainAsANewOneWouldAndGoesWithItsItem) {
    TDkRootItem* root = menu_.Items();
    AddItem("&Save");
    const auto open = [&](QPoint at) {
        return QPointer<TDkPopupWindow>(
            root->CreatePopup(nullptr, nullptr, false, false, false, at, dkpaLeft));
    };
    const QPointer<TDkPopupWindow> first = open(QPoint(100, 100));
    ASSERT_NE(first, nullptr);
    const int width = first->width();
    first->View()->Select(first->View()->Viewers(1));
    first->View()->SetState(vsAccelsVisible, true);
    root->KeepPopupWindow(first);
    EXPECT_FALSE(first->isVisible());
    open_->SetCaption(QStringLiteral("&Open a file with a much longer caption"));
    const QPointer<TDkPopupWindow> again = open(QPoint(150, 120));
    EXPECT_EQ(again, first);
    EXPECT_TRUE(again->isVisible());
    EXPECT_EQ(again->pos(), QPoint(150, 120));
    EXPECT_GT(again->width(), width);
    EXPECT_EQ(again->View()->Selected(), nullptr);
    EXPECT_FALSE(again->View()->HasState(vsAccelsVisible));
    // Kept once more, then the item goes: so does the window.
    root->KeepPopupWindow(again);
    auto* source = new TDkRootItem(&owner_);
    source->Add(new TDkCustomItem(source));
    const QPointer<TDkPopupWindow> other(
        source->CreatePopup(nullptr, nullptr, false, false, false, QPoint(10, 10), dkpaLeft));
    source->KeepPopupWindow(other);
    delete source;
    EXPECT_EQ(other, nullptr);
    EXPECT_NE(again, nullptr);
}

// The desktop's menu font changes between two openings: the kept window
// opens in the new font, measured anew, as a window made now does.
TEST_F(PopupMenu, AKeptWindowTakesAMenuFontChangedMeanwhile) {
    const QFont before = QApplication::font("QMenu");
    struct Restore {
        QFont font;
        ~Restore() { QApplication::setFont(font, "QMenu"); }
    } restore{before};
    const auto menuFont = [](int pixels) {
        QFont font = QApplication::font("QMenu");
        font.setPixelSize(pixels);
        QApplication::setFont(font, "QMenu");
    };
    TDkRootItem* root = menu_.Items();
    const auto open = [&] {
        return QPointer<TDkPopupWindow>(
            root->CreatePopup(nullptr, nullptr, false, false, false, QPoint(100, 100), dkpaLeft));
    };
    menuFont(12);
    const QPointer<TDkPopupWindow> first = open();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->font().pixelSize(), 12);
    const QSize small = first->size();
    root->KeepPopupWindow(first);

    menuFont(22);
    const QPointer<TDkPopupWindow> again = open();
    ASSERT_EQ(again, first);
    EXPECT_EQ(again->font().pixelSize(), 22);
    EXPECT_EQ(again->View()->GetFont().pixelSize(), 22);
    EXPECT_GT(again->height(), small.height());
    root->KeepPopupWindow(again);

    // A window made now, for comparison, has the same size.
    auto* other = new TDkRootItem(&owner_);
    auto* item = new TDkCustomItem(other);
    item->SetCaption(open_->Caption());
    other->Add(item);
    const std::unique_ptr<TDkPopupWindow> fresh(
        other->CreatePopup(nullptr, nullptr, false, false, false, QPoint(100, 100), dkpaLeft));
    ASSERT_NE(fresh, nullptr);
    const QPointer<TDkPopupWindow> third = open();
    EXPECT_EQ(third->size(), fresh->size());
    root->KeepPopupWindow(third);
}

TEST_F(PopupMenu, ASubmenuOfLinkedItemsShowsTheirSourcesItems) {
    TDkRootItem source(&owner_);
    auto* linked = new TDkCustomItem(&owner_);
    linked->SetCaption(QStringLiteral("From &elsewhere"));
    linked->OnClick = [this](QObject*) { clickLog_ += "linked"; };
    source.Add(linked);
    std::string order;
    source.OnPopup = [&](TDkCustomItem*, bool fromLink) { order += fromLink ? "source " : "?"; };
    TDkCustomItem* more = AddItem("&More", nullptr, true);
    more->SetLinkSubitems(&source);
    more->OnPopup = [&](TDkCustomItem*, bool fromLink) { order += fromLink ? "?" : "item"; };
    script_.Then([] { TypeChar(u'm'); }).Then([] { TypeChar(u'e'); });
    RunMenu();
    EXPECT_EQ(order, "source item");
    EXPECT_EQ(ClickLog(), "linked");
}

TEST_F(PopupMenu, AContextMenuRequestOpensTheMenuWhereAsked) {
    QWidget field;
    field.setGeometry(200, 150, 100, 30);
    field.show();
    menu_.AttachTo(&field);
    // By the mouse at the pointer, by the keyboard at the widget; nothing
    // without auto pop-up.
    for (const auto reason : {QContextMenuEvent::Mouse, QContextMenuEvent::Keyboard}) {
        QRect shown;
        script_.Then([&] { shown = MenuGeometry(); }).Keys("e");
        script_.Start();
        QContextMenuEvent request(reason, QPoint(10, 5), QPoint(210, 155));
        QCoreApplication::sendEvent(&field, &request);
        script_.Finish();
        EXPECT_EQ(menu_.PopupComponent(), &field);
        EXPECT_EQ(shown.topLeft(),
                  reason == QContextMenuEvent::Mouse ? QPoint(210, 155) : QPoint(200, 150));
    }
    menu_.SetAutoPopup(false);
    const int stepsBefore = script_.StepsRun();
    script_.Then([] { ADD_FAILURE() << "a menu opened"; });
    script_.Start();
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(10, 5), QPoint(210, 155));
    QCoreApplication::sendEvent(&field, &request);
    EXPECT_EQ(script_.StepsRun(), stepsBefore);
    script_.Finish();
}

TEST_F(PopupMenu, TheStatusHintFollowsTheSelection) {
    open_->SetHint(QStringLiteral("Open|Opens a file"));
    TDkCustomItem* plain = AddItem("&Plain");
    plain->SetHint(QStringLiteral("No bar"));
    std::vector<std::string> hints;
    const dk::MenuHintHandler previous =
        dk::SetMenuHintHandler([&](const QString& hint) { hints.push_back(hint.toStdString()); });
    script_.Keys("vve");
    RunMenu();
    dk::SetMenuHintHandler(previous);
    EXPECT_EQ(hints, (std::vector<std::string>{"Opens a file", "No bar", ""}));
}

// --- Animation ---------------------------------------------------------------------------------

using dk::adBottomToTop;
using dk::adLeftToRight;
using dk::adRightToLeft;
using dk::adTopToBottom;

TEST(AnimationStep, GoesBySixteenthsAndEndsInTime) {
    const std::tuple<int64_t, int, int> cases[] = {{0, 150, 0},     {10, 150, 16},   {75, 150, 128},
                                                   {140, 150, 224}, {149, 150, 240}, {150, 150, -1},
                                                   {400, 150, -1},  {0, 0, -1}};
    for (const auto& [elapsed, time, step] : cases) {
        EXPECT_EQ(dk::PopupAnimationStepAt(elapsed, time), step) << elapsed << " of " << time;
    }
}

TEST(SlideOffset, MovesThePictureInFromItsSide) {
    const std::tuple<unsigned, int, QPoint> cases[] = {
        {adTopToBottom, 0, QPoint(0, -60)},
        {adTopToBottom, 128, QPoint(0, -30)},
        {adTopToBottom, 255, QPoint(0, 0)},
        {adBottomToTop, 0, QPoint(0, 60)},
        {adLeftToRight, 64, QPoint(-75, 0)},
        {adRightToLeft, 0, QPoint(100, 0)},
        {adTopToBottom | adLeftToRight, 0, QPoint(-100, -60)},
        {0, 0, QPoint(0, 0)}};
    for (const auto& [directions, step, offset] : cases) {
        EXPECT_EQ(dk::PopupSlideOffset(QSize(100, 60), step, directions), offset)
            << directions << " step " << step;
    }
}

// A window that animates like a pop-up and notes the messages it gets: "S"
// an applied step, "s" an ignored one, "E" the end.
class AnimatedWindow : public QWidget {
public:
    AnimatedWindow(QPoint at) : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
        setGeometry(QRect(at, QSize(100, 100)));
    }
    ~AnimatedWindow() override { dk::FinishPopupAnimation(this); }
    std::string Log;
    int Count(char c) const { return static_cast<int>(std::count(Log.begin(), Log.end(), c)); }

protected:
    bool event(QEvent* e) override {
        if (const plat::KitMessageEvent* m = plat::KitMessageEvent::From(e)) {
            if (m->Msg() == dk::kAnimationStepMessage) {
                const bool applied = dk::PopupAnimationStep(this, m->LParam);
                Log += applied ? 'S' : 's';
                return true;
            }
            if (m->Msg() == dk::kAnimationEndedMessage) {
                Log += 'E';
                return true;
            }
        }
        return QWidget::event(e);
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (!dk::PaintPopupAnimation(this, painter)) {
            dk::FinishPopupAnimation(this);
            painter.fillRect(rect(), Qt::darkBlue);
        }
    }
};

class PopupAnimation : public ::testing::Test {
protected:
    PopupAnimation() { QCursor::setPos(790, 790); }
    QuietPlatform quiet_;
    FakeSystemParameters params_;
};

TEST_F(PopupAnimation, ASlideStepsAtMostSixteenTimesThenShowsTheWindowWhole) {
    AnimatedWindow window(QPoint(200, 200));
    dk::BeginPopupAnimation(&window, 64, false, adTopToBottom);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(dk::PopupAnimating(&window));
    EXPECT_FALSE(window.mask().isEmpty()) << "nothing of it shows yet";
    ASSERT_TRUE(WaitUntil([&] { return window.Count('E') > 0; }, 3000));
    EXPECT_EQ(window.Count('E'), 1);
    EXPECT_GE(window.Count('S'), 1);
    EXPECT_LE(window.Count('S'), 17);
    EXPECT_EQ(window.Count('s'), 0);
    EXPECT_FALSE(dk::PopupAnimating(&window));
    EXPECT_TRUE(window.mask().isEmpty());
}

TEST_F(PopupAnimation, AFadeNeedsAWindowSystemThatBlends) {
    AnimatedWindow window(QPoint(200, 200));
    dk::BeginPopupAnimation(&window, 10000, true, 0);
    EXPECT_EQ(window.windowOpacity(), 1.0) << "without blending it slides";
    EXPECT_FALSE(window.mask().isEmpty());
    dk::FinishPopupAnimation(&window);

    params_.Answers.LayeredWindows = true;
    dk::BeginPopupAnimation(&window, 10000, true, 0);
    EXPECT_NEAR(window.windowOpacity(), 32 / 255.0, 0.01);
    EXPECT_TRUE(window.mask().isEmpty());
    dk::FinishPopupAnimation(&window);
    EXPECT_EQ(window.windowOpacity(), 1.0);
    EXPECT_EQ(window.Log, "EE");
}

TEST_F(PopupAnimation, ASecondAnimationEndsTheFirstBeforeItsOwnSteps) {
    AnimatedWindow first(QPoint(200, 200));
    AnimatedWindow second(QPoint(400, 200));
    dk::BeginPopupAnimation(&first, 10000, false, adLeftToRight);
    const qintptr firstSequence = dk::PopupAnimationSequence();
    dk::BeginPopupAnimation(&second, 10000, false, adLeftToRight);
    EXPECT_EQ(first.Log, "E");
    EXPECT_TRUE(first.mask().isEmpty());
    EXPECT_TRUE(dk::PopupAnimating(&second));
    // A step of the first animation counts for neither window.
    EXPECT_FALSE(dk::PopupAnimationStep(&first, firstSequence));
    EXPECT_FALSE(dk::PopupAnimationStep(&second, firstSequence));
    EXPECT_EQ(second.Log, "");
    dk::FinishPopupAnimation(&second);
    EXPECT_EQ(second.Log, "E");
}

TEST_F(PopupAnimation, ThePointerReachingIntoTheWindowEndsItAtOnce) {
    AnimatedWindow window(QPoint(200, 200));
    QElapsedTimer elapsed;
    elapsed.start();
    // Two seconds, so that the worker looks at the pointer every 125 ms.
    dk::BeginPopupAnimation(&window, 2000, false, adTopToBottom);
    // The menu loop holds the mouse, so the move reaches the program.
    SendMouse(QEvent::MouseMove, QPoint(250, 250), Qt::NoButton, &window);
    ASSERT_TRUE(WaitUntil([&] { return window.Count('E') > 0; }, 5000));
    EXPECT_LT(elapsed.elapsed(), 1000);
    EXPECT_FALSE(dk::PopupAnimating(&window));
}

TEST_F(PopupAnimation, OnlyTheFirstPaintAndTheStepsShowThePictureAndLateStepsDoNothing) {
    AnimatedWindow window(QPoint(200, 200));
    dk::BeginPopupAnimation(&window, 10000, false, adTopToBottom);
    window.grab(); // the showing paint
    EXPECT_TRUE(dk::PopupAnimating(&window));
    window.grab(); // anything else painting: the menu changed
    EXPECT_FALSE(dk::PopupAnimating(&window));
    // A step arriving after the end changes nothing.
    plat::SendMessage(&window, dk::kAnimationStepMessage, 0, dk::PopupAnimationSequence());
    EXPECT_EQ(window.Log, "Es");
    EXPECT_TRUE(window.mask().isEmpty());
}

TEST_F(PopupAnimation, AWindowDeletedWhileItAnimatesStopsTheWorker) {
    auto* window = new AnimatedWindow(QPoint(200, 200));
    dk::BeginPopupAnimation(window, 10000, false, adTopToBottom);
    delete window;
    EXPECT_FALSE(dk::PopupAnimating(nullptr));
    AnimatedWindow next(QPoint(200, 200));
    dk::BeginPopupAnimation(&next, 64, false, adTopToBottom);
    ASSERT_TRUE(WaitUntil([&] { return next.Count('E') > 0; }, 3000));
}

// --- How a pop-up window shows itself ----------------------------------------------------

// Notes the pop-up notifications (codes 1, 2, 3) and may veto the animation.
class NotedPopup : public TDkPopupWindow {
public:
    using TDkPopupWindow::TDkPopupWindow;
    std::string Codes;
    bool Veto = false;

protected:
    bool event(QEvent* e) override {
        if (plat::KitMessageEvent* m = plat::KitMessageEvent::From(e)) {
            if (m->Msg() == dk::kPopupNotifyMessage) {
                Codes += static_cast<char>('0' + m->WParam);
                m->Result = m->WParam == 1 && Veto ? 1 : 0;
                return true;
            }
        }
        return TDkPopupWindow::event(e);
    }
};

TEST_F(PopupAnimation, APopupAnimatesOnlyWhenAllowedAndSaysHowItShowed) {
    const struct {
        const char* name;
        bool animation, fade;
        unsigned direction;
        bool veto, selected, parentClosing;
        const char* codes; // after showing and ending any animation
        bool animated;
    } cases[] = {
        {"animation off", false, false, adTopToBottom, false, false, false, "3", false},
        {"slide", true, false, adTopToBottom, false, false, false, "12", true},
        {"fade without a direction", true, true, 0, false, false, false, "12", true},
        {"no direction, no fade", true, false, 0, false, false, false, "3", false},
        {"vetoed", true, false, adTopToBottom, true, false, false, "13", false},
        {"opened with a selection", true, false, adTopToBottom, false, true, false, "3", false},
        {"parent closing", true, false, adTopToBottom, false, false, true, "3", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        params_.Answers.MenuAnimation = c.animation;
        params_.Answers.MenuFade = c.fade;
        QObject owner;
        QWidget parentWindow;
        auto* root = new TDkRootItem(&owner);
        auto* item = new TDkCustomItem(&owner);
        item->SetCaption(QStringLiteral("&Item"));
        root->Add(item);
        TDkView parent(&owner, nullptr, root, &parentWindow, false, false, false);
        parent.SetState(vsClosing, c.parentClosing);
        NotedPopup popup(&parent, root, false);
        popup.Veto = c.veto;
        popup.SetAnimationDirection(c.direction);
        if (c.selected) {
            popup.View()->Select(popup.View()->FirstSelectable());
        }
        popup.View()->UpdatePositions();
        popup.move(300, 300);
        popup.show();
        EXPECT_TRUE(popup.isVisible());
        EXPECT_EQ(dk::PopupAnimating(&popup), c.animated);
        dk::FinishPopupAnimation(&popup);
        EXPECT_EQ(popup.Codes, c.codes);
    }
}

} // namespace
