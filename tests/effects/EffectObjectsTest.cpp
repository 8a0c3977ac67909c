#include "effects/gui/drawing/VfxBevel.h"
#include "effects/gui/drawing/VfxGradient.h"
#include "effects/gui/drawing/VfxText3D.h"

#include "EffectsTestSupport.h"
#include "PixelPicture.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

using namespace fx;
using plat::TColor;
using plat::TRect;

namespace {

// --- bevels ---

TEST(Bevel, ExtentFollowsModeStylesAndWidths) {
    const QStringList modes = {"custom", "standard", "edge", "windows"};
    const QStringList styles = {"none",        "lowered", "raised", "framelowered",
                                "frameraised", "normal",  "shadow"};
    for (const QStringList& row : GoldenTextRows("effects/bevel-extents.tsv", 8)) {
        const QStringList style = row[2].split(u' ');
        const QStringList width = row[3].split(u' ');
        const QStringList border = row[4].split(u' ');
        TVfxBevel bevel;
        bevel.SetMode(TVfxBevelMode(modes.indexOf(row[1])));
        bevel.SetStyleOuter(TVfxBevelStyle(styles.indexOf(style[0])));
        if (style[1] != u"none") {
            bevel.SetStyleInner(TVfxBevelStyle(styles.indexOf(style[1])));
        }
        bevel.SetWidthOuter(width[0].toInt());
        bevel.SetWidthInner(width[1].toInt());
        bevel.SetBorderWidth(border[0].toInt());
        bevel.SetBorderInnerWidth(border[1].toInt());
        bevel.SetBorderSides(row[5] == u"all" ? kVfxAllFrameSides : 0);
        bevel.SetThemed(row[6] == u"1");
        EXPECT_EQ(QStringLiteral("%1 %2").arg(bevel.BorderExtent()).arg(bevel.SecondExtent()),
                  row[7])
            << row[0].toStdString();
    }
}

// A shadow outside goes with a shadow inside; another inner style drops it.
TEST(Bevel, ShadowStylesGoTogetherAndLeaveTheShadowOutsideTheInnerRect) {
    TVfxBevel bevel;
    bevel.SetStyleInner(bvRaised);
    bevel.SetStyleOuter(bvShadow);
    EXPECT_EQ(bevel.StyleInner(), bvShadow);
    bevel.SetWidthInner(1);
    bevel.SetWidthOuter(3);
    EXPECT_EQ(bevel.InnerRect(TRect(0, 0, 20, 10)), TRect(1, 1, 16, 6));
    bevel.SetStyleInner(bvLowered);
    EXPECT_EQ(std::pair(bevel.StyleOuter(), bevel.StyleInner()), std::pair(bvNone, bvLowered));
}

TEST(Bevel, DrawsCustomBandsAndRingsFromTheOutsideIn) {
    TVfxBevel bevel;
    bevel.SetStyleOuter(bvLowered);
    bevel.SetStyleInner(bvRaised);
    bevel.SetBorderWidth(1);
    bevel.SetBorderColor(plat::clBlack);
    QImage image = BlankImage(8, 8);
    TRect inner;
    {
        QPainter p(&image);
        inner = bevel.DrawBevel(p, TRect(0, 0, 8, 8), false);
    }
    EXPECT_EQ(inner, TRect(3, 3, 5, 5));
    EXPECT_EQ(inner, bevel.InnerRect(TRect(0, 0, 8, 8)));
    EXPECT_EQ(PixelPicture(image), (QStringList{"GGGGGGGW", "GKKKKKKW", "GKWWWGKW", "GKW..GKW",
                                                "GKW..GKW", "GKWGGGKW", "GKKKKKKW", "GWWWWWWW"}));
    // transparent: the rings keep what was there
    QImage again = BlankImage(8, 8);
    {
        QPainter p(&again);
        bevel.DrawBevel(p, TRect(0, 0, 8, 8), true);
    }
    EXPECT_EQ(PixelPicture(again)[1], QStringLiteral("G......W"));
}

TEST(Bevel, EdgeModeShrinksByTwoWhateverSidesAreDrawn) {
    TVfxBevel bevel;
    bevel.SetMode(bmEdge);
    bevel.SetBorderSides(fsLeft);
    bevel.SetEdgeStyle(etSunkenOuter);
    QImage image = BlankImage(4, 4);
    TRect inner;
    {
        QPainter p(&image);
        inner = bevel.DrawBevel(p, TRect(0, 0, 4, 4), false);
    }
    EXPECT_EQ(inner, TRect(2, 2, 2, 2));
    EXPECT_EQ(PixelPicture(image), (QStringList{"G...", "G...", "G...", "G..."}));
}

// --- colour ramps and gradients ---

std::vector<int> Reds(const std::vector<TColor>& table) {
    std::vector<int> reds;
    reds.reserve(table.size());
    for (const TColor c : table) {
        reds.push_back(plat::GetRValue(c));
    }
    return reds;
}

TEST(ColorRamp, StartsOrContinuesATable) {
    std::vector<TColor> table{plat::clRed};
    VfxColorRamp(table, plat::clBlack, plat::clWhite, 4, true);
    EXPECT_EQ(Reds(table), (std::vector<int>{0, 85, 170, 255}));
    VfxColorRamp(table, plat::clWhite, plat::clBlack, 3, false);
    EXPECT_EQ(Reds(table), (std::vector<int>{0, 85, 170, 255, 127, 0}));
    // channels run on their own; system colours are resolved first
    VfxColorRamp(table, plat::RGB(0, 100, 200), plat::clBtnFace, 2, true);
    EXPECT_EQ(table, (std::vector<TColor>{plat::RGB(0, 100, 200), plat::RGB(0xD4, 0xD0, 0xC8)}));
    // one entry is the first colour; 0 entries (also 256: counts modulo 256) none
    VfxColorRamp(table, plat::clWhite, plat::clBlack, 1, true);
    EXPECT_EQ(table, std::vector<TColor>{plat::clWhite});
    VfxColorRamp(table, plat::clWhite, plat::clBlack, 256, true);
    EXPECT_TRUE(table.empty());
}

TEST(Gradient, TableFromTwoColoursOrFromTheList) {
    TVfxGradient gradient;
    gradient.SetTwoColors(false);
    gradient.SetColorCount(12);
    gradient.SetColorList({plat::clBlack, plat::clWhite, plat::clBlack});
    EXPECT_EQ(Reds(gradient.ColorTable()), (std::vector<int>{0, 85, 170, 255, 170, 85, 0}));
    // one entry per pair: the ramps cannot divide into steps
    gradient.SetColorCount(2);
    gradient.SetColorList({plat::clWhite, plat::clBlack});
    EXPECT_EQ(gradient.ColorTable(), std::vector<TColor>{plat::clWhite});
    gradient.SetColorCount(500);
    EXPECT_EQ(gradient.ColorCount(), TVfxGradient::kMaxColors);
}

TEST(Gradient, CornerStylesPaintFromTheOutsideIn) {
    TVfxGradient gradient;
    gradient.SetColorCount(2);
    gradient.SetColor(plat::clBlack);
    gradient.SetEndColor(plat::clWhite);
    const struct {
        TVfxGradientStyle style;
        QPoint black; // inside the first (innermost) entry
        QPoint white;
    } cases[] = {{gstTopLeft, {1, 1}, {9, 9}},         {gstTopRight, {8, 1}, {0, 9}},
                 {gstBottomLeft, {1, 8}, {9, 0}},      {gstBottomRight, {8, 8}, {0, 0}},
                 {gstSquare, {5, 5}, {0, 0}},          {gstVertical, {5, 1}, {5, 8}},
                 {gstTopLeftDiagonal, {1, 1}, {9, 9}}, {gstTopRightDiagonal, {8, 1}, {0, 9}}};
    for (const auto& c : cases) {
        gradient.SetStyle(c.style);
        QImage image = BlankImage(10, 10);
        {
            QPainter p(&image);
            gradient.Paint(p, TRect(0, 0, 10, 10));
        }
        EXPECT_EQ(image.pixel(c.black), qRgb(0, 0, 0)) << c.style;
        EXPECT_EQ(image.pixel(c.white), qRgb(255, 255, 255)) << c.style;
    }
}

// Two colours on a rectangle wider than high, one picture per style: the
// corner and centre shapes keep their width and height apart.
TEST(Gradient, EveryStylePaintsItsPicture) {
    const PixelLegend legend = {{0xFF000000, 'K'}, {0xFFFFFFFF, 'W'}, {0xFFFF00FF, '.'}};
    TVfxGradient gradient;
    gradient.SetColorCount(2);
    gradient.SetColor(plat::clBlack);
    gradient.SetEndColor(plat::clWhite);
    ASSERT_EQ(gradient.ColorTable(), (std::vector<TColor>{plat::clBlack, plat::clWhite}));
    const auto rows = GoldenTextRows("effects/gradient-pictures.tsv", 2);
    ASSERT_EQ(rows.size(), size_t(gstTopRightDiagonal + 1));
    for (int style = 0; style <= gstTopRightDiagonal; ++style) {
        SCOPED_TRACE(rows[size_t(style)][0].toStdString());
        gradient.SetStyle(TVfxGradientStyle(style));
        QImage image = BlankImage(14, 8);
        {
            QPainter p(&image);
            gradient.Paint(p, TRect(1, 1, 13, 7));
        }
        EXPECT_EQ(PixelPicture(image, legend).join(u'/'), rows[size_t(style)][1]);
    }
}

// --- 3D text ---

QFont PixelFont() {
    QFont font;
    font.setPixelSize(14);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QImage TextImage(const TVfx3DCaption* caption, TVfxTextLook look = {}) {
    QImage image(40, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(PixelFont());
    VfxDraw3DText(p, QStringLiteral("HI"), TRect(4, 2, 36, 22), 0, caption, look);
    return image;
}

QPoint PointOf(const QString& text) {
    return QPoint(text.section(u',', 0, 0).toInt(), text.section(u',', 1).toInt());
}

// The pixels the plain text covers.
std::vector<QPoint> Glyphs(const QImage& plain) {
    std::vector<QPoint> ink;
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            if (plain.pixel(x, y) == qRgb(0, 0, 0)) {
                ink.push_back({x, y});
            }
        }
    }
    return ink;
}

TEST(Text3D, CopiesLieBehindTheFace) {
    const std::vector<QPoint> ink = Glyphs(TextImage(nullptr));
    ASSERT_FALSE(ink.empty());
    const QStringList styles = {"none",         "sunken",       "raised",       "sunkenshadow",
                                "raisedshadow", "pcolorsunken", "pcolorraised", "shadow",
                                "outline",      "extrude",      "extrudeenh"};
    const QStringList orientations = {"bottomleft", "bottomright", "topleft", "topright"};
    for (const QStringList& row : GoldenTextRows("effects/text3d-copies.tsv", 6)) {
        SCOPED_TRACE(row.join(u" | ").toStdString());
        const QPoint face = PointOf(row[3]);
        const QPoint copy = PointOf(row[4]);
        const QRgb copyRgb = row[5] == u"red" ? qRgb(255, 0, 0) : qRgb(0, 0, 255);
        TVfx3DCaption caption;
        caption.SetStyle(TVfxThreeDStyle(styles.indexOf(row[1])));
        caption.SetOrientation(TVfxThreeDOrientation(orientations.indexOf(row[2])));
        caption.SetLightDepth(2);
        caption.SetShadowDepth(3);
        caption.SetLightColor(plat::clRed);
        caption.SetShadowColor(plat::clBlue);
        const QImage image = TextImage(&caption);
        int faceMissed = 0;
        int copySeen = 0;
        int copyMissed = 0;
        for (const QPoint p : ink) {
            faceMissed += image.pixel(p + face) != qRgb(0, 0, 0);
            // every pixel of the copy that the face leaves free shows the copy
            const QPoint at = p + copy;
            if (std::find(ink.begin(), ink.end(), at - face) == ink.end()) {
                (image.pixel(at) == copyRgb ? copySeen : copyMissed) += 1;
            }
        }
        EXPECT_EQ(faceMissed, 0);
        EXPECT_EQ(copyMissed, 0);
        EXPECT_GT(copySeen, 0);
    }
}

TEST(Text3D, DisabledTextIsGreyUnlessStyleNone) {
    const std::vector<QPoint> ink = Glyphs(TextImage(nullptr));
    TVfx3DCaption caption;
    TVfxTextLook look;
    look.Enabled = false;
    const QImage grey = TextImage(&caption, look);
    EXPECT_EQ(grey.pixel(ink.front()), qRgb(0x80, 0x80, 0x80));
    caption.SetDisabledStyle(dsNone);
    EXPECT_EQ(TextImage(&caption, look).pixel(ink.front()), qRgb(0, 0, 0));
    // the 3D disabled look: the light copy one pixel below and right
    caption.SetDisabledStyle(ds3d);
    caption.SetLightColor(plat::clRed);
    const QImage sunken = TextImage(&caption, look);
    EXPECT_EQ(sunken.pixel(ink.front()), qRgb(0x80, 0x80, 0x80));
    int lit = 0;
    for (const QPoint p : ink) {
        lit += sunken.pixel(p + QPoint(1, 1)) == qRgb(255, 0, 0) &&
               std::find(ink.begin(), ink.end(), p + QPoint(1, 1)) == ink.end();
    }
    EXPECT_GT(lit, 0);
}

} // namespace
