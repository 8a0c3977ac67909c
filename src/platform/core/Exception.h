#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace plat {

// Base of every exception the program raises. Carries an English message,
// shown to the user or written to the error log as it stands.
class Exception : public std::exception {
public:
    explicit Exception(QString message);

    const QString& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }
    // Class name as shown in messages such as "Object of class %s ...".
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    QString message_;
    QByteArray utf8_;
};

// A class name cannot stand in parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define PLAT_DECLARE_EXCEPTION(Name, Base)                                                         \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
        const char* ClassName() const noexcept override { return #Name; }                          \
    }
// NOLINTEND(bugprone-macro-parentheses)

// A value could not be converted (number parsing, assignment between classes,
// a format string that does not match its arguments).
PLAT_DECLARE_EXCEPTION(EConvertError, Exception);
// An index outside a list: "List index out of bounds (%d)".
PLAT_DECLARE_EXCEPTION(EListError, Exception);
// A stream could not deliver the bytes asked for.
PLAT_DECLARE_EXCEPTION(EReadError, Exception);
// A stream or socket refused bytes.
PLAT_DECLARE_EXCEPTION(EWriteError, Exception);
// Integer arithmetic that has no result (division by zero).
PLAT_DECLARE_EXCEPTION(EMathError, Exception);
// A socket reported an error nobody handled.
PLAT_DECLARE_EXCEPTION(ESocketError, Exception);

// Raises EListError with the list's standard message for a bad index.
[[noreturn]] void ThrowListIndexError(qsizetype index);

} // namespace plat
