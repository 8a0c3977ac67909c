#include "platform/gui/Edges.h"

#include "PixelPicture.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

using namespace plat;

namespace {

// One drawing into the rectangle (1, 1, 1 + width, 1 + height) of an image
// with a blank one-pixel margin, so that a pixel drawn outside shows.
struct EdgeCase {
    const char* name;
    int width;
    int height;
    std::function<void(QPainter&, TRect&)> draw;
    QStringList picture; // with the margin
    TRect after;         // the rectangle after the call
};

void PrintTo(const EdgeCase& c, std::ostream* os) {
    *os << c.name;
}

std::function<void(QPainter&, TRect&)> edge(unsigned e, unsigned flags) {
    return [=](QPainter& p, TRect& r) { DrawEdge(p, r, e, flags); };
}

class EdgeDrawing : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(EdgeDrawing, PaintsThePlatformPixels) {
    const EdgeCase& c = GetParam();
    QImage image = BlankImage(c.width + 2, c.height + 2);
    TRect rect(1, 1, 1 + c.width, 1 + c.height);
    {
        QPainter p(&image);
        c.draw(p, rect);
    }
    EXPECT_EQ(PixelPicture(image), c.picture);
    EXPECT_EQ(rect, c.after);
}

const TRect k5(1, 1, 6, 6);

INSTANTIATE_TEST_SUITE_P(
    Classic, EdgeDrawing,
    ::testing::Values(
        EdgeCase{"RaisedRectOwnsCornersBottomRight",
                 5,
                 5,
                 edge(EDGE_RAISED, BF_RECT),
                 {".......", ".FFFFD.", ".FWWGD.", ".FW.GD.", ".FGGGD.", ".DDDDD.", "......."},
                 k5},
        EdgeCase{"SunkenWithMiddleAndAdjust",
                 5,
                 5,
                 edge(EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST),
                 {".......", ".GGGGW.", ".GDDFW.", ".GDFFW.", ".GFFFW.", ".WWWWW.", "......."},
                 TRect(3, 3, 4, 4)},
        EdgeCase{"BumpIsRaisedOutsideSunkenInside",
                 5,
                 5,
                 edge(EDGE_BUMP, BF_RECT),
                 {".......", ".FFFFD.", ".FDDFD.", ".FD.FD.", ".FFFFD.", ".DDDDD.", "......."},
                 k5},
        EdgeCase{"SoftRaisedLightensTheOuterRing",
                 5,
                 5,
                 edge(EDGE_RAISED, BF_RECT | BF_SOFT),
                 {".......", ".WWWWD.", ".WFFGD.", ".WF.GD.", ".WGGGD.", ".DDDDD.", "......."},
                 k5},
        EdgeCase{"EtchedTopIsASeparatorLine",
                 5,
                 2,
                 edge(EDGE_ETCHED, BF_TOP),
                 {".......", ".GGGGG.", ".WWWWW.", "......."},
                 TRect(1, 1, 6, 3)},
        EdgeCase{"EtchedLeftRunsTheFullHeight",
                 3,
                 3,
                 edge(EDGE_ETCHED, BF_LEFT | BF_ADJUST),
                 {".....", ".GW..", ".GW..", ".GW..", "....."},
                 TRect(3, 1, 4, 4)},
        EdgeCase{"BottomRightSidesAlone",
                 4,
                 3,
                 edge(BDR_SUNKENOUTER, BF_BOTTOMRIGHT | BF_ADJUST),
                 {"......", "....W.", "....W.", ".WWWW.", "......"},
                 TRect(1, 1, 4, 3)},
        EdgeCase{"RaisedInnerAdjustShrinksByOne",
                 3,
                 3,
                 edge(BDR_RAISEDINNER, BF_RECT | BF_ADJUST),
                 {".....", ".WWG.", ".W.G.", ".GGG.", "....."},
                 TRect(2, 2, 3, 3)},
        EdgeCase{"FlatRingsAreShadowThenFace",
                 4,
                 4,
                 edge(EDGE_SUNKEN, BF_RECT | BF_FLAT),
                 {"......", ".GGGG.", ".GFFG.", ".GFFG.", ".GGGG.", "......"},
                 TRect(1, 1, 5, 5)},
        EdgeCase{"MonoRingsAreFrameThenWindow",
                 5,
                 5,
                 edge(EDGE_RAISED, BF_RECT | BF_MONO | BF_MIDDLE),
                 {".......", ".KKKKK.", ".KWWWK.", ".KWWWK.", ".KWWWK.", ".KKKKK.", "......."},
                 k5},
        EdgeCase{"DiagonalToTopRightLeavesItsEndPixel",
                 4,
                 4,
                 edge(BDR_RAISEDINNER, BF_DIAGONAL_ENDTOPRIGHT),
                 {"......", "......", "...W..", "..W...", ".W....", "......"},
                 TRect(1, 1, 5, 5)},
        EdgeCase{"EmptyRectangleDrawsNothing",
                 0,
                 3,
                 edge(EDGE_RAISED, BF_RECT | BF_MIDDLE),
                 {"..", "..", "..", "..", ".."},
                 TRect(1, 1, 1, 4)},
        EdgeCase{"FrameRectIsOnePixelInside",
                 4,
                 3,
                 [](QPainter& p, TRect& r) { FrameRect(p, r, clBtnShadow); },
                 {"......", ".GGGG.", ".G..G.", ".GGGG.", "......"},
                 TRect(1, 1, 5, 4)},
        EdgeCase{"Frame3DNestsAndShrinks",
                 5,
                 5,
                 [](QPainter& p, TRect& r) { Frame3D(p, r, clBtnHighlight, clBtnShadow, 2); },
                 {".......", ".WWWWG.", ".WWWGG.", ".WW.GG.", ".WGGGG.", ".GGGGG.", "......."},
                 TRect(3, 3, 4, 4)},
        EdgeCase{"Frame3DWithoutTopLeftColour",
                 3,
                 3,
                 [](QPainter& p, TRect& r) { Frame3D(p, r, clNone, clBtnShadow, 1); },
                 {".....", "...G.", "...G.", ".GGG.", "....."},
                 TRect(2, 2, 3, 3)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Rect, ConvertsAndCombinesWithExclusiveEdges) {
    const QRect q(2, 3, 4, 5);
    EXPECT_EQ(TRect(q), TRect(2, 3, 6, 8));
    EXPECT_EQ(TRect(q).ToQRect(), q);
    EXPECT_FALSE(TRect(2, 3, 6, 8).Contains(QPoint(6, 3)));

    // Rectangles that only touch share nothing.
    EXPECT_EQ(IntersectRect(TRect(0, 0, 4, 4), TRect(4, 0, 8, 4)), TRect());
    EXPECT_EQ(IntersectRect(TRect(0, 0, 4, 4), TRect(2, 1, 8, 3)), TRect(2, 1, 4, 3));
    EXPECT_EQ(UnionRect(TRect(0, 0, 2, 2), TRect(5, 6, 7, 8)), TRect(0, 0, 7, 8));
    EXPECT_EQ(UnionRect(TRect(3, 3, 3, 9), TRect(5, 6, 7, 8)), TRect(5, 6, 7, 8));
}

} // namespace
