#include "effects/gui/drawing/VfxGraphics.h"

#include "effects/gui/drawing/VfxAreaPlacement.h"
#include "effects/gui/drawing/VfxText3D.h"
#include "platform/gui/AccelText.h"
#include "platform/gui/Edges.h"

#include <QPainter>
#include <QPolygon>

#include <iterator>
#include <span>

#include <vector>

namespace fx {

using plat::TColor;
using plat::TRect;

namespace {

void Fill(QPainter& painter, int left, int top, int right, int bottom, TColor color) {
    if (right > left && bottom > top) {
        painter.fillRect(QRect(left, top, right - left, bottom - top), plat::ToQColor(color));
    }
}

void FillPolygon(QPainter& painter, const QPolygon& polygon, TColor color) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(plat::ToQColor(color));
    painter.drawPolygon(polygon);
    painter.restore();
}

QRect ToQRect(const TRect& r) {
    return r.ToQRect();
}

// An image of the given part of source in a format the raster operations
// work on, scaled to size without smoothing.
QImage PartOf(const QImage& source, const TRect& part, QSize size) {
    QImage copy = source.copy(ToQRect(part)).convertToFormat(QImage::Format_RGB32);
    if (copy.size() != size && !size.isEmpty()) {
        copy = copy.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    return copy;
}

// The target ANDed with the mask, then ORed with the image.
void MaskedTransfer(QPainter& painter, const TRect& to, const QImage& mask, const QImage& image) {
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(QPoint(to.Left, to.Top), mask);
    painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    painter.drawImage(QPoint(to.Left, to.Top), image);
    painter.restore();
}

bool SameColor(QRgb pixel, QRgb color) {
    return (pixel & 0xFFFFFF) == (color & 0xFFFFFF);
}

} // namespace

bool VfxDrawBevelStyle(QPainter& painter, TRect& rect, TVfxBevelStyle style, int width,
                       TColor shadowColor, TColor lightColor) {
    if (width <= 0 || style == bvNone || style == bvShadow) {
        return false;
    }
    TColor c1 = lightColor;
    TColor c2 = shadowColor;
    if (style == bvRaised || style == bvFrameRaised) {
        c1 = shadowColor;
        c2 = lightColor;
    } else if (style == bvNormal) {
        c1 = c2 = plat::clBlack;
    }
    const int left = rect.Left;
    const int top = rect.Top;
    const int right = rect.Right;
    const int bottom = rect.Bottom;
    if (style == bvFrameLowered || style == bvFrameRaised) {
        for (int i = 0; i < width; ++i) {
            plat::FrameRect(painter, TRect(left + i + 1, top + i + 1, right, bottom), c1);
            plat::FrameRect(painter, TRect(left, top, right - i - 1, bottom - i - 1), c2);
        }
        rect = TRect(left + width + 1, top + width + 1, right - width - 1, bottom - width - 1);
        return true;
    }
    const int r1 = right - 1;
    const int b1 = bottom - 1;
    if (width == 1) {
        // Two polylines, each leaving out its last point: c2 up the left
        // side and along the top, c1 down the right side and along the bottom.
        Fill(painter, left, top, left + 1, b1 + 1, c2);
        Fill(painter, left, top, r1, top + 1, c2);
        Fill(painter, r1, top, r1 + 1, b1, c1);
        Fill(painter, left + 1, b1, r1 + 1, b1 + 1, c1);
        rect = TRect(left + 1, top + 1, right - 1, bottom - 1);
        return true;
    }
    const TRect inner(left + width, top + width, right - width, b1 - width);
    FillPolygon(painter,
                QPolygon({QPoint(left, bottom), QPoint(inner.Left, inner.Bottom),
                          QPoint(inner.Right, inner.Bottom), QPoint(inner.Right, inner.Top),
                          QPoint(right, top), QPoint(right, bottom)}),
                c1);
    FillPolygon(
        painter,
        QPolygon({QPoint(left, b1), QPoint(inner.Left, inner.Bottom), QPoint(inner.Left, inner.Top),
                  QPoint(inner.Right - 1, inner.Top), QPoint(r1, top), QPoint(left, top)}),
        c2);
    rect = TRect(left + width, top + width, right - width, bottom - width);
    return true;
}

bool VfxDrawShadowBevel(QPainter& painter, TRect& rect, TColor frameColor, bool transparent,
                        int innerWidth, int shadowWidth, TColor cornerColor, TColor shadowColor) {
    const int d = shadowWidth;
    const TRect r = rect;
    Fill(painter, r.Right - d, r.Top + d, r.Right, r.Bottom, shadowColor);
    Fill(painter, r.Left + d, r.Bottom - d, r.Right, r.Bottom, shadowColor);
    if (!transparent) {
        Fill(painter, r.Right - d, r.Top, r.Right, r.Top + d, cornerColor);
        Fill(painter, r.Left, r.Bottom - d, r.Left + d, r.Bottom, cornerColor);
    }
    rect = TRect(r.Left, r.Top, r.Right - d, r.Bottom - d);
    for (int i = 0; i < innerWidth; ++i) {
        plat::FrameRect(painter, rect, frameColor);
        rect.Inflate(-1, -1);
    }
    return true;
}

int VfxStandardBorderWidth(TVfxBorderStyle style) {
    switch (style) {
    case lsNone:
        return 0;
    case lsSingle:
    case lsSingleRaised:
    case lsSingleLowered:
        return 1;
    default:
        return 2;
    }
}

namespace {

// One step of a standard border: an edge drawn with the platform's edges, or
// (no edge) the rectangle moved in at the top left and at the bottom right.
struct BorderStep {
    unsigned Edge = 0;
    unsigned Flags = 0;
    int InTopLeft = 0;
    int InBottomRight = 0;
};

constexpr BorderStep Edge(unsigned edge, unsigned flags) {
    return {edge, flags, 0, 0};
}
constexpr BorderStep Inset(int topLeft, int bottomRight) {
    return {0, 0, topLeft, bottomRight};
}

// The steps of a style from lsNone to lsDoubleLowered.
std::span<const BorderStep, 3> StepsOf(TVfxBorderStyle style) {
    using namespace plat;
    constexpr unsigned kSoftRect = BF_ADJUST | BF_SOFT | BF_RECT;
    constexpr unsigned kRect = BF_ADJUST | BF_RECT;

    // in the order of the type
    static constexpr BorderStep kSteps[][3] = {
        /* lsNone */ {},
        /* lsSingle */
        {Edge(BDR_SUNKENOUTER, BF_ADJUST | BF_SOFT | BF_LEFT | BF_TOP),
         Edge(BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM)},
        /* lsLowered */ {Edge(EDGE_SUNKEN, kSoftRect)},
        /* lsRaised */ {Edge(EDGE_RAISED, kSoftRect)},
        /* lsRaisedspb */
        {Edge(BDR_RAISEDOUTER, kSoftRect), Edge(BDR_RAISEDINNER, BF_ADJUST | BF_RIGHT | BF_BOTTOM)},
        /* lsLoweredspb */
        {Edge(BDR_SUNKENOUTER, kRect), Edge(BDR_SUNKENINNER, BF_ADJUST | BF_LEFT | BF_TOP)},
        /* lsRaisedExt */
        {Edge(BDR_RAISEDOUTER, kSoftRect), Edge(BDR_RAISEDINNER, BF_ADJUST | BF_RIGHT | BF_BOTTOM),
         Inset(1, 0)},
        /* lsLoweredExt */
        {Edge(BDR_SUNKENOUTER, kRect), Edge(BDR_SUNKENINNER, BF_ADJUST | BF_LEFT | BF_TOP),
         Inset(0, 1)},
        /* lsFrameInset */ {Edge(EDGE_ETCHED, kRect)},
        /* lsFrameOffset */ {Edge(BDR_RAISEDINNER, kRect), Edge(BDR_SUNKENOUTER, kRect)},
        /* lsWindowBorder */
        {Edge(BDR_RAISEDOUTER, BF_ADJUST | BF_RIGHT | BF_BOTTOM), Inset(1, 0),
         Edge(BDR_RAISEDINNER, kRect)},
        /* lsSingleRaised */ {Edge(BDR_RAISEDINNER, kRect)},
        /* lsSingleLowered */ {Edge(BDR_SUNKENOUTER, kRect)},
        /* lsDoubleRaised */ {Edge(BDR_RAISEDINNER, kRect), Edge(BDR_RAISEDINNER, kRect)},
        /* lsDoubleLowered */ {Edge(BDR_SUNKENOUTER, kRect), Edge(BDR_SUNKENOUTER, kRect)},
    };
    static_assert(std::size(kSteps) == lsDoubleLowered + 1);
    return kSteps[style];
}

} // namespace

bool VfxDrawStandardBorder(QPainter& painter, TRect& rect, TVfxBorderStyle style,
                           unsigned extraFlags) {
    if (style < lsNone || style > lsDoubleLowered) {
        return true;
    }
    for (const BorderStep& step : StepsOf(style)) {
        if (step.Edge != 0) {
            plat::DrawEdge(painter, rect, step.Edge, step.Flags | extraFlags);
        } else {
            rect.Left += step.InTopLeft;
            rect.Top += step.InTopLeft;
            rect.Right -= step.InBottomRight;
            rect.Bottom -= step.InBottomRight;
        }
    }
    return true;
}

void VfxFillBitmap(QImage& bitmap, const TRect& rect, TColor color) {
    if (rect.IsEmpty()) {
        return;
    }
    bitmap = QImage(rect.Width(), rect.Height(), QImage::Format_RGB32);
    bitmap.fill(plat::ToQColor(color));
}

void VfxBuildTransparentImage(const QImage& canvas, const TRect& source, QImage& mask, TColor color,
                              QImage& image) {
    const int w = source.Width();
    const int h = source.Height();
    if (canvas.isNull() || w <= 0 || h <= 0) {
        return;
    }
    const QRgb key = plat::ToQColor(color).rgb();
    image = canvas.copy(ToQRect(source)).convertToFormat(QImage::Format_RGB32);
    mask = QImage(w, h, QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const bool isKey = SameColor(row[x], key);
            mask.setPixel(x, y, isKey ? 1 : 0);
            if (isKey) {
                row[x] = qRgb(0, 0, 0);
            }
        }
    }
}

TColor VfxTransparentColorOf(const QImage& bitmap) {
    if (bitmap.isNull()) {
        return plat::clNone;
    }
    return plat::FromQColor(QColor(bitmap.pixel(0, bitmap.height() - 1)));
}

namespace {

// Calls draw for each place that is not empty.
template <typename Draw>
void ForEachPlace(const std::vector<TRect>& places, Draw draw) {
    for (const TRect& p : places) {
        if (!p.IsEmpty()) {
            draw(p);
        }
    }
}

// The part of the bitmap with its transparent colour drawn in the colour.
void DrawReplaced(QPainter& painter, const std::vector<TRect>& places, const QImage& bitmap,
                  const TRect& part, TColor color) {
    const QRgb key = plat::ToQColor(VfxTransparentColorOf(bitmap)).rgb();
    const QRgb brush = plat::ToQColor(color).rgb();
    QImage replaced = bitmap.copy(ToQRect(part)).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < replaced.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(replaced.scanLine(y));
        for (int x = 0; x < replaced.width(); ++x) {
            if (SameColor(row[x], key)) {
                row[x] = brush;
            }
        }
    }
    ForEachPlace(places, [&](const TRect& p) { painter.drawImage(ToQRect(p), replaced); });
}

// The part of the image through the same part of the mask, scaled to each place.
void DrawMasked(QPainter& painter, const std::vector<TRect>& places, const QImage& image,
                const QImage& mask, const TRect& part) {
    ForEachPlace(places, [&](const TRect& p) {
        const QSize size(p.Width(), p.Height());
        MaskedTransfer(painter, p, PartOf(mask, part, size), PartOf(image, part, size));
    });
}

// The part of the image without the pixels of the colour.
void DrawTransparent(QPainter& painter, const std::vector<TRect>& places, const QImage& image,
                     const TRect& part, TColor color) {
    QImage mask;
    QImage opaque;
    VfxBuildTransparentImage(image, part, mask, color, opaque);
    if (!opaque.isNull()) {
        DrawMasked(painter, places, opaque, mask, TRect(0, 0, part.Width(), part.Height()));
    }
}

} // namespace

void VfxDrawArea(QPainter& painter, const TRect& dest, const QImage* source, TRect& reported,
                 const QImage* extra, TColor color, uint16_t flags, const TRect& sourceRect) {
    const TVfxAreaPlacement placement =
        VfxPlaceArea(dest, sourceRect.Width(), sourceRect.Height(), flags);
    reported = placement.Reported;
    const std::vector<TRect>& places = placement.Places;
    if (places.empty()) {
        return;
    }
    const TRect part(sourceRect.Left, sourceRect.Top, sourceRect.Left + sourceRect.Width(),
                     sourceRect.Top + sourceRect.Height());
    const bool hasExtra = extra != nullptr && !extra->isNull();
    if ((flags & VFX_DF_REPLACE) && hasExtra) {
        DrawReplaced(painter, places, *extra, part, color);
        return;
    }
    if (source == nullptr || source->isNull()) {
        return;
    }
    if ((flags & VFX_DF_MASKED) && hasExtra) {
        DrawMasked(painter, places, *source, *extra, part);
    } else if (flags & VFX_DF_TRANSPARENT) {
        DrawTransparent(painter, places, *source, part, color);
    } else {
        ForEachPlace(
            places, [&](const TRect& p) { painter.drawImage(ToQRect(p), *source, ToQRect(part)); });
    }
}

void VfxDrawAreaClipped(QPainter& painter, const TRect& dest, const QImage* source,
                        const TRect& sourceRect, uint16_t flags, uint32_t clipOffset, TColor color,
                        const QImage* bitmap) {
    TRect reported;
    if (!(flags & VFX_DF_CLIP)) {
        VfxDrawArea(painter, dest, source, reported, bitmap, color, flags, sourceRect);
        return;
    }
    TRect clip = dest;
    clip.Offset(static_cast<int>(clipOffset & 0xFFFF), static_cast<int>(clipOffset >> 16));
    painter.save();
    struct Restore {
        QPainter& p;
        ~Restore() { p.restore(); }
    } restore{painter};
    painter.setClipRect(clip.ToQRect(), Qt::IntersectClip);
    VfxDrawArea(painter, dest, source, reported, bitmap, color, flags, sourceRect);
}

void VfxDrawBitmapClipped(QPainter& painter, const TRect& dest, const QImage& bitmap,
                          uint16_t flags, uint32_t clipOffset, TColor color) {
    if (bitmap.isNull()) {
        return;
    }
    const TRect whole(0, 0, bitmap.width(), bitmap.height());
    const QImage* source = (flags & VFX_DF_REPLACE) ? nullptr : &bitmap;
    VfxDrawAreaClipped(painter, dest, source, whole, flags, clipOffset, color, &bitmap);
}

void VfxDrawBitmap(QPainter& painter, const TRect& dest, const QImage& bitmap, TRect& reported,
                   TColor color, uint16_t flags) {
    reported = TRect();
    if (bitmap.isNull()) {
        return;
    }
    const TRect whole(0, 0, bitmap.width(), bitmap.height());
    const bool replace = (flags & VFX_DF_REPLACE) != 0;
    VfxDrawArea(painter, dest, replace ? nullptr : &bitmap, reported, replace ? &bitmap : nullptr,
                color, flags, whole);
}

TRect VfxAlignRect(TVfxAlignment alignment, const TRect& box, const TRect& container) {
    const int wb = box.Width();
    const int hb = box.Height();
    const int wc = container.Width();
    const int hc = container.Height();
    int dy = 0;
    switch (alignment) {
    case agCenterLeft:
    case agCenter:
    case agCenterRight:
        dy = (hc - hb) / 2;
        break;
    case agBottomLeft:
    case agBottomCenter:
    case agBottomRight:
        dy = hc - hb;
        break;
    default:
        break;
    }
    int dx = 0;
    switch (alignment) {
    case agTopCenter:
    case agCenter:
    case agBottomCenter:
        dx = (wc - wb) / 2;
        break;
    case agTopRight:
    case agCenterRight:
    case agBottomRight:
        dx = wc - wb;
        break;
    default:
        break;
    }
    return VfxBounds(container.Left + dx, container.Top + dy, wb, hb);
}

void VfxMeasureCaption(const QString& text, const TVfx3DCaption* caption, TRect& rect,
                       unsigned format, int margin, bool showAccel, bool wordWrap,
                       const QFont& font) {
    format |= plat::DT_CALCRECT | plat::DT_EXPANDTABS;
    if (wordWrap) {
        format |= plat::DT_WORDBREAK;
    }
    if (!showAccel) {
        format |= plat::DT_NOPREFIX;
    }
    QString measured = text;
    if (measured.isEmpty() || (showAccel && measured == QStringLiteral("&"))) {
        measured = QStringLiteral(" ");
    }
    QFont f = font;
    if (caption != nullptr && caption->Tracing() != 0) {
        f.setLetterSpacing(QFont::AbsoluteSpacing, caption->Tracing());
    }
    const TRect r = plat::CalcTextRect(f, measured, rect, format);
    rect.Right = r.Right;
    rect.Bottom = r.Bottom;
    if (caption != nullptr) {
        rect.Right += caption->StyleDepth();
        rect.Bottom += caption->StyleDepth();
    }
    rect.Right += 2 * (margin + 1);
    rect.Bottom += 2 * (margin + 1);
}

TRect VfxAlignedTextRect(TVfxAlignment alignment, const QString& text, const TVfx3DCaption* caption,
                         unsigned format, bool showAccel, bool wordWrap, const QFont& font,
                         const TRect& container) {
    TRect box = container;
    box.Right -= 1;
    VfxMeasureCaption(text, caption, box, format, 0, showAccel, wordWrap, font);
    return VfxAlignRect(alignment, box, container);
}

} // namespace fx
