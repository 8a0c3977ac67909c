#pragma once

#include "console/ConsoleModel.h"

#include <cstdint>
#include <vector>

// Where the console's lines sit, oldest first: each line's extent (its height
// and the spacing above it) in a Fenwick tree, so that the line at a given
// distance from the top of all lines is found in logarithmic time, however
// many lines there are, and stays cheap to keep as lines are added at the
// bottom and trimmed at the top. A line inserted elsewhere, or new extents for
// all lines at once, call for a rebuild from the list.
class TLineIndex {
public:
    TLineIndex() = default;
    TLineIndex(const TLineIndex&) = delete;
    TLineIndex& operator=(const TLineIndex&) = delete;

    // Forgets every line (their slots are not touched: they are gone).
    void Clear();
    // Takes the lines from the oldest on, through their Next links.
    template <typename ExtentOf>
    void Rebuild(TMessageNode* oldest, ExtentOf&& extentOf);
    // A new newest line.
    void Append(TMessageNode* line, int extent);
    // Takes a line out; its extent counts no more.
    void Remove(TMessageNode* line);
    void SetExtent(TMessageNode* line, int extent);

    bool Contains(const TMessageNode* line) const;
    int Count() const { return static_cast<int>(lines_.size()) - removed_; }
    int64_t Total() const { return total_; }
    // The sum of the extents of the lines older than the line.
    int64_t Before(const TMessageNode* line) const;
    // The line whose extent covers the distance from the top of all lines,
    // and where that extent starts; null when the distance is negative or
    // not below the total. Lines of no extent are never found.
    TMessageNode* LineAt(int64_t distance, int64_t* start = nullptr) const;

private:
    int64_t Prefix(size_t count) const; // sum of the first count slots
    void Add(size_t slot, int64_t delta);
    void BuildTree();
    void Compact();

    std::vector<TMessageNode*> lines_; // null: a removed line's slot
    std::vector<int32_t> extents_;
    std::vector<int64_t> tree_; // Fenwick sums over extents_, 1-based
    int removed_ = 0;           // slots of removed lines
    int64_t total_ = 0;
};

template <typename ExtentOf>
void TLineIndex::Rebuild(TMessageNode* oldest, ExtentOf&& extentOf) {
    lines_.clear();
    extents_.clear();
    removed_ = 0;
    total_ = 0;
    for (TMessageNode* line = oldest; line; line = line->Next) {
        line->IndexSlot = static_cast<int32_t>(lines_.size());
        lines_.push_back(line);
        extents_.push_back(extentOf(*line));
        total_ += extents_.back();
    }
    BuildTree();
}
