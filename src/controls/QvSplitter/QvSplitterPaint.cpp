// The splitter's bar and hot spot: painting, pointer shapes and dragging.
#include "controls/QvSplitter/QvSplitter.h"

#include "platform/core/Guarded.h"
#include "platform/gui/Drawing.h"
#include "platform/gui/Edges.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

#include <climits>

using plat::TColor;
using plat::TRect;

// The bar of a drag that does not move the panes: what lies under it is
// inverted through the halftone pattern, aligned to the splitter (a pixel
// flips where x + y is even in the splitter's coordinates). What lies below
// is painted first each time, so the bar never inverts itself.
class TQvSplitter::TDragBar : public QWidget {
public:
    explicit TDragBar(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        plat::InvertHalftoneRect(painter, event->rect(), -pos());
    }
};

namespace {

// The pointer over a visible hot spot: the splitter's double arrow with a
// small box across it, drawn here instead of coming from a resource.
QCursor HotSpotCursor(bool horizontal) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing, false);
        if (!horizontal) {
            p.translate(32, 0);
            p.rotate(90);
        }
        const QPolygon arrow({QPoint(6, 16), QPoint(11, 11), QPoint(11, 14), QPoint(21, 14),
                              QPoint(21, 11), QPoint(26, 16), QPoint(21, 21), QPoint(21, 18),
                              QPoint(11, 18), QPoint(11, 21)});
        p.setPen(Qt::white);
        p.setBrush(Qt::black);
        p.drawPolygon(arrow);
        p.drawRect(QRect(13, 9, 6, 14));
    }
    return QCursor(pixmap, 16, 16);
}

} // namespace

int TQvSplitter::AlongSplit(QPoint point) const {
    return orientation_ == orHorizontal ? point.x() : point.y();
}

void TQvSplitter::paintEvent(QPaintEvent* /*event*/) {
    plat::Guarded([&] {
        QPainter painter(this);
        PaintPanel(painter);
        PaintBar(painter);
        if (hotSpotVisible_) {
            PaintHotSpot(painter);
        }
    });
}

void TQvSplitter::PaintBar(QPainter& painter) {
    if (barRect_.IsEmpty() || splitterStyle_ == ssStandard) {
        return;
    }
    painter.fillRect(barRect_.ToQRect(), plat::ToQColor(Color()));
    const TColor first = splitterStyle_ == ssGroove ? plat::clBtnShadow : plat::clBtnHighlight;
    const TColor second = splitterStyle_ == ssGroove ? plat::clBtnHighlight : plat::clBtnShadow;
    if (orientation_ == orHorizontal) {
        const int middle = barRect_.Left + barRect_.Width() / 2;
        for (const int left : {middle - 3, middle}) {
            ctl::DrawSides(painter, TRect(left, barRect_.Top, left + 3, barRect_.Bottom), first,
                           sdAllSides, second);
        }
    } else {
        const int middle = barRect_.Top + barRect_.Height() / 2;
        for (const int top : {middle - 3, middle}) {
            ctl::DrawSides(painter, TRect(barRect_.Left, top, barRect_.Right, top + 3), first,
                           sdAllSides, second);
        }
    }
}

void TQvSplitter::PaintHotSpot(QPainter& painter) {
    if (hotSpotRect_.IsEmpty()) {
        return;
    }
    const TRect& r = hotSpotRect_;
    plat::FrameRect(painter, r, plat::clBtnShadow);
    TRect inner = r;
    inner.Inflate(-1, -1);
    if (inner.IsEmpty()) {
        return;
    }
    painter.fillRect(inner.ToQRect(),
                     plat::ToQColor(hotSpotHover_ ? hotSpotHighlight_ : plat::clBtnFace));
    ctl::DrawSides(painter, inner, plat::clBtnHighlight, sdLeft | sdTop, plat::clBtnHighlight);

    // Positions along the bar and across it: the arrows and grip dots are
    // the same for both orientations with x and y exchanged.
    const bool horizontal = orientation_ == orHorizontal;
    const int start = horizontal ? r.Top : r.Left;
    const int length = horizontal ? r.Height() : r.Width();
    const int middle = horizontal ? r.Left + r.Width() / 2 : r.Top + r.Height() / 2;
    const auto pixel = [&](int along, int across, TColor color) {
        const QPoint point = horizontal ? QPoint(across, along) : QPoint(along, across);
        painter.fillRect(QRect(point, QSize(1, 1)), plat::ToQColor(color));
    };

    const bool towardsMin = (hotSpotDirection_ == hsdMin) != hotSpotClosed_;
    const int tip = towardsMin ? -1 : 1;
    // An arrow five pixels long, its tip one pixel off the middle line.
    const auto arrow = [&](int first) {
        pixel(first, middle - tip, plat::clHighlight);
        pixel(first + 1, middle, plat::clHighlight);
        pixel(first + 1, middle - tip, plat::clHighlight);
        for (int across = -1; across <= 1; ++across) {
            pixel(first + 2, middle + across, plat::clHighlight);
        }
        pixel(first + 3, middle, plat::clHighlight);
        pixel(first + 3, middle - tip, plat::clHighlight);
        pixel(first + 4, middle - tip, plat::clHighlight);
    };
    arrow(start + 6);
    arrow(start + length - 11);

    const int dots = (length - 32) / 3 + 1;
    for (int i = 0; i < dots; ++i) {
        const int along = start + 15 + 3 * i;
        pixel(along, middle, plat::clHighlightText);
        pixel(along + 1, middle + 1, plat::clHighlight);
    }
}

void TQvSplitter::UpdateCursor(QPoint point) {
    const bool overHotSpot = hotSpotVisible_ && hotSpotRect_.Contains(point);
    if (overHotSpot != hotSpotHover_) {
        hotSpotHover_ = overHotSpot;
        update(hotSpotRect_.ToQRect());
    }
    if (!lockBar_ && barRect_.Contains(point)) {
        const bool horizontal = orientation_ == orHorizontal;
        if (overHotSpot) {
            setCursor(HotSpotCursor(horizontal));
        } else {
            setCursor(horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
        }
    } else {
        unsetCursor();
    }
}

void TQvSplitter::ShowDragBar(int position) {
    if (!dragBar_) {
        dragBar_ = new TDragBar(this);
    }
    const TRect client = ClientRect();
    const TRect bar = orientation_ == orHorizontal
                          ? TRect(client.Left + position, client.Top,
                                  client.Left + position + splitterWidth_, client.Bottom)
                          : TRect(client.Left, client.Top + position, client.Right,
                                  client.Top + position + splitterWidth_);
    dragBar_->setGeometry(bar.ToQRect());
    dragBar_->raise();
    dragBar_->show();
}

void TQvSplitter::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !barRect_.Contains(point)) {
        event->ignore();
        return;
    }
    plat::Guarded([&] {
        if (!lockBar_) {
            dragging_ = true;
            dragStart_ = position_;
            pressPoint_ = AlongSplit(point);
            lastDrawn_ = position_;
            if (!realTimeDrag_) {
                ShowDragBar(lastDrawn_);
            }
        }
        hotSpotPressed_ = hotSpotVisible_ && hotSpotRect_.Contains(point);
    });
}

void TQvSplitter::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    plat::Guarded([&] {
        if (!dragging_) {
            UpdateCursor(point);
            return;
        }
        const int position = Clamp(dragStart_ + AlongSplit(point) - pressPoint_);
        bool allow = true;
        if (OnChanging) {
            OnChanging(this, position, allow);
        }
        if (!allow || position == lastDrawn_) {
            return;
        }
        hotSpotPressed_ = false;
        hotSpotClosed_ = false;
        lastDrawn_ = position;
        if (realTimeDrag_) {
            if (ApplyPosition(position, false)) {
                RememberUserSize();
            }
        } else {
            ShowDragBar(position);
        }
    });
}

void TQvSplitter::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint point = event->position().toPoint();
    plat::Guarded([&] {
        if (dragging_) {
            dragging_ = false;
            if (!realTimeDrag_) {
                if (dragBar_) {
                    dragBar_->hide();
                }
                ApplyPosition(lastDrawn_, false);
                RememberUserSize();
            }
        }
        if (hotSpotPressed_) {
            hotSpotPressed_ = false;
            if (hotSpotRect_.Contains(point)) {
                ToggleHotSpot();
            }
        }
        UpdateCursor(point);
    });
}

void TQvSplitter::leaveEvent(QEvent* event) {
    TQvCustomPanel::leaveEvent(event);
    if (hotSpotHover_) {
        hotSpotHover_ = false;
        update(hotSpotRect_.ToQRect());
    }
}

void TQvSplitter::ToggleHotSpot() {
    if (!hotSpotClosed_) {
        hotSpotPosition_ = position_;
        hotSpotClosed_ = true;
        ApplyPosition(hotSpotDirection_ == hsdMax ? INT_MAX : 0, true);
    } else {
        hotSpotClosed_ = false;
        ApplyPosition(hotSpotPosition_, true);
        RememberUserSize();
    }
    update();
    if (OnHotSpotClick) {
        OnHotSpotClick(this);
    }
}
