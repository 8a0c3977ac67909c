#pragma once
// The arithmetic of a dock's rows, apart from the widgets: which row each
// window ends in, where along the row it starts and how long it is.
//
// Stored rows may be anything (a hand-edited store, 2147483647, -5): rows are
// closed up by rank (the distinct rows in order become 0, 1, 2, ...), pushes
// saturate, and lengths and positions are worked out in 64 bits, so no input
// overflows or makes the arrangement loop.

#include <cstdint>
#include <vector>

enum TDkShrinkMode { dksmNone, dksmWrap, dksmChevron };

namespace dk {

// One window shown on the dock, in the dock's order (by row, then position).
struct DockRowWindow {
    int Row = 0;        // its DockRow
    int Pos = 0;        // its DockPos
    int FullLength = 0; // its length along the dock, frame included
    int MinLength = 0;  // how far it may shrink (not above FullLength)
    bool FullSize = false;
    bool Stretch = false;
    bool NewRowBefore = false; // the drag loop asks for a row of its own
    bool Dragged = false;
    TDkShrinkMode Shrink = dksmNone;
};

struct DockRowPlace {
    int Row = 0;
    int Pos = 0;
    int Length = 0;
};

struct DockRowResult {
    std::vector<DockRowPlace> Places; // one per window, in the input order
    int RowCount = 0;
    bool DraggedSqueezed = false; // the dragged window shares an overfull row
};

// Arranges the windows in rows of `rowLength`.
DockRowResult ArrangeDockRows(const std::vector<DockRowWindow>& windows, int rowLength,
                              bool limitToOneRow);

// Renumbers rows by rank: the distinct values in order become 0, 1, 2, ...
void CompactRowsByRank(std::vector<int>& rows);

// a + b without overflow: the result stops at the limits of int.
constexpr int SaturatingAdd(int a, int b) {
    const int64_t sum = static_cast<int64_t>(a) + b;
    return sum > INT32_MAX ? INT32_MAX : sum < INT32_MIN ? INT32_MIN : static_cast<int>(sum);
}

} // namespace dk
