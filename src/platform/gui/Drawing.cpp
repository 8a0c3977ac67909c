#include "platform/gui/Drawing.h"

#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace plat {

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
