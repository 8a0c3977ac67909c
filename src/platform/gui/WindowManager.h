#pragma once
// What the program relies on a window manager for, and does itself where
// none runs. On an X display without one, a top-level window has no frame,
// stays exactly where and as large as the program puts it, a maximized state
// is a wish nobody carries out, and the keyboard focus goes nowhere when the
// window that had it closes.

class QDialog;

namespace plat {

// Whether a window manager looks after the top-level windows: frames,
// places, maximizes and activates them. Asked of the X server each time (a
// manager may start or stop while the program runs). Other platforms have
// the desktop, or the platform itself, do that work and count as having one.
bool WindowManagerRuns();

// Runs the dialog modally (QDialog::exec) and returns its result. When it
// closes and no window has the keyboard focus, the window that was active
// when it opened (else its owner's window) is activated again, so that the
// keys the user types next reach it, whether or not a window manager runs.
int ExecModal(QDialog& dialog);

} // namespace plat
