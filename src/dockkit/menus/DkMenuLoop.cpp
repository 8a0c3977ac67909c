#include "dockkit/menus/DkMenuLoop.h"

#include "dockkit/common/DkModalLoop.h"
#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView/DkView.h"
#include "dockkit/menus/DkPopupWindow.h"

#include "platform/core/Guarded.h"
#include "platform/gui/Sound.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QToolTip>
#include <QWheelEvent>

#include <optional>

namespace dk {

namespace {

MenuHintHandler& HintHandler() {
    thread_local MenuHintHandler handler;
    return handler;
}

// The part of a hint after its "|", or all of it.
QString LongHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

// A press outside the menus ends the loop and then reaches what lies under
// it, as if the menus had not been there.
struct HeldPress {
    QPointer<QObject> receiver;
    QEvent::Type type = QEvent::MouseButtonPress;
    QPoint global;
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
};

void Redeliver(const HeldPress& press) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [press] {
            plat::Guarded([&] {
                QWidget* target = QApplication::widgetAt(press.global);
                auto* meant = qobject_cast<QWidget*>(press.receiver.data());
                if (meant != nullptr && qobject_cast<TDkPopupWindow*>(meant->window()) == nullptr &&
                    meant->isVisible()) {
                    target = meant;
                }
                if (target == nullptr) {
                    return;
                }
                QMouseEvent event(press.type, target->mapFromGlobal(press.global), press.global,
                                  press.button, press.buttons, press.modifiers);
                QApplication::sendEvent(target, &event);
            });
        },
        Qt::QueuedConnection);
}

class MenuLoop {
public:
    MenuLoop(TDkView* view, const MenuLoopOptions& options)
        : view_(view), options_(options), modal_(view->Window()) {}

    TDkDoneAction Run();
    void AfterMessage();
    TDkView* View() const { return view_; }

    static MenuLoop*& Current() {
        thread_local MenuLoop* current = nullptr;
        return current;
    }

private:
    struct Target {
        TDkView* View = nullptr;
        TDkItemViewer* Viewer = nullptr;
        QPoint At; // relative to the viewer
    };

    void Start();
    bool Filter(QObject* receiver, QEvent* event);
    void Press(QObject* receiver, const QMouseEvent& event);
    void Release(const QMouseEvent& event);
    void Move(const QMouseEvent& event);
    void Wheel(const QWheelEvent& event);
    void Key(const QKeyEvent& event);
    void Char(QChar ch);
    void UpdateHover();
    Target ViewerForMouse(QPoint point);
    bool InPopupChain(QPoint point);
    bool ButtonHeld() const;

    QPointer<TDkView> view_;
    MenuLoopOptions options_;
    ModalMouseLoop modal_;
    Qt::MouseButtons buttons_;
    bool mouseDownOnMenu_ = false;
    QPoint lastMove_;
    bool readCursor_ = false;
    QString hint_;
    std::optional<HeldPress> heldPress_;
};

bool MenuLoop::ButtonHeld() const {
    return buttons_.testFlag(Qt::LeftButton) ||
           (options_.TrackRightButton && buttons_.testFlag(Qt::RightButton));
}

bool MenuLoop::InPopupChain(QPoint point) {
    for (TDkView* view = view_; view != nullptr; view = view->OpenView()) {
        if (qobject_cast<TDkPopupWindow*>(view->Window()) != nullptr &&
            view->PointInWindow(point)) {
            return true;
        }
    }
    return false;
}

MenuLoop::Target MenuLoop::ViewerForMouse(QPoint point) {
    const auto at = [&](TDkView* view, TDkItemViewer* viewer) {
        const QPoint client = view->ClientFromScreen(point);
        return Target{view, viewer,
                      client - QPoint(viewer->BoundsRect.Left, viewer->BoundsRect.Top)};
    };
    for (TDkView* view = view_; view != nullptr; view = view->OpenView()) {
        if (view->ViewerCapture() && view->Selected() != nullptr) {
            return at(view, view->Selected());
        }
    }
    for (TDkView* view = view_; view != nullptr; view = view->OpenView()) {
        TDkItemViewer* selected = view->Selected();
        if (selected != nullptr && view->PointInWindow(point) &&
            view->ViewerFromPoint(view->ClientFromScreen(point)) == selected) {
            return at(view, selected);
        }
    }
    for (TDkView* view = view_; view != nullptr; view = view->OpenView()) {
        if (view->PointInWindow(point)) {
            return Target{view, nullptr, QPoint()};
        }
    }
    return {};
}

void MenuLoop::Start() {
    TDkView* view = view_;
    if (options_.InitialMouseDown) {
        buttons_ = Qt::LeftButton;
        if (TDkItemViewer* selected = view->Selected()) {
            const QPoint client = view->ClientFromScreen(modal_.LastCursorPos());
            mouseDownOnMenu_ = false;
            selected->MouseDown(false, client.x() - selected->BoundsRect.Left,
                                client.y() - selected->BoundsRect.Top, mouseDownOnMenu_);
        }
        if (view_ == nullptr || view_->ModalEnded()) {
            modal_.Accept();
            return;
        }
    }
    if (options_.DropDownMode) {
        view_->OpenChildPopup(options_.SelectFirst);
    }
    AfterMessage();
}

bool MenuLoop::Filter(QObject* receiver, QEvent* event) {
    if (view_ == nullptr) {
        modal_.Cancel();
        return false;
    }
    if (event->type() == TDkView::ModalWakeEvent()) {
        // Ended from outside: no input need come first.
        AfterMessage();
        return true;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        Press(receiver, *static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseButtonRelease:
        Release(*static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseMove:
        Move(*static_cast<QMouseEvent*>(event));
        break;
    case QEvent::Wheel:
        Wheel(*static_cast<QWheelEvent*>(event));
        break;
    case QEvent::KeyPress:
        Key(*static_cast<QKeyEvent*>(event));
        break;
    case QEvent::ShortcutOverride:
        // Taken, so that no shortcut of the application fires: the key
        // comes to the loop as a key press.
        event->accept();
        return true;
    case QEvent::KeyRelease:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
    AfterMessage();
    return true;
}

void MenuLoop::Press(QObject* receiver, const QMouseEvent& event) {
    const QPoint point = event.globalPosition().toPoint();
    buttons_ = event.buttons();
    const Qt::MouseButton button = event.button();
    if (button != Qt::LeftButton && button != Qt::RightButton) {
        return;
    }
    TDkView* loop = view_;
    if (!InPopupChain(point)) {
        const bool onToolbar =
            loop->IsToolbar() && loop->PointInWindow(point) &&
            loop->Window()->contentsRect().contains(loop->Window()->mapFromGlobal(point));
        if (!onToolbar) {
            heldPress_ = HeldPress{receiver, event.type(),    point,
                                   button,   event.buttons(), event.modifiers()};
            loop->EndModal();
            return;
        }
        if (button == Qt::LeftButton) {
            loop->TrackMouse(point, true);
            const TDkItemViewer* selected = loop->Selected();
            if (selected == nullptr || !loop->MouseOverSelected() ||
                selected->Item()->HasStyle(StyleClicksTransparent)) {
                loop->EndModal();
                return;
            }
        }
    }
    if (button == Qt::RightButton && !options_.TrackRightButton) {
        return;
    }
    QToolTip::hideText();
    loop->SetState(vsMouseUpPending, false);
    loop->TrackMouse(point, true);
    const Target target = ViewerForMouse(point);
    if (target.Viewer != nullptr) {
        mouseDownOnMenu_ = false;
        target.Viewer->MouseDown(event.type() == QEvent::MouseButtonDblClick, target.At.x(),
                                 target.At.y(), mouseDownOnMenu_);
    }
    readCursor_ = true;
}

void MenuLoop::Release(const QMouseEvent& event) {
    const QPoint point = event.globalPosition().toPoint();
    buttons_ = event.buttons();
    const Qt::MouseButton button = event.button();
    if (button != Qt::LeftButton && !(button == Qt::RightButton && options_.TrackRightButton)) {
        return;
    }
    view_->TrackMouse(point, false);
    const Target target = ViewerForMouse(point);
    if (target.Viewer != nullptr) {
        target.Viewer->MouseUp(target.At.x(), target.At.y(), mouseDownOnMenu_);
    } else if (target.View == nullptr || (target.View == view_ && view_->IsToolbar())) {
        if (view_->HasState(vsMouseUpPending)) {
            view_->SetState(vsMouseUpPending, false);
        } else {
            view_->EndModal();
        }
    }
    readCursor_ = true;
}

void MenuLoop::Move(const QMouseEvent& event) {
    const QPoint point = event.globalPosition().toPoint();
    buttons_ = event.buttons();
    if (point == lastMove_) {
        return;
    }
    lastMove_ = point;
    view_->TrackMouse(point, ButtonHeld());
    const Target target = ViewerForMouse(point);
    if (target.Viewer != nullptr) {
        target.Viewer->MouseMove(target.At.x(), target.At.y());
    }
    readCursor_ = true;
}

void MenuLoop::Wheel(const QWheelEvent& event) {
    const Target target = ViewerForMouse(event.globalPosition().toPoint());
    if (target.Viewer != nullptr) {
        target.Viewer->MouseWheel(event.angleDelta().y(), target.At.x(), target.At.y());
    }
}

void MenuLoop::Key(const QKeyEvent& event) {
    QToolTip::hideText();
    int key = event.key();
    if (ButtonHeld() && key != Qt::Key_F1) {
        return;
    }
    const QPointer<TDkView> deepest = view_->DeepestOpenView();
    if (TDkItemViewer* selected = deepest->Selected()) {
        selected->KeyDown(key, event.modifiers());
    }
    if (key != 0 && deepest != nullptr) {
        deepest->KeyDown(key, event.modifiers());
    }
    if (key != 0 && view_ != nullptr && !event.text().isEmpty()) {
        Char(event.text().at(0));
    }
}

void MenuLoop::Char(QChar ch) {
    const QPointer<TDkView> deepest = view_->DeepestOpenView();
    bool unique = false;
    TDkItemViewer* found = deepest->FindAccelerator(ch, unique);
    if (found == nullptr) {
        QWidget* active = QApplication::activeWindow();
        if ((ch == u' ' || ch == u'-') && deepest == view_ && view_->IsToolbar() &&
            active != nullptr) {
            TDkDoneAction action;
            action.Kind = TDkDoneAction::SysKeyMenu;
            action.Window = active;
            action.Key = ch.unicode();
            view_->EndModalWithAction(action);
        } else {
            plat::MessageBeep();
        }
        return;
    }
    deepest->Select(found);
    if (unique && deepest != nullptr) {
        int key = Qt::Key_Return;
        if (TDkItemViewer* selected = deepest->Selected()) {
            selected->KeyDown(key, Qt::NoModifier);
        }
        if (key != 0 && deepest != nullptr) {
            deepest->KeyDown(key, Qt::NoModifier);
        }
    }
    if (deepest != nullptr) {
        deepest->ScrollSelectedIntoView();
    }
}

void MenuLoop::UpdateHover() {
    const QPoint point = modal_.LastCursorPos();
    view_->TrackMouse(point, false);
    if (view_ == nullptr) {
        return;
    }
    TDkView* view = view_->DeepestOpenView();
    while (view != nullptr && (view->Selected() == nullptr || view->Window() == nullptr)) {
        view = view->ParentView();
    }
    Qt::CursorShape cursor = Qt::ArrowCursor;
    if (view == nullptr) {
        QToolTip::hideText();
        modal_.SetCursor(cursor);
        return;
    }
    TDkItemViewer* selected = view->Selected();
    const bool hints = (view->Options() & voShowHints) != 0 ||
                       (selected->Item()->EffectiveOptions() & dkoShowHint) != 0;
    const QPoint client = view->ClientFromScreen(point);
    const QPoint origin(selected->BoundsRect.Left, selected->BoundsRect.Top);
    plat::TRect area;
    const QString hint = selected->HintToShow(client - origin, area);
    if (hints && !view->ViewerCapture() && !hint.isEmpty()) {
        QWidget* window = view->Window();
        const QRect bounds = area.ToQRect().translated(origin + window->contentsRect().topLeft());
        QToolTip::showText(point, hint, window, bounds);
    } else {
        QToolTip::hideText();
    }
    selected->GetCursor(client - QPoint(selected->BoundsRect.Left, selected->BoundsRect.Top),
                        cursor);
    modal_.SetCursor(cursor);
}

void MenuLoop::AfterMessage() {
    if (view_ == nullptr) {
        modal_.Cancel();
        return;
    }
    if (readCursor_) {
        readCursor_ = false;
        UpdateHover();
        if (view_ == nullptr) {
            modal_.Cancel();
            return;
        }
    }
    QString hint;
    for (TDkView* view = view_->DeepestOpenView(); view != nullptr; view = view->ParentView()) {
        if (view->Selected() != nullptr) {
            hint = LongHint(view->Selected()->Item()->Hint());
            break;
        }
        if (view == view_) {
            break;
        }
    }
    if (hint != hint_) {
        hint_ = hint;
        if (HintHandler()) {
            HintHandler()(hint);
        }
    }
    if (view_->ModalEnded()) {
        modal_.Accept();
    }
}

TDkDoneAction MenuLoop::Run() {
    TDkView* view = view_;
    view->ValidatePositions();
    view->SetState(vsDropDownMode, options_.DropDownMode);
    view->SetState(vsModal, true);
    view->ResetModal();
    MenuLoop* outer = std::exchange(Current(), this);
    modal_.KeepError(true);
    const ModalLoopEnd end =
        modal_.Run([this](QObject* receiver, QEvent* event) { return Filter(receiver, event); },
                   [this] {
                       lastMove_ = modal_.LastCursorPos();
                       Start();
                   });
    Current() = outer;
    TDkDoneAction done;
    if (view_ != nullptr) {
        for (TDkView* v = view_; v != nullptr; v = v->OpenView()) {
            v->SetViewerCapture(false);
        }
        if (end == ModalLoopEnd::Accepted && view_->ModalEnded()) {
            done = view_->DoneAction();
        }
        view_->SetState(vsModal, false);
        view_->ResetModal();
    }
    QToolTip::hideText();
    if (!hint_.isEmpty() && HintHandler()) {
        HintHandler()(QString());
    }
    if (heldPress_) {
        Redeliver(*heldPress_);
    }
    if (const std::exception_ptr error = modal_.TakeError()) {
        std::rethrow_exception(error);
    }
    return done;
}

} // namespace

TDkDoneAction RunMenuLoop(TDkView* view, const MenuLoopOptions& options) {
    if (view == nullptr || view->Window() == nullptr) {
        return {};
    }
    MenuLoop loop(view, options);
    return loop.Run();
}

TDkView* RunningMenuLoopView() {
    const MenuLoop* loop = MenuLoop::Current();
    return loop != nullptr ? loop->View() : nullptr;
}

void MenuLoopTimerDone() {
    if (MenuLoop* loop = MenuLoop::Current()) {
        loop->AfterMessage();
    }
}

MenuHintHandler SetMenuHintHandler(MenuHintHandler handler) {
    return std::exchange(HintHandler(), std::move(handler));
}

} // namespace dk
