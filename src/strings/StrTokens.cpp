#include "strings/StrTokens.h"

#include "platform/core/Cp1252.h"

#include <atomic>
#include <utility>

namespace {

std::atomic<char16_t> gDelimiter{u','};

// Whether a unit of the text is the delimiter.
struct IsCharDelimiter {
    char16_t delimiter = gDelimiter.load(std::memory_order_relaxed);
    bool operator()(char16_t c) const { return c == delimiter; }
};

struct IsByteDelimiter {
    int delimiter = plat::Cp1252Byte(gDelimiter.load(std::memory_order_relaxed));
    bool operator()(char c) const { return static_cast<unsigned char>(c) == delimiter; }
};

template <typename Unit, typename IsDelimiter>
qsizetype StartOf(const Unit* text, qsizetype length, qsizetype n, IsDelimiter isDelimiter) {
    if (n < 1 || length == 0) {
        return 0;
    }
    if (n == 1) {
        return 1;
    }
    qsizetype seen = 0;
    for (qsizetype i = 0; i < length; ++i) {
        if (isDelimiter(text[i]) && ++seen == n - 1) {
            return i + 2;
        }
    }
    return 0;
}

// The token around `position` as [first, first + count), 0-based; count 0 when none.
template <typename Unit, typename IsDelimiter>
std::pair<qsizetype, qsizetype> TokenAt(const Unit* text, qsizetype length, qsizetype position,
                                        IsDelimiter isDelimiter) {
    if (position < 1 || position > length || isDelimiter(text[position - 1])) {
        return {0, 0};
    }
    qsizetype first = position - 1;
    while (first > 0 && !isDelimiter(text[first - 1])) {
        --first;
    }
    qsizetype last = position - 1;
    while (last + 1 < length && !isDelimiter(text[last + 1])) {
        ++last;
    }
    return {first, last - first + 1};
}

} // namespace

bool SetDelimiter(QChar delimiter) {
    if (delimiter.isNull()) {
        return false;
    }
    gDelimiter.store(delimiter.unicode(), std::memory_order_relaxed);
    return true;
}

qsizetype TokenStart(QStringView text, qsizetype n) {
    return StartOf(text.utf16(), text.size(), n, IsCharDelimiter{});
}

qsizetype TokenStart(QByteArrayView text, qsizetype n) {
    return StartOf(text.data(), text.size(), n, IsByteDelimiter{});
}

QString GetTokenAt(QStringView text, qsizetype position) {
    const auto [first, count] = TokenAt(text.utf16(), text.size(), position, IsCharDelimiter{});
    return text.sliced(first, count).toString();
}

QByteArray GetTokenAt(QByteArrayView text, qsizetype position) {
    const auto [first, count] = TokenAt(text.data(), text.size(), position, IsByteDelimiter{});
    return text.sliced(first, count).toByteArray();
}
