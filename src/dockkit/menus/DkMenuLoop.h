#pragma once
// The menu loop: while a pop-up menu or a tool bar's menus are open, the kit
// owns the mouse and the keys. It selects what the pointer rests on, opens
// and closes submenus on their timers, scrolls long menus, handles the arrow
// keys, Home, End, Tab, Enter, Escape, Alt, F10 and accelerators, and ends
// when a command is chosen, Escape or Alt is pressed, the mouse is pressed
// outside the menus (the press then reaches its own target), the mouse is
// lost or the application quits. The command runs after the loop, once the
// menus are closed.

#include "dockkit/items/DkCommand.h"

#include <QString>

#include <functional>

class TDkView;

namespace dk {

struct MenuLoopOptions {
    bool InitialMouseDown = false; // the selected viewer gets a press first
    bool DropDownMode = false;     // the selection's pop-up opens at once
    bool TrackRightButton = false; // the right button chooses too
    bool SelectFirst = false;      // that pop-up with its first item selected
};

// Runs the loop for the view (a pop-up's or a tool bar's) and answers what it
// ended with; the caller processes that (ProcessDoneAction) once the menus
// are closed. Ending by loss of the mouse, deactivation or quitting answers
// no action. An exception raised inside the loop (a selection or pop-up
// handler) ends it and is rethrown here once the mouse is released, for the
// caller to unwind with (its caller is an event entry point that hands it to
// the application's handler).
TDkDoneAction RunMenuLoop(TDkView* view, const MenuLoopOptions& options);

// The view whose loop runs innermost in this thread, or null.
TDkView* RunningMenuLoopView();

// Views call this after one of their timers has done its work.
void MenuLoopTimerDone();

// Receives the long hint of the selected menu item while menus are open
// (empty when none), for the application's status line.
using MenuHintHandler = std::function<void(const QString& hint)>;
MenuHintHandler SetMenuHintHandler(MenuHintHandler handler);

} // namespace dk
