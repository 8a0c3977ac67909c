#pragma once

#include "platform/gui/Colors.h"

#include <QBrush>
#include <QFont>
#include <QPoint>
#include <QRect>

class QPainter;
class QWidget;

namespace plat {

// The 8 x 8 halftone pattern, rows alternating 0x55 and 0xAA: white where x +
// y (from the brush origin) is even, nothing where it is odd.
QBrush HalftoneBrush();
// Inverts the pixels of the rectangle that the halftone pattern marks (an
// exclusive or with white), the pattern starting at `origin` in the
// painter's coordinates. Doing it twice restores the pixels.
void InvertHalftoneRect(QPainter& painter, const QRect& rect, QPoint origin);

// Fills the rectangle with the colour; clNone draws nothing and gives false.
bool FillRectColor(QPainter& painter, const QRect& rect, TColor color);

// A font together with its colour, as a control's font carries it.
struct ColoredFont {
    QFont font;
    TColor color = clWindowText;

    bool operator==(const ColoredFont& other) const {
        return color == other.color && font == other.font;
    }
};

// Sets the colour behind a control's text (the edit field's background) in
// every colour group of the widget's palette.
void SetControlColor(QWidget& widget, TColor color);

} // namespace plat
