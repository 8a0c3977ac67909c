#include "dockkit/common/DkModalLoop.h"

#include "platform/core/Guarded.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace dk {

namespace {

// The running loops of the thread, innermost last.
std::vector<ModalMouseLoop*>& Loops() {
    thread_local std::vector<ModalMouseLoop*> loops;
    return loops;
}

// The widgets that hold the mouse for the running loops, innermost last.
std::vector<QPointer<QWidget>>& Captures() {
    thread_local std::vector<QPointer<QWidget>> captures;
    return captures;
}

void Report(const std::exception_ptr& error) noexcept {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        plat::HandleException(e);
    } catch (...) {
        plat::HandleUnknownException();
    }
}

bool IsMouseEvent(QEvent::Type type) {
    return type == QEvent::MouseMove || type == QEvent::MouseButtonPress ||
           type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick;
}

} // namespace

class ModalMouseLoop::EventWatcher final : public QObject {
public:
    explicit EventWatcher(ModalMouseLoop* loop) : loop_(loop) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return loop_->Watch(watched, event);
    }

private:
    ModalMouseLoop* loop_;
};

struct ModalMouseLoop::Private {
    explicit Private(ModalMouseLoop* loop) : watcher(loop) {}
    QPointer<QWidget> capture;
    std::optional<Qt::CursorShape> cursor;
    std::optional<Qt::CursorShape> applied; // this loop's entry on the override stack
    Filter filter;
    EventWatcher watcher;
    QEventLoop* eventLoop = nullptr;
    std::exception_ptr error;
};

ModalMouseLoop::ModalMouseLoop(QWidget* captureWidget, std::optional<Qt::CursorShape> cursor)
    : d_(std::make_unique<Private>(this)) {
    d_->capture = captureWidget;
    d_->cursor = cursor;
}

ModalMouseLoop::~ModalMouseLoop() {
    if (d_->error) {
        Report(std::exchange(d_->error, nullptr));
    }
}

std::exception_ptr ModalMouseLoop::TakeError() {
    return std::exchange(d_->error, nullptr);
}

QWidget* ModalMouseLoop::CaptureWidget() const {
    return d_->capture;
}

ModalMouseLoop* ModalMouseLoop::Current() {
    const auto& loops = Loops();
    return loops.empty() ? nullptr : loops.back();
}

int ModalMouseLoop::CaptureLevel() {
    return static_cast<int>(Captures().size());
}

void ModalMouseLoop::SetCursor(std::optional<Qt::CursorShape> cursor) {
    d_->cursor = cursor;
    // Only the innermost loop's cursor is on top of the override stack; an
    // outer loop takes its change when the loops inside it have ended.
    if (running_ && Current() == this) {
        ApplyCursor();
    }
}

void ModalMouseLoop::ApplyCursor() {
    const std::optional<Qt::CursorShape> wanted = ended_ ? std::nullopt : d_->cursor;
    if (wanted == d_->applied) {
        return;
    }
    if (wanted && d_->applied) {
        QGuiApplication::changeOverrideCursor(QCursor(*wanted));
    } else if (wanted) {
        QGuiApplication::setOverrideCursor(QCursor(*wanted));
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
    d_->applied = wanted;
}

void ModalMouseLoop::TakeCapture() {
    auto& captures = Captures();
    const ModalMouseLoop* outer = Loops().size() > 1 ? Loops()[Loops().size() - 2] : nullptr;
    lastCursor_ = outer != nullptr ? outer->lastCursor_ : QCursor::pos();
    captures.push_back(d_->capture);
    if (d_->capture != nullptr) {
        d_->capture->grabMouse();
    }
    ApplyCursor();
}

void ModalMouseLoop::ReleaseCapture() {
    if (d_->applied) {
        QGuiApplication::restoreOverrideCursor();
        d_->applied.reset();
    }
    auto& captures = Captures();
    if (!captures.empty()) {
        captures.pop_back();
    }
    if (!captures.empty()) {
        // The mouse goes back to the loop around this one.
        if (QWidget* outer = captures.back()) {
            outer->grabMouse();
        }
    } else if (d_->capture != nullptr && QWidget::mouseGrabber() == d_->capture) {
        d_->capture->releaseMouse();
    }
}

void ModalMouseLoop::End(ModalLoopEnd how) {
    if (ended_) {
        return;
    }
    ended_ = true;
    end_ = how;
    if (d_->eventLoop != nullptr) {
        d_->eventLoop->exit();
    }
}

void ModalMouseLoop::Fail(std::exception_ptr error) {
    if (d_->error || !running_) {
        Report(error);
    } else {
        d_->error = std::move(error);
    }
    End(ModalLoopEnd::Failed);
}

bool ModalMouseLoop::Watch(QObject* receiver, QEvent* event) {
    if (ended_ || Current() != this) {
        return false;
    }
    const QEvent::Type type = event->type();
    if (IsMouseEvent(type) && !receiver->isWidgetType()) {
        // A window hands its mouse events on to the widget they are for
        // (here the capture), where the loop takes them. Taken from the
        // window, the window would never learn that the button went up, and
        // would keep sending the mouse to the pressed widget after the loop.
        return false;
    }
    if (IsMouseEvent(type)) {
        lastCursor_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        const QWidget* grabber = QWidget::mouseGrabber();
        if (grabber != nullptr && grabber != d_->capture) {
            End(ModalLoopEnd::CaptureLost);
            return false;
        }
    } else if (type == QEvent::Wheel) {
        lastCursor_ = static_cast<QWheelEvent*>(event)->globalPosition().toPoint();
    } else if (type == QEvent::Hide && receiver == d_->capture) {
        End(ModalLoopEnd::CaptureLost);
        return false;
    } else if (type == QEvent::Show && receiver->isWidgetType()) {
        const auto* widget = static_cast<QWidget*>(receiver);
        if (widget->isWindow() && widget->windowType() == Qt::Popup) {
            // Another menu or drop-down list took the mouse.
            End(ModalLoopEnd::CaptureLost);
            return false;
        }
    }
    if (!d_->filter) {
        return false;
    }
    try {
        return d_->filter(receiver, event);
    } catch (...) {
        Fail(std::current_exception());
        return true;
    }
}

ModalLoopEnd ModalMouseLoop::Run(Filter filter, const std::function<void()>& start) noexcept {
    if (running_ || ended_) {
        return end_;
    }
    d_->filter = std::move(filter);
    Loops().push_back(this);
    running_ = true;
    TakeCapture();
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(&d_->watcher);
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, &d_->watcher,
                     [this](Qt::ApplicationState state) {
                         if (state != Qt::ApplicationActive) {
                             End(ModalLoopEnd::Deactivated);
                         }
                     });
    if (d_->capture != nullptr) {
        QObject::connect(d_->capture, &QObject::destroyed, &d_->watcher,
                         [this] { End(ModalLoopEnd::CaptureLost); });
    }
    if (start) {
        try {
            start();
        } catch (...) {
            Fail(std::current_exception());
        }
    }
    if (!ended_ && d_->capture == nullptr) {
        End(ModalLoopEnd::CaptureLost);
    }
    if (!ended_) {
        QEventLoop loop;
        d_->eventLoop = &loop;
        try {
            loop.exec();
        } catch (...) {
            Fail(std::current_exception());
        }
        d_->eventLoop = nullptr;
        // Nothing ended it but the application quitting.
        if (!ended_) {
            ended_ = true;
            end_ = ModalLoopEnd::Quit;
        }
    }
    app->removeEventFilter(&d_->watcher);
    QObject::disconnect(qGuiApp, nullptr, &d_->watcher, nullptr);
    if (d_->capture != nullptr) {
        QObject::disconnect(d_->capture, nullptr, &d_->watcher, nullptr);
    }
    ReleaseCapture();
    auto& loops = Loops();
    loops.erase(std::remove(loops.begin(), loops.end(), this), loops.end());
    running_ = false;
    if (ModalMouseLoop* outer = Current(); outer != nullptr && outer->running_) {
        outer->ApplyCursor();
    }
    if (d_->error && !keepError_) {
        Report(std::exchange(d_->error, nullptr));
    }
    return end_;
}

ModalLoopEnd ModalMouseLoop::RunTracking(const Tracking& tracking, QPoint start,
                                         bool ctrl) noexcept {
    if (!running_ && !ended_ && (d_->capture == nullptr || !d_->capture->isVisible())) {
        // Nothing can hold the mouse for it.
        ended_ = true;
        end_ = ModalLoopEnd::CaptureLost;
    }
    QPoint lastPos = start;
    bool lastCtrl = ctrl;
    const auto track = [&](QPoint pos, bool ctrlDown) {
        const bool changed = pos != lastPos || ctrlDown != lastCtrl;
        lastPos = pos;
        lastCtrl = ctrlDown;
        if (changed && Running() && tracking.OnTrack) {
            tracking.OnTrack(pos, ctrlDown);
        }
    };
    return Run([&](QObject* /*receiver*/, QEvent* event) {
        switch (event->type()) {
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            track(mouse->globalPosition().toPoint(),
                  mouse->modifiers().testFlag(Qt::ControlModifier));
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton ||
                tracking.CancelOnAnyPress) {
                Cancel();
            }
            return true;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                track(mouse->globalPosition().toPoint(),
                      mouse->modifiers().testFlag(Qt::ControlModifier));
                Accept();
            }
            return true;
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Escape) {
                Cancel();
            } else if (key == Qt::Key_Control) {
                track(lastPos, event->type() == QEvent::KeyPress);
            }
            return true;
        }
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    });
}

void GuardedInLoop(const std::function<void()>& f) noexcept {
    try {
        f();
    } catch (...) {
        ModalMouseLoop* loop = ModalMouseLoop::Current();
        if (loop != nullptr && loop->Running()) {
            loop->Fail(std::current_exception());
        } else {
            Report(std::current_exception());
        }
    }
}

QPoint CursorPos() {
    const ModalMouseLoop* loop = ModalMouseLoop::Current();
    return loop != nullptr ? loop->LastCursorPos() : QCursor::pos();
}

} // namespace dk
