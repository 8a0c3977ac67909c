// The Flat theme's painters: every part takes its colours from the cache and
// its sizes from the theme's integer values.
#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkDraw.h"
#include "dockkit/themes/DkFlatTheme/DkFlatTheme.h"
#include "dockkit/themes/DkImageEffects.h"
#include "dockkit/themes/DkNexus.h"
#include "dockkit/themes/DkThemePaint.h"
#include "dockkit/themes/DkThemeUtils.h"

#include "platform/gui/AccelText.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Metrics.h"

#include <QPainter>

#include <array>

using plat::TColor;
using plat::TRect;

namespace {

int SmallCaption() {
    return plat::GetSystemMetrics(plat::SM_CYSMCAPTION);
}

void DrawText(QPainter& canvas, const TRect& rect, const QString& text, unsigned format,
              bool rotated, TColor color) {
    if (color == plat::clNone || text.isEmpty()) {
        return;
    }
    canvas.save();
    canvas.setBrush(Qt::NoBrush);
    canvas.setPen(plat::ToQColor(color));
    if (rotated) {
        dk::DrawVerticalText(canvas, text, rect, format);
    } else {
        dk::DrawCaption(canvas, text, rect, format);
    }
    canvas.restore();
}

// A state's frame and fill over the rectangle.
void FrameAndFill(QPainter& canvas, TRect rect, const dk::FlatStateColors& colors) {
    dk::FrameRectColor(canvas, rect, colors.Frame, true);
    dk::FillRectColor(canvas, rect, colors.Fill);
}

} // namespace

void TDkxFlatTheme::DrawCloseCross(QPainter& canvas, const TRect& rect, TColor color) const {
    const plat::ImageList* glyphs = Glyphs();
    if (glyphs == nullptr || color == plat::clNone) {
        return;
    }
    // The glyph's dark pixels are the mask: the colour goes where they are.
    const QImage cross = glyphs->Image(0);
    const QColor c = plat::ToQColor(color);
    const int left = rect.Left + (rect.Width() - cross.width()) / 2;
    const int top = rect.Top + (rect.Height() - cross.height()) / 2;
    for (int y = 0; y < cross.height(); ++y) {
        for (int x = 0; x < cross.width(); ++x) {
            if (qAlpha(cross.pixel(x, y)) >= 128) {
                canvas.fillRect(QRect(left + x, top + y, 1, 1), c);
            }
        }
    }
}

void TDkxFlatTheme::DrawCloseButton(QPainter& canvas, const TRect& rect, unsigned state) const {
    dk::FlatStateColors colors;
    if ((state & dk::CloseButtonPushed) != 0) {
        colors = StateColors(dk::fcToolbarStates, dk::ftsPushed);
    } else if ((state & dk::CloseButtonHot) != 0) {
        colors = StateColors(dk::fcToolbarStates, dk::ftsHot);
    } else {
        colors = StateColors(dk::fcToolbarStates, dk::ftsNormal);
    }
    FrameAndFill(canvas, rect, colors);
    DrawCloseCross(canvas, rect, colors.Text);
}

void TDkxFlatTheme::DrawButtonFace(QPainter& canvas, const TRect& rect,
                                   const dk::TDkxItemInfo& info) {
    TRect r = rect;
    if (info.Has(dk::ItemDesigning) && !info.Selected) {
        if (info.ComboPart == dk::ComboArrow) {
            --r.Left;
        }
        dk::FrameRectColor(canvas, r,
                           dk::BlendColorsNearest(plat::clBtnShadow, plat::clBtnFace, 100), false);
    } else {
        const dk::FlatStateColors colors = ItemColors(info);
        if (info.ComboPart == dk::ComboButton && info.DropDownOpen) {
            ++r.Right;
        } else if (info.ComboPart == dk::ComboArrow) {
            --r.Left;
        }
        FrameAndFill(canvas, r, colors);
    }
    if (info.ComboPart == dk::ComboArrow) {
        DrawDropDownGlyph(canvas, rect, info);
    }
}

void TDkxFlatTheme::DrawItemCaption(QPainter& canvas, const TRect& rect,
                                    const dk::TDkxItemInfo& info, const QString& text,
                                    unsigned format, bool rotated) {
    DrawText(canvas, rect, text, format, rotated, ItemColors(info).Text);
}

void TDkxFlatTheme::DrawCheckGlyph(QPainter& canvas, const TRect& rect,
                                   const dk::TDkxItemInfo& info) {
    const int cx = (rect.Left + rect.Right) / 2 - 2;
    const int cy = (rect.Top + rect.Bottom) / 2;
    const std::array<QPoint, 7> points = {
        QPoint(cx - 2, cy - 1), QPoint(cx, cy + 1), QPoint(cx + 4, cy - 3), QPoint(cx + 4, cy - 2),
        QPoint(cx, cy + 2),     QPoint(cx - 2, cy), QPoint(cx - 2, cy - 1)};
    dk::Polyline(canvas, points, StateColors(dk::fcToolbarStates, ToolbarState(info)).Text);
}

void TDkxFlatTheme::DrawChevronGlyph(QPainter& canvas, const TRect& rect,
                                     const dk::TDkxItemInfo& info) {
    DrawButtonFace(canvas, rect, info);
    const TColor color = ItemColors(info).Text;
    if (info.Vertical) {
        dk::DrawGlyph(canvas, dk::kChevronDownGlyph, 5, QPoint(rect.Right - 9, rect.Top + 2),
                      color);
    } else {
        dk::DrawGlyph(canvas, dk::kChevronRightGlyph, 8, QPoint(rect.Left + 2, rect.Top + 4),
                      color);
    }
}

void TDkxFlatTheme::DrawDropDownGlyph(QPainter& canvas, const TRect& rect,
                                      const dk::TDkxItemInfo& info) {
    dk::DrawSmallDownArrow(canvas, (rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2 - 1,
                           ItemColors(info).Text);
}

// --- Edit items -----------------------------------------------------------------------

void TDkxFlatTheme::DrawEditFrame(QPainter& canvas, const TRect& rect, const dk::TDkxItemInfo& info,
                                  const dk::TDkxEditFrameInfo& frame) {
    DrawEditBorder(canvas, rect, info);
    if (frame.ButtonWidth <= 0) {
        return;
    }
    const int inset = GetIntegerValue(dk::ValueEditFrame);
    TRect button = rect;
    button.Inflate(-inset, -inset);
    button.Left = std::max(button.Left, button.Right - frame.ButtonWidth);
    DrawEditButton(canvas, button, info, frame.Button);
}

void TDkxFlatTheme::DrawEditButton(QPainter& canvas, const TRect& rect,
                                   const dk::TDkxItemInfo& info,
                                   const dk::TDkxEditButtonInfo& button) {
    const int state = !info.Enabled   ? dk::ftsDisabled
                      : button.Pushed ? dk::ftsPushed
                      : button.Hot    ? dk::ftsHot
                                      : dk::ftsNormal;
    const dk::FlatStateColors colors = StateColors(dk::fcToolbarStates, state);
    FrameAndFill(canvas, rect, colors);
    const int x = (rect.Left + rect.Right) / 2;
    const int y = (rect.Top + rect.Bottom) / 2 - 1;
    if (button.ButtonKind == dk::EditButtonEllipsis) {
        for (int dot = -1; dot <= 1; ++dot) {
            dk::FillRectColor(canvas, TRect(x + 3 * dot - 1, y + 1, x + 3 * dot + 1, y + 3),
                              colors.Text);
        }
    } else {
        dk::DrawSmallDownArrow(canvas, x, y, colors.Text);
    }
}

void TDkxFlatTheme::DrawEditBorder(QPainter& canvas, const TRect& rect,
                                   const dk::TDkxItemInfo& info) {
    TRect r = rect;
    const bool active = info.IsHot() || info.Pushed || info.Selected;
    dk::FrameRectColor(canvas, r, active ? plat::clHighlight : colors_[dk::fcBorder], true);
    dk::FillRectColor(canvas, r, info.Enabled ? plat::clWindow : colors_[dk::fcFace]);
}

// --- Frames -----------------------------------------------------------------------------

void TDkxFlatTheme::DrawDockPanelFrame(QPainter& canvas, const TRect& rect,
                                       const dk::TDkxDockPanelInfo& info) {
    const int caption = SmallCaption();
    TRect r = rect;
    dk::FrameRectColor(canvas, r, colors_[dk::fcPanelBack], true);
    TRect inner = r;
    if (info.ShowCaption) {
        (info.Vertical ? inner.Top : inner.Left) += caption;
    }
    dk::FrameRectColor(canvas, inner, colors_[dk::fcPanelFrame], false);
    if (!info.ShowCaption) {
        return;
    }
    TRect band = dk::PanelCaptionBand(r, caption, info.Vertical);
    dk::FillRectColor(canvas, band, colors_[dk::fcPanelCaptionBack]);
    if ((info.CloseButtonState & dk::CloseButtonShown) != 0) {
        TRect button = dk::CutPanelCloseButton(band, caption, info.Vertical);
        button.Inflate(-1, -1);
        DrawCloseButton(canvas, button, info.CloseButtonState);
    }
    (info.Vertical ? band.Left : band.Top) += 3;
    dk::DrawPanelCaptionText(canvas, band, info.Caption, colors_[dk::fcPanelCaptionText],
                             info.Vertical);
}

void TDkxFlatTheme::DrawFloatingFrame(QPainter& canvas, const TRect& rect,
                                      const dk::TDkxFloatingBorderInfo& info) {
    const int bx = info.BorderSize.x();
    const int by = info.BorderSize.y();
    const bool closeShown = info.ShowCaption && (info.CloseButtonState & dk::CloseButtonShown) != 0;
    if ((info.RedrawWhat & dk::FloatingRedrawFrame) != 0) {
        // The outer line, then the rest of the border in the caption colour;
        // the inside is the window's.
        TRect r = rect;
        dk::FrameRectColor(canvas, r, colors_[dk::fcPopupFrame], true);
        for (int ring = 1; ring < std::min(bx, by); ++ring) {
            dk::FrameRectColor(canvas, r, colors_[dk::fcCaptionBack], true);
        }
    }
    if (!info.ShowCaption) {
        return;
    }
    if ((info.RedrawWhat & dk::FloatingRedrawCaption) != 0) {
        const TRect caption = dk::GetFloatingCaptionRect(info, closeShown, true);
        dk::FillRectColor(canvas, caption, colors_[dk::fcCaptionBack]);
        dk::FillRectColor(canvas,
                          TRect(bx, caption.Bottom, bx + info.ClientWidth, caption.Bottom + 1),
                          colors_[dk::fcCaptionBack]);
        TRect text = caption;
        text.Left += 2;
        dk::DrawSmallCaptionText(canvas, text, info.Caption, colors_[dk::fcCaptionText],
                                 dk::kSmallCaptionFormat);
    }
    if (closeShown && (info.RedrawWhat & dk::FloatingRedrawCloseButton) != 0) {
        TRect close = dk::GetFloatingCloseRect(info, true);
        dk::FillRectColor(canvas, close, colors_[dk::fcCaptionBack]);
        close.Inflate(-1, -1);
        if ((info.CloseButtonState & (dk::CloseButtonHot | dk::CloseButtonPushed)) != 0) {
            DrawCloseButton(canvas, close, info.CloseButtonState);
        } else {
            DrawCloseCross(canvas, close, colors_[dk::fcCaptionText]);
        }
    }
}

void TDkxFlatTheme::DrawPopupFrame(QPainter& canvas, const TRect& rect,
                                   const dk::TDkxPopupInfo& info) {
    TRect r = rect;
    const bool edit = dk::IsViewKind(info.ViewKind, dk::ViewEditPopup);
    dk::FrameRectColor(canvas, r, colors_[dk::fcPopupFrame], true);
    for (int ring = 1; ring < std::max(info.BorderSize.x(), info.BorderSize.y()); ++ring) {
        dk::FrameRectColor(canvas, r, edit ? plat::clWindow : colors_[dk::fcPopupBack], true);
    }
    // The edge the opening item touches stays open towards it, in the colour
    // of the item's drop-down-open state: the two look like one piece.
    const TRect& item = info.ParentItemRect;
    if (item.IsEmpty()) {
        return;
    }
    const TColor joint = colors_[dk::fcToolbarStates + 3 * dk::ftsDropDownOpen];
    const int left = std::max(rect.Left + 1, item.Left + 1);
    const int right = std::min(rect.Right - 1, item.Right - 1);
    const int top = std::max(rect.Top + 1, item.Top + 1);
    const int bottom = std::min(rect.Bottom - 1, item.Bottom - 1);
    if (item.Bottom == rect.Top + 1 && right > left) {
        dk::FillRectColor(canvas, TRect(left, rect.Top, right, rect.Top + 1), joint);
    } else if (item.Top == rect.Bottom - 1 && right > left) {
        dk::FillRectColor(canvas, TRect(left, rect.Bottom - 1, right, rect.Bottom), joint);
    } else if (item.Right == rect.Left + 1 && bottom > top) {
        dk::FillRectColor(canvas, TRect(rect.Left, top, rect.Left + 1, bottom), joint);
    } else if (item.Left == rect.Right - 1 && bottom > top) {
        dk::FillRectColor(canvas, TRect(rect.Right - 1, top, rect.Right, bottom), joint);
    }
}

void TDkxFlatTheme::DrawToolbarFrame(QPainter& canvas, const TRect& rect,
                                     const dk::TDkxToolbarInfo& info) {
    TRect r = rect;
    if (info.BorderStyle == dk::BorderSingle) {
        dk::FrameRectColor(canvas, r, colors_[dk::fcBorder], true);
    }
    const int handle = dk::GetDragHandleSize(info);
    if (handle <= 0) {
        return;
    }
    const bool closeShown = (info.CloseButtonState & dk::CloseButtonShown) != 0;
    if (info.DragHandleStyle != dk::DragHandleNone) {
        // Dotted lines along the handle, a pixel on and a pixel off.
        const int bx = info.BorderSize.x();
        const int by = info.BorderSize.y();
        const int closeRoom = closeShown ? handle : 0;
        const int lines = info.DragHandleStyle == dk::DragHandleDouble ? 2 : 1;
        const QColor dot = plat::ToQColor(colors_[dk::fcDragHandle]);
        for (int line = 0; line < lines; ++line) {
            const int across = (closeShown ? 6 : 2) + 3 * line;
            if (info.Vertical) {
                for (int x = bx + 2; x < rect.Right - bx - 2 - closeRoom; x += 2) {
                    canvas.fillRect(QRect(x, by + across, 1, 1), dot);
                }
            } else {
                for (int y = by + 2 + closeRoom; y < rect.Bottom - by - 2; y += 2) {
                    canvas.fillRect(QRect(bx + across, y, 1, 1), dot);
                }
            }
        }
    }
    if (closeShown) {
        TRect button = dk::GetDragHandleCloseRect(info);
        button.Inflate(-1, -1);
        DrawCloseButton(canvas, button, info.CloseButtonState);
    }
}

void TDkxFlatTheme::DrawStatusBarPart(QPainter& canvas, const TRect& rect, int part) {
    switch (part) {
    case dk::StatusBarBackground:
        dk::FillRectColor(canvas, rect, colors_[dk::fcStatusBack]);
        break;
    case dk::StatusBarPanel: {
        TRect r = rect;
        r.Right -= 2;
        dk::FrameRectColor(canvas, r, colors_[dk::fcStatusPanel], false);
        break;
    }
    case dk::StatusBarLastPanel: {
        TRect r = rect;
        dk::FrameRectColor(canvas, r, colors_[dk::fcStatusPanelLast], false);
        break;
    }
    case dk::StatusBarGrip: {
        // Two-pixel dots in a triangle towards the corner: three, two, one.
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; i + j < 3; ++j) {
                const int x = rect.Right - 3 - 3 * i;
                const int y = rect.Bottom - 3 - 3 * j;
                dk::FillRectColor(canvas, TRect(x, y, x + 2, y + 2), colors_[dk::fcStatusGrip]);
            }
        }
        break;
    }
    default:
        break;
    }
}

// --- Items ------------------------------------------------------------------------------

void TDkxFlatTheme::DrawItemImage(QPainter& canvas, const TRect& rect, const dk::TDkxItemInfo& info,
                                  const plat::ImageList* images, int index) {
    if (images == nullptr) {
        return;
    }
    const dk::TDkxKitValues& kit = dk::KitValues();
    const bool dark = dk::ColorLuminance(GetImageBackColor(info)) < 80;
    if (!info.Enabled) {
        if (dark) {
            dk::DrawImageMonochrome(canvas, rect, *images, plat::clBtnShadow, index);
        } else {
            dk::DrawImageShadow(canvas, rect, *images, false, index);
        }
        return;
    }
    const bool hot = info.IsHot();
    if (!info.Selected && !info.Pushed && !hot) {
        if (dark || kit.HiContrast || kit.LoColor) {
            dk::DrawImageHighContrast(canvas, rect, *images, dark, index);
        } else {
            dk::DrawImageWashed(canvas, rect, *images, 178, plat::clWindow, index);
        }
        return;
    }
    if (hot && !info.Selected && (!info.Pushed || info.DropDownOpen)) {
        dk::DrawImageShadow(canvas, rect, *images, true, index);
        TRect shadow = rect;
        shadow.Offset(1, 1);
        dk::DrawImageShadow(canvas, shadow, *images, true, index);
        TRect raised = rect;
        raised.Offset(-1, -1);
        dk::DrawImageHighContrast(canvas, raised, *images, dark, index);
        return;
    }
    dk::DrawImageHighContrast(canvas, rect, *images, dark, index);
}

void TDkxFlatTheme::DrawWindowButton(QPainter& canvas, const TRect& rect,
                                     const dk::TDkxItemInfo& info, int buttonKind) {
    const dk::FlatStateColors colors = StateColors(dk::fcToolbarStates, ToolbarState(info));
    FrameAndFill(canvas, rect, colors);
    if (buttonKind == dk::WindowButtonClose) {
        DrawCloseCross(canvas, rect, colors.Text);
    } else {
        dk::DrawGlyphCentered(canvas,
                              buttonKind == dk::WindowButtonMinimize
                                  ? dk::GlyphRows(dk::kMinimizeGlyph)
                                  : dk::GlyphRows(dk::kRestoreGlyph),
                              7, rect, colors.Text);
    }
}

void TDkxFlatTheme::DrawMenuItem(QPainter& canvas, const TRect& rect,
                                 const dk::TDkxItemInfo& info) {
    // The image column in the tool bar colour, the row's highlight over the
    // whole row, the check box in the column.
    const TRect column(rect.Left, rect.Top, rect.Left + info.MenuImageColumn, rect.Bottom);
    dk::FillRectColor(canvas, column, colors_[dk::fcToolbarBack]);
    const bool split = info.Has(dk::ItemCombo);
    const int w = plat::GetSystemMetrics(plat::SM_CXMENUCHECK);
    TRect row = rect;
    if (split && info.Enabled) {
        row.Right -= w;
    }
    DrawMenuItemFrame(canvas, row, info);
    const dk::FlatStateColors colors = ItemColors(info);
    if (info.Selected) {
        TRect box = column;
        box.Inflate(-1, -1);
        dk::TDkxItemInfo checked = info;
        checked.Pushed = false;
        FrameAndFill(canvas, box, StateColors(dk::fcToolbarStates, ToolbarState(checked)));
    }
    if (split) {
        const int x = rect.Right - w;
        dk::FillRectColor(canvas, TRect(x, rect.Top + 2, x + 1, rect.Bottom - 2),
                          colors.Frame != plat::clNone ? colors.Frame : colors_[dk::fcSeparator]);
    }
    if (info.Has(dk::ItemSubmenu)) {
        dk::DrawSubmenuArrow(canvas, rect.Right - (2 * w) / 3 - 2, (rect.Top + rect.Bottom) / 2,
                             colors.Text);
    }
}

void TDkxFlatTheme::DrawMenuItemFrame(QPainter& canvas, const TRect& rect,
                                      const dk::TDkxItemInfo& info) {
    FrameAndFill(canvas, rect, ItemColors(info));
}

void TDkxFlatTheme::DrawScrollArrowButton(QPainter& canvas, const TRect& rect, int buttonKind,
                                          bool hot) {
    const dk::FlatStateColors colors =
        StateColors(dk::fcMenuStates, hot ? dk::fmsHot : dk::fmsNormal);
    FrameAndFill(canvas, rect, colors);
    dk::DrawArrowInRect(canvas, rect, buttonKind, colors.Text);
}

void TDkxFlatTheme::DrawSeparator(QPainter& canvas, const TRect& rect, const dk::TDkxItemInfo& info,
                                  bool horizontal, bool lineOnly) {
    TRect r = rect;
    const bool menu = horizontal && !info.Has(dk::ItemToolbarStyle);
    if (menu) {
        // In a menu the line starts after the image column and its gaps.
        const TRect column(r.Left, r.Top, r.Left + info.MenuImageColumn, r.Bottom);
        dk::FillRectColor(canvas, column, colors_[dk::fcToolbarBack]);
        r.Left = column.Right + GetIntegerValue(dk::ValueMenuImageGapAfter);
    } else {
        const int inset = dk::SeparatorInset(info, horizontal, lineOnly);
        (horizontal ? r.Left : r.Top) += inset;
        (horizontal ? r.Right : r.Bottom) -= inset;
    }
    if (horizontal) {
        r.Top += r.Height() / 2;
        r.Bottom = r.Top + 1;
    } else {
        r.Left += r.Width() / 2;
        r.Right = r.Left + 1;
    }
    dk::FillRectColor(canvas, r, colors_[dk::fcSeparator]);
}

void TDkxFlatTheme::DrawCheckRadioFrame(QPainter& canvas, const TRect& rect, int kind,
                                        unsigned state) {
    const bool disabled = (state & dk::CheckStateDisabled) != 0;
    const bool hot = (state & (dk::CheckStateHot | dk::CheckStatePushed)) != 0;
    TRect r = rect;
    dk::FrameRectColor(canvas, r, disabled ? colors_[dk::fcSeparator] : colors_[dk::fcPopupFrame],
                       true);
    const dk::FlatStateColors hotColors = StateColors(dk::fcToolbarStates, dk::ftsHot);
    dk::FillRectColor(canvas, r, hot && !disabled ? hotColors.Fill : colors_[dk::fcCheckBack]);
    if ((state & (dk::CheckStateChecked | dk::CheckStateMixed)) == 0) {
        return;
    }
    const TColor mark = disabled ? colors_[dk::fcToolbarStates + 3 * dk::ftsDisabled + 1]
                                 : colors_[dk::fcToolbarStates + 1];
    if (kind == dk::RadioButtonFrame || (state & dk::CheckStateMixed) != 0) {
        TRect dot = r;
        dot.Inflate(-std::max(1, r.Width() / 3), -std::max(1, r.Height() / 3));
        dk::FillRectColor(canvas, dot, mark);
        return;
    }
    dk::TDkxItemInfo glyph;
    glyph.Enabled = !disabled;
    DrawCheckGlyph(canvas, r, glyph);
}
