#pragma once
// The kit's objects behind the interfaces of Kit.h, for code that needs the
// kit itself (tests, themes, the main window's named components). Null for
// an interface the kit did not make.

#include "app/kit/Kit.h"

class TDkCustomItem;
class TDkxDock;
class TDkxColorItem;
class TDkxColorPalette;
class TDkxDockablePanel;
class TDkxPopupMenu;
class TDkxStatusBar;
class TDkxToolPalette;
class TDkxToolbar;

namespace kit {

// The form's dock on that side ("TopDock", "BottomDock", "LeftDock",
// "RightDock"), made on first use.
enum class DockSide { Top, Bottom, Left, Right };
TDkxDock* KitDock(QWidget& form, DockSide side);

TDkxPopupMenu* KitPopupMenu(IPopupMenu* menu);
TDkxToolbar* KitToolbar(IToolbar* bar);
TDkxToolbar* KitMenuBar(IMenuBar* bar);
TDkxDockablePanel* KitDockablePanel(IDockablePanel* panel);
TDkxStatusBar* KitStatusBar(IStatusBar* bar);
// The item a menu item, submenu, palette or colour item is.
TDkCustomItem* KitItemOf(IMenuItem* item);
TDkCustomItem* KitItemOf(IToolPalette* palette);
TDkCustomItem* KitItemOf(IColorItem* item);

// Ends the running menu loop (a bar's or a pop-up menu's) with nothing
// chosen, unless it has ended with a command already.
void EndMenuLoop();

// Whether a pop-up menu opened through the interfaces takes the mouse and
// the keys (the kit's menu loop) once the event loop runs. Tests that drive
// menus through the interfaces alone turn it off; a loop that nothing ends
// would wait for input that never comes.
void SetPopupMenusModal(bool value);

} // namespace kit
