// The main window's bars, docks, splitters, pop-up menus and placement on plain Qt widgets.
#include "app/kit/Kit.h"

#include "platform/core/Guarded.h"
#include "platform/core/Registry.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QResizeEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <memory>
#include <vector>

namespace kit {
namespace {

const QString kStateValue = QStringLiteral("State");
const QString kGeometryValue = QStringLiteral("Geometry");

class TQtStatusBar final : public QStatusBar, public IStatusBar {
public:
    TQtStatusBar(QWidget* parent, std::initializer_list<int> widths) : QStatusBar(parent) {
        setSizeGripEnabled(false);
        for (const int width : widths) {
            auto* label = new QLabel(this);
            label->setFrameShape(QFrame::Panel);
            label->setFrameShadow(QFrame::Sunken);
            if (width >= 0) {
                label->setFixedWidth(width);
                addWidget(label);
            } else {
                addWidget(label, 1);
            }
            panels_.push_back({label, width});
        }
    }

    QWidget* Widget() override { return this; }
    int PanelCount() const override { return static_cast<int>(panels_.size()); }
    int PanelWidth(int index) const override { return panels_.at(index).width; }
    QString PanelText(int index) const override { return panels_.at(index).label->text(); }
    void SetPanelText(int index, const QString& text) override {
        panels_.at(index).label->setText(text);
    }
    bool Visible() const override { return !isHidden(); }
    // QMainWindow keeps its status bar below the docks by itself.
    void SetVisible(bool value) override { setVisible(value); }

private:
    struct Panel {
        QLabel* label;
        int width;
    };
    std::vector<Panel> panels_;
};

class TQtSplitter final : public QSplitter, public ISplitter {
public:
    TQtSplitter(QWidget* parent, QWidget* upper, QWidget* lower) : QSplitter(Qt::Vertical, parent) {
        setHandleWidth(BarSize);
        setOpaqueResize(true);
        addWidget(upper);
        addWidget(lower);
        setStretchFactor(0, 1);
        setStretchFactor(1, 0);
        connect(this, &QSplitter::splitterMoved, this, [this] { lower_ = sizes().value(1); });
    }

    QWidget* Widget() override { return this; }
    int Height() const override { return height(); }
    int Position() const override { return sizes().value(0); }
    void SetPosition(int value) override {
        lower_ = std::max(0, height() - value - BarSize);
        ApplyLower();
    }

protected:
    // QSplitter shares a change of height by its stretch factors but lets
    // minimum sizes and rounding move the bar; the lower pane's height is
    // put back explicitly.
    void resizeEvent(QResizeEvent* event) override {
        QSplitter::resizeEvent(event);
        if (lower_ >= 0) {
            ApplyLower();
        }
    }

private:
    void ApplyLower() {
        const int room = std::max(0, height() - BarSize);
        const int lower = std::min(lower_, room);
        setSizes({room - lower, lower});
    }

    int lower_ = -1; // the height the lower pane keeps; -1 until a position is set
};

class TQtToolbar final : public QToolBar, public IToolbar {
public:
    TQtToolbar(QWidget* parent, const QString& caption) : QToolBar(caption, parent) {
        connect(toggleViewAction(), &QAction::triggered, this, [this](bool checked) {
            plat::guarded([&] {
                if (!checked && OnClose) {
                    OnClose(this);
                }
            });
        });
    }

    QWidget* Widget() override { return this; }
    // A submenu drops down from its button at a click.
    void AddAction(QAction* action) override {
        addAction(action);
        if (action->menu()) {
            if (auto* button = qobject_cast<QToolButton*>(widgetForAction(action))) {
                button->setPopupMode(QToolButton::InstantPopup);
            }
        }
    }
    void AddSeparator() override { addSeparator(); }
    bool Visible() const override { return !isHidden(); }
    void SetVisible(bool value) override { setVisible(value); }
};

class TQtDockablePanel final : public QDockWidget, public IDockablePanel {
public:
    TQtDockablePanel(QWidget* parent, const QString& caption) : QDockWidget(caption, parent) {
        setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                    QDockWidget::DockWidgetFloatable);
        connect(this, &QDockWidget::topLevelChanged, this, [this](bool floating) {
            plat::guarded([&] {
                if (OnDockChanging) {
                    OnDockChanging(this, floating);
                }
                if (floating && floatHeight_ > 0) {
                    resize(width(), floatHeight_);
                }
            });
        });
        connect(toggleViewAction(), &QAction::triggered, this, [this](bool checked) {
            plat::guarded([&] {
                if (!checked && OnClose) {
                    OnClose(this);
                }
            });
        });
    }

    QWidget* Widget() override { return this; }
    QString Caption() const override { return windowTitle(); }
    bool Visible() const override { return !isHidden(); }
    void SetVisible(bool value) override { setVisible(value); }
    bool Floating() const override { return isFloating(); }
    void SetFloating(bool value) override { setFloating(value); }
    int Height() const override { return height(); }
    void SetHeight(int value) override {
        floatHeight_ = value;
        if (isFloating()) {
            resize(width(), value);
        }
    }
    int LastDockHeight() const override { return lastDockHeight_; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QDockWidget::resizeEvent(event);
        // Alone in its dock area, the panel is as high as the area.
        if (!isFloating()) {
            lastDockHeight_ = event->size().height();
        }
    }
    void closeEvent(QCloseEvent* event) override {
        QDockWidget::closeEvent(event);
        if (event->isAccepted()) {
            plat::guarded([&] {
                if (OnClose) {
                    OnClose(this);
                }
            });
        }
    }

private:
    int lastDockHeight_ = 0;
    int floatHeight_ = 0;
};

class TQtMenuItem final : public IMenuItem {
public:
    explicit TQtMenuItem(QAction* action) : action_(action) {}

    QString Name() const override { return action_->objectName(); }
    QString Caption() const override { return action_->text(); }
    void SetCaption(const QString& value) override { action_->setText(value); }
    bool Visible() const override { return action_->isVisible(); }
    void SetVisible(bool value) override { action_->setVisible(value); }
    bool Enabled() const override { return action_->isEnabled(); }
    void SetEnabled(bool value) override { action_->setEnabled(value); }

private:
    QAction* action_;
};

class TQtPopupMenu final : public QMenu, public IPopupMenu {
public:
    explicit TQtPopupMenu(QWidget* owner) : QMenu(owner) { setSeparatorsCollapsible(true); }

    QString Name() const override { return objectName(); }

    IMenuItem* AddItem(const QString& name, const QString& caption) override {
        QAction* action = addAction(caption);
        action->setObjectName(name);
        items_.push_back(std::make_unique<TQtMenuItem>(action));
        TQtMenuItem* item = items_.back().get();
        // The menu closes first; the item's handler runs afterwards from the
        // event loop, so it may open dialogs or change the menu freely.
        connect(action, &QAction::triggered, this, [this, item] {
            QMetaObject::invokeMethod(
                this,
                [item] {
                    plat::guarded([item] {
                        if (item->OnClick) {
                            item->OnClick(item);
                        }
                    });
                },
                Qt::QueuedConnection);
        });
        return item;
    }
    void AddSeparator() override { addSeparator(); }
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

private:
    std::vector<std::unique_ptr<TQtMenuItem>> items_;
};

} // namespace

IStatusBar* CreateStatusBar(QMainWindow& window, const QString& name,
                            std::initializer_list<int> panelWidths) {
    auto* bar = new TQtStatusBar(&window, panelWidths);
    bar->setObjectName(name);
    window.setStatusBar(bar);
    return bar;
}

ISplitter* CreateSplitter(QWidget* parent, const QString& name, QWidget* upper, QWidget* lower) {
    auto* splitter = new TQtSplitter(parent, upper, lower);
    splitter->setObjectName(name);
    return splitter;
}

IToolbar* CreateToolbar(QMainWindow& window, const QString& name, const QString& caption) {
    auto* bar = new TQtToolbar(&window, caption);
    bar->setObjectName(name);
    window.addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

IDockablePanel* CreateDockablePanel(QMainWindow& window, const QString& name,
                                    const QString& caption, QWidget* content) {
    auto* panel = new TQtDockablePanel(&window, caption);
    panel->setObjectName(name);
    panel->setWidget(content);
    window.addDockWidget(Qt::RightDockWidgetArea, panel);
    return panel;
}

IPopupMenu* CreatePopupMenu(QWidget& owner, const QString& name) {
    auto* menu = new TQtPopupMenu(&owner);
    menu->setObjectName(name);
    return menu;
}

void LoadToolbarPositions(QMainWindow& window, plat::Registry& registry, const QStringList& key) {
    const auto k = registry.OpenKey(key, false);
    if (!k) {
        return;
    }
    if (const auto state = k->ReadBinary(kStateValue)) {
        window.restoreState(*state);
    }
}

void SaveToolbarPositions(QMainWindow& window, plat::Registry& registry, const QStringList& key) {
    if (auto k = registry.OpenKey(key, true)) {
        k->WriteBinary(kStateValue, window.saveState());
    }
}

void LoadPlacement(QWidget& window, plat::Registry& registry, const QStringList& key) {
    const auto k = registry.OpenKey(key, false);
    const auto geometry = k ? k->ReadBinary(kGeometryValue) : std::nullopt;
    if (!geometry || !window.restoreGeometry(*geometry)) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
}

void SavePlacement(QWidget& window, plat::Registry& registry, const QStringList& key) {
    if (auto k = registry.OpenKey(key, true)) {
        k->WriteBinary(kGeometryValue, window.saveGeometry());
    }
}

} // namespace kit
