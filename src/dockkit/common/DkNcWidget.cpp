#include "dockkit/common/DkNcWidget.h"

#include "platform/core/Guarded.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace dk {

Qt::Edges EdgesOfSizingHit(int hit) {
    switch (hit) {
    case HTLEFT:
        return Qt::LeftEdge;
    case HTRIGHT:
        return Qt::RightEdge;
    case HTTOP:
        return Qt::TopEdge;
    case HTBOTTOM:
        return Qt::BottomEdge;
    case HTTOPLEFT:
        return Qt::TopEdge | Qt::LeftEdge;
    case HTTOPRIGHT:
        return Qt::TopEdge | Qt::RightEdge;
    case HTBOTTOMLEFT:
        return Qt::BottomEdge | Qt::LeftEdge;
    case HTBOTTOMRIGHT:
        return Qt::BottomEdge | Qt::RightEdge;
    default:
        return {};
    }
}

std::optional<Qt::CursorShape> CursorOfSizingHit(int hit) {
    switch (hit) {
    case HTLEFT:
    case HTRIGHT:
        return Qt::SizeHorCursor;
    case HTTOP:
    case HTBOTTOM:
        return Qt::SizeVerCursor;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return Qt::SizeFDiagCursor;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return Qt::SizeBDiagCursor;
    default:
        return std::nullopt;
    }
}

DkNcWidget::DkNcWidget(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
    setMouseTracking(true);
}

int DkNcWidget::NcHitTest(QPoint pos) const {
    return contentsRect().contains(pos) ? HTCLIENT : HTNOWHERE;
}

void DkNcWidget::FrameChanged() {
    const QMargins margins = CalcNcMargins();
    if (margins != contentsMargins()) {
        setContentsMargins(margins);
    }
    update();
}

void DkNcWidget::NcPaint(QPainter& /*painter*/) {}

void DkNcWidget::ClientPaint(QPainter& /*painter*/, const QRegion& /*region*/) {}

void DkNcWidget::NcLButtonDown(int /*hit*/, QPoint /*globalPos*/) {}

void DkNcWidget::NcLButtonDblClk(int hit, QPoint globalPos) {
    NcLButtonDown(hit, globalPos);
}

void DkNcWidget::NcMouseMove(int /*hit*/, QPoint /*globalPos*/) {}

std::optional<Qt::CursorShape> DkNcWidget::NcCursor(int hit, QPoint /*pos*/) const {
    return CursorOfSizingHit(hit);
}

void DkNcWidget::NcRButtonUp(int /*hit*/, QPoint globalPos) {
    QContextMenuEvent menu(QContextMenuEvent::Mouse, mapFromGlobal(globalPos), globalPos);
    QCoreApplication::sendEvent(this, &menu);
}

void DkNcWidget::TrackNcHit(int hit, QPoint pos) {
    const bool wasNc = lastNcHit_ != HTCLIENT;
    lastNcHit_ = hit;
    if (hit == HTCLIENT || hit == HTNOWHERE) {
        if (ncCursorSet_) {
            unsetCursor();
            ncCursorSet_ = false;
        }
    } else if (const auto shape = NcCursor(hit, pos)) {
        setCursor(*shape);
        ncCursorSet_ = true;
    } else if (ncCursorSet_) {
        unsetCursor();
        ncCursorSet_ = false;
    }
    if (wasNc && hit == HTCLIENT) {
        NcMouseLeave();
    }
}

bool DkNcWidget::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint pos = mouse->position().toPoint();
        const int hit = NcHitTest(pos);
        if (event->type() == QEvent::MouseMove) {
            TrackNcHit(hit, pos);
        }
        if (hit == HTCLIENT) {
            break;
        }
        const QPoint global = mouse->globalPosition().toPoint();
        plat::Guarded([&] {
            switch (event->type()) {
            case QEvent::MouseButtonPress:
                if (mouse->button() == Qt::LeftButton) {
                    NcLButtonDown(hit, global);
                }
                break;
            case QEvent::MouseButtonDblClick:
                if (mouse->button() == Qt::LeftButton) {
                    NcLButtonDblClk(hit, global);
                }
                break;
            case QEvent::MouseButtonRelease:
                if (mouse->button() == Qt::RightButton) {
                    NcRButtonUp(hit, global);
                }
                break;
            default:
                NcMouseMove(hit, global);
                break;
            }
        });
        event->accept();
        return true;
    }
    case QEvent::Leave:
        if (lastNcHit_ != HTCLIENT) {
            lastNcHit_ = HTCLIENT;
            if (ncCursorSet_) {
                unsetCursor();
                ncCursorSet_ = false;
            }
            plat::Guarded([&] { NcMouseLeave(); });
        }
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void DkNcWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect client = contentsRect();
    const QRegion ring = event->region().subtracted(QRegion(client));
    if (!ring.isEmpty()) {
        painter.save();
        painter.setClipRegion(ring);
        NcPaint(painter);
        painter.restore();
    }
    const QRegion inside = event->region().intersected(client);
    if (!inside.isEmpty()) {
        painter.setClipRegion(inside);
        painter.translate(client.topLeft());
        ClientPaint(painter, inside.translated(-client.topLeft()));
    }
}

} // namespace dk
