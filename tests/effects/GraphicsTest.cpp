#include "effects/gui/drawing/VfxAreaPlacement.h"
#include "effects/gui/drawing/VfxGraphics.h"
#include "effects/gui/drawing/VfxText3D.h"

#include "EffectsTestSupport.h"
#include "PixelPicture.h"

#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

#include <map>

using namespace fx;
using plat::TColor;
using plat::TRect;

namespace {

// A legend with the plain colours the transfers use.
const PixelLegend& TransferLegend() {
    static const PixelLegend legend = {{0xFFFF0000, 'R'}, {0xFF00FF00, 'g'}, {0xFF0000FF, 'b'},
                                       {0xFFFFFF00, 'Y'}, {0xFF000000, 'K'}, {0xFFFFFFFF, 'W'},
                                       {0xFFFF00FF, '.'}};
    return legend;
}

// The image's pixels as rows of legend letters joined by '/'.
QString Rows(const QImage& image, const PixelLegend& legend = ClassicLegend()) {
    return PixelPicture(image, legend).join(u'/');
}

// A rectangle written "left,top,right,bottom".
TRect RectOf(const QString& text) {
    const QStringList v = text.split(u',');
    return TRect(v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt());
}

// An image from rows of TransferLegend letters.
QImage Picture(const QStringList& rows) {
    QImage image(int(rows[0].size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            for (const auto& [rgb, c] : TransferLegend()) {
                if (rows[y][x] == QLatin1Char(c)) {
                    image.setPixel(x, y, rgb);
                }
            }
        }
    }
    return image;
}

TEST(BevelBand, OnePixelBandsPaintTheirColoursAndShrinkTheRectangle) {
    const struct {
        TVfxBevelStyle style;
        const char* picture;
        TRect after;
    } cases[] = {
        // the light colour at the top left when raised, the shadow when lowered
        {bvRaised, "WWWWWG/W....G/W....G/W....G/WGGGGG", TRect(1, 1, 5, 4)},
        {bvLowered, "GGGGGW/G....W/G....W/G....W/GWWWWW", TRect(1, 1, 5, 4)},
        {bvNormal, "KKKKKK/K....K/K....K/K....K/KKKKKK", TRect(1, 1, 5, 4)},
        {bvFrameLowered, "GGGGG./GWWWGW/GW..GW/GGGGGW/.WWWWW", TRect(2, 2, 4, 3)},
    };
    for (const auto& c : cases) {
        QImage image = BlankImage(6, 5);
        TRect rect(0, 0, 6, 5);
        QPainter p(&image);
        EXPECT_TRUE(
            VfxDrawBevelStyle(p, rect, c.style, 1, plat::clBtnShadow, plat::clBtnHighlight));
        p.end();
        EXPECT_EQ(Rows(image), QLatin1String(c.picture)) << c.style;
        EXPECT_EQ(rect, c.after) << c.style;
    }
    // Wide bands fill their sides as polygons: the mid-edge pixels of both
    // rings; the inside is untouched.
    QImage image = BlankImage(10, 10);
    TRect rect(0, 0, 10, 10);
    QPainter p(&image);
    VfxDrawBevelStyle(p, rect, bvRaised, 2, plat::clBtnShadow, plat::clBtnHighlight);
    p.end();
    EXPECT_EQ(rect, TRect(2, 2, 8, 8));
    const QStringList rows = PixelPicture(image);
    EXPECT_EQ(QString(rows[0][5]) + rows[1][5] + rows[5][0] + rows[5][1], "WWWW");
    EXPECT_EQ(QString(rows[5][9]) + rows[5][8] + rows[9][5] + rows[8][5], "GGGG");
    EXPECT_EQ(rows[5][5], u'.');
}

TEST(ShadowBevel, DropsAShadowAndFramesWhatIsLeft) {
    for (const bool transparent : {false, true}) {
        QImage image = BlankImage(8, 8);
        TRect rect(0, 0, 8, 8);
        QPainter p(&image);
        VfxDrawShadowBevel(p, rect, plat::clBlack, transparent, 1, 2, plat::clBtnFace,
                           plat::clBtnShadow);
        p.end();
        EXPECT_EQ(rect, TRect(1, 1, 5, 5));
        // The corners the shadow leaves keep the target when transparent.
        const QString c = transparent ? ".." : "FF";
        EXPECT_EQ(Rows(image), "KKKKKK" + c + "/K....K" + c + "/K....KGG/K....KGG/K....KGG/" +
                                   "KKKKKKGG/" + c + "GGGGGG/" + c + "GGGGGG");
    }
}

TEST(StandardBorder, WidthsPicturesAndWhatEachStyleLeaves) {
    const auto rows = GoldenTextRows("effects/standard-borders.tsv", 4);
    ASSERT_EQ(rows.size(), size_t(lsDoubleLowered + 1));
    for (int style = 0; style <= lsDoubleLowered; ++style) {
        const QStringList& row = rows[size_t(style)];
        SCOPED_TRACE(row.join(u" | ").toStdString());
        EXPECT_EQ(VfxStandardBorderWidth(TVfxBorderStyle(style)), row[1].toInt());
        QImage image = BlankImage(10, 10);
        TRect rect(0, 0, 10, 10);
        QPainter p(&image);
        EXPECT_TRUE(VfxDrawStandardBorder(p, rect, TVfxBorderStyle(style)));
        p.end();
        EXPECT_EQ(rect, RectOf(row[2]));
        EXPECT_EQ(Rows(image), row[3]);
    }
}

// --- areas and bitmaps ---

// Placement flags written as names joined by spaces ("-": none).
uint16_t PlacementFlags(const QString& names) {
    static const std::map<QString, uint16_t> flagNames = {{"-", 0},
                                                          {"center", VFX_DF_CENTER},
                                                          {"stretch", VFX_DF_STRETCH},
                                                          {"tile", VFX_DF_TILE},
                                                          {"keepwidth", VFX_DF_KEEPWIDTH},
                                                          {"keepheight", VFX_DF_KEEPHEIGHT},
                                                          {"fit", VFX_DF_FIT}};
    uint16_t flags = 0;
    for (const QString& name : names.split(u' ')) {
        flags |= flagNames.at(name);
    }
    return flags;
}

QString RectText(const TRect& r) {
    return QStringLiteral("%1,%2,%3,%4").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom);
}

TEST(AreaPlacement, PlacesTheSourceAsTheFlagsSay) {
    for (const QStringList& row : GoldenTextRows("effects/area-placements.tsv", 6)) {
        SCOPED_TRACE(row.join(u" | ").toStdString());
        const QStringList size = row[3].split(u'x');
        const TVfxAreaPlacement placement =
            VfxPlaceArea(RectOf(row[2]), size[0].toInt(), size[1].toInt(), PlacementFlags(row[1]));
        QStringList places;
        for (const TRect& p : placement.Places) {
            places << RectText(p);
        }
        EXPECT_EQ(places.isEmpty() ? QStringLiteral("-") : places.join(u' '), row[4]);
        EXPECT_EQ(RectText(placement.Reported), row[5]);
    }
}

TEST(DrawArea, DrawsWhereTheFlagsSay) {
    for (const QStringList& row : GoldenTextRows("effects/draw-area.tsv", 5)) {
        SCOPED_TRACE(row.join(u" | ").toStdString());
        const QImage source = Picture(row[0].split(u'/'));
        const uint16_t flags = PlacementFlags(row[1]);
        QImage target = BlankImage(8, 6);
        TRect reported(-1, -1, -1, -1);
        QPainter p(&target);
        VfxDrawArea(p, RectOf(row[2]), &source, reported, nullptr, plat::clNone, flags,
                    TRect(0, 0, source.width(), source.height()));
        p.end();
        EXPECT_EQ(Rows(target, TransferLegend()), row[4]);
        EXPECT_EQ(reported, RectOf(row[3]));
    }
}

TEST(DrawArea, NothingToDrawReportsTheDestinationOrNothing) {
    const QImage source = Picture({"Rg"});
    QImage target = BlankImage(4, 4);
    QPainter p(&target);
    TRect reported;
    // Stretching an empty source draws nothing and reports the destination.
    for (const TRect empty : {TRect(0, 0, 0, 1), TRect(0, 0, 2, 0)}) {
        for (const uint16_t mode : {uint16_t(0), VFX_DF_KEEPWIDTH, VFX_DF_KEEPHEIGHT, VFX_DF_FIT}) {
            VfxDrawArea(p, TRect(0, 0, 4, 4), &source, reported, nullptr, plat::clNone,
                        VFX_DF_STRETCH | mode, empty);
            EXPECT_EQ(reported, TRect(0, 0, 4, 4));
        }
    }
    // An empty destination reports nothing.
    VfxDrawArea(p, TRect(2, 2, 2, 4), &source, reported, nullptr, plat::clNone, 0,
                TRect(0, 0, 2, 1));
    EXPECT_EQ(reported, TRect());
    p.end();
    EXPECT_EQ(target, BlankImage(4, 4));
}

TEST(DrawArea, TransfersSkipMaskOrReplaceColours) {
    TRect reported;
    const QImage redGreen = Picture({"Rg"});
    const QImage sprite = Picture({"Kg"});
    const QImage mask = Picture({"WK"});
    const QImage bitmap = Picture({"Rb", "bg"});
    QImage transparent = BlankImage(2, 1);
    QImage masked = BlankImage(2, 1);
    QImage replaced = BlankImage(2, 2);
    QPainter p(&transparent);
    VfxDrawArea(p, TRect(0, 0, 2, 1), &redGreen, reported, nullptr, plat::RGB(255, 0, 0),
                VFX_DF_TRANSPARENT, TRect(0, 0, 2, 1));
    p.end();
    p.begin(&masked);
    VfxDrawArea(p, TRect(0, 0, 2, 1), &sprite, reported, &mask, plat::clNone, VFX_DF_MASKED,
                TRect(0, 0, 2, 1));
    p.end();
    p.begin(&replaced);
    VfxDrawBitmap(p, TRect(0, 0, 2, 2), bitmap, reported, plat::RGB(255, 255, 0), VFX_DF_REPLACE);
    p.end();
    // transparent: the red pixel is not drawn; masked: white in the mask keeps
    // the target; replace: the bottom-left colour is drawn in the given one
    EXPECT_EQ(Rows(transparent, TransferLegend()), ".g");
    EXPECT_EQ(Rows(masked, TransferLegend()), ".g");
    EXPECT_EQ(Rows(replaced, TransferLegend()), "RY/Yg");
    // A transparent image and its mask are built from the colour.
    QImage builtMask;
    QImage image;
    VfxBuildTransparentImage(Picture({"Rgb", "gRR"}), TRect(1, 0, 3, 2), builtMask,
                             plat::RGB(255, 0, 0), image);
    EXPECT_EQ(Rows(image, TransferLegend()), "gb/KK");
    EXPECT_EQ(Rows(builtMask, TransferLegend()), "KK/WW");
}

TEST(DrawAreaClipped, TilesStayInsideTheDestinationAndThePaintersClipStays) {
    const QImage source = Picture({"Rg", "bY"});
    QImage target = BlankImage(8, 4);
    QPainter p(&target);
    // x offset 2 in the low half, y offset 1 in the high half
    VfxDrawAreaClipped(p, TRect(0, 0, 4, 2), &source, TRect(0, 0, 2, 2), VFX_DF_TILE | VFX_DF_CLIP,
                       0x00010002, plat::clNone, nullptr);
    p.end();
    EXPECT_EQ(Rows(target, TransferLegend()), "......../..bYbY../..RgRg../........");

    const QImage red = Picture({"RRRR", "RRRR", "RRRR", "RRRR"});
    QImage clipped = BlankImage(4, 4);
    QPainter q(&clipped);
    q.setClipRect(QRect(0, 0, 2, 4));
    VfxDrawAreaClipped(q, TRect(1, 0, 4, 4), &red, TRect(0, 0, 4, 4), VFX_DF_CLIP, 0, plat::clNone,
                       nullptr);
    EXPECT_TRUE(q.hasClipping());
    EXPECT_EQ(q.clipBoundingRect().toRect(), QRect(0, 0, 2, 4));
    q.fillRect(QRect(0, 3, 4, 1), Qt::green);
    q.end();
    EXPECT_EQ(Rows(clipped, TransferLegend()), ".R../.R../.R../gg..");
}

// The top left corners of a 4 x 2 box in an 11 x 5 container (odd
// differences) at (10, 10), in the order of the alignments.
TEST(AlignRect, NinePositions) {
    QStringList corners;
    for (int alignment = agTopLeft; alignment <= agBottomRight; ++alignment) {
        const TRect r =
            VfxAlignRect(TVfxAlignment(alignment), TRect(0, 0, 4, 2), TRect(10, 10, 21, 15));
        EXPECT_EQ(r.Width() * 10 + r.Height(), 42) << alignment;
        corners << QStringLiteral("%1,%2").arg(r.Left).arg(r.Top);
    }
    EXPECT_EQ(corners.join(u' '), "10,10 13,10 17,10 10,11 13,11 17,11 10,13 13,13 17,13");
}

TEST(MeasureCaption, AnEmptyCaptionIsOneBlankPlusTheMarginsAndStylesAddTheirDepth) {
    QFont font;
    font.setPixelSize(12);
    const QFontMetrics fm(font);
    for (const int margin : {0, 3}) {
        for (const auto& [text, accel] : {std::pair{"", true}, {"&", true}}) {
            TRect r(5, 7, 5, 7);
            VfxMeasureCaption(QString::fromLatin1(text), nullptr, r, 0, margin, accel, false, font);
            EXPECT_EQ(r, TRect(5, 7, 5 + fm.horizontalAdvance(u' ') + 2 * (margin + 1),
                               7 + fm.height() + 2 * (margin + 1)));
        }
    }
    // It grows by the style's depth and by the tracing.
    TRect plain(0, 0, 0, 0);
    VfxMeasureCaption(QStringLiteral("Memory"), nullptr, plain, 0, 0, true, false, font);
    TVfx3DCaption caption;
    caption.SetStyle(tdRaisedShadow);
    caption.SetLightDepth(2);
    caption.SetShadowDepth(3);
    TRect deep(0, 0, 0, 0);
    VfxMeasureCaption(QStringLiteral("Memory"), &caption, deep, 0, 0, true, false, font);
    EXPECT_EQ(deep.ToQRect().size() - plain.ToQRect().size(), QSize(5, 5));
}

} // namespace
