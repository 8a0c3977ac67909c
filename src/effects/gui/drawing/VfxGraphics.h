#pragma once
// The kit's low-level painting: bevel bands and standard borders, drawing a
// bitmap or an area of another image into a rectangle (plain, centred,
// stretched, fitted, tiled; transparent, masked or with a colour replaced;
// optionally clipped), filling a bitmap, the nine-position alignment of one
// rectangle in another and the measuring of a caption with its 3D effect.
//
// Rectangles are plat::TRect (right and bottom outside); Bounds(x, y, w, h)
// is (x, y, x + w, y + h). Images stand for the platform's bitmaps and
// canvases: a source "canvas" is the image drawn from.

#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <cstdint>

class QPainter;

namespace fx {

class TVfx3DCaption;

enum TVfxBevelStyle {
    bvNone,
    bvLowered,
    bvRaised,
    bvFrameLowered,
    bvFrameRaised,
    bvNormal,
    bvShadow
};

enum TVfxBorderStyle {
    lsNone,
    lsSingle,
    lsLowered,
    lsRaised,
    lsRaisedspb,
    lsLoweredspb,
    lsRaisedExt,
    lsLoweredExt,
    lsFrameInset,
    lsFrameOffset,
    lsWindowBorder,
    lsSingleRaised,
    lsSingleLowered,
    lsDoubleRaised,
    lsDoubleLowered
};

enum TVfxAlignment {
    agTopLeft,
    agTopCenter,
    agTopRight,
    agCenterLeft,
    agCenter,
    agCenterRight,
    agBottomLeft,
    agBottomCenter,
    agBottomRight
};

// Draw flags.
constexpr uint16_t VFX_DF_CLIP = 0x0001;        // clip to the destination (clipped entries)
constexpr uint16_t VFX_DF_CENTER = 0x0008;      // centre the source in the destination
constexpr uint16_t VFX_DF_STRETCH = 0x0010;     // stretch the source to the destination
constexpr uint16_t VFX_DF_TILE = 0x0020;        // tile the source over the destination
constexpr uint16_t VFX_DF_TRANSPARENT = 0x0040; // pixels of the colour are not drawn
constexpr uint16_t VFX_DF_REPLACE = 0x0080; // the bitmap's transparent colour drawn in the colour
constexpr uint16_t VFX_DF_MASKED = 0x0100;  // a mask decides which pixels are drawn
constexpr uint16_t VFX_DF_KEEPHEIGHT = 0x0200; // stretch: width follows the aspect ratio
constexpr uint16_t VFX_DF_KEEPWIDTH = 0x0400;  // stretch: height follows the aspect ratio
constexpr uint16_t VFX_DF_FIT = VFX_DF_KEEPHEIGHT | VFX_DF_KEEPWIDTH;
constexpr uint16_t VFX_DF_PALETTE = 0x1000; // realize the bitmap's palette (nothing to do here)

constexpr plat::TRect VfxBounds(int x, int y, int w, int h) {
    return {x, y, x + w, y + h};
}

// One band of a bevel. Nothing is drawn (false, rect unchanged) for width 0,
// bvNone and bvShadow. Lowered styles draw their top-left in the light and
// their bottom-right in the shadow colour, raised ones the other way round,
// bvNormal both black. The frame styles draw an etched frame and leave rect
// shrunk by width + 1 on every side; the others leave it shrunk by width.
bool VfxDrawBevelStyle(QPainter& painter, plat::TRect& rect, TVfxBevelStyle style, int width,
                       plat::TColor shadowColor, plat::TColor lightColor);

// The shadow band: a shadow offset by shadowWidth down and to the right, the
// two corners it leaves in the corner colour (unless transparent), then
// innerWidth frames in the frame colour. rect becomes what lies inside.
bool VfxDrawShadowBevel(QPainter& painter, plat::TRect& rect, plat::TColor frameColor,
                        bool transparent, int innerWidth, int shadowWidth, plat::TColor cornerColor,
                        plat::TColor shadowColor);

// lsNone 0; the three single styles 1; every other style 2.
int VfxStandardBorderWidth(TVfxBorderStyle style);
// Draws a standard border with the platform's edges; rect shrinks by what was
// drawn. extraFlags join every edge call (callers pass 0).
bool VfxDrawStandardBorder(QPainter& painter, plat::TRect& rect, TVfxBorderStyle style,
                           unsigned extraFlags = 0);

// Makes bitmap the rectangle's size and fills it with the colour; nothing for
// an empty rectangle.
void VfxFillBitmap(QImage& bitmap, const plat::TRect& rect, plat::TColor color);

// From the area source of the canvas: image becomes a copy with the pixels of
// the colour black, mask a black-and-white image, white where the colour was.
void VfxBuildTransparentImage(const QImage& canvas, const plat::TRect& source, QImage& mask,
                              plat::TColor color, QImage& image);

// Draws area sourceRect of source into dest as the flags say. extra is the
// bitmap of the colour-replace transfer or the mask of the masked one (null
// otherwise). reported receives where it drew: Bounds of the placement, or
// dest when the placement read as left, top, right, bottom is empty. A
// stretch of an empty source draws nothing and reports dest.
void VfxDrawArea(QPainter& painter, const plat::TRect& dest, const QImage* source,
                 plat::TRect& reported, const QImage* extra, plat::TColor color, uint16_t flags,
                 const plat::TRect& sourceRect);

// VfxDrawArea inside dest moved by the offset (x in the low 16 bits, y in
// the high ones) with VFX_DF_CLIP, within the clip the painter already had,
// which it keeps afterwards.
void VfxDrawAreaClipped(QPainter& painter, const plat::TRect& dest, const QImage* source,
                        const plat::TRect& sourceRect, uint16_t flags, uint32_t clipOffset,
                        plat::TColor color, const QImage* bitmap);

// A whole bitmap: with VFX_DF_REPLACE the bitmap is the replace transfer's
// own, otherwise the source. A null bitmap draws nothing.
void VfxDrawBitmapClipped(QPainter& painter, const plat::TRect& dest, const QImage& bitmap,
                          uint16_t flags, uint32_t clipOffset, plat::TColor color);
void VfxDrawBitmap(QPainter& painter, const plat::TRect& dest, const QImage& bitmap,
                   plat::TRect& reported, plat::TColor color, uint16_t flags);

// The colour of a bitmap taken as transparent: its bottom-left pixel.
plat::TColor VfxTransparentColorOf(const QImage& bitmap);

// The box placed in the container: Bounds(container left + horizontal
// offset, container top + vertical offset, box width, box height); centring
// gives an odd pixel to the right and the bottom.
plat::TRect VfxAlignRect(TVfxAlignment alignment, const plat::TRect& box,
                         const plat::TRect& container);

// Measures text in font into rect (left and top stay): expanded tabs, word
// breaks with wordWrap, "&" marks only with showAccel. An empty text (and
// "&" with showAccel) counts as " ". The caption's tracing spaces the
// letters, its style depth grows right and bottom, and both grow by
// 2 * (margin + 1).
void VfxMeasureCaption(const QString& text, const TVfx3DCaption* caption, plat::TRect& rect,
                       unsigned format, int margin, bool showAccel, bool wordWrap,
                       const QFont& font);

// The rectangle a caption takes when placed in the container by alignment:
// measured in the container less its last column, then aligned.
plat::TRect VfxAlignedTextRect(TVfxAlignment alignment, const QString& text,
                               const TVfx3DCaption* caption, unsigned format, bool showAccel,
                               bool wordWrap, const QFont& font, const plat::TRect& container);

} // namespace fx
