#include "controls/FrameDrawing.h"

#include <QFontMetrics>
#include <QPainter>

using plat::TColor;
using plat::TRect;

namespace ctl {

namespace {

void FillLine(QPainter& p, int x, int y, int w, int h, TColor color) {
    if (w > 0 && h > 0 && color != plat::clNone) {
        p.fillRect(QRect(x, y, w, h), plat::ToQColor(color));
    }
}

// The two lines of a three-dimensional style, outer line first, each as
// (left and top colour, right and bottom colour).
struct TwoLines {
    TColor outerFirst;
    TColor outerSecond;
    TColor innerFirst;
    TColor innerSecond;
};

TwoLines LinesOf(TFrameStyle style) {
    using namespace plat;
    switch (style) {
    case fsGroove:
        return {clBtnShadow, clBtnHighlight, clBtnHighlight, clBtnShadow};
    case fsBump:
        return {clBtnHighlight, clBtnShadow, clBtnShadow, clBtnHighlight};
    case fsLowered:
        return {clBtnShadow, clBtnHighlight, clBlack, cl3DLight};
    case fsButtonDown:
        return {clBlack, clBtnHighlight, clBtnShadow, clBtnFace};
    case fsButtonUp:
        return {clBtnFace, clBlack, clBtnHighlight, clBtnShadow};
    case fsRaised:
    default:
        return {cl3DLight, clBlack, clBtnHighlight, clBtnShadow};
    }
}

} // namespace

TRect DrawSides(QPainter& painter, TRect rect, TColor first, TSides sides, TColor second) {
    const int w = rect.Width();
    const int h = rect.Height();
    if (sides & sdLeft) {
        FillLine(painter, rect.Left, rect.Top, 1, h, first);
    }
    if (sides & sdTop) {
        FillLine(painter, rect.Left, rect.Top, w, 1, first);
    }
    if (sides & sdRight) {
        FillLine(painter, rect.Right - 1, rect.Top, 1, h, second);
    }
    if (sides & sdBottom) {
        FillLine(painter, rect.Left, rect.Bottom - 1, w, 1, second);
    }
    if (sides & sdLeft) {
        ++rect.Left;
    }
    if (sides & sdTop) {
        ++rect.Top;
    }
    if (sides & sdRight) {
        --rect.Right;
    }
    if (sides & sdBottom) {
        --rect.Bottom;
    }
    return rect;
}

TRect DrawBevel(QPainter& painter, TRect rect, TColor first, TSides sides, int count,
                TColor second) {
    for (int i = 0; i < count; ++i) {
        rect = DrawSides(painter, rect, first, sides, second);
    }
    return rect;
}

TRect DrawBorder(QPainter& painter, TRect rect, TFrameStyle style, TSides sides) {
    switch (style) {
    case fsNone:
        return rect;
    case fsFlat:
        return DrawSides(painter, rect, plat::clWindowFrame, sides, plat::clWindowFrame);
    case fsStatus:
        return DrawSides(painter, rect, plat::clBtnShadow, sides, plat::clBtnHighlight);
    case fsPopup:
        return DrawSides(painter, rect, plat::clBtnHighlight, sides, plat::clBtnShadow);
    default: {
        const TwoLines lines = LinesOf(style);
        rect = DrawSides(painter, rect, lines.outerFirst, sides, lines.outerSecond);
        return DrawSides(painter, rect, lines.innerFirst, sides, lines.innerSecond);
    }
    }
}

int FrameStyleWidth(TFrameStyle style, int bevelWidth) {
    switch (style) {
    case fsNone:
        return 0;
    case fsFlat:
        return 1;
    case fsStatus:
    case fsPopup:
        return bevelWidth;
    default:
        return 2;
    }
}

TRotatedFont CreateRotatedFont(const QFont& font, int escapement) {
    QFont rotated(font.family());
    if (font.pixelSize() > 0) {
        rotated.setPixelSize(font.pixelSize());
    } else {
        rotated.setPointSizeF(font.pointSizeF());
    }
    // Bold as a font style is a weight of 700 or more.
    rotated.setWeight(font.weight() >= QFont::Bold ? QFont::Bold : QFont::Normal);
    rotated.setItalic(font.italic());
    rotated.setUnderline(font.underline());
    rotated.setStrikeOut(font.strikeOut());
    rotated.setFixedPitch(font.fixedPitch());
    return {rotated, escapement};
}

void DrawRotatedText(QPainter& painter, const TRotatedFont& font, QPoint origin,
                     const QString& text) {
    painter.save();
    painter.setFont(font.Font);
    painter.translate(origin);
    painter.rotate(-font.Escapement / 10.0);
    painter.drawText(QPointF(0, QFontMetrics(font.Font, painter.device()).ascent()), text);
    painter.restore();
}

} // namespace ctl
