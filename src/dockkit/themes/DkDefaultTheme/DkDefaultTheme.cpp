// The Default theme's metrics, colours, buttons, glyphs, items and menus; its
// frames (panels, floating windows, pop-ups, tool bars, status bars) are in
// DkDefaultFrames.cpp.
#include "dockkit/themes/DkDefaultTheme/DkDefaultTheme.h"

#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkDraw.h"
#include "dockkit/themes/DkImageEffects.h"
#include "dockkit/themes/DkNexus.h"
#include "dockkit/themes/DkThemePaint.h"
#include "dockkit/themes/DkThemeUtils.h"

#include "platform/gui/AccelText.h"
#include "platform/gui/Edges.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Metrics.h"

#include <QPainter>

#include <array>

using plat::TColor;
using plat::TRect;

namespace {

bool IsPopupMenuItem(const dk::TDkxItemInfo& info) {
    return dk::IsViewKind(info.ViewKind, dk::ViewPopupMenu) && !info.Has(dk::ItemToolbarStyle);
}

bool IsMenuBar(unsigned viewKind) {
    return dk::IsViewKind(viewKind, dk::ViewMenuBar);
}

bool IsOpaqueToolbar(unsigned viewKind) {
    return dk::IsViewKind(viewKind, dk::ViewToolbarClass | dk::ViewOpaque);
}

// The pop-up kinds by their low bits.
unsigned PopupMember(unsigned viewKind) {
    return viewKind & 0x000F;
}

} // namespace

// --- Metrics and colours ------------------------------------------------------------

QPoint TDkxDefaultTheme::GetImageShift(QPainter& /*canvas*/, const dk::TDkxItemInfo& info,
                                       const plat::ImageList* /*images*/) {
    return info.Pushed || info.Selected ? QPoint(1, 1) : QPoint(0, 0);
}

TColor TDkxDefaultTheme::GetItemBackColor(const dk::TDkxItemInfo& info) {
    if (IsPopupMenuItem(info) && info.IsHot()) {
        return plat::clHighlight;
    }
    return GetViewBackColor(info.ViewKind);
}

TColor TDkxDefaultTheme::GetImageBackColor(const dk::TDkxItemInfo& info) {
    const dk::TDkxKitValues& kit = dk::KitValues();
    if (kit.FlatMenus) {
        if (IsMenuBar(info.ViewKind) && info.IsHot()) {
            return plat::clHighlight;
        }
        if (dk::IsViewKind(info.ViewKind, dk::ViewChevronPopup) ||
            (IsPopupMenuItem(info) && info.IsHot())) {
            return kit.ToolbarColor;
        }
    }
    return GetViewBackColor(info.ViewKind);
}

int TDkxDefaultTheme::GetPopupShadowStyle() {
    return dk::PopupShadowSystem;
}

QPoint TDkxDefaultTheme::GetViewBorderSize(unsigned viewKind) {
    if ((viewKind & dk::ViewToolbarClass) != 0) {
        if ((viewKind & dk::ViewFloating) != 0) {
            return (viewKind & dk::ViewResizable) != 0
                       ? QPoint(plat::GetSystemMetrics(plat::SM_CXSIZEFRAME),
                                plat::GetSystemMetrics(plat::SM_CYSIZEFRAME))
                       : QPoint(plat::GetSystemMetrics(plat::SM_CXFIXEDFRAME),
                                plat::GetSystemMetrics(plat::SM_CYFIXEDFRAME));
        }
        return {2, 2};
    }
    if ((viewKind & dk::ViewPopupClass) != 0) {
        return dk::IsViewKind(viewKind, dk::ViewEditPopup) ? QPoint(1, 1) : QPoint(3, 3);
    }
    if ((viewKind & dk::ViewPanelClass) != 0) {
        return {2, 2};
    }
    return {0, 0};
}

TColor TDkxDefaultTheme::GetViewBackColor(unsigned viewKind) {
    const dk::TDkxKitValues& kit = dk::KitValues();
    if ((viewKind & dk::ViewToolbarClass) != 0) {
        return kit.ToolbarColor;
    }
    if ((viewKind & dk::ViewPopupClass) != 0) {
        switch (PopupMember(viewKind)) {
        case 0x1:
        case 0x8:
            return kit.MenuColor;
        case 0x2:
            return plat::clWindow;
        default:
            return kit.ToolbarColor;
        }
    }
    if ((viewKind & dk::ViewPanelClass) != 0) {
        return dk::BlendColorsNearest(kit.ToolbarColor, plat::clWindow, 64);
    }
    return kit.ToolbarColor;
}

dk::TDkxMargins TDkxDefaultTheme::GetViewMargins(unsigned viewKind) {
    if ((viewKind & dk::ViewToolbarClass) != 0 && (viewKind & dk::ViewFloating) != 0) {
        return {4, 4, 2, 1};
    }
    return {};
}

// --- Views and buttons --------------------------------------------------------------

void TDkxDefaultTheme::DrawButtonFace(QPainter& canvas, const TRect& rect,
                                      const dk::TDkxItemInfo& info) {
    const dk::TDkxKitValues& kit = dk::KitValues();
    const bool hot = dk::ClassicHot(info);
    const bool down = (info.Pushed || info.Selected) && info.Enabled;
    TRect r = rect;
    if (IsMenuBar(info.ViewKind) && kit.FlatMenus) {
        if (down || hot) {
            dk::FillRectColor(canvas, r, plat::clHighlight);
        }
        return;
    }
    if (kit.FlatMenus && (down || hot)) {
        dk::FillRectColor(canvas, r, kit.ToolbarColor);
    }
    if (IsOpaqueToolbar(info.ViewKind)) {
        const unsigned flags =
            hot && !info.Pushed && !info.Selected
                ? plat::BF_RECT | plat::BF_MIDDLE | plat::BF_ADJUST
                : plat::BF_RECT | plat::BF_MIDDLE | plat::BF_ADJUST | plat::BF_FLAT;
        plat::DrawEdge(canvas, r, plat::EDGE_RAISED, flags);
        if (info.Selected && info.Enabled && !hot) {
            dk::FillDithered(canvas, r, kit.ToolbarColor, plat::clBtnHighlight);
        }
    } else if (down) {
        plat::DrawEdge(canvas, r, plat::BDR_SUNKENOUTER, plat::BF_RECT | plat::BF_ADJUST);
        if (!info.Pushed && !hot) {
            dk::FillDithered(canvas, r, kit.ToolbarColor, plat::clBtnHighlight);
        }
    } else if (hot || info.Has(dk::ItemDesigning)) {
        plat::DrawEdge(canvas, r, plat::BDR_RAISEDINNER, plat::BF_RECT);
    }
    if (info.ComboPart == dk::ComboArrow) {
        DrawDropDownGlyph(canvas, rect, info);
    }
}

void TDkxDefaultTheme::DrawItemCaption(QPainter& canvas, const TRect& rect,
                                       const dk::TDkxItemInfo& info, const QString& text,
                                       unsigned format, bool rotated) {
    if (text.isEmpty()) {
        return;
    }
    const dk::TDkxKitValues& kit = dk::KitValues();
    const bool toolbarStyle = info.Has(dk::ItemToolbarStyle);
    const bool flatMenuBar = IsMenuBar(info.ViewKind) && kit.FlatMenus;
    const auto draw = [&](const TRect& r, TColor color) {
        canvas.setPen(plat::ToQColor(color));
        if (rotated) {
            dk::DrawVerticalText(canvas, text, r, format);
        } else {
            dk::DrawCaption(canvas, text, r, format);
        }
    };
    canvas.save();
    canvas.setBrush(Qt::NoBrush);
    if (info.Enabled) {
        TRect r = rect;
        if (toolbarStyle && (info.Pushed || info.Selected) && !flatMenuBar) {
            r.Offset(1, 1);
        }
        TColor color = kit.MenuTextColor;
        if (toolbarStyle || (IsMenuBar(info.ViewKind) && !kit.FlatMenus)) {
            color = plat::clBtnText;
        } else if (info.IsHot()) {
            color = plat::clHighlightText;
        }
        draw(r, color);
    } else if (info.HoverKind == dk::HoverKeyboard && !toolbarStyle) {
        draw(rect, plat::clGrayText);
    } else {
        TRect shifted = rect;
        shifted.Offset(1, 1);
        draw(shifted, plat::clBtnHighlight);
        draw(rect, plat::clBtnShadow);
    }
    canvas.restore();
}

void TDkxDefaultTheme::DrawCheckGlyph(QPainter& canvas, const TRect& rect,
                                      const dk::TDkxItemInfo& info) {
    const int cx = (rect.Left + rect.Right) / 2 - 2;
    const int cy = (rect.Top + rect.Bottom) / 2;
    const std::array<QPoint, 7> points = {
        QPoint(cx - 2, cy - 1), QPoint(cx, cy + 1), QPoint(cx + 4, cy - 3), QPoint(cx + 4, cy - 2),
        QPoint(cx, cy + 2),     QPoint(cx - 2, cy), QPoint(cx - 2, cy - 1)};
    dk::Polyline(canvas, points, info.Enabled ? plat::clBtnText : plat::clGrayText);
}

void TDkxDefaultTheme::DrawChevronGlyph(QPainter& canvas, const TRect& rect,
                                        const dk::TDkxItemInfo& info) {
    DrawButtonFace(canvas, rect, info);
    const int shift = info.Pushed ? 1 : 0;
    const bool down = info.Vertical;
    const dk::GlyphRows rows =
        down ? dk::GlyphRows(dk::kChevronDownGlyph) : dk::GlyphRows(dk::kChevronRightGlyph);
    const int width = down ? 5 : 8;
    // Placed from the button's own top, so a chevron below the first row
    // keeps its glyph.
    const QPoint at = down ? QPoint(rect.Right - 9 + shift, rect.Top + 2 + shift)
                           : QPoint(rect.Left + 2 + shift, rect.Top + 4 + shift);
    if (info.Enabled) {
        dk::DrawGlyph(canvas, rows, width, at, plat::clBtnText);
    } else {
        dk::DrawGlyph(canvas, rows, width, at + QPoint(0, 1), plat::clBtnHighlight);
        dk::DrawGlyph(canvas, rows, width, at, plat::clBtnShadow);
    }
}

void TDkxDefaultTheme::DrawDropDownGlyph(QPainter& canvas, const TRect& rect,
                                         const dk::TDkxItemInfo& info) {
    int x = (rect.Left + rect.Right) / 2;
    int y = (rect.Top + rect.Bottom) / 2 - 1;
    if ((info.Pushed || info.Selected) && info.ComboPart != dk::ComboArrow) {
        ++x;
        ++y;
    }
    if (!info.Enabled) {
        dk::DrawSmallDownArrow(canvas, x + 1, y + 1, plat::clBtnHighlight);
        dk::DrawSmallDownArrow(canvas, x, y, plat::clBtnShadow);
        return;
    }
    dk::DrawSmallDownArrow(canvas, x, y,
                           info.Has(dk::ItemToolbarStyle) ? dk::KitValues().MenuTextColor
                                                          : plat::clBtnText);
}

// --- Edit items -----------------------------------------------------------------------

void TDkxDefaultTheme::DrawEditFrame(QPainter& canvas, const TRect& rect,
                                     const dk::TDkxItemInfo& info,
                                     const dk::TDkxEditFrameInfo& frame) {
    DrawEditBorder(canvas, rect, info);
    if (frame.ButtonWidth <= 0) {
        return;
    }
    TRect button = rect;
    button.Inflate(-2, -2);
    button.Left = std::max(button.Left, button.Right - frame.ButtonWidth);
    DrawEditButton(canvas, button, info, frame.Button);
}

void TDkxDefaultTheme::DrawEditButton(QPainter& canvas, const TRect& rect,
                                      const dk::TDkxItemInfo& info,
                                      const dk::TDkxEditButtonInfo& button) {
    TRect r = rect;
    plat::DrawEdge(canvas, r, button.Pushed ? plat::EDGE_SUNKEN : plat::EDGE_RAISED,
                   plat::BF_RECT | plat::BF_MIDDLE | plat::BF_ADJUST);
    if (button.Pushed) {
        r.Offset(1, 1);
    }
    const TColor color = info.Enabled ? plat::clBtnText : plat::clGrayText;
    if (button.ButtonKind == dk::EditButtonEllipsis) {
        const int y = r.Top + r.Height() / 2;
        const int x = r.Left + r.Width() / 2;
        for (int dot = -1; dot <= 1; ++dot) {
            dk::FillRectColor(canvas, TRect(x + 3 * dot - 1, y, x + 3 * dot + 1, y + 2), color);
        }
    } else {
        dk::DrawSmallDownArrow(canvas, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2 - 1, color);
    }
}

void TDkxDefaultTheme::DrawEditBorder(QPainter& canvas, const TRect& rect,
                                      const dk::TDkxItemInfo& info) {
    TRect r = rect;
    plat::DrawEdge(canvas, r, plat::EDGE_SUNKEN, plat::BF_RECT | plat::BF_ADJUST);
    dk::FillRectColor(canvas, r, info.Enabled ? plat::clWindow : plat::clBtnFace);
}

// --- Items ------------------------------------------------------------------------------

void TDkxDefaultTheme::DrawItemImage(QPainter& canvas, const TRect& rect,
                                     const dk::TDkxItemInfo& info, const plat::ImageList* images,
                                     int index) {
    if (images == nullptr) {
        return;
    }
    const dk::TDkxKitValues& kit = dk::KitValues();
    TRect r = rect;
    if (info.Pushed || info.Selected) {
        r.Offset(1, 1);
    }
    const bool popupItem = IsPopupMenuItem(info);
    const bool listDraws = popupItem ? !kit.FlatMenus : !kit.XPStylesActive;
    if (listDraws) {
        if (info.Enabled) {
            images->Draw(canvas, r.Left, r.Top, index, plat::clNone);
        } else {
            dk::DrawDisabledImage(canvas, *images, index, r.Left, r.Top);
        }
        return;
    }
    if (!info.Enabled) {
        dk::DrawImageShadow(canvas, r, *images, false, index);
        return;
    }
    const bool dark = !popupItem && dk::IsDarkColor(GetImageBackColor(info), 100);
    if (!info.Pushed && !info.Selected && !info.IsHot() && !dark && !kit.HiContrast &&
        !kit.LoColor) {
        dk::DrawImageWashed(canvas, r, *images, 178, plat::clWindow, index);
    } else {
        dk::DrawImageHighContrast(canvas, r, *images, dark, index);
    }
}

void TDkxDefaultTheme::DrawWindowButton(QPainter& canvas, const TRect& rect,
                                        const dk::TDkxItemInfo& info, int buttonKind) {
    dk::DrawCaptionButton(canvas, rect, buttonKind, info.Pushed);
}

void TDkxDefaultTheme::DrawMenuItem(QPainter& canvas, const TRect& rect,
                                    const dk::TDkxItemInfo& info) {
    const dk::TDkxKitValues& kit = dk::KitValues();
    const int w = plat::GetSystemMetrics(plat::SM_CXMENUCHECK);
    const bool split = info.Has(dk::ItemCombo);
    const bool imageArea = info.ImageWidth > 0 || info.Selected;
    const bool hot = dk::ClassicHot(info);

    TRect frame = rect;
    if (imageArea) {
        frame.Left += GetIntegerValue(dk::ValueMenuImageGapBefore) + info.MenuImageColumn;
    }
    if (split && info.Enabled) {
        frame.Right -= w;
    }
    DrawMenuItemFrame(canvas, frame, info);

    if (split) {
        TRect arrowPart(rect.Right - w, rect.Top, rect.Right, rect.Bottom);
        if (info.Enabled && info.IsHot()) {
            plat::DrawEdge(canvas, arrowPart, plat::BDR_RAISEDINNER, plat::BF_RECT);
        } else {
            --arrowPart.Left;
            plat::DrawEdge(canvas, arrowPart, hot ? plat::BDR_RAISEDINNER : plat::EDGE_ETCHED,
                           plat::BF_LEFT);
        }
    }
    if (info.Has(dk::ItemSubmenu)) {
        // From the item's own top: the rectangle is in window coordinates.
        const int x = rect.Right - (2 * w) / 3 - 2;
        const int y = (rect.Top + rect.Bottom) / 2;
        if (!info.Enabled) {
            if (info.HoverKind != dk::HoverKeyboard) {
                dk::DrawSubmenuArrow(canvas, x + 1, y + 1, plat::clBtnHighlight);
            }
            dk::DrawSubmenuArrow(canvas, x, y, plat::clBtnShadow);
        } else {
            dk::DrawSubmenuArrow(
                canvas, x, y, info.IsHot() && !split ? plat::clHighlightText : kit.MenuTextColor);
        }
    }
    if (info.Enabled && imageArea && (info.IsHot() || info.Selected)) {
        const TRect column(rect.Left, rect.Top, rect.Left + info.MenuImageColumn, rect.Bottom);
        if (kit.FlatMenus) {
            dk::FillRectColor(canvas, column, kit.ToolbarColor);
        }
        DrawButtonFace(canvas, column, info);
    }
}

void TDkxDefaultTheme::DrawMenuItemFrame(QPainter& canvas, const TRect& rect,
                                         const dk::TDkxItemInfo& info) {
    if (dk::ClassicHot(info)) {
        dk::FillRectColor(canvas, rect, plat::clHighlight);
    }
}

void TDkxDefaultTheme::DrawScrollArrowButton(QPainter& canvas, const TRect& rect, int buttonKind,
                                             bool hot) {
    dk::DrawScrollButton(canvas, rect, buttonKind, hot);
}

void TDkxDefaultTheme::DrawSeparator(QPainter& canvas, const TRect& rect,
                                     const dk::TDkxItemInfo& info, bool horizontal, bool lineOnly) {
    const int inset = dk::SeparatorInset(info, horizontal, lineOnly);
    TRect r = rect;
    if (horizontal) {
        r.Left += inset;
        r.Right -= inset;
        r.Top += r.Height() / 2 - 1;
        plat::DrawEdge(canvas, r, plat::EDGE_ETCHED, plat::BF_TOP);
    } else {
        r.Top += inset;
        r.Bottom -= inset;
        r.Left += r.Width() / 2 - 1;
        plat::DrawEdge(canvas, r, plat::EDGE_ETCHED, plat::BF_LEFT);
    }
}

void TDkxDefaultTheme::DrawCheckRadioFrame(QPainter& canvas, const TRect& rect, int kind,
                                           unsigned state) {
    const bool disabled = (state & dk::CheckStateDisabled) != 0;
    const bool pushed = (state & dk::CheckStatePushed) != 0;
    TRect r = rect;
    plat::DrawEdge(canvas, r, plat::EDGE_SUNKEN, plat::BF_RECT | plat::BF_ADJUST);
    dk::FillRectColor(canvas, r, disabled || pushed ? plat::clBtnFace : plat::clWindow);
    const TColor mark = disabled ? plat::clGrayText : plat::clWindowText;
    if ((state & dk::CheckStateMixed) != 0) {
        dk::FillDithered(canvas, r, plat::clBtnFace, plat::clWindow);
    }
    if ((state & (dk::CheckStateChecked | dk::CheckStateMixed)) == 0) {
        return;
    }
    if (kind == dk::RadioButtonFrame) {
        TRect dot = r;
        dot.Inflate(-std::max(1, r.Width() / 3), -std::max(1, r.Height() / 3));
        dk::FillRectColor(canvas, dot, mark);
        return;
    }
    dk::TDkxItemInfo glyph;
    glyph.Enabled = !disabled;
    DrawCheckGlyph(canvas, r, glyph);
}

// --- Values ---------------------------------------------------------------------------

int TDkxDefaultTheme::GetIntegerValue(int index) {
    using namespace dk;
    static constexpr ThemeIntegerValue kValues[] = {
        {ValueSplitArrowWidth, 11},   {ValueDropDownArrowWidth, 8}, {ValueDropDownArrowSpace, 3},
        {ValueMenuItemVertMargin, 2}, {ValueMenuItemHorzMargin, 0}, {ValueMenuImageGapBefore, 1},
        {ValueMenuImageGapAfter, 2},  {ValueMenuItemExtraWidth, 3}, {ValueMenuMetric36, 2},
        {ValueMenuMetric37, 4},       {ValueMetric40, 6},           {ValueEditFrame, 2},
        {ValueEditMetric61, 2},       {ValueEditMetric62, 1},       {ValueEditMetric64, 4},
        {ValueEditMetric65, 13},
    };
    return LookUpIntegerValue(kValues, index);
}

bool TDkxDefaultTheme::GetBooleanValue(int index) {
    return index == dk::ValueVisualStyleColors && dk::KitValues().XPStylesActive;
}
