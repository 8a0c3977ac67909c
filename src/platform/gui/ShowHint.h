#pragma once
// Whether a window shows hints, and how its controls follow it, and the
// hint taken away when something covers it. A widget's
// own value is false until set; a widget that follows its parent (the
// default, like every control of a form) takes the value of the nearest
// ancestor that does not. Setting a value tells every widget below, which
// receives a ShowHintChangedEvent; a widget that moves to another parent
// gets Qt's ParentChange and reads the value again.

#include <QEvent>

class QWidget;

namespace plat {

// The widget's own value (false while never set).
void SetShowHint(QWidget& widget, bool value);
// Whether the widget takes its parent's value (true while never set).
void SetParentShowHint(QWidget& widget, bool value);
bool ParentShowHint(const QWidget& widget);

// The value in effect: the widget's own one unless it follows its parent.
bool ShowHint(const QWidget& widget);

// Sent to every widget below one whose value was set.
QEvent::Type ShowHintChangedEvent();

// Takes away the hint the application shows, at once (a hint told to hide
// lingers for a moment): what it pointed at is covered or gone, as when a
// pop-up opens over it.
void CancelHint();

} // namespace plat
