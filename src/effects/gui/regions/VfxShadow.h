#pragma once

#include "effects/core/VfxObject.h"
#include "platform/gui/Colors.h"

#include <QString>

namespace fx {

enum TVfxShadowStyle { hssNone, hssSolid, hssTracing };

// A drop shadow: its colour, how far it falls (0 .. 40 pixels) and whether it
// is painted solid or traced through a checkerboard.
class TVfxShadow : public TVfxObject {
public:
    static constexpr int kMaxDepth = 40;

    explicit TVfxShadow(QObject* owner = nullptr) : TVfxShadow(owner, hssSolid) {}

    plat::TColor Color() const { return color_; }
    void SetColor(plat::TColor value) { SetValue(color_, value); }
    // Values outside 0 .. 40 are brought inside.
    int Depth() const { return depth_; }
    void SetDepth(int value);
    TVfxShadowStyle Style() const { return style_; }
    void SetStyle(TVfxShadowStyle value) { SetValue(style_, value); }

    void Assign(const TVfxShadow& source);
    // "{Disabled}", "{solid, 6}", "{tracing, 40}".
    QString Description() const override;

protected:
    TVfxShadow(QObject* owner, TVfxShadowStyle style) : TVfxObject(owner), style_(style) {}

private:
    plat::TColor color_ = plat::clBtnShadow;
    int depth_ = 6;
    TVfxShadowStyle style_;
};

// The shadow of a region: off unless asked for.
class TVfxRgnShadow : public TVfxShadow {
public:
    explicit TVfxRgnShadow(QObject* owner = nullptr) : TVfxShadow(owner, hssNone) {}
};

} // namespace fx
