#include "dockkit/menus/DkPopupMenu.h"

#include "platform/core/Guarded.h"

#include <QContextMenuEvent>
#include <QWidget>

class TDkPopupMenu::ContextWatcher final : public QObject {
public:
    explicit ContextWatcher(TDkPopupMenu* menu) : QObject(menu), menu_(menu) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ContextMenu || !menu_->AutoPopup() ||
            !watched->isWidgetType()) {
            return false;
        }
        auto* widget = static_cast<QWidget*>(watched);
        const auto* request = static_cast<QContextMenuEvent*>(event);
        const QPoint at = request->reason() == QContextMenuEvent::Keyboard
                              ? widget->mapToGlobal(QPoint(0, 0))
                              : request->globalPos();
        menu_->SetPopupComponent(widget);
        plat::Guarded([&] { menu_->Popup(at.x(), at.y()); });
        return true;
    }

private:
    TDkPopupMenu* menu_;
};

TDkPopupMenu::TDkPopupMenu(QObject* owner) : TDkPopupMenu(owner, new TDkRootItem) {}

TDkPopupMenu::TDkPopupMenu(QObject* owner, TDkRootItem* items) : QObject(owner), items_(items) {
    items_->setParent(this);
    items_->SetParentComponent(this);
    items_->OnClick = TDkCustomItem::TNotifyEvent(
        [this](QObject* sender) { DoPopup(sender == items_ ? this : sender); }, this);
}

TDkPopupMenu::~TDkPopupMenu() {
    delete items_;
    items_ = nullptr;
}

void TDkPopupMenu::DoPopup(QObject* sender) {
    if (OnPopup) {
        OnPopup(sender);
    }
}

void TDkPopupMenu::Popup(int x, int y) {
    items_->Popup(x, y, trackButton_ == dkRightButton, alignment_);
}

bool TDkPopupMenu::IsShortCut(const QKeyEvent& key) {
    return items_->IsShortCut(key);
}

void TDkPopupMenu::AttachTo(QWidget* widget) {
    if (widget == nullptr) {
        delete watcher_;
        watcher_ = nullptr;
        return;
    }
    if (watcher_ == nullptr) {
        watcher_ = new ContextWatcher(this);
    }
    widget->installEventFilter(watcher_);
}
