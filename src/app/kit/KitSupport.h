#pragma once
// What the kit's menus, bars and palettes share among themselves; nothing
// outside src/app/kit includes this.

#include "app/kit/Kit.h"

class QAction;
class QWidget;
class TDkCustomItem;
class TDkDock;

namespace kit::site {

// The docks of a form, made on its first bar or panel: a main window gets
// them round its central widget; another form gets the top dock above the
// contents of its layout (a vertical one when it has none) and the others
// below them.
TDkDock* Dock(QWidget& form, int position);
// The status bar goes below everything else, the bottom dock included.
void PlaceStatusBar(QWidget& form, QWidget& bar);

} // namespace kit::site

namespace kit::items {

// A submenu item under `parent` (a menu's root, a submenu or a bar's items),
// owned by it.
ISubmenuItem* AddSubmenu(TDkCustomItem& parent, const QString& name, const QString& caption);
// An item that shows the action (its image as a list of its own) and
// executes it.
TDkCustomItem* NewActionItem(QObject* owner, QAction* action);
// Closes every open menu: pop-ups opened through the interfaces and the menu
// loop of a menu bar or tool bar.
void CloseMenus();

} // namespace kit::items
