#pragma once
// The geometry of the kit's shaped areas: regions of eighteen shapes built
// from a rectangle and a few settings (their outlines: VfxShapeOutline.h).
//
// Rectangles are plat::TRect (right and bottom outside). Halves and thirds
// are integer divisions that truncate toward zero; every rounding is half to
// even. A pixel belongs to an ellipse when its centre lies strictly inside,
// and to a polygon when its centre lies inside by the even-odd rule (a
// centre on a left edge is inside, on a right edge outside).

#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QByteArrayView>
#include <QPoint>
#include <QRegion>

#include <array>
#include <span>
#include <vector>

class QBrush;
class QPainter;

namespace fx {

enum TVfxRegionShape {
    rsRect,
    rsRoundRect,
    rsBitmap,
    rsNoseRect,
    rsRoundNoseRect,
    rsElliptic,
    rsStar,
    rsRoundShield,
    rsSharpShield,
    rsDiamond,
    rsOctagon,
    rsComb,
    rsHalfRound,
    rsUserRegion,
    rsThinkBubble,
    rsRoundThinkBubble,
    rsEllipticThinkBubble,
    rsPointList
};
constexpr int kVfxRegionShapeCount = rsPointList + 1;

// Where a nose or a chain of bubbles sits: the side first, then the end of
// that side it is near.
enum TVfxExtPos {
    epLeftTop,
    epTopLeft,
    epTopRight,
    epRightTop,
    epRightBottom,
    epBottomRight,
    epBottomLeft,
    epLeftBottom
};

enum TVfxRegionBorderStyle {
    rbNone,
    rbLowered,
    rbRaised,
    rbSingle,
    rbSingleRaised,
    rbSingleLowered,
    rbRaisedpsb,
    rbLoweredpsb
};

// What a shape is built from besides its rectangle. The views and the span
// must outlive the call they are passed to.
struct TVfxShapeParams {
    TVfxRegionShape Shape = rsRoundRect;
    int RoundX = 20; // width and height of the corner ellipse
    int RoundY = 20;
    TVfxExtPos ExtPos = epLeftTop;
    int BubbleCount = 4;
    QByteArrayView MaskData;        // region data of rsBitmap
    QByteArrayView UserData;        // region data of rsUserRegion and rsPointList
    std::span<const QPoint> Points; // the outline of rsPointList
    bool Designing = false;         // rsUserRegion is a plain rectangle then
};

QRegion VfxRectRegion(const plat::TRect& r);
// The ellipse filling r.
QRegion VfxEllipticRegion(const plat::TRect& r);
// r with its corners rounded by an ellipse of the given width and height
// (each at most the rectangle's); a plain rectangle when either is 0 or less.
QRegion VfxRoundRectRegion(const plat::TRect& r, int ellipseWidth, int ellipseHeight);
// The even-odd polygon through the points in order; empty with a coordinate
// beyond +-2^27.
QRegion VfxPolygonRegion(std::span<const QPoint> points);

// The corners of the polygon shapes (rsStar, rsDiamond, rsOctagon, rsComb)
// in order; none for the other shapes.
std::vector<QPoint> VfxShapePoints(TVfxRegionShape shape, const plat::TRect& r);

// A nose: the rectangle shrunk by size on the nose's two sides, and a
// triangle with its tip size beyond the shrunk corner and its base on the
// shrunk edge, baseOffset from the corner and Round(sqrt(2 size^2)) long.
struct TVfxNose {
    plat::TRect Body;
    QPoint Tip;
    QPoint Base1; // nearer the corner
    QPoint Base2;
};
TVfxNose VfxNoseGeometry(const plat::TRect& r, int size, int baseOffset, TVfxExtPos position);
// The base offset of the nose shapes: 5 for rsNoseRect; for rsRoundNoseRect
// RoundY on the left and right sides, RoundX on the top and bottom.
int VfxNoseBaseOffset(const TVfxShapeParams& params);

// A chain of count + 2 bubbles growing from the nose tip's corner to the
// shrunk body's, the first of diameter 0.
struct TVfxBubble {
    QPoint Centre;
    int Diameter = 0;
    // The box of its ellipse: the centre -+ Diameter div 2.
    plat::TRect Box() const;
};
struct TVfxBubbleChain {
    plat::TRect Body;
    std::vector<TVfxBubble> Bubbles;
};
// A count below 1 counts as 1.
TVfxBubbleChain VfxBubbleChain(const plat::TRect& r, int size, int count, TVfxExtPos position);

// The region of the shape for r. The shields ignore r's position (they lie
// at the origin); rsBitmap, rsUserRegion and rsPointList come from their
// region data (empty without, or when the data is damaged).
QRegion VfxShapeRegion(const TVfxShapeParams& params, const plat::TRect& r);

// Fills the region with the brush, within the painter's clip, with the
// painter's composition mode.
void VfxFillRegion(QPainter& painter, const QRegion& region, const QBrush& brush);

} // namespace fx
