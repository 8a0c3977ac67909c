#include "effects/gui/drawing/VfxBevel.h"

#include "platform/gui/Edges.h"

#include <QPainter>

#include <algorithm>

namespace fx {

using plat::TRect;

namespace {

int FrameExtra(TVfxBevelStyle style) {
    return (style == bvFrameLowered || style == bvFrameRaised) ? 1 : 0;
}

unsigned EdgeOf(TVfxEdgeStyle style) {
    switch (style) {
    case etRaisedInner:
        return plat::BDR_RAISEDINNER;
    case etRaisedOuter:
        return plat::BDR_RAISEDOUTER;
    case etSunkenInner:
        return plat::BDR_SUNKENINNER;
    case etSunkenOuter:
        return plat::BDR_SUNKENOUTER;
    case etBump:
        return plat::EDGE_BUMP;
    case etEtched:
        return plat::EDGE_ETCHED;
    case etRaised:
        return plat::EDGE_RAISED;
    case etSunken:
        return plat::EDGE_SUNKEN;
    }
    return plat::EDGE_ETCHED;
}

unsigned SideFlags(TVfxFrameSides sides) {
    unsigned flags = 0;
    if (sides & fsLeft) {
        flags |= plat::BF_LEFT;
    }
    if (sides & fsTop) {
        flags |= plat::BF_TOP;
    }
    if (sides & fsRight) {
        flags |= plat::BF_RIGHT;
    }
    if (sides & fsBottom) {
        flags |= plat::BF_BOTTOM;
    }
    return flags;
}

// n rings in the colour, or n pixels left as they are.
void Rings(QPainter& painter, TRect& rect, int n, plat::TColor color, bool transparent) {
    if (transparent) {
        rect.Inflate(-n, -n);
        return;
    }
    for (int i = 0; i < n; ++i) {
        plat::FrameRect(painter, rect, color);
        rect.Inflate(-1, -1);
    }
}

} // namespace

void TVfxBevel::SetStyleInner(TVfxBevelStyle value) {
    if (value == styleInner_) {
        return;
    }
    const bool wasShadow = styleInner_ == bvShadow;
    styleInner_ = value;
    if (value == bvShadow) {
        styleOuter_ = bvShadow;
    } else if (wasShadow) {
        styleOuter_ = bvNone;
    }
    Change();
}

void TVfxBevel::SetStyleOuter(TVfxBevelStyle value) {
    if (value == styleOuter_) {
        return;
    }
    const bool wasShadow = styleOuter_ == bvShadow;
    styleOuter_ = value;
    if (value == bvShadow) {
        styleInner_ = bvShadow;
    } else if (wasShadow) {
        styleInner_ = bvNone;
    }
    Change();
}

void TVfxBevel::SetWidthInner(int value) {
    SetValue(widthInner_, std::max(0, value));
}

void TVfxBevel::SetWidthOuter(int value) {
    SetValue(widthOuter_, std::max(0, value));
}

void TVfxBevel::SetBorderSides(TVfxFrameSides value) {
    SetValue(borderSides_, value & kVfxAllFrameSides);
}

void TVfxBevel::SetBorderWidth(int value) {
    SetValue(borderWidth_, std::max(0, value));
}

void TVfxBevel::SetBorderInnerWidth(int value) {
    SetValue(borderInnerWidth_, std::max(0, value));
}

void TVfxBevel::SetMode(TVfxBevelMode value) {
    SetValue(mode_, value);
}

void TVfxBevel::SetStandardStyle(TVfxBorderStyle value) {
    SetValue(standardStyle_, value);
}

void TVfxBevel::SetThemed(bool value) {
    SetValue(themed_, value);
}

void TVfxBevel::Change() {
    UpdateExtents();
    TVfxObject::Change();
}

void TVfxBevel::UpdateExtents() {
    switch (mode_) {
    case bmCustom:
        if (styleInner_ == bvShadow) {
            extent_ = widthInner_ + borderInnerWidth_;
        } else {
            extent_ = borderWidth_ + borderInnerWidth_;
            if (styleOuter_ != bvNone) {
                extent_ += widthOuter_ + FrameExtra(styleOuter_);
            }
            if (styleInner_ != bvNone) {
                extent_ += widthInner_ + FrameExtra(styleInner_);
            }
        }
        break;
    case bmStandard:
        extent_ = VfxStandardBorderWidth(standardStyle_) + borderInnerWidth_;
        break;
    case bmEdge:
        extent_ = (borderSides_ != 0 ? 2 : 0) + borderInnerWidth_;
        break;
    case bmWindows:
        extent_ = themed_ ? 0 : borderInnerWidth_ + 2;
        break;
    }
    secondExtent_ = (mode_ == bmCustom && styleOuter_ == bvShadow)
                        ? widthInner_ + widthOuter_ + borderInnerWidth_
                        : extent_;
}

void TVfxBevel::Assign(const TVfxBevel& source) {
    styleInner_ = source.styleInner_;
    styleOuter_ = source.styleOuter_;
    widthInner_ = source.widthInner_;
    widthOuter_ = source.widthOuter_;
    borderColor_ = source.borderColor_;
    borderSides_ = source.borderSides_;
    borderWidth_ = source.borderWidth_;
    borderInnerWidth_ = source.borderInnerWidth_;
    edgeStyle_ = source.edgeStyle_;
    lightColor_ = source.lightColor_;
    mode_ = source.mode_;
    shadowColor_ = source.shadowColor_;
    standardStyle_ = source.standardStyle_;
    Change();
}

QString TVfxBevel::Description() const {
    switch (mode_) {
    case bmStandard:
        return QStringLiteral("Standard style");
    case bmEdge:
        return QStringLiteral("Edged style");
    case bmWindows:
        return QStringLiteral("Windows style");
    case bmCustom:
        break;
    }
    return QStringLiteral("Custom style");
}

TRect TVfxBevel::DrawBevel(QPainter& painter, const TRect& rect, bool transparent) const {
    TRect r = rect;
    if (extent_ == 0) {
        return r;
    }
    switch (mode_) {
    case bmCustom:
        if (styleOuter_ == bvShadow) {
            VfxDrawShadowBevel(painter, r, lightColor_, transparent, widthInner_, widthOuter_,
                               borderColor_, shadowColor_);
        } else {
            VfxDrawBevelStyle(painter, r, styleOuter_, widthOuter_, shadowColor_, lightColor_);
            Rings(painter, r, borderWidth_, borderColor_, transparent);
            VfxDrawBevelStyle(painter, r, styleInner_, widthInner_, shadowColor_, lightColor_);
        }
        break;
    case bmStandard:
        VfxDrawStandardBorder(painter, r, standardStyle_);
        break;
    case bmEdge:
        if (borderSides_ != 0) {
            plat::DrawEdge(painter, r.ToQRect(), EdgeOf(edgeStyle_), SideFlags(borderSides_));
            r.Inflate(-2, -2);
        }
        break;
    case bmWindows:
        VfxDrawStandardBorder(painter, r, lsLoweredExt);
        break;
    }
    Rings(painter, r, borderInnerWidth_, borderColor_, transparent);
    return r;
}

TRect TVfxBevel::InnerRect(const TRect& rect) const {
    TRect r = rect;
    if (mode_ == bmCustom && styleOuter_ == bvShadow) {
        const int lt = widthInner_ + borderInnerWidth_;
        const int rb = widthInner_ + widthOuter_ + borderInnerWidth_;
        return TRect(r.Left + lt, r.Top + lt, r.Right - rb, r.Bottom - rb);
    }
    r.Inflate(-extent_, -extent_);
    return r;
}

} // namespace fx
