#pragma once
// What the Qt stand-ins share among themselves; nothing outside src/app/kit
// includes this.

#include "app/kit/Kit.h"

#include <memory>

class QAction;
class QWidget;

namespace kit::qt {

// A stand-in that a Qt menu or tool bar holds through an action of its own.
class IQtItem {
public:
    virtual ~IQtItem() = default;
    virtual QAction* QtAction() = 0;
};

// The action standing for an item, palette or colour item made by the
// stand-ins; null for anything else.
template <typename Item>
QAction* QtActionOf(Item& item) {
    auto* qt = dynamic_cast<IQtItem*>(&item);
    return qt ? qt->QtAction() : nullptr;
}

// A submenu item whose menu belongs to the owner widget.
std::unique_ptr<ISubmenuItem> NewSubmenuItem(QWidget& owner, const QString& name,
                                             const QString& caption);

// Places in a form that is not a main window: above the contents of its
// layout (menu bar first, then tool bars in order) and below them. A form
// without a layout gets a vertical one.
void PlaceAtTop(QWidget& form, QWidget& bar, bool first);
void PlaceAtBottom(QWidget& form, QWidget& widget);

} // namespace kit::qt
