#pragma once
// What the region tests share: regions and outlines put into images with a
// margin, so that what reaches left of or above the shape's rectangle shows.

#include "effects/gui/regions/VfxRegionShapes.h"

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRegion>

#include <ostream>

inline void PrintTo(const QPoint& p, std::ostream* os) {
    *os << '(' << p.x() << ", " << p.y() << ')';
}

constexpr int kImageMargin = 20;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

// A white image size x size whose point (0, 0) lies kImageMargin pixels in.
inline QImage MarginImage(int size = 170) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(kWhite);
    return image;
}

// The region filled black into a MarginImage.
inline QImage Rasterize(const QRegion& region) {
    QImage image = MarginImage();
    QPainter painter(&image);
    painter.translate(kImageMargin, kImageMargin);
    fx::VfxFillRegion(painter, region, QColor(Qt::black));
    return image;
}

// The pixel of shape coordinates p in a MarginImage.
inline QRgb PixelAt(const QImage& image, QPoint p) {
    return image.pixel(p + QPoint(kImageMargin, kImageMargin)) | 0xFF000000;
}
