#pragma once
// Shaped areas: the settings of a shape with its shadow, mask and points,
// the region built from them, and the painting of its shadow and border.

#include "effects/core/VfxObject.h"
#include "effects/gui/regions/VfxPointList.h"
#include "effects/gui/regions/VfxRegionMask.h"
#include "effects/gui/regions/VfxRegionShapes.h"
#include "effects/gui/regions/VfxShadow.h"
#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QByteArray>
#include <QPoint>
#include <QRegion>

#include <memory>
#include <vector>

class QIODevice;
class QPainter;

namespace fx {

// The border style and colours of a region.
class TVfxRegionBorder : public TVfxObject {
public:
    using TVfxObject::TVfxObject;

    TVfxRegionBorderStyle Style() const { return style_; }
    void SetStyle(TVfxRegionBorderStyle value) { SetValue(style_, value); }
    plat::TColor LightColor() const { return lightColor_; }
    void SetLightColor(plat::TColor value) { SetValue(lightColor_, value); }
    plat::TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(plat::TColor value) { SetValue(shadowColor_, value); }
    plat::TColor SingleColor() const { return singleColor_; }
    void SetSingleColor(plat::TColor value) { SetValue(singleColor_, value); }

    void Assign(const TVfxRegionBorder& source);

private:
    TVfxRegionBorderStyle style_ = rbSingle;
    plat::TColor lightColor_ = plat::clBtnHighlight;
    plat::TColor shadowColor_ = plat::clBtnShadow;
    plat::TColor singleColor_ = plat::clBlack;
};

// A shaped area. The owner (when given) is the component the region serves:
// once it is gone the region is no longer rebuilt.
class TVfxRegion : public TVfxObject {
public:
    explicit TVfxRegion(QObject* owner = nullptr);
    ~TVfxRegion() override;

    TVfxRegionShape Shape() const { return shape_; }
    // Choosing rsPointList first rebuilds the region data of the points.
    void SetShape(TVfxRegionShape value);
    // The corner ellipse; a change is reported only while a rounded shape
    // (rsRoundRect, rsRoundNoseRect, rsRoundThinkBubble) is chosen.
    int RoundX() const { return roundX_; }
    void SetRoundX(int value);
    int RoundY() const { return roundY_; }
    void SetRoundY(int value);
    TVfxExtPos ExtPos() const { return extPos_; }
    void SetExtPos(TVfxExtPos value) { SetValue(extPos_, value); }
    TVfxRegionMask& Mask() { return *mask_; }
    const TVfxRegionMask& Mask() const { return *mask_; }
    void SetMask(const TVfxRegionMask& value) { mask_->Assign(value); }
    TVfxRgnShadow& Shadow() { return *shadow_; }
    const TVfxRgnShadow& Shadow() const { return *shadow_; }
    void SetShadow(const TVfxShadow& value) { shadow_->Assign(value); }
    TVfxPointList& Points() { return points_; }
    const TVfxPointList& Points() const { return points_; }

    // How many bubbles a think bubble's chain has besides its two ends (4).
    int BubbleCount() const { return bubbleCount_; }
    void SetBubbleCount(int value);
    // Added to the left and top of every painting rectangle.
    QPoint PaintOffset() const { return paintOffset_; }
    void SetPaintOffset(QPoint value) { paintOffset_ = value; }
    // Paint leaves the shadow band out (the rectangle still makes room for it).
    bool SuppressShadow() const { return suppressShadow_; }
    void SetSuppressShadow(bool value) { suppressShadow_ = value; }

    // The region last built; empty before the first build.
    const QRegion& Rgn() const { return rgn_; }
    // The stored user region's data (rsUserRegion, rsPointList).
    const QByteArray& UserRegionData() const { return userData_; }

    // Builds the region of Shape for rect.
    virtual void CreateRegion(const plat::TRect& rect);
    // Makes the region a plain rectangle.
    void CreateRectRegion(const plat::TRect& rect);
    // Paints the shadow band (the region moved by the shadow depth, less the
    // region) and the border of Shape for rect, whose right and bottom give
    // way to the shadow's depth, with a 2-pixel pen. The painter is left as
    // it was.
    virtual void Paint(QPainter& painter, const plat::TRect& rect);
    // Keeps the region's data as the user region.
    void StoreUserRegion(const QRegion& region);

    // Copies shape, corners, shadow, position, border and mask with one
    // change notice; points, bubble count and user region stay.
    void Assign(const TVfxRegion& source);

    // "PointList": the points' stored form, written only when there are some;
    // reading appends what it reads.
    bool StorePointList() const { return !points_.IsEmpty(); }
    void WritePointList(QIODevice& stream) const;
    void ReadPointList(QIODevice& stream);

    // The settings as the shape routines take them; the views point into
    // this object and points, which must outlive their use.
    TVfxShapeParams ShapeParams(const std::vector<QPoint>& points) const;

protected:
    TVfxRegionBorder& BorderObject() { return *border_; }
    const TVfxRegionBorder& BorderObject() const { return *border_; }
    bool OwnerGone() const { return hadOwner_ && Owner() == nullptr; }

private:
    // With points and rsPointList: stores the polygon through the points as
    // the user region.
    void RebuildPointRegion();
    void PointsChanged();

    TVfxRegionShape shape_ = rsRoundRect;
    int roundX_ = 20;
    int roundY_ = 20;
    TVfxExtPos extPos_ = epLeftTop;
    std::unique_ptr<TVfxRegionMask> mask_;
    std::unique_ptr<TVfxRgnShadow> shadow_;
    std::unique_ptr<TVfxRegionBorder> border_;
    TVfxPointList points_;
    int bubbleCount_ = 4;
    QPoint paintOffset_;
    bool suppressShadow_ = false;
    bool hadOwner_;
    QRegion rgn_;
    QByteArray userData_;
};

// A region whose border settings are its own published part.
class TVfxBorderRegion : public TVfxRegion {
public:
    using TVfxRegion::TVfxRegion;

    TVfxRegionBorder& Border() { return BorderObject(); }
    const TVfxRegionBorder& Border() const { return BorderObject(); }
    void SetBorder(const TVfxRegionBorder& value) { BorderObject().Assign(value); }
};

} // namespace fx
