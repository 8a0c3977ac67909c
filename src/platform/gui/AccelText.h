#pragma once
// Text with "&" accelerators: the character after a single "&" is the
// accelerator and is drawn underlined, "&&" stands for a literal "&". Drawing
// and measuring follow the platform's text flags; rectangles are TRect.

#include "platform/gui/Rect.h"

#include <QChar>
#include <QString>
#include <QStringView>

class QFont;
class QFontMetrics;
class QPaintDevice;
class QPainter;

namespace plat {

constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4; // with DT_SINGLELINE only
constexpr unsigned DT_BOTTOM = 0x8;  // with DT_SINGLELINE only
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20; // line breaks are dropped
constexpr unsigned DT_EXPANDTABS = 0x40; // tab stops every 8 average character widths
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400; // measure only: the rectangle takes the text's size
constexpr unsigned DT_NOPREFIX = 0x800; // "&" is an ordinary character
constexpr unsigned DT_PATH_ELLIPSIS = 0x4000;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;
constexpr unsigned DT_HIDEPREFIX = 0x100000; // "&" processed, nothing underlined

// The text without its "&" marks, and where its accelerator is in it (-1 when
// none). The accelerator is the character after the last single "&"; a "&" at
// the very end marks nothing and disappears.
struct AccelText {
    QString Text;
    qsizetype AccelIndex = -1;
};
AccelText ParseAccelerators(QStringView text);
// The text as shown: single "&" removed, "&&" made one "&".
QString StripAccelerators(QStringView text);
// The accelerator character as written (not case-folded), or a null QChar.
QChar AcceleratorCharOf(QStringView text);

// The width of the text on one line, with the "&" marks removed first when
// `prefix` is true.
int TextWidth(const QFontMetrics& metrics, QStringView text, bool prefix);

// One line of text shortened to fit `width` as DT_END_ELLIPSIS ("..." at the
// end) or DT_PATH_ELLIPSIS ("..." in the middle, keeping what follows the
// last "\" or "/") asks; the text itself when it fits or neither flag is set.
// No "&" processing.
QString EllipsizeText(const QFontMetrics& metrics, const QString& text, int width, unsigned format);

// Draws the text in the rectangle with the painter's font and pen colour and
// no background, clipped to the rectangle unless DT_NOCLIP. Returns the height
// of the text; with DT_SINGLELINE and DT_VCENTER or DT_BOTTOM, the distance
// from the rectangle's top to the bottom of the text. With DT_CALCRECT nothing
// is drawn and `rect` gets the text's width and height from its top-left
// corner (lines wrap at the rectangle's width with DT_WORDBREAK). An empty
// text has no lines: height 0.
int DrawText(QPainter& painter, QStringView text, TRect& rect, unsigned format);
inline int DrawText(QPainter& painter, QStringView text, const QRect& rect, unsigned format) {
    TRect r(rect);
    return DrawText(painter, text, r, format & ~DT_CALCRECT);
}

// DrawText with DT_CALCRECT without a painter: the rectangle the text needs
// in `font` on `device` (the screen when null).
TRect CalcTextRect(const QFont& font, QStringView text, const TRect& rect, unsigned format,
                   const QPaintDevice* device = nullptr);

} // namespace plat
