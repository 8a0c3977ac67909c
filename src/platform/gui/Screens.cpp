#include "platform/gui/Screens.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace plat {

namespace {

const TRect& Pick(const ScreenArea& area, bool workArea) {
    return workArea ? area.WorkArea : area.Bounds;
}

// How far apart two rectangles are along one axis (0 when they overlap).
int64_t Gap(int aLow, int aHigh, int bLow, int bHigh) {
    if (bLow >= aHigh) {
        return int64_t{bLow} - aHigh + 1;
    }
    if (aLow >= bHigh) {
        return int64_t{aLow} - bHigh + 1;
    }
    return 0;
}

int64_t SquaredDistance(const TRect& monitor, const TRect& rect) {
    const int64_t dx = Gap(monitor.Left, monitor.Right, rect.Left, rect.Right);
    const int64_t dy = Gap(monitor.Top, monitor.Bottom, rect.Top, rect.Bottom);
    return dx * dx + dy * dy;
}

int64_t Overlap(const TRect& a, const TRect& b) {
    const TRect common = IntersectRect(a, b);
    return int64_t{common.Width()} * common.Height();
}

} // namespace

int Screens::Count() const {
    return static_cast<int>(Areas().size());
}

TRect Screens::PrimaryRect(bool workArea) const {
    const std::vector<ScreenArea> areas = Areas();
    return areas.empty() ? TRect() : Pick(areas.front(), workArea);
}

TRect Screens::RectForPoint(QPoint point, bool workArea) const {
    return RectForRect(TRect(point.x(), point.y(), point.x() + 1, point.y() + 1), workArea);
}

TRect Screens::RectForRect(const TRect& rect, bool workArea) const {
    return MonitorRectForRect(Areas(), rect, workArea);
}

TRect MonitorRectForRect(const std::vector<ScreenArea>& areas, const TRect& rect, bool workArea) {
    if (areas.size() < 2) {
        return areas.empty() ? TRect() : Pick(areas.front(), workArea);
    }
    // Largest common area first; without any, the nearest monitor. Ties go to
    // the earlier monitor (the primary one first).
    const ScreenArea* best = nullptr;
    int64_t bestOverlap = 0;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (const ScreenArea& area : areas) {
        const int64_t common = Overlap(area.Bounds, rect);
        const int64_t distance = SquaredDistance(area.Bounds, rect);
        if (common > bestOverlap || (bestOverlap == 0 && common == 0 && distance < bestDistance)) {
            best = &area;
            bestOverlap = common;
            bestDistance = distance;
        }
    }
    return Pick(*best, workArea);
}

std::vector<ScreenArea> QtScreens::Areas() const {
    std::vector<ScreenArea> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr) {
        return areas;
    }
    areas.push_back({TRect(primary->geometry()), TRect(primary->availableGeometry())});
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) {
            areas.push_back({TRect(screen->geometry()), TRect(screen->availableGeometry())});
        }
    }
    return areas;
}

const Screens& CurrentScreens() {
    static const QtScreens qtScreens;
    const Screens* installed = ScopedScreens::Current();
    return installed != nullptr ? *installed : qtScreens;
}

} // namespace plat
