#include "effects/gui/drawing/VfxFillObject.h"

#include <QPainter>

namespace fx {

using plat::TColor;
using plat::TRect;

TVfxShapeFill::TVfxShapeFill(QObject* owner, TVfxFillStyle style)
    : TVfxObject(owner), gradient_(std::make_unique<TVfxGradient>(owner)), style_(style) {
    gradient_->OnChange = [this](TVfxObject*) { Change(); };
}

TVfxShapeFill::~TVfxShapeFill() {
    gradient_->OnChange = nullptr;
}

void TVfxShapeFill::SetBitmap(const QImage& value) {
    bitmap_ = value;
    Change();
}

void TVfxShapeFill::CopyFrom(const TVfxShapeFill& source) {
    bitmap_ = source.bitmap_;
    listBitmap_ = source.listBitmap_;
    gradient_->Assign(*source.gradient_);
    style_ = source.style_;
    tileMode_ = source.tileMode_;
}

void TVfxShapeFill::Assign(const TVfxShapeFill& source) {
    if (&source == this) {
        return;
    }
    BeginUpdate();
    CopyFrom(source);
    EndUpdate(true);
}

QString TVfxShapeFill::Description() const {
    switch (style_) {
    case sfNone:
        return QStringLiteral("{Disabled}");
    case sfBrushBitmap:
        return QStringLiteral("{}");
    case sfBrush:
        return QStringLiteral("{Brush}");
    case sfBitmap:
        return QStringLiteral("{Bitmap}");
    case sfBitmapList:
        return QStringLiteral("{BitmapList}");
    case sfGradient:
        return QStringLiteral("{Gradient}");
    }
    return {};
}

bool TVfxFillObject::PlacementMatters() const {
    return (Style() == sfBitmap || Style() == sfBitmapList) && TileMode() == tmNone;
}

void TVfxFillObject::SetAlignment(TVfxAlignment value) {
    if (alignment_ != value) {
        alignment_ = value;
        if (PlacementMatters()) {
            Change();
        }
    }
}

void TVfxFillObject::SetOffsetX(int value) {
    if (offsetX_ != value) {
        offsetX_ = value;
        if (PlacementMatters()) {
            Change();
        }
    }
}

void TVfxFillObject::SetOffsetY(int value) {
    if (offsetY_ != value) {
        offsetY_ = value;
        if (PlacementMatters()) {
            Change();
        }
    }
}

void TVfxFillObject::Assign(const TVfxFillObject& source) {
    if (&source == this) {
        return;
    }
    BeginUpdate();
    CopyFrom(source);
    alignment_ = source.alignment_;
    offsetX_ = source.offsetX_;
    offsetY_ = source.offsetY_;
    brush_ = source.brush_;
    options_ = source.options_;
    EndUpdate(true);
}

void TVfxFillObject::FillBackground(QPainter& painter, const TRect& rect, TColor background) const {
    if ((options_ & foFillInner) != 0 && !rect.IsEmpty()) {
        painter.fillRect(rect.ToQRect(), plat::ToQColor(background));
    }
}

bool TVfxFillObject::Fill(QPainter& painter, const TRect& rect, TColor background) const {
    switch (Style()) {
    case sfNone:
        return false;
    case sfBrushBitmap:
        if (!Bitmap().isNull() && !rect.IsEmpty()) {
            painter.fillRect(rect.ToQRect(), QBrush(Bitmap()));
        }
        return true;
    case sfBrush:
        if (!rect.IsEmpty()) {
            painter.save();
            if (brush_.style() != Qt::SolidPattern) {
                painter.setBackground(plat::ToQColor(background));
                painter.setBackgroundMode(Qt::OpaqueMode);
            }
            painter.fillRect(rect.ToQRect(), brush_);
            painter.restore();
        }
        return true;
    case sfBitmap:
    case sfBitmapList: {
        const QImage& source = Style() == sfBitmap ? Bitmap() : ListBitmap();
        if (source.isNull()) {
            FillBackground(painter, rect, background);
            return false;
        }
        const uint16_t quick = (options_ & foQuickDraw) != 0 ? 0 : VFX_DF_PALETTE;
        painter.save();
        painter.setClipRect(rect.ToQRect(), Qt::IntersectClip);
        TRect reported;
        switch (TileMode()) {
        case tmNone: {
            FillBackground(painter, rect, background);
            TRect at = VfxAlignRect(alignment_, TRect(0, 0, source.width(), source.height()), rect);
            at.Offset(offsetX_, offsetY_);
            VfxDrawBitmap(painter, at, source, reported, plat::clNone, quick);
            break;
        }
        case tmCenter:
            FillBackground(painter, rect, background);
            VfxDrawBitmap(painter, rect, source, reported, plat::clNone, quick | VFX_DF_CENTER);
            break;
        case tmStretch:
            VfxDrawBitmap(painter, rect, source, reported, plat::clNone, quick | VFX_DF_STRETCH);
            break;
        case tmTile:
            VfxDrawBitmap(painter, rect, source, reported, plat::clNone, quick | VFX_DF_TILE);
            break;
        }
        painter.restore();
        return true;
    }
    case sfGradient:
        // foGrUseBitmap asks for flicker-free painting through an off-screen
        // bitmap; painting here always reaches a buffer first.
        Gradient().Paint(painter, rect);
        return true;
    }
    return false;
}

} // namespace fx
