#include "effects/gui/drawing/VfxText3D.h"

#include "platform/gui/AccelText.h"

#include <QImage>
#include <QPainter>

#include <array>
#include <vector>

namespace fx {

void TVfx3DCaption::Assign(const TVfx3DCaption& source) {
    disabledStyle_ = source.disabledStyle_;
    lightDepth_ = source.lightDepth_;
    shadowDepth_ = source.shadowDepth_;
    lightColor_ = source.lightColor_;
    orientation_ = source.orientation_;
    shadowColor_ = source.shadowColor_;
    style_ = source.style_;
    tracing_ = source.tracing_;
    Change();
}

QString TVfx3DCaption::Description() const {
    static const std::array<const char*, 11> names = {
        "Disabled",      "sunken", "raised",  "sunken shadow", "raised shadow", "PColor sunken",
        "PColor raised", "shadow", "outline", "extrude",       "extrude enh"};
    return QStringLiteral("{%1}").arg(QLatin1String(names[style_]));
}

int TVfx3DCaption::StyleDepth() const {
    switch (style_) {
    case tdNone:
        return 0;
    case tdSunken:
    case tdRaised:
        return lightDepth_;
    case tdSunkenShadow:
    case tdRaisedShadow:
    case tdPColorSunken:
    case tdPColorRaised:
        return lightDepth_ + shadowDepth_;
    case tdShadow:
    case tdOutline:
    case tdExtrude:
    case tdExtrudeEnh:
        return shadowDepth_;
    }
    return 0;
}

namespace {

// One copy of the text: its colour and how far it lies along the style's
// direction (0 .. depth).
struct Layer {
    plat::TColor color;
    int step;
};

// Where step k of depth lies, as an offset inside rect grown by depth: the
// light comes from the corner the orientation names, the copies run away
// from it.
QPoint OffsetOf(TVfxThreeDOrientation orientation, int step, int depth) {
    const bool fromLeft = orientation == toTopLeft || orientation == toBottomLeft;
    const bool fromTop = orientation == toTopLeft || orientation == toTopRight;
    return {fromLeft ? step : depth - step, fromTop ? step : depth - step};
}

std::vector<Layer> LayersOf(TVfxThreeDStyle style, const TVfx3DCaption& c, plat::TColor face,
                            plat::TColor back) {
    const int l = c.LightDepth();
    const int s = c.ShadowDepth();
    const plat::TColor light = c.LightColor();
    const plat::TColor shadow = c.ShadowColor();
    switch (style) {
    case tdNone:
    case tdOutline:
        return {{face, 0}};
    case tdSunken:
        return {{light, l}, {face, 0}};
    case tdRaised:
        return {{light, 0}, {face, l}};
    case tdSunkenShadow:
        return {{shadow, 0}, {light, l + s}, {face, s}};
    case tdRaisedShadow:
        return {{light, 0}, {shadow, l + s}, {face, l}};
    case tdPColorSunken:
        return {{shadow, 0}, {light, l + s}, {back, s}};
    case tdPColorRaised:
        return {{light, 0}, {shadow, l + s}, {back, l}};
    case tdShadow:
        return {{shadow, s}, {face, 0}};
    case tdExtrude:
    case tdExtrudeEnh: {
        std::vector<Layer> layers;
        for (int k = s; k >= 1; --k) {
            // The enhanced extrusion lights its front copy.
            layers.push_back({style == tdExtrudeEnh && k == 1 && s > 1 ? light : shadow, k});
        }
        layers.push_back({face, 0});
        return layers;
    }
    }
    return {{face, 0}};
}

// The outline of the glyphs: the pixels next to the text, not the text.
void DrawOutline(QPainter& painter, const QString& text, const plat::TRect& rect, unsigned format,
                 plat::TColor color) {
    const int w = rect.Width() + 2;
    const int h = rect.Height() + 2;
    if (w <= 2 || h <= 2) {
        return;
    }
    QImage glyphs(w, h, QImage::Format_ARGB32_Premultiplied);
    glyphs.fill(Qt::transparent);
    {
        QPainter p(&glyphs);
        p.setFont(painter.font());
        p.setPen(Qt::black);
        plat::TRect r(1, 1, w - 1, h - 1);
        plat::DrawText(p, text, r, format);
    }
    const auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && qAlpha(glyphs.pixel(x, y)) >= 128;
    };
    QImage ring(w, h, QImage::Format_ARGB32_Premultiplied);
    ring.fill(Qt::transparent);
    const QRgb ink = plat::ToQColor(color).rgb();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!inside(x, y) &&
                (inside(x - 1, y) || inside(x + 1, y) || inside(x, y - 1) || inside(x, y + 1))) {
                ring.setPixel(x, y, ink);
            }
        }
    }
    painter.drawImage(QPoint(rect.Left, rect.Top), ring);
}

} // namespace

void VfxDraw3DText(QPainter& painter, const QString& text, const plat::TRect& rect, unsigned format,
                   const TVfx3DCaption* caption, const TVfxTextLook& look) {
    painter.save();
    QFont font = painter.font();
    if (caption != nullptr && caption->Tracing() != 0) {
        font.setLetterSpacing(QFont::AbsoluteSpacing, caption->Tracing());
        painter.setFont(font);
    }
    TVfxThreeDStyle style = caption != nullptr ? caption->Style() : tdNone;
    plat::TColor face = look.FontColor;
    plat::TColor back = look.BackColor;
    if (!look.Enabled && (caption == nullptr || caption->DisabledStyle() != dsNone)) {
        const TVfxDisabledStyle ds = caption != nullptr ? caption->DisabledStyle() : dsAuto;
        face = plat::clGrayText;
        back = plat::clGrayText;
        style = (ds == ds3d || (ds == dsAuto && look.Want3DDisabled)) ? tdSunken : tdNone;
    }
    if (style == tdOutline) {
        DrawOutline(painter, text, rect, format, face);
        painter.restore();
        return;
    }
    static const TVfx3DCaption plain;
    const TVfx3DCaption& c = caption != nullptr ? *caption : plain;
    int depth = 0;
    switch (style) {
    case tdSunken:
    case tdRaised:
        depth = c.LightDepth();
        break;
    case tdSunkenShadow:
    case tdRaisedShadow:
    case tdPColorSunken:
    case tdPColorRaised:
        depth = c.LightDepth() + c.ShadowDepth();
        break;
    case tdShadow:
    case tdExtrude:
    case tdExtrudeEnh:
        depth = c.ShadowDepth();
        break;
    default:
        break;
    }
    plat::TRect at = rect;
    QPoint moved(0, 0);
    for (const Layer& layer : LayersOf(style, c, face, back)) {
        const QPoint want = OffsetOf(c.Orientation(), layer.step, depth);
        at.Offset(want.x() - moved.x(), want.y() - moved.y());
        moved = want;
        painter.setPen(plat::ToQColor(layer.color));
        plat::TRect r = at;
        plat::DrawText(painter, text, r, format & ~plat::DT_CALCRECT);
    }
    painter.restore();
}

} // namespace fx
