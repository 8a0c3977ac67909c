#pragma once
// The keyboard of the forms and their tool bars: one application event
// filter, present while a main form is set or any tool bar exists, that sees
// each key before the focused control does.
//
// - Shortcuts, the one road every shortcut of the program takes: a key pressed
//   in a form goes first to the form's own actions (its action lists, see
//   platform/gui/ActionList.h), then to the tool bars that process shortcuts
//   for that form (in the order they asked to), then, when the form is not
//   the main form, to the main form's actions and its bars. The first action
//   or item of the key decides: enabled, it executes and the key goes no
//   further; disabled, nothing executes and the key goes on to the focused
//   control (so that Delete, Ctrl+C and the rest keep working in an edit box
//   while the command of that key is off). A form behind a modal window
//   takes no keys. Keys are taken at the shortcut stage, before any shortcut
//   of the toolkit, and again at the key press for keys that come without
//   one.
// - The system-menu key: Alt with a character, Alt pressed and released
//   alone, and F10 go to the form's controls that take menu events (menu
//   bars, and docks for their floating menu bars), depth first; a menu bar
//   opens the item with that accelerator, or highlights its first item.
// - Dialog keys and characters: Alt shows the menu bars' accelerators; a
//   plain character typed where no control takes text goes to the form's tool
//   bars (not menu bars) as an accelerator. Alt with a character, and a plain
//   character no tool bar took, go as the platform's dialog-character message
//   to the controls of the window the key went to (a label's "&Name" moves the
//   focus to its control); with Alt before the menu bars have it.
//
// Nothing is routed while a menu or a drag holds the keyboard.

#include "dockkit/items/DkItem/DkItem.h"

#include <QChar>
#include <Qt>

#include <vector>

class QKeyEvent;
class QWidget;
class TDkCustomToolbar;

namespace dk {

// The application's main form: its tool bars' shortcuts work while another
// form is active. None by default.
void SetMainForm(QWidget* form);
QWidget* MainForm();

// Every tool bar registers while it exists. The filter is installed while a
// main form is set or a tool bar is registered.
void RegisterToolbar(TDkCustomToolbar* toolbar);
void UnregisterToolbar(TDkCustomToolbar* toolbar);
bool KeyRouterInstalled();

// The tool bars that process shortcuts, in the order they joined.
void SetShortCutToolbar(TDkCustomToolbar* toolbar, bool listed);
std::vector<TDkCustomToolbar*> ShortCutToolbars();

// The form a key is routed for: the window of the widget it went to (the
// active form), or without one the active window; a floating tool bar's
// little form counts as the form it belongs to.
QWidget* ActiveForm(QWidget* fallback);

// The routing steps, for a form.
// The form's own shortcuts: its action lists, then its shortcut tool bars.
ShortCutMatch FormShortCut(QWidget* form, const QKeyEvent& key);
// The form's shortcuts, then (unless the form's own match is disabled) the
// main form's: true when one executed the key.
bool RouteShortCut(QWidget* form, const QKeyEvent& key);
// The system-menu key (a character, or 0) to the form's menu-event controls.
bool RouteSysKeyMenu(QWidget* form, int key);
// A dialog key or character to the form's tool bars and docks, depth first.
bool BroadcastDialogKey(QWidget* form, int key, Qt::KeyboardModifiers shift);
bool BroadcastDialogChar(QWidget* form, QChar ch);
// A dialog character to the shown controls of the window, depth first, as the
// platform's dialog-character message: true when one acted on it.
bool SendDialogChar(QWidget* window, QChar ch);

} // namespace dk
