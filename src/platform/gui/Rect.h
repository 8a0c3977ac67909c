#pragma once

#include <QPoint>
#include <QRect>

namespace plat {

// A rectangle as the drawing routines take it: left and top inside, right and
// bottom one past the last column and row. Algorithms written in these terms
// keep their arithmetic; the conversion to QRect (whose right() is inclusive)
// happens only at the painter call.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int left, int top, int right, int bottom)
        : Left(left), Top(top), Right(right), Bottom(bottom) {}
    // The same pixels as the QRect.
    constexpr TRect(const QRect& r) // NOLINT(google-explicit-constructor): a plain conversion
        : Left(r.x()), Top(r.y()), Right(r.x() + r.width()), Bottom(r.y() + r.height()) {}

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    // True when the rectangle holds no pixel (also when it is inverted).
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(QPoint p) const {
        return p.x() >= Left && p.x() < Right && p.y() >= Top && p.y() < Bottom;
    }
    QRect ToQRect() const { return {QPoint(Left, Top), QSize(Width(), Height())}; }

    // Moves each side inwards by dx and dy (outwards when negative).
    constexpr void Inflate(int dx, int dy) {
        Left -= dx;
        Top -= dy;
        Right += dx;
        Bottom += dy;
    }
    constexpr void Offset(int dx, int dy) {
        Left += dx;
        Top += dy;
        Right += dx;
        Bottom += dy;
    }

    constexpr bool operator==(const TRect&) const = default;
};

// The common part; an empty rectangle (all zero) when they do not overlap.
TRect IntersectRect(const TRect& a, const TRect& b);
// The smallest rectangle holding both; an empty one does not count.
TRect UnionRect(const TRect& a, const TRect& b);

} // namespace plat
