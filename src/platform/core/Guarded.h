#pragma once

#include "platform/core/ScopedOverride.h"

#include <QMetaObject>
#include <QObject>

#include <cstddef>
#include <exception>
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>

namespace plat {

// Where exceptions go that reach an entry point from the event loop (a slot,
// a timer, a socket notification). The program's body installs its handler
// for its lifetime, tests their own for theirs; without one the message goes
// to the debug log.
using ExceptionHandler = std::function<void(const std::exception&)>;
struct ExceptionHandlerTag;
using ScopedExceptionHandler = ScopedOverride<ExceptionHandler, ExceptionHandlerTag>;

void HandleException(const std::exception& error) noexcept;
void HandleUnknownException() noexcept;

// Runs f and hands any exception to the installed handler, so that no
// exception unwinds through Qt's event loop.
template <typename F>
void Guarded(F&& f) noexcept {
    try {
        std::forward<F>(f)();
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleUnknownException();
    }
}

namespace detail {

template <typename F, typename Tuple, std::size_t... I>
constexpr bool InvocableWithFirst(std::index_sequence<I...>) {
    return std::is_invocable_v<F&, std::tuple_element_t<I, Tuple>...>;
}

// Calls f with as many of the leading arguments as it takes, as a slot is.
template <std::size_t N, typename F, typename Tuple>
void CallWithLeading(F& f, Tuple& args) {
    if constexpr (InvocableWithFirst<F, Tuple>(std::make_index_sequence<N>{})) {
        [&]<std::size_t... I>(std::index_sequence<I...>) {
            std::invoke(f, std::get<I>(args)...);
        }
        (std::make_index_sequence<N>{});
    } else if constexpr (N == 0) {
        static_assert(N != 0, "the callable takes no leading part of the signal's arguments");
    } else {
        CallWithLeading<N - 1>(f, args);
    }
}

} // namespace detail

// Connects a signal to a callable that runs inside Guarded(); the callable
// takes the signal's arguments, a leading part of them or none. The
// connection ends with the context object.
template <typename Sender, typename Signal, typename F>
QMetaObject::Connection ConnectGuarded(const Sender* sender, Signal signal, const QObject* context,
                                       F&& f, Qt::ConnectionType type = Qt::AutoConnection) {
    return QObject::connect(
        sender, signal, context,
        [f = std::forward<F>(f)](const auto&... args) mutable {
            Guarded([&] {
                auto tuple = std::forward_as_tuple(args...);
                detail::CallWithLeading<sizeof...(args)>(f, tuple);
            });
        },
        type);
}

} // namespace plat
