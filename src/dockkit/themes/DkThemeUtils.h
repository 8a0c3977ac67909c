#pragma once
// Colour arithmetic and rectangle fills of the themed layer. Every routine
// takes TColor values and resolves system colours through the table in force
// before any arithmetic; clNone means "draw nothing" and is never resolved.
// Rectangles are plat::TRect (right and bottom outside) and become QRects only
// at the painter call; one-pixel lines leave out their end point, as the
// platform draws them.

#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QFont>
#include <QPoint>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

class QPainter;

namespace dk {

// --- Colour arithmetic ------------------------------------------------------

// The mix of c1 (weight w) and c2 (weight 255 - w), red and blue multiplied
// together, green apart, divided by 256: w = 255 gives c1 with each channel
// scaled by 255/256. A weight outside 0..255 is a programming error: it is
// reported to the application's exception handler as "Assertion failure" and
// taken as the nearest end.
plat::TColor BlendColors(plat::TColor c1, plat::TColor c2, int w);
// BlendColors, then the nearest colour the display shows (every colour here).
plat::TColor BlendColorsNearest(plat::TColor c1, plat::TColor c2, int w);
// Each channel moved by delta and kept within 0..255.
plat::TColor ShiftColor(plat::TColor color, int delta);
// (R x 77 + G x 151 + B x 28) / 256.
int ColorLuminance(plat::TColor color);
// R x 76 + G x 150 + B x 30 below limit x 256 (the themes pass 100).
bool IsDarkColor(plat::TColor color, int limit);
// Per channel (c2 x (S - w) + c1 x w + S / 2) / S with S = 100 (percent)
// when w < 100 and S = 1000 (per mille) otherwise; each channel is kept
// within 0..255, so a weight beyond S cannot spill into its neighbour.
plat::TColor MixColorsScaled(plat::TColor c1, plat::TColor c2, int w);
// The Euclidean distance in the weighted colour space (red x 0.764706, green
// x 1.52941, blue x 0.254902: a 195 x 390 x 65 box) in single precision.
float ColorDistance(plat::TColor c1, plat::TColor c2);
// Leaves `color` (resolved) when it is farther than the threshold from the
// background; otherwise moves it along its line from black (white, for a
// colour that has to get lighter) to the nearest point at the threshold's
// distance from the background. Never yields a non-number: where rounding
// leaves no point at that distance, the nearest point of the line is taken.
void EnsureContrast(plat::TColor& color, plat::TColor background, int threshold);
// The step EnsureContrast moves by, in the weighted space: the point of the
// line from the origin through `c` at distance t from `b`, on the origin's
// side of b's projection; the projection itself when no point of the line is
// that close (the line passes farther than t from b).
std::array<float, 3> ContrastPoint(const std::array<float, 3>& c, const std::array<float, 3>& b,
                                   float t);
// Exchanges the low and the third byte: TColor order <-> pixel word order.
constexpr plat::TColor SwapRedBlue(plat::TColor color) {
    const auto c = static_cast<uint32_t>(color);
    return static_cast<plat::TColor>((c & 0xFF00FF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu));
}

// --- Rectangles and fills -----------------------------------------------------

// Fills the rectangle; clNone draws nothing and gives false. A system colour
// the desk has no brush for draws nothing either but counts as drawn.
bool FillRectColor(QPainter& canvas, const plat::TRect& rect, plat::TColor color);
// A one-pixel frame along the inside of the rectangle, as FillRectColor. With
// `shrink` the rectangle then loses a pixel on every side, also for clNone.
bool FrameRectColor(QPainter& canvas, plat::TRect& rect, plat::TColor color, bool shrink);
// With R = Right - 1 and B = Bottom - 1, the line (Left, B) - (Left, Top) -
// (R, Top) in topLeft, then (R, Top) - (R, B) - (Left - 1, B) in bottomRight,
// each segment without its end point; the rectangle shrinks by a pixel on
// every side.
void DrawLineFrame(QPainter& canvas, plat::TRect& rect, plat::TColor topLeft,
                   plat::TColor bottomRight);
// A pixel checkerboard: c1 where x + y is even, c2 where it is odd, counted
// from the painter's brush origin in its coordinates (set the brush origin to
// the window's origin to keep the phase across off-screen pieces).
void FillDithered(QPainter& canvas, const plat::TRect& rect, plat::TColor c1, plat::TColor c2);
// A polyline one pixel wide through horizontal, vertical and 45-degree
// segments, each without its end point; clNone draws nothing.
void Polyline(QPainter& canvas, std::span<const QPoint> points, plat::TColor color);

// Fills `count` words with the value; copies `count` words (nothing when the
// count is 0 or source and destination are the same).
void FillLongs(uint32_t* dest, size_t count, uint32_t value);
void CopyLongs(const uint32_t* source, uint32_t* dest, size_t count);

// --- Shared drawing resources ---------------------------------------------------

// The small-caption font of the desk: the application's family, 8 points, bold.
QFont SmallCaptionFont();
// Builds the shared resources anew (the theme switch calls it before it
// creates the new theme, so a changed desk font reaches the captions).
void RecreateDrawingResources();
// How many times the resources were built; tells tests that a switch rebuilt them.
int DrawingResourcesGeneration();

} // namespace dk
