#pragma once

#include "engine/BigInt.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Modular exponentiation over TBigInt's base-10^9 limbs without a long
// division per step, for a modulus m prime to the base (odd and not a
// multiple of 5).
//
// With n the modulus's limb count and R = 10^(9n), a number x is held as
// x * R mod m in n limbs. A product of two such numbers is brought back to
// that form by adding the multiple u * m of the modulus that clears each of
// its n low limbs in turn (u from the low limb and -1/m mod 10^9) and then
// dropping those limbs, a division by R: n short multiples instead of a long
// division. Products build up in 64-bit columns whose carries are taken only
// every few rows.
//
// The object keeps its scratch columns, so an exponentiation allocates
// nothing inside its loop.
class TBigIntMontgomery {
public:
    // Whether the modulus is prime to the base, so that this applies.
    static bool Applies(const TBigInt& modulus);

    // The modulus must satisfy Applies.
    explicit TBigIntMontgomery(const TBigInt& modulus);
    TBigIntMontgomery(const TBigIntMontgomery&) = delete;
    TBigIntMontgomery& operator=(const TBigIntMontgomery&) = delete;

    // base^exponent mod modulus (right-to-left binary); an exponent of 0
    // gives 1, whatever the modulus. The operands are not changed.
    TBigInt PowMod(const TBigInt& base, const TBigInt& exponent);

private:
    // x * R mod m.
    void ToForm(const TBigInt& x, uint32_t* out) const;
    // out := a * b / R mod m; out may be a or b.
    void Multiply(const uint32_t* a, const uint32_t* b, uint32_t* out);
    // out := a * a / R mod m; out may be a.
    void Square(const uint32_t* a, uint32_t* out);
    // out := columns / R mod m, for columns holding a number below m * R.
    void Reduce(uint32_t* out);
    // Splits columns [from, to) into a part below twice the base and a carry
    // for the next column, up to column `to`.
    void Carry(size_t from, size_t to);

    TBigInt modulus_;
    std::vector<uint32_t> m_; // the modulus's n limbs and a zero limb
    size_t n_;
    uint64_t inverse_;              // -1/m mod 10^9
    uint64_t inverseHigh_;          // inverse_ * 2^32 mod 10^9
    std::vector<uint64_t> columns_; // 2n + 1 positions of a product
};
