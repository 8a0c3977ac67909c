#include "dockkit/common/DkDraw.h"

#include "platform/gui/AccelText.h"
#include "platform/gui/ImageList.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

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
    const QFontMetrics fm(painter.font(), painter.device());
    const int width = fm.horizontalAdvance(parsed.Text);
    int x = rect.Left;
    if ((format & plat::DT_CENTER) != 0) {
        x = rect.Left + (rect.Width() - width) / 2;
    } else if ((format & plat::DT_RIGHT) != 0) {
        x = rect.Right - width;
    }
    const int top =
        (format & plat::DT_VCENTER) != 0 ? rect.Top + (rect.Height() - fm.height()) / 2 : rect.Top;
    const int baseline = top + fm.ascent();
    painter.save();
    painter.setClipRect(rect.ToQRect(), Qt::IntersectClip);
    painter.drawText(QPoint(x, baseline), parsed.Text);
    if (parsed.AccelIndex >= 0 && (format & plat::DT_HIDEPREFIX) == 0) {
        const int ax = x + fm.horizontalAdvance(parsed.Text.left(parsed.AccelIndex));
        const int aw = fm.horizontalAdvance(parsed.Text[parsed.AccelIndex]);
        painter.fillRect(QRect(ax, baseline + fm.underlinePos(), aw, std::max(1, fm.lineWidth())),
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
