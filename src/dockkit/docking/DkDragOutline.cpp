#include "dockkit/docking/DkDragOutline.h"

#include "dockkit/common/DkCommon.h"

#include <QPaintEvent>
#include <QPainter>

namespace dk {

TDkDragOutline::TDkDragOutline()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                           Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("DkDragOutline"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TDkDragOutline::Move(const plat::TRect& rect, QSize width) {
    if (rect == rect_ && width == width_ && isVisible() == !rect.IsEmpty()) {
        return;
    }
    rect_ = rect;
    width_ = width;
    if (rect.IsEmpty()) {
        hide();
        return;
    }
    setGeometry(rect.ToQRect());
    setMask(OutlineRegion(plat::TRect(0, 0, rect.Width(), rect.Height()), width));
    show();
    update();
}

void TDkDragOutline::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.fillRect(rect(), Qt::white);
    painter.fillRect(rect(), MakeHalftoneBrush());
}

} // namespace dk
