#pragma once
// The arithmetic of a view's layout, apart from the widgets: which viewers
// show, how the view's lines (rows, or columns of a vertical view) take them
// with wrapping, what the chevron hides, where a long pop-up scrolls, and
// how big the view is. The view gathers the viewers' flags and sizes and
// applies the result to its viewers and controls.

#include "platform/gui/Rect.h"

#include <QMargins>

#include <vector>

namespace dk {

// The height of a long pop-up's scroll arrow bands.
constexpr int kScrollArrowBand = 19;
// The thickness of the bar a separator becomes where a tool bar wraps.
constexpr int kLineBreakThickness = 6;

// One viewer of the view, in the view's order.
struct ViewerEntry {
    bool Visible = false;       // its item (or control) is to be shown here
    bool Separator = false;     // its item is a separator
    bool Control = false;       // its item is a control item
    bool ToolbarSize = false;   // laid out as a button, not as a menu row
    bool Stretch = false;       // takes the full thickness of a tool bar's line
    bool RightAlign = false;    // it and those after it go to the line's end
    bool NoForcedBreak = false; // a separator that breaks only when its group does not fit
    int Width = 0;              // its size (read only for the viewers that show)
    int Height = 0;
};

struct ViewLayoutInput {
    std::vector<ViewerEntry> Viewers;
    bool Vertical = false; // lines are columns; the first at the right
    bool Toolbar = false;
    // The last viewer is the chevron: shown only when it hides something.
    bool HasChevron = false;
    // The view shows what a tool bar's chevron hides.
    bool ChevronPopup = false;
    int WrapOffset = 0;    // lines wrap beyond this (0: no wrapping)
    int ChevronOffset = 0; // the chevron hides items beyond this (0: never)
    int ChevronSize = 0;
    QMargins Margins;
    // The thickness the line of an unwrapped layout takes at least.
    int LastLineThickness = 0;
    int MaxHeight = 0; // a taller view scrolls (0: no limit)
    int ScrollOffset = 0;
    // With a priority list, the order in which the chevron hides viewers
    // (the least used first); empty: from the end.
    std::vector<int> HidingOrder;
};

struct ViewerPlacement {
    bool Show = false;
    bool OffEdge = false;   // hidden by the chevron
    bool Clipped = false;   // scrolled out of the pop-up's visible part
    bool LineBreak = false; // a separator drawn across the view where it wraps
    plat::TRect Bounds;     // window client coordinates (scrolled)
};

struct ViewLayoutResult {
    std::vector<ViewerPlacement> Viewers; // one per viewer, in the input order
    int Width = 0;
    int Height = 0;
    int Lines = 1;
    int BaseSize = 0; // the largest cross size of the shown viewers
    int ScrollOffset = 0;
    bool UpArrow = false;
    bool DownArrow = false;
    bool ChevronEnabled = false; // the chevron hides an item other than a control
};

// Which viewers show before the chevron has its say: the visible ones, less
// separators at either end and next to another separator. The chevron never
// shows here.
std::vector<bool> ShownViewers(const std::vector<ViewerEntry>& viewers, bool hasChevron);

// Lays the viewers out.
ViewLayoutResult ArrangeViewers(const ViewLayoutInput& input);

} // namespace dk
