#include "console/LineIndex.h"

#include <bit>

namespace {

// Removed lines' slots are dropped once there are this many and they
// outnumber the lines kept.
constexpr int kCompactAfter = 64;

size_t LowBit(size_t i) {
    return i & (~i + 1);
}

} // namespace

void TLineIndex::Clear() {
    lines_.clear();
    extents_.clear();
    tree_.assign(1, 0);
    removed_ = 0;
    total_ = 0;
}

void TLineIndex::BuildTree() {
    tree_.assign(lines_.size() + 1, 0);
    for (size_t i = 1; i < tree_.size(); ++i) {
        tree_[i] += extents_[i - 1];
        const size_t parent = i + LowBit(i);
        if (parent < tree_.size()) {
            tree_[parent] += tree_[i];
        }
    }
}

int64_t TLineIndex::Prefix(size_t count) const {
    int64_t sum = 0;
    for (size_t i = count; i > 0; i -= LowBit(i)) {
        sum += tree_[i];
    }
    return sum;
}

void TLineIndex::Add(size_t slot, int64_t delta) {
    for (size_t i = slot + 1; i < tree_.size(); i += LowBit(i)) {
        tree_[i] += delta;
    }
}

void TLineIndex::Append(TMessageNode* line, int extent) {
    if (tree_.empty()) {
        tree_.assign(1, 0);
    }
    const size_t i = lines_.size() + 1; // its place in the tree
    line->IndexSlot = static_cast<int32_t>(lines_.size());
    lines_.push_back(line);
    extents_.push_back(extent);
    // The new node sums the slots it covers: those before it back to i - LowBit(i).
    tree_.push_back(extent + Prefix(i - 1) - Prefix(i - LowBit(i)));
    total_ += extent;
}

void TLineIndex::Remove(TMessageNode* line) {
    if (!Contains(line)) {
        return;
    }
    const auto slot = static_cast<size_t>(line->IndexSlot);
    Add(slot, -extents_[slot]);
    total_ -= extents_[slot];
    extents_[slot] = 0;
    lines_[slot] = nullptr;
    line->IndexSlot = -1;
    ++removed_;
    if (removed_ >= kCompactAfter && size_t(removed_) * 2 > lines_.size()) {
        Compact();
    }
}

void TLineIndex::Compact() {
    size_t kept = 0;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (TMessageNode* line = lines_[i]) {
            line->IndexSlot = static_cast<int32_t>(kept);
            lines_[kept] = line;
            extents_[kept] = extents_[i];
            ++kept;
        }
    }
    lines_.resize(kept);
    extents_.resize(kept);
    removed_ = 0;
    BuildTree();
}

void TLineIndex::SetExtent(TMessageNode* line, int extent) {
    if (!Contains(line)) {
        return;
    }
    const auto slot = static_cast<size_t>(line->IndexSlot);
    const int64_t delta = int64_t(extent) - extents_[slot];
    if (delta != 0) {
        Add(slot, delta);
        extents_[slot] = extent;
        total_ += delta;
    }
}

bool TLineIndex::Contains(const TMessageNode* line) const {
    return line && line->IndexSlot >= 0 && size_t(line->IndexSlot) < lines_.size() &&
           lines_[size_t(line->IndexSlot)] == line;
}

int64_t TLineIndex::Before(const TMessageNode* line) const {
    return Contains(line) ? Prefix(size_t(line->IndexSlot)) : 0;
}

TMessageNode* TLineIndex::LineAt(int64_t distance, int64_t* start) const {
    if (distance < 0 || distance >= total_) {
        return nullptr;
    }
    // Descends the tree: pos slots lie wholly above the distance.
    const size_t n = lines_.size();
    size_t pos = 0;
    int64_t rest = distance;
    for (size_t step = std::bit_floor(n); step > 0; step >>= 1) {
        if (pos + step <= n && tree_[pos + step] <= rest) {
            pos += step;
            rest -= tree_[pos];
        }
    }
    if (start) {
        *start = distance - rest;
    }
    return lines_[pos];
}
