#include "dockkit/themes/DkThemeUtils.h"

#include "platform/core/Exception.h"
#include "platform/core/Guarded.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace dk {

using plat::TColor;

namespace {

// The weighted colour space: red, green and blue scaled so that the cube
// spans 195 x 390 x 65 units.
constexpr float kWeightR = 0.764706f;
constexpr float kWeightG = 1.52941f;
constexpr float kWeightB = 0.254902f;
constexpr float kSpanR = 195.0f;
constexpr float kSpanG = 390.0f;
constexpr float kSpanB = 65.0f;

struct Point3 {
    float x;
    float y;
    float z;
};

Point3 Weighted(TColor rgb) {
    return {static_cast<float>(plat::GetRValue(rgb)) * kWeightR,
            static_cast<float>(plat::GetGValue(rgb)) * kWeightG,
            static_cast<float>(plat::GetBValue(rgb)) * kWeightB};
}

Point3 Inverted(Point3 p) {
    return {kSpanR - p.x, kSpanG - p.y, kSpanB - p.z};
}

float Dot(Point3 a, Point3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Each squared term is rounded to single precision before the sum.
float Distance(Point3 a, Point3 b) {
    const float dx = a.x - b.x;
    const float dy = a.y - b.y;
    const float dz = a.z - b.z;
    const float sx = dx * dx;
    const float sy = dy * dy;
    const float sz = dz * dz;
    return std::sqrt(sx + sy + sz);
}

// The threshold grows for backgrounds near black, where the eye tells less.
float EffectiveThreshold(int threshold, float distanceFromBlack) {
    const auto t = static_cast<float>(threshold);
    return distanceFromBlack >= 220.0f ? t : (2.0f - distanceFromBlack / 220.0f) * t;
}

int Channel(float weighted, float span, float weight) {
    const float clamped = std::clamp(weighted, 0.0f, span);
    const auto value = static_cast<int>(std::nearbyint(clamped / weight));
    return std::clamp(value, 0, 255);
}

// The weight as the arithmetic takes it; anything else is reported once per
// call and replaced by the nearest end.
int CheckedWeight(int w) {
    if (w >= 0 && w <= 255) {
        return w;
    }
    plat::HandleException(plat::Exception(QStringLiteral("Assertion failure")));
    return std::clamp(w, 0, 255);
}

struct Resources {
    QFont smallCaption;
    int generation = 0;

    void Build() {
        QFont font = QGuiApplication::font();
        font.setPointSize(8);
        font.setBold(true);
        smallCaption = font;
        ++generation;
    }
};

Resources& Shared() {
    static Resources resources = [] {
        Resources r;
        r.Build();
        return r;
    }();
    return resources;
}

void PlotRun(QPainter& canvas, int x, int y, int w, int h, const QColor& color) {
    canvas.fillRect(QRect(x, y, w, h), color);
}

} // namespace

// --- Colour arithmetic ------------------------------------------------------

TColor BlendColors(TColor c1, TColor c2, int w) {
    const auto weight = static_cast<uint32_t>(CheckedWeight(w));
    const auto a = static_cast<uint32_t>(plat::ColorToRGB(c1));
    const auto b = static_cast<uint32_t>(plat::ColorToRGB(c2));
    // Red and blue share one product (it reaches 0xFE01FE01), green has its own.
    const uint32_t redBlue =
        ((a & 0xFF00FFu) * weight + (b & 0xFF00FFu) * (255u - weight)) & 0xFF00FF00u;
    const uint32_t green = ((a & 0xFF00u) * weight + (b & 0xFF00u) * (255u - weight)) & 0xFF0000u;
    return static_cast<TColor>((redBlue + green) >> 8);
}

TColor BlendColorsNearest(TColor c1, TColor c2, int w) {
    // A true-colour display shows every colour as it is.
    return BlendColors(c1, c2, w);
}

TColor ShiftColor(TColor color, int delta) {
    const TColor rgb = plat::ColorToRGB(color);
    const auto shift = [delta](int channel) { return std::clamp(channel + delta, 0, 255); };
    return plat::RGB(shift(plat::GetRValue(rgb)), shift(plat::GetGValue(rgb)),
                     shift(plat::GetBValue(rgb)));
}

int ColorLuminance(TColor color) {
    const TColor rgb = plat::ColorToRGB(color);
    return (plat::GetRValue(rgb) * 77 + plat::GetGValue(rgb) * 151 + plat::GetBValue(rgb) * 28) >>
           8;
}

bool IsDarkColor(TColor color, int limit) {
    const TColor rgb = plat::ColorToRGB(color);
    return plat::GetRValue(rgb) * 76 + plat::GetGValue(rgb) * 150 + plat::GetBValue(rgb) * 30 <
           limit * 256;
}

TColor MixColorsScaled(TColor c1, TColor c2, int w) {
    const TColor a = plat::ColorToRGB(c1);
    const TColor b = plat::ColorToRGB(c2);
    const int scale = w < 100 ? 100 : 1000;
    const auto mix = [&](int ca, int cb) {
        return std::clamp((cb * (scale - w) + ca * w + scale / 2) / scale, 0, 255);
    };
    return plat::RGB(mix(plat::GetRValue(a), plat::GetRValue(b)),
                     mix(plat::GetGValue(a), plat::GetGValue(b)),
                     mix(plat::GetBValue(a), plat::GetBValue(b)));
}

float ColorDistance(TColor c1, TColor c2) {
    return Distance(Weighted(plat::ColorToRGB(c1)), Weighted(plat::ColorToRGB(c2)));
}

void EnsureContrast(TColor& color, TColor background, int threshold) {
    color = plat::ColorToRGB(color);
    const TColor back = plat::ColorToRGB(background);
    const Point3 black{0.0f, 0.0f, 0.0f};
    Point3 c = Weighted(color);
    Point3 b = Weighted(back);
    const float dB = Distance(b, black);
    const float t = EffectiveThreshold(threshold, dB);
    if (Distance(b, c) > t) {
        return;
    }
    const float dX = Distance(c, black);
    // A colour that cannot get far enough towards black goes towards white.
    const bool invert = (dX <= dB && dB < t) || (dX > dB && dB < 442.0f - t);
    if (invert) {
        c = Inverted(c);
        b = Inverted(b);
    }
    const std::array<float, 3> point = ContrastPoint({c.x, c.y, c.z}, {b.x, b.y, b.z}, t);
    Point3 moved{point[0], point[1], point[2]};
    if (invert) {
        moved = Inverted(moved);
    }
    color = plat::RGB(Channel(moved.x, kSpanR, kWeightR), Channel(moved.y, kSpanG, kWeightG),
                      Channel(moved.z, kSpanB, kWeightB));
}

std::array<float, 3> ContrastPoint(const std::array<float, 3>& cv, const std::array<float, 3>& bv,
                                   float t) {
    const Point3 c{cv[0], cv[1], cv[2]};
    const Point3 b{bv[0], bv[1], bv[2]};
    float length = std::sqrt(Dot(c, c));
    if (length < 0.01f) {
        length = 0.01f;
    }
    // p: the length of b's projection on the line; v: from b to that
    // projection; h: along the line from the projection to the point at
    // distance t from b. Rounding can leave t^2 - |v|^2 just below zero where
    // it is zero in exact arithmetic: h is then 0, never a non-number.
    const float p = Dot(c, b) / length;
    const float f = p / length;
    const Point3 v{f * c.x - b.x, f * c.y - b.y, f * c.z - b.z};
    const float h = std::sqrt(std::max(t * t - Dot(v, v), 0.0f));
    const float k = (p - h) / length;
    return {k * c.x, k * c.y, k * c.z};
}

// --- Rectangles and fills -----------------------------------------------------

bool FillRectColor(QPainter& canvas, const plat::TRect& rect, TColor color) {
    if (color == plat::clNone) {
        return false;
    }
    if (color < 0 && !plat::SysColorBrushExists(color & 0xFF)) {
        return true;
    }
    if (!rect.IsEmpty()) {
        canvas.fillRect(rect.ToQRect(), plat::ToQColor(color));
    }
    return true;
}

bool FrameRectColor(QPainter& canvas, plat::TRect& rect, TColor color, bool shrink) {
    bool drawn = false;
    if (color != plat::clNone) {
        drawn = true;
        if (!rect.IsEmpty() && (color >= 0 || plat::SysColorBrushExists(color & 0xFF))) {
            const QColor c = plat::ToQColor(color);
            const int w = rect.Width();
            const int h = rect.Height();
            PlotRun(canvas, rect.Left, rect.Top, w, 1, c);
            if (h > 1) {
                PlotRun(canvas, rect.Left, rect.Bottom - 1, w, 1, c);
            }
            if (h > 2) {
                PlotRun(canvas, rect.Left, rect.Top + 1, 1, h - 2, c);
                if (w > 1) {
                    PlotRun(canvas, rect.Right - 1, rect.Top + 1, 1, h - 2, c);
                }
            }
        }
    }
    if (shrink) {
        rect.Inflate(-1, -1);
    }
    return drawn;
}

void DrawLineFrame(QPainter& canvas, plat::TRect& rect, TColor topLeft, TColor bottomRight) {
    const int r = rect.Right - 1;
    const int b = rect.Bottom - 1;
    const QPoint first[] = {{rect.Left, b}, {rect.Left, rect.Top}, {r, rect.Top}};
    const QPoint second[] = {{r, rect.Top}, {r, b}, {rect.Left - 1, b}};
    Polyline(canvas, first, topLeft);
    Polyline(canvas, second, bottomRight);
    rect.Inflate(-1, -1);
}

void FillDithered(QPainter& canvas, const plat::TRect& rect, TColor c1, TColor c2) {
    if (rect.IsEmpty()) {
        return;
    }
    QImage pattern(8, 8, QImage::Format_RGB32);
    const QRgb even = plat::ToQColor(c1).rgb();
    const QRgb odd = plat::ToQColor(c2).rgb();
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            pattern.setPixel(x, y, ((x + y) & 1) == 0 ? even : odd);
        }
    }
    // A texture brush starts its pattern at the brush origin.
    canvas.fillRect(rect.ToQRect(), QBrush(pattern));
}

void Polyline(QPainter& canvas, std::span<const QPoint> points, TColor color) {
    if (color == plat::clNone || points.size() < 2) {
        return;
    }
    const QColor c = plat::ToQColor(color);
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const QPoint from = points[i];
        const QPoint to = points[i + 1];
        const int dx = to.x() - from.x();
        const int dy = to.y() - from.y();
        if (dy == 0 && dx != 0) {
            // A horizontal run in one call.
            const int x0 = dx > 0 ? from.x() : to.x() + 1;
            PlotRun(canvas, x0, from.y(), std::abs(dx), 1, c);
            continue;
        }
        if (dx == 0 && dy != 0) {
            const int y0 = dy > 0 ? from.y() : to.y() + 1;
            PlotRun(canvas, from.x(), y0, 1, std::abs(dy), c);
            continue;
        }
        // Diagonal (exact at 45 degrees) by the midpoint rule, end point left out.
        const int steps = std::max(std::abs(dx), std::abs(dy));
        for (int s = 0; s < steps; ++s) {
            const int x = from.x() + static_cast<int>(std::lround(static_cast<double>(dx) * s /
                                                                  static_cast<double>(steps)));
            const int y = from.y() + static_cast<int>(std::lround(static_cast<double>(dy) * s /
                                                                  static_cast<double>(steps)));
            PlotRun(canvas, x, y, 1, 1, c);
        }
    }
}

void FillLongs(uint32_t* dest, size_t count, uint32_t value) {
    std::fill_n(dest, count, value);
}

void CopyLongs(const uint32_t* source, uint32_t* dest, size_t count) {
    if (count == 0 || source == dest) {
        return;
    }
    std::memmove(dest, source, count * sizeof(uint32_t));
}

// --- Shared drawing resources ---------------------------------------------------

QFont SmallCaptionFont() {
    return Shared().smallCaption;
}

void RecreateDrawingResources() {
    Shared().Build();
}

int DrawingResourcesGeneration() {
    return Shared().generation;
}

} // namespace dk
