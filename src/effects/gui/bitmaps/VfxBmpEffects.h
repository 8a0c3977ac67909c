#pragma once
// Effects on 24-bit images (QImage::Format_BGR888: byte 0 blue, byte 1
// green, byte 2 red) through their scan lines: gray scale, mirrors, alpha
// blend, inversion and brightness.
//
// Each takes a source rectangle (rows Top .. Bottom - 1, columns Left ..
// Right - 1) and a target point that receives the rectangle's first pixel.
// Source and target may be the same image, the rectangle processed in place.
// Every image is checked for its pixel format first; the rectangle is cut to
// the source and whatever would land outside the target is left out.

#include "effects/core/VfxUtils.h"
#include "platform/core/Exception.h"

#include <QImage>
#include <QString>

#include <cstdint>

namespace fx {

using plat::Exception;

// "Wrong PixelFormat in <name> bitmap!"
PLAT_DECLARE_EXCEPTION(EVfxWrongPixelFormat, Exception);

// Raises EVfxWrongPixelFormat unless the image has 24 bits per pixel.
bool VfxCheckPixelFormat(const QImage& bitmap, const QString& name);

// g = W30[blue] + W11[green] + W59[red] (each weight rounded half to even),
// written to all three bytes.
void VfxBmpGrayScale(const QImage& source, const TVfxRect& rect, QImage& target, TVfxPoint point);
// Target row point.Y + k = source row Bottom - 1 - k.
void VfxBmpFlipRows(const QImage& source, const TVfxRect& rect, QImage& target, TVfxPoint point);
// Target pixel point.X + k = source pixel Right - 1 - k, row by row.
void VfxBmpFlipColumns(const QImage& source, const TVfxRect& rect, QImage& target, TVfxPoint point);
// t = s2 + Round((s1 - s2) x alpha), kept to 8 bits; alpha 0 gives source
// 2, alpha 1 source 1. rect lies on source 1, source2Point on source 2. The
// three images are checked as "Source 1", "Source 2" and "Target".
void VfxBmpAlphaBlend(const QImage& source1, const QImage& source2, const TVfxRect& rect,
                      TVfxPoint targetPoint, float alpha, QImage& target, TVfxPoint source2Point);
// t = 255 - s.
void VfxBmpInvert(const QImage& source, const TVfxRect& rect, QImage& target, TVfxPoint point);
// t = s + value, value in -255 .. 255, the result held in 0 .. 255.
void VfxBmpBrightness(const QImage& source, const TVfxRect& rect, QImage& target, int value,
                      TVfxPoint point);

} // namespace fx
