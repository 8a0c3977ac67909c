#pragma once
// Classic three-dimensional edges and frames drawn with the fixed system
// colours, one pixel at a time as the platform draws them: a line ends one
// pixel before its end point, and rectangles are TRect (right and bottom
// outside).

#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

class QPainter;

namespace plat {

// Border kinds: each names one ring, the outer or the inner one.
constexpr unsigned BDR_RAISEDOUTER = 0x0001;
constexpr unsigned BDR_SUNKENOUTER = 0x0002;
constexpr unsigned BDR_RAISEDINNER = 0x0004;
constexpr unsigned BDR_SUNKENINNER = 0x0008;
constexpr unsigned BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
constexpr unsigned BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
constexpr unsigned BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;

constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

// Which sides, and how.
constexpr unsigned BF_LEFT = 0x0001;
constexpr unsigned BF_TOP = 0x0002;
constexpr unsigned BF_RIGHT = 0x0004;
constexpr unsigned BF_BOTTOM = 0x0008;
constexpr unsigned BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr unsigned BF_TOPRIGHT = BF_TOP | BF_RIGHT;
constexpr unsigned BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
constexpr unsigned BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_DIAGONAL = 0x0010;
// A diagonal named after the corner it runs to.
constexpr unsigned BF_DIAGONAL_ENDTOPRIGHT = BF_DIAGONAL | BF_TOP | BF_RIGHT;
constexpr unsigned BF_DIAGONAL_ENDTOPLEFT = BF_DIAGONAL | BF_TOP | BF_LEFT;
constexpr unsigned BF_DIAGONAL_ENDBOTTOMLEFT = BF_DIAGONAL | BF_BOTTOM | BF_LEFT;
constexpr unsigned BF_DIAGONAL_ENDBOTTOMRIGHT = BF_DIAGONAL | BF_BOTTOM | BF_RIGHT;
constexpr unsigned BF_MIDDLE = 0x0800; // fill what the rings leave
constexpr unsigned BF_SOFT = 0x1000; // lighter outer ring on a raised edge, darker on a sunken one
constexpr unsigned BF_ADJUST = 0x2000; // shrink the caller's rectangle by what was drawn
constexpr unsigned BF_FLAT = 0x4000;   // rings in the shadow colour (outer) and button face (inner)
constexpr unsigned BF_MONO = 0x8000;   // rings in the window-frame colour (outer) and window colour

// Draws the rings of `edge` on the sides of `flags`, outer ring first. Each
// ring is one pixel wide; its top-left colour takes the left column and the
// top row, its bottom-right colour the right column and the bottom row,
// including the top-right and bottom-left corner pixels when both sides of a
// corner are drawn (a side drawn alone runs its full length). The next ring
// lies one pixel inside on the sides drawn.
//
// Ring colours (top-left / bottom-right): raised outer 3D light / 3D dark
// shadow; sunken outer button shadow / button highlight; raised inner button
// highlight / button shadow; sunken inner 3D dark shadow / 3D light. A ring
// with both its bits set is drawn sunken. BF_SOFT exchanges the top-left
// colours between the outer and the inner kind (raised outer: highlight,
// raised inner: 3D light, sunken outer: 3D dark shadow, sunken inner: shadow).
// BF_MIDDLE fills the rest with the button face (the window colour with
// BF_MONO). With BF_ADJUST, `rect` becomes what the rings left.
//
// BF_DIAGONAL draws, instead of sides, one 45-degree line per ring from the
// corner opposite the one named to the named corner (end pixel excluded) over
// the square part of the rectangle; lines ending at the top take the ring's
// top-left colour, lines ending at the bottom its bottom-right colour; the
// inner ring's line lies one pixel further towards the named side. BF_MIDDLE
// and BF_ADJUST do nothing with a diagonal.
void DrawEdge(QPainter& painter, TRect& rect, unsigned edge, unsigned flags);
inline void DrawEdge(QPainter& painter, const QRect& rect, unsigned edge, unsigned flags) {
    TRect r(rect);
    DrawEdge(painter, r, edge, flags);
}

// A one-pixel frame along the inside of the rectangle. clNone draws nothing.
void FrameRect(QPainter& painter, const TRect& rect, TColor color);

// `width` nested frames, each with `topLeft` on the left column and the top
// row and `bottomRight` on the right column and the bottom row (which own the
// top-right and bottom-left corners). `rect` shrinks by `width` on every
// side, also where nothing could be drawn. clNone leaves its sides undrawn.
void Frame3D(QPainter& painter, TRect& rect, TColor topLeft, TColor bottomRight, int width);

} // namespace plat
