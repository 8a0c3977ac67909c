// Menus, menu items and submenus on the kit's themed items and pop-up menus.
// Each kit object carries the face the windows see as a child object.
#include "app/kit/KitClasses.h"
#include "app/kit/KitSupport.h"

#include "dockkit/items/DkCommand.h"
#include "dockkit/items/DkView.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/menus/DkPopupWindow.h"
#include "dockkit/themes/DkThemedItem.h"
#include "dockkit/themes/DkThemedPopup.h"

#include "platform/core/Guarded.h"
#include "platform/gui/ImageList.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <vector>

namespace kit {
namespace {

constexpr int kImageSize = 16;

bool& ModalMenus() {
    static bool modal = true;
    return modal;
}

// Clicks the item once the event loop runs, as a command chosen in a menu.
void ClickLater(TDkCustomItem* item) {
    TDkDoneAction done;
    done.Kind = TDkDoneAction::ClickItem;
    done.Item = item;
    dk::ProcessDoneAction(done);
}

// A window laid out for the subitems without being shown: what a menu
// measures as while it is closed.
class TMeasureWindow final : public TDkxPopupWindow {
public:
    using TDkxPopupWindow::TDkxPopupWindow;
    QSize sizeHint() const override {
        View()->UpdatePositions();
        return size();
    }
};

// Shows the image as the item's only image (none for a null image).
void ShowImage(TDkCustomItem& item, const QImage& image) {
    if (image.isNull()) {
        item.SetImageIndex(-1);
        return;
    }
    auto* images = item.findChild<plat::ImageList*>(QString(), Qt::FindDirectChildrenOnly);
    if (images == nullptr) {
        images = new plat::ImageList(kImageSize, kImageSize, &item);
        item.SetImages(images);
    }
    images->Clear();
    images->Add(image);
    item.SetImageIndex(0);
}

class TMenuFace;

std::vector<TMenuFace*>& LiveMenus() {
    static std::vector<TMenuFace*> menus;
    return menus;
}

// A face of a kit item: the item's name, caption, visibility and enabled
// state as the interface asks for them.
template <typename Interface, typename Item>
class TFace : public QObject, public Interface {
public:
    explicit TFace(Item* item) : QObject(item), item_(item) {}

    QString Name() const override { return item_->objectName(); }
    QString Caption() const override { return item_->Caption(); }
    void SetCaption(const QString& value) override { item_->SetCaption(value); }
    bool Visible() const override { return item_->Visible(); }
    void SetVisible(bool value) override { item_->SetVisible(value); }
    bool Enabled() const override { return item_->Enabled(); }
    void SetEnabled(bool value) override { item_->SetEnabled(value); }

protected:
    Item* item_;
};

// An item of its own: its clicks reach OnClick.
class TItemFace final : public TFace<IMenuItem, TDkCustomItem> {
public:
    explicit TItemFace(TDkCustomItem* item, bool ownClicks) : TFace(item) {
        if (ownClicks) {
            item->OnClick = TDkCustomItem::TNotifyEvent(
                [this](QObject*) {
                    if (OnClick) {
                        OnClick(this);
                    }
                },
                this);
        }
    }

    void Click() override {
        if (item_->Visible() && item_->Enabled()) {
            items::CloseMenus();
            ClickLater(item_);
        }
    }
};

// The items below one item: a pop-up menu's root or a submenu item.
class TMenuFace final : public QObject, public IPopupMenu {
public:
    TMenuFace(TDkCustomItem* root, QObject* owner) : QObject(owner), root_(root) {
        LiveMenus().push_back(this);
    }
    ~TMenuFace() override {
        std::erase(LiveMenus(), this);
        delete window_.data();
        delete measure_.data();
    }

    // A pop-up menu's name, or a submenu's.
    QString Name() const override {
        return qobject_cast<TDkPopupMenu*>(parent()) != nullptr ? parent()->objectName()
                                                                : root_->objectName();
    }
    QWidget* Widget() override {
        if (window_) {
            return window_;
        }
        if (!measure_) {
            measure_ = new TMeasureWindow(nullptr, root_, false);
        }
        return measure_;
    }
    IMenuItem* AddItem(const QString& name, const QString& caption) override {
        auto* item = new TDkxItem(root_);
        item->setObjectName(name);
        item->SetCaption(caption);
        root_->Add(item);
        return Keep(new TItemFace(item, true));
    }
    IMenuItem* AddAction(QAction* action) override {
        TDkCustomItem* item = items::NewActionItem(root_, action);
        root_->Add(item);
        return Keep(new TItemFace(item, false));
    }
    ISubmenuItem* AddSubmenu(const QString& name, const QString& caption) override {
        ISubmenuItem* submenu = items::AddSubmenu(*root_, name, caption);
        items_.push_back(submenu);
        return submenu;
    }
    void AddSeparator() override { root_->Add(new TDkxSeparatorItem(root_)); }
    void AddPalette(IToolPalette* palette) override { AddKitItem(KitItemOf(palette)); }
    void AddColorItem(IColorItem* item) override { AddKitItem(KitItemOf(item)); }
    int ItemCount() const override { return static_cast<int>(items_.size()); }
    IMenuItem* Items(int index) const override { return items_.at(static_cast<size_t>(index)); }
    IMenuItem* FindItem(const QString& name) const override {
        const auto found = std::find_if(items_.begin(), items_.end(),
                                        [&](const IMenuItem* i) { return i->Name() == name; });
        return found == items_.end() ? nullptr : *found;
    }
    void Popup(int X, int Y) override {
        CloseUp();
        window_ = root_->CreatePopup(nullptr, nullptr, false, false, false, QPoint(X, Y), dkpaLeft);
        if (window_ && ModalMenus()) {
            QPointer<TDkPopupWindow> window = window_;
            QMetaObject::invokeMethod(
                window_, [this, window] { plat::guarded([&] { RunLoop(window); }); },
                Qt::QueuedConnection);
        }
    }
    bool IsOpen() const override {
        if (window_ && window_->isVisible()) {
            return true;
        }
        // Opened from a bar or a parent menu in the running menu loop.
        for (TDkView* view = dk::RunningMenuLoopView(); view != nullptr; view = view->OpenView()) {
            if (view->IsPopup() && view->ParentItem() == root_ && view->Window() != nullptr &&
                view->Window()->isVisible()) {
                return true;
            }
        }
        return false;
    }
    void CloseUp() override {
        if (!window_) {
            return;
        }
        TDkPopupView* view = window_->View();
        if (view->HasState(vsModal)) {
            // The loop ends once the event loop runs; the window is kept
            // with it.
            window_->hide();
            view->EndModal();
            window_ = nullptr;
        } else {
            root_->KeepPopupWindow(window_);
            window_ = nullptr;
        }
    }

    TDkCustomItem* Root() const { return root_; }

private:
    IMenuItem* Keep(IMenuItem* item) {
        items_.push_back(item);
        return item;
    }
    void AddKitItem(TDkCustomItem* item) {
        if (item != nullptr && item->Parent() == nullptr) {
            root_->Add(item);
        }
    }
    // The menu takes the mouse and the keys until it closes; the command
    // chosen runs afterwards.
    void RunLoop(const QPointer<TDkPopupWindow>& window) {
        if (!window || window != window_ || !window->isVisible() ||
            dk::RunningMenuLoopView() != nullptr) {
            return;
        }
        if (QGuiApplication::mouseButtons() != Qt::NoButton) {
            window->View()->SetState(vsMouseUpPending, true);
        }
        dk::MenuLoopOptions options;
        options.TrackRightButton = true;
        const TDkDoneAction done = dk::RunMenuLoop(window->View(), options);
        // The window is kept for the next time once its loop has ended, also
        // when CloseUp ended it.
        if (window) {
            root_->KeepPopupWindow(window);
        }
        if (window_ == window) {
            window_ = nullptr;
        }
        dk::ProcessDoneAction(done);
    }

    TDkCustomItem* root_;
    QPointer<TDkPopupWindow> window_;
    QPointer<TMeasureWindow> measure_;
    std::vector<IMenuItem*> items_;
};

class TSubmenuFace final : public TFace<ISubmenuItem, TDkxSubmenuItem> {
public:
    explicit TSubmenuFace(TDkxSubmenuItem* item) : TFace(item), menu_(new TMenuFace(item, this)) {}

    void Click() override {
        if (item_->Visible() && item_->Enabled()) {
            const QPoint at = QCursor::pos();
            menu_->Popup(at.x(), at.y());
        }
    }

    IMenu* Menu() override { return menu_; }
    QString Hint() const override { return item_->Hint(); }
    void SetHint(const QString& value) override { item_->SetHint(value); }
    void SetImage(const QImage& image) override {
        image_ = image;
        Repaint();
    }
    void Repaint() override {
        if (image_.isNull() && !OnDrawImage) {
            normal_ = disabled_ = QImage();
        } else {
            normal_ = Draw(true);
            disabled_ = Draw(false);
        }
        ShowImage(*item_, normal_);
        item_->Change(false);
    }
    QImage ItemImage(bool enabled) const override { return enabled ? normal_ : disabled_; }

private:
    QImage Draw(bool enabled) {
        const QRect rect(0, 0, kImageSize, kImageSize);
        QImage result(rect.size(), QImage::Format_ARGB32_Premultiplied);
        result.fill(Qt::transparent);
        QPainter p(&result);
        if (!image_.isNull()) {
            QPixmap base = QPixmap::fromImage(image_);
            if (!enabled) {
                QStyleOption option;
                base = QApplication::style()->generatedIconPixmap(QIcon::Disabled, base, &option);
            }
            p.drawPixmap(rect, base);
        }
        if (OnDrawImage) {
            OnDrawImage(this, p, rect, enabled);
        }
        return result;
    }

    TMenuFace* menu_;
    QImage image_;
    QImage normal_;
    QImage disabled_;
};

// Keeps the item's image the action's icon.
void FollowIcon(TDkCustomItem* item, QAction* action) {
    const auto follow = [item, action] {
        const QIcon icon = action->icon();
        ShowImage(
            *item,
            icon.isNull()
                ? QImage()
                : icon.pixmap(kImageSize, kImageSize).toImage().scaled(kImageSize, kImageSize));
    };
    follow();
    plat::ConnectGuarded(action, &QAction::changed, item, follow);
}

} // namespace

namespace items {

ISubmenuItem* AddSubmenu(TDkCustomItem& parent, const QString& name, const QString& caption) {
    auto* item = new TDkxSubmenuItem(&parent);
    item->setObjectName(name);
    item->SetCaption(caption);
    parent.Add(item);
    return new TSubmenuFace(item);
}

TDkCustomItem* NewActionItem(QObject* owner, QAction* action) {
    auto* item = new TDkxItem(owner);
    item->setObjectName(action->objectName());
    item->SetAction(action);
    FollowIcon(item, action);
    return item;
}

void CloseMenus() {
    for (TMenuFace* menu : std::vector<TMenuFace*>(LiveMenus())) {
        menu->CloseUp();
    }
    EndMenuLoop();
}

} // namespace items

void EndMenuLoop() {
    TDkView* view = dk::RunningMenuLoopView();
    if (view == nullptr || view->Window() == nullptr) {
        return;
    }
    // A loop that has ended already keeps the command it ended with.
    if (!view->ModalEnded()) {
        view->EndModal();
    }
}

void SetPopupMenusModal(bool value) {
    ModalMenus() = value;
}

IPopupMenu* CreatePopupMenu(QWidget& form, const QString& name) {
    auto* menu = new TDkxPopupMenu(&form);
    menu->setObjectName(name);
    return new TMenuFace(menu->Items(), menu);
}

TDkxPopupMenu* KitPopupMenu(IPopupMenu* menu) {
    auto* face = dynamic_cast<TMenuFace*>(menu);
    return face != nullptr ? qobject_cast<TDkxPopupMenu*>(face->parent()) : nullptr;
}

TDkCustomItem* KitItemOf(IMenuItem* item) {
    auto* object = dynamic_cast<QObject*>(item);
    return object != nullptr ? qobject_cast<TDkCustomItem*>(object->parent()) : nullptr;
}

} // namespace kit
