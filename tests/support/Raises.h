#pragma once
// What code raises, as text: the message of one call, or every exception that
// reaches the application's exception handler.

#include "platform/core/Exception.h"
#include "platform/core/Guarded.h"

#include <QStringList>

#include <utility>

// The message of the E that f raises, or "<no exception>". An exception of
// another class passes through and fails the test.
template <typename E = plat::Exception, typename F>
QString MessageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return QStringLiteral("<no exception>");
}

// Collects what reaches the application's exception handler while it lives:
// the message of the program's own exceptions ("EListError: ..." with
// withClass), what() of others. Puts the previous handler back at its end.
class ExceptionLog {
public:
    explicit ExceptionLog(bool withClass = false)
        : scope_([this, withClass](const std::exception& e) {
              const auto* own = dynamic_cast<const plat::Exception*>(&e);
              const QString prefix = own && withClass ? QString(own->ClassName()) + ": " : "";
              messages << prefix + (own ? own->Message() : QString::fromUtf8(e.what()));
          }) {}
    ExceptionLog(const ExceptionLog&) = delete;
    ExceptionLog& operator=(const ExceptionLog&) = delete;

    // The messages since the last call.
    QStringList Take() { return std::exchange(messages, {}); }

    QStringList messages;

private:
    plat::ScopedExceptionHandler scope_;
};
