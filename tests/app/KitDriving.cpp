#include "KitDriving.h"

#include "app/kit/KitClasses.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace kittest {

ModalMenus::ModalMenus() {
    kit::SetPopupMenusModal(true);
}

ModalMenus::~ModalMenus() {
    kit::SetPopupMenusModal(false);
}

void Later(std::function<void()> step) {
    QMetaObject::invokeMethod(qApp, std::move(step), Qt::QueuedConnection);
}

void Mouse(QEvent::Type type, QPoint global, Qt::MouseButton button, QWidget* fallback) {
    QWidget* target = QWidget::mouseGrabber();
    if (target == nullptr) {
        target = QApplication::widgetAt(global);
    }
    if (target == nullptr) {
        target = fallback;
    }
    if (target == nullptr) {
        return;
    }
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::MouseButtons();
    QMouseEvent event(type, target->mapFromGlobal(global), global,
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void ClickAt(QPoint global, Qt::MouseButton button, QWidget* fallback) {
    Mouse(QEvent::MouseMove, global, Qt::NoButton, fallback);
    Mouse(QEvent::MouseButtonPress, global, button, fallback);
    Mouse(QEvent::MouseButtonRelease, global, button, fallback);
}

void Key(int key, Qt::KeyboardModifiers modifiers, const QString& text, QWidget* fallback) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) {
        target = fallback;
    }
    if (target == nullptr) {
        return;
    }
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

} // namespace kittest
