#pragma once
// The modal mouse loop under dragging and sizing: while it runs, the capture
// widget holds the mouse, every mouse and key event of the application passes
// through the loop first, and the caller's tracking runs for each move to a
// new point and each change of the Ctrl key. A left release accepts; Escape,
// a left press or double click, a lost capture (the capture widget hidden or
// gone, another widget grabbing the mouse, the application deactivated) and
// the application quitting cancel. Other keys and buttons are swallowed;
// paints, timers and the rest are delivered as usual.

#include <QEventLoop>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <exception>
#include <functional>
#include <optional>

class QWidget;

namespace dk {

class TDkMouseLoop final : public QObject {
public:
    enum class Outcome { Accepted, Cancelled };

    // The loop grabs the mouse for `captureWidget`, which must stay shown
    // while the loop runs.
    explicit TDkMouseLoop(QWidget* captureWidget);
    ~TDkMouseLoop() override;
    TDkMouseLoop(const TDkMouseLoop&) = delete;
    TDkMouseLoop& operator=(const TDkMouseLoop&) = delete;

    // Called with the cursor and the Ctrl state on each move to a new point
    // and on each press or release of Ctrl. An exception it raises ends the
    // loop as cancelled and leaves Run.
    std::function<void(QPoint globalPos, bool ctrl)> OnTrack;
    // With this set, a press of any button cancels (button loops); otherwise
    // right and middle presses are swallowed.
    bool CancelOnAnyPress = false;

    // The cursor shown while the loop runs; nothing shows the usual cursors.
    void SetCursor(std::optional<Qt::CursorShape> shape);

    // Runs until accepted or cancelled. `start` and `ctrl` are the state the
    // loop starts from (the caller has done its first step).
    Outcome Run(QPoint start, bool ctrl);
    // Ends the running loop.
    void End(Outcome outcome);

    QPoint LastPos() const { return lastPos_; }
    bool Ctrl() const { return ctrl_; }
    bool Running() const { return running_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Track(QPoint pos, bool ctrl);

    QPointer<QWidget> capture_;
    QEventLoop loop_;
    std::optional<Outcome> outcome_;
    std::exception_ptr error_;
    QPoint lastPos_;
    bool ctrl_ = false;
    bool running_ = false;
    bool cursorPushed_ = false;
};

} // namespace dk
