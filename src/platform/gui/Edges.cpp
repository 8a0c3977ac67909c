#include "platform/gui/Edges.h"

#include <QPainter>

#include <algorithm>

namespace plat {

namespace {

void Fill(QPainter& p, int x, int y, int w, int h, TColor color) {
    if (w > 0 && h > 0 && color != clNone) {
        p.fillRect(QRect(x, y, w, h), ToQColor(color));
    }
}

// One ring on the given sides of r; the bottom-right colour owns the corners
// it shares with the top-left one.
void DrawRing(QPainter& p, const TRect& r, TColor topLeft, TColor bottomRight, unsigned sides) {
    const int w = r.Width();
    const int h = r.Height();
    if (w <= 0 || h <= 0) {
        return;
    }
    if (sides & BF_LEFT) {
        Fill(p, r.Left, r.Top, 1, h - ((sides & BF_BOTTOM) ? 1 : 0), topLeft);
    }
    if (sides & BF_TOP) {
        Fill(p, r.Left, r.Top, w - ((sides & BF_RIGHT) ? 1 : 0), 1, topLeft);
    }
    if (sides & BF_RIGHT) {
        Fill(p, r.Right - 1, r.Top, 1, h, bottomRight);
    }
    if (sides & BF_BOTTOM) {
        Fill(p, r.Left, r.Bottom - 1, w, 1, bottomRight);
    }
}

void ShrinkSides(TRect& r, unsigned sides) {
    if (sides & BF_LEFT) {
        ++r.Left;
    }
    if (sides & BF_TOP) {
        ++r.Top;
    }
    if (sides & BF_RIGHT) {
        --r.Right;
    }
    if (sides & BF_BOTTOM) {
        --r.Bottom;
    }
}

struct RingColors {
    TColor topLeft;
    TColor bottomRight;
};

// The colours of one ring; kind is the ring's two bits moved to 1 (raised),
// 2 (sunken) or 3 (both, drawn sunken).
RingColors RingColorsOf(bool outer, unsigned kind, unsigned flags) {
    if (flags & BF_MONO) {
        const TColor c = outer ? clWindowFrame : clWindow;
        return {c, c};
    }
    if (flags & BF_FLAT) {
        const TColor c = outer ? clBtnShadow : clBtnFace;
        return {c, c};
    }
    const bool soft = (flags & BF_SOFT) != 0;
    const bool sunken = (kind & 2) != 0;
    if (outer) {
        return sunken ? RingColors{soft ? cl3DDkShadow : clBtnShadow, clBtnHighlight}
                      : RingColors{soft ? clBtnHighlight : cl3DLight, cl3DDkShadow};
    }
    return sunken ? RingColors{soft ? clBtnShadow : cl3DDkShadow, cl3DLight}
                  : RingColors{soft ? cl3DLight : clBtnHighlight, clBtnShadow};
}

void DrawDiagonal(QPainter& p, const TRect& r, TColor color, unsigned flags, int shift) {
    const int n = std::min(r.Width(), r.Height()) - 1;
    const bool toRight = (flags & BF_RIGHT) != 0;
    const bool toTop = (flags & BF_TOP) != 0;
    const int dx = toRight ? 1 : -1;
    const int dy = toTop ? -1 : 1;
    const int x0 = (toRight ? r.Left : r.Right - 1) + shift * dx;
    const int y0 = toTop ? r.Bottom - 1 : r.Top;
    for (int i = 0; i < n - shift; ++i) {
        Fill(p, x0 + i * dx, y0 + i * dy, 1, 1, color);
    }
}

} // namespace

void DrawEdge(QPainter& painter, TRect& rect, unsigned edge, unsigned flags) {
    const unsigned outerKind = edge & BDR_OUTER;
    const unsigned innerKind = (edge & BDR_INNER) >> 2;
    if (flags & BF_DIAGONAL) {
        int shift = 0;
        for (const auto& [outer, kind] :
             {std::pair{true, outerKind}, std::pair{false, innerKind}}) {
            if (kind == 0) {
                continue;
            }
            const RingColors c = RingColorsOf(outer, kind, flags);
            DrawDiagonal(painter, rect, (flags & BF_TOP) ? c.topLeft : c.bottomRight, flags,
                         shift++);
        }
        return;
    }
    const unsigned sides = flags & BF_RECT;
    TRect r = rect;
    for (const auto& [outer, kind] : {std::pair{true, outerKind}, std::pair{false, innerKind}}) {
        if (kind == 0) {
            continue;
        }
        const RingColors c = RingColorsOf(outer, kind, flags);
        DrawRing(painter, r, c.topLeft, c.bottomRight, sides);
        ShrinkSides(r, sides);
    }
    if (flags & BF_MIDDLE) {
        Fill(painter, r.Left, r.Top, r.Width(), r.Height(),
             (flags & BF_MONO) ? clWindow : clBtnFace);
    }
    if (flags & BF_ADJUST) {
        rect = r;
    }
}

void FrameRect(QPainter& painter, const TRect& rect, TColor color) {
    DrawRing(painter, rect, color, color, BF_RECT);
}

void Frame3D(QPainter& painter, TRect& rect, TColor topLeft, TColor bottomRight, int width) {
    for (int i = 0; i < width; ++i) {
        DrawRing(painter, rect, topLeft, bottomRight, BF_RECT);
        rect.Inflate(-1, -1);
    }
}

} // namespace plat
