#include "effects/gui/regions/VfxShadow.h"

#include <algorithm>

namespace fx {

void TVfxShadow::SetDepth(int value) {
    SetValue(depth_, std::clamp(value, 0, kMaxDepth));
}

void TVfxShadow::Assign(const TVfxShadow& source) {
    if (&source == this) {
        return;
    }
    BeginUpdate();
    color_ = source.color_;
    depth_ = source.depth_;
    style_ = source.style_;
    EndUpdate(true);
}

QString TVfxShadow::Description() const {
    switch (style_) {
    case hssNone:
        return QStringLiteral("{Disabled}");
    case hssSolid:
        return QStringLiteral("{solid, %1}").arg(depth_);
    case hssTracing:
        return QStringLiteral("{tracing, %1}").arg(depth_);
    }
    return {};
}

} // namespace fx
