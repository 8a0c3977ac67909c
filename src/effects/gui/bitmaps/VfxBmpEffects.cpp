#include "effects/gui/bitmaps/VfxBmpEffects.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace fx {

namespace {

constexpr QImage::Format kFormat = QImage::Format_BGR888;

uint32_t Load32(const uchar* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return qFromLittleEndian(v);
}

void Store32(uchar* p, uint32_t v) {
    v = qToLittleEndian(v);
    std::memcpy(p, &v, 4);
}

// The part of rect that lies on an image of size w x h, and the target
// point moved with it. Along a mirrored axis the far side's cut moves the
// point, since that side lands first.
struct Span {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    TVfxPoint point;
    bool Empty() const { return width <= 0 || height <= 0; }
};

Span Clip(const TVfxRect& rect, int w, int h, TVfxPoint point, bool flipX, bool flipY) {
    Span s;
    s.left = std::max(rect.Left, 0);
    s.top = std::max(rect.Top, 0);
    const int right = std::min(rect.Right, w);
    const int bottom = std::min(rect.Bottom, h);
    s.width = right - s.left;
    s.height = bottom - s.top;
    s.point.X = point.X + (flipX ? rect.Right - right : s.left - rect.Left);
    s.point.Y = point.Y + (flipY ? rect.Bottom - bottom : s.top - rect.Top);
    return s;
}

// Walks the pixels of a span into a target: for each target row that lies
// on the target, row(targetRow, sourceRow, first target x, first source x,
// count, step of the source x (1 or -1)).
template <typename Row>
void Walk(const Span& s, const QImage& target, bool flipX, bool flipY, Row&& row) {
    const int x0 = std::max(0, -s.point.X);
    const int x1 = std::min(s.width, target.width() - s.point.X);
    if (x1 <= x0) {
        return;
    }
    for (int k = 0; k < s.height; ++k) {
        const int ty = s.point.Y + k;
        if (ty < 0 || ty >= target.height()) {
            continue;
        }
        const int sy = flipY ? s.top + s.height - 1 - k : s.top + k;
        const int sx = flipX ? s.left + s.width - 1 - x0 : s.left + x0;
        row(ty, sy, s.point.X + x0, sx, x1 - x0, flipX ? -1 : 1);
    }
}

// Writes n pixels to out (going right) from the pixel at last and the n - 1
// before it (going left), so that they land in reverse order. Four bytes move
// at a time up to the last pixel: the byte before each source pixel is read
// along (every pixel but the leftmost has one), the extra byte written belongs
// to the next target pixel. out and the source pixels must not overlap.
void ReversePixels(uchar* out, const uchar* last, int n) {
    int i = 0;
    for (; i + 1 < n; ++i, last -= 3, out += 3) {
        Store32(out, Load32(last - 1) >> 8);
    }
    if (n > 0) {
        out[0] = last[0];
        out[1] = last[1];
        out[2] = last[2];
    }
}

// Mirrors a row of n pixels in place: blocks from both ends exchange places,
// reversed on the way, through a small buffer that holds the left block.
void MirrorRowInPlace(uchar* row, int n) {
    constexpr int kBlock = 128;
    // A block, or the middle that is left (less than two blocks).
    uchar saved[3 * 2 * kBlock];
    int a = 0;
    int b = n;
    while (b - a >= 2 * kBlock) {
        std::memcpy(saved, row + 3 * a, 3 * kBlock);
        ReversePixels(row + 3 * a, row + 3 * (b - 1), kBlock);
        ReversePixels(row + 3 * (b - kBlock), saved + 3 * (kBlock - 1), kBlock);
        a += kBlock;
        b -= kBlock;
    }
    const int middle = b - a;
    if (middle > 1) {
        std::memcpy(saved, row + 3 * a, size_t(middle) * 3);
        ReversePixels(row + 3 * a, saved + 3 * (middle - 1), middle);
    }
}

// What a routine works with: the target's pixels, the clipped span, and the
// rows it reads (the source, or a copy of the span when the target shares the
// source's pixels at another place). InPlace: the target is the source and
// the span stays where it is, so the rows read are the target's own.
struct Area {
    uchar* Bits = nullptr;
    qsizetype Stride = 0;
    Span S{};
    QImage Copy;
    const QImage* From = nullptr;
    bool InPlace = false;

    // Checks both pixel formats and clips (the far side first along a
    // mirrored axis); false when nothing is to be done.
    bool Prepare(const QImage& source, const TVfxRect& rect, QImage& target, TVfxPoint point,
                 bool flipX, bool flipY) {
        VfxCheckPixelFormat(source, QStringLiteral("Source"));
        VfxCheckPixelFormat(target, QStringLiteral("Target"));
        Bits = target.bits(); // detaches a target shared with others
        S = Clip(rect, source.width(), source.height(), point, flipX, flipY);
        if (S.Empty()) {
            return false;
        }
        Stride = target.bytesPerLine();
        From = &source;
        const bool shared = source.constBits() == Bits;
        InPlace = shared && S.point.X == S.left && S.point.Y == S.top;
        if (shared && !InPlace) {
            Copy = source.copy(S.left, S.top, S.width, S.height);
            S.left = 0;
            S.top = 0;
            From = &Copy;
        }
        return true;
    }

    const uchar* Read(int y, int x) const { return From->constScanLine(y) + 3 * x; }
    uchar* Write(int y, int x) const { return Bits + y * Stride + 3 * x; }
};

// A per-byte operation applied from source to target.
template <typename Op>
void MapBytes(const QImage& source, const TVfxRect& rect, QImage& target, TVfxPoint point, Op op) {
    Area a;
    if (!a.Prepare(source, rect, target, point, false, false)) {
        return;
    }
    Walk(a.S, target, false, false, [&](int ty, int sy, int tx, int sx, int n, int) {
        const uchar* in = a.Read(sy, sx);
        uchar* out = a.Write(ty, tx);
        for (int i = 0; i < 3 * n; ++i) {
            out[i] = op(in[i]);
        }
    });
}

} // namespace

bool VfxCheckPixelFormat(const QImage& bitmap, const QString& name) {
    if (bitmap.format() != kFormat) {
        throw EVfxWrongPixelFormat(QStringLiteral("Wrong PixelFormat in ") + name +
                                   QStringLiteral(" bitmap!"));
    }
    return true;
}

void VfxBmpGrayScale(const QImage& source, const TVfxRect& rect, QImage& target, TVfxPoint point) {
    Area a;
    if (!a.Prepare(source, rect, target, point, false, false)) {
        return;
    }
    std::array<uint8_t, 256> w30{};
    std::array<uint8_t, 256> w59{};
    std::array<uint8_t, 256> w11{};
    for (int v = 0; v < 256; ++v) {
        w30[v] = uint8_t(std::nearbyint(v * 0.30));
        w59[v] = uint8_t(std::nearbyint(v * 0.59));
        w11[v] = uint8_t(std::nearbyint(v * 0.11));
    }
    Walk(a.S, target, false, false, [&](int ty, int sy, int tx, int sx, int n, int) {
        const uchar* in = a.Read(sy, sx);
        uchar* out = a.Write(ty, tx);
        int i = 0;
        if (in != out) {
            // Four-byte stores: the fourth byte is the next pixel's, written
            // right after (not when reading and writing the same pixels).
            for (; i + 1 < n; ++i, in += 3, out += 3) {
                const uint32_t v = Load32(in);
                const uint32_t g =
                    uint8_t(w30[v & 0xFF] + w11[(v >> 8) & 0xFF] + w59[(v >> 16) & 0xFF]);
                Store32(out, g * 0x010101u);
            }
        }
        for (; i < n; ++i, in += 3, out += 3) {
            const auto g = uint8_t(w30[in[0]] + w11[in[1]] + w59[in[2]]);
            out[0] = g;
            out[1] = g;
            out[2] = g;
        }
    });
}

void VfxBmpFlipRows(const QImage& source, const TVfxRect& rect, QImage& target, TVfxPoint point) {
    Area a;
    if (!a.Prepare(source, rect, target, point, false, true)) {
        return;
    }
    const Span s = a.S;
    if (a.InPlace) {
        // Row pairs exchanged from the outside in; the middle row stays.
        std::vector<uchar> buffer(size_t(s.width) * 3);
        for (int top = s.top, bottom = s.top + s.height - 1; top < bottom; ++top, --bottom) {
            uchar* ra = a.Write(top, s.left);
            uchar* rb = a.Write(bottom, s.left);
            std::memcpy(buffer.data(), ra, buffer.size());
            std::memcpy(ra, rb, buffer.size());
            std::memcpy(rb, buffer.data(), buffer.size());
        }
        return;
    }
    Walk(s, target, false, true, [&](int ty, int sy, int tx, int sx, int n, int) {
        std::memcpy(a.Write(ty, tx), a.Read(sy, sx), size_t(n) * 3);
    });
}

void VfxBmpFlipColumns(const QImage& source, const TVfxRect& rect, QImage& target,
                       TVfxPoint point) {
    Area a;
    if (!a.Prepare(source, rect, target, point, true, false)) {
        return;
    }
    const Span s = a.S;
    if (a.InPlace) {
        // The middle column of an odd span stays where it is.
        for (int y = s.top; y < s.top + s.height; ++y) {
            MirrorRowInPlace(a.Write(y, s.left), s.width);
        }
        return;
    }
    Walk(s, target, true, false, [&](int ty, int sy, int tx, int sx, int n, int) {
        ReversePixels(a.Write(ty, tx), a.Read(sy, sx), n);
    });
}

void VfxBmpAlphaBlend(const QImage& source1, const QImage& source2, const TVfxRect& rect,
                      TVfxPoint targetPoint, float alpha, QImage& target, TVfxPoint source2Point) {
    VfxCheckPixelFormat(source1, QStringLiteral("Source 1"));
    VfxCheckPixelFormat(source2, QStringLiteral("Source 2"));
    VfxCheckPixelFormat(target, QStringLiteral("Target"));
    std::array<int, 511> table{};
    for (int d = -255; d <= 255; ++d) {
        table[d + 255] = int(std::nearbyint(double(d) * double(alpha)));
    }
    uchar* bits = target.bits();
    // The part of rect that lies on source 1 and, moved to source 2, on it.
    TVfxRect r = rect;
    const int dx = source2Point.X - rect.Left;
    const int dy = source2Point.Y - rect.Top;
    r.Left = std::max(r.Left, -dx);
    r.Top = std::max(r.Top, -dy);
    r.Right = std::min(r.Right, source2.width() - dx);
    r.Bottom = std::min(r.Bottom, source2.height() - dy);
    Span s =
        Clip(r, source1.width(), source1.height(),
             {targetPoint.X + r.Left - rect.Left, targetPoint.Y + r.Top - rect.Top}, false, false);
    if (s.Empty()) {
        return;
    }
    // Sources sharing the target's pixels are read from copies.
    const QImage one = source1.constBits() == bits ? source1.copy() : source1;
    const QImage two = source2.constBits() == bits ? source2.copy() : source2;
    const qsizetype stride = target.bytesPerLine();
    Walk(s, target, false, false, [&](int ty, int sy, int tx, int sx, int n, int) {
        const uchar* a = one.constScanLine(sy) + 3 * sx;
        const uchar* b = two.constScanLine(sy + dy) + 3 * (sx + dx);
        uchar* out = bits + ty * stride + 3 * tx;
        for (int i = 0; i < 3 * n; ++i) {
            out[i] = uchar(b[i] + table[a[i] - b[i] + 255]);
        }
    });
}

void VfxBmpInvert(const QImage& source, const TVfxRect& rect, QImage& target, TVfxPoint point) {
    MapBytes(source, rect, target, point, [](uchar v) { return uchar(~v); });
}

void VfxBmpBrightness(const QImage& source, const TVfxRect& rect, QImage& target, int value,
                      TVfxPoint point) {
    value = std::clamp(value, -255, 255);
    std::array<uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
        table[v] = uint8_t(std::clamp(v + value, 0, 255));
    }
    MapBytes(source, rect, target, point, [&table](uchar v) { return table[v]; });
}

} // namespace fx
