#pragma once

#include "effects/core/VfxObject.h"
#include "effects/gui/drawing/VfxGraphics.h"
#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QString>

#include <cstdint>

class QPainter;

namespace fx {

enum TVfxEdgeStyle {
    etRaisedInner,
    etRaisedOuter,
    etSunkenInner,
    etSunkenOuter,
    etBump,
    etEtched,
    etRaised,
    etSunken
};
enum TVfxBevelMode { bmCustom, bmStandard, bmEdge, bmWindows };
enum TVfxFrameSide { fsBottom = 1, fsLeft = 2, fsRight = 4, fsTop = 8 };
using TVfxFrameSides = unsigned;
constexpr TVfxFrameSides kVfxAllFrameSides = fsBottom | fsLeft | fsRight | fsTop;

// The border of a control: in custom mode an outer and an inner bevel band
// with border rings between them (or a drop shadow), in standard mode one of
// the standard borders, in edge mode the platform's edge on chosen sides, in
// Windows mode the sunken client edge. Rings of BorderInnerWidth follow in
// every mode. The extent (what the border takes from each side) is kept up to
// date on every change.
class TVfxBevel : public TVfxObject {
public:
    using TVfxObject::TVfxObject;

    TVfxBevelStyle StyleInner() const { return styleInner_; }
    // Setting one style to bvShadow makes the other bvShadow too; leaving
    // bvShadow on one side resets the other to bvNone.
    void SetStyleInner(TVfxBevelStyle value);
    TVfxBevelStyle StyleOuter() const { return styleOuter_; }
    void SetStyleOuter(TVfxBevelStyle value);
    int WidthInner() const { return widthInner_; }
    void SetWidthInner(int value);
    int WidthOuter() const { return widthOuter_; }
    void SetWidthOuter(int value);
    plat::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(plat::TColor value) { SetValue(borderColor_, value); }
    TVfxFrameSides BorderSides() const { return borderSides_; }
    void SetBorderSides(TVfxFrameSides value);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value);
    int BorderInnerWidth() const { return borderInnerWidth_; }
    void SetBorderInnerWidth(int value);
    TVfxEdgeStyle EdgeStyle() const { return edgeStyle_; }
    void SetEdgeStyle(TVfxEdgeStyle value) { SetValue(edgeStyle_, value); }
    plat::TColor LightColor() const { return lightColor_; }
    void SetLightColor(plat::TColor value) { SetValue(lightColor_, value); }
    TVfxBevelMode Mode() const { return mode_; }
    void SetMode(TVfxBevelMode value);
    plat::TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(plat::TColor value) { SetValue(shadowColor_, value); }
    TVfxBorderStyle StandardStyle() const { return standardStyle_; }
    void SetStandardStyle(TVfxBorderStyle value);

    // Set by the owning control: a themed Windows-mode border takes nothing.
    bool Themed() const { return themed_; }
    void SetThemed(bool value);

    // The width the border takes from each side.
    int BorderExtent() const { return extent_; }
    // The border extent, except in custom mode with an outer shadow:
    // WidthInner + WidthOuter + BorderInnerWidth.
    int SecondExtent() const { return secondExtent_; }

    void Assign(const TVfxBevel& source);
    // "Custom style", "Standard style", "Edged style", "Windows style".
    QString Description() const override;

    // Draws the border into rect and returns what lies inside it; with
    // transparent the rings are left unpainted. Nothing when the extent is 0.
    plat::TRect DrawBevel(QPainter& painter, const plat::TRect& rect, bool transparent) const;
    // What lies inside the border, without drawing.
    plat::TRect InnerRect(const plat::TRect& rect) const;

    void Change() override;

private:
    void UpdateExtents();

    TVfxBevelStyle styleInner_ = bvNone;
    TVfxBevelStyle styleOuter_ = bvNone;
    int widthInner_ = 1;
    int widthOuter_ = 1;
    plat::TColor borderColor_ = plat::clBtnFace;
    TVfxFrameSides borderSides_ = kVfxAllFrameSides;
    int borderWidth_ = 0;
    int borderInnerWidth_ = 0;
    TVfxEdgeStyle edgeStyle_ = etEtched;
    plat::TColor lightColor_ = plat::clBtnHighlight;
    TVfxBevelMode mode_ = bmCustom;
    plat::TColor shadowColor_ = plat::clBtnShadow;
    TVfxBorderStyle standardStyle_ = lsSingleLowered;
    bool themed_ = false;
    int extent_ = 0;
    int secondExtent_ = 0;
};

} // namespace fx
