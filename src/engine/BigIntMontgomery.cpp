#include "engine/BigIntMontgomery.h"

#include <algorithm>
#include <bit>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr uint64_t kBase = TBigInt::Base;
constexpr uint64_t kMaxProduct = (kBase - 1) * (kBase - 1);
constexpr uint64_t kMaxCarry = UINT64_MAX / kBase;

// Limb products are summed into 64-bit columns, with carries taken in passes
// over many columns. A column never holds more than kMaxProducts products
// plus kColumnSlack: a pass leaves it below twice the base plus a carry, a
// doubled square leaves it at a product plus twice that, and besides the rows'
// products it receives at most two more carries (the top of a pass and a
// cleared column below it). A column takes one product per row: so a pass
// every kRowsPerPass rows.
constexpr size_t kMaxProducts = 18;
constexpr size_t kRowsPerPass = kMaxProducts - 1;
constexpr uint64_t kColumnSlack = 4 * kBase + 4 * kMaxCarry;
static_assert(UINT64_MAX - kMaxProducts * kMaxProduct >= kColumnSlack);

// floor(2^64 / base): High(v) = v * kReciprocal / 2^64 lies within 2 below
// v / base, so v - High(v) * base is below twice the base.
constexpr uint64_t kReciprocal = UINT64_MAX / kBase;

inline uint64_t High(uint64_t v) {
    return static_cast<uint64_t>((static_cast<unsigned __int128>(v) * kReciprocal) >> 64);
}

// t[c] += f0 * x0[c] + f1 * x1[c] for c < count: two rows of products at
// once, two columns to an instruction where the processor has them. Rows
// taken in pairs also keep each pair's loads on the previous pair's stores.
inline void AddRows(uint64_t* t, uint32_t f0, const uint32_t* x0, uint32_t f1, const uint32_t* x1,
                    size_t count) {
    size_t c = 0;
#if defined(__SSE2__)
    const __m128i g0 = _mm_set1_epi32(static_cast<int>(f0));
    const __m128i g1 = _mm_set1_epi32(static_cast<int>(f1));
    // pmuludq multiplies the even 32-bit lanes: spread limbs 0, 1 and 2, 3.
    constexpr int kLow = 0x50;  // lanes 0 0 1 1
    constexpr int kHigh = 0xFA; // lanes 2 2 3 3
    for (; c + 4 <= count; c += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x0 + c));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x1 + c));
        const __m128i low = _mm_add_epi64(_mm_mul_epu32(_mm_shuffle_epi32(a, kLow), g0),
                                          _mm_mul_epu32(_mm_shuffle_epi32(b, kLow), g1));
        const __m128i high = _mm_add_epi64(_mm_mul_epu32(_mm_shuffle_epi32(a, kHigh), g0),
                                           _mm_mul_epu32(_mm_shuffle_epi32(b, kHigh), g1));
        auto* r = reinterpret_cast<__m128i*>(t + c);
        _mm_storeu_si128(r, _mm_add_epi64(_mm_loadu_si128(r), low));
        _mm_storeu_si128(r + 1, _mm_add_epi64(_mm_loadu_si128(r + 1), high));
    }
#endif
    for (; c < count; ++c) {
        t[c] += uint64_t(f0) * x0[c] + uint64_t(f1) * x1[c];
    }
}

// t[c] += f * x[c] for c < count.
inline void AddRow(uint64_t* t, uint32_t f, const uint32_t* x, size_t count) {
    size_t c = 0;
#if defined(__SSE2__)
    const __m128i g = _mm_set1_epi32(static_cast<int>(f));
    for (; c + 4 <= count; c += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + c));
        auto* r = reinterpret_cast<__m128i*>(t + c);
        const __m128i low = _mm_mul_epu32(_mm_shuffle_epi32(a, 0x50), g);
        const __m128i high = _mm_mul_epu32(_mm_shuffle_epi32(a, 0xFA), g);
        _mm_storeu_si128(r, _mm_add_epi64(_mm_loadu_si128(r), low));
        _mm_storeu_si128(r + 1, _mm_add_epi64(_mm_loadu_si128(r + 1), high));
    }
#endif
    for (; c < count; ++c) {
        t[c] += uint64_t(f) * x[c];
    }
}

// x / 10^9 for x a multiple of 10^9: a shift for 2^9 and a multiply by the
// inverse of 5^9 modulo 2^64, instead of a division on the critical path.
constexpr uint64_t kInverseFivePow9 = [] {
    uint64_t x = 1;
    for (int i = 0; i < 6; ++i) {
        x *= 2 - 1953125 * x; // Newton's step doubles the correct low bits
    }
    return x;
}();
static_assert(kInverseFivePow9 * 1953125 == 1);

inline uint64_t ExactDivideByBase(uint64_t x) {
    return (x >> 9) * kInverseFivePow9;
}

// (low mod B) * inverse mod B, from low's two 32-bit halves (inverseHigh is
// inverse * 2^32 mod B): each product stays below 2^62, and one division
// instead of two waits for low.
inline uint32_t Multiplier(uint64_t low, uint64_t inverse, uint64_t inverseHigh) {
    const uint64_t sum = (low >> 32) * inverseHigh + (low & 0xFFFFFFFF) * inverse;
    return static_cast<uint32_t>(sum % kBase);
}

// -1/m0 mod the base, for m0 prime to it (extended Euclid).
uint64_t NegativeInverse(uint32_t m0) {
    int64_t r0 = kBase;
    int64_t r1 = m0;
    int64_t t0 = 0;
    int64_t t1 = 1;
    while (r1 != 0) {
        const int64_t q = r0 / r1;
        r0 = std::exchange(r1, r0 - q * r1);
        t0 = std::exchange(t1, t0 - q * t1);
    }
    // r0 is 1 and t0 * m0 = 1 mod the base.
    const int64_t base = kBase;
    const auto inverse = static_cast<uint64_t>((t0 % base + base) % base);
    return (kBase - inverse) % kBase;
}

} // namespace

bool TBigIntMontgomery::Applies(const TBigInt& modulus) {
    // The base's prime factors are 2 and 5; the low limb decides both.
    const uint32_t low = modulus.Limbs()[0];
    return low % 2 != 0 && low % 5 != 0;
}

TBigIntMontgomery::TBigIntMontgomery(const TBigInt& modulus)
    : modulus_(modulus), m_(modulus.limbs_.begin(), modulus.limbs_.end()),
      n_(modulus.limbs_.size()), inverse_(NegativeInverse(modulus.limbs_[0])),
      inverseHigh_((inverse_ << 32) % kBase), columns_(2 * n_ + 1) {
    m_.resize(n_ + 1, 0);
}

TBigInt TBigIntMontgomery::PowMod(const TBigInt& base, const TBigInt& exponent) {
    if (exponent.IsZero()) {
        return TBigInt::One(); // whatever the modulus
    }
    // The exponent's bits, 32 to a word, least significant first.
    std::vector<uint32_t> bits;
    for (size_t k = exponent.limbs_.size(); k-- > 0;) {
        uint64_t c = exponent.limbs_[k];
        for (uint32_t& word : bits) {
            const uint64_t v = uint64_t(word) * kBase + c;
            word = static_cast<uint32_t>(v);
            c = v >> 32;
        }
        if (c != 0) {
            bits.push_back(static_cast<uint32_t>(c));
        }
    }
    const size_t topBit = 32 * bits.size() - 1 - std::countl_zero(bits.back());

    std::vector<uint32_t> power(n_);
    std::vector<uint32_t> result(n_);
    ToForm(base, power.data());
    bool first = true;
    for (size_t k = 0; k <= topBit; ++k) {
        if ((bits[k / 32] >> (k % 32)) & 1) {
            if (first) {
                result = power; // 1 * power
                first = false;
            } else {
                Multiply(result.data(), power.data(), result.data());
            }
        }
        if (k < topBit) {
            Square(power.data(), power.data());
        }
    }
    // Out of the form: result / R mod m.
    std::fill(columns_.begin(), columns_.end(), 0);
    std::copy(result.begin(), result.end(), columns_.begin());
    Reduce(result.data());

    TBigInt r;
    r.limbs_.assign(result.begin(), result.end());
    while (r.limbs_.size() > 1 && r.limbs_.back() == 0) {
        r.limbs_.pop_back();
    }
    return r;
}

void TBigIntMontgomery::ToForm(const TBigInt& x, uint32_t* out) const {
    std::fill(out, out + n_, 0);
    if (x.IsZero()) {
        return;
    }
    TBigInt shifted;
    shifted.limbs_.assign(n_, 0);
    shifted.limbs_.insert(shifted.limbs_.end(), x.limbs_.begin(), x.limbs_.end());
    shifted.Modulo(modulus_);
    std::copy(shifted.limbs_.begin(), shifted.limbs_.end(), out);
}

void TBigIntMontgomery::Multiply(const uint32_t* a, const uint32_t* b, uint32_t* out) {
    const size_t n = n_;
    uint64_t* t = columns_.data();
    std::fill(t, t + 2 * n + 1, 0);
    size_t start = 0; // the first row since the last pass
    size_t i = 0;
    for (; i + 2 <= n; i += 2) {
        // Rows i and i + 1 reach columns i to i + n; column i + n + 1 is still 0.
        t[i] += uint64_t(a[i]) * b[0];
        AddRows(t + i + 1, a[i], b + 1, a[i + 1], b, n - 1);
        t[i + n] += uint64_t(a[i + 1]) * b[n - 1];
        if (i + 4 - start > kRowsPerPass) {
            Carry(start, i + n + 1);
            start = i + 2;
        }
    }
    if (i < n) {
        AddRow(t + i, a[i], b, n);
    }
    Carry(start, 2 * n);
    Reduce(out);
}

void TBigIntMontgomery::Square(const uint32_t* a, uint32_t* out) {
    const size_t n = n_;
    uint64_t* t = columns_.data();
    std::fill(t, t + 2 * n + 1, 0);
    // Each product a[i] * a[j] with i < j once. A column takes at most n / 2
    // of them: passes only for longer numbers.
    const bool passes = n / 2 > kMaxProducts;
    size_t rows = 0;
    for (size_t i = 0; i + 1 < n; ++i) {
        AddRow(t + 2 * i + 1, a[i], a + i + 1, n - i - 1);
        if (passes && ++rows == kRowsPerPass) {
            Carry(i + 1 - rows, i + n);
            rows = 0;
        }
    }
    // Twice that sum plus the squares a[i]^2 at column 2i, each column split
    // as in a pass first so that doubling cannot overflow. The sum stays below
    // 10^(18n): nothing carries out of the top.
    uint64_t c = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint64_t even = t[2 * i];
        const uint64_t evenHigh = High(even);
        t[2 * i] = 2 * (even - evenHigh * kBase + c) + uint64_t(a[i]) * a[i];
        const uint64_t odd = t[2 * i + 1];
        c = High(odd);
        t[2 * i + 1] = 2 * (odd - c * kBase + evenHigh);
    }
    Reduce(out);
}

void TBigIntMontgomery::Reduce(uint32_t* out) {
    const size_t n = n_;
    const uint32_t* m = m_.data();
    const uint64_t inverse = inverse_;
    const uint64_t inverseHigh = inverseHigh_;
    uint64_t* t = columns_.data();
    // Two rows at a time: u0 * m clears column i and u1 * m column i + 1
    // (u * m[0] = -low mod the base). Those columns and column i + 2, the
    // next low column, are summed here rather than in memory, since the next
    // multiples wait for them. m has a zero limb past its top.
    size_t rows = 0;
    size_t i = 0;
    uint64_t low = t[0];
    for (; i + 2 <= n; i += 2) {
        const uint32_t u0 = Multiplier(low, inverse, inverseHigh);
        const uint64_t low1 =
            t[i + 1] + uint64_t(u0) * m[1] + ExactDivideByBase(low + uint64_t(u0) * m[0]);
        const uint32_t u1 = Multiplier(low1, inverse, inverseHigh);
        low = t[i + 2] + uint64_t(u0) * m[2] + uint64_t(u1) * m[1] +
              ExactDivideByBase(low1 + uint64_t(u1) * m[0]);
        t[i + 2] = low;
        AddRows(t + i + 3, u0, m + 3, u1, m + 2, n - 2);
        rows += 2;
        if (rows + 2 > kRowsPerPass) {
            Carry(i + 2, i + n + 1);
            low = t[i + 2];
            rows = 0;
        }
    }
    if (i < n) {
        const uint32_t u = Multiplier(low, inverse, inverseHigh);
        t[i + 1] += ExactDivideByBase(low + uint64_t(u) * m[0]);
        AddRow(t + i + 1, u, m + 1, n - 1);
    }
    // Columns n..2n now hold (t + U * m) / R, below 2m. A pass and an exact
    // split bring each column below the base plus a small carry; carries of 0
    // or 1 then make them limbs.
    uint64_t* r = t + n;
    Carry(n, 2 * n);
    uint64_t c = 0;
    for (size_t k = 0; k < n; ++k) {
        const uint64_t v = r[k];
        const uint64_t h = v / kBase;
        r[k] = v - h * kBase + c;
        c = h;
    }
    r[n] += c;
    c = 0;
    for (size_t k = 0; k < n; ++k) {
        const uint64_t v = r[k] + c;
        c = v >= kBase;
        r[k] = v - (c ? kBase : 0);
    }
    r[n] += c;
    bool subtract = r[n] != 0;
    if (!subtract) {
        size_t k = n;
        while (k > 0 && r[k - 1] == m[k - 1]) {
            --k;
        }
        subtract = k == 0 || r[k - 1] > m[k - 1];
    }
    if (!subtract) {
        std::copy(r, r + n, out);
        return;
    }
    uint64_t borrow = 0;
    for (size_t k = 0; k < n; ++k) {
        const uint64_t sub = m[k] + borrow;
        borrow = r[k] < sub;
        out[k] = static_cast<uint32_t>(r[k] + (borrow ? kBase : 0) - sub);
    }
}

// Splits each column of [from, to) into a low part below twice the base and
// a carry for the next column, up to column `to`. No column waits for the one
// below it.
void TBigIntMontgomery::Carry(size_t from, size_t to) {
    uint64_t* t = columns_.data();
    uint64_t c = 0;
    for (size_t p = from; p < to; ++p) {
        const uint64_t v = t[p];
        const uint64_t h = High(v);
        t[p] = v - h * kBase + c;
        c = h;
    }
    t[to] += c;
}
