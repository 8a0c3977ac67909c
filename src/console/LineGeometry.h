#pragma once

#include "console/ConsoleModel.h"

#include <QGlyphRun>
#include <QList>
#include <QVarLengthArray>

#include <cstdint>
#include <vector>

// Per chunk of a laid-out line: what a measure found (enough to lay the line
// out again at another width without reading its chunks) and what the last
// placing pass found.
struct TPieceState {
    int32_t Width = -1; // text width (-1: never measured), or a column's spot
    int16_t Height = 0; // height of text in the font in force at the chunk
    TChunkKind Kind = ckText;
    bool Selected : 1 = false;    // inside the selection being dragged
    bool WrapDropped : 1 = false; // a space dropped at a wrap
};

// The glyphs a piece of text was last drawn with, and the font (its cache
// serial) they were shaped in.
struct TShapedPiece {
    QList<QGlyphRun> Runs;
    uint32_t Font = 0; // 0: none
};

// What laying a line out finds beyond its height: row heights, text widths
// and selection marks; and what drawing it found: the shaped text.
struct TLineGeometry {
    uint32_t LayoutStamp = 0;     // the layout RowHeights belong to (0: none)
    uint32_t WidthGeneration = 0; // the fonts the widths were measured with (0: none)
    uint32_t TapeStamp = 0;       // the settings the pieces were all measured under (0: none)
    uint32_t ShapeGeneration = 0; // the fonts and timestamp text Shapes belong to (0: none)
    bool WidthsStale = true;      // the next measure finds every width again
    int RowWidth = 0;             // largest x any row reached
    bool Wrapped = false;         // some row was too narrow for what followed
    QVarLengthArray<int, 4> RowHeights;
    std::vector<TPieceState> Pieces;  // one per chunk
    std::vector<TShapedPiece> Shapes; // one per chunk once the line is drawn

    // Forgets everything and makes room for a line of `chunks` chunks.
    void Reset(int chunks);
    // Forgets the widths, keeping the room. The shaped text stays: each
    // piece knows the font it was shaped in.
    void ForgetWidths() {
        WidthGeneration = 0;
        TapeStamp = 0;
        WidthsStale = true;
    }
};

// Geometry of a bounded number of lines: the lines painted, hovered or added
// lately. Every other line keeps only its height; its geometry is measured
// again when it comes back into view. When full, a clock hand picks a line
// not used since it last passed (never one used in the current pass).
class TGeometryCache {
public:
    explicit TGeometryCache(int budget) : budget_(budget) {}
    TGeometryCache(const TGeometryCache&) = delete;
    TGeometryCache& operator=(const TGeometryCache&) = delete;

    // The line's geometry, or null; Find counts as a use, Peek does not.
    TLineGeometry* Find(const TMessageNode& line);
    TLineGeometry* Peek(const TMessageNode& line) {
        return line.GeometrySlot < 0 ? nullptr : &slots_[size_t(line.GeometrySlot)].geometry;
    }
    // The line's geometry, made (empty) when it has none.
    TLineGeometry& Acquire(TMessageNode& line);
    void Release(TMessageNode& line);
    // Drops every entry without touching the lines (they are gone).
    void Forget();
    // Lines acquired or found from now on stay until the next pass begins.
    void BeginPass() { ++pass_; }

    template <typename F>
    void ForEach(F&& f) {
        for (Slot& s : slots_) {
            if (s.owner) {
                f(s.geometry);
            }
        }
    }
    int Count() const { return static_cast<int>(slots_.size() - free_.size()); }
    int Budget() const { return budget_; }

private:
    struct Slot {
        TMessageNode* owner = nullptr;
        TLineGeometry geometry;
        bool referenced = false;
        uint64_t pass = 0;
    };
    int Victim();

    int budget_;
    std::vector<Slot> slots_;
    std::vector<int> free_;
    size_t hand_ = 0;
    uint64_t pass_ = 1;
};
