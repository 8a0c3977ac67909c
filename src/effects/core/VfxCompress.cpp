#include "effects/core/VfxCompress.h"

#include "platform/core/Exception.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace fx {

namespace {

constexpr uint8_t kStored = 0x80;
constexpr uint8_t kCompressed = 0x40;
constexpr qsizetype kWindow = 4096; // a match lies less than this far back
constexpr qsizetype kMinMatch = 3;
constexpr qsizetype kMaxMatch = 18;
constexpr qsizetype kMinRun = 16;
constexpr qsizetype kMaxRun = 4111; // 15 * 256 + 255 + 16

[[noreturn]] void Damaged() {
    throw plat::EReadError(QStringLiteral("Stream read error"));
}

inline uint32_t Hash3(const uint8_t* p) {
    const uint32_t key = (((uint32_t(p[0]) << 4) ^ p[1]) << 4) ^ p[2];
    return ((key * 40543u) >> 4) & 0xFFF;
}

// The number of bytes equal to p[0] from p on, at most limit (at least 1).
inline qsizetype RunLength(const uint8_t* p, qsizetype limit) {
    qsizetype run = 1;
    while (run < limit && p[run] == p[0]) {
        ++run;
    }
    return run;
}

// For each hash of three bytes, the last position whose bytes had it (-1 for
// none): where a match is looked for.
using MatchTable = std::array<qsizetype, 4096>;

// The length of the match at x with the last position of the same hash, 0
// when there is none within the window; records x as that hash's position.
inline qsizetype MatchLength(const uint8_t* src, qsizetype x, qsizetype n, MatchTable& table,
                             qsizetype& offset) {
    if (n - x < kMinMatch) {
        return 0;
    }
    const uint32_t h = Hash3(src + x);
    const qsizetype candidate = table[h];
    table[h] = x;
    offset = x - candidate;
    if (candidate < 0 || offset >= kWindow) {
        return 0;
    }
    const qsizetype limit = std::min(kMaxMatch, n - x);
    const uint8_t* a = src + x;
    const uint8_t* c = src + candidate;
    qsizetype length = 0;
    while (length < limit && a[length] == c[length]) {
        ++length;
    }
    return length;
}

// Encodes one item at x: a run, a match or a literal byte. Moves x and y on
// and returns the item's control bit (1 for a run or a match).
inline uint32_t EncodeItem(const uint8_t* src, qsizetype n, MatchTable& table, qsizetype& x,
                           uint8_t* out, qsizetype& y) {
    const uint8_t b = src[x];
    const qsizetype run = RunLength(src + x, std::min(kMaxRun, n - x));
    if (run >= kMinRun) {
        const qsizetype count = run - kMinRun;
        out[y] = 0;
        out[y + 1] = uint8_t(count >> 8);
        out[y + 2] = uint8_t(count);
        out[y + 3] = b;
        y += 4;
        x += run;
        return 1;
    }
    qsizetype offset = 0;
    const qsizetype length = MatchLength(src, x, n, table, offset);
    if (length >= kMinMatch) {
        const uint32_t key = uint32_t(offset << 4) | uint32_t(length - kMinMatch);
        out[y] = uint8_t(key >> 8);
        out[y + 1] = uint8_t(key);
        y += 2;
        x += length;
        return 1;
    }
    out[y++] = b;
    ++x;
    return 0;
}

} // namespace

qsizetype VfxCompressBlock(const uint8_t* src, qsizetype n, uint8_t* out) {
    MatchTable table;
    table.fill(-1);

    out[0] = kCompressed;
    qsizetype x = 0;     // next source byte
    qsizetype y = 3;     // next output byte
    qsizetype ctlAt = 1; // where the current control word goes
    uint32_t ctl = 0;
    int bit = 0;
    // Stop as soon as the output is as long as the source: it will be stored.
    // An iteration adds at most 6 bytes, so y stays below n + 7.
    while (x < n && y <= n) {
        if (bit == 16) {
            out[ctlAt] = uint8_t(ctl >> 8);
            out[ctlAt + 1] = uint8_t(ctl);
            ctlAt = y;
            y += 2;
            bit = 0;
            ctl = 0;
        }
        ctl = (ctl << 1) | EncodeItem(src, n, table, x, out, y);
        ++bit;
    }
    if (y > n) {
        out[0] = kStored;
        if (n > 0) {
            std::memcpy(out + 1, src, size_t(n));
        }
        return n + 1;
    }
    ctl <<= (16 - bit);
    out[ctlAt] = uint8_t(ctl >> 8);
    out[ctlAt + 1] = uint8_t(ctl);
    return y;
}

QByteArray VfxCompressBlock(QByteArrayView source) {
    QByteArray out(VfxCompressBound(source.size()), Qt::Uninitialized);
    const qsizetype length =
        VfxCompressBlock(reinterpret_cast<const uint8_t*>(source.data()), source.size(),
                         reinterpret_cast<uint8_t*>(out.data()));
    out.truncate(length);
    return out;
}

namespace {

// Where an expansion stands: the block read up to x, the output written up to o.
struct TExpansion {
    const uint8_t* block;
    qsizetype length;
    qsizetype x;
    uint8_t* out;
    qsizetype o;
    qsizetype capacity;
};

// A run item: a count of at least kMinRun copies of one byte.
inline void ExpandRun(TExpansion& e, uint32_t b1) {
    if (e.length - e.x < 4) {
        Damaged();
    }
    const qsizetype count = qsizetype(b1) * 256 + e.block[e.x + 2] + kMinRun;
    if (count > e.capacity - e.o) {
        Damaged();
    }
    std::memset(e.out + e.o, e.block[e.x + 3], size_t(count));
    e.o += count;
    e.x += 4;
}

// A match item: bytes copied from offset bytes back in the output, which may
// overlap what is being written.
inline void ExpandMatch(TExpansion& e, qsizetype offset, uint32_t b1) {
    const qsizetype count = qsizetype(b1 & 15) + kMinMatch;
    if (offset > e.o || count > e.capacity - e.o) {
        Damaged();
    }
    uint8_t* to = e.out + e.o;
    const uint8_t* from = to - offset;
    if (offset >= count) {
        std::memcpy(to, from, size_t(count));
    } else {
        for (qsizetype i = 0; i < count; ++i) {
            to[i] = from[i];
        }
    }
    e.o += count;
    e.x += 2;
}

// An item whose control bit is set: a run when its offset is 0, else a match.
inline void ExpandCopyItem(TExpansion& e) {
    if (e.length - e.x < 2) {
        Damaged();
    }
    const uint32_t b1 = e.block[e.x + 1];
    const qsizetype offset = qsizetype(e.block[e.x]) * 16 + (b1 >> 4);
    if (offset == 0) {
        ExpandRun(e, b1);
    } else {
        ExpandMatch(e, offset, b1);
    }
}

qsizetype ExpandStored(const uint8_t* block, qsizetype length, uint8_t* out, qsizetype capacity) {
    if (length - 1 > capacity) {
        Damaged();
    }
    if (length > 1) {
        std::memcpy(out, block + 1, size_t(length - 1));
    }
    return length - 1;
}

} // namespace

qsizetype VfxExpandBlock(const uint8_t* block, qsizetype length, uint8_t* out, qsizetype capacity) {
    if (length <= 0) {
        Damaged();
    }
    if (block[0] == kStored) {
        return ExpandStored(block, length, out, capacity);
    }
    if (block[0] != kCompressed) {
        Damaged();
    }
    TExpansion e{block, length, 1, out, 0, capacity};
    uint32_t ctl = 0;
    int bits = 0;
    while (e.x < length) {
        if (bits == 0) {
            if (length - e.x < 2) {
                Damaged();
            }
            ctl = (uint32_t(block[e.x]) << 8) | block[e.x + 1];
            e.x += 2;
            bits = 16;
            if (e.x == length) {
                break; // a control word with no items after it
            }
        }
        if ((ctl & 0x8000) == 0) {
            if (e.o == capacity) {
                Damaged();
            }
            out[e.o++] = block[e.x++];
        } else {
            ExpandCopyItem(e);
        }
        ctl <<= 1;
        --bits;
    }
    return e.o;
}

QByteArray VfxExpandBlock(QByteArrayView block, qsizetype capacity) {
    QByteArray out(capacity, Qt::Uninitialized);
    const qsizetype n = VfxExpandBlock(reinterpret_cast<const uint8_t*>(block.data()), block.size(),
                                       reinterpret_cast<uint8_t*>(out.data()), capacity);
    out.truncate(n);
    return out;
}

} // namespace fx
