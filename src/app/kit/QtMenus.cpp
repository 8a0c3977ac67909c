// Menus, menu items, submenus and menu bars on plain Qt widgets.
#include "app/kit/QtKitSupport.h"

#include "platform/core/Guarded.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QStyle>
#include <QStyleOption>

#include <memory>
#include <vector>

namespace kit {
namespace {

constexpr int kImageSize = 16;

void CloseMenus() {
    while (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
}

// Runs from the event loop, after whatever handling is under way.
template <typename F>
void Later(QObject* context, F f) {
    QMetaObject::invokeMethod(
        context, [f] { plat::guarded(f); }, Qt::QueuedConnection);
}

// An item of its own: the menu's action stands for it.
class TQtMenuItem final : public IMenuItem, public qt::IQtItem {
public:
    explicit TQtMenuItem(QAction* action) : action_(action) {
        QObject::connect(action, &QAction::triggered, action, [this] {
            Later(action_, [this] {
                if (OnClick) {
                    OnClick(this);
                }
            });
        });
    }

    QAction* QtAction() override { return action_; }
    QString Name() const override { return action_->objectName(); }
    QString Caption() const override { return action_->text(); }
    void SetCaption(const QString& value) override { action_->setText(value); }
    bool Visible() const override { return action_->isVisible(); }
    void SetVisible(bool value) override { action_->setVisible(value); }
    bool Enabled() const override { return action_->isEnabled(); }
    void SetEnabled(bool value) override { action_->setEnabled(value); }
    void Click() override {
        if (action_->isVisible() && action_->isEnabled()) {
            CloseMenus();
            action_->trigger();
        }
    }

private:
    QAction* action_;
};

// An item that follows an action of the window. The menu shows an action of
// its own, so that the window's action keeps the one shortcut, and the
// window's action runs once the menu has closed.
class TQtActionItem final : public IMenuItem, public qt::IQtItem {
public:
    TQtActionItem(QMenu& menu, QAction* source) : source_(source), proxy_(new QAction(&menu)) {
        proxy_->setObjectName(source->objectName());
        Follow();
        QObject::connect(source, &QAction::changed, proxy_, [this] { Follow(); });
        QObject::connect(proxy_, &QAction::triggered, proxy_, [this] {
            Later(proxy_, [this] {
                if (source_) {
                    source_->trigger();
                }
            });
        });
    }

    QAction* QtAction() override { return proxy_; }
    QString Name() const override { return proxy_->objectName(); }
    QString Caption() const override { return caption_; }
    void SetCaption(const QString& value) override {
        caption_ = value;
        ShowCaption();
    }
    bool Visible() const override { return proxy_->isVisible(); }
    void SetVisible(bool value) override { proxy_->setVisible(value); }
    bool Enabled() const override { return proxy_->isEnabled(); }
    void SetEnabled(bool value) override { proxy_->setEnabled(value); }
    void Click() override {
        if (proxy_->isVisible() && proxy_->isEnabled()) {
            CloseMenus();
            proxy_->trigger();
        }
    }

private:
    void Follow() {
        caption_ = source_->text();
        ShowCaption();
        proxy_->setIcon(source_->icon());
        proxy_->setStatusTip(source_->statusTip());
        proxy_->setCheckable(source_->isCheckable());
        proxy_->setChecked(source_->isChecked());
        proxy_->setEnabled(source_->isEnabled());
        proxy_->setVisible(source_->isVisible());
    }
    // The shortcut is shown, not registered a second time.
    void ShowCaption() {
        const QString keys =
            source_ ? source_->shortcut().toString(QKeySequence::NativeText) : QString();
        proxy_->setText(keys.isEmpty() ? caption_ : caption_ + u'\t' + keys);
    }

    QPointer<QAction> source_;
    QAction* proxy_;
    QString caption_;
};

class TQtMenu final : public QMenu, public IPopupMenu {
public:
    explicit TQtMenu(QWidget* owner) : QMenu(owner) {
        setSeparatorsCollapsible(true);
        setToolTipsVisible(true);
    }

    QString Name() const override { return objectName(); }
    QWidget* Widget() override { return this; }
    IMenuItem* AddItem(const QString& name, const QString& caption) override {
        QAction* action = addAction(caption);
        action->setObjectName(name);
        return Keep(std::make_unique<TQtMenuItem>(action));
    }
    IMenuItem* AddAction(QAction* action) override {
        return Keep(std::make_unique<TQtActionItem>(*this, action));
    }
    ISubmenuItem* AddSubmenu(const QString& name, const QString& caption) override {
        auto item = qt::NewSubmenuItem(*this, name, caption);
        ISubmenuItem* submenu = item.get();
        Keep(std::move(item));
        return submenu;
    }
    void AddSeparator() override { addSeparator(); }
    void AddPalette(IToolPalette* palette) override { addAction(qt::QtActionOf(*palette)); }
    void AddColorItem(IColorItem* item) override { addAction(qt::QtActionOf(*item)); }
    int ItemCount() const override { return static_cast<int>(items_.size()); }
    IMenuItem* Items(int index) const override { return items_.at(index).get(); }
    IMenuItem* FindItem(const QString& name) const override {
        for (const auto& item : items_) {
            if (item->Name() == name) {
                return item.get();
            }
        }
        return nullptr;
    }
    void Popup(int X, int Y) override { popup(QPoint(X, Y)); }
    bool IsOpen() const override { return isVisible(); }
    void CloseUp() override { close(); }

private:
    IMenuItem* Keep(std::unique_ptr<IMenuItem> item) {
        addAction(qt::QtActionOf(*item));
        items_.push_back(std::move(item));
        return items_.back().get();
    }

    std::vector<std::unique_ptr<IMenuItem>> items_;
};

class TQtSubmenuItem final : public ISubmenuItem, public qt::IQtItem {
public:
    TQtSubmenuItem(QWidget& owner, const QString& name, const QString& caption)
        : menu_(new TQtMenu(&owner)) {
        menu_->setObjectName(name);
        menu_->setTitle(caption);
    }

    QAction* QtAction() override { return menu_->menuAction(); }
    QString Name() const override { return menu_->objectName(); }
    QString Caption() const override { return menu_->title(); }
    void SetCaption(const QString& value) override { menu_->setTitle(value); }
    bool Visible() const override { return menu_->menuAction()->isVisible(); }
    void SetVisible(bool value) override { menu_->menuAction()->setVisible(value); }
    bool Enabled() const override { return menu_->menuAction()->isEnabled(); }
    void SetEnabled(bool value) override { menu_->menuAction()->setEnabled(value); }
    void Click() override {
        if (Visible() && Enabled()) {
            menu_->Popup(QCursor::pos().x(), QCursor::pos().y());
        }
    }

    IMenu* Menu() override { return menu_; }
    QString Hint() const override { return menu_->menuAction()->toolTip(); }
    void SetHint(const QString& value) override { menu_->menuAction()->setToolTip(value); }
    void SetImage(const QImage& image) override {
        image_ = image;
        Repaint();
    }
    void Repaint() override {
        if (image_.isNull() && !OnDrawImage) {
            menu_->setIcon(QIcon());
            return;
        }
        normal_ = Draw(true);
        disabled_ = Draw(false);
        QIcon icon;
        icon.addPixmap(QPixmap::fromImage(normal_), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(disabled_), QIcon::Disabled);
        menu_->setIcon(icon);
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
                option.initFrom(menu_);
                base = menu_->style()->generatedIconPixmap(QIcon::Disabled, base, &option);
            }
            p.drawPixmap(rect, base);
        }
        if (OnDrawImage) {
            OnDrawImage(this, p, rect, enabled);
        }
        return result;
    }

    TQtMenu* menu_;
    QImage image_;
    QImage normal_;
    QImage disabled_;
};

class TQtMenuBar final : public QMenuBar, public IMenuBar {
public:
    explicit TQtMenuBar(QWidget* form) : QMenuBar(form) {}

    QWidget* Widget() override { return this; }
    ISubmenuItem* AddSubmenu(const QString& name, const QString& caption) override {
        submenus_.push_back(qt::NewSubmenuItem(*this, name, caption));
        addAction(qt::QtActionOf(*submenus_.back()));
        return submenus_.back().get();
    }
    int ItemCount() const override { return static_cast<int>(submenus_.size()); }
    ISubmenuItem* Items(int index) const override { return submenus_.at(index).get(); }

private:
    std::vector<std::unique_ptr<ISubmenuItem>> submenus_;
};

} // namespace

std::unique_ptr<ISubmenuItem> qt::NewSubmenuItem(QWidget& owner, const QString& name,
                                                 const QString& caption) {
    return std::make_unique<TQtSubmenuItem>(owner, name, caption);
}

IMenuBar* CreateMenuBar(QWidget& form, const QString& name) {
    auto* bar = new TQtMenuBar(&form);
    bar->setObjectName(name);
    if (auto* window = qobject_cast<QMainWindow*>(&form)) {
        window->setMenuBar(bar);
    } else {
        qt::PlaceAtTop(form, *bar, true);
    }
    return bar;
}

IPopupMenu* CreatePopupMenu(QWidget& form, const QString& name) {
    auto* menu = new TQtMenu(&form);
    menu->setObjectName(name);
    return menu;
}

} // namespace kit
