#include "engine/BigInt.h"

#include "platform/core/Convert.h"
#include "platform/core/Exception.h"
#include "platform/core/Format.h"

#include <algorithm>

namespace {

using LimbVec = std::vector<uint32_t>;

constexpr uint64_t kBase = TBigInt::Base;
// The largest power of 16 below the base: ToHex emits seven digits per division.
constexpr uint32_t kHexChunk = 0x10000000;
constexpr int kHexChunkDigits = 7;

// Scratch buffers of the arithmetic, kept per thread so that repeated
// operations (a modular exponentiation) allocate only while they grow.
struct Scratch {
    std::vector<uint64_t> columns;
    LimbVec dividend;
    LimbVec divisor;
    LimbVec quotient;
};

Scratch& ThreadScratch() {
    thread_local Scratch s;
    return s;
}

void DropLeadingZeros(LimbVec& a) {
    while (a.size() > 1 && a.back() == 0) {
        a.pop_back();
    }
}

// Brings every position of a product below the base, carrying upward. The
// product fits its positions, so nothing carries out of the top.
void PropagateCarries(std::vector<uint64_t>& columns) {
    uint64_t carry = 0;
    for (uint64_t& c : columns) {
        const uint64_t cur = c + carry;
        carry = cur / kBase;
        c = cur - carry * kBase;
    }
}

// a := a div d for a one-limb divisor d > 0; returns a mod d. Leading zero
// limbs of the quotient are dropped.
uint32_t DivideShort(LimbVec& a, uint32_t d) {
    uint64_t r = 0;
    for (size_t i = a.size(); i-- > 0;) {
        r = r * kBase + a[i];
        a[i] = static_cast<uint32_t>(r / d);
        r %= d;
    }
    DropLeadingZeros(a);
    return static_cast<uint32_t>(r);
}

// out := a * f for a one-limb factor f; out gets a.size() + 1 limbs (the top may be 0).
void MultiplyShort(const LimbVec& a, uint32_t f, LimbVec& out) {
    out.resize(a.size() + 1);
    uint64_t carry = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const uint64_t cur = uint64_t(a[i]) * f + carry;
        out[i] = static_cast<uint32_t>(cur % kBase);
        carry = cur / kBase;
    }
    out[a.size()] = static_cast<uint32_t>(carry);
}

// r[0..n] -= q * v[0..n-1], for q <= Base + 1 (a first digit estimate can
// exceed the largest digit by that much). Each limb product splits into its
// high and low part on its own (the high parts stay below the base), so the
// borrow chain is plain additions. Returns the borrow out of the top limb:
// nonzero when q * v exceeded the n + 1 limbs of r, which then hold the
// difference plus that many times Base^(n + 1).
uint32_t MultiplySubtract(uint64_t q, const uint32_t* v, size_t n, uint32_t* r) {
    constexpr int64_t base = kBase;
    int64_t borrow = 0;
    uint32_t prevHigh = 0;
    // Subtracts low + borrow <= 2 * Base from a limb: at most two borrows,
    // counted without branches (their outcome is random).
    const auto step = [&](uint32_t& limb, int64_t low) {
        const int64_t diff = int64_t(limb) - low - borrow;
        borrow = int64_t(diff < 0) + int64_t(diff < -base);
        limb = static_cast<uint32_t>(diff + borrow * base);
    };
    for (size_t i = 0; i < n; ++i) {
        const uint64_t w = q * v[i];
        const auto high = static_cast<uint32_t>(w / kBase);
        step(r[i], int64_t(w - uint64_t(high) * kBase) + prevHigh);
        prevHigh = high;
    }
    step(r[n], prevHigh);
    return static_cast<uint32_t>(borrow);
}

// r[0..n] += v[0..n-1]; returns the carry out of the top limb.
uint32_t AddBack(const uint32_t* v, size_t n, uint32_t* r) {
    uint32_t carry = 0;
    for (size_t i = 0; i <= n; ++i) {
        const uint32_t sum = r[i] + (i < n ? v[i] : 0) + carry;
        carry = sum >= kBase;
        r[i] = carry ? sum - uint32_t(kBase) : sum;
    }
    return carry;
}

// Long division of n by d (d has at least two limbs, n > d), normalised so
// that the divisor's top limb is at least half the base. The quotient digit
// for position j is estimated from the top two limbs of the running
// remainder's window and the divisor's top limb, then decreased while the
// trial product q * v exceeds the window (the product is subtracted at once
// and added back while the difference is negative). Results land in
// s.quotient and s.dividend (the remainder, in its first limbs).
void DivideLong(const LimbVec& n, const LimbVec& d, Scratch& s) {
    const size_t dl = d.size();
    const size_t m = n.size() - dl;
    const uint32_t f = static_cast<uint32_t>(kBase / (uint64_t(d.back()) + 1));

    MultiplyShort(d, f, s.divisor);
    s.divisor.pop_back(); // the normalised divisor keeps dl limbs
    MultiplyShort(n, f, s.dividend);
    s.quotient.assign(m + 1, 0);

    uint32_t* r = s.dividend.data();
    const uint32_t* v = s.divisor.data();
    const uint64_t top = v[dl - 1];
    const unsigned __int128 top2 = top * kBase + v[dl - 2];
    const double inverseTop = 1.0 / double(top);
    for (size_t j = m + 1; j-- > 0;) {
        // q = num div top, through the reciprocal (a hardware division is
        // slow); the rounding error is far below one, so a step either way
        // makes it exact.
        const uint64_t num = uint64_t(r[j + dl]) * kBase + r[j + dl - 1];
        uint64_t q = static_cast<uint64_t>(double(num) * inverseTop);
        if (q * top > num) {
            --q;
        } else if (num - q * top >= top) {
            ++q;
        }
        if (q == 0) {
            continue;
        }
        // When q times the top two divisor limbs already exceeds the top three
        // limbs of the window, the whole trial product exceeds the window: the
        // first decrements need no full product.
        const unsigned __int128 window3 =
            (static_cast<unsigned __int128>(r[j + dl]) * kBase + r[j + dl - 1]) * kBase +
            r[j + dl - 2];
        while (q * top2 > window3) {
            --q;
        }
        // R := R - t; while that went below zero, t exceeded R: one less.
        uint32_t below = MultiplySubtract(q, v, dl, r + j);
        while (below != 0) {
            below -= AddBack(v, dl, r + j);
            --q;
        }
        s.quotient[j] = static_cast<uint32_t>(q);
    }
    s.dividend.resize(dl);
    DropLeadingZeros(s.dividend);
    DivideShort(s.dividend, f);
    DropLeadingZeros(s.quotient);
}

} // namespace

TBigInt TBigInt::CreateHex(QStringView text) {
    TBigInt n;
    n.SetHex(text);
    return n;
}

const TBigInt& TBigInt::Zero() {
    static const TBigInt zero;
    return zero;
}

const TBigInt& TBigInt::One() {
    static const TBigInt one(1);
    return one;
}

const TBigInt& TBigInt::Two() {
    static const TBigInt two(2);
    return two;
}

void TBigInt::SetInt(int32_t value) {
    if (value < 0) {
        throw plat::EMathError(QStringLiteral("Negatives not supported"));
    }
    limbs_.clear();
    auto v = static_cast<uint32_t>(value);
    do {
        limbs_.push_back(v % Base);
        v /= Base;
    } while (v != 0);
}

void TBigInt::SetDecimal(QStringView text) {
    QStringView digits = text;
    while (!digits.isEmpty() && digits.front().unicode() <= u' ') {
        digits = digits.mid(1);
    }
    while (!digits.isEmpty() && digits.back().unicode() <= u' ') {
        digits.chop(1);
    }
    while (digits.size() > 1 && digits.front() == QLatin1Char('0')) {
        digits = digits.mid(1);
    }
    const bool valid = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return c.unicode() >= u'0' && c.unicode() <= u'9';
    });
    if (!valid) {
        throw plat::EConvertError(plat::Format("%s is not a valid integer.", text));
    }
    LimbVec parsed;
    parsed.reserve(static_cast<size_t>(digits.size()) / 9 + 1);
    for (qsizetype end = digits.size(); end > 0; end -= 9) {
        const qsizetype begin = std::max<qsizetype>(0, end - 9);
        uint32_t limb = 0;
        for (qsizetype i = begin; i < end; ++i) {
            limb = limb * 10 + (digits[i].unicode() - u'0');
        }
        parsed.push_back(limb);
    }
    DropLeadingZeros(parsed);
    limbs_.swap(parsed);
}

void TBigInt::SetHex(QStringView text) {
    // Each group of four digits, taken from the right, goes through the
    // integer parser as "$" + digits, so a bad digit raises its conversion
    // error for the first bad group from the right.
    std::vector<uint16_t> groups;
    groups.reserve(static_cast<size_t>(text.size()) / 4 + 1);
    char16_t buffer[5] = {u'$'};
    for (qsizetype end = text.size(); end > 0; end -= 4) {
        const qsizetype begin = std::max<qsizetype>(0, end - 4);
        const qsizetype len = end - begin;
        std::copy_n(text.utf16() + begin, len, buffer + 1);
        groups.push_back(static_cast<uint16_t>(plat::StrToInt(QStringView(buffer, len + 1))));
    }
    // Sum of group * 65536^k, accumulated from the most significant group.
    LimbVec parsed{0};
    parsed.reserve(static_cast<size_t>(text.size()) / 7 + 2);
    for (size_t g = groups.size(); g-- > 0;) {
        uint64_t carry = groups[g];
        for (uint32_t& limb : parsed) {
            const uint64_t cur = uint64_t(limb) * 65536 + carry;
            limb = static_cast<uint32_t>(cur % kBase);
            carry = cur / kBase;
        }
        while (carry != 0) {
            parsed.push_back(static_cast<uint32_t>(carry % kBase));
            carry /= kBase;
        }
    }
    limbs_.swap(parsed);
}

QString TBigInt::ToHex() const {
    static const char16_t digitChars[] = u"0123456789ABCDEF";
    if (IsZero()) {
        return QString();
    }
    LimbVec rest = limbs_;
    QString out(static_cast<qsizetype>(limbs_.size()) * 8 + kHexChunkDigits, QLatin1Char('0'));
    qsizetype pos = out.size();
    while (!(rest.size() == 1 && rest[0] == 0)) {
        uint32_t chunk = DivideShort(rest, kHexChunk);
        for (int i = 0; i < kHexChunkDigits; ++i) {
            out[--pos] = QChar(digitChars[chunk & 15]);
            chunk >>= 4;
        }
    }
    while (out[pos] == QLatin1Char('0')) {
        ++pos;
    }
    return out.mid(pos);
}

int TBigInt::Compare(const TBigInt& other) const {
    if (limbs_.size() != other.limbs_.size()) {
        return limbs_.size() > other.limbs_.size() ? 1 : -1;
    }
    for (size_t i = limbs_.size(); i-- > 0;) {
        if (limbs_[i] != other.limbs_[i]) {
            return limbs_[i] > other.limbs_[i] ? 1 : -1;
        }
    }
    return 0;
}

void TBigInt::Add(const TBigInt& other) {
    const size_t otherSize = other.limbs_.size();
    if (limbs_.size() < otherSize) {
        limbs_.resize(otherSize, 0);
    }
    uint32_t carry = 0;
    for (size_t i = 0; i < limbs_.size(); ++i) {
        uint32_t sum = limbs_[i] + (i < otherSize ? other.limbs_[i] : 0) + carry;
        carry = sum >= Base;
        limbs_[i] = carry ? sum - Base : sum;
    }
    if (carry) {
        limbs_.push_back(carry);
    }
}

void TBigInt::Subtract(const TBigInt& other) {
    const int order = Compare(other);
    if (order < 0) {
        throw plat::EMathError(QStringLiteral("Negatives not supported"));
    }
    if (order == 0) {
        limbs_.assign(1, 0);
        return;
    }
    uint32_t borrow = 0;
    for (size_t i = 0; i < limbs_.size(); ++i) {
        const uint32_t sub = (i < other.limbs_.size() ? other.limbs_[i] : 0) + borrow;
        borrow = limbs_[i] < sub;
        limbs_[i] = borrow ? limbs_[i] + Base - sub : limbs_[i] - sub;
    }
    DropLeadingZeros(limbs_);
}

void TBigInt::Multiply(const TBigInt& other) {
    if (IsZero() || other.IsZero()) {
        limbs_.assign(1, 0);
        return;
    }
    const LimbVec& a = limbs_;
    const LimbVec& b = other.limbs_; // may be a itself (squaring)
    const size_t na = a.size();
    const size_t nb = b.size();
    // Schoolbook: every limb product is added at position i + j. The carries
    // are propagated once every kRowsPerCarry rows instead of after every
    // product: a position below the base plus 18 products of two limbs, plus
    // the carry into it, stays below 1.81e19 < 2^64.
    constexpr size_t kRowsPerCarry = 18;
    std::vector<uint64_t>& acc = ThreadScratch().columns;
    acc.assign(na + nb, 0);
    uint64_t* p = acc.data();
    const uint32_t* bl = b.data();
    size_t rows = 0;
    for (size_t i = 0; i < na; ++i) {
        const uint64_t ai = a[i];
        if (ai == 0) {
            continue;
        }
        uint64_t* row = p + i;
        for (size_t j = 0; j < nb; ++j) {
            row[j] += ai * bl[j];
        }
        if (++rows == kRowsPerCarry) {
            PropagateCarries(acc);
            rows = 0;
        }
    }
    PropagateCarries(acc);
    // The operands are no longer read: the result may overwrite them.
    limbs_.resize(na + nb);
    std::copy(acc.begin(), acc.end(), limbs_.begin());
    DropLeadingZeros(limbs_);
}

void TBigInt::Divide(const TBigInt& divisor) {
    DivideInto(divisor, *this, nullptr, this);
}

void TBigInt::Modulo(const TBigInt& divisor) {
    DivideInto(divisor, *this, this, nullptr);
}

void TBigInt::DivMod(const TBigInt& divisor, const TBigInt& dividend, TBigInt& remainder,
                     TBigInt& quotient) {
    DivideInto(divisor, dividend, &remainder, &quotient);
}

void TBigInt::DivideInto(const TBigInt& divisor, const TBigInt& dividend, TBigInt* remainder,
                         TBigInt* quotient) {
    if (divisor.IsZero()) {
        throw plat::EMathError(QStringLiteral("Division by zero"));
    }
    const int order = dividend.Compare(divisor);
    if (order <= 0) {
        if (remainder) {
            if (order < 0) {
                remainder->limbs_ = dividend.limbs_;
            } else {
                remainder->limbs_.assign(1, 0);
            }
        }
        if (quotient) {
            quotient->limbs_.assign(1, order < 0 ? 0 : 1);
        }
        return;
    }
    Scratch& s = ThreadScratch();
    if (divisor.limbs_.size() == 1) {
        s.quotient = dividend.limbs_;
        const uint32_t r = DivideShort(s.quotient, divisor.limbs_[0]);
        s.dividend.assign(1, r);
    } else {
        DivideLong(dividend.limbs_, divisor.limbs_, s);
    }
    // Every read of the operands is done: the results may overwrite any of them.
    if (remainder) {
        remainder->limbs_.assign(s.dividend.begin(), s.dividend.end());
    }
    if (quotient) {
        quotient->limbs_.assign(s.quotient.begin(), s.quotient.end());
    }
}
