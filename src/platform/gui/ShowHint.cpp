#include "platform/gui/ShowHint.h"

#include <QApplication>
#include <QToolTip>
#include <QVariant>
#include <QWidget>

namespace plat {

namespace {

constexpr const char* kOwnValue = "qvShowHint";
constexpr const char* kFollowsParent = "qvParentShowHint";
// The window the platform shows hints in.
constexpr const char* kHintWindowName = "qtooltip_label";

} // namespace

QEvent::Type ShowHintChangedEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void SetShowHint(QWidget& widget, bool value) {
    widget.setProperty(kOwnValue, value);
    widget.setProperty(kFollowsParent, false);
    // The children (direct or not) that may follow it hear of it.
    const QList<QWidget*> below = widget.findChildren<QWidget*>();
    for (QWidget* child : below) {
        QEvent changed(ShowHintChangedEvent());
        QCoreApplication::sendEvent(child, &changed);
    }
}

void SetParentShowHint(QWidget& widget, bool value) {
    widget.setProperty(kFollowsParent, value);
}

bool ParentShowHint(const QWidget& widget) {
    const QVariant follows = widget.property(kFollowsParent);
    return !follows.isValid() || follows.toBool();
}

bool ShowHint(const QWidget& widget) {
    const QWidget* w = &widget;
    // A window's controls follow it; the window itself has no parent to follow.
    while (ParentShowHint(*w) && !w->isWindow() && w->parentWidget() != nullptr) {
        w = w->parentWidget();
    }
    return w->property(kOwnValue).toBool();
}

void CancelHint() {
    if (!QToolTip::isVisible()) {
        return;
    }
    QToolTip::hideText();
    // The hint would fade for a moment over what covers it: it goes now.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String(kHintWindowName) && window->isVisible()) {
            window->hide();
        }
    }
}

} // namespace plat
