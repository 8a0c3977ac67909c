// The forms' status bars, tool bars and dockable panels on plain Qt widgets.
#include "app/kit/QtKitSupport.h"

#include "platform/core/Guarded.h"
#include "platform/core/Registry.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QResizeEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>
#include <vector>

namespace kit {
namespace qt {

namespace {

const QString kTopDock = QStringLiteral("TopDock");

QLayout& FormLayout(QWidget& form) {
    if (!form.layout()) {
        auto* layout = new QVBoxLayout(&form);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
    }
    return *form.layout();
}

} // namespace

void PlaceAtTop(QWidget& form, QWidget& bar, bool first) {
    auto* top = form.findChild<QWidget*>(kTopDock, Qt::FindDirectChildrenOnly);
    if (!top) {
        top = new QWidget(&form);
        top->setObjectName(kTopDock);
        auto* column = new QVBoxLayout(top);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        FormLayout(form).setMenuBar(top);
    }
    auto* column = static_cast<QVBoxLayout*>(top->layout());
    if (first) {
        column->insertWidget(0, &bar);
    } else {
        column->addWidget(&bar);
    }
}

void PlaceAtBottom(QWidget& form, QWidget& widget) {
    FormLayout(form).addWidget(&widget);
}

} // namespace qt

namespace {

const QString kStateValue = QStringLiteral("State");

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
    // The form's layout keeps the bar below everything else.
    void SetVisible(bool value) override { setVisible(value); }

private:
    struct Panel {
        QLabel* label;
        int width;
    };
    std::vector<Panel> panels_;
};

class TQtToolbar final : public QToolBar, public IToolbar {
public:
    // The bar's own menu entry closes it by hand, through close().
    TQtToolbar(QWidget* parent, const QString& caption) : QToolBar(caption, parent) {}

    QWidget* Widget() override { return this; }
    void AddAction(QAction* action) override { addAction(action); }
    void AddCaptionedAction(QAction* action) override {
        addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(widgetForAction(action))) {
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        }
    }
    ISubmenuItem* AddSubmenu(const QString& name, const QString& caption) override {
        submenus_.push_back(qt::NewSubmenuItem(*this, name, caption));
        QAction* action = qt::QtActionOf(*submenus_.back());
        addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(widgetForAction(action))) {
            button->setPopupMode(QToolButton::InstantPopup);
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        }
        return submenus_.back().get();
    }
    void AddSeparator() override { addSeparator(); }
    bool Visible() const override { return !isHidden(); }
    void SetVisible(bool value) override { setVisible(value); }

protected:
    void closeEvent(QCloseEvent* event) override {
        QToolBar::closeEvent(event);
        if (event->isAccepted() && OnClose) {
            plat::guarded([this] { OnClose(this); });
        }
    }

private:
    std::vector<std::unique_ptr<ISubmenuItem>> submenus_;
};

class TQtDockablePanel final : public QDockWidget, public IDockablePanel {
public:
    TQtDockablePanel(QWidget* parent, const QString& caption) : QDockWidget(caption, parent) {
        setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                    QDockWidget::DockWidgetFloatable);
        plat::ConnectGuarded(this, &QDockWidget::topLevelChanged, this, [this](bool floating) {
            if (OnDockChanging) {
                OnDockChanging(this, floating);
            }
            if (floating && floatHeight_ > 0) {
                resize(width(), floatHeight_);
            }
        });
        // The close button and the panel's menu entry close it through close().
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
        if (event->isAccepted() && OnClose) {
            plat::guarded([this] { OnClose(this); });
        }
    }

private:
    int lastDockHeight_ = 0;
    int floatHeight_ = 0;
};

} // namespace

IStatusBar* CreateStatusBar(QWidget& form, const QString& name,
                            std::initializer_list<int> panelWidths) {
    auto* bar = new TQtStatusBar(&form, panelWidths);
    bar->setObjectName(name);
    if (auto* window = qobject_cast<QMainWindow*>(&form)) {
        window->setStatusBar(bar);
    } else {
        qt::PlaceAtBottom(form, *bar);
    }
    return bar;
}

IToolbar* CreateToolbar(QWidget& form, const QString& name, const QString& caption) {
    auto* bar = new TQtToolbar(&form, caption);
    bar->setObjectName(name);
    if (auto* window = qobject_cast<QMainWindow*>(&form)) {
        window->addToolBar(Qt::TopToolBarArea, bar);
    } else {
        bar->setMovable(false);
        qt::PlaceAtTop(form, *bar, false);
    }
    return bar;
}

IDockablePanel* CreateDockablePanel(QWidget& form, const QString& name, const QString& caption,
                                    QWidget* content) {
    auto* panel = new TQtDockablePanel(&form, caption);
    panel->setObjectName(name);
    panel->setWidget(content);
    if (auto* window = qobject_cast<QMainWindow*>(&form)) {
        window->addDockWidget(Qt::RightDockWidgetArea, panel);
    } else {
        qt::PlaceAtBottom(form, *panel);
    }
    return panel;
}

void LoadToolbarPositions(QWidget& form, plat::Registry& registry, const QStringList& key) {
    auto* window = qobject_cast<QMainWindow*>(&form);
    const auto k = window ? registry.OpenKey(key, false) : std::nullopt;
    if (!k) {
        return;
    }
    if (const auto state = k->ReadBinary(kStateValue)) {
        window->restoreState(*state);
    }
}

void SaveToolbarPositions(QWidget& form, plat::Registry& registry, const QStringList& key) {
    auto* window = qobject_cast<QMainWindow*>(&form);
    if (!window) {
        return;
    }
    if (auto k = registry.OpenKey(key, true)) {
        k->WriteBinary(kStateValue, window->saveState());
    }
}

} // namespace kit
