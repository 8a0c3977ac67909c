#include "app/common/MenuImages.h"

#include "platform/gui/ImageList.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {

constexpr int kSize = 16;
const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kGreen(40, 150, 40);
const QColor kRed(200, 40, 40);
const QColor kBlue(40, 80, 190);
const QColor kSkin(240, 200, 150);
const QColor kGold(240, 190, 40);

void SetPen(QPainter& p, const QColor& color, qreal width = 1.2) {
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void DrawPage(QPainter& p, QRectF r) {
    SetPen(p, kInk, 1.0);
    p.setBrush(kPaper);
    p.drawRect(r);
    for (qreal y = r.top() + 3; y < r.bottom() - 1; y += 2.5) {
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    }
}

// A person at the left, room for a badge at the lower right.
void DrawPerson(QPainter& p) {
    SetPen(p, kInk, 0.8);
    p.setBrush(kSkin);
    p.drawEllipse(QRectF(2.5, 1.5, 5.0, 5.0));
    p.setBrush(kBlue);
    p.drawChord(QRectF(0.5, 7.5, 9.0, 12.0), 0, 180 * 16);
}

// A plus, minus or arrow badge in the lower right corner.
void DrawBadge(QPainter& p, const QColor& color, bool vertical) {
    SetPen(p, color, 2.2);
    p.drawLine(QPointF(10.0, 12.5), QPointF(15.0, 12.5));
    if (vertical) {
        p.drawLine(QPointF(12.5, 10.0), QPointF(12.5, 15.0));
    }
}

void DrawCross(QPainter& p, QRectF r, const QColor& color, qreal width) {
    SetPen(p, color, width);
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void DrawSpeaker(QPainter& p) {
    SetPen(p, kInk, 0.8);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF{QPointF(1.5, 6), QPointF(4, 6), QPointF(8, 2.5), QPointF(8, 13.5),
                            QPointF(4, 10), QPointF(1.5, 10)});
}

void DrawCurvedArrow(QPainter& p, bool toLeft) {
    SetPen(p, kBlue, 1.8);
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    const qreal tip = toLeft ? 3.0 : 13.0;
    path.moveTo(toLeft ? 13.0 : 3.0, 13.0);
    path.cubicTo(toLeft ? 14.0 : 2.0, 5.0, 8.0, 4.0, tip, 6.0);
    p.drawPath(path);
    p.setBrush(kBlue);
    const qreal dx = toLeft ? 3.5 : -3.5;
    p.drawPolygon(QPolygonF{QPointF(tip, 6.0), QPointF(tip + dx, 2.5), QPointF(tip + dx, 8.5)});
}

// Eight spokes round the middle, from the inner to the outer radius.
void DrawSpokes(QPainter& p, qreal inner, qreal outer) {
    for (int i = 0; i < 8; ++i) {
        QTransform t;
        t.translate(8, 8);
        t.rotate(i * 45.0);
        p.drawLine(t.map(QPointF(0, inner)), t.map(QPointF(0, outer)));
    }
}

// A closed envelope: its flap's fold meets at `foldDepth` below the top, in
// the middle.
void DrawEnvelope(QPainter& p, QRectF r, qreal foldDepth) {
    SetPen(p, kInk, 1.0);
    p.setBrush(kPaper);
    p.drawRect(r);
    p.drawPolyline(
        QPolygonF{r.topLeft(), QPointF(r.center().x(), r.top() + foldDepth), r.topRight()});
}

void DrawLink(QPainter& p, const QColor& color, bool broken) {
    SetPen(p, color, 2.0);
    p.setBrush(Qt::NoBrush);
    if (broken) {
        p.drawRoundedRect(QRectF(1.0, 5.0, 6.0, 6.0), 2, 2);
        p.drawRoundedRect(QRectF(9.0, 5.0, 6.0, 6.0), 2, 2);
    } else {
        p.drawRoundedRect(QRectF(1.0, 5.0, 8.0, 6.0), 2, 2);
        p.drawRoundedRect(QRectF(7.0, 5.0, 8.0, 6.0), 2, 2);
    }
}

// 0, whois: a magnifier
void DrawWhois(QPainter& p) {
    SetPen(p, kInk, 1.4);
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QRectF(1.5, 1.5, 8.5, 8.5));
    SetPen(p, kInk, 2.4);
    p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
}

// 1, add buddy
void DrawAddBuddy(QPainter& p) {
    DrawPerson(p);
    DrawBadge(p, kGreen, true);
}

// 2, remove, leave
void DrawRemove(QPainter& p) {
    DrawPerson(p);
    DrawBadge(p, kRed, false);
}

// 3, query: a speech bubble
void DrawQuery(QPainter& p) {
    SetPen(p, kInk, 1.0);
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(1.5, 2.0, 13.0, 9.0), 3, 3);
    p.drawPolygon(QPolygonF{QPointF(4, 11), QPointF(4, 14.5), QPointF(8, 11)});
}

// 4, mute
void DrawMute(QPainter& p) {
    DrawSpeaker(p);
    DrawCross(p, QRectF(10.0, 5.0, 5.0, 6.0), kRed, 1.6);
}

// 5, listen
void DrawListen(QPainter& p) {
    DrawSpeaker(p);
    SetPen(p, kInk, 1.0);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(7.0, 4.5, 5.0, 7.0), -60 * 16, 120 * 16);
    p.drawArc(QRectF(7.0, 2.0, 8.0, 12.0), -60 * 16, 120 * 16);
}

// 6, connect
void DrawConnect(QPainter& p) {
    DrawLink(p, kGreen, false);
}

// 7, disconnect
void DrawDisconnect(QPainter& p) {
    DrawLink(p, kRed, true);
}

// 9, options: a cog
void DrawOptions(QPainter& p) {
    SetPen(p, kInk, 2.2);
    DrawSpokes(p, 4.5, 7.0);
    SetPen(p, kInk, 1.0);
    p.setBrush(QColor(170, 170, 170));
    p.drawEllipse(QRectF(3.0, 3.0, 10.0, 10.0));
    p.setBrush(kPaper);
    p.drawEllipse(QRectF(6.0, 6.0, 4.0, 4.0));
}

// 10, help: a question mark on a blue disc
void DrawHelp(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(0.5, 0.5, 15.0, 15.0));
    SetPen(p, kPaper, 1.8);
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(5.5, 6.0);
    hook.cubicTo(5.5, 2.5, 10.5, 2.5, 10.5, 5.5);
    hook.cubicTo(10.5, 7.5, 8.0, 7.5, 8.0, 10.0);
    p.drawPath(hook);
    p.drawPoint(QPointF(8.0, 12.8));
}

// 11, cut: scissors
void DrawCut(QPainter& p) {
    SetPen(p, kInk, 1.2);
    p.drawLine(QPointF(4.0, 1.0), QPointF(10.5, 10.5));
    p.drawLine(QPointF(12.0, 1.0), QPointF(5.5, 10.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(1.5, 10.0, 4.5, 4.5));
    p.drawEllipse(QRectF(10.0, 10.0, 4.5, 4.5));
}

// 12, copy: two pages
void DrawCopy(QPainter& p) {
    DrawPage(p, QRectF(1.5, 1.5, 8.0, 10.0));
    DrawPage(p, QRectF(6.5, 4.5, 8.0, 10.0));
}

// 13, paste: a page on a clipboard
void DrawPaste(QPainter& p) {
    SetPen(p, kInk, 1.0);
    p.setBrush(QColor(170, 120, 60));
    p.drawRect(QRectF(1.5, 2.5, 10.0, 12.0));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(4.0, 1.0, 5.0, 3.0));
    DrawPage(p, QRectF(6.5, 6.5, 8.0, 8.0));
}

// 14, delete
void DrawDelete(QPainter& p) {
    DrawCross(p, QRectF(3.0, 3.0, 10.0, 10.0), kRed, 2.6);
}

// 16, undo
void DrawUndo(QPainter& p) {
    DrawCurvedArrow(p, true);
}

// 17, redo
void DrawRedo(QPainter& p) {
    DrawCurvedArrow(p, false);
}

// 18, web site: a globe
void DrawWebSite(QPainter& p) {
    SetPen(p, kBlue, 1.0);
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QRectF(1.0, 1.0, 14.0, 14.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(4.5, 1.0, 7.0, 14.0));
    p.drawLine(QPointF(1.0, 8.0), QPointF(15.0, 8.0));
    p.drawLine(QPointF(8.0, 1.0), QPointF(8.0, 15.0));
}

// 20, reference: a page with a clip
void DrawReference(QPainter& p) {
    DrawPage(p, QRectF(2.5, 1.5, 10.0, 13.0));
    SetPen(p, QColor(120, 120, 200), 1.2);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(10.0, 0.5, 4.0, 8.0), 2, 2);
}

// 21, new reference: a blank page with a spark
void DrawNewReference(QPainter& p) {
    SetPen(p, kInk, 1.0);
    p.setBrush(kPaper);
    p.drawPolygon(QPolygonF{QPointF(2.5, 1.5), QPointF(9.5, 1.5), QPointF(12.5, 4.5),
                            QPointF(12.5, 14.5), QPointF(2.5, 14.5)});
    p.drawPolyline(QPolygonF{QPointF(9.5, 1.5), QPointF(9.5, 4.5), QPointF(12.5, 4.5)});
    SetPen(p, kGold, 1.6);
    p.drawLine(QPointF(13.0, 9.0), QPointF(13.0, 15.0));
    p.drawLine(QPointF(10.0, 12.0), QPointF(16.0, 12.0));
}

// 22, open reference: an open folder
void DrawOpenReference(QPainter& p) {
    SetPen(p, kInk, 1.0);
    p.setBrush(QColor(230, 190, 90));
    p.drawPolygon(QPolygonF{QPointF(1.5, 3.5), QPointF(5.5, 3.5), QPointF(7.0, 5.0),
                            QPointF(12.5, 5.0), QPointF(12.5, 13.5), QPointF(1.5, 13.5)});
    p.setBrush(kGold);
    p.drawPolygon(
        QPolygonF{QPointF(1.5, 13.5), QPointF(4.0, 7.5), QPointF(15.0, 7.5), QPointF(12.5, 13.5)});
}

// 23, save reference: a disk
void DrawSaveReference(QPainter& p) {
    SetPen(p, kInk, 1.0);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF{QPointF(1.5, 1.5), QPointF(12.5, 1.5), QPointF(14.5, 3.5),
                            QPointF(14.5, 14.5), QPointF(1.5, 14.5)});
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.0, 1.5, 8.0, 5.0));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(4.0, 9.5, 8.0, 5.0));
}

// 24, invite
void DrawInvite(QPainter& p) {
    DrawPerson(p);
    SetPen(p, kGreen, 1.8);
    p.drawLine(QPointF(10.0, 12.5), QPointF(15.0, 12.5));
    p.drawLine(QPointF(12.5, 10.0), QPointF(15.0, 12.5));
    p.drawLine(QPointF(12.5, 15.0), QPointF(15.0, 12.5));
}

// 25, kick
void DrawKick(QPainter& p) {
    DrawPerson(p);
    DrawCross(p, QRectF(10.5, 10.0, 4.5, 5.0), kRed, 1.8);
}

// 26, refresh: two arrows round a circle
void DrawRefresh(QPainter& p) {
    SetPen(p, kGreen, 1.6);
    p.setBrush(Qt::NoBrush);
    const QRectF ring(2.5, 2.5, 11.0, 11.0);
    p.drawArc(ring, 20 * 16, 140 * 16);
    p.drawArc(ring, 200 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF{QPointF(12.0, 0.5), QPointF(15.5, 6.0), QPointF(10.0, 6.0)});
    p.drawPolygon(QPolygonF{QPointF(4.0, 15.5), QPointF(0.5, 10.0), QPointF(6.0, 10.0)});
}

// 27, an unread away message: a sealed envelope with a red mark
void DrawUnreadMessage(QPainter& p) {
    DrawEnvelope(p, QRectF(1.5, 4.5, 12.0, 8.0), 5.0);
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(QRectF(10.5, 1.0, 5.0, 5.0));
}

// 28, a read away message: an opened envelope
void DrawReadMessage(QPainter& p) {
    SetPen(p, kInk, 1.0);
    p.setBrush(kPaper);
    p.drawPolygon(QPolygonF{QPointF(1.5, 7.5), QPointF(7.5, 2.5), QPointF(13.5, 7.5)});
    p.drawRect(QRectF(1.5, 7.5, 12.0, 7.0));
    p.drawPolyline(QPolygonF{QPointF(1.5, 7.5), QPointF(7.5, 11.5), QPointF(13.5, 7.5)});
}

// 29, away messages: an envelope
void DrawAwayMessages(QPainter& p) {
    DrawEnvelope(p, QRectF(1.5, 3.5, 13.0, 9.0), 5.5);
}

// 30, back: a sun
void DrawBack(QPainter& p) {
    SetPen(p, kGold, 1.4);
    DrawSpokes(p, 5.0, 7.2);
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawEllipse(QRectF(4.0, 4.0, 8.0, 8.0));
}

// 31, away: a moon
void DrawAway(QPainter& p) {
    QPainterPath moon;
    moon.addEllipse(QRectF(1.5, 1.5, 13.0, 13.0));
    QPainterPath bite;
    bite.addEllipse(QRectF(5.5, -0.5, 11.0, 11.0));
    p.setPen(QPen(QColor(90, 90, 40), 0.8));
    p.setBrush(kGold);
    p.drawPath(moon.subtracted(bite));
}

// The drawing of each image by its index; null for the empty ones.
using TDrawImage = void (*)(QPainter&);
constexpr std::array<TDrawImage, MenuImageCount> kDrawImage = {
    DrawWhois,         // 0
    DrawAddBuddy,      // 1
    DrawRemove,        // 2
    DrawQuery,         // 3
    DrawMute,          // 4
    DrawListen,        // 5
    DrawConnect,       // 6
    DrawDisconnect,    // 7
    nullptr,           // 8
    DrawOptions,       // 9
    DrawHelp,          // 10
    DrawCut,           // 11
    DrawCopy,          // 12
    DrawPaste,         // 13
    DrawDelete,        // 14
    nullptr,           // 15
    DrawUndo,          // 16
    DrawRedo,          // 17
    DrawWebSite,       // 18
    nullptr,           // 19
    DrawReference,     // 20
    DrawNewReference,  // 21
    DrawOpenReference, // 22
    DrawSaveReference, // 23
    DrawInvite,        // 24
    DrawKick,          // 25
    DrawRefresh,       // 26
    DrawUnreadMessage, // 27
    DrawReadMessage,   // 28
    DrawAwayMessages,  // 29
    DrawBack,          // 30
    DrawAway,          // 31
};

} // namespace

QImage MenuImage(int index) {
    if (index < 0 || index >= MenuImageCount) {
        return {};
    }
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (const TDrawImage draw = kDrawImage[static_cast<size_t>(index)]) {
        draw(p);
    }
    return image;
}

QImage FontColorImage() {
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPolyline(QPolygonF{QPointF(3.0, 11.0), QPointF(8.0, 1.0), QPointF(13.0, 11.0)});
    p.drawLine(QPointF(5.0, 7.5), QPointF(11.0, 7.5));
    return image;
}

plat::ImageList* NewMenuImageList(QObject* owner) {
    auto* list = new plat::ImageList(kSize, kSize, owner);
    list->setObjectName(QStringLiteral("MenuImages"));
    AddMenuImages(*list);
    return list;
}

int AddMenuImages(plat::ImageList& list) {
    const int first = list.Count();
    for (int i = 0; i < MenuImageCount; ++i) {
        list.Add(MenuImage(i));
    }
    return first;
}
