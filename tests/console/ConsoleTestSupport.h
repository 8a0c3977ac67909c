#pragma once
// Helpers shared by the console tests: a compact text form of a parsed line
// and a console set up for deterministic pixels.

#include "console/MarkupParser.h"
#include "console/QvConsole.h"

#include <QImage>
#include <QString>
#include <QStringList>

// One token per chunk: "ts", "sp", "br", "t:<text>", "link:<name>|<params>|<hint>|<url?>",
// "/link", "font:<face>,<abs>,<rel>,<color>,<bg>", "/font", "img:<n>", "col:<n>",
// "hr:<n>", "on:<style>", "off:<style>", "indent", "/indent", "pre", "/pre".
// Blinking chunks get a "!" suffix, unselectable ones a "#" suffix.
QString DumpChunks(const TChunkList& line);
QString Parse(const QString& markup, TQvConsoleWhitespace ws = cwsCollapseOutsidePRE,
              bool timestampEmptyLines = false);

// The font every pixel test draws with.
plat::ColoredFont TestFont(int points = 9, plat::TColor color = plat::clBlack);

// A shown console of the given size: white background, black DejaVu Sans 9 pt,
// no frame, margins 2. Its scroll bar is never shown, so the client width is
// the console's width whatever the content.
struct ConsoleRig {
    ConsoleRig(int width, int height);
    ~ConsoleRig();
    QImage Grab(); // one paint
    QRgb Pixel(int x, int y);
    int LineHeight() const; // height of one row of text in the test font
    int Advance(const QString& text) const;

    TQvConsole console;
    QImage last;
};

// Whether any pixel of the rectangle has the colour (0xRRGGBB).
bool HasColor(const QImage& image, const QRect& rect, unsigned rgb);

// Colours of pixels as 0xRRGGBB.
inline unsigned Rgb(QRgb p) {
    return p & 0xFFFFFF;
}
