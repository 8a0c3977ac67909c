#include "console/ChunkData.h"

#include <QHash>

#include <atomic>
#include <bit>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

struct LinkHash {
    size_t operator()(const TLinkChunkData& d) const {
        return qHashMulti(0, d.Name, d.Params, d.Hint, d.NotURL);
    }
};

struct FontHash {
    size_t operator()(const TFontChunkData& d) const {
        return qHashMulti(0, d.Face, d.AbsoluteSize, d.RelativeSize, d.Color, d.Background);
    }
};

// Slots in segments that double in size and never move, so that a slot can
// be read without the lock while a line holds its number.
template <typename Slot>
class Slots {
public:
    Slots() = default;
    Slots(const Slots&) = delete;
    Slots& operator=(const Slots&) = delete;
    ~Slots() {
        for (auto& segment : segments_) {
            delete[] segment.load();
        }
    }

    Slot& operator[](uint32_t id) const {
        int segment;
        uint32_t offset;
        Locate(id, segment, offset);
        return segments_[segment].load(std::memory_order_acquire)[offset];
    }
    uint32_t Size() const { return size_; }
    // Under the lock.
    uint32_t Grow() {
        int segment;
        uint32_t offset;
        Locate(size_, segment, offset);
        if (offset == 0) {
            segments_[segment].store(new Slot[kFirst << segment], std::memory_order_release);
        }
        return size_++;
    }

private:
    static constexpr uint32_t kFirst = 64;
    // Segment k holds kFirst << k slots, from kFirst * (2^k - 1) on.
    static void Locate(uint32_t id, int& segment, uint32_t& offset) {
        const uint32_t n = id / kFirst + 1;
        segment = std::bit_width(n) - 1;
        offset = id - kFirst * ((1u << segment) - 1);
    }

    std::atomic<Slot*> segments_[27] = {}; // enough for every 32-bit number
    uint32_t size_ = 0;
};

// Counted, shared entries; freed numbers are reused. The caller holds the
// lock, except for reading an entry that a line holds.
template <typename T, typename Hash>
class Pool {
public:
    uint32_t Acquire(const T& value) {
        const auto it = index_.find(value);
        if (it != index_.end()) {
            ++slots_[it->second].refs;
            return it->second;
        }
        uint32_t id;
        if (!free_.empty()) {
            id = free_.back();
            free_.pop_back();
        } else {
            id = slots_.Grow();
        }
        Slot& slot = slots_[id];
        slot.value = value;
        slot.refs = 1;
        index_.emplace(slot.value, id);
        return id;
    }

    void AddRef(uint32_t id) { ++slots_[id].refs; }

    void Release(uint32_t id) {
        Slot& slot = slots_[id];
        Q_ASSERT(slot.refs > 0);
        if (--slot.refs == 0) {
            index_.erase(slot.value);
            slot.value = T();
            free_.push_back(id);
        }
    }

    const T& Get(uint32_t id) const { return slots_[id].value; }
    int Count() const { return static_cast<int>(index_.size()); }

private:
    struct Slot {
        T value;
        uint32_t refs = 0;
    };
    Slots<Slot> slots_;
    std::vector<uint32_t> free_;
    std::unordered_map<T, uint32_t, Hash> index_;
};

struct Tables {
    std::mutex mutex;
    Pool<TLinkChunkData, LinkHash> links;
    Pool<TFontChunkData, FontHash> fonts;
};

// Never destroyed: lines may outlive every other static object.
Tables& SharedTables() {
    static auto* t = new Tables;
    return *t;
}

} // namespace

namespace chunkdata {

void Acquire(std::span<const TLinkChunkData* const> links, std::span<uint32_t> linkIds,
             std::span<const TFontChunkData* const> fonts, std::span<uint32_t> fontIds) {
    Tables& t = SharedTables();
    std::lock_guard lock(t.mutex);
    for (size_t i = 0; i < links.size(); ++i) {
        linkIds[i] = t.links.Acquire(*links[i]);
    }
    for (size_t i = 0; i < fonts.size(); ++i) {
        fontIds[i] = t.fonts.Acquire(*fonts[i]);
    }
}

void AddRefs(std::span<const uint32_t> linkIds, std::span<const uint32_t> fontIds) {
    Tables& t = SharedTables();
    std::lock_guard lock(t.mutex);
    for (const uint32_t id : linkIds) {
        t.links.AddRef(id);
    }
    for (const uint32_t id : fontIds) {
        t.fonts.AddRef(id);
    }
}

void Release(std::span<const uint32_t> linkIds, std::span<const uint32_t> fontIds) {
    Tables& t = SharedTables();
    std::lock_guard lock(t.mutex);
    for (const uint32_t id : linkIds) {
        t.links.Release(id);
    }
    for (const uint32_t id : fontIds) {
        t.fonts.Release(id);
    }
}

const TLinkChunkData& Link(uint32_t id) {
    return SharedTables().links.Get(id);
}

const TFontChunkData& Font(uint32_t id) {
    return SharedTables().fonts.Get(id);
}

int LinkCount() {
    Tables& t = SharedTables();
    std::lock_guard lock(t.mutex);
    return t.links.Count();
}

int FontCount() {
    Tables& t = SharedTables();
    std::lock_guard lock(t.mutex);
    return t.fonts.Count();
}

} // namespace chunkdata
