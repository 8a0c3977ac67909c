#include "effects/gui/regions/VfxRegionShapes.h"

#include "effects/gui/regions/VfxRegionMask.h"

#include <QBrush>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <optional>
#include <utility>

namespace fx {

using plat::TColor;
using plat::TRect;

namespace {

// Regions hold coordinates of 28 bits.
constexpr int kCoordinateLimit = 1 << 27;

int RoundEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

// The inset from each side of the rows of a rounded outline, from the top
// (or bottom) edge inwards: row r of an ellipse w wide and h high holds the
// pixels whose centres lie strictly inside it, in doubled coordinates from
// its centre (P = 2x + 1 - w, D = 2r + 1 - h) those with
// P^2 h^2 + D^2 w^2 < w^2 h^2. Rows past h / 2 have none. Going down, the
// inset only shrinks: each row walks it on from the row above.
std::vector<int> CornerInsets(int w, int h) {
    std::vector<int> insets;
    insets.reserve(static_cast<size_t>(h / 2) + 1);
    // exact in 64 bits while w and h fit in 15 bits, else near enough
    const bool exact = w < (1 << 15) && h < (1 << 15);
    const auto inside = [&](int64_t p, int64_t d) {
        if (exact) {
            return p * p * h * h + d * d * w * w < int64_t(w) * w * h * h;
        }
        const double pw = double(p) / w;
        const double dh = double(d) / h;
        return pw * pw + dh * dh < 1.0;
    };
    int inset = (w + 1) / 2; // no pixel yet
    for (int row = 0; 2 * row + 1 < h; ++row) {
        const int64_t d = 2 * row + 1 - h;
        while (inset > 0 && inside(2 * inset - 1 - w, d)) {
            --inset;
        }
        insets.push_back(inset);
    }
    return insets;
}

// The region of rectangles that are bands already: sorted top down, then
// left to right, none overlapping.
QRegion RegionOfRects(const std::vector<QRect>& rects) {
    QRegion region;
    if (!rects.empty()) {
        region.setRects(rects.data(), static_cast<int>(rects.size()));
    }
    return region;
}

QRegion RoundedRegion(const TRect& r, int w, int h) {
    const int width = r.Width();
    const int height = r.Height();
    if (width <= 0 || height <= 0) {
        return {};
    }
    w = std::min(w, width);
    h = std::min(h, height);
    if (w <= 0 || h <= 0) {
        return QRegion(r.ToQRect());
    }
    const std::vector<int> insets = CornerInsets(w, h);
    const auto insetOf = [&](int y) {
        const auto row = static_cast<size_t>(std::min(y, height - 1 - y));
        return row < insets.size() ? insets[row] : 0;
    };
    // One rectangle per run of rows with the same inset: the bands a region keeps.
    std::vector<QRect> rects;
    rects.reserve(2 * insets.size() + 1);
    int bandTop = 0;
    int bandInset = insetOf(0);
    const auto flush = [&](int bottom) {
        if (2 * bandInset < width) {
            rects.emplace_back(r.Left + bandInset, r.Top + bandTop, width - 2 * bandInset,
                               bottom - bandTop);
        }
    };
    for (int y = 1; y < height; ++y) {
        const int inset = insetOf(y);
        if (inset != bandInset) {
            flush(y);
            bandTop = y;
            bandInset = inset;
        }
    }
    flush(height);
    return RegionOfRects(rects);
}

QRegion RegionFromData(QByteArrayView data) {
    return VfxRegionFromData(data).value_or(QRegion());
}

// Which sides a nose or bubble chain takes from the rectangle.
bool OnTop(TVfxExtPos p) {
    return p <= epRightTop;
}
bool OnLeft(TVfxExtPos p) {
    return p == epLeftTop || p == epTopLeft || p == epBottomLeft || p == epLeftBottom;
}

TRect Shrunk(const TRect& r, int size, TVfxExtPos p) {
    TRect s = r;
    if (OnTop(p)) {
        s.Top += size;
    } else {
        s.Bottom -= size;
    }
    if (OnLeft(p)) {
        s.Left += size;
    } else {
        s.Right -= size;
    }
    return s;
}

bool IsRoundNoseVertical(TVfxExtPos p) {
    return p == epLeftTop || p == epRightTop || p == epRightBottom || p == epLeftBottom;
}

QRegion ShieldRegion(TVfxRegionShape shape, int w, int h) {
    QRegion body;
    if (shape == rsRoundShield) {
        body = VfxEllipticRegion(TRect(0, h / 5 - h, w, h));
    } else {
        const int v = (8 * h) / 7;
        body = VfxEllipticRegion(TRect(-w, -v, w, v))
                   .intersected(VfxEllipticRegion(TRect(0, -v, 2 * w, v)));
    }
    return body.subtracted(VfxEllipticRegion(TRect(-(w / 2), -(h / 5), w / 2, h / 5)))
        .subtracted(VfxEllipticRegion(TRect(w / 2, -(h / 5), w / 2 + w, h / 5)))
        .subtracted(VfxRectRegion(TRect(0, -40, w, 0)));
}

QRegion BodyRegion(TVfxRegionShape shape, const TRect& body, int roundX, int roundY) {
    switch (shape) {
    case rsRoundThinkBubble:
    case rsRoundNoseRect:
        return VfxRoundRectRegion(body, roundX, roundY);
    case rsEllipticThinkBubble:
        return VfxEllipticRegion(body);
    default:
        return VfxRectRegion(body);
    }
}

} // namespace

QRegion VfxRectRegion(const TRect& r) {
    return r.IsEmpty() ? QRegion() : QRegion(r.ToQRect());
}

QRegion VfxEllipticRegion(const TRect& r) {
    return RoundedRegion(r, r.Width(), r.Height());
}

QRegion VfxRoundRectRegion(const TRect& r, int ellipseWidth, int ellipseHeight) {
    return RoundedRegion(r, ellipseWidth, ellipseHeight);
}

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { // b > 0
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// An edge that is not horizontal, walked from its top point down. Along the
// edge the first pixel right of the crossing with row y's centre line is
// ceil(N / D) with N = 2 X Dy + (2 (y - Y) + 1) Dx - Dy and D = 2 Dy: it is
// kept as a quotient Q and a remainder R = Q D - N (0 <= R < D), and each row
// down adds 2 Dx to N, that is Step D + Rest.
struct PolygonEdge {
    int Top;
    int Bottom;
    int64_t D;
    int64_t Q;
    int64_t R;
    int64_t Step;
    int64_t Rest;

    // From its top point a to its bottom point b.
    static PolygonEdge Between(QPoint a, QPoint b) {
        const int64_t dx = int64_t(b.x()) - a.x();
        const int64_t dy = int64_t(b.y()) - a.y();
        const int64_t d = 2 * dy;
        const int64_t n0 = 2 * a.x() * dy + dx - dy;
        const int64_t q = -FloorDiv(-n0, d); // ceil(n0 / d)
        const int64_t step = FloorDiv(2 * dx, d);
        return {a.y(), b.y(), d, q, q * d - n0, step, 2 * dx - step * d};
    }

    void StepDown() {
        Q += Step;
        R -= Rest;
        if (R < 0) {
            ++Q;
            R += D;
        }
    }
};

struct PolygonEdges {
    std::vector<PolygonEdge> Edges;
    int Top = 0; // the rows the polygon spans
    int Bottom = 0;
};

// The edges of the polygon that are not horizontal; nothing when a
// coordinate lies beyond what a region can hold.
std::optional<PolygonEdges> EdgesOf(std::span<const QPoint> points) {
    const size_t n = points.size();
    PolygonEdges polygon;
    polygon.Edges.reserve(n);
    polygon.Top = points[0].y();
    polygon.Bottom = polygon.Top;
    for (size_t i = 0; i < n; ++i) {
        QPoint a = points[i];
        QPoint b = points[(i + 1) % n];
        if (std::abs(a.x()) > kCoordinateLimit || std::abs(a.y()) > kCoordinateLimit) {
            return std::nullopt;
        }
        polygon.Top = std::min(polygon.Top, a.y());
        polygon.Bottom = std::max(polygon.Bottom, a.y());
        if (a.y() == b.y()) {
            continue;
        }
        if (a.y() > b.y()) {
            std::swap(a, b);
        }
        polygon.Edges.push_back(PolygonEdge::Between(a, b));
    }
    return polygon;
}

// Sorts a row's crossings: by insertion for the few that most rows have.
void SortCrossings(std::vector<int>& xs) {
    if (xs.size() > 16) {
        std::sort(xs.begin(), xs.end());
        return;
    }
    for (size_t k = 1; k < xs.size(); ++k) {
        const int x = xs[k];
        size_t j = k;
        for (; j > 0 && xs[j - 1] > x; --j) {
            xs[j] = xs[j - 1];
        }
        xs[j] = x;
    }
}

// Where the edges that cross row y cross it, in order; each of them is moved
// on to the row.
void RowCrossings(std::vector<PolygonEdge>& edges, int y, std::vector<int>& xs) {
    xs.clear();
    for (PolygonEdge& e : edges) {
        if (y < e.Top || y >= e.Bottom) {
            continue;
        }
        if (y > e.Top) {
            e.StepDown();
        }
        xs.push_back(static_cast<int>(e.Q));
    }
    SortCrossings(xs);
}

using Span = std::pair<int, int>; // left, right (outside)

// The crossings taken in pairs, overlapping spans joined.
void RowSpans(const std::vector<int>& xs, std::vector<Span>& spans) {
    spans.clear();
    for (size_t k = 0; k + 1 < xs.size(); k += 2) {
        const int l = xs[k];
        const int r = xs[k + 1];
        if (l >= r) {
            continue;
        }
        if (!spans.empty() && l <= spans.back().second) {
            spans.back().second = std::max(spans.back().second, r);
        } else {
            spans.emplace_back(l, r);
        }
    }
}

// Rows of spans, top down, gathered into the bands a region keeps: one
// rectangle per span for each run of rows with the same spans.
class SpanBands {
public:
    SpanBands(int top, size_t expectedRects) : bandTop_(top) { rects_.reserve(expectedRects); }

    // Takes the row's spans (leaving spans with what it no longer needs).
    void AddRow(int y, std::vector<Span>& spans) {
        if (spans != band_) {
            Flush(y);
            band_.swap(spans);
            bandTop_ = y;
        }
    }

    QRegion Finish(int bottom) {
        Flush(bottom);
        return RegionOfRects(rects_);
    }

private:
    void Flush(int y) {
        for (const auto& [l, r] : band_) {
            rects_.emplace_back(l, bandTop_, r - l, y - bandTop_);
        }
    }

    std::vector<QRect> rects_;
    std::vector<Span> band_;
    int bandTop_;
};

} // namespace

QRegion VfxPolygonRegion(std::span<const QPoint> points) {
    if (points.size() < 3) {
        return {};
    }
    std::optional<PolygonEdges> polygon = EdgesOf(points);
    if (!polygon) {
        return {}; // beyond what a region can hold
    }
    // Row by row: the crossings sorted and taken in pairs give the spans.
    SpanBands bands(polygon->Top, 2 * static_cast<size_t>(polygon->Bottom - polygon->Top));
    std::vector<int> xs;
    xs.reserve(polygon->Edges.size());
    std::vector<Span> spans;
    for (int y = polygon->Top; y < polygon->Bottom; ++y) {
        RowCrossings(polygon->Edges, y, xs);
        RowSpans(xs, spans);
        bands.AddRow(y, spans);
    }
    return bands.Finish(polygon->Bottom);
}

std::vector<QPoint> VfxShapePoints(TVfxRegionShape shape, const TRect& r) {
    const int l = r.Left;
    const int t = r.Top;
    const int w = r.Width();
    const int h = r.Height();
    switch (shape) {
    case rsStar: {
        const auto x = [&](double f) { return l + RoundEven(w * f); };
        const auto y = [&](double f) { return t + RoundEven(h * f); };
        return {{l + w / 2, t},      {x(0.65), y(0.38)},   {r.Right, y(0.38)},  {x(0.70), y(0.60)},
                {x(0.85), r.Bottom}, {l + w / 2, y(0.75)}, {x(0.15), r.Bottom}, {x(0.30), y(0.60)},
                {l, y(0.38)},        {x(0.35), y(0.38)}};
    }
    case rsDiamond:
        return {{l + w / 2, t}, {l, t + h / 2}, {l + w / 2, r.Bottom}, {r.Right, t + h / 2}};
    case rsOctagon:
        return {{l + 2 * (w / 3), t},       {l + w / 3, t},        {l, t + h / 3},
                {l, t + 2 * (h / 3)},       {l + w / 3, r.Bottom}, {l + 2 * (w / 3), r.Bottom},
                {r.Right, t + 2 * (h / 3)}, {r.Right, t + h / 3}};
    case rsComb:
        return {{l + w / 2, t},
                {l, t + h / 4},
                {l, t + 3 * (h / 4)},
                {l + w / 2, r.Bottom},
                {r.Right, t + 3 * (h / 4)},
                {r.Right, t + h / 4}};
    default:
        return {};
    }
}

TVfxNose VfxNoseGeometry(const TRect& r, int size, int baseOffset, TVfxExtPos position) {
    const TRect b = Shrunk(r, size, position);
    const int s = size;
    const int w = baseOffset;
    const int d = RoundEven(std::sqrt(2.0 * s * s));
    TVfxNose nose{b, {}, {}, {}};
    switch (position) {
    case epLeftTop:
        nose.Tip = {b.Left - s, b.Top - s};
        nose.Base1 = {b.Left, b.Top + w};
        nose.Base2 = {b.Left, b.Top + w + d};
        break;
    case epTopLeft:
        nose.Tip = {b.Left - s, b.Top - s};
        nose.Base1 = {b.Left + w, b.Top};
        nose.Base2 = {b.Left + w + d, b.Top};
        break;
    case epTopRight:
        nose.Tip = {b.Right + s, b.Top - s};
        nose.Base1 = {b.Right - w, b.Top};
        nose.Base2 = {b.Right - w - d, b.Top};
        break;
    case epRightTop:
        nose.Tip = {b.Right + s, b.Top - s};
        nose.Base1 = {b.Right, b.Top + w};
        nose.Base2 = {b.Right, b.Top + w + d};
        break;
    case epRightBottom:
        nose.Tip = {b.Right + s, b.Bottom + s};
        nose.Base1 = {b.Right, b.Bottom - w};
        nose.Base2 = {b.Right, b.Bottom - w - d};
        break;
    case epBottomRight:
        nose.Tip = {b.Right + s, b.Bottom + s};
        nose.Base1 = {b.Right - w, b.Bottom};
        nose.Base2 = {b.Right - w - d, b.Bottom};
        break;
    case epBottomLeft:
        nose.Tip = {b.Left - s, b.Bottom + s};
        nose.Base1 = {b.Left + w, b.Bottom};
        nose.Base2 = {b.Left + w + d, b.Bottom};
        break;
    case epLeftBottom:
        nose.Tip = {b.Left - s, b.Bottom + s};
        nose.Base1 = {b.Left, b.Bottom - w};
        nose.Base2 = {b.Left, b.Bottom - w - d};
        break;
    }
    return nose;
}

int VfxNoseBaseOffset(const TVfxShapeParams& p) {
    if (p.Shape == rsNoseRect) {
        return 5;
    }
    return IsRoundNoseVertical(p.ExtPos) ? p.RoundY : p.RoundX;
}

TRect TVfxBubble::Box() const {
    const int half = Diameter / 2;
    return {Centre.x() - half, Centre.y() - half, Centre.x() + half, Centre.y() + half};
}

TVfxBubbleChain VfxBubbleChain(const TRect& r, int size, int count, TVfxExtPos position) {
    const int n = std::max(count, 1);
    const double s = size;
    const TRect b = Shrunk(r, size, position);
    const double k = s * 2 * std::numbers::pi / 4 / n / n;
    TVfxBubbleChain chain{b, {}};
    chain.Bubbles.reserve(static_cast<size_t>(n) + 2);
    for (int i = 0; i <= n + 1; ++i) {
        const double a = (90.0 / (n + 1)) * i * std::numbers::pi / 180;
        const int c = RoundEven(std::cos(a) * s);
        const int sn = RoundEven(std::sin(a) * s);
        const int c2 = RoundEven(std::cos(1.57 - a) * s);
        const int sn2 = RoundEven(std::sin(1.57 - a) * s);
        QPoint centre;
        switch (position) {
        case epLeftTop:
            centre = {b.Left - c, b.Top - size + sn};
            break;
        case epTopLeft:
            centre = {b.Left - size + c2, b.Top - sn2};
            break;
        case epTopRight:
            centre = {b.Right + size - c2, b.Top - RoundEven(std::sin(1.57 + a) * s)};
            break;
        case epRightTop:
            centre = {b.Right + c, b.Top - size + sn};
            break;
        case epRightBottom:
            centre = {b.Right + c, b.Bottom + size - sn};
            break;
        case epBottomRight:
            centre = {b.Right + size - c2, b.Bottom + sn2};
            break;
        case epBottomLeft:
            centre = {b.Left - size + c2, b.Bottom + sn2};
            break;
        case epLeftBottom:
            centre = {b.Left - c, b.Bottom + size - sn};
            break;
        }
        chain.Bubbles.push_back({centre, RoundEven(i * k)});
    }
    return chain;
}

QRegion VfxShapeRegion(const TVfxShapeParams& p, const TRect& r) {
    const int w = r.Width();
    switch (p.Shape) {
    case rsRect:
        return VfxRectRegion(r);
    case rsRoundRect:
        return VfxRoundRectRegion(r, p.RoundX, p.RoundY);
    case rsBitmap:
        return RegionFromData(p.MaskData);
    case rsNoseRect:
    case rsRoundNoseRect: {
        const TVfxNose nose = VfxNoseGeometry(r, w / 10, VfxNoseBaseOffset(p), p.ExtPos);
        const std::array<QPoint, 3> triangle = {nose.Tip, nose.Base1, nose.Base2};
        return BodyRegion(p.Shape, nose.Body, p.RoundX, p.RoundY)
            .united(VfxPolygonRegion(triangle));
    }
    case rsElliptic:
        return VfxEllipticRegion(r);
    case rsStar:
    case rsDiamond:
    case rsOctagon:
    case rsComb:
        return VfxPolygonRegion(VfxShapePoints(p.Shape, r));
    case rsRoundShield:
    case rsSharpShield:
        return ShieldRegion(p.Shape, w, r.Height());
    case rsHalfRound:
        return VfxEllipticRegion(TRect(r.Left, 2 * r.Top - r.Bottom, r.Right, r.Bottom));
    case rsUserRegion:
        return p.Designing ? VfxRectRegion(r) : RegionFromData(p.UserData);
    case rsThinkBubble:
    case rsRoundThinkBubble:
    case rsEllipticThinkBubble: {
        const TVfxBubbleChain chain = VfxBubbleChain(r, w / 6, p.BubbleCount, p.ExtPos);
        QRegion region = BodyRegion(p.Shape, chain.Body, p.RoundX, p.RoundY);
        for (const TVfxBubble& bubble : chain.Bubbles) {
            region = region.united(VfxEllipticRegion(bubble.Box()));
        }
        return region;
    }
    case rsPointList:
        return RegionFromData(p.UserData);
    }
    return {};
}

namespace {

// An opaque solid fill straight into the image a painter paints on, row by
// row, where nothing of the painter's state could change the outcome: no
// clip, at most a whole-pixel translation, plain or source-over composition,
// full opacity, a 32-bit image that no copy shares.
bool FillDirect(QPainter& painter, const QRegion& region, const QBrush& brush) {
    if (brush.style() != Qt::SolidPattern || brush.color().alpha() != 255 ||
        painter.hasClipping() || painter.opacity() != 1.0 ||
        (painter.compositionMode() != QPainter::CompositionMode_SourceOver &&
         painter.compositionMode() != QPainter::CompositionMode_Source)) {
        return false;
    }
    QPaintDevice* device = painter.device();
    if (device == nullptr || device->devType() != QInternal::Image) {
        return false;
    }
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
         format != QImage::Format_ARGB32_Premultiplied) ||
        !image->isDetached()) {
        return false;
    }
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxTranslate || t.dx() != std::floor(t.dx()) ||
        t.dy() != std::floor(t.dy())) {
        return false;
    }
    const QPoint offset(static_cast<int>(t.dx()), static_cast<int>(t.dy()));
    const QRect bounds = image->rect();
    // one row of the colour, copied into every row of every band: the
    // library's copy moves wider words than a loop of stores
    const std::vector<uint32_t> row(static_cast<size_t>(bounds.width()), brush.color().rgba());
    const qsizetype stride = image->bytesPerLine();
    uchar* bits = image->bits();
    const bool within = bounds.contains(region.boundingRect().translated(offset));
    for (const QRect& rect : region) {
        const QRect r = within ? rect.translated(offset) : rect.translated(offset) & bounds;
        const size_t bytes = sizeof(uint32_t) * static_cast<size_t>(std::max(0, r.width()));
        for (int y = r.top(); y <= r.bottom(); ++y) {
            std::memcpy(reinterpret_cast<uint32_t*>(bits + y * stride) + r.left(), row.data(),
                        bytes);
        }
    }
    return true;
}

} // namespace

void VfxFillRegion(QPainter& painter, const QRegion& region, const QBrush& brush) {
    if (region.isEmpty() || FillDirect(painter, region, brush)) {
        return;
    }
    painter.save();
    painter.setClipRegion(region, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.fillRect(region.boundingRect(), brush);
    painter.restore();
}

} // namespace fx
