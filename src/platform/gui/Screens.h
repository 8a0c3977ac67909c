#pragma once
// The monitors as the kits ask about them: the primary one, the one under a
// point or holding most of a rectangle, each with its full rectangle or its
// work area (what panels and task bars leave). Behind an interface so that
// tests install a fake of known geometry (the offscreen platform reports one
// screen of a size no real desk has).

#include "platform/core/ScopedOverride.h"
#include "platform/gui/Rect.h"

#include <QPoint>

#include <vector>

namespace plat {

struct ScreenArea {
    TRect Bounds;
    TRect WorkArea;
};

class Screens {
public:
    virtual ~Screens() = default;
    // Every monitor, the primary one first; empty when there is no screen.
    virtual std::vector<ScreenArea> Areas() const = 0;

    int Count() const;
    // The primary monitor's rectangle or work area; empty without screens.
    TRect PrimaryRect(bool workArea) const;
    // With several monitors: the one holding the point, else the nearest one.
    // With one: the primary monitor.
    TRect RectForPoint(QPoint point, bool workArea) const;
    // With several monitors: the one sharing the largest area with the
    // rectangle, else the nearest one. With one: the primary monitor.
    TRect RectForRect(const TRect& rect, bool workArea) const;
};

// Among `areas` (the primary monitor first): the monitor sharing the largest
// area with the rectangle, else the nearest one; with one, that one. Its
// rectangle or work area; empty without monitors.
TRect MonitorRectForRect(const std::vector<ScreenArea>& areas, const TRect& rect, bool workArea);

// The screens Qt knows (geometry and available geometry, in logical pixels).
class QtScreens final : public Screens {
public:
    std::vector<ScreenArea> Areas() const override;
};

// The installed screens (a test's fake) or else the Qt screens.
struct ScreensTag;
using ScopedScreens = ScopedOverride<const Screens*, ScreensTag>;
const Screens& CurrentScreens();

} // namespace plat
