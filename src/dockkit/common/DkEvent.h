#pragma once
// An event handler that can be compared: a callable together with an identity
// (the object and handler it stands for). Two handlers are the same when both
// carry the same non-null identity; handlers without one never equal another.
// Items compare their click handler with their action's handler this way.

#include <functional>
#include <utility>

namespace dk {

template <typename... Args>
class TDkEvent {
public:
    TDkEvent() = default;
    TDkEvent(std::nullptr_t) {} // NOLINT(google-explicit-constructor): clears like a null pointer
    template <typename F>
    requires std::is_invocable_v<F&, Args...> &&(!std::is_same_v<std::decay_t<F>, TDkEvent>)
        TDkEvent(F f, const void* identity = nullptr) // NOLINT(google-explicit-constructor)
        : fn_(std::move(f)), identity_(identity) {}

    explicit operator bool() const { return static_cast<bool>(fn_); }
    void operator()(Args... args) const {
        if (fn_) {
            fn_(std::forward<Args>(args)...);
        }
    }
    const void* Identity() const { return identity_; }
    bool SameAs(const TDkEvent& other) const {
        return fn_ && other.fn_ && identity_ != nullptr && identity_ == other.identity_;
    }

private:
    std::function<void(Args...)> fn_;
    const void* identity_ = nullptr;
};

} // namespace dk
