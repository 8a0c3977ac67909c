#include "effects/gui/regions/VfxRegionMask.h"
#include "effects/gui/regions/VfxRegionShapes.h"
#include "effects/gui/regions/VfxShapeOutline.h"

#include "EffectsTestSupport.h"
#include "RegionTestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace fx;
using plat::TRect;

namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kSingle = 0xFF00FF00; // green

// Points written "x,y x,y ...".
std::vector<QPoint> Points(const QString& text) {
    std::vector<QPoint> points;
    for (const QString& pair : text.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList xy = pair.split(u',');
        points.emplace_back(xy[0].toInt(), xy[1].toInt());
    }
    return points;
}
std::vector<QPoint> Points(const char* text) {
    return Points(QString::fromLatin1(text));
}

// Region data the data-built shapes read.
const QByteArray& MaskData() {
    static const QByteArray data =
        VfxRegionToData(QRegion(QRect(10, 10, 20, 10)).united(QRegion(QRect(40, 40, 10, 10))));
    return data;
}
const QByteArray& UserData() {
    static const QByteArray data = VfxRegionToData(QRegion(QRect(20, 20, 20, 20)));
    return data;
}
const std::vector<QPoint>& Triangle() {
    static const std::vector<QPoint> points = Points("10,10 90,10 50,90");
    return points;
}
const QByteArray& TriangleData() {
    static const QByteArray data = VfxRegionToData(VfxPolygonRegion(Triangle()));
    return data;
}

const TRect k100(0, 0, 100, 100);

// The region's border painted into a MarginImage with a black pen, in blue
// shadow and the given light; the painter's clip and pen are left as they were.
QImage Bordered(const TVfxShapeParams& params, const TRect& rect, TVfxRegionBorderStyle style,
                plat::TColor light, int size = 170, plat::TColor single = plat::clLime) {
    QImage image = MarginImage(size);
    QPainter painter(&image);
    painter.translate(kImageMargin, kImageMargin);
    painter.setPen(QPen(Qt::black, 2));
    VfxPaintRegionBorder(painter, params, rect, style, light, plat::clBlue, single);
    EXPECT_FALSE(painter.hasClipping());
    EXPECT_EQ(painter.pen().color(), QColor(Qt::black));
    painter.end();
    return image;
}

TEST(Shapes, CoverTheirInsideAndTraceTheirOutlineOnTheRegionsEdge) {
    const auto rows = GoldenTextRows("effects/region-shapes.tsv", 5);
    ASSERT_EQ(rows.size(), size_t(kVfxRegionShapeCount));
    for (int shape = 0; shape < kVfxRegionShapeCount; ++shape) {
        const QStringList& row = rows[size_t(shape)];
        SCOPED_TRACE(row.join(u" | ").toStdString());
        const std::vector<QPoint> corners = Points(row[1]);
        const TRect rect(corners[0].x(), corners[0].y(), corners[1].x(), corners[1].y());
        const std::vector<QPoint> inside = Points(row[2]);
        const int borderRow = row[4].toInt();
        TVfxShapeParams params;
        params.Shape = TVfxRegionShape(shape);
        params.MaskData = MaskData();
        params.UserData = shape == rsPointList ? TriangleData() : UserData();
        params.Points = Triangle();
        const QRegion region = VfxShapeRegion(params, rect);
        const QImage filled = Rasterize(region);
        for (const QPoint& p : inside) {
            EXPECT_EQ(PixelAt(filled, p), kBlack) << "inside " << testing::PrintToString(p);
        }
        for (const QPoint& p : Points(row[3])) {
            EXPECT_EQ(PixelAt(filled, p), kWhite) << "outside " << testing::PrintToString(p);
        }

        const QImage traced = Bordered(params, rect, rbSingle, plat::clBlue, 170, plat::clRed);
        const int y = borderRow >= 0 ? borderRow : inside.front().y();
        int left = -kImageMargin;
        while (left < 150 && !region.contains(QPoint(left, y))) {
            ++left;
        }
        ASSERT_LT(left, 150) << "row " << y << " holds no shape pixel";
        EXPECT_EQ(PixelAt(traced, {left, y}), borderRow >= 0 ? kRed : kWhite)
            << "edge " << left << ", " << y;
        // pixels well inside stay untouched
        for (const QPoint& p : inside) {
            const bool nearEdge =
                !region.contains(p + QPoint(3, 0)) || !region.contains(p - QPoint(3, 0)) ||
                !region.contains(p + QPoint(0, 3)) || !region.contains(p - QPoint(0, 3));
            if (!nearEdge) {
                EXPECT_EQ(PixelAt(traced, p), kWhite) << "interior " << testing::PrintToString(p);
            }
        }
    }
}

// Every pixel of random polygons, crossing ones too, against the even-odd
// count of the edges right of its centre.
TEST(PolygonRegions, HoldExactlyThePixelsWhoseCentresAreInside) {
    uint32_t seed = 12345;
    const auto next = [&](int range) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % uint32_t(range));
    };
    for (int round = 0; round < 40; ++round) {
        std::vector<QPoint> points(3 + next(6));
        for (QPoint& p : points) {
            p = QPoint(next(40) - 5, next(40) - 5);
        }
        const QRegion region = VfxPolygonRegion(points);
        for (int y = -6; y < 36; ++y) {
            for (int x = -6; x < 36; ++x) {
                // in halves: the centre (2x + 1, 2y + 1) / 2
                int crossings = 0;
                for (size_t i = 0; i < points.size(); ++i) {
                    QPoint a = points[i];
                    QPoint b = points[(i + 1) % points.size()];
                    if (a.y() > b.y()) {
                        std::swap(a, b);
                    }
                    const int dy = b.y() - a.y();
                    // the edge crosses the centre's row right of the centre
                    if (a.y() <= y && y < b.y() &&
                        2 * a.x() * dy + (2 * (y - a.y()) + 1) * (b.x() - a.x()) >
                            (2 * x + 1) * dy) {
                        ++crossings;
                    }
                }
                ASSERT_EQ(region.contains(QPoint(x, y)), crossings % 2 == 1)
                    << "round " << round << " pixel " << x << ", " << y;
            }
        }
    }
}

// Ellipses and rounded corners of many sizes against the pixel-centre rule,
// worked out pixel by pixel in doubled coordinates.
TEST(RoundedRegions, HoldExactlyThePixelsWhoseCentresAreInside) {
    // inside the ellipse w x h whose box starts at 0, 0
    const auto inEllipse = [](int64_t x, int64_t y, int64_t w, int64_t h) {
        const int64_t p = 2 * x + 1 - w;
        const int64_t d = 2 * y + 1 - h;
        return p * p * h * h + d * d * w * w < w * w * h * h;
    };
    for (int w = 1; w <= 23; w += 2) {
        for (int h : {1, 2, 5, 8, 17}) {
            const TRect r(3, -2, 3 + w, -2 + h);
            const QRegion ellipse = VfxEllipticRegion(r);
            for (int cw : {0, 2, 5, 12}) {
                for (int ch : {3, 6}) {
                    const QRegion round = VfxRoundRectRegion(r, cw, ch);
                    const int ew = std::min(cw, w);
                    const int eh = std::min(ch, h);
                    for (int y = 0; y < h; ++y) {
                        for (int x = 0; x < w; ++x) {
                            // the corner ellipse's quarter this pixel may fall in
                            const int fx =
                                x < ew / 2 ? x : (w - 1 - x < ew / 2 ? ew - (w - x) : -1);
                            const int fy =
                                y < eh / 2 ? y : (h - 1 - y < eh / 2 ? eh - (h - y) : -1);
                            const bool inRound = fx < 0 || fy < 0 || inEllipse(fx, fy, ew, eh);
                            ASSERT_EQ(round.contains(QPoint(r.Left + x, r.Top + y)), inRound)
                                << w << "x" << h << " corners " << cw << "x" << ch << " at " << x
                                << ", " << y;
                        }
                    }
                }
            }
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    ASSERT_EQ(ellipse.contains(QPoint(r.Left + x, r.Top + y)),
                              inEllipse(x, y, w, h))
                        << w << "x" << h << " at " << x << ", " << y;
                }
            }
        }
    }
}

// --- geometry ---

TEST(StarPoints, RoundHalfToEven) {
    EXPECT_EQ(VfxShapePoints(rsStar, k100),
              Points("50,0 65,38 100,38 70,60 85,100 50,75 15,100 30,60 0,38 35,38"));
    // 32.5 -> 32, 7.5 -> 8, 17.5 -> 18, 37.5 -> 38
    EXPECT_EQ(VfxShapePoints(rsStar, TRect(0, 0, 50, 50)),
              Points("25,0 32,19 50,19 35,30 42,50 25,38 8,50 15,30 0,19 18,19"));
    EXPECT_EQ(VfxShapePoints(rsStar, TRect(10, 20, 60, 70)).front(), QPoint(35, 20));
}

// Noses shrink their sides and point out of the corner; bubble chains start
// at the tip and end on the shrunk body's corner.
TEST(Noses, AndBubbleChainsSitWhereTheirPositionSays) {
    const auto rows = GoldenTextRows("effects/shape-positions.tsv", 4);
    ASSERT_EQ(rows.size(), 8u);
    for (int position = 0; position < 8; ++position) {
        const QStringList& row = rows[size_t(position)];
        SCOPED_TRACE(row.join(u" | ").toStdString());
        const TVfxNose nose = VfxNoseGeometry(k100, 10, 5, TVfxExtPos(position));
        const std::vector<QPoint> body = Points(row[1]);
        EXPECT_EQ(nose.Body, TRect(body[0].x(), body[0].y(), body[1].x(), body[1].y()));
        EXPECT_EQ((std::vector<QPoint>{nose.Tip, nose.Base1, nose.Base2}), Points(row[2]));
        const TVfxBubbleChain chain =
            VfxBubbleChain(TRect(0, 0, 120, 120), 20, 4, TVfxExtPos(position));
        ASSERT_EQ(chain.Bubbles.size(), 6u);
        EXPECT_EQ(chain.Bubbles.front().Centre, Points(row[3]).front());
        EXPECT_EQ(chain.Bubbles.front().Diameter, 0);
        const QPoint last = chain.Bubbles.back().Centre;
        EXPECT_TRUE(last.x() == chain.Body.Left || last.x() == chain.Body.Right);
        EXPECT_TRUE(last.y() == chain.Body.Top || last.y() == chain.Body.Bottom);
    }
}

TEST(BubbleChain, GrowsFromTheTipToTheBodysCorner) {
    const TVfxBubbleChain chain = VfxBubbleChain(TRect(0, 0, 120, 120), 20, 4, epLeftTop);
    EXPECT_EQ(chain.Body, TRect(20, 20, 120, 120));
    QStringList bubbles; // diameter @ centre
    for (const TVfxBubble& b : chain.Bubbles) {
        bubbles << QStringLiteral("%1@%2,%3").arg(b.Diameter).arg(b.Centre.x()).arg(b.Centre.y());
    }
    EXPECT_EQ(bubbles.join(u' '), "0@0,0 2@1,6 4@4,12 6@8,16 8@14,19 10@20,20");
}

// Filling straight into an image and through the painter's clip give the
// same pixels, whatever the painter's translation and the image's format.
TEST(RegionFill, GivesTheSamePixelsOnEveryPath) {
    TVfxShapeParams params;
    params.Shape = rsStar;
    const QRegion region = VfxShapeRegion(params, TRect(-10, 5, 90, 95));
    const QColor color(10, 200, 30);
    for (QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_BGR888}) {
        for (QPoint shift : {QPoint(0, 0), QPoint(7, -3)}) {
            QImage direct(80, 80, format);
            direct.fill(Qt::white);
            QImage clipped = direct.copy();
            {
                QPainter painter(&direct);
                painter.translate(shift);
                VfxFillRegion(painter, region, color);
            }
            {
                QPainter painter(&clipped);
                painter.translate(shift);
                painter.setClipRect(QRect(-100, -100, 300, 300)); // takes the painter's way
                VfxFillRegion(painter, region, color);
            }
            EXPECT_EQ(direct, clipped) << format;
            EXPECT_EQ(direct.pixelColor(40 + shift.x(), 50 + shift.y()), color) << format;
        }
    }
    // a copy sharing the image is left as it was
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QImage shared = image;
    {
        QPainter painter(&image);
        VfxFillRegion(painter, QRegion(0, 0, 5, 5), color);
    }
    EXPECT_EQ(shared.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(2, 2), color);
}

// --- border styles ---

TEST(BorderStyles, ColourTheTopAndBottomEdges) {
    const std::map<QRgb, QChar> letters = {
        {0xFFFF0000, u'L'}, {0xFF0000FF, u'S'}, {kSingle, u'O'}, {kWhite, u'W'}};
    const QPoint probes[] = {{10, -1}, {10, 0},  {10, 1}, {10, 18},
                             {10, 19}, {10, 20}, {0, 10}, {20, 10}};
    const auto rows = GoldenTextRows("effects/region-borders.tsv", 2);
    ASSERT_EQ(rows.size(), 8u);
    TVfxShapeParams params;
    params.Shape = rsRect;
    for (int style = 0; style < 8; ++style) {
        const QImage image =
            Bordered(params, TRect(0, 0, 20, 20), TVfxRegionBorderStyle(style), plat::clRed, 60);
        QString seen;
        for (const QPoint& p : probes) {
            seen += letters.count(PixelAt(image, p)) ? letters.at(PixelAt(image, p)) : u'?';
        }
        EXPECT_EQ(seen, rows[size_t(style)][1]) << rows[size_t(style)][0].toStdString();
    }
}

TEST(BorderStyles, LeaveTheNoseOpeningUntraced) {
    TVfxShapeParams params;
    params.Shape = rsNoseRect; // body (10, 10, 100, 100), base (10, 15) .. (10, 29)
    const QImage image = Bordered(params, k100, rbSingle, plat::clRed);
    EXPECT_EQ(PixelAt(image, {10, 20}), kWhite);
    EXPECT_EQ(PixelAt(image, {10, 60}), kSingle);
    EXPECT_EQ(PixelAt(image, {50, 10}), kSingle);
}

} // namespace
