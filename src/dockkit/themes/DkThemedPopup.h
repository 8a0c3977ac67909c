#pragma once
// Themed pop-ups: the window of every themed submenu, drop-down and context
// menu, with its frame, background and scroll arrows painted by the theme,
// its border as wide as the theme says, shadows of the theme's own where it
// wants them, and a new look when the theme changes while it is open; and the
// pop-up menu component whose menus are themed.

#include "dockkit/menus/DkPopupMenu.h"
#include "dockkit/menus/DkPopupWindow.h"
#include "dockkit/themes/DkShadows.h"
#include "dockkit/themes/DkThemeTypes.h"
#include "dockkit/themes/DkThemedWindow.h"

#include <QPointer>

#include <memory>

class TDkxPopupWindow : public TDkPopupWindow, public dk::ThemedWindow {
    Q_OBJECT
public:
    // Registered as a themed window of the nexus in force while it exists.
    TDkxPopupWindow(TDkView* parentView, TDkCustomItem* item, bool customizing);
    ~TDkxPopupWindow() override;

    // dk::ViewChevronPopup for a chevron's pop-up, dk::ViewToolBoxPopup for
    // an item shown as a tool box, else dk::ViewPopupMenu.
    unsigned ViewKind() const override;
    // The record the theme paints the frame from.
    dk::TDkxPopupInfo PopupInfo() const;
    // The drop shadows, while the pop-up shows them; null otherwise.
    dk::TShadows* Shadows() const { return shadows_.get(); }

protected:
    // The border and colour of the theme for the view kind.
    void ApplyTheme();
    void PaintFrame(QPainter& painter) override;
    void PaintScrollArrows(QPainter& painter) override;
    void PaintViewBackground(QPainter& canvas, const QRect& area) override;
    bool event(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ThemeChanging() override;
    void ThemeChanged() override;
    plat::TColor ThemedBackColor() const override { return Color(); }
    // The opening viewer's rectangle on the screen when it is a tool bar
    // style item or a chevron; empty otherwise.
    plat::TRect OpeningItemRect() const;
    void CreateShadows();

    TDkCustomItem* openingItem_;
    std::unique_ptr<dk::TShadows> shadows_;
    bool themeLocked_ = false;
};

// A context menu whose menus are themed.
class TDkxPopupMenu : public TDkPopupMenu {
    Q_OBJECT
public:
    explicit TDkxPopupMenu(QObject* owner = nullptr);

protected:
    bool event(QEvent* event) override;
};
