// Where pop-up menus open: kept on the monitor they belong to, submenus
// flipping to the other side at the screen edge, drop-downs moving above or
// beside their button, and menus taller than the screen scrolling.

#include "DataRows.h"
#include "MenuFixtures.h"
#include "ViewFixtures.h"

#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/menus/DkPopupAnimation.h"
#include "dockkit/menus/DkPopupWindow.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QPointer>

#include <QApplication>

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

} // namespace
