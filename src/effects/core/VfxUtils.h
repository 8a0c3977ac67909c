#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <span>

namespace fx {

// A rectangle as the drawing code uses it: Right and Bottom lie outside
// (width = Right - Left).
struct TVfxRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    friend bool operator==(const TVfxRect&, const TVfxRect&) = default;
};

struct TVfxPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TVfxPoint&, const TVfxPoint&) = default;
};

// Empty, or blanks only.
bool VfxIsBlank(QStringView text);
// Folder separators: "/" here; "\" is accepted as one as well.
bool VfxIsPathSeparator(QChar c);
// Appends "/" unless the text is blank or already ends in a separator.
QString VfxAddBackslash(const QString& path);
// Drops one trailing separator.
QString VfxRemoveBackslash(const QString& path);

enum TVfxPathPrefix { ppWindows, ppSystem, ppProgram, ppFixed };

// The folder a prefix stands for: ppWindows the user's configuration folder,
// ppSystem "/etc", ppProgram the folder of the running program, ppFixed
// empty. With trailingBackslash the result ends in a separator (an empty
// result stays empty), otherwise it has none.
QString VfxPathPrefix(TVfxPathPrefix prefix, bool trailingBackslash);

int VfxRectWidth(const TVfxRect& r);
int VfxRectHeight(const TVfxRect& r);

// Fits a source size into target keeping its aspect ratio: the scale is the
// smaller of the width and height ratios; the result sits at the target's
// top-left. An empty source gives an empty rectangle at the top-left.
TVfxRect VfxFitRect(int sourceWidth, int sourceHeight, const TVfxRect& target);

// The corners top-left, top-right, bottom-right, bottom-left of r turned about
// its centre by angle degrees, clockwise on the screen (y grows downwards),
// each coordinate rounded half to even.
std::array<TVfxPoint, 4> VfxRotateRect(const TVfxRect& r, double angle);

// The largest and smallest value of an array; 0 for an empty one.
int VfxMaxInt(std::span<const int> values);
int VfxMinInt(std::span<const int> values);
double VfxMaxFloat(std::span<const double> values);

} // namespace fx
