#include "effects/gui/regions/VfxRegion.h"

#include "effects/gui/application/VfxApplication.h"
#include "effects/gui/regions/VfxShapeOutline.h"

#include <QBrush>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace fx {

using plat::TRect;

void TVfxRegionBorder::Assign(const TVfxRegionBorder& source) {
    if (&source == this) {
        return;
    }
    BeginUpdate();
    style_ = source.style_;
    lightColor_ = source.lightColor_;
    shadowColor_ = source.shadowColor_;
    singleColor_ = source.singleColor_;
    EndUpdate(true);
}

TVfxRegion::TVfxRegion(QObject* owner)
    : TVfxObject(owner), mask_(std::make_unique<TVfxRegionMask>(owner)),
      shadow_(std::make_unique<TVfxRgnShadow>(owner)),
      border_(std::make_unique<TVfxRegionBorder>(owner)), hadOwner_(owner != nullptr) {
    const auto route = [this](TVfxObject*) { Change(); };
    mask_->OnChange = route;
    shadow_->OnChange = route;
    border_->OnChange = route;
    points_.OnChange = [this](TVfxPointList*) { PointsChanged(); };
}

TVfxRegion::~TVfxRegion() {
    points_.OnChange = nullptr;
}

void TVfxRegion::SetShape(TVfxRegionShape value) {
    if (value == shape_) {
        return;
    }
    shape_ = value;
    RebuildPointRegion();
    Change();
}

void TVfxRegion::SetRoundX(int value) {
    if (value == roundX_) {
        return;
    }
    roundX_ = value;
    if (shape_ == rsRoundRect || shape_ == rsRoundNoseRect || shape_ == rsRoundThinkBubble) {
        Change();
    }
}

void TVfxRegion::SetRoundY(int value) {
    if (value == roundY_) {
        return;
    }
    roundY_ = value;
    if (shape_ == rsRoundRect || shape_ == rsRoundNoseRect || shape_ == rsRoundThinkBubble) {
        Change();
    }
}

void TVfxRegion::SetBubbleCount(int value) {
    SetValue(bubbleCount_, std::max(value, 1));
}

TVfxShapeParams TVfxRegion::ShapeParams(const std::vector<QPoint>& points) const {
    TVfxShapeParams p;
    p.Shape = shape_;
    p.RoundX = roundX_;
    p.RoundY = roundY_;
    p.ExtPos = extPos_;
    p.BubbleCount = bubbleCount_;
    if (mask_->HasData()) {
        p.MaskData = mask_->RegionData();
    }
    p.UserData = userData_;
    p.Points = points;
    return p;
}

void TVfxRegion::CreateRegion(const TRect& rect) {
    if (OwnerGone()) {
        return;
    }
    rgn_ = VfxShapeRegion(ShapeParams({}), rect);
}

void TVfxRegion::CreateRectRegion(const TRect& rect) {
    if (OwnerGone()) {
        return;
    }
    rgn_ = VfxRectRegion(rect);
}

void TVfxRegion::Paint(QPainter& painter, const TRect& rect) {
    TRect r = rect;
    r.Left += paintOffset_.x();
    r.Top += paintOffset_.y();
    painter.save();
    painter.setBrush(Qt::NoBrush);
    QPen pen = painter.pen();
    pen.setWidth(2);
    painter.setPen(pen);
    if (shadow_->Style() != hssNone) {
        const int depth = shadow_->Depth();
        r.Right -= depth;
        r.Bottom -= depth;
        if (!suppressShadow_) {
            const QRegion band = rgn_.translated(depth, depth).subtracted(rgn_);
            painter.save();
            if (shadow_->Style() == hssSolid) {
                VfxFillRegion(painter, band, plat::ToQColor(shadow_->Color()));
            } else {
                // the checkerboard ANDed into what lies below: its white
                // squares leave it, its coloured ones darken it
                painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
                VfxFillRegion(painter, band,
                              QBrush(VfxApplication().PatternBitmap(shadow_->Color())));
            }
            painter.restore();
        }
    }
    const std::vector<QPoint> points = points_.Points();
    VfxPaintRegionBorder(painter, ShapeParams(points), r, border_->Style(), border_->LightColor(),
                         border_->ShadowColor(), border_->SingleColor());
    painter.restore();
}

void TVfxRegion::StoreUserRegion(const QRegion& region) {
    userData_ = VfxRegionToData(region);
}

void TVfxRegion::RebuildPointRegion() {
    if (!points_.IsEmpty() && shape_ == rsPointList) {
        StoreUserRegion(VfxPolygonRegion(points_.Points()));
    }
}

void TVfxRegion::PointsChanged() {
    RebuildPointRegion();
    Change();
}

void TVfxRegion::Assign(const TVfxRegion& source) {
    if (&source == this) {
        return;
    }
    BeginUpdate();
    SetShape(source.shape_);
    roundX_ = source.roundX_;
    roundY_ = source.roundY_;
    shadow_->Assign(*source.shadow_);
    extPos_ = source.extPos_;
    border_->Assign(*source.border_);
    mask_->Assign(*source.mask_);
    EndUpdate(true);
}

void TVfxRegion::WritePointList(QIODevice& stream) const {
    points_.WriteData(stream);
}

void TVfxRegion::ReadPointList(QIODevice& stream) {
    points_.ReadData(stream);
}

} // namespace fx
