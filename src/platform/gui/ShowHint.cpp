#include "platform/gui/ShowHint.h"

#include <QCoreApplication>
#include <QVariant>
#include <QWidget>

namespace plat {

namespace {

constexpr const char* kOwnValue = "qvShowHint";
constexpr const char* kFollowsParent = "qvParentShowHint";

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

} // namespace plat
