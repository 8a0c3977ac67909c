#pragma once

#include "platform/gui/Colors.h"

#include <QFont>
#include <QRect>

class QPainter;
class QWidget;

namespace plat {

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
