#pragma once
// Desktop settings the kits consult. Most of them have no counterpart here;
// each then answers what the kits take when the system cannot say: no flat
// menus, no gradient captions, and no menu show delay (the kits then read
// the desktop's stored value). Tests install their own answers through
// ScopedSystemParameters.

#include "platform/core/ScopedOverride.h"

#include <optional>

namespace plat {

class SystemParameters {
public:
    virtual ~SystemParameters() = default;
    // Milliseconds before a submenu opens on its own; nothing when the
    // desktop cannot say.
    virtual std::optional<int> MenuShowDelay() const = 0;
    virtual bool FlatMenus() const = 0;
    // Whether accelerator underlines show before the keyboard is used.
    virtual bool KeyboardCues() const = 0;
    virtual bool MenuAnimation() const = 0;
    virtual bool MenuFade() const = 0;
    virtual bool GradientCaptions() const = 0;
    // Whether top-level windows can be made translucent.
    virtual bool LayeredWindows() const = 0;
    // Whether one of the program's windows is the active one.
    virtual bool ApplicationActive() const = 0;
};

// The answers of the running desktop, through Qt.
class QtSystemParameters final : public SystemParameters {
public:
    // Nothing: the window systems here keep no such setting.
    std::optional<int> MenuShowDelay() const override;
    bool FlatMenus() const override;
    // The style's shortcut underline setting; true without a widget style.
    bool KeyboardCues() const override;
    // The application's menu effects; off where windows cannot be shaped or
    // blended (Wayland, the offscreen and minimal platforms), so menus show
    // at once there.
    bool MenuAnimation() const override;
    bool MenuFade() const override;
    bool GradientCaptions() const override;
    // True on window systems that blend top-levels (X11, Windows, macOS);
    // false on the offscreen and minimal platforms and on Wayland.
    bool LayeredWindows() const override;
    bool ApplicationActive() const override;
};

struct SystemParametersTag;
using ScopedSystemParameters = ScopedOverride<const SystemParameters*, SystemParametersTag>;
// The installed answers (a test's fake) or else the desktop's.
const SystemParameters& CurrentSystemParameters();

} // namespace plat
