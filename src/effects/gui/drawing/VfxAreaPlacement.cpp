#include "effects/gui/drawing/VfxAreaPlacement.h"

#include "effects/core/VfxUtils.h"
#include "effects/gui/drawing/VfxGraphics.h"

#include <cmath>

namespace fx {

using plat::TRect;

namespace {

// x, y, width and height of the source's one copy in the target.
struct Box {
    int X;
    int Y;
    int W;
    int H;
};

// Stretched to the destination, keeping the aspect ratio as the flags ask.
Box Stretched(const TRect& dest, int sw, int sh, uint16_t flags) {
    const int dw = dest.Width();
    const int dh = dest.Height();
    if ((flags & VFX_DF_FIT) == VFX_DF_FIT) {
        const TVfxRect fit = VfxFitRect(sw, sh, TVfxRect{0, 0, dw, dh});
        return {dest.Left + fit.Left, dest.Top + fit.Top, VfxRectWidth(fit), VfxRectHeight(fit)};
    }
    Box box{dest.Left, dest.Top, dw, dh};
    if (flags & VFX_DF_KEEPWIDTH) {
        box.H = static_cast<int>(std::nearbyint(double(dw) / sw * sh));
    } else if (flags & VFX_DF_KEEPHEIGHT) {
        box.W = static_cast<int>(std::nearbyint(double(dh) / sh * sw));
    }
    return box;
}

// The one copy: at the destination's corner, centred, or stretched.
Box Placed(const TRect& dest, int sw, int sh, uint16_t flags) {
    if (flags & VFX_DF_STRETCH) {
        return Stretched(dest, sw, sh, flags);
    }
    if (flags & VFX_DF_CENTER) {
        return {dest.Left + (dest.Width() - sw) / 2, dest.Top + (dest.Height() - sh) / 2, sw, sh};
    }
    return {dest.Left, dest.Top, sw, sh};
}

// Rows of copies from the destination's corner, one more each way than
// fits and the last loop inclusive.
std::vector<TRect> Tiles(const TRect& dest, int sw, int sh) {
    int rows = 0;
    int columns = 0;
    if (sw != 0 && sh != 0) {
        rows = dest.Height() / sh + 1;
        columns = dest.Width() / sw + 1;
    }
    std::vector<TRect> tiles;
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= columns; ++i) {
            tiles.push_back(TRect(dest.Left + i * sw, dest.Top + j * sh, dest.Left + (i + 1) * sw,
                                  dest.Top + (j + 1) * sh));
        }
    }
    return tiles;
}

} // namespace

TVfxAreaPlacement VfxPlaceArea(const TRect& dest, int sourceWidth, int sourceHeight,
                               uint16_t flags) {
    TVfxAreaPlacement placement;
    if (dest.IsEmpty()) {
        return placement;
    }
    if ((flags & VFX_DF_STRETCH) && (sourceWidth <= 0 || sourceHeight <= 0)) {
        placement.Reported = dest; // nothing to stretch
        return placement;
    }
    const Box box = Placed(dest, sourceWidth, sourceHeight, flags);
    placement.Reported =
        (box.W <= box.X || box.H <= box.Y) ? dest : VfxBounds(box.X, box.Y, box.W, box.H);
    if (flags & VFX_DF_TILE) {
        placement.Places = Tiles(dest, sourceWidth, sourceHeight);
    } else {
        placement.Places.push_back(VfxBounds(box.X, box.Y, box.W, box.H));
    }
    return placement;
}

} // namespace fx
