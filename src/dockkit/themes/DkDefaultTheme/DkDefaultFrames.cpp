// The Default theme's frames: docked panels, floating windows, pop-ups,
// docked tool bars and status bars.
#include "dockkit/common/DkCommon.h"
#include "dockkit/themes/DkDefaultTheme/DkDefaultTheme.h"
#include "dockkit/themes/DkNexus.h"
#include "dockkit/themes/DkThemePaint.h"
#include "dockkit/themes/DkThemeUtils.h"

#include "platform/gui/AccelText.h"
#include "platform/gui/Edges.h"
#include "platform/gui/Metrics.h"

#include <QPainter>
#include <QRegion>

#include <array>

using plat::TColor;
using plat::TRect;

namespace {

int SmallCaption() {
    return plat::GetSystemMetrics(plat::SM_CYSMCAPTION);
}

// The classic close button of a panel caption or a tool bar's handle: raised
// while hot, sunken while pressed (the glyph then moves a pixel right and
// down), nothing around it otherwise.
void DrawFrameCloseButton(QPainter& canvas, const TRect& button, unsigned state,
                          dk::GlyphRows glyph, int glyphWidth, int glyphInset) {
    const bool pressed = (state & dk::CloseButtonPushed) != 0;
    if (pressed) {
        plat::DrawEdge(canvas, button.ToQRect(), plat::BDR_SUNKENOUTER, plat::BF_RECT);
    } else if ((state & dk::CloseButtonHot) != 0) {
        plat::DrawEdge(canvas, button.ToQRect(), plat::BDR_RAISEDINNER, plat::BF_RECT);
    }
    TRect area = button;
    area.Inflate(-glyphInset, -glyphInset);
    if (pressed) {
        area.Offset(1, 1);
    }
    dk::DrawGlyphCentered(canvas, glyph, glyphWidth, area, plat::clBtnText);
}

} // namespace

void TDkxDefaultTheme::DrawDockPanelFrame(QPainter& canvas, const TRect& rect,
                                          const dk::TDkxDockPanelInfo& info) {
    const dk::TDkxKitValues& kit = dk::KitValues();
    const int caption = SmallCaption();
    TRect r = rect;
    dk::FrameRectColor(canvas, r, kit.ToolbarColor, true);
    TRect inner = r;
    if (info.ShowCaption) {
        (info.Vertical ? inner.Top : inner.Left) += caption;
    }
    dk::FrameRectColor(canvas, inner, plat::clWindow, false);
    if (!info.ShowCaption) {
        return;
    }
    TRect band = dk::PanelCaptionBand(r, caption, info.Vertical);
    plat::DrawEdge(canvas, band, plat::BDR_RAISEDINNER, plat::BF_RECT | plat::BF_ADJUST);
    if ((info.CloseButtonState & dk::CloseButtonShown) != 0) {
        TRect button = dk::CutPanelCloseButton(band, caption, info.Vertical);
        dk::FillRectColor(canvas, button, kit.ToolbarColor);
        button.Inflate(-1, -1);
        (info.Vertical ? button.Left : button.Bottom) += info.Vertical ? 1 : -1;
        DrawFrameCloseButton(canvas, button, info.CloseButtonState, dk::kPanelCloseGlyph, 7, 2);
    }
    dk::FillRectColor(canvas, band, kit.ToolbarColor);
    if (info.Vertical) {
        band.Left += 2;
        band.Right -= 2;
    } else {
        band.Top += 2;
        band.Bottom -= 2;
    }
    if (band.IsEmpty() || info.Caption.isEmpty()) {
        return;
    }
    dk::DrawPanelCaptionText(canvas, band, info.Caption, plat::clBtnText, info.Vertical);
}

void TDkxDefaultTheme::DrawFloatingFrame(QPainter& canvas, const TRect& rect,
                                         const dk::TDkxFloatingBorderInfo& info) {
    const int bx = info.BorderSize.x();
    const int by = info.BorderSize.y();
    if ((info.RedrawWhat & dk::FloatingRedrawFrame) != 0) {
        TRect inner = rect;
        inner.Inflate(-bx, -by);
        canvas.save();
        QRegion ring(rect.ToQRect());
        if (!inner.IsEmpty()) {
            ring -= QRegion(inner.ToQRect());
        }
        canvas.setClipRegion(ring, Qt::IntersectClip);
        plat::DrawEdge(canvas, rect.ToQRect(), plat::EDGE_RAISED, plat::BF_RECT | plat::BF_MIDDLE);
        canvas.restore();
    }
    if (!info.ShowCaption) {
        return;
    }
    const bool closeShown = (info.CloseButtonState & dk::CloseButtonShown) != 0;
    const TRect close = dk::GetFloatingCloseRect(info, true);
    TRect inner = close;
    inner.Inflate(-2, -2);
    if ((info.RedrawWhat & dk::FloatingRedrawCaption) != 0) {
        const TRect caption = dk::GetFloatingCaptionRect(info, closeShown, true);
        dk::DrawSmallWindowCaption(canvas, caption, info.Caption, info.Active);
        dk::FillRectColor(canvas,
                          TRect(bx, caption.Bottom, bx + info.ClientWidth, caption.Bottom + 1),
                          plat::clBtnFace);
        if (closeShown) {
            canvas.save();
            QRegion ring(close.ToQRect());
            ring -= QRegion(inner.ToQRect());
            canvas.setClipRegion(ring, Qt::IntersectClip);
            dk::FillRectColor(canvas, close,
                              info.Active ? plat::clActiveCaption : plat::clInactiveCaption);
            canvas.restore();
        }
    }
    if (closeShown && (info.RedrawWhat & dk::FloatingRedrawCloseButton) != 0) {
        dk::DrawCaptionCloseButton(canvas, inner,
                                   (info.CloseButtonState & dk::CloseButtonPushed) != 0);
    }
}

void TDkxDefaultTheme::DrawPopupFrame(QPainter& canvas, const TRect& rect,
                                      const dk::TDkxPopupInfo& info) {
    const dk::TDkxKitValues& kit = dk::KitValues();
    TRect r = rect;
    if (dk::IsViewKind(info.ViewKind, dk::ViewEditPopup)) {
        dk::FrameRectColor(canvas, r, plat::clWindowFrame, true);
        dk::FrameRectColor(canvas, r, plat::clWindow, true);
        dk::FrameRectColor(canvas, r, plat::clWindow, true);
        return;
    }
    const bool toolBox = dk::IsViewKind(info.ViewKind, dk::ViewToolBoxPopup);
    if (kit.FlatMenus && !toolBox) {
        dk::FrameRectColor(canvas, r, plat::clBtnShadow, true);
        dk::FrameRectColor(canvas, r, kit.MenuColor, true);
        dk::FrameRectColor(canvas, r, kit.MenuColor, true);
        return;
    }
    plat::DrawEdge(canvas, r, plat::EDGE_RAISED, plat::BF_RECT | plat::BF_ADJUST);
    dk::FrameRectColor(canvas, r, toolBox ? kit.ToolbarColor : kit.MenuColor, true);
}

void TDkxDefaultTheme::DrawToolbarFrame(QPainter& canvas, const TRect& rect,
                                        const dk::TDkxToolbarInfo& info) {
    TRect r = rect;
    if (info.BorderStyle == dk::BorderSingle) {
        plat::DrawEdge(canvas, r, plat::BDR_RAISEDINNER, plat::BF_RECT | plat::BF_ADJUST);
    }
    const int handle = dk::GetDragHandleSize(info);
    if (handle <= 0) {
        return;
    }
    const bool closeShown = (info.CloseButtonState & dk::CloseButtonShown) != 0;
    if (info.DragHandleStyle != dk::DragHandleNone) {
        const bool twin = info.DragHandleStyle == dk::DragHandleDouble;
        const int start = !closeShown ? 2 : (twin ? 3 : 5);
        // The handle lies along the left edge, or the top edge of a vertical
        // tool bar, inside the border; with a close button the bars begin
        // below (beside) it.
        const int bx = info.BorderSize.x();
        const int by = info.BorderSize.y();
        const int closeRoom = closeShown ? handle - 1 : 0;
        const QColor highlight = plat::ToQColor(plat::clBtnHighlight);
        for (int bar = 0; bar < (twin ? 2 : 1); ++bar) {
            const int across = start + 3 * bar;
            TRect grip =
                info.Vertical
                    ? TRect(bx, by + across, rect.Right - bx - closeRoom, by + across + 3)
                    : TRect(bx + across, by + closeRoom, bx + across + 3, rect.Bottom - by);
            if (grip.IsEmpty()) {
                continue;
            }
            plat::DrawEdge(canvas, grip.ToQRect(), plat::BDR_RAISEDINNER, plat::BF_RECT);
            canvas.fillRect(QRect(grip.Left, grip.Bottom - 1, 1, 1), highlight);
        }
    }
    if (closeShown) {
        TRect button = dk::GetDragHandleCloseRect(info);
        button.Inflate(-2, -2);
        DrawFrameCloseButton(canvas, button, info.CloseButtonState, dk::kToolbarCloseGlyph, 7, 0);
    }
}

void TDkxDefaultTheme::DrawStatusBarPart(QPainter& canvas, const TRect& rect, int part) {
    switch (part) {
    case dk::StatusBarBackground:
        dk::FillRectColor(canvas, rect, plat::clBtnFace);
        return;
    case dk::StatusBarPanel:
    case dk::StatusBarLastPanel: {
        TRect r = rect;
        if (part == dk::StatusBarPanel) {
            r.Right -= 2;
        }
        dk::DrawLineFrame(canvas, r, plat::clBtnShadow, plat::clBtnHighlight);
        return;
    }
    case dk::StatusBarGrip:
        break;
    default:
        return;
    }
    constexpr TColor face = plat::clBtnFace;
    constexpr TColor shadow = plat::clBtnShadow;
    constexpr TColor light = plat::clBtnHighlight;
    const int n = std::min(rect.Width(), rect.Height());
    std::span<const TColor> group;
    static constexpr std::array<TColor, 2> small = {shadow, light};
    static constexpr std::array<TColor, 3> medium = {face, shadow, light};
    static constexpr std::array<TColor, 3> mediumLarge = {shadow, shadow, light};
    static constexpr std::array<TColor, 4> large = {face, shadow, shadow, light};
    if (n < 9) {
        group = small;
    } else if (n < 12) {
        group = medium;
    } else if (n < 15) {
        group = mediumLarge;
    } else {
        group = large;
    }
    const int count = static_cast<int>(group.size()) * 3;
    for (int i = 0; i < count; ++i) {
        const std::array<QPoint, 2> line = {QPoint(rect.Right - 2 - i, rect.Bottom - 2),
                                            QPoint(rect.Right - 1, rect.Bottom - 3 - i)};
        dk::Polyline(canvas, line, group[static_cast<size_t>(i) % group.size()]);
    }
    const std::array<QPoint, 3> edge = {QPoint(rect.Right - count - 1, rect.Bottom - 1),
                                        QPoint(rect.Right - 1, rect.Bottom - 1),
                                        QPoint(rect.Right - 1, rect.Bottom - count - 2)};
    dk::Polyline(canvas, edge, face);
}
