#include "effects/gui/regions/VfxShapeOutline.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace fx {

using plat::TColor;
using plat::TRect;

namespace {

// The pens of one tracing; a colour left invalid is not drawn.
struct Pens {
    QColor Light;
    QColor Shadow;
};

// Per segment i (from point i to the next): whether its outer side faces up,
// or straight left.
std::vector<bool> LitSegments(std::span<const QPoint> points) {
    const size_t n = points.size();
    int64_t area = 0;
    for (size_t i = 0; i < n; ++i) {
        const QPoint& a = points[i];
        const QPoint& b = points[(i + 1) % n];
        area += int64_t(a.x()) * b.y() - int64_t(b.x()) * a.y();
    }
    std::vector<bool> light(n);
    for (size_t i = 0; i < n; ++i) {
        const QPoint d = points[(i + 1) % n] - points[i];
        // the outward normal: (dy, -dx) when clockwise on the screen
        const int nx = area >= 0 ? d.y() : -d.y();
        const int ny = area >= 0 ? -d.x() : d.x();
        light[i] = ny < 0 || (ny == 0 && nx < 0);
    }
    return light;
}

// The first segment whose colour differs from the one before it; the count
// when all have one colour.
size_t FirstOfRun(const std::vector<bool>& light) {
    const size_t n = light.size();
    size_t start = 0;
    while (start < n && light[start] == light[(start + n - 1) % n]) {
        ++start;
    }
    return start;
}

class Outliner {
public:
    Outliner(QPainter& painter, const TVfxShapeParams& params, int penWidth)
        : painter_(painter), params_(params), penWidth_(penWidth) {}

    void Trace(const TRect& r, const Pens& pens) {
        painter_.save();
        switch (params_.Shape) {
        case rsRect:
            Round(r, 0, 0, pens);
            break;
        case rsRoundRect:
            Round(r, params_.RoundX, params_.RoundY, pens);
            break;
        case rsElliptic:
            Round(r, r.Width(), r.Height(), pens);
            break;
        case rsHalfRound:
            Round(TRect(r.Left, 2 * r.Top - r.Bottom, r.Right, r.Bottom), r.Width(), 2 * r.Height(),
                  pens);
            break;
        case rsNoseRect:
        case rsRoundNoseRect:
            NoseBody(r, pens);
            break;
        case rsStar:
        case rsDiamond:
        case rsOctagon:
        case rsComb:
            Polygon(VfxShapePoints(params_.Shape, r), pens);
            break;
        case rsPointList:
            Polygon(params_.Points, pens);
            break;
        case rsRoundShield:
        case rsSharpShield:
            Edges(VfxShapeRegion(params_, r), pens);
            break;
        case rsThinkBubble:
        case rsRoundThinkBubble:
        case rsEllipticThinkBubble:
            BubblesAndBody(r, pens);
            break;
        case rsBitmap:
        case rsUserRegion:
            break;
        }
        painter_.restore();
    }

private:
    // The body of a nose shape; the nose's opening is left out.
    void NoseBody(const TRect& r, const Pens& pens) {
        const bool round = params_.Shape == rsRoundNoseRect;
        const TVfxNose nose =
            VfxNoseGeometry(r, r.Width() / 10, VfxNoseBaseOffset(params_), params_.ExtPos);
        TRect opening(
            std::min(nose.Base1.x(), nose.Base2.x()), std::min(nose.Base1.y(), nose.Base2.y()),
            std::max(nose.Base1.x(), nose.Base2.x()), std::max(nose.Base1.y(), nose.Base2.y()));
        const int grow = round ? 4 : 2;
        opening.Inflate(grow, grow);
        Exclude(opening);
        Round(nose.Body, round ? params_.RoundX : 0, round ? params_.RoundY : 0, pens);
    }

    // The bubbles of a think bubble, each kept out of what follows, then the
    // body in the shape's corners.
    void BubblesAndBody(const TRect& r, const Pens& pens) {
        const TVfxBubbleChain chain =
            VfxBubbleChain(r, r.Width() / 6, params_.BubbleCount, params_.ExtPos);
        for (const TVfxBubble& bubble : chain.Bubbles) {
            const TRect box = bubble.Box();
            if (!box.IsEmpty()) {
                Round(box, box.Width(), box.Height(), pens);
                Exclude(box);
            }
        }
        if (params_.Shape == rsThinkBubble) {
            Round(chain.Body, 0, 0, pens);
        } else if (params_.Shape == rsRoundThinkBubble) {
            Round(chain.Body, params_.RoundX, params_.RoundY, pens);
        } else {
            Round(chain.Body, chain.Body.Width(), chain.Body.Height(), pens);
        }
    }

    void UsePen(const QColor& color) {
        QPen pen(color);
        pen.setWidth(penWidth_);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        painter_.setPen(pen);
    }

    // Takes the box out of the clip for the rest of this tracing.
    void Exclude(const TRect& box) {
        const QRegion clip =
            painter_.hasClipping() ? painter_.clipRegion() : QRegion(painter_.window());
        painter_.setClipRegion(clip.subtracted(QRegion(box.ToQRect())));
    }

    // A rounded rectangle; the ellipse when the corners are the whole
    // rectangle, the rectangle when they are empty. The light part runs from
    // the top-right corner's middle over the top and the left to the
    // bottom-left corner's middle, the shadow part on round.
    void Round(const TRect& r, int w, int h, const Pens& pens) {
        if (r.IsEmpty()) {
            return;
        }
        w = std::min(w, r.Width());
        h = std::min(h, r.Height());
        if (w <= 0 || h <= 0) {
            const std::array<QPoint, 4> corners = {QPoint(r.Left, r.Top), QPoint(r.Right, r.Top),
                                                   QPoint(r.Right, r.Bottom),
                                                   QPoint(r.Left, r.Bottom)};
            Polygon(corners, pens);
            return;
        }
        const QRectF topLeft(r.Left, r.Top, w, h);
        const QRectF topRight(r.Right - w, r.Top, w, h);
        const QRectF bottomLeft(r.Left, r.Bottom - h, w, h);
        const QRectF bottomRight(r.Right - w, r.Bottom - h, w, h);
        HalfRound(pens.Light, topRight, topLeft, bottomLeft, 45);
        HalfRound(pens.Shadow, bottomLeft, bottomRight, topRight, 225);
    }

    // Half of a rounded outline, counter-clockwise from the angle (degrees)
    // in the middle of the first corner over the whole second corner to the
    // middle of the third; nothing when the colour is invalid.
    void HalfRound(const QColor& color, const QRectF& first, const QRectF& second,
                   const QRectF& third, int from) {
        if (!color.isValid()) {
            return;
        }
        QPainterPath path;
        path.arcMoveTo(first, from);
        path.arcTo(first, from, 45);
        path.arcTo(second, from + 45, 90);
        path.arcTo(third, (from + 135) % 360, 45);
        UsePen(color);
        painter_.drawPath(path);
    }

    // Each segment takes the light pen when it faces up (or straight left),
    // otherwise the shadow pen; runs of one colour are drawn as one line.
    void Polygon(std::span<const QPoint> points, const Pens& pens) {
        const size_t n = points.size();
        if (n < 2) {
            return;
        }
        const std::vector<bool> light = LitSegments(points);
        const size_t start = FirstOfRun(light);
        if (start == n) {
            Closed(points, light[0] ? pens.Light : pens.Shadow);
            return;
        }
        QPolygon run;
        for (size_t k = 0; k < n; ++k) {
            const size_t i = (start + k) % n;
            if (run.isEmpty()) {
                run << points[i];
            }
            run << points[(i + 1) % n];
            if (k + 1 == n || light[(i + 1) % n] != light[i]) {
                Open(run, light[i] ? pens.Light : pens.Shadow);
                run.clear();
            }
        }
    }

    void Closed(std::span<const QPoint> points, const QColor& color) {
        if (color.isValid()) {
            UsePen(color);
            painter_.drawPolygon(points.data(), static_cast<int>(points.size()));
        }
    }

    void Open(const QPolygon& run, const QColor& color) {
        if (color.isValid()) {
            UsePen(color);
            painter_.drawPolyline(run);
        }
    }

    // The region's pixel edges: top and left ones light, bottom and right
    // ones shadow.
    void Edges(const QRegion& region, const Pens& pens) {
        if (pens.Light.isValid()) {
            UsePen(pens.Light);
            for (const QRect& e : region.subtracted(region.translated(0, 1))) {
                painter_.drawLine(e.left(), e.top(), e.right() + 1, e.top());
            }
            for (const QRect& e : region.subtracted(region.translated(1, 0))) {
                painter_.drawLine(e.left(), e.top(), e.left(), e.bottom() + 1);
            }
        }
        if (pens.Shadow.isValid()) {
            UsePen(pens.Shadow);
            for (const QRect& e : region.subtracted(region.translated(0, -1))) {
                painter_.drawLine(e.left(), e.bottom() + 1, e.right() + 1, e.bottom() + 1);
            }
            for (const QRect& e : region.subtracted(region.translated(-1, 0))) {
                painter_.drawLine(e.right() + 1, e.top(), e.right() + 1, e.bottom() + 1);
            }
        }
    }

    QPainter& painter_;
    const TVfxShapeParams& params_;
    int penWidth_;
};

} // namespace

void VfxPaintRegionBorder(QPainter& painter, const TVfxShapeParams& params, const TRect& r,
                          TVfxRegionBorderStyle style, TColor lightColor, TColor shadowColor,
                          TColor singleColor) {
    if (style == rbNone || params.Shape == rsBitmap || params.Shape == rsUserRegion) {
        return;
    }
    QColor light = plat::ToQColor(lightColor);
    QColor shadow = plat::ToQColor(shadowColor);
    QColor single = plat::ToQColor(singleColor);
    if (style == rbLowered || style == rbSingleLowered || style == rbLoweredpsb) {
        std::swap(light, shadow);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    Outliner outline(painter, params, std::max(1, painter.pen().width()));
    const bool star = params.Shape == rsStar;
    TRect inner = r;
    switch (style) {
    case rbNone:
        break;
    case rbLowered:
    case rbRaised:
        outline.Trace(r, {light, shadow});
        break;
    case rbSingle:
        outline.Trace(r, {single, single});
        break;
    case rbSingleRaised:
    case rbSingleLowered:
        outline.Trace(r, {single, single});
        inner.Inflate(star ? -2 : -1, star ? -2 : -1);
        outline.Trace(inner, {light, shadow});
        break;
    case rbRaisedpsb:
    case rbLoweredpsb:
        std::swap(single, shadow);
        outline.Trace(r, {light, shadow});
        inner.Inflate(star ? -3 : -1, star ? -3 : -1);
        outline.Trace(inner, {QColor(), single});
        break;
    }
    painter.restore();
}

} // namespace fx
