#include "dockkit/common/DkDraw.h"

#include "platform/gui/AccelText.h"
#include "platform/gui/ImageList.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QStaticText>

#include <algorithm>

namespace dk {

namespace {

// The shape of an image for its disabled look: opaque pixels darker than
// light grey.
QImage ShapeOf(const QImage& image, QColor color) {
    QImage shape(image.size(), QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(shape.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            if (qAlpha(in[x]) >= 128 && qGray(in[x]) < 192) {
                out[x] = color.rgba();
            }
        }
    }
    return shape;
}

// A caption shaped once for its font and device: menus repaint the same
// captions over and over, and shaping is most of a caption's cost.
struct ShapedCaption {
    QStaticText Text;
    int Width = 0;
    int Height = 0;
    int Ascent = 0;
    qreal ExactAscent = 0;
    int UnderlinePos = 0;
    int LineWidth = 1;
    int AccelX = 0;
    int AccelWidth = 0;
};

struct CaptionKey {
    QFont Font;
    int Dpi;
    QString Text;
    qsizetype AccelIndex;
    bool operator==(const CaptionKey&) const = default;
};

size_t qHash(const CaptionKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.Font, key.Dpi, key.Text, key.AccelIndex);
}

const ShapedCaption& ShapedCaptionOf(const QPainter& painter, const plat::AccelText& parsed) {
    // Painting happens on the GUI thread; the cache starts again when full.
    static QHash<CaptionKey, ShapedCaption> cache;
    constexpr qsizetype kMaxCaptions = 512;
    QPaintDevice* device = painter.device();
    CaptionKey key{painter.font(), device != nullptr ? device->logicalDpiY() : 0, parsed.Text,
                   parsed.AccelIndex};
    if (const auto found = cache.constFind(key); found != cache.constEnd()) {
        return *found;
    }
    if (cache.size() >= kMaxCaptions) {
        cache.clear();
    }
    const QFontMetrics fm(key.Font, device);
    ShapedCaption shaped;
    shaped.Text.setText(parsed.Text);
    shaped.Text.setTextFormat(Qt::PlainText);
    shaped.Text.prepare(QTransform(), key.Font);
    shaped.Width = fm.horizontalAdvance(parsed.Text);
    shaped.Height = fm.height();
    shaped.Ascent = fm.ascent();
    shaped.ExactAscent = QFontMetricsF(key.Font, device).ascent();
    shaped.UnderlinePos = fm.underlinePos();
    shaped.LineWidth = std::max(1, fm.lineWidth());
    if (parsed.AccelIndex >= 0) {
        shaped.AccelX = fm.horizontalAdvance(parsed.Text.left(parsed.AccelIndex));
        shaped.AccelWidth = fm.horizontalAdvance(parsed.Text[parsed.AccelIndex]);
    }
    return *cache.insert(key, shaped);
}

} // namespace

void DrawDisabledImage(QPainter& painter, const plat::ImageList& images, int index, int x, int y) {
    const QImage image = images.Image(index);
    if (image.isNull()) {
        return;
    }
    painter.drawImage(QPoint(x + 1, y + 1), ShapeOf(image, plat::ToQColor(plat::clBtnHighlight)));
    painter.drawImage(QPoint(x, y), ShapeOf(image, plat::ToQColor(plat::clBtnShadow)));
}

void DrawDownTriangle(QPainter& painter, QPoint topLeft, int width, plat::TColor color) {
    const QColor c = plat::ToQColor(color);
    for (int row = 0; 2 * row < width; ++row) {
        painter.fillRect(topLeft.x() + row, topLeft.y() + row, width - 2 * row, 1, c);
    }
}

void DrawRightTriangle(QPainter& painter, QPoint topLeft, int height, plat::TColor color) {
    const QColor c = plat::ToQColor(color);
    for (int col = 0; 2 * col < height; ++col) {
        painter.fillRect(topLeft.x() + col, topLeft.y() + col, 1, height - 2 * col, c);
    }
}

void DrawCaption(QPainter& painter, QStringView text, const plat::TRect& rect, unsigned format) {
    constexpr unsigned handled = plat::DT_CENTER | plat::DT_RIGHT | plat::DT_VCENTER |
                                 plat::DT_SINGLELINE | plat::DT_NOPREFIX | plat::DT_HIDEPREFIX;
    if ((format & plat::DT_SINGLELINE) == 0 || (format & ~handled) != 0 || text.contains(u'\n') ||
        text.contains(u'\r')) {
        plat::DrawText(painter, text, rect.ToQRect(), format);
        return;
    }
    // The text is drawn whole, as it is measured (plat::TextWidth): a
    // mnemonic left to Qt would be shaped apart from its neighbours, lose
    // their kerning and end wider than the measured box ("To" in "&Toolbars").
    const bool prefix = (format & plat::DT_NOPREFIX) == 0;
    const plat::AccelText parsed =
        prefix ? plat::ParseAccelerators(text) : plat::AccelText{text.toString(), -1};
    const ShapedCaption& shaped = ShapedCaptionOf(painter, parsed);
    int x = rect.Left;
    if ((format & plat::DT_CENTER) != 0) {
        x = rect.Left + (rect.Width() - shaped.Width) / 2;
    } else if ((format & plat::DT_RIGHT) != 0) {
        x = rect.Right - shaped.Width;
    }
    const int top = (format & plat::DT_VCENTER) != 0
                        ? rect.Top + (rect.Height() - shaped.Height) / 2
                        : rect.Top;
    painter.save();
    painter.setClipRect(rect.ToQRect(), Qt::IntersectClip);
    painter.drawStaticText(QPointF(x, top + shaped.Ascent - shaped.ExactAscent), shaped.Text);
    if (parsed.AccelIndex >= 0 && (format & plat::DT_HIDEPREFIX) == 0) {
        painter.fillRect(QRect(x + shaped.AccelX, top + shaped.Ascent + shaped.UnderlinePos,
                               shaped.AccelWidth, shaped.LineWidth),
                         painter.pen().color());
    }
    painter.restore();
}

QBrush DitherBrush() {
    QImage pattern(2, 2, QImage::Format_RGB32);
    const QRgb face = plat::ToQColor(plat::clBtnFace).rgb();
    const QRgb light = plat::ToQColor(plat::clBtnHighlight).rgb();
    pattern.setPixel(0, 0, light);
    pattern.setPixel(1, 1, light);
    pattern.setPixel(1, 0, face);
    pattern.setPixel(0, 1, face);
    return QBrush(pattern);
}

void DrawGlyph(QPainter& painter, const unsigned char* rows, int rowCount, QPoint topLeft,
               plat::TColor color) {
    const QColor qcolor = plat::ToQColor(color);
    for (int y = 0; y < rowCount; ++y) {
        for (int x = 0; x < 8; ++x) {
            if ((rows[y] & (0x80 >> x)) != 0) {
                painter.fillRect(QRect(topLeft.x() + x, topLeft.y() + y, 1, 1), qcolor);
            }
        }
    }
}

} // namespace dk
