#pragma once

#include <QtGlobal>

#include <cstddef>
#include <utility>
#include <vector>

// A hash index kept in one flat array (open addressing, linear probing), so
// that a lookup in a large list usually reads a single slot: the engine's
// lists look up a name or an identifier for every message received. Each slot
// holds the hash and a small payload (a position, or the value itself).
// Different keys may share a hash: lookups hand the payloads stored under the
// hash to the caller, who compares the keys.
template <typename Payload>
class TFlatIndex {
public:
    // The first payload under hash for which matches(payload) holds, or null.
    // Valid until the next change.
    template <typename Matches>
    Payload* Find(size_t hash, Matches&& matches) {
        const size_t i = FindSlot(hash, matches);
        return i == kNone ? nullptr : &slots_[i].payload;
    }
    template <typename Matches>
    const Payload* Find(size_t hash, Matches&& matches) const {
        return const_cast<TFlatIndex*>(this)->Find(hash, std::forward<Matches>(matches));
    }

    void Insert(size_t hash, Payload payload) {
        if ((count_ + 1) * 2 > slots_.size()) {
            Rehash(slots_.empty() ? 16 : slots_.size() * 2);
        }
        Place(hash, std::move(payload));
        ++count_;
    }

    // Removes the first payload under hash that matches; false when none does.
    template <typename Matches>
    bool Erase(size_t hash, Matches&& matches) {
        size_t gap = FindSlot(hash, matches);
        if (gap == kNone) {
            return false;
        }
        // Backward shift: later slots of the probe run move up into the gap,
        // so that no lookup stops early at it.
        for (size_t i = (gap + 1) & mask_; slots_[i].used; i = (i + 1) & mask_) {
            const size_t home = slots_[i].hash & mask_;
            // The slot may fill the gap when its home is not between the gap and it.
            if (((i - home) & mask_) >= ((i - gap) & mask_)) {
                slots_[gap] = std::move(slots_[i]);
                gap = i;
            }
        }
        slots_[gap] = Slot{};
        --count_;
        return true;
    }

    // Runs f on every payload (in no particular order); f may change them.
    template <typename F>
    void ForEach(F&& f) {
        for (Slot& slot : slots_) {
            if (slot.used) {
                f(slot.payload);
            }
        }
    }

    void Clear() {
        slots_.clear();
        mask_ = 0;
        count_ = 0;
    }

private:
    static constexpr size_t kNone = ~size_t{0};

    struct Slot {
        size_t hash = 0;
        Payload payload{};
        bool used = false;
    };

    template <typename Matches>
    size_t FindSlot(size_t hash, Matches& matches) const {
        if (slots_.empty()) {
            return kNone;
        }
        for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if (!slot.used) {
                return kNone;
            }
            if (slot.hash == hash && matches(slot.payload)) {
                return i;
            }
        }
    }

    void Place(size_t hash, Payload payload) {
        size_t i = hash & mask_;
        while (slots_[i].used) {
            i = (i + 1) & mask_;
        }
        slots_[i] = Slot{hash, std::move(payload), true};
    }

    void Rehash(size_t size) {
        std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(size));
        mask_ = size - 1;
        for (Slot& slot : old) {
            if (slot.used) {
                Place(slot.hash, std::move(slot.payload));
            }
        }
    }

    std::vector<Slot> slots_; // a power of two long, at most half full
    size_t mask_ = 0;
    size_t count_ = 0;
};
