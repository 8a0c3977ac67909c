#pragma once
// Small drawing pieces of the classic look that viewers and themes share.

#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QBrush>
#include <QPoint>
#include <QStringView>

class QPainter;

namespace plat {
class ImageList;
}

namespace dk {

// The disabled look of an image: its dark pixels as a shape, first in the
// button highlight colour one pixel down and right, then in the button
// shadow colour in place.
void DrawDisabledImage(QPainter& painter, const plat::ImageList& images, int index, int x, int y);

// A solid triangle pointing down (5 x 3 and the like: width odd, height
// width / 2 + 1) with its top-left corner at the point.
void DrawDownTriangle(QPainter& painter, QPoint topLeft, int width, plat::TColor color);
// A solid triangle pointing right, `height` pixels tall (odd).
void DrawRightTriangle(QPainter& painter, QPoint topLeft, int height, plat::TColor color);

// One line of text with its "&" accelerator, as plat::DrawText draws it with
// DT_SINGLELINE and the horizontal and vertical alignment flags, DT_NOPREFIX
// and DT_HIDEPREFIX, clipped to the rectangle, but laid out once. Other
// flags go to plat::DrawText.
void DrawCaption(QPainter& painter, QStringView text, const plat::TRect& rect, unsigned format);

// A one-bit picture, one byte per row with the leftmost pixel in the high
// bit, its set pixels drawn in the colour from the top-left point.
void DrawGlyph(QPainter& painter, const unsigned char* rows, int rowCount, QPoint topLeft,
               plat::TColor color);

// The checked-button fill: a pixel checkerboard of button face and button
// highlight.
QBrush DitherBrush();

} // namespace dk
