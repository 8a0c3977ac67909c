#include "dockkit/docking/DkMouseLoop.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace dk {

TDkMouseLoop::TDkMouseLoop(QWidget* captureWidget) : capture_(captureWidget) {}

TDkMouseLoop::~TDkMouseLoop() {
    if (running_) {
        End(Outcome::Cancelled);
    }
    SetCursor(std::nullopt);
}

void TDkMouseLoop::SetCursor(std::optional<Qt::CursorShape> shape) {
    if (!shape) {
        if (cursorPushed_) {
            QGuiApplication::restoreOverrideCursor();
            cursorPushed_ = false;
        }
        return;
    }
    if (cursorPushed_) {
        QGuiApplication::changeOverrideCursor(QCursor(*shape));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(*shape));
        cursorPushed_ = true;
    }
}

TDkMouseLoop::Outcome TDkMouseLoop::Run(QPoint start, bool ctrl) {
    lastPos_ = start;
    ctrl_ = ctrl;
    outcome_.reset();
    error_ = nullptr;
    if (capture_.isNull() || !capture_->isVisible()) {
        return Outcome::Cancelled;
    }
    running_ = true;
    const QMetaObject::Connection gone =
        connect(capture_.data(), &QObject::destroyed, this, [this] { End(Outcome::Cancelled); });
    qApp->installEventFilter(this);
    capture_->grabMouse();
    loop_.exec();
    running_ = false;
    disconnect(gone);
    qApp->removeEventFilter(this);
    if (!capture_.isNull() && QWidget::mouseGrabber() == capture_) {
        capture_->releaseMouse();
    }
    SetCursor(std::nullopt);
    if (error_) {
        std::rethrow_exception(error_);
    }
    // Quitting the application ends every nested loop: that cancels.
    return outcome_.value_or(Outcome::Cancelled);
}

void TDkMouseLoop::End(Outcome outcome) {
    if (!outcome_) {
        outcome_ = outcome;
    }
    loop_.exit(0);
}

void TDkMouseLoop::Track(QPoint pos, bool ctrl) {
    const bool moved = pos != lastPos_;
    const bool ctrlChanged = ctrl != ctrl_;
    lastPos_ = pos;
    ctrl_ = ctrl;
    if ((!moved && !ctrlChanged) || !OnTrack || outcome_) {
        return;
    }
    try {
        OnTrack(pos, ctrl);
    } catch (...) {
        error_ = std::current_exception();
        End(Outcome::Cancelled);
    }
}

bool TDkMouseLoop::eventFilter(QObject* watched, QEvent* event) {
    if (outcome_) {
        // Ended: let the rest through until exec returns.
        return false;
    }
    const auto lostCapture = [this] {
        return capture_.isNull() || !capture_->isVisible() ||
               (QWidget::mouseGrabber() != nullptr && QWidget::mouseGrabber() != capture_);
    };
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (lostCapture()) {
            End(Outcome::Cancelled);
            return true;
        }
        Track(mouse->globalPosition().toPoint(), mouse->modifiers().testFlag(Qt::ControlModifier));
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton || CancelOnAnyPress || lostCapture()) {
            End(Outcome::Cancelled);
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            Track(mouse->globalPosition().toPoint(),
                  mouse->modifiers().testFlag(Qt::ControlModifier));
            End(lostCapture() ? Outcome::Cancelled : Outcome::Accepted);
        }
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            End(Outcome::Cancelled);
        } else if (key->key() == Qt::Key_Control) {
            Track(lastPos_, event->type() == QEvent::KeyPress);
        }
        return true;
    }
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
        return true;
    case QEvent::Hide:
        if (watched == capture_) {
            End(Outcome::Cancelled);
        }
        return false;
    case QEvent::ApplicationStateChange:
        if (watched == qApp && QGuiApplication::applicationState() != Qt::ApplicationActive &&
            QGuiApplication::applicationState() != Qt::ApplicationInactive) {
            // Suspended or hidden: the desktop took the mouse away.
            End(Outcome::Cancelled);
        }
        return false;
    case QEvent::ApplicationDeactivate:
        End(Outcome::Cancelled);
        return false;
    default:
        return false;
    }
}

} // namespace dk
