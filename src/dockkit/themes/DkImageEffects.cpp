#include "dockkit/themes/DkImageEffects.h"

#include "dockkit/themes/DkThemeUtils.h"

#include "platform/gui/ImageList.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <unordered_map>

namespace dk {

namespace {

constexpr QRgb kTransparent = 0x00000000;

int Luma(QRgb p) {
    return qRed(p) * 76 + qGreen(p) * 150 + qBlue(p) * 29;
}

// The image drawn over the background (the key colour by default), as RGB32.
QImage Composed(const QImage& image, const QImage* background = nullptr) {
    QImage out;
    if (background != nullptr) {
        out = background->convertToFormat(QImage::Format_RGB32);
    } else {
        out = QImage(image.size(), QImage::Format_RGB32);
        out.fill(kEffectKey);
    }
    QPainter painter(&out);
    painter.drawImage(0, 0, image);
    return out;
}

// An overlay of the image's size: f(pixel) where the composed image is not
// the key, transparent elsewhere.
template <typename F>
QImage MapImagePixels(const QImage& image, F f) {
    const QImage composed = Composed(image);
    QImage out(image.size(), QImage::Format_ARGB32);
    for (int y = 0; y < composed.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(composed.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < composed.width(); ++x) {
            dst[x] = in[x] == kEffectKey ? kTransparent : (0xFF000000u | f(in[x] & 0xFFFFFFu));
        }
    }
    return out;
}

// Every channel moves alike, so the pixel word needs no reordering.
QRgb ShiftPixel(QRgb p, int delta) {
    return static_cast<QRgb>(ShiftColor(static_cast<plat::TColor>(p & 0xFFFFFFu), delta));
}

// The worked area and the image cut to it; false when nothing is to be drawn.
bool WorkedImage(const plat::TRect& rect, const plat::ImageList& images, int index, QImage& image) {
    const int w = std::min(rect.Width(), images.Width());
    const int h = std::min(rect.Height(), images.Height());
    if (w <= 0 || h <= 0 || index < 0 || index >= images.Count()) {
        return false;
    }
    image = images.Image(index);
    if (image.isNull()) {
        return false;
    }
    if (image.width() != w || image.height() != h) {
        image = image.copy(0, 0, w, h);
    }
    return true;
}

// The canvas pixels under `area` when the painter draws on an image through
// no more than a translation.
bool ReadCanvas(QPainter& canvas, const QRect& area, QImage& out) {
    QPaintDevice* device = canvas.device();
    if (device == nullptr || device->devType() != QInternal::Image) {
        return false;
    }
    const QTransform transform = canvas.deviceTransform();
    if (transform.type() > QTransform::TxTranslate) {
        return false;
    }
    const auto* image = static_cast<const QImage*>(device);
    const QPoint offset(qRound(transform.dx()), qRound(transform.dy()));
    out = image->copy(area.translated(offset)).convertToFormat(QImage::Format_RGB32);
    return true;
}

// The overlays that depend on the image alone are kept for the next paint:
// tool bars draw the same images over and over. Keyed by the image's cache
// key, which changes whenever the image does.
struct OverlayKey {
    qint64 image;
    int kind;
    int param;
    plat::TColor color;
    bool operator==(const OverlayKey&) const = default;
};
struct OverlayKeyHash {
    size_t operator()(const OverlayKey& k) const {
        return std::hash<qint64>()(k.image) ^ (static_cast<size_t>(k.kind) << 1) ^
               (static_cast<size_t>(k.param) << 8) ^ (static_cast<size_t>(k.color) << 16);
    }
};
constexpr size_t kOverlayCacheSize = 512;

template <typename Make>
const QImage& CachedOverlay(const QImage& image, int kind, int param, plat::TColor color,
                            Make make) {
    static std::unordered_map<OverlayKey, QImage, OverlayKeyHash> cache;
    const OverlayKey key{image.cacheKey(), kind, param, color};
    const auto it = cache.find(key);
    if (it != cache.end()) {
        return it->second;
    }
    if (cache.size() >= kOverlayCacheSize) {
        cache.clear();
    }
    return cache.emplace(key, make()).first->second;
}

enum OverlayKind { okHighContrast, okWashed, okMonochrome };

} // namespace

// --- Pure forms --------------------------------------------------------------------

QImage HighContrastOverlay(const QImage& image) {
    return MapImagePixels(image, [](QRgb p) {
        const int y = Luma(p);
        const QRgb mapped = y >= 64769 ? 0x000000u : y < 25600 ? 0xFFFFFFu : p;
        return ShiftPixel(mapped, 32);
    });
}

QImage WashedOverlay(const QImage& image, int w, plat::TColor color) {
    const plat::TColor with = plat::ColorToRGB(color);
    return MapImagePixels(image, [&](QRgb p) {
        return static_cast<QRgb>(
            SwapRedBlue(BlendColors(SwapRedBlue(static_cast<plat::TColor>(p)), with, w)));
    });
}

QImage ShadowOverlay(const QImage& background, const QImage& image, bool light) {
    const QImage a = background.convertToFormat(QImage::Format_RGB32);
    const QImage b = Composed(image, &a);
    QImage out(a.size(), QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if ((pa[x] & 0xFFFFFFu) == (pb[x] & 0xFFFFFFu)) {
                dst[x] = kTransparent;
                continue;
            }
            const int l = Luma(pb[x]) >> 8;
            const int f = light ? (l >> 3) + 223 : l / 3 + 170;
            dst[x] =
                qRgb((qRed(pa[x]) * f) >> 8, (qGreen(pa[x]) * f) >> 8, (qBlue(pa[x]) * f) >> 8);
        }
    }
    return out;
}

QImage MonochromeOverlay(const QImage& image, plat::TColor color) {
    QImage onWhite(image.size(), QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    {
        QPainter painter(&onWhite);
        painter.drawImage(0, 0, image);
    }
    const QRgb ink = plat::ToQColor(color).rgb();
    QImage out(image.size(), QImage::Format_ARGB32);
    for (int y = 0; y < onWhite.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(onWhite.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < onWhite.width(); ++x) {
            dst[x] = Luma(in[x]) < 46081 ? ink : kTransparent;
        }
    }
    return out;
}

// --- Canvas forms ------------------------------------------------------------------

void DrawImageHighContrast(QPainter& canvas, const plat::TRect& rect, const plat::ImageList& images,
                           bool active, int index) {
    if (!active) {
        images.Draw(canvas, rect.Left, rect.Top, index, plat::clNone);
        return;
    }
    QImage image;
    if (WorkedImage(rect, images, index, image)) {
        canvas.drawImage(
            QPoint(rect.Left, rect.Top),
            CachedOverlay(image, okHighContrast, 0, 0, [&] { return HighContrastOverlay(image); }));
    }
}

void DrawImageWashed(QPainter& canvas, const plat::TRect& rect, const plat::ImageList& images,
                     int w, plat::TColor color, int index) {
    QImage image;
    if (WorkedImage(rect, images, index, image)) {
        const plat::TColor with = plat::ColorToRGB(color);
        canvas.drawImage(QPoint(rect.Left, rect.Top), CachedOverlay(image, okWashed, w, with, [&] {
                             return WashedOverlay(image, w, with);
                         }));
    }
}

void DrawImageShadow(QPainter& canvas, const plat::TRect& rect, const plat::ImageList& images,
                     bool light, int index) {
    QImage image;
    if (!WorkedImage(rect, images, index, image)) {
        return;
    }
    const QPoint at(rect.Left, rect.Top);
    QImage background;
    if (ReadCanvas(canvas, QRect(at, image.size()), background)) {
        canvas.drawImage(at, ShadowOverlay(background, image, light));
        return;
    }
    // No readable background: darken with black at the opacity 1 - F / 256.
    const QImage composed = Composed(image);
    QImage shade(image.size(), QImage::Format_ARGB32);
    for (int y = 0; y < composed.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(composed.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(shade.scanLine(y));
        for (int x = 0; x < composed.width(); ++x) {
            if (in[x] == kEffectKey) {
                dst[x] = kTransparent;
                continue;
            }
            const int l = Luma(in[x]) >> 8;
            const int f = light ? (l >> 3) + 223 : l / 3 + 170;
            dst[x] = qRgba(0, 0, 0, 256 - f);
        }
    }
    canvas.drawImage(at, shade);
}

void DrawImageMonochrome(QPainter& canvas, const plat::TRect& rect, const plat::ImageList& images,
                         plat::TColor color, int index) {
    QImage image;
    if (WorkedImage(rect, images, index, image)) {
        const plat::TColor ink = plat::ColorToRGB(color);
        canvas.drawImage(QPoint(rect.Left, rect.Top),
                         CachedOverlay(image, okMonochrome, 0, ink,
                                       [&] { return MonochromeOverlay(image, ink); }));
    }
}

} // namespace dk
