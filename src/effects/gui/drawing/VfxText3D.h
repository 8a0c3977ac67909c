#pragma once

#include "effects/core/VfxObject.h"
#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QString>

#include <cstdint>

class QPainter;

namespace fx {

enum TVfxDisabledStyle { dsAuto, dsStandard, ds3d, dsNone };
enum TVfxThreeDOrientation { toBottomLeft, toBottomRight, toTopLeft, toTopRight };
enum TVfxThreeDStyle {
    tdNone,
    tdSunken,
    tdRaised,
    tdSunkenShadow,
    tdRaisedShadow,
    tdPColorSunken,
    tdPColorRaised,
    tdShadow,
    tdOutline,
    tdExtrude,
    tdExtrudeEnh
};

// How a caption is drawn in three dimensions: offset copies in a light and a
// shadow colour under the face, an outline, or an extrusion. Every setter
// that changes a value notifies.
class TVfx3DCaption : public TVfxObject {
public:
    using TVfxObject::TVfxObject;

    TVfxDisabledStyle DisabledStyle() const { return disabledStyle_; }
    void SetDisabledStyle(TVfxDisabledStyle value) { SetValue(disabledStyle_, value); }
    uint8_t LightDepth() const { return lightDepth_; }
    void SetLightDepth(uint8_t value) { SetValue(lightDepth_, value); }
    uint8_t ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(uint8_t value) { SetValue(shadowDepth_, value); }
    plat::TColor LightColor() const { return lightColor_; }
    void SetLightColor(plat::TColor value) { SetValue(lightColor_, value); }
    TVfxThreeDOrientation Orientation() const { return orientation_; }
    void SetOrientation(TVfxThreeDOrientation value) { SetValue(orientation_, value); }
    plat::TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(plat::TColor value) { SetValue(shadowColor_, value); }
    TVfxThreeDStyle Style() const { return style_; }
    void SetStyle(TVfxThreeDStyle value) { SetValue(style_, value); }
    // Extra pixels between characters.
    int Tracing() const { return tracing_; }
    void SetTracing(int value) { SetValue(tracing_, value); }

    // Copies every property (one notification).
    void Assign(const TVfx3DCaption& source);
    // "{sunken}", "{raised}", ...; "{Disabled}" for tdNone.
    QString Description() const override;

    // The pixels the style adds to the right and the bottom of the text:
    // LightDepth for the sunken and raised styles, LightDepth + ShadowDepth
    // for the four two-copy styles, ShadowDepth for shadow, outline and
    // extrusions, 0 for tdNone.
    int StyleDepth() const;

private:
    TVfxDisabledStyle disabledStyle_ = dsAuto;
    uint8_t lightDepth_ = 1;
    uint8_t shadowDepth_ = 1;
    plat::TColor lightColor_ = plat::clBtnHighlight;
    TVfxThreeDOrientation orientation_ = toTopLeft;
    plat::TColor shadowColor_ = plat::clBtnShadow;
    TVfxThreeDStyle style_ = tdNone;
    int tracing_ = 0;
};

// What the 3D text routine draws with.
struct TVfxTextLook {
    plat::TColor FontColor = plat::clWindowText;
    // The face colour of the P-colour styles.
    plat::TColor BackColor = plat::clBtnFace;
    bool Enabled = true;
    // A disabled caption of style dsAuto is drawn sunken.
    bool Want3DDisabled = false;
};

// Draws text in rect with the painter's font (plat::DrawText and its format
// flags) and the caption's effect; a null caption draws the text once. The
// layers are drawn from the back to the face, each moving the text rectangle
// by its offset; they stay within rect grown by StyleDepth() at the right
// and the bottom. Tracing sets the letter spacing. A disabled caption is
// drawn in the grey text colour unless its style is dsNone; with ds3d (or
// dsAuto and Want3DDisabled) it is drawn sunken.
void VfxDraw3DText(QPainter& painter, const QString& text, const plat::TRect& rect, unsigned format,
                   const TVfx3DCaption* caption, const TVfxTextLook& look);

} // namespace fx
