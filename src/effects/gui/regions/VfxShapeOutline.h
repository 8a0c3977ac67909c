#pragma once
// The outlines of the region shapes traced on a painter in one of eight
// border styles.

#include "effects/gui/regions/VfxRegionShapes.h"
#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

class QPainter;

namespace fx {

// Traces the shape's outline for r in the style, with the painter's pen
// width: single colour, 3D (top and left faces light, bottom and right
// shadow; lowered styles exchange the two), single with a 3D outline
// inside, or 3D whose bottom and right are single with a shadow line inside.
// rsBitmap and rsUserRegion have no outline. The painter is left as it was.
void VfxPaintRegionBorder(QPainter& painter, const TVfxShapeParams& params, const plat::TRect& r,
                          TVfxRegionBorderStyle style, plat::TColor lightColor,
                          plat::TColor shadowColor, plat::TColor singleColor);

} // namespace fx
