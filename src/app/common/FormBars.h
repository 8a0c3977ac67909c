#pragma once
// The kit's docks, tool bars and items as the program's forms build them: the
// docks and status bar round a main window's client, tool bars in their rows,
// and items that show actions in the kit's menus and bars.

#include "dockkit/docking/DkxDock.h"
#include "dockkit/items/DkItem/DkItem.h"
#include "platform/gui/Colors.h"

#include <QString>

#include <initializer_list>

class QAction;
class QMainWindow;
class QWidget;
class TDkxColorItem;
class TDkxDock;
class TDkxItem;
class TDkxSeparatorItem;
class TDkxStatusBar;
class TDkxSubmenuItem;
class TDkxToolbar;

namespace plat {
class AlignLayout;
} // namespace plat

// A dock of the form on the side: the parent's align layout places it.
TDkxDock* AddDock(QWidget* parent, const QString& name, TDkDockPosition position);

// The client area of a main window, laid out as the platform aligns controls:
// the status bar "StatusBar" (panels of those widths, -1 for the one that takes
// the rest) at the very bottom, then the docks "TopDock", "BottomDock",
// "LeftDock" and "RightDock" round what the form adds to the layout as its
// client.
struct TDockSite {
    QWidget* Client = nullptr;
    plat::AlignLayout* Layout = nullptr;
    TDkxStatusBar* StatusBar = nullptr;
    TDkxDock* Top = nullptr;
    TDkxDock* Bottom = nullptr;
    TDkxDock* Left = nullptr;
    TDkxDock* Right = nullptr;
};
TDockSite AddDockSite(QMainWindow& form, std::initializer_list<int> panelWidths);
// A tool bar of the form, docked in its own row of the dock.
TDkxToolbar* AddToolbar(QWidget* form, TDkDock* dock, const QString& name, const QString& caption,
                        int row);

// Items added at the end of a menu or bar (`parent`, which owns them): one
// that shows the action (caption, image, shortcut, check mark, enabled and
// visible state) and executes it, a separator, a submenu.
TDkxItem* AddActionItem(TDkCustomItem* parent, QAction* action,
                        TDkItemDisplayMode mode = nbdmDefault);
TDkxSeparatorItem* AddSeparatorItem(TDkCustomItem* parent);
TDkxSubmenuItem* AddSubmenuItem(TDkCustomItem* parent, const QString& name, const QString& caption);
// A bar's button that drops its submenu down, with an arrow, an image and a
// hint.
TDkxSubmenuItem* AddDropDownItem(TDkCustomItem* parent, const QString& name, const QString& caption,
                                 const QString& hint, int image);
// The "Default" entry "ClrDefault" of a font colour drop-down: a colour item
// of that colour with the hint "Default Color", in radio group 99, drawn as a
// button that shows its hint while the menu is open.
TDkxColorItem* AddDefaultColorItem(TDkCustomItem* parent, plat::TColor color);
