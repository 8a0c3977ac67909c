#pragma once
// The command a menu loop ends with, run after the loop has unwound: the
// chosen item's click goes through a message posted to a hidden window, so
// that OnClick runs once the menus and their windows are gone.

#include <QPointer>
#include <QWidget>

#include <functional>

class TDkCustomItem;

// What a menu loop ends with.
struct TDkDoneAction {
    enum Kinds { None = 0, ClickItem = 1, SysKeyMenu = 2, Help = 3 };
    Kinds Kind = None;
    QPointer<TDkCustomItem> Item; // ClickItem, Help
    QPointer<QWidget> Window;     // SysKeyMenu
    bool PlaySound = false;       // ClickItem: the "MenuCommand" sound
    int Key = 0;                  // SysKeyMenu
};

namespace dk {

// ClickItem: plays the command sound when asked and the sound scheme has one,
// makes the item the pending click (replacing one not yet run) and posts the
// message that clicks it. SysKeyMenu: hands the key to the window's system
// menu handler. Help: there is no help engine; nothing happens. None: nothing.
void ProcessDoneAction(const TDkDoneAction& action);

// The item whose click is waiting; null when none.
TDkCustomItem* PendingClickItem();
// Whether the hidden window exists (it lives while any item does).
bool CommandWindowExists();

// Who receives a system-menu key of the menu loop (the menu bar's form).
using SysKeyMenuHandler = std::function<void(QWidget* window, int key)>;
SysKeyMenuHandler SetSysKeyMenuHandler(SysKeyMenuHandler handler);

// Item bookkeeping: the hidden window goes with the last item, and a
// destroyed item is no longer the pending click.
void ItemCreated();
void ItemDestroyed(TDkCustomItem* item);

} // namespace dk
