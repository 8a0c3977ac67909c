#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

// An unsigned arbitrary-precision integer for the login key exchange.
//
// The number is held as limbs in base 10^9, least significant first, each in
// 0..999999999. After every operation there is at least one limb and no
// leading zero limb (zero is the single limb 0). Arithmetic works in place on
// the object it is called on; no operation produces a negative number.
//
// Failures leave the number unchanged:
// - subtracting a larger number, or a negative SetInt: EMathError "Negatives not supported";
// - division by zero: EMathError "Division by zero";
// - SetDecimal of text that is not decimal digits: EConvertError "%s is not a valid integer.";
// - SetHex of text that is not hexadecimal digits: the integer parser's EConvertError
//   for the offending "$"-prefixed group of four digits.
class TBigInt {
public:
    static constexpr uint32_t Base = 1000000000;

    TBigInt() : limbs_{0} {}
    explicit TBigInt(int32_t value) { SetInt(value); }

    static TBigInt Create() { return TBigInt(); }
    static TBigInt CreateInt(int32_t value) { return TBigInt(value); }
    static TBigInt CreateHex(QStringView text);
    static TBigInt CreateCopy(const TBigInt& other) { return other; }

    // Shared constants, alive for the whole program.
    static const TBigInt& Zero();
    static const TBigInt& One();
    static const TBigInt& Two();

    void SetInt(int32_t value);
    void SetDecimal(QStringView text);
    void SetHex(QStringView text);
    // Upper-case hexadecimal without leading zeros; zero gives empty text.
    QString ToHex() const;

    void Assign(const TBigInt& other) { limbs_ = other.limbs_; }
    int Compare(const TBigInt& other) const;

    void Add(const TBigInt& other);
    void Subtract(const TBigInt& other);
    void Multiply(const TBigInt& other);
    void Divide(const TBigInt& divisor);
    void Modulo(const TBigInt& divisor);

    // remainder := dividend mod divisor, quotient := dividend div divisor.
    // Any of the objects may be the same (the remainder is written before the
    // quotient, so remainder and quotient should differ).
    static void DivMod(const TBigInt& divisor, const TBigInt& dividend, TBigInt& remainder,
                       TBigInt& quotient);

    const std::vector<uint32_t>& Limbs() const { return limbs_; }
    bool IsZero() const { return limbs_.size() == 1 && limbs_[0] == 0; }

    friend bool operator==(const TBigInt& a, const TBigInt& b) { return a.limbs_ == b.limbs_; }

private:
    friend class TBigIntMontgomery; // builds its results from limbs

    static void DivideInto(const TBigInt& divisor, const TBigInt& dividend, TBigInt* remainder,
                           TBigInt* quotient);

    std::vector<uint32_t> limbs_;
};
