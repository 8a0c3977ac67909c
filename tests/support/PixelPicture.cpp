#include "PixelPicture.h"

namespace {

constexpr QRgb kBlank = 0xFFFF00FF;

} // namespace

const PixelLegend& ClassicLegend() {
    static const PixelLegend legend = {
        {0xFFFFFFFF, 'W'}, {0xFFD4D0C8, 'F'}, {0xFF808080, 'G'}, {0xFF404040, 'D'},
        {0xFF000000, 'K'}, {0xFF0A246A, 'H'}, {kBlank, '.'},
    };
    return legend;
}

QImage BlankImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kBlank);
    return image;
}

QStringList PixelPicture(const QImage& image, const PixelLegend& legend, QRect region) {
    if (region.isNull()) {
        region = image.rect();
    }
    QStringList rows;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        QString row;
        for (int x = region.left(); x <= region.right(); ++x) {
            const auto it = legend.find(image.pixel(x, y) | 0xFF000000);
            row += QLatin1Char(it != legend.end() ? it->second : '?');
        }
        rows << row;
    }
    return rows;
}
