#include "platform/core/Guarded.h"

#include "platform/core/Exception.h"

#include <QtGlobal>

namespace plat {

namespace {

ExceptionHandler& installed() {
    static ExceptionHandler handler;
    return handler;
}

} // namespace

ExceptionHandler SetExceptionHandler(ExceptionHandler handler) {
    return std::exchange(installed(), std::move(handler));
}

void HandleException(const std::exception& error) noexcept {
    try {
        if (const auto& handler = installed()) {
            handler(error);
        } else {
            qWarning("Unhandled exception: %s", error.what());
        }
    } catch (...) {
        // A handler that throws must not take the event loop down with it.
        qWarning("Exception handler failed while handling: %s", error.what());
    }
}

void HandleUnknownException() noexcept {
    HandleException(Exception(QStringLiteral("Unknown exception")));
}

} // namespace plat
