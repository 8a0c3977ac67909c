#include "app/common/ProgramIcon.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>

namespace {

// The bubble: a rounded body over most of the square, its tail at the lower
// left. Coordinates are fractions of the size.
QPainterPath BubblePath(qreal s) {
    const qreal inset = std::max<qreal>(0.5, s * 0.04);
    const QRectF body(inset, inset, s - 2 * inset, s * 0.78 - inset);
    const qreal radius = body.height() * 0.32;
    QPainterPath path;
    path.addRoundedRect(body, radius, radius);
    QPainterPath tail;
    tail.moveTo(s * 0.20, body.bottom() - radius * 0.5);
    tail.lineTo(s * 0.12, s - inset);
    tail.lineTo(s * 0.46, body.bottom() - 0.5);
    tail.closeSubpath();
    return path.united(tail);
}

// The "Q" inside the bubble: a ring with its stroke through the lower right.
void DrawLetter(QPainter& painter, qreal s) {
    const qreal pen = std::max<qreal>(1.5, s * 0.095);
    const QPointF centre(s * 0.5, s * 0.39);
    const qreal r = s * 0.215;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xFF, 0xFF, 0xFF), pen, Qt::SolidLine, Qt::RoundCap));
    painter.drawEllipse(centre, r, r);
    painter.drawLine(QPointF(centre.x() + r * 0.35, centre.y() + r * 0.35),
                     QPointF(centre.x() + r * 1.15, centre.y() + r * 1.15));
}

} // namespace

QImage ProgramImage(int size) {
    size = std::clamp(size, 1, 1024);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const auto s = static_cast<qreal>(size);
    const QPainterPath bubble = BubblePath(s);

    QLinearGradient fill(0, 0, 0, s);
    fill.setColorAt(0.0, QColor(0x2E, 0x8B, 0xC9));
    fill.setColorAt(1.0, QColor(0x13, 0x3E, 0x7A));
    painter.setPen(QPen(QColor(0x0B, 0x2A, 0x55), std::max<qreal>(1.0, s / 32)));
    painter.setBrush(fill);
    painter.drawPath(bubble);

    // A soft highlight along the top from 32 pixels up, where it can be seen.
    if (size >= 32) {
        QLinearGradient shine(0, 0, 0, s * 0.4);
        shine.setColorAt(0.0, QColor(255, 255, 255, 90));
        shine.setColorAt(1.0, QColor(255, 255, 255, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shine);
        painter.drawPath(bubble.intersected([s] {
            QPainterPath top;
            top.addRect(QRectF(0, 0, s, s * 0.4));
            return top;
        }()));
    }
    DrawLetter(painter, s);
    painter.end();
    return image;
}

const QIcon& ProgramIcon() {
    static const QIcon icon = [] {
        QIcon result;
        for (const int size : kProgramIconSizes) {
            result.addPixmap(QPixmap::fromImage(ProgramImage(size)));
        }
        return result;
    }();
    return icon;
}
