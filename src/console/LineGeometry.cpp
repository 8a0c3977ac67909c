#include "console/LineGeometry.h"

namespace {

// A slot that held a very long line gives its room back when reused.
constexpr size_t kKeptPieces = 1024;

} // namespace

void TLineGeometry::Reset(int chunks) {
    LayoutStamp = 0;
    WidthGeneration = 0;
    TapeStamp = 0;
    WidthsStale = true;
    RowWidth = 0;
    Wrapped = false;
    RowHeights.clear();
    ShapeGeneration = 0;
    Shapes.clear();
    const auto n = static_cast<size_t>(chunks);
    if (Pieces.capacity() > kKeptPieces && Pieces.capacity() > 4 * n) {
        std::vector<TPieceState>().swap(Pieces);
    }
    Pieces.assign(n, TPieceState());
}

TLineGeometry* TGeometryCache::Find(const TMessageNode& line) {
    if (line.GeometrySlot < 0) {
        return nullptr;
    }
    Slot& s = slots_[static_cast<size_t>(line.GeometrySlot)];
    s.referenced = true;
    s.pass = pass_;
    return &s.geometry;
}

TLineGeometry& TGeometryCache::Acquire(TMessageNode& line) {
    if (TLineGeometry* g = Find(line)) {
        return *g;
    }
    int index = -1;
    if (!free_.empty()) {
        index = free_.back();
        free_.pop_back();
    } else if (static_cast<int>(slots_.size()) >= budget_) {
        index = Victim();
    }
    if (index < 0) {
        index = static_cast<int>(slots_.size());
        slots_.emplace_back();
    }
    Slot& s = slots_[static_cast<size_t>(index)];
    if (s.owner) {
        s.owner->GeometrySlot = -1;
    }
    s.owner = &line;
    s.referenced = true;
    s.pass = pass_;
    s.geometry.Reset(line.Chunks.Chunks.Size());
    line.GeometrySlot = index;
    return s.geometry;
}

int TGeometryCache::Victim() {
    // Two turns of the hand: the first clears the marks it passes.
    for (size_t step = 0; step < 2 * slots_.size(); ++step) {
        const size_t i = hand_;
        hand_ = (hand_ + 1) % slots_.size();
        Slot& s = slots_[i];
        if (s.pass == pass_) {
            continue;
        }
        if (s.referenced) {
            s.referenced = false;
            continue;
        }
        return static_cast<int>(i);
    }
    return -1; // every line is in use by this pass: grow
}

void TGeometryCache::Release(TMessageNode& line) {
    if (line.GeometrySlot < 0) {
        return;
    }
    Slot& s = slots_[static_cast<size_t>(line.GeometrySlot)];
    s.owner = nullptr;
    s.geometry.Reset(0);
    free_.push_back(line.GeometrySlot);
    line.GeometrySlot = -1;
}

void TGeometryCache::Forget() {
    slots_.clear();
    free_.clear();
    hand_ = 0;
}
