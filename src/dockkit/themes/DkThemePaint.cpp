#include "dockkit/themes/DkThemePaint.h"

#include "dockkit/common/DkCommon.h"
#include "dockkit/themes/DkThemeTypes.h"
#include "dockkit/themes/DkThemeUtils.h"

#include "platform/gui/AccelText.h"
#include "platform/gui/Edges.h"

#include <QPainter>

#include <algorithm>

namespace dk {

const uint8_t kPanelCloseGlyph[6] = {0xC6, 0x6C, 0x38, 0x38, 0x6C, 0xC6};
const uint8_t kToolbarCloseGlyph[7] = {0xC6, 0xEE, 0x7C, 0x38, 0x7C, 0xEE, 0xC6};
const uint8_t kChevronRightGlyph[5] = {0xCC, 0x66, 0x33, 0x66, 0xCC};
const uint8_t kChevronDownGlyph[8] = {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20};
const uint8_t kMinimizeGlyph[7] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x7C, 0x7C};
const uint8_t kRestoreGlyph[7] = {0x3E, 0x3E, 0x22, 0xFA, 0xFA, 0x8C, 0xF8};

namespace {

void Pixels(QPainter& canvas, int x, int y, int w, int h, const QColor& color) {
    if (w > 0 && h > 0) {
        canvas.fillRect(QRect(x, y, w, h), color);
    }
}

} // namespace

bool ClassicHot(const TDkxItemInfo& info) {
    return info.Enabled ? info.HoverKind != HoverNone : info.HoverKind == HoverKeyboard;
}

int SeparatorInset(const TDkxItemInfo& info, bool horizontal, bool inset) {
    if (horizontal && !info.Has(ItemToolbarStyle)) {
        return 12;
    }
    if (!inset) {
        return 0;
    }
    return (info.ViewKind & ViewFloating) != 0 ? 1 : 4;
}

void DrawGlyph(QPainter& canvas, GlyphRows rows, int width, QPoint at, plat::TColor color) {
    if (color == plat::clNone) {
        return;
    }
    const QColor c = plat::ToQColor(color);
    width = std::clamp(width, 0, 8);
    for (size_t row = 0; row < rows.size(); ++row) {
        const int y = at.y() + static_cast<int>(row);
        // Runs of set bits become one fill each.
        int x = 0;
        while (x < width) {
            if ((rows[row] & (0x80 >> x)) == 0) {
                ++x;
                continue;
            }
            int end = x;
            while (end < width && (rows[row] & (0x80 >> end)) != 0) {
                ++end;
            }
            Pixels(canvas, at.x() + x, y, end - x, 1, c);
            x = end;
        }
    }
}

void DrawGlyphCentered(QPainter& canvas, GlyphRows rows, int width, const plat::TRect& rect,
                       plat::TColor color) {
    const int height = static_cast<int>(rows.size());
    DrawGlyph(
        canvas, rows, width,
        QPoint(rect.Left + (rect.Width() - width) / 2, rect.Top + (rect.Height() - height) / 2),
        color);
}

void DrawSubmenuArrow(QPainter& canvas, int x, int y, plat::TColor color) {
    const QColor c = plat::ToQColor(color);
    for (int column = 0; column < 4; ++column) {
        Pixels(canvas, x + column, y - 3 + column, 1, 7 - 2 * column, c);
    }
}

void DrawSmallDownArrow(QPainter& canvas, int x, int y, plat::TColor color) {
    const QColor c = plat::ToQColor(color);
    for (int row = 0; row < 3; ++row) {
        Pixels(canvas, x - 2 + row, y + row, 5 - 2 * row, 1, c);
    }
}

void DrawArrowInRect(QPainter& canvas, const plat::TRect& rect, int direction, plat::TColor color) {
    const bool vertical = direction == ScrollArrowUp || direction == ScrollArrowDown;
    // The base of the triangle runs across the arrow's direction: an odd
    // number of pixels, half the smaller side at most; the height follows.
    int base = std::min(rect.Width(), rect.Height()) * 3 / 4 / 2;
    base = std::max(1, base - (base % 2 == 0 ? 1 : 0));
    const int height = (base + 1) / 2;
    const int across = vertical ? rect.Width() : rect.Height();
    const int along = vertical ? rect.Height() : rect.Width();
    const int start = (across - base) / 2;
    const int tip = (along - height) / 2;
    const QColor c = plat::ToQColor(color);
    for (int i = 0; i < height; ++i) {
        // i counts from the tip.
        const int span = 2 * i + 1;
        const int offset = start + base / 2 - i;
        switch (direction) {
        case ScrollArrowUp:
            Pixels(canvas, rect.Left + offset, rect.Top + tip + i, span, 1, c);
            break;
        case ScrollArrowDown:
            Pixels(canvas, rect.Left + offset, rect.Top + tip + height - 1 - i, span, 1, c);
            break;
        case ScrollArrowLeft:
            Pixels(canvas, rect.Left + tip + i, rect.Top + offset, 1, span, c);
            break;
        default:
            Pixels(canvas, rect.Left + tip + height - 1 - i, rect.Top + offset, 1, span, c);
            break;
        }
    }
}

// --- Frame controls -------------------------------------------------------------------

namespace {

plat::TRect ButtonFace(QPainter& canvas, const plat::TRect& rect, bool pushed) {
    plat::TRect face = rect;
    plat::DrawEdge(canvas, face, pushed ? plat::EDGE_SUNKEN : plat::EDGE_RAISED,
                   plat::BF_RECT | plat::BF_MIDDLE | plat::BF_ADJUST);
    if (pushed) {
        face.Offset(1, 1);
    }
    return face;
}

} // namespace

void DrawCaptionCloseButton(QPainter& canvas, const plat::TRect& rect, bool pushed) {
    DrawCaptionButton(canvas, rect, WindowButtonClose, pushed);
}

void DrawCaptionButton(QPainter& canvas, const plat::TRect& rect, int kind, bool pushed) {
    if (rect.IsEmpty()) {
        return;
    }
    const plat::TRect face = ButtonFace(canvas, rect, pushed);
    switch (kind) {
    case WindowButtonMinimize:
        DrawGlyphCentered(canvas, kMinimizeGlyph, 7, face, plat::clBtnText);
        break;
    case WindowButtonRestore:
        DrawGlyphCentered(canvas, kRestoreGlyph, 7, face, plat::clBtnText);
        break;
    default:
        DrawGlyphCentered(canvas, kPanelCloseGlyph, 7, face, plat::clBtnText);
        break;
    }
}

void DrawScrollButton(QPainter& canvas, const plat::TRect& rect, int direction, bool flat) {
    if (rect.IsEmpty()) {
        return;
    }
    plat::TRect face = rect;
    if (flat) {
        FrameRectColor(canvas, face, plat::clBtnShadow, true);
        FillRectColor(canvas, face, plat::clBtnFace);
    } else {
        plat::DrawEdge(canvas, face, plat::EDGE_RAISED,
                       plat::BF_RECT | plat::BF_MIDDLE | plat::BF_ADJUST);
    }
    DrawArrowInRect(canvas, face, direction, plat::clBtnText);
}

// --- Captions -------------------------------------------------------------------------

void DrawSmallCaptionText(QPainter& canvas, const plat::TRect& rect, const QString& text,
                          plat::TColor color, unsigned format) {
    if (rect.IsEmpty() || text.isEmpty() || color == plat::clNone) {
        return;
    }
    canvas.save();
    canvas.setFont(SmallCaptionFont());
    canvas.setPen(plat::ToQColor(color));
    canvas.setBrush(Qt::NoBrush);
    canvas.setClipRect(rect.ToQRect(), Qt::IntersectClip);
    plat::DrawText(canvas, text, rect.ToQRect(), format);
    canvas.restore();
}

plat::TRect PanelCaptionBand(const plat::TRect& frame, int caption, bool vertical) {
    return vertical ? plat::TRect(frame.Left, frame.Top, frame.Right, frame.Top + caption)
                    : plat::TRect(frame.Left, frame.Top, frame.Left + caption, frame.Bottom);
}

plat::TRect CutPanelCloseButton(plat::TRect& band, int caption, bool vertical) {
    plat::TRect button = band;
    if (vertical) {
        button.Left = band.Right - caption;
        band.Right = button.Left;
    } else {
        button.Bottom = band.Top + caption;
        band.Top = button.Bottom;
    }
    return button;
}

void DrawPanelCaptionText(QPainter& canvas, const plat::TRect& band, const QString& caption,
                          plat::TColor color, bool vertical) {
    if (vertical) {
        DrawSmallCaptionText(canvas, band, caption, color, kSmallCaptionFormat);
        return;
    }
    canvas.save();
    canvas.setFont(SmallCaptionFont());
    canvas.setPen(plat::ToQColor(color));
    canvas.setClipRect(band.ToQRect(), Qt::IntersectClip);
    DrawVerticalText(canvas, caption, band, plat::DT_HIDEPREFIX);
    canvas.restore();
}

void DrawSmallWindowCaption(QPainter& canvas, const plat::TRect& rect, const QString& text,
                            bool active) {
    FillRectColor(canvas, rect, active ? plat::clActiveCaption : plat::clInactiveCaption);
    plat::TRect textRect = rect;
    textRect.Left += 2;
    DrawSmallCaptionText(canvas, textRect, text,
                         active ? plat::clCaptionText : plat::clInactiveCaptionText,
                         kSmallCaptionFormat);
}

} // namespace dk
