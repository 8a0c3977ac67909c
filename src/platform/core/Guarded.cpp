#include "platform/core/Guarded.h"

#include "platform/core/Exception.h"

#include <QtGlobal>

namespace plat {

void HandleException(const std::exception& error) noexcept {
    try {
        // A copy: the handler may replace itself while it runs.
        if (const ExceptionHandler handler = ScopedExceptionHandler::Current()) {
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
