#pragma once

#include <exception>
#include <functional>
#include <utility>

namespace plat {

// Where exceptions go that reach an entry point from the event loop (a slot,
// a timer, a socket notification). The application installs its handler; the
// default one writes the message to the debug log.
using ExceptionHandler = std::function<void(const std::exception&)>;

// Installs a handler and returns the one it replaced.
ExceptionHandler SetExceptionHandler(ExceptionHandler handler);
void HandleException(const std::exception& error) noexcept;
void HandleUnknownException() noexcept;

// Runs f and hands any exception to the installed handler, so that no
// exception unwinds through Qt's event loop.
template <typename F>
void guarded(F&& f) noexcept {
    try {
        std::forward<F>(f)();
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleUnknownException();
    }
}

} // namespace plat
