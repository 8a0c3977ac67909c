#include "app/common/FormBars.h"

#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkxDock.h"
#include "dockkit/palettes/DkxColorItem.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "dockkit/themes/DkThemedItem.h"
#include "platform/gui/AlignLayout.h"

#include <QAction>
#include <QMainWindow>

TDkxDock* AddDock(QWidget* parent, const QString& name, TDkDockPosition position) {
    auto* dock = new TDkxDock(parent, position);
    dock->setObjectName(name);
    return dock;
}

TDockSite AddDockSite(QMainWindow& form, std::initializer_list<int> panelWidths) {
    TDockSite site;
    site.Client = new QWidget(&form);
    site.Client->setObjectName(QStringLiteral("ClientArea"));
    site.Layout = new plat::AlignLayout(site.Client);
    form.setCentralWidget(site.Client);
    // The first bottom child is the lowest.
    site.StatusBar = new TDkxStatusBar(site.Client);
    site.StatusBar->setObjectName(QStringLiteral("StatusBar"));
    TDkxStatusPanels& panels = site.StatusBar->Panels();
    panels.BeginUpdate();
    for (const int width : panelWidths) {
        TDkxStatusPanel* panel = panels.Add();
        if (width >= 0) {
            panel->SetSize(width);
        } else {
            panel->SetStretchPriority(100);
        }
    }
    panels.EndUpdate();
    site.Top = AddDock(site.Client, QStringLiteral("TopDock"), dpTop);
    site.Bottom = AddDock(site.Client, QStringLiteral("BottomDock"), dpBottom);
    site.Left = AddDock(site.Client, QStringLiteral("LeftDock"), dpLeft);
    site.Right = AddDock(site.Client, QStringLiteral("RightDock"), dpRight);
    return site;
}

TDkxToolbar* AddToolbar(QWidget* form, TDkDock* dock, const QString& name, const QString& caption,
                        int row) {
    auto* bar = new TDkxToolbar(form);
    bar->setObjectName(name);
    bar->SetCaption(caption);
    bar->SetDockRow(row);
    bar->SetCurrentDock(dock);
    return bar;
}

TDkxItem* AddActionItem(TDkCustomItem* parent, QAction* action, TDkItemDisplayMode mode) {
    auto* item = new TDkxItem(parent);
    item->setObjectName(action->objectName());
    item->SetAction(action);
    item->SetDisplayMode(mode);
    parent->Add(item);
    return item;
}

TDkxSeparatorItem* AddSeparatorItem(TDkCustomItem* parent) {
    auto* item = new TDkxSeparatorItem(parent);
    parent->Add(item);
    return item;
}

TDkxSubmenuItem* AddSubmenuItem(TDkCustomItem* parent, const QString& name,
                                const QString& caption) {
    auto* item = new TDkxSubmenuItem(parent);
    item->setObjectName(name);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

TDkxSubmenuItem* AddDropDownItem(TDkCustomItem* parent, const QString& name, const QString& caption,
                                 const QString& hint, int image) {
    TDkxSubmenuItem* item = AddSubmenuItem(parent, name, caption);
    item->SetOptions(item->Options() | dkoDropdownArrow);
    item->SetImageIndex(image);
    item->SetHint(hint);
    return item;
}

TDkxColorItem* AddDefaultColorItem(TDkCustomItem* parent, plat::TColor color) {
    auto* item = new TDkxColorItem(parent);
    item->setObjectName(QStringLiteral("ClrDefault"));
    item->SetCaption(QStringLiteral("Default"));
    item->SetColor(color);
    item->SetHint(QStringLiteral("Default Color"));
    item->SetGroupIndex(99);
    item->SetOptions(dkoShowHint | dkoToolbarStyle);
    parent->Add(item);
    return item;
}
