#include "strings/FastStrings.h"

#include "platform/core/Cp1252.h"

#include <QtNumeric>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Case folding

using ByteTable = std::array<uint8_t, 256>;

// Upper case of every byte of the Windows-1252 code page.
constexpr ByteTable MakeUpperTable() {
    ByteTable table{};
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<uint8_t>(i);
    }
    for (int c = 'a'; c <= 'z'; ++c) {
        table[c] = static_cast<uint8_t>(c - 0x20);
    }
    for (int c = 0xE0; c <= 0xFE; ++c) {
        if (c != 0xF7) {
            table[c] = static_cast<uint8_t>(c - 0x20);
        }
    }
    table[0x9A] = 0x8A;
    table[0x9C] = 0x8C;
    table[0x9E] = 0x8E;
    table[0xFF] = 0x9F;
    return table;
}

constexpr ByteTable kUpper = MakeUpperTable();

char16_t CharOfByte(uint8_t byte) {
    const char raw = static_cast<char>(byte);
    return plat::FromCp1252(QByteArrayView(&raw, 1)).at(0).unicode();
}

// The upper-case table carried over to Unicode: a character of the code page
// folds to the character of its byte's upper case; others fold to themselves.
class CharFolding {
public:
    CharFolding() {
        for (char16_t u = 0; u < 256; ++u) {
            const int byte = plat::Cp1252Byte(u);
            latin_[u] = byte < 0 ? u : CharOfByte(kUpper[byte]);
        }
        for (int byte = 0x80; byte <= 0x9F; ++byte) {
            const char16_t u = CharOfByte(static_cast<uint8_t>(byte));
            if (u >= 256 && kUpper[byte] != byte) {
                high_.push_back({u, CharOfByte(kUpper[byte])});
            }
        }
    }

    char16_t operator()(char16_t c) const {
        if (c < 256) {
            return latin_[c];
        }
        for (const auto& [from, to] : high_) {
            if (from == c) {
                return to;
            }
        }
        return c;
    }

private:
    std::array<char16_t, 256> latin_{};
    std::vector<std::pair<char16_t, char16_t>> high_;
};

const CharFolding& Folding() {
    static const CharFolding folding;
    return folding;
}

struct NoFold {
    template <typename Unit>
    Unit operator()(Unit c) const {
        return c;
    }
};

struct ByteFold {
    char operator()(char c) const { return static_cast<char>(kUpper[static_cast<uint8_t>(c)]); }
};

struct CharFold {
    const CharFolding* folding = &Folding();
    char16_t operator()(char16_t c) const { return (*folding)(c); }
};

// Index of a unit in the skip table. Characters share the 256 entries by their
// low byte; an entry then holds the smallest shift of the characters sharing
// it, which never skips a match.
uint8_t SkipKey(char c) {
    return static_cast<uint8_t>(c);
}
uint8_t SkipKey(char16_t c) {
    return static_cast<uint8_t>(c & 0xFF);
}

// ---------------------------------------------------------------------------
// Searching

[[noreturn]] void AssertionFailed(int line) {
    std::string_view file = __FILE__;
    if (const auto slash = file.find_last_of("/\\"); slash != std::string_view::npos) {
        file.remove_prefix(slash + 1);
    }
    throw std::logic_error("Assertion failed: startPos >= 1 (" + std::string(file) + ", line " +
                           std::to_string(line) + ")");
}

// Boyer-Moore-Horspool search for one pattern.
template <typename Unit, typename Fold>
class Horspool {
public:
    Horspool(const Unit* pattern, qsizetype length, Fold fold)
        : pattern_(pattern, pattern + length), fold_(fold) {
        if (length == 0) {
            throw EFastStringsError(QStringLiteral("BufferLen is 0"));
        }
        for (Unit& c : pattern_) {
            c = fold_(c);
        }
        // A one-unit pattern keeps every entry at 1: its own unit never
        // needs a shift, because the window end is then a match.
        skip_.fill(length);
        for (qsizetype k = 0; k + 1 < length; ++k) {
            skip_[SkipKey(pattern_[k])] = length - 1 - k;
        }
    }

    // 0-based index of the first match starting at or after `from` in
    // source[0, length), or -1.
    qsizetype Find(const Unit* source, qsizetype length, qsizetype from) const {
        const qsizetype m = static_cast<qsizetype>(pattern_.size());
        if (from < 0 || from > length - m) {
            return -1;
        }
        for (qsizetype end = from + m - 1; end < length;) {
            qsizetype i = end;
            qsizetype j = m - 1;
            while (j >= 0 && fold_(source[i]) == pattern_[j]) {
                --i;
                --j;
            }
            if (j < 0) {
                return end - m + 1;
            }
            end += skip_[SkipKey(fold_(source[end]))];
        }
        return -1;
    }

private:
    std::vector<Unit> pattern_;
    std::array<qsizetype, 256> skip_{};
    Fold fold_;
};

template <typename Unit, typename Fold>
qsizetype SearchForward(const Unit* source, qsizetype length, const Unit* pattern,
                        qsizetype patternLength, qsizetype startPos, Fold fold) {
    if (startPos < 1) {
        AssertionFailed(__LINE__);
    }
    const Horspool<Unit, Fold> search(pattern, patternLength, fold);
    if (startPos > length) {
        return 0;
    }
    const qsizetype index = search.Find(source, length, startPos - 1);
    return index < 0 ? 0 : index + 1;
}

template <typename Unit, typename Fold>
qsizetype SearchBackward(const Unit* source, qsizetype length, const Unit* pattern,
                         qsizetype patternLength, qsizetype startPos, Fold fold) {
    if (patternLength < 1 || patternLength > length || startPos < 0) {
        return 0;
    }
    const qsizetype last = length - patternLength + 1;
    for (qsizetype pos = (startPos == 0 || startPos >= last) ? last : startPos; pos >= 1; --pos) {
        const Unit* at = source + (pos - 1);
        if (fold(at[0]) != fold(pattern[0])) {
            continue;
        }
        qsizetype k = patternLength - 1;
        while (k > 0 && fold(at[k]) == fold(pattern[k])) {
            --k;
        }
        if (k == 0) {
            return pos;
        }
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Replacing

void AppendUnits(QByteArray& out, const char* units, qsizetype count) {
    if (count > 0) {
        out.append(units, count);
    }
}

void AppendUnits(QString& out, const char16_t* units, qsizetype count) {
    if (count > 0) {
        out.append(reinterpret_cast<const QChar*>(units), count);
    }
}

template <typename Result, typename Unit, typename Fold>
Result Replace(const Unit* source, qsizetype length, const Unit* find, qsizetype findLength,
               const Unit* replace, qsizetype replaceLength, Fold fold) {
    Result out;
    if (length == 0) {
        return out;
    }
    if (findLength == 0) {
        AppendUnits(out, source, length);
        return out;
    }
    // Room for the source, or for every unit of it replaced when the
    // replacement is longer; the buffer grows beyond that as needed.
    qsizetype capacity = length;
    if (replaceLength > findLength && !qMulOverflow(length, replaceLength, &capacity)) {
        capacity /= findLength;
    }
    out.reserve(capacity);

    const Horspool<Unit, Fold> search(find, findLength, fold);
    qsizetype done = 0;
    while (length - done >= findLength) {
        const qsizetype at = search.Find(source, length, done);
        if (at < 0) {
            break;
        }
        AppendUnits(out, source + done, at - done);
        AppendUnits(out, replace, replaceLength);
        done = at + findLength;
    }
    AppendUnits(out, source + done, length - done);
    return out;
}

const char16_t* Units(QStringView text) {
    return text.utf16();
}
const char* Units(QByteArrayView bytes) {
    return bytes.data();
}

} // namespace

qsizetype FastPos(QByteArrayView source, QByteArrayView pattern, qsizetype startPos) {
    return SearchForward(Units(source), source.size(), Units(pattern), pattern.size(), startPos,
                         NoFold{});
}

qsizetype FastPos(QStringView source, QStringView pattern, qsizetype startPos) {
    return SearchForward(Units(source), source.size(), Units(pattern), pattern.size(), startPos,
                         NoFold{});
}

qsizetype FastPosNoCase(QByteArrayView source, QByteArrayView pattern, qsizetype startPos) {
    return SearchForward(Units(source), source.size(), Units(pattern), pattern.size(), startPos,
                         ByteFold{});
}

qsizetype FastPosNoCase(QStringView source, QStringView pattern, qsizetype startPos) {
    return SearchForward(Units(source), source.size(), Units(pattern), pattern.size(), startPos,
                         CharFold{});
}

qsizetype FastPosBack(QByteArrayView source, QByteArrayView pattern, qsizetype startPos) {
    return SearchBackward(Units(source), source.size(), Units(pattern), pattern.size(), startPos,
                          NoFold{});
}

qsizetype FastPosBack(QStringView source, QStringView pattern, qsizetype startPos) {
    return SearchBackward(Units(source), source.size(), Units(pattern), pattern.size(), startPos,
                          NoFold{});
}

qsizetype FastPosBackNoCase(QByteArrayView source, QByteArrayView pattern, qsizetype startPos) {
    return SearchBackward(Units(source), source.size(), Units(pattern), pattern.size(), startPos,
                          ByteFold{});
}

qsizetype FastPosBackNoCase(QStringView source, QStringView pattern, qsizetype startPos) {
    return SearchBackward(Units(source), source.size(), Units(pattern), pattern.size(), startPos,
                          CharFold{});
}

namespace {

template <typename View>
qsizetype Smart(View search, View source, bool caseSensitive, qsizetype startPos, bool forward) {
    if (caseSensitive) {
        return forward ? FastPos(source, search, startPos) : FastPosBack(source, search, startPos);
    }
    return forward ? FastPosNoCase(source, search, startPos)
                   : FastPosBackNoCase(source, search, startPos);
}

} // namespace

qsizetype SmartPos(QByteArrayView search, QByteArrayView source, bool caseSensitive,
                   qsizetype startPos, bool forward) {
    return Smart(search, source, caseSensitive, startPos, forward);
}

qsizetype SmartPos(QStringView search, QStringView source, bool caseSensitive, qsizetype startPos,
                   bool forward) {
    return Smart(search, source, caseSensitive, startPos, forward);
}

QByteArray FastReplace(QByteArrayView source, QByteArrayView find, QByteArrayView replace,
                       bool caseSensitive) {
    if (caseSensitive) {
        return Replace<QByteArray>(Units(source), source.size(), Units(find), find.size(),
                                   Units(replace), replace.size(), NoFold{});
    }
    return Replace<QByteArray>(Units(source), source.size(), Units(find), find.size(),
                               Units(replace), replace.size(), ByteFold{});
}

QString FastReplace(QStringView source, QStringView find, QStringView replace, bool caseSensitive) {
    if (caseSensitive) {
        return Replace<QString>(Units(source), source.size(), Units(find), find.size(),
                                Units(replace), replace.size(), NoFold{});
    }
    return Replace<QString>(Units(source), source.size(), Units(find), find.size(), Units(replace),
                            replace.size(), CharFold{});
}
