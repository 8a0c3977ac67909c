#pragma once

#include <utility>

namespace plat {

// A replaceable process-wide hook (a clock source, a message box handler, a
// service a test swaps for a fake) together with the scope that replaces it.
//
// Each hook is one instance of the template: T is what the hook holds, and Tag
// (any type, usually an incomplete struct declared for the purpose) keeps two
// hooks of the same T apart. The hook starts as T{}, which its reader takes as
// "not replaced". A ScopedOverride puts its value in for its lifetime and
// restores the previous one when it ends, so overrides nest and the innermost
// wins. Meant for the GUI thread (tests and start-up); it takes no lock.
template <typename T, typename Tag>
class ScopedOverride {
public:
    explicit ScopedOverride(T value) : previous_(std::exchange(Slot(), std::move(value))) {}
    ~ScopedOverride() { Slot() = std::move(previous_); }
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;

    // What the hook holds now: the innermost override, or T{}.
    static const T& Current() { return Slot(); }

private:
    static T& Slot() {
        static T slot{};
        return slot;
    }

    T previous_;
};

} // namespace plat
