#include "platform/core/Convert.h"

#include "platform/core/Exception.h"

#include <limits>
#include <type_traits>

namespace plat {

namespace {

// Parses into an unsigned magnitude bounded by `limit`; returns nullopt on any
// malformed text. `negative` and `hex` report what was found.
std::optional<uint64_t> ParseMagnitude(QStringView s, uint64_t limit, bool& negative, bool& hex) {
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && s[i] == QLatin1Char(' ')) {
        ++i;
    }
    negative = false;
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    hex = false;
    if (i < n && s[i] == QLatin1Char('$')) {
        hex = true;
        ++i;
    } else if (i < n && (s[i] == QLatin1Char('x') || s[i] == QLatin1Char('X'))) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == QLatin1Char('0') &&
               (s[i + 1] == QLatin1Char('x') || s[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    if (i >= n) {
        return std::nullopt;
    }
    const unsigned base = hex ? 16 : 10;
    uint64_t value = 0;
    for (; i < n; ++i) {
        const char16_t c = s[i].unicode();
        unsigned digit;
        if (c >= u'0' && c <= u'9') {
            digit = c - u'0';
        } else if (hex && c >= u'a' && c <= u'f') {
            digit = c - u'a' + 10;
        } else if (hex && c >= u'A' && c <= u'F') {
            digit = c - u'A' + 10;
        } else {
            return std::nullopt;
        }
        if (value > (limit - digit) / base) {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    return value;
}

template <typename T>
std::optional<T> TryParse(QStringView text) {
    using U = std::make_unsigned_t<T>;
    bool negative = false;
    bool hex = false;
    // Hexadecimal may use the whole unsigned range; decimal only up to the
    // magnitude of the most negative value.
    const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<U>::max());
    const auto magnitude = ParseMagnitude(text, limit, negative, hex);
    if (!magnitude) {
        return std::nullopt;
    }
    if (hex) {
        const U bits = static_cast<U>(negative ? U(0) - static_cast<U>(*magnitude)
                                               : static_cast<U>(*magnitude));
        return static_cast<T>(bits);
    }
    const uint64_t maxPositive = static_cast<uint64_t>(std::numeric_limits<T>::max());
    if (negative) {
        if (*magnitude > maxPositive + 1) {
            return std::nullopt;
        }
        return static_cast<T>(U(0) - static_cast<U>(*magnitude));
    }
    if (*magnitude > maxPositive) {
        return std::nullopt;
    }
    return static_cast<T>(*magnitude);
}

[[noreturn]] void NotAnInteger(QStringView text) {
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text.toString()));
}

} // namespace

std::optional<int32_t> TryStrToInt(QStringView text) {
    return TryParse<int32_t>(text);
}
std::optional<int64_t> TryStrToInt64(QStringView text) {
    return TryParse<int64_t>(text);
}

int32_t StrToInt(QStringView text) {
    if (const auto v = TryStrToInt(text)) {
        return *v;
    }
    NotAnInteger(text);
}

int64_t StrToInt64(QStringView text) {
    if (const auto v = TryStrToInt64(text)) {
        return *v;
    }
    NotAnInteger(text);
}

} // namespace plat
