#include "effects/gui/bitmaps/VfxBitmapEffectObject.h"

#include "effects/gui/bitmaps/VfxBmpEffects.h"

#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace fx {

using plat::TRect;

TVfxAlphaObject::TVfxAlphaObject(QObject* owner)
    : TVfxObject(owner), imageList_([this] { Repick(); }),
      fill_(std::make_unique<TVfxFillObject>(owner)) {
    fill_->OnChange = [this](TVfxObject*) { Change(); };
}

TVfxAlphaObject::~TVfxAlphaObject() {
    fill_->OnChange = nullptr;
}

void TVfxAlphaObject::SetImageIndex(int value) {
    if (imageIndex_ != value) {
        imageIndex_ = value;
        Repick();
    }
}

void TVfxAlphaObject::Repick() {
    if (assigning_) {
        return;
    }
    TVfxCustomImageList* list = ImageList();
    QImage& picked = fill_->ListBitmap();
    if (list == nullptr || !list->ImagePresent(ListIndex(), imageIndex_) ||
        !list->CopyImage(ListIndex(), imageIndex_, picked)) {
        picked = QImage();
    }
    Change();
}

bool TVfxAlphaObject::Active() const {
    return fill_->Style() != sfNone && strength_ != 1.0f;
}

void TVfxAlphaObject::Assign(const TVfxAlphaObject& source) {
    if (&source == this) {
        return;
    }
    BeginUpdate();
    assigning_ = true;
    fill_->Assign(*source.fill_);
    strength_ = source.strength_;
    imageIndex_ = source.imageIndex_;
    imageList_.SetListIndex(source.ListIndex());
    tag_ = source.tag_;
    // the link follows the list, so that this object hears of its changes
    imageList_.SetImageList(source.ImageList());
    assigning_ = false;
    EndUpdate(true);
}

QString TVfxAlphaObject::Description() const {
    QString kind;
    switch (fill_->Style()) {
    case sfNone:
        return QStringLiteral("{Disabled}");
    case sfBrush:
        kind = QStringLiteral("brush");
        break;
    case sfBitmap:
    case sfBitmapList:
        kind = QStringLiteral("bmp");
        break;
    case sfGradient:
        kind = QStringLiteral("grad");
        break;
    case sfBrushBitmap:
        break;
    }
    // fixed notation, five significant digits at most, three decimals
    const double value = strength_;
    const double magnitude = std::abs(value);
    const int integerDigits = magnitude < 1 ? 1 : static_cast<int>(std::log10(magnitude)) + 1;
    const int decimals = std::clamp(5 - integerDigits, 0, 3);
    return QStringLiteral("{Enabled (%1), strength: %2}")
        .arg(kind, QString::number(value, 'f', decimals));
}

void TVfxAlphaObject::ReadInternalName(const QString& name) {
    SetImageList(ListFromName(name));
}

TVfxBitmapEffectObject::TVfxBitmapEffectObject(QObject* owner)
    : TVfxObject(owner), alpha_(std::make_unique<TVfxAlphaObject>(owner)) {
    alpha_->OnChange = [this](TVfxObject*) { Change(); };
}

TVfxBitmapEffectObject::~TVfxBitmapEffectObject() {
    alpha_->OnChange = nullptr;
}

void TVfxBitmapEffectObject::SetBrightness(int value) {
    SetValue(brightness_, std::clamp(value, -kMaxBrightness, kMaxBrightness));
}

void TVfxBitmapEffectObject::SetBuffered(bool value) {
    if (buffered_ == value) {
        return;
    }
    buffered_ = value;
    if (!buffered_) {
        buffer_ = QImage();
    }
    Change();
}

bool TVfxBitmapEffectObject::Active() const {
    return flipVertical_ || flipHorizontal_ || grayScale_ || invert_ || alpha_->Active() ||
           brightness_ != 0;
}

void TVfxBitmapEffectObject::Change() {
    bufferValid_ = false;
    TVfxObject::Change();
}

void TVfxBitmapEffectObject::Draw(const QImage& source, const TVfxRect& sourceRect,
                                  const TVfxRect& effectRect, QImage& target) {
    VfxCheckPixelFormat(target, QStringLiteral("Target"));
    if (buffered_ && bufferValid_) {
        QPainter painter(&target);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(0, 0), buffer_);
        return;
    }
    const int w = VfxRectWidth(sourceRect);
    const int h = VfxRectHeight(sourceRect);
    if (w > 0 && h > 0) {
        QPainter painter(&target);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(0, 0), source, QRect(sourceRect.Left, sourceRect.Top, w, h));
    }
    const TVfxPoint at{effectRect.Left, effectRect.Top};
    if (flipVertical_) {
        VfxBmpFlipColumns(target, effectRect, target, at);
    }
    if (flipHorizontal_) {
        VfxBmpFlipRows(target, effectRect, target, at);
    }
    if (grayScale_) {
        VfxBmpGrayScale(target, effectRect, target, at);
    }
    if (invert_) {
        VfxBmpInvert(target, effectRect, target, at);
    }
    if (brightness_ != 0) {
        VfxBmpBrightness(target, effectRect, target, brightness_, at);
    }
    const TVfxFillObject& fill = alpha_->FillObject();
    if (fill.Style() != sfNone && w > 0 && h > 0) {
        QImage behind(w + 2, h + 2, QImage::Format_BGR888);
        behind.fill(Qt::white);
        {
            QPainter painter(&behind);
            fill.Fill(painter, TRect(0, 0, behind.width(), behind.height()), plat::clWhite);
        }
        VfxBmpAlphaBlend(target, behind, TVfxRect{0, 0, w, h}, TVfxPoint{0, 0}, alpha_->Strength(),
                         target, TVfxPoint{0, 0});
    }
    if (buffered_ && !bufferValid_) {
        buffer_ = target.copy();
        bufferValid_ = true;
    }
}

void TVfxBitmapEffectObject::Assign(const TVfxBitmapEffectObject& source) {
    if (&source == this) {
        return;
    }
    BeginUpdate();
    flipVertical_ = source.flipVertical_;
    flipHorizontal_ = source.flipHorizontal_;
    grayScale_ = source.grayScale_;
    invert_ = source.invert_;
    brightness_ = source.brightness_;
    SetBuffered(source.buffered_);
    alpha_->Assign(*source.alpha_);
    EndUpdate(true);
}

QString TVfxBitmapEffectObject::Description() const {
    QStringList on;
    if (alpha_->FillObject().Style() != sfNone) {
        on << QStringLiteral("alpha");
    }
    if (flipVertical_) {
        on << QStringLiteral("FV");
    }
    if (flipHorizontal_) {
        on << QStringLiteral("FH");
    }
    if (grayScale_) {
        on << QStringLiteral("GS");
    }
    if (invert_) {
        on << QStringLiteral("INV");
    }
    if (brightness_ != 0) {
        on << QStringLiteral("B");
    }
    if (on.isEmpty()) {
        return QStringLiteral("{Disabled}");
    }
    return QLatin1Char('{') + on.join(QLatin1Char(',')) + QLatin1Char('}');
}

} // namespace fx
