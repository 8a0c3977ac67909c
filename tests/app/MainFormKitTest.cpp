// The whole main window on the toolbar and docking kit: its components by
// name, its menus opened by the mouse and by the keys, every action's
// shortcut, the friends panel floating and docking again, and the layout
// of bars and panel kept from one window to the next.
#include "KitDriving.h"
#include "MainFormTestSupport.h"

#include "app/mainform/MainFormControls.h"
#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkxDock.h"
#include "dockkit/items/DkItem/DkItem.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/menus/DkPopupWindow.h"
#include "dockkit/palettes/DkxColorItem.h"
#include "dockkit/palettes/DkxColorPalette.h"
#include "dockkit/palettes/DkxToolPalette.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "dockkit/themes/DkNexus.h"
#include "dockkit/themes/DkSwitcher.h"
#include "dockkit/themes/DkThemedPopup.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QPointer>
#include <QTest>

#include <functional>
#include <vector>

namespace mainformtest {
namespace {

using Keys = std::vector<std::pair<int, Qt::KeyboardModifiers>>;

class MainFormKitTest : public MainFormTest {
protected:
    TMainForm& Shown() {
        TMainForm& f = Create();
        f.show();
        f.activateWindow();
        f.InputEdit->setFocus();
        ProcessPosted();
        return f;
    }
    // The item of the menu bar's submenu, or of a submenu of it.
    static TDkCustomItem* Item(TMainForm& f, const char* menu, const char* item = nullptr) {
        TDkCustomItem* submenu = f.MenuBar->Items()->findChild<TDkCustomItem*>(
            QString::fromLatin1(menu), Qt::FindDirectChildrenOnly);
        if (submenu == nullptr || item == nullptr) {
            return submenu;
        }
        return submenu->findChild<TDkCustomItem*>(QString::fromLatin1(item));
    }
};

TEST_F(MainFormKitTest, ComponentsAreTheKitsUnderTheirNames) {
    TMainForm& f = Shown();
    TMainForm& kit = f;
    const QList<QObject*> objects{
        kit.TopDock,        kit.LeftDock,          kit.RightDock,    kit.BottomDock,
        kit.MenuBar,        kit.StandardBar,       kit.EditBar,      kit.GroupDockablePanel,
        kit.StatusBar,      kit.OnPopupMenu,       kit.OffPopupMenu, kit.UnPopupMenu,
        kit.CharPopupMenu,  kit.PrivCharPopupMenu, kit.PubPopupMenu, kit.PrivPopupMenu,
        kit.InputPopupMenu, kit.ToolbarsPopupMenu, kit.ColorItem,    kit.ClrDefault,
        kit.ColorPalette,   kit.VLColorSet,        kit.EmotItem,     kit.EmotPalette,
        kit.ActionList1};
    const QStringList names =
        QStringLiteral(
            "TopDock LeftDock RightDock BottomDock MenuBar StandardBar EditBar GroupDockablePanel "
            "StatusBar OnPopupMenu OffPopupMenu UnPopupMenu CharPopupMenu PrivCharPopupMenu "
            "PubPopupMenu PrivPopupMenu InputPopupMenu ToolbarsPopupMenu ColorItem ClrDefault "
            "ColorPalette VLColorSet EmotItem EmotPalette ActionList1")
            .split(u' ');
    ASSERT_EQ(objects.size(), names.size());
    for (qsizetype i = 0; i < objects.size(); ++i) {
        ASSERT_NE(objects[i], nullptr) << names[i].toStdString();
        EXPECT_EQ(objects[i]->objectName(), names[i]);
    }
    for (TDkxToolbar* bar : {kit.MenuBar, kit.StandardBar, kit.EditBar}) {
        EXPECT_EQ(bar->CurrentDock(), kit.TopDock) << bar->objectName().toStdString();
    }
    EXPECT_TRUE(kit.MenuBar->MenuBar());
    EXPECT_EQ(kit.GroupDockablePanel->CurrentDock(), kit.RightDock);
    EXPECT_EQ(kit.GroupDockablePanel->Caption(), QStringLiteral("VL Friends and Groups"));
    // The palettes are in their submenus of the edit bar.
    EXPECT_EQ(kit.ColorItem->Parent(), kit.EditBar->Items());
    EXPECT_EQ(kit.ClrDefault->Parent(), kit.ColorItem);
    EXPECT_EQ(kit.ColorPalette->Parent(), kit.ColorItem);
    EXPECT_EQ(kit.ColorPalette->ColorSet(), kit.VLColorSet);
    EXPECT_EQ(kit.EmotPalette->Parent(), kit.EmotItem);
    EXPECT_EQ(f.FriendsTreeView->window(), &f);
    EXPECT_TRUE(kit.GroupDockablePanel->isAncestorOf(f.GroupsTreeView));
    ASSERT_EQ(kit.StatusBar->Panels().Count(), 3);
    EXPECT_EQ(kit.StatusBar->Panels().Items(0)->Size(), 150);
    EXPECT_EQ(kit.StatusBar->Panels().Items(1)->Size(), 75);
    EXPECT_GT(kit.StatusBar->Panels().Items(2)->StretchPriority(), 0);
    EXPECT_EQ(f.DkxSwitcher1->Theme(), QStringLiteral("Default"));

    // The docks lie round the console, the status bar below them all.
    const auto rect = [&](QWidget* w) { return QRect(w->mapTo(&f, QPoint()), w->size()); };
    EXPECT_LE(rect(kit.TopDock).bottom(), rect(f.MainSplitter).top());
    EXPECT_LE(rect(kit.RightDock).left(), rect(kit.GroupDockablePanel).left());
    EXPECT_GE(rect(kit.RightDock).left(), rect(f.MainSplitter).right());
    EXPECT_GE(rect(kit.StatusBar).top(), rect(kit.BottomDock).bottom());
}

struct MenuCase {
    const char* Name;
    // Mouse: the menu bar's submenu and its item; keys: pressed in turn.
    const char* Menu;
    const char* Item;
    Keys Pressed;
};

void PrintTo(const MenuCase& c, std::ostream* os) {
    *os << c.Name;
}

class MenuOpening : public MainFormKitTest, public ::testing::WithParamInterface<MenuCase> {};

// Each way hides the status bar through "View", "Statusbar"; the command
// runs once the menus have closed.
TEST_P(MenuOpening, ReachesTheStatusBarToggle) {
    const MenuCase& c = GetParam();
    TMainForm& f = Shown();
    ASSERT_FALSE(f.StatusBar->isHidden());
    int runs = 0;
    bool menuOpenAtRun = false;
    QObject::connect(f.ViewStatusBarAction, &QAction::triggered, &f, [&] {
        ++runs;
        menuOpenAtRun = f.MenuBar->View()->HasState(vsModal);
    });
    if (c.Menu != nullptr) {
        EXPECT_TRUE(kittest::ChooseByMouse({Item(f, c.Menu), Item(f, c.Menu, c.Item)}));
    } else {
        kittest::PressKeys(c.Pressed, f.InputEdit);
    }
    ProcessPosted();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(menuOpenAtRun);
    EXPECT_TRUE(f.StatusBar->isHidden());
    EXPECT_FALSE(f.ViewStatusBarAction->isChecked());
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, MenuOpening,
    ::testing::Values(
        MenuCase{"Mouse", "ViewMenu", "ViewStatusBarAction", {}},
        MenuCase{"AltLetter", nullptr, nullptr, {{Qt::Key_V, Qt::AltModifier}, {Qt::Key_S, {}}}},
        MenuCase{"AltAlone",
                 nullptr,
                 nullptr,
                 {{Qt::Key_Alt, Qt::AltModifier}, {Qt::Key_V, {}}, {Qt::Key_S, {}}}},
        MenuCase{"Arrows",
                 nullptr,
                 nullptr,
                 {{Qt::Key_Alt, Qt::AltModifier},
                  {Qt::Key_Right, {}},
                  {Qt::Key_Right, {}},
                  {Qt::Key_Down, {}},
                  {Qt::Key_Up, {}},
                  {Qt::Key_Return, {}}}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MainFormKitTest, EscapeClosesTheMenusAndRunsNothing) {
    TMainForm& f = Shown();
    int runs = 0;
    for (QAction* action : f.findChildren<QAction*>()) {
        QObject::connect(action, &QAction::triggered, &f, [&] { ++runs; });
    }
    std::vector<QString> shown;
    kittest::Later([&] { shown = kittest::OpenMenuCaptions(); });
    kittest::PressKeys({{Qt::Key_T, Qt::AltModifier}, {Qt::Key_Escape, {}}, {Qt::Key_Escape, {}}},
                       f.InputEdit);
    ProcessPosted();
    EXPECT_EQ(shown, (std::vector<QString>{"Set Yourself Away", "Away Messages", "&Options..."}));
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(f.StatusBar->isHidden());
}

// A right click on a dock opens the tool bars' menu; its items toggle the
// bars.
TEST_F(MainFormKitTest, DocksContextMenuTogglesTheToolBars) {
    TMainForm& f = Shown();
    TDkxPopupMenu* menu = f.ToolbarsPopupMenu;
    std::vector<QString> shown;
    kittest::Later([&] { shown = kittest::OpenMenuCaptions(); });
    kittest::Later([&] {
        const std::optional<QPoint> at = kittest::CenterOf(
            menu->Items()->findChild<TDkCustomItem*>(QStringLiteral("ViewStandardAction")));
        ASSERT_TRUE(at);
        kittest::ClickAt(*at);
    });
    kittest::Later([] { kittest::EndMenus(); });
    TDkxDock* dock = f.TopDock;
    const QPoint inside(dock->width() - 4, dock->height() - 4);
    QContextMenuEvent request(QContextMenuEvent::Mouse, inside, dock->mapToGlobal(inside));
    QApplication::sendEvent(dock, &request);
    ProcessPosted();
    EXPECT_EQ(shown, (std::vector<QString>{"&Standard", "&Edit"}));
    EXPECT_FALSE(f.StandardBar->Visible());
    EXPECT_FALSE(f.ViewStandardAction->isChecked());
    EXPECT_TRUE(f.EditBar->Visible());
}

// A pop-up menu the program closes while its menu loop runs ends the loop
// and leaves no window open behind: its window is hidden and kept by the
// menu, and the next opening reuses it, so windows never pile up.
TEST_F(MainFormKitTest, APopupMenuClosedWhileItsLoopRunsLeavesNoWindowBehind) {
    TMainForm& f = Shown();
    const auto popupWindows = [] {
        QList<QWidget*> windows;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (qobject_cast<TDkPopupWindow*>(top) != nullptr) {
                windows << top;
            }
        }
        return windows;
    };
    QPointer<QWidget> first;
    for (int round = 0; round < 3; ++round) {
        bool openInLoop = false;
        kittest::Later([&] {
            const TDkView* view = dk::RunningMenuLoopView();
            openInLoop = view != nullptr && view->ParentItem() == f.InputPopupMenu->Items() &&
                         view->Window()->isVisible();
            kittest::EndMenus();
        });
        f.InputPopupMenu->Popup(30, 30);
        ProcessPosted();
        EXPECT_TRUE(openInLoop) << round;
        EXPECT_EQ(dk::RunningMenuLoopView(), nullptr) << round;
        const QList<QWidget*> windows = popupWindows();
        ASSERT_EQ(windows.size(), 1) << round;
        EXPECT_FALSE(windows[0]->isVisible()) << round;
        if (round == 0) {
            first = windows[0];
        }
        EXPECT_EQ(windows[0], first) << "reused, round " << round;
    }
}

struct ShortcutCase {
    const char* Action;
    int Key;
    Qt::KeyboardModifiers Modifiers;
    // Typed into the input line first.
    const char* Typed;
    int Runs;
};

void PrintTo(const ShortcutCase& c, std::ostream* os) {
    *os << c.Action;
}

class Shortcut : public MainFormKitTest, public ::testing::WithParamInterface<ShortcutCase> {};

// A shortcut runs its action once, from the window's action list; a hidden
// action's shortcut does nothing. (The edit keys are rows of the key table.)
TEST_P(Shortcut, RunsItsActionOnce) {
    const ShortcutCase& c = GetParam();
    TMainForm& f = Shown();
    for (const char ch : std::string(c.Typed)) {
        kittest::Key(Qt::Key_A + (ch - 'a'), {}, QString(QChar(ch)), f.InputEdit);
    }
    f.UpdateEditActions();
    auto* action = f.findChild<QAction*>(QString::fromLatin1(c.Action));
    ASSERT_NE(action, nullptr);
    action->setEnabled(true);
    int runs = 0;
    QObject::connect(action, &QAction::triggered, &f, [&] { ++runs; });
    QTest::keyClick(f.InputEdit, static_cast<Qt::Key>(c.Key), c.Modifiers);
    ProcessPosted();
    EXPECT_EQ(runs, c.Runs) << c.Action;
}

const Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;

INSTANTIATE_TEST_SUITE_P(MainWindow, Shortcut,
                         ::testing::Values(ShortcutCase{"ConnectAction", Qt::Key_N, kCtrl, "", 1},
                                           ShortcutCase{"DisconnectAction", Qt::Key_D, kCtrl, "",
                                                        1},
                                           ShortcutCase{"OptionsAction", Qt::Key_F10, {}, "", 1},
                                           ShortcutCase{"HelpAction", Qt::Key_F1, {}, "", 0},
                                           ShortcutCase{"AttachAction", Qt::Key_I, kCtrl, "", 1}),
                         [](const auto& info) { return std::string(info.param.Action); });

TEST_F(MainFormKitTest, FriendsPanelFloatsAndDocksAgain) {
    TMainForm& f = Shown();
    TDkxDockablePanel* panel = f.GroupDockablePanel;
    const int dockHeight = f.RightDock->height();
    ASSERT_GT(dockHeight, 0);

    f.GroupDockablePanel->SetFloatingState(true);
    ProcessPosted();
    ASSERT_TRUE(f.GroupDockablePanel->Floating());
    ASSERT_NE(panel->FloatingParent(), nullptr);
    EXPECT_TRUE(panel->FloatingParent()->isVisible());
    // It floats five sixths as high as its dock was.
    EXPECT_EQ(panel->ClientAreaHeight(), qRound(dockHeight * 5.0 / 6.0));
    EXPECT_TRUE(f.FriendsTreeView->isVisible());

    // A double click on the floating caption docks it where it was.
    const QPoint caption = panel->FloatingParent()->mapToGlobal(
        panel->FloatingParent()->CaptionRect().ToQRect().center());
    kittest::Mouse(QEvent::MouseButtonDblClick, caption, Qt::LeftButton, panel->FloatingParent());
    ProcessPosted();
    EXPECT_FALSE(f.GroupDockablePanel->Floating());
    EXPECT_EQ(panel->CurrentDock(), f.RightDock);
    EXPECT_TRUE(f.FriendsTreeView->isVisible());
}

TEST_F(MainFormKitTest, ANewWindowGetsTheLayoutBack) {
    {
        TMainForm& f = Shown();
        f.EditBar->SetDockRow(0);
        f.EditBar->SetDockPos(400);
        f.StandardBar->setVisible(false);
        f.GroupDockablePanel->SetFloatingState(true);
        f.GroupDockablePanel->SetFloatingPosition(QPoint(120, 140));
        ProcessPosted();
    }
    const std::unique_ptr<plat::Registry> stored = DestroyAndReload();
    const auto value = [&](const char* bar, const char* name) {
        const auto key = stored->OpenKey(
            {QStringLiteral("MainForm"), QStringLiteral("Toolbars"), QString::fromLatin1(bar)},
            false);
        return key ? key->ReadString(QString::fromLatin1(name)) : QStringLiteral("<none>");
    };
    EXPECT_EQ(value("EditBar", "DockedTo"), QStringLiteral("TopDock"));
    EXPECT_EQ(value("EditBar", "DockRow"), QStringLiteral("0"));
    EXPECT_EQ(value("StandardBar", "Visible"), QStringLiteral("0"));
    EXPECT_EQ(value("GroupDockablePanel", "DockedTo"), QStringLiteral("+"));
    EXPECT_EQ(value("GroupDockablePanel", "FloatLeft"), QStringLiteral("120"));
    EXPECT_EQ(value("MenuBar", "DockRow"), QStringLiteral("0"));

    TMainForm& again = Shown();
    EXPECT_EQ(again.EditBar->DockRow(), 0);
    EXPECT_EQ(again.EditBar->CurrentDock(), again.TopDock);
    EXPECT_FALSE(again.StandardBar->Visible());
    EXPECT_FALSE(again.ViewStandardAction->isChecked());
    EXPECT_TRUE(again.GroupDockablePanel->Floating());
    EXPECT_EQ(again.GroupDockablePanel->FloatingParent()->pos(), QPoint(120, 140));
}

} // namespace
} // namespace mainformtest
