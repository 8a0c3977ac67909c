#pragma once
// The main window's handlers of what the toolbar kit reports for the whole
// program: the long hint of the menu item the user is on shows in the status
// bar's stretching panel while the menus are open, and the actions the bars
// and menus bring up to date run their update handlers (the view toggles'
// check marks follow their objects' visibility; the away-messages action is
// enabled while the away log holds someone). The handlers act on the main
// window while it exists (TMainForm::Instance()).

// Put in force when the main window is created, taken back when it goes.
void ConnectKitHandlers();
void DisconnectKitHandlers();
