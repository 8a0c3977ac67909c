#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QPoint>
#include <QWidget>

// Mouse input at a screen point: to the widget holding the mouse, else to the
// widget there, else to `fallback`; nothing when there is none. `held` are
// the buttons down after the event.
inline void SendMouseAt(QEvent::Type type, QPoint global, Qt::MouseButton button,
                        Qt::MouseButtons held, QWidget* fallback) {
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
    QMouseEvent event(type, target->mapFromGlobal(global), global,
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}
