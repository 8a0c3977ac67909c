#pragma once
// What sizes, positions and font sizes read back from a store become before a
// widget takes them. The settings file may have been edited by hand, copied
// half-written or damaged on disk: whatever it holds, every window opens on a
// monitor and no larger than its work area, the chat area keeps its room and
// no arithmetic overflows. Each kind of value has its one rule here, used
// wherever such a value is read:
// - window bounds (the window-state saver), and positions of floating windows;
// - sizes a panel keeps (a dockable panel's client size, docked or floating);
// - splitter bars kept as a distance from the splitter's far end;
// - font sizes in points or pixels.
// Every rule first drops a value no screen could show: it counts as not
// stored, so the caller's default applies while the other values are kept.
// What is left is fitted to the room it has. Arithmetic is done in 64 bits.

#include "platform/gui/Rect.h"
#include "platform/gui/Screens.h"

#include <QSize>

#include <cstdint>
#include <optional>
#include <vector>

class QFont;

namespace plat {

// No desktop reaches further from the origin than this, in any direction:
// the window system's coordinates are 16-bit.
inline constexpr int kScreenCoordinateLimit = 32767;

// A stored position within the screen coordinate range; nothing otherwise.
std::optional<int> StoredCoordinate(std::optional<int64_t> value);
// A stored size from `minimum` up to the coordinate limit; nothing otherwise.
std::optional<int> StoredExtent(std::optional<int64_t> value, int minimum);

// --- Window bounds -----------------------------------------------------------------------

// A window's stored frame position and size; each may be missing.
struct StoredBounds {
    std::optional<int64_t> Left;
    std::optional<int64_t> Top;
    std::optional<int64_t> Width;
    std::optional<int64_t> Height;
};

enum class TBoundsFit {
    // The window lies wholly inside the work area of one monitor.
    Inside,
    // The window may hang over an edge, but shows on a monitor.
    Visible
};

// The bounds a window takes from stored ones; `own` gives what is not stored
// (the window's bounds before). Positions beyond the coordinate range, and
// sizes below `minimum` (the least the window can be) or beyond the range,
// count as not stored; the window's own size is raised to the minimum. The monitor is the one
// holding most of the window, else the nearest: a window stored on a monitor
// that is gone comes to the nearest one left.
//
// Inside, on that monitor's work area, along each axis: a stored position at
// or beyond the far edge is dropped and one before the near edge moves to it;
// a stored size that would hang over the far edge moves the window back, and
// one larger than the work area starts at the near edge and spans it; a stored
// size without a position that stays spans the whole work area. Last the
// window, with its own values, is made to fit: no larger than the work area,
// moved inside it.
//
// Visible: no larger than the work area; a window that shows on no monitor's
// work area, or that once cut to size lies mostly on another monitor, is
// moved inside the work area of the one chosen.
//
// Without monitors the bounds are taken as they are.
TRect FitStoredBounds(const StoredBounds& stored, const TRect& own,
                      const std::vector<ScreenArea>& monitors, TBoundsFit fit,
                      QSize minimum = QSize(1, 1));

// --- Sizes kept by panels ----------------------------------------------------------------

// A size a panel keeps along one axis, read back: a value below 0 or beyond
// the coordinate limit counts as not stored and `current` stays. Then the
// panel's limits apply (`maximum` only when above `minimum`), and the size
// is cut to `room`, the most the panel may take where it is, though never
// below `minimum`.
int FitStoredSize(std::optional<int64_t> stored, int current, int minimum, int maximum, int room);

// Whether a size a floating window keeps fills the work area in both
// directions (more than two thirds of its width and of its height): such a
// window would cover everything on its monitor. A tall, narrow or a wide,
// short one does not.
bool FillsWorkArea(QSize size, QSize workArea);

// --- Splitter bars -----------------------------------------------------------------------

// The bar position of a splitter `length` pixels long whose bar is kept as
// its distance from the far end (the far pane's size): a distance below 0 or
// beyond the coordinate limit counts as not stored and `defaultDistance`
// applies. The position may lie outside the splitter's room; the splitter
// keeps its panes' margins.
int BarPositionFromEnd(int length, std::optional<int64_t> distance, int defaultDistance);

// --- Font sizes --------------------------------------------------------------------------

// Stored font sizes are points when above 0 and a height in pixels when below.
inline constexpr int kLargestFontSize = 512;

// A stored font size of 1 to kLargestFontSize points or pixels; anything
// else (0 included) counts as not stored and gives `defaultSize`.
int StoredFontSize(std::optional<int64_t> stored, int defaultSize);
// Gives the font a stored size, in points or pixels; a size the rule above
// refuses leaves the font's size as it is.
void SetStoredFontSize(QFont& font, int64_t size);

} // namespace plat
