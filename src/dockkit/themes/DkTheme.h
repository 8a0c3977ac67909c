#pragma once
// The theme: the one replaceable painter through which every tool bar, menu,
// pop-up, dock, dockable panel and status bar of the kit draws. A theme
// answers sizes and colours and paints parts; it keeps no window state. The
// nexus (DkNexus.h) creates themes by registered name and owns the current one.

#include "dockkit/themes/DkThemeTypes.h"

#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QPoint>
#include <QString>

#include <functional>
#include <memory>
#include <span>

class QPainter;

namespace plat {
class ImageList;
}

class TDkxTheme {
public:
    virtual ~TDkxTheme() = default;

    // The registered name, written by the nexus right after creation.
    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }

    // Called once right after creation: a theme computes its cached colours
    // here from the kit colours (DkNexus.h). Nothing by default.
    virtual void Prepare() {}

    // --- Metrics and colours ---
    // Where the item's image is drawn relative to its place.
    virtual QPoint GetImageShift(QPainter& canvas, const dk::TDkxItemInfo& info,
                                 const plat::ImageList* images) = 0;
    // The colour behind the item's caption, and behind its image.
    virtual plat::TColor GetItemBackColor(const dk::TDkxItemInfo& info) = 0;
    virtual plat::TColor GetImageBackColor(const dk::TDkxItemInfo& info) = 0;
    // dk::MarginToolbarItem, dk::MarginMenuItem or dk::MarginStatusPanel;
    // by default (2, 2, 2, 2) for tool bar items, (1, 3, 1, 1) for status
    // panels and none for menu items.
    virtual dk::TDkxMargins GetPartMargins(int kind);
    // One of dk::PopupShadow*.
    virtual int GetPopupShadowStyle() = 0;
    // Border width and height of a view of the kind.
    virtual QPoint GetViewBorderSize(unsigned viewKind) = 0;
    virtual plat::TColor GetViewBackColor(unsigned viewKind) = 0;
    virtual dk::TDkxMargins GetViewMargins(unsigned viewKind) = 0;

    // --- Views and buttons ---
    // By default the colour over the part of the rectangle inside the clip,
    // nothing when transparent.
    virtual void DrawViewBackground(QPainter& canvas, const plat::TRect& rect,
                                    const plat::TRect& clip, plat::TColor color, bool transparent,
                                    unsigned viewKind);
    virtual void DrawButtonFace(QPainter& canvas, const plat::TRect& rect,
                                const dk::TDkxItemInfo& info) = 0;
    // `format` holds plat::DT_* flags; `rotated` writes the text downwards.
    virtual void DrawItemCaption(QPainter& canvas, const plat::TRect& rect,
                                 const dk::TDkxItemInfo& info, const QString& text, unsigned format,
                                 bool rotated) = 0;
    // The check mark of a checked item without an image.
    virtual void DrawCheckGlyph(QPainter& canvas, const plat::TRect& rect,
                                const dk::TDkxItemInfo& info) = 0;
    // The chevron button of a shrunk tool bar.
    virtual void DrawChevronGlyph(QPainter& canvas, const plat::TRect& rect,
                                  const dk::TDkxItemInfo& info) = 0;
    // Frame and field of an edit item; paints its border with DrawEditBorder
    // and its button with DrawEditButton.
    virtual void DrawEditFrame(QPainter& canvas, const plat::TRect& rect,
                               const dk::TDkxItemInfo& info,
                               const dk::TDkxEditFrameInfo& frame) = 0;
    virtual void DrawEditButton(QPainter& canvas, const plat::TRect& rect,
                                const dk::TDkxItemInfo& info,
                                const dk::TDkxEditButtonInfo& button) = 0;

    // --- Frames ---
    // A docked dockable panel's frame, caption and close button. The
    // painter's brush holds the panel's colour.
    virtual void DrawDockPanelFrame(QPainter& canvas, const plat::TRect& rect,
                                    const dk::TDkxDockPanelInfo& info) = 0;
    // The small down arrow of a drop-down button.
    virtual void DrawDropDownGlyph(QPainter& canvas, const plat::TRect& rect,
                                   const dk::TDkxItemInfo& info) = 0;
    // Border and caption of a floating window (the window rectangle); the
    // painter's brush holds the hosted window's colour.
    virtual void DrawFloatingFrame(QPainter& canvas, const plat::TRect& rect,
                                   const dk::TDkxFloatingBorderInfo& info) = 0;
    virtual void DrawEditBorder(QPainter& canvas, const plat::TRect& rect,
                                const dk::TDkxItemInfo& info) = 0;

    // --- Items ---
    virtual void DrawItemImage(QPainter& canvas, const plat::TRect& rect,
                               const dk::TDkxItemInfo& info, const plat::ImageList* images,
                               int index) = 0;
    // A caption button: dk::WindowButtonClose, ...Minimize or ...Restore.
    virtual void DrawWindowButton(QPainter& canvas, const plat::TRect& rect,
                                  const dk::TDkxItemInfo& info, int buttonKind) = 0;
    // The background of a pop-up menu's row, and its highlight frame.
    virtual void DrawMenuItem(QPainter& canvas, const plat::TRect& rect,
                              const dk::TDkxItemInfo& info) = 0;
    virtual void DrawMenuItemFrame(QPainter& canvas, const plat::TRect& rect,
                                   const dk::TDkxItemInfo& info) = 0;
    // The scroll arrow of an overlong pop-up: dk::ScrollArrowUp ... Right.
    virtual void DrawScrollArrowButton(QPainter& canvas, const plat::TRect& rect, int buttonKind,
                                       bool hot) = 0;
    // A pop-up window's non-client area (the window rectangle).
    virtual void DrawPopupFrame(QPainter& canvas, const plat::TRect& rect,
                                const dk::TDkxPopupInfo& info) = 0;
    virtual void DrawSeparator(QPainter& canvas, const plat::TRect& rect,
                               const dk::TDkxItemInfo& info, bool horizontal, bool lineOnly) = 0;
    // A docked tool bar's non-client area: border, drag handle, close button.
    virtual void DrawToolbarFrame(QPainter& canvas, const plat::TRect& rect,
                                  const dk::TDkxToolbarInfo& info) = 0;
    // dk::CheckBoxFrame or dk::RadioButtonFrame with dk::CheckState* bits.
    virtual void DrawCheckRadioFrame(QPainter& canvas, const plat::TRect& rect, int kind,
                                     unsigned state) = 0;
    // dk::StatusBarBackground, ...Panel, ...LastPanel or ...Grip.
    virtual void DrawStatusBarPart(QPainter& canvas, const plat::TRect& rect, int part) = 0;

    // --- Values ---
    // An integer metric (dk::Value*); -1 for an index the theme does not know.
    virtual int GetIntegerValue(int index) = 0;
    // A boolean metric (dk::ValueJoinPopups, dk::ValueVisualStyleColors).
    virtual bool GetBooleanValue(int index) = 0;

private:
    QString name_;
};

namespace dk {

// How the nexus creates a theme of a registered class.
using TDkxThemeClass = std::function<std::unique_ptr<TDkxTheme>()>;

template <typename Theme>
TDkxThemeClass ThemeClassOf() {
    return [] { return std::unique_ptr<TDkxTheme>(std::make_unique<Theme>()); };
}

// --- Routines the themes and other parts of the kit share ------------------------------

// The value of `index` in a theme's table; -1 where the table has none.
int LookUpIntegerValue(std::span<const ThemeIntegerValue> table, int index);

// The caption band of a floating window: (0, 0, client width, small caption
// height - 1); with `reserveClose` it ends where the close square begins;
// with `offset` it moves by the border size (window coordinates).
plat::TRect GetFloatingCaptionRect(const TDkxFloatingBorderInfo& info, bool reserveClose,
                                   bool offset);
// The close square at the right end of the caption band.
plat::TRect GetFloatingCloseRect(const TDkxFloatingBorderInfo& info, bool offset);
// 0 without a drag handle; 14 with a close button on it; else 9 double, 6
// single, 0 none.
int GetDragHandleSize(const TDkxToolbarInfo& info);
// The close button on the drag handle, in window coordinates: a square of the
// handle size - 1 inside the border, at the handle's start (the top of a
// horizontal tool bar's handle, the right end of a vertical one's).
plat::TRect GetDragHandleCloseRect(const TDkxToolbarInfo& info);

// Panel flags of DrawPanelCaption and DrawPanelImage.
constexpr unsigned PanelDisabled = 1;
constexpr unsigned PanelHot = 2;
constexpr unsigned PanelPushed = 4;
constexpr unsigned PanelSelected = 8;
// The item paint record of a status panel for the flags.
TDkxItemInfo PanelItemInfo(unsigned flags, bool forCaption);
// A status panel's caption and image through the current theme.
void DrawPanelCaption(QPainter& canvas, const plat::TRect& rect, const QString& text,
                      unsigned flags, unsigned format);
void DrawPanelImage(QPainter& canvas, const plat::TRect& rect, const plat::ImageList* images,
                    int index, unsigned flags);

} // namespace dk
