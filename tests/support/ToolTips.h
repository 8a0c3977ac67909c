#pragma once
// Tool tips as the application's hint machinery shows them: a help event at
// a point of a widget, answered by whatever tip the widget shows there.

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

// QToolTip::hideText() lets a shown tip linger for a moment; the next
// question must not read the last answer.
inline void HideToolTipNow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("qtooltip_label") && w->isVisible()) {
            w->hide();
        }
    }
}

// The tip showing now; empty when none is.
inline QString ShownToolTip() {
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// The tip shown when the pointer rests at the widget's point; empty when
// none is shown.
inline QString ToolTipAt(QWidget* widget, QPoint local) {
    HideToolTipNow();
    QHelpEvent help(QEvent::ToolTip, local, widget->mapToGlobal(local));
    QApplication::sendEvent(widget, &help);
    return ShownToolTip();
}
