#include "app/format/EmoticonImages.h"

#include "app/format/Emoticons.h"
#include "platform/gui/ImageList.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Faces are drawn on a 16 x 16 grid and scaled to the image size.
const QColor kFace(255, 214, 64);
const QColor kAngryFace(240, 96, 64);
const QColor kOutline(120, 80, 0);
const QColor kFeature(60, 40, 10);

void eyes(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kFeature);
    p.drawEllipse(QRectF(4.6, 4.8, 2.0, 2.6));
    p.drawEllipse(QRectF(9.4, 4.8, 2.0, 2.6));
}

void mouthArc(QPainter& p, QRectF box, int startDeg, int spanDeg) {
    p.setPen(QPen(kFeature, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(box, startDeg * 16, spanDeg * 16);
}

void smile(QPainter& p) {
    mouthArc(p, QRectF(4.0, 5.0, 8.0, 6.5), 200, 140);
}

void frown(QPainter& p) {
    mouthArc(p, QRectF(4.5, 10.5, 7.0, 5.0), 25, 130);
}

void line(QPainter& p, QPointF a, QPointF b, const QColor& color = kFeature) {
    p.setPen(QPen(color, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
}

void drawFeatures(QPainter& p, int index) {
    switch (index) {
    case 0: // smile
        eyes(p);
        smile(p);
        break;
    case 1: { // grin: an open mouth
        eyes(p);
        QPainterPath mouth;
        mouth.moveTo(3.8, 8.8);
        mouth.lineTo(12.2, 8.8);
        mouth.arcTo(QRectF(3.8, 4.8, 8.4, 8.0), 0, -180);
        mouth.closeSubpath();
        p.setPen(QPen(kFeature, 0.8));
        p.setBrush(kFeature);
        p.drawPath(mouth);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.6, 9.2, 6.8, 1.2));
        break;
    }
    case 2: // wink
        p.setPen(Qt::NoPen);
        p.setBrush(kFeature);
        p.drawEllipse(QRectF(9.4, 4.8, 2.0, 2.6));
        line(p, QPointF(4.4, 6.4), QPointF(6.8, 6.4));
        smile(p);
        break;
    case 3: // tongue
        eyes(p);
        line(p, QPointF(4.8, 10.0), QPointF(11.2, 10.0));
        p.setPen(QPen(QColor(150, 20, 40), 0.6));
        p.setBrush(QColor(230, 60, 80));
        p.drawChord(QRectF(7.0, 8.0, 4.0, 5.0), 180 * 16, 180 * 16);
        break;
    case 4: // sunglasses
        p.setPen(QPen(kFeature, 1.0));
        p.setBrush(kFeature);
        p.drawRoundedRect(QRectF(3.4, 4.8, 4.0, 2.8), 1.0, 1.0);
        p.drawRoundedRect(QRectF(8.6, 4.8, 4.0, 2.8), 1.0, 1.0);
        line(p, QPointF(7.4, 5.6), QPointF(8.6, 5.6));
        smile(p);
        break;
    case 5: // surprise
        eyes(p);
        p.setPen(QPen(kFeature, 1.0));
        p.setBrush(QColor(120, 40, 20));
        p.drawEllipse(QRectF(6.4, 9.0, 3.2, 3.8));
        break;
    case 6: // sad
        eyes(p);
        frown(p);
        break;
    case 7: { // confused: a wavy mouth
        eyes(p);
        QPainterPath mouth;
        mouth.moveTo(4.4, 11.0);
        mouth.cubicTo(6.0, 9.2, 7.0, 9.2, 8.0, 11.0);
        mouth.cubicTo(9.0, 12.8, 10.0, 12.8, 11.6, 11.0);
        p.setPen(QPen(kFeature, 1.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(mouth);
        break;
    }
    case 8: // embarrassed: blushing cheeks, a small flat mouth
        eyes(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(240, 120, 120, 200));
        p.drawEllipse(QRectF(2.6, 8.0, 2.6, 1.8));
        p.drawEllipse(QRectF(10.8, 8.0, 2.6, 1.8));
        line(p, QPointF(6.0, 11.4), QPointF(10.0, 10.8));
        break;
    case 9: // crying
        eyes(p);
        frown(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 140, 240));
        p.drawEllipse(QRectF(4.4, 7.6, 1.8, 2.8));
        break;
    case 10: // undecided
        eyes(p);
        line(p, QPointF(5.0, 11.4), QPointF(11.0, 10.2));
        break;
    case 11: // angry
        eyes(p);
        line(p, QPointF(3.8, 3.6), QPointF(7.0, 4.8));
        line(p, QPointF(12.2, 3.6), QPointF(9.0, 4.8));
        frown(p);
        break;
    default:
        break;
    }
}

} // namespace

QImage EmoticonImage(int index, int size) {
    if (index < 0 || index >= EmoticonImageCount || size < 1) {
        return QImage();
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(QPen(kOutline, 1.0));
    p.setBrush(index == 11 ? kAngryFace : kFace);
    p.drawEllipse(QRectF(0.5, 0.5, 15.0, 15.0));
    drawFeatures(p, index);
    return image;
}

int AddEmoticonImages(plat::ImageList& list) {
    const int first = list.Count();
    const int size = qMin(list.Width(), list.Height());
    for (int i = 0; i < EmoticonImageCount; ++i) {
        // The square face is centred in a cell of another shape.
        QImage cell(list.Width(), list.Height(), QImage::Format_ARGB32_Premultiplied);
        cell.fill(Qt::transparent);
        QPainter p(&cell);
        p.drawImage((list.Width() - size) / 2, (list.Height() - size) / 2, EmoticonImage(i, size));
        p.end();
        list.Add(cell);
    }
    return first;
}
