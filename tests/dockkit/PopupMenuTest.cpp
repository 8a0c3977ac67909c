// The pop-up menu component: OnPopup as the menu opens, context-menu
// requests of the widgets it is attached to, linked subitems, and the
// status hint while the menu is open.

#include "MenuFixtures.h"

#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/menus/DkPopupWindow.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QPointer>

namespace {

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
