#pragma once
// Driving the kit's menus as a user does: the menu loop of a pop-up menu or
// a menu bar owns the mouse and the keys until it ends, so the input is
// queued before the loop starts and reaches the widgets the way the window
// system delivers it.

#include <QEvent>
#include <QPoint>
#include <QString>

#include <functional>

class QWidget;

namespace kittest {

// Pop-up menus opened through the interfaces run their menu loop while this
// lives.
class ModalMenus {
public:
    ModalMenus();
    ~ModalMenus();
    ModalMenus(const ModalMenus&) = delete;
    ModalMenus& operator=(const ModalMenus&) = delete;
};

// Runs the step from the event loop (inside a menu loop that runs by then),
// after what is queued already.
void Later(std::function<void()> step);

// Mouse input at a screen point: to the widget holding the mouse, else to
// the one under the point, else to `fallback`.
void Mouse(QEvent::Type type, QPoint global, Qt::MouseButton button = Qt::LeftButton,
           QWidget* fallback = nullptr);
void ClickAt(QPoint global, Qt::MouseButton button = Qt::LeftButton, QWidget* fallback = nullptr);
// A key press and release: to the focus widget, else to `fallback`.
void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {},
         QWidget* fallback = nullptr);

} // namespace kittest
