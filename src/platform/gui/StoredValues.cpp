#include "platform/gui/StoredValues.h"

#include <QFont>

#include <algorithm>
#include <iterator>
#include <limits>

namespace plat {

namespace {

int ToInt(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

// One axis of stored bounds through the keep-inside rule of [lo, hi).
void KeepAxisInside(std::optional<int64_t>& pos, std::optional<int64_t>& size, int64_t lo,
                    int64_t hi) {
    if (pos) {
        if (*pos >= hi) {
            pos.reset();
        } else if (*pos < lo) {
            pos = lo;
        }
    }
    if (!size) {
        return;
    }
    if (pos && *pos + *size > hi) {
        pos = hi - *size;
    }
    if (!pos || *pos < lo) {
        pos = lo;
        size = hi - lo;
    }
}

// Makes a span no longer than [lo, hi) and moves it inside.
void FitAxis(int64_t& pos, int64_t& size, int64_t lo, int64_t hi) {
    size = std::min(size, hi - lo);
    pos = std::max(std::min(pos, hi - size), lo);
}

bool Overlaps(int64_t pos, int64_t size, int64_t lo, int64_t hi) {
    return size > 0 && pos < hi && pos + size > lo;
}

TRect RectOf(int64_t left, int64_t top, int64_t width, int64_t height) {
    const int l = ToInt(left);
    const int t = ToInt(top);
    return {l, t, ToInt(int64_t{l} + std::max<int64_t>(width, 0)),
            ToInt(int64_t{t} + std::max<int64_t>(height, 0))};
}

} // namespace

std::optional<int> StoredCoordinate(std::optional<int64_t> value) {
    if (!value || *value < -kScreenCoordinateLimit || *value > kScreenCoordinateLimit) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

std::optional<int> StoredExtent(std::optional<int64_t> value, int minimum) {
    if (!value || *value < minimum || *value > kScreenCoordinateLimit) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

TRect FitStoredBounds(const StoredBounds& stored, const TRect& own,
                      const std::vector<ScreenArea>& monitors, TBoundsFit fit, QSize minimum) {
    const int leastWidth = std::clamp(minimum.width(), 1, kScreenCoordinateLimit);
    const int leastHeight = std::clamp(minimum.height(), 1, kScreenCoordinateLimit);
    std::optional<int64_t> left = StoredCoordinate(stored.Left);
    std::optional<int64_t> top = StoredCoordinate(stored.Top);
    std::optional<int64_t> width = StoredExtent(stored.Width, leastWidth);
    std::optional<int64_t> height = StoredExtent(stored.Height, leastHeight);
    const auto resolved = [&] {
        return RectOf(
            left.value_or(own.Left), top.value_or(own.Top),
            width.value_or(std::max<int64_t>(int64_t{own.Right} - own.Left, leastWidth)),
            height.value_or(std::max<int64_t>(int64_t{own.Bottom} - own.Top, leastHeight)));
    };

    // A monitor whose work area holds nothing cannot take a window.
    std::vector<ScreenArea> usable;
    std::copy_if(monitors.begin(), monitors.end(), std::back_inserter(usable),
                 [](const ScreenArea& area) { return !area.WorkArea.IsEmpty(); });
    if (usable.empty()) {
        return resolved();
    }
    const TRect work = MonitorRectForRect(usable, resolved(), true);

    if (fit == TBoundsFit::Inside) {
        KeepAxisInside(top, height, work.Top, work.Bottom);
        KeepAxisInside(left, width, work.Left, work.Right);
    }
    const TRect wanted = resolved();
    int64_t x = wanted.Left;
    int64_t y = wanted.Top;
    int64_t w = wanted.Width();
    int64_t h = wanted.Height();
    w = std::min<int64_t>(w, work.Width());
    h = std::min<int64_t>(h, work.Height());
    // A window that shows on the monitor and lies mostly on it may stay; one
    // cut to the monitor's size may have come to lie mostly on another.
    const bool shows = Overlaps(x, w, work.Left, work.Right) &&
                       Overlaps(y, h, work.Top, work.Bottom) &&
                       MonitorRectForRect(usable, RectOf(x, y, w, h), true) == work;
    if (fit == TBoundsFit::Inside || !shows) {
        FitAxis(x, w, work.Left, work.Right);
        FitAxis(y, h, work.Top, work.Bottom);
    }
    return RectOf(x, y, w, h);
}

int FitStoredSize(std::optional<int64_t> stored, int current, int minimum, int maximum, int room) {
    int64_t size = StoredExtent(stored, 0).value_or(current);
    size = std::max<int64_t>(size, minimum);
    if (maximum > minimum) {
        size = std::min<int64_t>(size, maximum);
    }
    size = std::min<int64_t>(size, room);
    return ToInt(std::max<int64_t>(size, minimum));
}

bool FillsWorkArea(QSize size, QSize workArea) {
    const auto fills = [](int64_t extent, int64_t area) { return 3 * extent > 2 * area; };
    return fills(size.width(), workArea.width()) && fills(size.height(), workArea.height());
}

int BarPositionFromEnd(int length, std::optional<int64_t> distance, int defaultDistance) {
    const int64_t kept = StoredExtent(distance, 0).value_or(defaultDistance);
    return ToInt(int64_t{length} - kept);
}

int StoredFontSize(std::optional<int64_t> stored, int defaultSize) {
    if (!stored || *stored == 0 || *stored < -kLargestFontSize || *stored > kLargestFontSize) {
        return defaultSize;
    }
    return static_cast<int>(*stored);
}

void SetStoredFontSize(QFont& font, int64_t size) {
    const int fitted = StoredFontSize(size, 0);
    if (fitted > 0) {
        font.setPointSize(fitted);
    } else if (fitted < 0) {
        font.setPixelSize(-fitted);
    }
}

} // namespace plat
