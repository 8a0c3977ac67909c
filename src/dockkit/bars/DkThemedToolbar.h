#pragma once
// The themed tool bar and menu bar: the bars of the forms. Their items,
// frame, drag handle, close button, background and floating frame are
// painted by the current theme, in the theme's colour for the bar's kind
// (or a colour of their own, or on a form their parent's), which they pass on
// to the child controls that follow their parent's colour; their margins and
// borders come from the theme, and they take a new theme while shown,
// docked or floating.

#include "dockkit/bars/DkToolbar/DkToolbar.h"
#include "dockkit/themes/DkThemeTypes.h"
#include "dockkit/themes/DkThemedWindow.h"

#include "platform/gui/Colors.h"

enum TDkxItemTransparency {
    itAuto,   // items drawn opaque only on a bar placed directly on a form
    itEnable, // items drawn on the bar's background
    itDisable // items drawn opaque
};

class TDkxToolbar;

// The view of a themed bar: the theme's margins, and the bar's background
// (the dock's picture where the dock shows one on its bars, then the
// theme's view background) behind the items.
class TDkxToolbarView : public TDkToolbarView {
    Q_OBJECT
public:
    using TDkToolbarView::TDkToolbarView;

    QMargins GetMargins(TDkViewOrientation orientation) const override;
    void PaintBackground(QPainter& canvas, const QRect& area) override;

private:
    // The themed bar, once it is complete (null while it is being made).
    const TDkxToolbar* ThemedBar() const;
};

class TDkxToolbar : public TDkCustomToolbar, public dk::ThemedWindow {
    Q_OBJECT
public:
    // Registered as a themed window of the nexus in force while it exists.
    explicit TDkxToolbar(QWidget* form);
    ~TDkxToolbar() override;

    // --- Properties ---
    // clNone (the default): the theme's colour for the bar's kind, or on a
    // form the parent's colour.
    plat::TColor Color() const { return color_; }
    void SetColor(plat::TColor value);
    TDkxItemTransparency ItemTransparency() const { return itemTransparency_; }
    void SetItemTransparency(TDkxItemTransparency value);
    // The plain bar's menu bar switch; the bar's kind, and so its colour,
    // follows.
    void SetMenuBar(bool value);

    // --- State ---
    // The colour the bar and its children show.
    plat::TColor EffectiveColor() const { return effectiveColor_; }
    // The kind the theme paints the bar as, where it is now or at a
    // placement: dk::ViewMenuBar for a menu bar, else dk::ViewToolbar; with
    // dk::ViewFloating (and dk::ViewResizable for a resizable bar) while
    // floating, and dk::ViewOpaque while its items are drawn opaque.
    unsigned ViewKind() const override { return ViewKindFor(Placement()); }
    unsigned ViewKindFor(PlacementKind placement) const;
    // The record the theme paints the docked frame from (cleared first).
    virtual void FillToolbarInfo(dk::TDkxToolbarInfo& info) const;

    // --- The dockable window's parts ---
    // The theme's border of a floating bar.
    QSize FloatingBorderSize() const override;
    // The theme's border on each side plus the drag handle along the dock.
    QSize DockedFrameSizeFor(const TDkDock* dock) const override;
    plat::TRect DockedCloseButtonBounds(bool vertical) const override;
    TDkFloatingWindowParent* CreateFloatingForm(QWidget* parentForm) override;
    void PaintFrameArea(QPainter& painter) override;

protected:
    QMargins CalcNcMargins() const override;
    void PlacementChanged() override;
    bool event(QEvent* event) override;

private:
    // The frame record for the bar on `dock` (or where it is, without one).
    dk::TDkxToolbarInfo InfoFor(const TDkDock* dock) const;
    // Works the colour out anew; children that follow it hear of a change,
    // or always with `passOn`.
    void UpdateEffectiveColor(bool passOn);
    void ThemeChanging() override;
    void ThemeChanged() override;
    plat::TColor ThemedBackColor() const override { return effectiveColor_; }

    plat::TColor color_ = plat::clNone;
    plat::TColor effectiveColor_ = plat::clBtnFace;
    TDkxItemTransparency itemTransparency_ = itAuto;
    bool themeLocked_ = false;
};
