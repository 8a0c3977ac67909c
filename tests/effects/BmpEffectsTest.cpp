#include "effects/gui/bitmaps/VfxBmpEffects.h"

#include "EffectsTestSupport.h"
#include "Raises.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <vector>

using namespace fx;

namespace {

using Pixel = std::array<int, 3>; // bytes 0, 1, 2: blue, green, red

QImage Image24(int w, int h, const std::function<Pixel(int, int)>& pixel) {
    QImage image(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const Pixel p = pixel(x, y);
            row[3 * x] = uchar(p[0]);
            row[3 * x + 1] = uchar(p[1]);
            row[3 * x + 2] = uchar(p[2]);
        }
    }
    return image;
}

QImage Filled(int w, int h, Pixel p) {
    return Image24(w, h, [p](int, int) { return p; });
}

Pixel At(const QImage& image, int x, int y) {
    const uchar* row = image.constScanLine(y);
    return {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
}

// Every pixel names its place: (x, y, 7).
QImage Numbered(int w, int h) {
    return Image24(w, h, [](int x, int y) { return Pixel{x, y, 7}; });
}

// Where each pixel came from, row by row: "xy" for a pixel of Numbered, ".."
// for one left as Filled(..., {9, 9, 9}) made it, "??" for anything else.
QString Places(const QImage& image) {
    QStringList rows;
    for (int y = 0; y < image.height(); ++y) {
        QStringList row;
        for (int x = 0; x < image.width(); ++x) {
            const Pixel p = At(image, x, y);
            row << (p[2] == 7 && p[0] < 10 && p[1] < 10 ? QStringLiteral("%1%2").arg(p[0]).arg(p[1])
                    : p == Pixel{9, 9, 9}               ? QStringLiteral("..")
                                                        : QStringLiteral("??"));
        }
        rows << row.join(u' ');
    }
    return rows.join(u'/');
}

const TVfxRect kOne{0, 0, 1, 1};
const TVfxPoint kOrigin{};

// Rectangles and points without braces, so that a call fits one line.
TVfxRect Rect(int left, int top, int right, int bottom) {
    return {left, top, right, bottom};
}
TVfxPoint Pt(int x, int y) {
    return {x, y};
}

Pixel PixelOf(const QString& text) {
    const QStringList v = text.split(u' ');
    return {v[0].toInt(), v[1].toInt(), v[2].toInt()};
}

TEST(PixelEffects, AgainstHandComputedValues) {
    for (const QStringList& row : GoldenTextRows("effects/pixel-effects.tsv", 4)) {
        const QImage source = Filled(1, 1, PixelOf(row[1]));
        QImage target = Filled(1, 1, {9, 9, 9});
        const QStringList effect = row[2].split(u' ');
        if (effect[0] == u"gray") {
            VfxBmpGrayScale(source, kOne, target, kOrigin);
        } else if (effect[0] == u"invert") {
            VfxBmpInvert(source, kOne, target, kOrigin);
        } else {
            VfxBmpBrightness(source, kOne, target, effect[1].toInt(), kOrigin);
        }
        EXPECT_EQ(At(target, 0, 0), PixelOf(row[3])) << row[0].toStdString();
    }
}

// The grey scale on rows of many pixels (24-bit images are the only ones it
// takes), to another image, to another place in the same image and in
// place, against the rule pixel by pixel: blue (byte 0) weighs 0.30, green
// 0.11, red (byte 2) 0.59, each product rounded half to even, the sum kept
// to 8 bits. Pixels outside the placed rectangle keep what they had.
TEST(PixelEffects, GrayScaleOfWideRowsFollowsThePixelRule) {
    const auto gray = [](Pixel p) {
        const long g = std::lround(std::nearbyint(p[0] * 0.30)) +
                       std::lround(std::nearbyint(p[1] * 0.11)) +
                       std::lround(std::nearbyint(p[2] * 0.59));
        return Pixel{int(g & 0xFF), int(g & 0xFF), int(g & 0xFF)};
    };
    const QImage picture = Image24(13, 5, [](int x, int y) {
        return Pixel{(x * 37 + y * 11) % 256, (x * 53 + y * 29 + 7) % 256,
                     (x * 91 + y * 17 + 250) % 256};
    });
    const TVfxRect rect = Rect(1, 1, 12, 4); // 11 x 3 pixels
    const struct {
        const char* name;
        bool sameImage;
        TVfxPoint point;
    } cases[] = {
        {"to another image", false, Pt(2, 1)},
        {"to another place in the same image", true, Pt(0, 2)},
        {"in place", true, Pt(1, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage before = c.sameImage ? picture : Filled(14, 6, {9, 9, 9});
        QImage target = before;
        if (c.sameImage) {
            VfxBmpGrayScale(target, rect, target, c.point);
        } else {
            VfxBmpGrayScale(picture, rect, target, c.point);
        }
        QStringList wrong;
        for (int y = 0; y < target.height(); ++y) {
            for (int x = 0; x < target.width(); ++x) {
                const int sx = x - c.point.X + rect.Left;
                const int sy = y - c.point.Y + rect.Top;
                const bool placed =
                    sx >= rect.Left && sx < rect.Right && sy >= rect.Top && sy < rect.Bottom;
                const Pixel want = placed ? gray(At(picture, sx, sy)) : At(before, x, y);
                if (At(target, x, y) != want) {
                    wrong << QStringLiteral("%1,%2").arg(x).arg(y);
                }
            }
        }
        EXPECT_EQ(wrong.join(u' '), QString());
    }
}

TEST(AlphaBlend, MixesTheSourcesByAlphaReadingSourceTwoAtItsOwnPoint) {
    const QImage one = Filled(1, 1, {201, 0, 255});
    const QImage two = Filled(1, 1, {100, 255, 0});
    // 0.5: 50.5, -127.5 and 127.5 round to the even 50, -128 and 128
    const struct {
        float alpha;
        Pixel out;
    } cases[] = {{0.5f, {150, 127, 128}},
                 {0.0f, {100, 255, 0}},
                 {1.0f, {201, 0, 255}},
                 {0.25f, {125, 191, 64}}};
    for (const auto& c : cases) {
        QImage target = Filled(1, 1, {0, 0, 0});
        VfxBmpAlphaBlend(one, two, kOne, {0, 0}, c.alpha, target, {0, 0});
        EXPECT_EQ(At(target, 0, 0), c.out) << c.alpha;
    }
    // With alpha 0 the target shows source two from its own point on, cut
    // where source two ends.
    QImage target = Filled(4, 4, {9, 9, 9});
    VfxBmpAlphaBlend(Numbered(4, 4), Numbered(4, 4), TVfxRect{1, 1, 3, 3}, {0, 2}, 0.0f, target,
                     {2, 0});
    EXPECT_EQ(Places(target), QStringLiteral(".. .. .. ../.. .. .. ../20 30 .. ../21 31 .. .."));
    QImage cut = Filled(4, 4, {9, 9, 9});
    VfxBmpAlphaBlend(Numbered(4, 4), Numbered(4, 4), TVfxRect{0, 0, 4, 4}, {0, 0}, 0.0f, cut,
                     {3, 3});
    EXPECT_EQ(Places(cut), QStringLiteral("33 .. .. ../.. .. .. ../.. .. .. ../.. .. .. .."));
}

TEST(Mirrors, InPlaceOrToAnotherPlace) {
    QImage rows = Numbered(2, 3);
    VfxBmpFlipRows(rows, TVfxRect{0, 0, 2, 3}, rows, {0, 0}); // the middle row stays
    EXPECT_EQ(Places(rows), QStringLiteral("02 12/01 11/00 10"));
    QImage columns = Numbered(3, 1);
    VfxBmpFlipColumns(columns, TVfxRect{0, 0, 3, 1}, columns, {0, 0});
    EXPECT_EQ(Places(columns), QStringLiteral("20 10 00"));

    // Part of an image to another place.
    const QImage source = Numbered(6, 6);
    QImage part = Filled(6, 5, {9, 9, 9});
    VfxBmpFlipColumns(source, TVfxRect{1, 2, 4, 3}, part, {2, 4});
    VfxBmpFlipRows(source, TVfxRect{0, 1, 1, 4}, part, {0, 0});
    EXPECT_EQ(Places(part), QStringLiteral("03 .. .. .. .. ../02 .. .. .. .. ../01 .. .. .. .. ../"
                                           ".. .. .. .. .. ../.. .. 32 22 12 .."));
}

TEST(Mirrors, RowsOfAnyWidth) {
    const int w = 12000;
    QImage wide = Image24(w, 3, [](int x, int y) { return Pixel{x & 0xFF, x >> 8, y}; });
    VfxBmpFlipRows(wide, TVfxRect{0, 0, w, 3}, wide, {0, 0});
    EXPECT_EQ(At(wide, w - 1, 0), (Pixel{(w - 1) & 0xFF, (w - 1) >> 8, 2}));
    VfxBmpFlipColumns(wide, TVfxRect{0, 0, w, 3}, wide, {0, 0});
    EXPECT_EQ(At(wide, 0, 0), (Pixel{(w - 1) & 0xFF, (w - 1) >> 8, 2}));
}

// The column mirror in place and to another image agree with mirroring pixel
// by pixel, for spans that start anywhere in the row and whose widths fall
// on both sides of the blocks the routine moves at a time.
TEST(Mirrors, ColumnsInPlaceMatchPixelByPixel) {
    const int w = 1100;
    const QImage original = Image24(w, 2, [](int x, int y) {
        return Pixel{x & 0xFF, (x >> 8) | (y << 4), (x * 7 + y) & 0xFF};
    });
    const struct {
        int left, width;
    } spans[] = {{0, 1},   {0, 2},   {5, 3},   {0, 255}, {1, 256}, {2, 257},
                 {3, 511}, {0, 512}, {7, 513}, {9, 767}, {0, w},   {1, w - 2}};
    for (const auto& span : spans) {
        SCOPED_TRACE(testing::Message() << span.left << "+" << span.width);
        const TVfxRect rect{span.left, 0, span.left + span.width, 2};
        QImage inPlace = original.copy();
        VfxBmpFlipColumns(inPlace, rect, inPlace, {span.left, 0});
        QImage copied = original.copy();
        VfxBmpFlipColumns(original, rect, copied, {span.left, 0});
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < w; ++x) {
                const bool inside = x >= span.left && x < span.left + span.width;
                const int from = inside ? 2 * span.left + span.width - 1 - x : x;
                ASSERT_EQ(At(inPlace, x, y), At(original, from, y)) << x << "," << y;
                ASSERT_EQ(At(copied, x, y), At(original, from, y)) << x << "," << y;
            }
        }
    }
}

TEST(Effects, AShiftedCopyInsideOneImageReadsTheOriginalPixels) {
    QImage image = Numbered(5, 1);
    VfxBmpInvert(image, TVfxRect{0, 0, 4, 1}, image, {1, 0});
    for (int x = 1; x < 5; ++x) {
        EXPECT_EQ(At(image, x, 0), (Pixel{255 - (x - 1), 255, 248})) << x;
    }
    QImage rows = Numbered(1, 4);
    VfxBmpFlipRows(rows, TVfxRect{0, 0, 1, 3}, rows, {0, 1});
    EXPECT_EQ(Places(rows), QStringLiteral("00/02/01/00"));
}

TEST(Effects, RectanglesAndPointsOutsideTheImagesAreCut) {
    const QImage source = Numbered(4, 4);
    using Call = std::function<void(QImage&)>;
    const Call calls[] = {
        [&](QImage& t) { VfxBmpGrayScale(source, Rect(-5, -5, 90, 90), t, Pt(-2, 1)); },
        [&](QImage& t) { VfxBmpInvert(source, Rect(2, 2, 9, 9), t, Pt(3, 3)); },
        [&](QImage& t) { VfxBmpBrightness(source, Rect(-3, 0, 2, 4), t, 5, Pt(0, -2)); },
        [&](QImage& t) { VfxBmpFlipRows(source, Rect(-2, -2, 6, 6), t, Pt(1, -1)); },
        [&](QImage& t) { VfxBmpFlipColumns(source, Rect(1, 1, 100, 3), t, Pt(-50, 0)); },
        [&](QImage& t) {
            VfxBmpAlphaBlend(source, source, Rect(-1, -1, 5, 5), Pt(2, 2), 0.5f, t, Pt(3, -3));
        },
        [&](QImage& t) { VfxBmpInvert(source, Rect(3, 3, 1, 1), t, kOrigin); }, // empty
    };
    for (const Call& call : calls) {
        QImage target = Filled(3, 3, {9, 9, 9});
        call(target); // the address sanitizer watches every access
    }
    // The part that exists lands where it would have landed.
    QImage target = Filled(3, 3, {9, 9, 9});
    VfxBmpInvert(source, TVfxRect{-1, -1, 2, 2}, target, {0, 0});
    EXPECT_EQ(At(target, 0, 0), (Pixel{9, 9, 9}));
    EXPECT_EQ(At(target, 1, 1), (Pixel{255, 255, 248}));
    QImage flipped = Filled(4, 1, {9, 9, 9});
    VfxBmpFlipColumns(source, TVfxRect{-2, 0, 2, 1}, flipped, {0, 0});
    EXPECT_EQ(Places(flipped), QStringLiteral("10 00 .. .."));
}

TEST(PixelFormat, EveryRoutineChecksEveryImage) {
    const QImage good = Filled(2, 2, {1, 2, 3});
    const QImage wrong = QImage(2, 2, QImage::Format_RGB32);
    const TVfxRect all{0, 0, 2, 2};
    using Call = std::function<void(const QImage&, QImage&)>;
    const Call calls[] = {
        [&](const QImage& s, QImage& t) { VfxBmpGrayScale(s, all, t, kOrigin); },
        [&](const QImage& s, QImage& t) { VfxBmpFlipRows(s, all, t, kOrigin); },
        [&](const QImage& s, QImage& t) { VfxBmpFlipColumns(s, all, t, kOrigin); },
        [&](const QImage& s, QImage& t) { VfxBmpInvert(s, all, t, kOrigin); },
        [&](const QImage& s, QImage& t) { VfxBmpBrightness(s, all, t, 3, kOrigin); },
    };
    const auto raises = [](const std::function<void()>& call, const char* message) {
        EXPECT_EQ(MessageOf<EVfxWrongPixelFormat>(call), message);
    };
    for (const Call& call : calls) {
        QImage target = Filled(2, 2, {9, 9, 9});
        raises([&] { call(wrong, target); }, "Wrong PixelFormat in Source bitmap!");
        QImage wrongTarget = wrong;
        raises([&] { call(good, wrongTarget); }, "Wrong PixelFormat in Target bitmap!");
        EXPECT_EQ(At(target, 0, 0), (Pixel{9, 9, 9}));
    }
    const struct {
        const QImage& one;
        const QImage& two;
        bool targetGood;
        const char* message;
    } blends[] = {{wrong, good, true, "Wrong PixelFormat in Source 1 bitmap!"},
                  {good, wrong, true, "Wrong PixelFormat in Source 2 bitmap!"},
                  {good, good, false, "Wrong PixelFormat in Target bitmap!"},
                  {wrong, wrong, false, "Wrong PixelFormat in Source 1 bitmap!"}};
    for (const auto& b : blends) {
        QImage target = b.targetGood ? Filled(2, 2, {9, 9, 9}) : QImage(2, 2, QImage::Format_RGB32);
        raises([&] { VfxBmpAlphaBlend(b.one, b.two, all, kOrigin, 0.5f, target, kOrigin); },
               b.message);
        if (b.targetGood) {
            EXPECT_EQ(At(target, 0, 0), (Pixel{9, 9, 9}));
        }
    }
    EXPECT_THROW(VfxCheckPixelFormat(QImage(1, 1, QImage::Format_RGB888), QStringLiteral("x")),
                 EVfxWrongPixelFormat);
    EXPECT_TRUE(VfxCheckPixelFormat(good, QStringLiteral("x")));
}

} // namespace
