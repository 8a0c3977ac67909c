#pragma once
// Frames of the framed panels and the splitter: the ten frame styles, the
// sides they are drawn on, and the routines that draw them line by line;
// and the rotated font of the panels' vertical captions.

#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QFont>
#include <QPoint>
#include <QString>

class QPainter;

// Frame styles, in the order they are stored.
enum TFrameStyle {
    fsNone,
    fsFlat,
    fsGroove,
    fsBump,
    fsLowered,
    fsButtonDown,
    fsRaised,
    fsButtonUp,
    fsStatus,
    fsPopup
};

// A set of sides.
enum TSide : unsigned { sdLeft = 0x1, sdTop = 0x2, sdRight = 0x4, sdBottom = 0x8 };
using TSides = unsigned;
constexpr TSides sdAllSides = sdLeft | sdTop | sdRight | sdBottom;

namespace ctl {

// One line on each listed side: `first` on the left column and the top row,
// `second` on the right column and the bottom row (drawn last, so it owns the
// top-right and bottom-left corners). Returns the rectangle shrunk by one on
// every side drawn.
plat::TRect DrawSides(QPainter& painter, plat::TRect rect, plat::TColor first, TSides sides,
                      plat::TColor second);

// `count` nested lines of DrawSides, each inside the previous one.
plat::TRect DrawBevel(QPainter& painter, plat::TRect rect, plat::TColor first, TSides sides,
                      int count, plat::TColor second);

// The frame of a style with its fixed colours: one line for fsFlat (window
// frame colour), two for the three-dimensional styles, one line in the
// style's light and dark colours for fsStatus and fsPopup; fsNone draws
// nothing.
plat::TRect DrawBorder(QPainter& painter, plat::TRect rect, TFrameStyle style, TSides sides);

// How many pixels deep a frame of the style is on each side it is drawn on;
// fsStatus and fsPopup are `bevelWidth` lines deep.
int FrameStyleWidth(TFrameStyle style, int bevelWidth);

// A font whose text runs at an angle: Escapement in tenths of a degree,
// counter-clockwise from the baseline running right (900: upwards).
struct TRotatedFont {
    QFont Font;
    int Escapement = 0;
};

// The font made from `font` at the angle: the font's family and height,
// weight 700 when it is bold (700 or more) and 400 otherwise, its italic,
// underline and strike-out, and its pitch.
TRotatedFont CreateRotatedFont(const QFont& font, int escapement);

// Writes the text in the rotated font with the painter's pen, `origin`
// being the top-left corner of the text's cell before the rotation.
void DrawRotatedText(QPainter& painter, const TRotatedFont& font, QPoint origin,
                     const QString& text);

} // namespace ctl
