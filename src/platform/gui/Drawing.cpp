#include "platform/gui/Drawing.h"

#include <QBitmap>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace plat {

QBrush HalftoneBrush() {
    static const uchar rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    return QBrush(Qt::white, QBitmap::fromData(QSize(8, 8), rows, QImage::Format_MonoLSB));
}

void InvertHalftoneRect(QPainter& painter, const QRect& rect, QPoint origin) {
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setBrushOrigin(origin);
    painter.fillRect(rect, HalftoneBrush());
    painter.restore();
}

bool FillRectColor(QPainter& painter, const QRect& rect, TColor color) {
    if (color == clNone) {
        return false;
    }
    painter.fillRect(rect, ToQColor(color));
    return true;
}

void SetControlColor(QWidget& widget, TColor color) {
    QPalette palette = widget.palette();
    const QColor c = ToQColor(color);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, c);
    }
    widget.setPalette(palette);
}

} // namespace plat
