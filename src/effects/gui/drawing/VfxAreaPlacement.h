#pragma once
// The arithmetic of drawing an area, apart from the painting: where the
// copies of a source go in a destination (plain, centred, stretched, fitted,
// tiled) and which rectangle the drawing reports.

#include "platform/gui/Rect.h"

#include <cstdint>
#include <vector>

namespace fx {

struct TVfxAreaPlacement {
    // Where the source is drawn, in drawing order; none when nothing is.
    // Places may be empty rectangles: those draw nothing.
    std::vector<plat::TRect> Places;
    plat::TRect Reported;
};

// Places a source of sourceWidth x sourceHeight in dest as the flags of
// VfxGraphics.h say (VFX_DF_CENTER, VFX_DF_STRETCH with VFX_DF_KEEPWIDTH,
// VFX_DF_KEEPHEIGHT or VFX_DF_FIT, VFX_DF_TILE; the others do not move it):
// - an empty destination places nothing and reports an empty rectangle;
// - a stretch of an empty source places nothing and reports dest;
// - tiles start at dest's corner and are counted inclusively, so they reach
//   past dest: (width / source width + 2) a row, (height / source height + 2)
//   rows; a tiled source of no width or height is one empty place;
// - otherwise one place, Bounds(x, y, w, h) of the placement, which is also
//   what is reported, unless read as left, top, right, bottom it is empty
//   (w <= x or h <= y): then dest is reported.
TVfxAreaPlacement VfxPlaceArea(const plat::TRect& dest, int sourceWidth, int sourceHeight,
                               uint16_t flags);

} // namespace fx
