#include "platform/gui/Edges.h"

#include "PixelPicture.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace plat;

namespace {

// One drawing into the rectangle inside a blank one-pixel margin of the
// picture, so that a pixel drawn outside shows; the picture's rows are
// separated by blanks.
struct EdgeCase {
    const char* name;
    std::function<void(QPainter&, TRect&)> draw;
    const char* picture;
    std::optional<TRect> after = {}; // the rectangle after the call, when it changed
};

std::function<void(QPainter&, TRect&)> edge(unsigned e, unsigned flags) {
    return [=](QPainter& p, TRect& r) { DrawEdge(p, r, e, flags); };
}

TEST(EdgeDrawing, PaintsThePlatformPixels) {
    const EdgeCase cases[] = {
        {"RaisedRectOwnsCornersBottomRight", edge(EDGE_RAISED, BF_RECT),
         "....... .FFFFD. .FWWGD. .FW.GD. .FGGGD. .DDDDD. ......."},
        {"SunkenWithMiddleAndAdjust", edge(EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST),
         "....... .GGGGW. .GDDFW. .GDFFW. .GFFFW. .WWWWW. .......", TRect(3, 3, 4, 4)},
        {"BumpIsRaisedOutsideSunkenInside", edge(EDGE_BUMP, BF_RECT),
         "....... .FFFFD. .FDDFD. .FD.FD. .FFFFD. .DDDDD. ......."},
        {"SoftRaisedLightensTheOuterRing", edge(EDGE_RAISED, BF_RECT | BF_SOFT),
         "....... .WWWWD. .WFFGD. .WF.GD. .WGGGD. .DDDDD. ......."},
        {"EtchedTopIsASeparatorLine", edge(EDGE_ETCHED, BF_TOP), "....... .GGGGG. .WWWWW. ......."},
        {"EtchedLeftRunsTheFullHeight", edge(EDGE_ETCHED, BF_LEFT | BF_ADJUST),
         "..... .GW.. .GW.. .GW.. .....", TRect(3, 1, 4, 4)},
        {"BottomRightSidesAlone", edge(BDR_SUNKENOUTER, BF_BOTTOMRIGHT | BF_ADJUST),
         "...... ....W. ....W. .WWWW. ......", TRect(1, 1, 4, 3)},
        {"RaisedInnerAdjustShrinksByOne", edge(BDR_RAISEDINNER, BF_RECT | BF_ADJUST),
         "..... .WWG. .W.G. .GGG. .....", TRect(2, 2, 3, 3)},
        {"FlatRingsAreShadowThenFace", edge(EDGE_SUNKEN, BF_RECT | BF_FLAT),
         "...... .GGGG. .GFFG. .GFFG. .GGGG. ......"},
        {"MonoRingsAreFrameThenWindow", edge(EDGE_RAISED, BF_RECT | BF_MONO | BF_MIDDLE),
         "....... .KKKKK. .KWWWK. .KWWWK. .KWWWK. .KKKKK. ......."},
        {"DiagonalToTopRightLeavesItsEndPixel", edge(BDR_RAISEDINNER, BF_DIAGONAL_ENDTOPRIGHT),
         "...... ...... ...W.. ..W... .W.... ......"},
        {"EmptyRectangleDrawsNothing", edge(EDGE_RAISED, BF_RECT | BF_MIDDLE), ".. .. .. .. .."},
        {"FrameRectIsOnePixelInside", [](QPainter& p, TRect& r) { FrameRect(p, r, clBtnShadow); },
         "...... .GGGG. .G..G. .GGGG. ......"},
        {"Frame3DNestsAndShrinks",
         [](QPainter& p, TRect& r) { Frame3D(p, r, clBtnHighlight, clBtnShadow, 2); },
         "....... .WWWWG. .WWWGG. .WW.GG. .WGGGG. .GGGGG. .......", TRect(3, 3, 4, 4)},
        {"Frame3DWithoutTopLeftColour",
         [](QPainter& p, TRect& r) { Frame3D(p, r, clNone, clBtnShadow, 1); },
         "..... ...G. ...G. .GGG. .....", TRect(2, 2, 3, 3)},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList picture = QString(c.picture).split(u' ');
        QImage image = BlankImage(picture[0].size(), picture.size());
        const TRect given(1, 1, picture[0].size() - 1, picture.size() - 1);
        TRect rect = given;
        {
            QPainter p(&image);
            c.draw(p, rect);
        }
        EXPECT_EQ(PixelPicture(image), picture);
        EXPECT_EQ(rect, c.after.value_or(given));
    }
}

TEST(Rect, ConvertsAndCombinesWithExclusiveEdges) {
    const QRect q(2, 3, 4, 5);
    EXPECT_EQ(TRect(q), TRect(2, 3, 6, 8));
    EXPECT_FALSE(TRect(2, 3, 6, 8).Contains(QPoint(6, 3)));

    // Rectangles that only touch share nothing.
    EXPECT_EQ(IntersectRect(TRect(0, 0, 4, 4), TRect(4, 0, 8, 4)), TRect());
    EXPECT_EQ(IntersectRect(TRect(0, 0, 4, 4), TRect(2, 1, 8, 3)), TRect(2, 1, 4, 3));
    EXPECT_EQ(UnionRect(TRect(3, 3, 3, 9), TRect(5, 6, 7, 8)), TRect(5, 6, 7, 8));
}

} // namespace
