// The forms' docks, status bars, tool bars, menu bars and dockable panels on
// the kit's themed components, and their saved positions.
#include "app/kit/KitClasses.h"
#include "app/kit/KitSupport.h"

#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkPositions.h"
#include "dockkit/docking/DkxDock.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "dockkit/themes/DkThemedItem.h"

#include "platform/core/Registry.h"
#include "platform/gui/AlignLayout.h"

#include <QAction>
#include <QMainWindow>
#include <QVBoxLayout>

#include <array>
#include <vector>

namespace kit {
namespace site {
namespace {

struct DockPlace {
    const char* Name;
    TDkDockPosition Position;
    plat::Align Align;
};
constexpr std::array<DockPlace, 4> kDocks{{{"TopDock", dpTop, plat::Align::Top},
                                           {"BottomDock", dpBottom, plat::Align::Bottom},
                                           {"LeftDock", dpLeft, plat::Align::Left},
                                           {"RightDock", dpRight, plat::Align::Right}}};

const char* const kSiteName = "DockSite";

QVBoxLayout& BoxLayout(QWidget& form) {
    if (form.layout() == nullptr) {
        auto* layout = new QVBoxLayout(&form);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
    }
    auto* box = qobject_cast<QVBoxLayout*>(form.layout());
    if (box == nullptr) {
        throw std::logic_error("a form with bars needs a vertical layout");
    }
    return *box;
}

// A panel of aligned children; in a box layout as high as its top and
// bottom children are (docks size themselves to their rows).
class TAlignPanel final : public QWidget {
public:
    TAlignPanel(QWidget* parent, const QString& name) : QWidget(parent) {
        setObjectName(name);
        new plat::AlignLayout(this);
    }
    QSize sizeHint() const override { return {0, Height()}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Lays the form out again when a child changes its height.
    void Watch(QWidget* child) {
        child->installEventFilter(this);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        updateGeometry();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show ||
            event->type() == QEvent::Hide) {
            updateGeometry();
            // At once: a bar that grows as it shows must not cover the
            // contents until the event loop runs.
            if (parentWidget() != nullptr && parentWidget()->layout() != nullptr) {
                parentWidget()->layout()->activate();
            }
        }
        return false;
    }

private:
    int Height() const {
        const auto* layout = static_cast<plat::AlignLayout*>(this->layout());
        int height = 0;
        for (const QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const plat::Align align = layout->AlignOf(child);
            if (!child->isHidden() && (align == plat::Align::Top || align == plat::Align::Bottom)) {
                height += child->height();
            }
        }
        return height;
    }
};

QWidget* NewAlignPanel(QWidget* parent, const QString& name) {
    return new TAlignPanel(parent, name);
}

void FollowHeight(QWidget* panel, QWidget* child) {
    static_cast<TAlignPanel*>(panel)->Watch(child);
}

// Where the docks and the status bar go: for a main window one panel that
// replaces its central widget and holds it in the middle; for another form
// a panel above its contents (the top dock) and one below (the rest).
struct Site {
    QWidget* Top = nullptr;
    QWidget* Bottom = nullptr;
};

Site SiteOf(QWidget& form) {
    if (auto* window = qobject_cast<QMainWindow*>(&form)) {
        auto* panel =
            window->findChild<QWidget*>(QString::fromLatin1(kSiteName), Qt::FindDirectChildrenOnly);
        if (panel == nullptr) {
            QWidget* central = window->takeCentralWidget();
            panel = NewAlignPanel(window, QString::fromLatin1(kSiteName));
            if (central != nullptr) {
                central->setParent(panel);
                static_cast<plat::AlignLayout*>(panel->layout())
                    ->AddWidget(central, plat::Align::Client);
            }
            window->setCentralWidget(panel);
        }
        return {panel, panel};
    }
    const QString top = QStringLiteral("TopSite");
    const QString bottom = QStringLiteral("BottomSite");
    auto* topPanel = form.findChild<QWidget*>(top, Qt::FindDirectChildrenOnly);
    if (topPanel == nullptr) {
        QVBoxLayout& box = BoxLayout(form);
        topPanel = NewAlignPanel(&form, top);
        box.insertWidget(0, topPanel);
        box.addWidget(NewAlignPanel(&form, bottom));
    }
    return {topPanel, form.findChild<QWidget*>(bottom, Qt::FindDirectChildrenOnly)};
}

} // namespace

TDkDock* Dock(QWidget& form, int position) {
    const DockPlace& place = kDocks.at(static_cast<size_t>(position));
    const Site where = SiteOf(form);
    QWidget* parent = place.Position == dpTop ? where.Top : where.Bottom;
    auto* dock =
        parent->findChild<TDkDock*>(QString::fromLatin1(place.Name), Qt::FindDirectChildrenOnly);
    if (dock == nullptr) {
        dock = new TDkxDock(parent, place.Position);
        dock->setObjectName(QString::fromLatin1(place.Name));
        // A form that is not a main window has its top dock above its
        // layout's contents; the other docks go below them.
        if (!qobject_cast<QMainWindow*>(&form) && place.Position == dpTop) {
            FollowHeight(parent, dock);
        }
    }
    return dock;
}

void PlaceStatusBar(QWidget& form, QWidget& bar) {
    QWidget* bottom = SiteOf(form).Bottom;
    auto* layout = static_cast<plat::AlignLayout*>(bottom->layout());
    bar.setParent(bottom);
    layout->removeWidget(&bar);
    // The first bottom child is the lowest.
    layout->InsertWidget(0, &bar, plat::Align::Bottom);
    bar.show();
    if (!qobject_cast<QMainWindow*>(&form)) {
        FollowHeight(bottom, &bar);
    }
}

} // namespace site

namespace {

class TStatusBarFace final : public QObject, public IStatusBar {
public:
    TStatusBarFace(TDkxStatusBar* bar, std::initializer_list<int> widths)
        : QObject(bar), bar_(bar) {
        bar->Panels().BeginUpdate();
        for (const int width : widths) {
            TDkxStatusPanel* panel = bar->Panels().Add();
            if (width >= 0) {
                panel->SetSize(width);
            } else {
                panel->SetStretchPriority(100);
            }
            widths_.push_back(width);
        }
        bar->Panels().EndUpdate();
    }

    QWidget* Widget() override { return bar_; }
    int PanelCount() const override { return static_cast<int>(widths_.size()); }
    int PanelWidth(int index) const override { return widths_.at(static_cast<size_t>(index)); }
    QString PanelText(int index) const override { return bar_->Panels().Items(index)->Caption(); }
    void SetPanelText(int index, const QString& text) override {
        bar_->Panels().Items(index)->SetCaption(text);
    }
    bool Visible() const override { return !bar_->isHidden(); }
    void SetVisible(bool value) override { bar_->setVisible(value); }

private:
    TDkxStatusBar* bar_;
    std::vector<int> widths_;
};

class TToolbarFace final : public QObject, public IToolbar {
public:
    explicit TToolbarFace(TDkxToolbar* bar) : QObject(bar), bar_(bar) {
        bar->OnClose = [this](TDkCustomDockableWindow*) {
            if (OnClose) {
                OnClose(this);
            }
        };
    }

    QWidget* Widget() override { return bar_; }
    void AddAction(QAction* action) override { Add(action, nbdmDefault); }
    void AddCaptionedAction(QAction* action) override { Add(action, nbdmImageAndText); }
    ISubmenuItem* AddSubmenu(const QString& name, const QString& caption) override {
        ISubmenuItem* item = items::AddSubmenu(*bar_->Items(), name, caption);
        KitItemOf(item)->SetOptions(KitItemOf(item)->Options() | dkoDropdownArrow);
        return item;
    }
    void AddSeparator() override { bar_->Items()->Add(new TDkxSeparatorItem(bar_->Items())); }
    bool Visible() const override { return bar_->Visible(); }
    void SetVisible(bool value) override { bar_->setVisible(value); }

private:
    void Add(QAction* action, TDkItemDisplayMode mode) {
        TDkCustomItem* item = items::NewActionItem(bar_->Items(), action);
        // Without an image the caption shows.
        if (mode == nbdmDefault && action->icon().isNull()) {
            mode = nbdmTextOnly;
        }
        item->SetDisplayMode(mode);
        bar_->Items()->Add(item);
    }

    TDkxToolbar* bar_;
};

class TMenuBarFace final : public QObject, public IMenuBar {
public:
    explicit TMenuBarFace(TDkxToolbar* bar) : QObject(bar), bar_(bar) {}

    QWidget* Widget() override { return bar_; }
    ISubmenuItem* AddSubmenu(const QString& name, const QString& caption) override {
        submenus_.push_back(items::AddSubmenu(*bar_->Items(), name, caption));
        return submenus_.back();
    }
    int ItemCount() const override { return static_cast<int>(submenus_.size()); }
    ISubmenuItem* Items(int index) const override {
        return submenus_.at(static_cast<size_t>(index));
    }

private:
    TDkxToolbar* bar_;
    std::vector<ISubmenuItem*> submenus_;
};

class TPanelFace final : public QObject, public IDockablePanel {
public:
    TPanelFace(TDkxDockablePanel* panel, TDkDock* home) : QObject(panel), panel_(panel) {
        home_ = home;
        panel->OnClose = [this](TDkCustomDockableWindow*) {
            if (OnClose) {
                OnClose(this);
            }
        };
        panel->OnDockChanging = [this](TDkCustomDockableWindow*, bool floating, TDkDock*) {
            if (OnDockChanging) {
                OnDockChanging(this, floating);
            }
        };
        panel->OnDockChanged = [this](TDkCustomDockableWindow*) { ApplyFloatHeight(); };
        panel->OnResize = [this](TDkCustomDockableWindow*) {
            if (panel_->Docked() && panel_->CurrentDock() != nullptr) {
                lastDockHeight_ = panel_->CurrentDock()->height();
            }
        };
    }

    QWidget* Widget() override { return panel_; }
    QString Caption() const override { return panel_->Caption(); }
    bool Visible() const override { return panel_->Visible(); }
    void SetVisible(bool value) override { panel_->setVisible(value); }
    bool Floating() const override { return panel_->Floating(); }
    void SetFloating(bool value) override {
        if (value == panel_->Floating()) {
            return;
        }
        if (value) {
            panel_->SetFloatingState(true);
        } else {
            TDkDock* dock = panel_->LastDock() != nullptr ? panel_->LastDock() : home_.data();
            panel_->SetCurrentDock(dock);
        }
        ApplyFloatHeight();
    }
    int Height() const override {
        return panel_->Floating() ? panel_->ClientAreaHeight() : panel_->height();
    }
    void SetHeight(int value) override {
        floatHeight_ = value;
        ApplyFloatHeight();
    }
    int LastDockHeight() const override { return lastDockHeight_; }

private:
    void ApplyFloatHeight() {
        if (floatHeight_ > 0 && panel_->Floating()) {
            panel_->SetClientAreaHeight(floatHeight_);
            floatHeight_ = 0;
        }
    }

    TDkxDockablePanel* panel_;
    QPointer<TDkDock> home_;
    int floatHeight_ = 0;
    int lastDockHeight_ = 0;
};

QString KeyText(const QStringList& key) {
    return key.join(u'\\');
}

// The next free row of the form's top dock.
int NextTopRow(TDkDock* dock) {
    return dock->HighestRow(false) + 1;
}

} // namespace

IStatusBar* CreateStatusBar(QWidget& form, const QString& name,
                            std::initializer_list<int> panelWidths) {
    auto* bar = new TDkxStatusBar(&form);
    bar->setObjectName(name);
    // Only a main window sizes from the bar's corner.
    bar->SetSizeGrip(qobject_cast<QMainWindow*>(&form) != nullptr);
    site::PlaceStatusBar(form, *bar);
    return new TStatusBarFace(bar, panelWidths);
}

IMenuBar* CreateMenuBar(QWidget& form, const QString& name) {
    TDkDock* dock = site::Dock(form, dpTop);
    auto* bar = new TDkxToolbar(&form);
    bar->setObjectName(name);
    bar->SetCaption(QStringLiteral("Menu"));
    bar->SetMenuBar(true);
    bar->SetDockRow(0);
    bar->SetCurrentDock(dock);
    return new TMenuBarFace(bar);
}

IToolbar* CreateToolbar(QWidget& form, const QString& name, const QString& caption) {
    TDkDock* dock = site::Dock(form, dpTop);
    auto* bar = new TDkxToolbar(&form);
    bar->setObjectName(name);
    bar->SetCaption(caption);
    bar->SetDockRow(NextTopRow(dock));
    bar->SetCurrentDock(dock);
    return new TToolbarFace(bar);
}

IDockablePanel* CreateDockablePanel(QWidget& form, const QString& name, const QString& caption,
                                    QWidget* content) {
    TDkDock* dock = site::Dock(form, dpRight);
    auto* panel = new TDkxDockablePanel(&form);
    panel->setObjectName(name);
    panel->SetCaption(caption);
    if (content != nullptr) {
        content->setParent(panel);
        panel->Layout()->AddWidget(content, plat::Align::Client);
    }
    panel->SetCurrentDock(dock);
    return new TPanelFace(panel, dock);
}

void LoadToolbarPositions(QWidget& form, plat::Registry& registry, const QStringList& key) {
    dk::RegistryLoadPositions(&form, registry, KeyText(key));
}

void SaveToolbarPositions(QWidget& form, plat::Registry& registry, const QStringList& key) {
    dk::RegistrySavePositions(&form, registry, KeyText(key));
}

namespace {

template <typename Kit, typename Face>
Kit* KitOf(Face* face) {
    auto* object = dynamic_cast<QObject*>(face);
    return object != nullptr ? qobject_cast<Kit*>(object->parent()) : nullptr;
}

} // namespace

TDkxDock* KitDock(QWidget& form, DockSide side) {
    return static_cast<TDkxDock*>(site::Dock(form, static_cast<int>(side)));
}

TDkxToolbar* KitToolbar(IToolbar* bar) {
    return KitOf<TDkxToolbar>(bar);
}

TDkxToolbar* KitMenuBar(IMenuBar* bar) {
    return KitOf<TDkxToolbar>(bar);
}

TDkxDockablePanel* KitDockablePanel(IDockablePanel* panel) {
    return KitOf<TDkxDockablePanel>(panel);
}

TDkxStatusBar* KitStatusBar(IStatusBar* bar) {
    return KitOf<TDkxStatusBar>(bar);
}

} // namespace kit
