#include "app/format/EmoticonImages.h"

#include "app/format/Emoticons.h"
#include "platform/gui/ImageList.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {

// Faces are drawn on a 16 x 16 grid and scaled to the image size.
const QColor kFace(255, 214, 64);
const QColor kAngryFace(240, 96, 64);
const QColor kOutline(120, 80, 0);
const QColor kFeature(60, 40, 10);

void DrawEyes(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kFeature);
    p.drawEllipse(QRectF(4.6, 4.8, 2.0, 2.6));
    p.drawEllipse(QRectF(9.4, 4.8, 2.0, 2.6));
}

void DrawMouthArc(QPainter& p, QRectF box, int startDeg, int spanDeg) {
    p.setPen(QPen(kFeature, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(box, startDeg * 16, spanDeg * 16);
}

void DrawSmileMouth(QPainter& p) {
    DrawMouthArc(p, QRectF(4.0, 5.0, 8.0, 6.5), 200, 140);
}

void DrawFrown(QPainter& p) {
    DrawMouthArc(p, QRectF(4.5, 10.5, 7.0, 5.0), 25, 130);
}

void DrawLine(QPainter& p, QPointF a, QPointF b, const QColor& color = kFeature) {
    p.setPen(QPen(color, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
}

// 0, smile
void DrawSmile(QPainter& p) {
    DrawEyes(p);
    DrawSmileMouth(p);
}

// 1, grin: an open mouth
void DrawGrin(QPainter& p) {
    DrawEyes(p);
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
}

// 2, wink
void DrawWink(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kFeature);
    p.drawEllipse(QRectF(9.4, 4.8, 2.0, 2.6));
    DrawLine(p, QPointF(4.4, 6.4), QPointF(6.8, 6.4));
    DrawSmileMouth(p);
}

// 3, tongue
void DrawTongue(QPainter& p) {
    DrawEyes(p);
    DrawLine(p, QPointF(4.8, 10.0), QPointF(11.2, 10.0));
    p.setPen(QPen(QColor(150, 20, 40), 0.6));
    p.setBrush(QColor(230, 60, 80));
    p.drawChord(QRectF(7.0, 8.0, 4.0, 5.0), 180 * 16, 180 * 16);
}

// 4, sunglasses
void DrawSunglasses(QPainter& p) {
    p.setPen(QPen(kFeature, 1.0));
    p.setBrush(kFeature);
    p.drawRoundedRect(QRectF(3.4, 4.8, 4.0, 2.8), 1.0, 1.0);
    p.drawRoundedRect(QRectF(8.6, 4.8, 4.0, 2.8), 1.0, 1.0);
    DrawLine(p, QPointF(7.4, 5.6), QPointF(8.6, 5.6));
    DrawSmileMouth(p);
}

// 5, surprise
void DrawSurprise(QPainter& p) {
    DrawEyes(p);
    p.setPen(QPen(kFeature, 1.0));
    p.setBrush(QColor(120, 40, 20));
    p.drawEllipse(QRectF(6.4, 9.0, 3.2, 3.8));
}

// 6, sad
void DrawSad(QPainter& p) {
    DrawEyes(p);
    DrawFrown(p);
}

// 7, confused: a wavy mouth
void DrawConfused(QPainter& p) {
    DrawEyes(p);
    QPainterPath mouth;
    mouth.moveTo(4.4, 11.0);
    mouth.cubicTo(6.0, 9.2, 7.0, 9.2, 8.0, 11.0);
    mouth.cubicTo(9.0, 12.8, 10.0, 12.8, 11.6, 11.0);
    p.setPen(QPen(kFeature, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mouth);
}

// 8, embarrassed: blushing cheeks, a small flat mouth
void DrawEmbarrassed(QPainter& p) {
    DrawEyes(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 120, 120, 200));
    p.drawEllipse(QRectF(2.6, 8.0, 2.6, 1.8));
    p.drawEllipse(QRectF(10.8, 8.0, 2.6, 1.8));
    DrawLine(p, QPointF(6.0, 11.4), QPointF(10.0, 10.8));
}

// 9, crying
void DrawCrying(QPainter& p) {
    DrawEyes(p);
    DrawFrown(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 140, 240));
    p.drawEllipse(QRectF(4.4, 7.6, 1.8, 2.8));
}

// 10, undecided
void DrawUndecided(QPainter& p) {
    DrawEyes(p);
    DrawLine(p, QPointF(5.0, 11.4), QPointF(11.0, 10.2));
}

// 11, angry
void DrawAngry(QPainter& p) {
    DrawEyes(p);
    DrawLine(p, QPointF(3.8, 3.6), QPointF(7.0, 4.8));
    DrawLine(p, QPointF(12.2, 3.6), QPointF(9.0, 4.8));
    DrawFrown(p);
}

// The features of each face by its index.
constexpr std::array<void (*)(QPainter&), EmoticonImageCount> kDrawFeatures = {
    DrawSmile,       // 0
    DrawGrin,        // 1
    DrawWink,        // 2
    DrawTongue,      // 3
    DrawSunglasses,  // 4
    DrawSurprise,    // 5
    DrawSad,         // 6
    DrawConfused,    // 7
    DrawEmbarrassed, // 8
    DrawCrying,      // 9
    DrawUndecided,   // 10
    DrawAngry,       // 11
};

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
    kDrawFeatures[static_cast<size_t>(index)](p);
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
