#pragma once

#include <QByteArray>
#include <QString>

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace plat {

// One argument of Format. Integers remember whether they were 32 bits wide,
// because a negative 32-bit value formats in hexadecimal as eight digits.
class FormatArg {
public:
    enum class Kind { Signed, Unsigned, Text };

    template <std::integral T>
    FormatArg(T value) // NOLINT(google-explicit-constructor)
        : wide_(sizeof(T) > 4) {
        if constexpr (std::is_signed_v<T>) {
            kind_ = Kind::Signed;
            // A signed char argument is a number too, sign-extended as any other.
            signed_ = value; // NOLINT(bugprone-signed-char-misuse)
        } else {
            kind_ = Kind::Unsigned;
            unsigned_ = value;
        }
    }
    FormatArg(const char* text);        // UTF-8
    FormatArg(std::string_view text);   // UTF-8
    FormatArg(const std::string& text); // UTF-8
    FormatArg(const QString& text);
    FormatArg(QStringView text);
    FormatArg(const QByteArray& text); // 8-bit wire text, Windows-1252

    Kind ArgKind() const { return kind_; }
    bool Wide() const { return wide_; }
    int64_t AsSigned() const { return signed_; }
    uint64_t AsUnsigned() const { return unsigned_; }
    const QString& Text() const { return text_; }

private:
    Kind kind_ = Kind::Text;
    bool wide_ = false;
    int64_t signed_ = 0;
    uint64_t unsigned_ = 0;
    QString text_;
};

// Formats like the classic runtime's Format: "%" ["-"] [width] ["." precision] type,
// with the types d (decimal), u (unsigned decimal), x (hexadecimal, upper-case
// letters) and s (text), and "%%" for a percent sign. Precision is the minimum
// number of digits for d, u and x, and the maximum number of characters for s.
// A specifier that does not match its argument, or an unknown one, raises
// EConvertError "Format '%s' invalid or incompatible with argument"; a missing
// argument raises EConvertError "No argument for format '%s'".
QString FormatList(QStringView format, std::span<const FormatArg> args);

template <typename... Args>
QString Format(QStringView format, const Args&... args) {
    if constexpr (sizeof...(Args) == 0) {
        return FormatList(format, {});
    } else {
        const FormatArg list[] = {FormatArg(args)...};
        return FormatList(format, list);
    }
}

template <typename... Args>
QString Format(const char* format, const Args&... args) {
    return Format(QStringView(QString::fromUtf8(format)), args...);
}

// Upper-case hexadecimal with at least minDigits digits (zero padded), as "%.<n>x" gives.
QString HexUpper(uint64_t value, int minDigits = 1);

} // namespace plat
