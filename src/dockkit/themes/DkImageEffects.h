#pragma once
// Image effects of the themed layer: an image of a list drawn at the top-left
// corner of a rectangle in a changed look. The worked area is the rectangle
// cut to the list's image size; an empty area or an index outside the list
// draws nothing.
//
// Each effect first draws the image over a key colour and treats every pixel
// that is not the key as an image pixel (a partly transparent pixel is taken
// as it shows over the key). The pure forms compute the result as an overlay:
// opaque where the image is, transparent elsewhere.

#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QImage>
#include <QPoint>

class QPainter;

namespace plat {
class ImageList;
}

namespace dk {

// The key colour behind the image: pixels of exactly this colour count as
// transparent.
constexpr QRgb kEffectKey = 0xFF203241;

// --- Pure forms: the image (any format) to an ARGB32 overlay ---------------------

// Light pixels turn dark and dark ones light (Y = R x 76 + G x 150 + B x 29:
// black from 64769, white below 25600, else kept), then every channel + 32.
QImage HighContrastOverlay(const QImage& image);
// Each image pixel mixed with the colour: BlendColors(pixel, colour, w).
QImage WashedOverlay(const QImage& image, int w, plat::TColor color);
// A silhouette: where the image changes the background, the background pixel
// darkened by F / 256 with L = Y / 256 of the image pixel over the background
// and F = L / 8 + 223 (light) or L / 3 + 170. `background` has the image's
// size; its pixels outside the image stay as they are.
QImage ShadowOverlay(const QImage& background, const QImage& image, bool light);
// The image's dark parts (every pure black pixel, and others with
// R x 76 + G x 150 + B x 29 below 46081) in the colour.
QImage MonochromeOverlay(const QImage& image, plat::TColor color);

// --- Canvas forms ------------------------------------------------------------------

// Inactive: the list draws the image plainly. Active: HighContrastOverlay.
void DrawImageHighContrast(QPainter& canvas, const plat::TRect& rect, const plat::ImageList& images,
                           bool active, int index);
// The themes pass w = 178 with clWindow.
void DrawImageWashed(QPainter& canvas, const plat::TRect& rect, const plat::ImageList& images,
                     int w, plat::TColor color, int index);
// Reads the pixels already on the canvas. A painter on an image with no more
// than a translation gives the exact result; on any other device the
// background cannot be read, and the silhouette is laid on as black with the
// matching opacity.
void DrawImageShadow(QPainter& canvas, const plat::TRect& rect, const plat::ImageList& images,
                     bool light, int index);
void DrawImageMonochrome(QPainter& canvas, const plat::TRect& rect, const plat::ImageList& images,
                         plat::TColor color, int index);

} // namespace dk
