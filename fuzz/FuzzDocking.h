#pragma once
// What the fuzz targets of saved bar and panel positions share: the values a
// window's saved position holds, and the checks of where a window is docked.
#include "dockkit/docking/DkDock.h"
#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"
#include "platform/core/Registry.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

// The values a window's saved position holds, by name.
inline std::vector<QString> SavedPositionNames() {
    return {QStringLiteral("Rev"),           QStringLiteral("Visible"),
            QStringLiteral("DockedTo"),      QStringLiteral("LastDock"),
            QStringLiteral("DockRow"),       QStringLiteral("DockPos"),
            QStringLiteral("FloatLeft"),     QStringLiteral("FloatTop"),
            QStringLiteral("FloatRightX"),   QStringLiteral("DPClientWidth"),
            QStringLiteral("DPClientHeight")};
}

// Whether the window is docked on the left or the right.
inline bool OnSideDock(const TDkCustomDockableWindow* window) {
    return window->Docked() && window->CurrentDock() != nullptr &&
           window->CurrentDock()->IsVertical();
}

// What the side docks take across the form besides the shown, side-docked
// panel: the bars on either side dock and in the other rows of its own.
inline int TakenBesidePanel(const TDkCustomDockableWindow* panel) {
    int taken = -panel->width();
    const QWidget* site = panel->CurrentDock()->parentWidget();
    for (const TDkDock* dock : site->findChildren<TDkDock*>(Qt::FindDirectChildrenOnly)) {
        if (dock->IsVertical() && !dock->isHidden()) {
            taken += dock->width();
        }
    }
    return taken;
}

// Whether a panel docked from its saved position must leave the chat area
// its 32 pixels: it is shown on a side dock, and the form's client width
// holds what the other docks and bars take, the panel's least and 32.
inline bool PanelMustLeaveRoom(const TDkCustomDockableWindow* panel, int panelLeast,
                               int formClientWidth) {
    return OnSideDock(panel) && panel->isVisible() &&
           formClientWidth - TakenBesidePanel(panel) >= panelLeast + 32;
}

// Whether the saved position under `path` docks its window on the left or the
// right: only then is a panel's stored width read and fitted to its room.
inline bool StoredOnSideDock(plat::Registry& store, const QStringList& path) {
    const auto key = store.OpenKey(path, false);
    if (!key || key->ReadInteger(QStringLiteral("Rev")) != 2000) {
        return false;
    }
    const QString dock = key->ReadString(QStringLiteral("DockedTo")).value_or(QString());
    return dock.compare(QLatin1String("LeftDock"), Qt::CaseInsensitive) == 0 ||
           dock.compare(QLatin1String("RightDock"), Qt::CaseInsensitive) == 0;
}
