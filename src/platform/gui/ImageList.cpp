#include "platform/gui/ImageList.h"

#include "platform/core/Exception.h"
#include "platform/gui/Drawing.h"

#include <QPainter>

namespace plat {

ImageList::ImageList(int width, int height, QObject* parent)
    : QObject(parent), width_(qMax(1, width)), height_(qMax(1, height)) {}

int ImageList::Add(const QImage& image) {
    const int first = Count();
    if (image.isNull()) {
        return -1;
    }
    QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (source.height() == height_ && source.width() >= width_ && source.width() % width_ == 0) {
        for (int x = 0; x < source.width(); x += width_) {
            images_.push_back(source.copy(x, 0, width_, height_));
        }
    } else {
        images_.push_back(source.scaled(width_, height_));
    }
    Q_EMIT Changed();
    return first;
}

int ImageList::AddMasked(const QImage& image, TColor maskColor) {
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = ToQColor(maskColor).rgb() & 0xFFFFFF;
    for (int y = 0; y < masked.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x) {
            if ((row[x] & 0xFFFFFF) == mask) {
                row[x] = 0;
            }
        }
    }
    return Add(masked);
}

void ImageList::Delete(int index) {
    if (index < 0 || index >= Count()) {
        ThrowListIndexError(index);
    }
    images_.erase(images_.begin() + index);
    Q_EMIT Changed();
}

void ImageList::Clear() {
    images_.clear();
    Q_EMIT Changed();
}

QImage ImageList::Image(int index) const {
    if (index < 0 || index >= Count()) {
        return QImage();
    }
    return images_[static_cast<size_t>(index)];
}

void ImageList::Draw(QPainter& painter, int x, int y, int index, TColor background) const {
    FillRectColor(painter, QRect(x, y, width_, height_), background);
    if (index >= 0 && index < Count()) {
        painter.drawImage(x, y, images_[static_cast<size_t>(index)]);
    }
}

} // namespace plat
