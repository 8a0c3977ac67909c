#include "effects/gui/drawing/VfxGradient.h"

#include "platform/gui/MulDiv.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <array>

namespace fx {

using plat::TColor;
using plat::TRect;

void VfxColorRamp(std::vector<TColor>& table, TColor a, TColor b, int n, bool start) {
    n = ((n % 256) + 256) % 256;
    if (start) {
        table.clear();
    }
    if (n == 0) {
        return;
    }
    const TColor from = plat::ColorToRGB(a);
    const TColor to = plat::ColorToRGB(b);
    if (n == 1) {
        if (start) {
            table.push_back(from); // one entry: no step to divide into
        }
        return;
    }
    const auto channel = [n](int i, int x, int y) { return x + plat::MulDiv(i, y - x, n - 1); };
    for (int i = start ? 0 : 1; i < n; ++i) {
        table.push_back(plat::RGB(channel(i, plat::GetRValue(from), plat::GetRValue(to)),
                                  channel(i, plat::GetGValue(from), plat::GetGValue(to)),
                                  channel(i, plat::GetBValue(from), plat::GetBValue(to))));
    }
}

TVfxGradient::TVfxGradient(QObject* owner) : TVfxObject(owner) {
    BuildTable();
}

void TVfxGradient::SetColorCount(int value) {
    SetValue(colorCount_, std::clamp(value, kMinColors, kMaxColors));
}

void TVfxGradient::Change() {
    BuildTable();
    TVfxObject::Change();
}

void TVfxGradient::BuildTable() {
    if (twoColors_) {
        VfxColorRamp(table_, color_, endColor_, colorCount_, true);
        return;
    }
    if (colorList_.size() < 2) {
        table_.clear();
        return;
    }
    const int per = colorCount_ / static_cast<int>(colorList_.size());
    for (size_t k = 0; k + 1 < colorList_.size(); ++k) {
        VfxColorRamp(table_, colorList_[k], colorList_[k + 1], per, k == 0);
    }
}

void TVfxGradient::Assign(const TVfxGradient& source) {
    color_ = source.color_;
    colorCount_ = source.colorCount_;
    style_ = source.style_;
    endColor_ = source.endColor_;
    paletteRealize_ = source.paletteRealize_;
    twoColors_ = source.twoColors_;
    colorList_ = source.colorList_;
    Change();
}

QString TVfxGradient::Description() const {
    static const std::array<const char*, 10> names = {
        "horizontal", "vertical",    "square",       "elliptic",      "top left",
        "top right",  "bottom left", "bottom right", "top left diag", "top right diag"};
    return QStringLiteral("%1, Col: %2, %3")
        .arg(QLatin1String(names[style_]))
        .arg(colorCount_)
        .arg(twoColors_ ? QStringLiteral("2 col mode") : QStringLiteral("mult. col mode"));
}

namespace {

// One band per colour across the rectangle, left to right or top down.
void PaintBands(QPainter& painter, const TRect& rect, const std::vector<TColor>& table,
                bool horizontal) {
    const int n = static_cast<int>(table.size());
    const int w = rect.Width();
    const int h = rect.Height();
    for (int i = 0; i < n; ++i) {
        const QColor color = plat::ToQColor(table[i]);
        if (horizontal) {
            const int x0 = rect.Left + plat::MulDiv(i, w, n);
            const int x1 = rect.Left + plat::MulDiv(i + 1, w, n);
            painter.fillRect(QRect(x0, rect.Top, x1 - x0, h), color);
        } else {
            const int y0 = rect.Top + plat::MulDiv(i, h, n);
            const int y1 = rect.Top + plat::MulDiv(i + 1, h, n);
            painter.fillRect(QRect(rect.Left, y0, w, y1 - y0), color);
        }
    }
}

// One shape of a nested gradient, ex wide and ey high, around the centre
// (square, ellipse) or from its corner, in the colour.
void PaintNestedShape(QPainter& painter, const TRect& rect, TVfxGradientStyle style, int ex, int ey,
                      const QColor& color) {
    const int cx = rect.Left + rect.Width() / 2;
    const int cy = rect.Top + rect.Height() / 2;
    painter.setBrush(color);
    switch (style) {
    case gstSquare:
        painter.fillRect(QRect(cx - ex / 2, cy - ey / 2, 2 * (ex / 2), 2 * (ey / 2)), color);
        break;
    case gstElliptic:
        painter.drawEllipse(QPoint(cx, cy), ex / 2, ey / 2);
        break;
    case gstTopLeft:
        painter.fillRect(QRect(rect.Left, rect.Top, ex, ey), color);
        break;
    case gstTopRight:
        painter.fillRect(QRect(rect.Right - ex, rect.Top, ex, ey), color);
        break;
    case gstBottomLeft:
        painter.fillRect(QRect(rect.Left, rect.Bottom - ey, ex, ey), color);
        break;
    case gstBottomRight:
        painter.fillRect(QRect(rect.Right - ex, rect.Bottom - ey, ex, ey), color);
        break;
    case gstTopLeftDiagonal:
        painter.drawPolygon(
            QPolygon({QPoint(rect.Left, rect.Top), QPoint(rect.Left + 2 * ex, rect.Top),
                      QPoint(rect.Left, rect.Top + 2 * ey), QPoint(rect.Left, rect.Top)}));
        break;
    case gstTopRightDiagonal:
        painter.drawPolygon(
            QPolygon({QPoint(rect.Right, rect.Top), QPoint(rect.Right - 2 * ex, rect.Top),
                      QPoint(rect.Right, rect.Top + 2 * ey), QPoint(rect.Right, rect.Top)}));
        break;
    default:
        break;
    }
}

// The colours as shapes that shrink from the last colour to the first,
// within the rectangle.
void PaintNested(QPainter& painter, const TRect& rect, const std::vector<TColor>& table,
                 TVfxGradientStyle style) {
    const int n = static_cast<int>(table.size());
    painter.setClipRect(rect.ToQRect(), Qt::IntersectClip);
    for (int i = n - 1; i >= 0; --i) {
        PaintNestedShape(painter, rect, style, plat::MulDiv(i + 1, rect.Width(), n),
                         plat::MulDiv(i + 1, rect.Height(), n), plat::ToQColor(table[i]));
    }
}

} // namespace

void TVfxGradient::Paint(QPainter& painter, const TRect& rect) const {
    if (table_.empty() || rect.Width() <= 0 || rect.Height() <= 0) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    if (style_ == gstHorizontal || style_ == gstVertical) {
        PaintBands(painter, rect, table_, style_ == gstHorizontal);
    } else {
        PaintNested(painter, rect, table_, style_);
    }
    painter.restore();
}

} // namespace fx
