#pragma once
// The tool bars' action update step. Whenever the thread's event loop has
// nothing left to do and is about to wait, every tool bar that shows on a
// shown, enabled form brings its items' actions up to date (InitiateAction,
// when the bar's UpdateActions is on), so that what the bars show follows
// the state the actions' update handlers read. Not while one of the kit's
// own loops (a menu, a drag) holds the mouse.

class TDkCustomToolbar;

namespace dk {

// Every tool bar joins while it exists; the step is hooked on the event loop
// with the first and unhooked with the last.
void JoinActionUpdates(TDkCustomToolbar* toolbar);
void LeaveActionUpdates(TDkCustomToolbar* toolbar);
// Whether the step is hooked on the event loop.
bool ActionUpdatesHooked();

// The step, as going idle runs it.
void UpdateToolbarActions();

} // namespace dk
