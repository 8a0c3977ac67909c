#pragma once
// The kit's modal mouse loop: menus, dragging and sizing take the mouse, see
// every event of the application before it is delivered, and run their own
// event loop until they are done. A loop ends when its owner accepts or
// cancels it, when it loses the mouse (the capture widget is hidden or
// destroyed, another widget or a foreign pop-up takes the mouse), when the
// application is deactivated (the only sign of a lost capture where the
// window system allows no grab) and when the application quits.
//
// Exceptions never pass through the loop's event handling: one raised by the
// owner's filter, its start callback or GuardedInLoop code ends the loop, and
// once the mouse is released it goes to the application's exception handler,
// or, when the owner keeps it, back to the owner to unwind with.
//
// Loops nest: the innermost one sees the events, and when it ends the mouse
// goes back to the capture widget of the loop around it.
//
// Dragging, sizing and pressed buttons run the loop as a tracking loop
// (RunTracking): the owner follows the pointer and the Ctrl key, a left
// release accepts and Escape or another press cancels.

#include <QPoint>
#include <Qt>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QEvent;
class QObject;
class QWidget;

namespace dk {

enum class ModalLoopEnd {
    Accepted,    // the owner accepted
    Cancelled,   // the owner cancelled
    CaptureLost, // the capture widget went or another widget took the mouse
    Deactivated, // the application lost the active state
    Quit,        // the application is quitting
    Failed,      // an exception ended the loop
};

class ModalMouseLoop {
public:
    // Sees each event of the application (receiver, event) before delivery;
    // true swallows the event. Mouse events carry the pointer position the
    // loop remembers (LastCursorPos) before the filter sees them.
    using Filter = std::function<bool(QObject* receiver, QEvent* event)>;

    // The loop takes the mouse for `captureWidget` and shows `cursor` while
    // it runs (nothing: the widgets' own cursors).
    explicit ModalMouseLoop(QWidget* captureWidget,
                            std::optional<Qt::CursorShape> cursor = Qt::ArrowCursor);
    ~ModalMouseLoop();
    ModalMouseLoop(const ModalMouseLoop&) = delete;
    ModalMouseLoop& operator=(const ModalMouseLoop&) = delete;

    // Takes the capture, installs the filter, calls `start` (which may already
    // end the loop), then runs until the loop ends; releases everything on
    // the way out. Runs once.
    ModalLoopEnd Run(Filter filter, const std::function<void()>& start = {}) noexcept;

    // What a tracking loop tells its owner.
    struct Tracking {
        // The pointer (screen coordinates) and the Ctrl key, on each move to
        // a new point and each press or release of Ctrl. An exception it
        // raises ends the loop (Failed).
        std::function<void(QPoint globalPos, bool ctrl)> OnTrack;
        // Any press cancels (a pressed button); otherwise only a left press
        // or double click does and other buttons are swallowed.
        bool CancelOnAnyPress = false;
    };
    // Runs the loop with the tracking filter, from the pointer and Ctrl state
    // the owner has already acted on: a left release accepts (after tracking
    // to its point), Escape and the presses above cancel; other keys,
    // buttons, shortcuts and context menus are swallowed, everything else is
    // delivered. A capture widget that is not shown ends it at once
    // (CaptureLost).
    ModalLoopEnd RunTracking(const Tracking& tracking, QPoint start, bool ctrl) noexcept;
    // End the loop (no effect once it has ended).
    void Accept() { End(ModalLoopEnd::Accepted); }
    void Cancel() { End(ModalLoopEnd::Cancelled); }
    bool Running() const { return running_ && !ended_; }

    QWidget* CaptureWidget() const;
    // Nothing shows the widgets' own cursors.
    void SetCursor(std::optional<Qt::CursorShape> cursor);
    // The pointer position in screen coordinates: where the last mouse event
    // the loop saw happened, else where the pointer was when the outermost
    // loop started.
    QPoint LastCursorPos() const { return lastCursor_; }

    // Ends the loop because of the exception (the first one is kept and goes
    // to the application's handler once the loop has unwound).
    void Fail(std::exception_ptr error);
    // With `keep`, an exception that ended the loop stays with the loop after
    // Run for the owner to take (and rethrow once its own state is tidy);
    // one not taken goes to the application's handler with the loop object.
    void KeepError(bool keep) { keepError_ = keep; }
    std::exception_ptr TakeError();

    // The innermost running loop of the thread, if any.
    static ModalMouseLoop* Current();
    // How many loops hold the mouse (nesting depth).
    static int CaptureLevel();

private:
    class EventWatcher;
    friend class EventWatcher;

    void End(ModalLoopEnd how);
    // Run's steps: taking the mouse and watching the application, the
    // event loop itself, and letting everything go again.
    void Install();
    void Spin();
    void Uninstall();
    bool Watch(QObject* receiver, QEvent* event);
    void TakeCapture();
    void ReleaseCapture();
    // Puts this loop's cursor on top of the override stack (innermost loop only).
    void ApplyCursor();

    struct Private;
    std::unique_ptr<Private> d_;
    QPoint lastCursor_;
    bool running_ = false;
    bool ended_ = false;
    bool keepError_ = false;
    ModalLoopEnd end_ = ModalLoopEnd::Quit;
};

// Runs f on the GUI thread. An exception it raises ends the innermost
// running modal loop (and reaches the application's handler when that loop
// has unwound); outside a loop it goes to the handler at once.
void GuardedInLoop(const std::function<void()>& f) noexcept;

// The pointer position as the running loop knows it; the cursor's position
// outside a loop.
QPoint CursorPos();

} // namespace dk
