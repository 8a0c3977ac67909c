#pragma once
// Where the panels of a status bar go: which ones the bar has room for, which
// ones take the room left over, and their rectangles from left to right.

#include "platform/gui/Rect.h"

#include <span>
#include <vector>

namespace dk {

// What the layout reads of a panel.
struct StatusPanelSpec {
    int Size = 50;
    int ViewPriority = 100;  // 0 hides the panel; below 100 it may be hidden
    int StretchPriority = 0; // 0 never takes spare room
    int MaxSize = 0;         // 0: no limit to stretching
};

// Where a panel went.
struct StatusPanelPlace {
    plat::TRect Rect; // empty when hidden
    int Width = 0;
    bool Visible = false;
    bool Last = false; // ends exactly at the right end of the content
};

// Lays the panels out in `content` (the bar's client rectangle without its
// top two pixels):
// 1. panels of ViewPriority 0 are hidden; the others take their Size;
// 2. while their sum is wider than the content and more than one is left,
//    the one of lowest ViewPriority goes, unless its priority is 100 (the
//    order among equal priorities is the kit's quicksort's);
// 3. spare room goes to the panels of nonzero StretchPriority, highest
//    first, each taking what is left; a panel with a MaxSize never grows
//    beyond MaxSize, or beyond its Size when that is larger already;
// 4. the visible panels are placed from the left in their order; one that
//    would start at or beyond the right end is hidden.
// Negative sizes count as 0.
std::vector<StatusPanelPlace> LayoutStatusPanels(std::span<const StatusPanelSpec> panels,
                                                 const plat::TRect& content);

} // namespace dk
