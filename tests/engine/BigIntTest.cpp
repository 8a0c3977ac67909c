#include "engine/BigInt.h"
#include "engine/VLCrypt.h"
#include "platform/core/Exception.h"

#include "Raises.h"

#include <gmp.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

// Failure messages show the number in hexadecimal.
void PrintTo(const TBigInt& n, std::ostream* os) {
    *os << "0x" << n.ToHex().toStdString();
}

namespace {

using Limbs = std::vector<uint32_t>;

TBigInt dec(const char* text) {
    TBigInt n;
    n.SetDecimal(QString::fromUtf8(text));
    return n;
}

// ---- The GMP oracle -------------------------------------------------------

struct Mpz {
    mpz_t v;
    Mpz() { mpz_init(v); }
    Mpz(const Mpz&) = delete;
    ~Mpz() { mpz_clear(v); }
    std::string str(int base) const {
        std::string s(mpz_sizeinbase(v, 16) * 2 + 2, '\0');
        return mpz_get_str(s.data(), base, v);
    }
};

// Compares the limbs with the expected value, read without any of TBigInt's
// own conversions, and checks the invariant: at least one limb, each below
// the base, no leading zero limb.
::testing::AssertionResult equalsMpz(const TBigInt& n, const Mpz& expected) {
    const Limbs& l = n.Limbs();
    if (l.empty() || (l.size() > 1 && l.back() == 0)) {
        return ::testing::AssertionFailure() << "malformed, " << l.size() << " limbs";
    }
    Mpz got;
    for (size_t i = l.size(); i-- > 0;) {
        if (l[i] >= TBigInt::Base) {
            return ::testing::AssertionFailure() << "limb " << i << " is " << l[i];
        }
        mpz_mul_ui(got.v, got.v, TBigInt::Base);
        mpz_add_ui(got.v, got.v, l[i]);
    }
    if (mpz_cmp(got.v, expected.v) != 0) {
        return ::testing::AssertionFailure() << got.str(10) << " != " << expected.str(10);
    }
    return ::testing::AssertionSuccess();
}

// Through the decimal or the hexadecimal parser, hexadecimal in either case.
TBigInt fromMpz(const Mpz& m, int route) {
    TBigInt n;
    if (route % 3 == 0) {
        n.SetDecimal(QString::fromStdString(m.str(10)));
    } else {
        n.SetHex(QString::fromStdString(m.str(route % 3 == 1 ? 16 : -16)));
    }
    return n;
}

// Random operands up to 2048 bits (69 limbs) whose limbs often sit at 0 and
// 999999999, so that carries and borrows run through whole chains.
class Operands {
public:
    explicit Operands(uint64_t seed) : rng_(seed) {}

    uint32_t below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng_); }

    uint32_t limb() {
        const uint32_t kind = below(8);
        return kind < 2 ? 0 : kind < 4 ? TBigInt::Base - 1 : kind == 4 ? 1 : below(TBigInt::Base);
    }

    // Limbs from the top down; the top limb is nonzero.
    void limbs(Mpz& m, uint32_t count, uint32_t top = 0) {
        mpz_set_ui(m.v, top != 0 ? top : 1 + below(TBigInt::Base - 1));
        for (uint32_t i = 1; i < count; ++i) {
            mpz_mul_ui(m.v, m.v, TBigInt::Base);
            mpz_add_ui(m.v, m.v, limb());
        }
    }
    void number(Mpz& m, uint32_t maxLimbs = 69, uint32_t top = 0) {
        limbs(m, 1 + below(maxLimbs), top);
    }

    // A divisor of two or more limbs whose top limb lies around half the base
    // or at the extremes, and a dividend q * d + r with r at 0, at d - 1 or
    // anywhere below d: shapes where the first digit estimates overshoot.
    void hardDivision(Mpz& d, Mpz& n) {
        static const uint32_t tops[] = {1, 2, 499999999, 500000000, 500000001, 999999999};
        do {
            number(d, 31, tops[below(std::size(tops))]);
        } while (mpz_cmp_ui(d.v, TBigInt::Base) < 0);
        Mpz q;
        number(q, 40);
        mpz_mul(n.v, d.v, q.v);
        const uint32_t kind = below(3);
        if (kind == 1) {
            mpz_add(n.v, n.v, d.v);
            mpz_sub_ui(n.v, n.v, 1);
        } else if (kind == 2) {
            Mpz r;
            number(r, 31);
            mpz_mod(r.v, r.v, d.v);
            mpz_add(n.v, n.v, r.v);
        }
    }

private:
    std::mt19937_64 rng_;
};

// ---- The edge cases -------------------------------------------------------

TEST(BigInt, TextInAndOut) {
    EXPECT_EQ(TBigInt::CreateHex(u"").Limbs(), Limbs{0});
    EXPECT_EQ(TBigInt::Create().ToHex(), QString());
    EXPECT_EQ(TBigInt::CreateHex(u"ABCDEF").Limbs(), Limbs{11259375});
    EXPECT_EQ(TBigInt::CreateHex(u"abcdef").ToHex(), QStringLiteral("ABCDEF"));
    EXPECT_EQ(TBigInt::CreateHex(u"000f").ToHex(), QStringLiteral("F"));
    EXPECT_EQ(TBigInt::CreateHex(u"100000000").Limbs(), (Limbs{294967296, 4}));
    EXPECT_EQ(TBigInt::CreateInt(2147483647).Limbs(), (Limbs{147483647, 2}));
    EXPECT_EQ(dec(" \t00123\r\n").Limbs(), Limbs{123});
    EXPECT_EQ(dec("0000").Limbs(), Limbs{0});
    EXPECT_EQ(dec("000000001000000002").Limbs(), (Limbs{2, 1}));
}

TEST(BigInt, ArithmeticEdgeCases) {
    TBigInt n = TBigInt::CreateInt(999999999);
    n.Add(TBigInt::One());
    EXPECT_EQ(n.Limbs(), (Limbs{0, 1}));
    n.Subtract(TBigInt::One());
    EXPECT_EQ(n.Limbs(), Limbs{999999999});
    n = TBigInt::CreateInt(7);
    n.Subtract(TBigInt::CreateInt(7));
    EXPECT_EQ(n.Limbs(), Limbs{0});
    n = dec("123456789012345678901234567890");
    n.Multiply(TBigInt::Zero());
    EXPECT_EQ(n.Limbs(), Limbs{0});
    EXPECT_EQ(n.ToHex(), QString());
    // Divisions are checked against GMP below.
}

TEST(BigInt, FailuresRaiseAndChangeNothing) {
    TBigInt n = TBigInt::CreateInt(5);
    TBigInt q = TBigInt::CreateInt(8);
    EXPECT_EQ(MessageOf([&] { n.Subtract(TBigInt::CreateInt(7)); }), "Negatives not supported");
    EXPECT_EQ(MessageOf([&] { n.SetInt(-1); }), "Negatives not supported");
    EXPECT_EQ(MessageOf([&] { n.Divide(TBigInt::Zero()); }), "Division by zero");
    EXPECT_EQ(MessageOf([&] { n.Modulo(TBigInt::Zero()); }), "Division by zero");
    TBigInt zero;
    EXPECT_EQ(MessageOf([&] { TBigInt::DivMod(zero, zero, n, q); }), "Division by zero");
    EXPECT_THROW(n.Divide(TBigInt::Zero()), plat::EMathError);

    for (const char* bad : {"-5", "12a", "+5", "1 2", "", "   ", "0x10", "١٢"}) {
        EXPECT_EQ(MessageOf([&] { n.SetDecimal(QString::fromUtf8(bad)); }),
                  QString::fromUtf8(bad) + " is not a valid integer.");
    }
    // Hexadecimal text goes through the integer parser in groups of four
    // from the right; the first bad group is the one reported.
    const std::pair<const char16_t*, const char*> badHex[] = {
        {u"12G4", "'$12G4'"}, {u"G0001234", "'$G000'"}, {u"-1", "'$-1'"},
        {u"0x10", "'$0x10'"}, {u" FFF", "'$ FFF'"},     {u"+FFF", "'$+FFF'"},
    };
    for (const auto& c : badHex) {
        EXPECT_EQ(MessageOf([&] { n.SetHex(c.first); }),
                  QString::fromLatin1(c.second) + " is not a valid integer value");
    }
    EXPECT_THROW(n.SetHex(u"12G4"), plat::EConvertError);
    EXPECT_EQ(n.Limbs(), Limbs{5});
    EXPECT_EQ(q.Limbs(), Limbs{8});
}

// ---- Against GMP ----------------------------------------------------------

TEST(BigIntOracle, TextCompareAddSubtractAndMultiply) {
    Operands gen(0x5EED0001);
    Mpz a, b, expected;
    for (int i = 0; i < 1500; ++i) {
        gen.number(a);
        gen.number(b);
        TBigInt x = fromMpz(a, i);
        const TBigInt y = fromMpz(b, i + 1);
        ASSERT_TRUE(equalsMpz(x, a));
        ASSERT_EQ(x.ToHex().toStdString(), a.str(-16));
        const int order = mpz_cmp(a.v, b.v);
        ASSERT_EQ(x.Compare(y), (order > 0) - (order < 0));

        mpz_add(expected.v, a.v, b.v);
        x.Add(y);
        ASSERT_TRUE(equalsMpz(x, expected)) << i;
        x.Subtract(y);
        ASSERT_TRUE(equalsMpz(x, a)) << i;
        const bool aBigger = order >= 0;
        TBigInt d = aBigger ? x : y;
        d.Subtract(aBigger ? y : x);
        mpz_sub(expected.v, aBigger ? a.v : b.v, aBigger ? b.v : a.v);
        ASSERT_TRUE(equalsMpz(d, expected)) << i;

        TBigInt p = x;
        p.Multiply(y);
        mpz_mul(expected.v, a.v, b.v);
        ASSERT_TRUE(equalsMpz(p, expected)) << i;
        // The number as its own operand.
        p = x;
        p.Multiply(p);
        mpz_mul(expected.v, a.v, a.v);
        ASSERT_TRUE(equalsMpz(p, expected)) << i;
        p = x;
        p.Add(p);
        mpz_add(expected.v, a.v, a.v);
        ASSERT_TRUE(equalsMpz(p, expected)) << i;
    }
}

TEST(BigIntOracle, DivModDivideAndModulo) {
    Operands gen(0x5EED0003);
    Mpz n, d, q, r;
    for (int i = 0; i < 3000; ++i) {
        // Random pairs, one-limb divisors, and divisions whose digit estimates overshoot.
        if (i % 3 == 2) {
            gen.hardDivision(d, n);
        } else {
            gen.number(d, i % 3 == 0 ? 69 : 1);
            gen.number(n);
        }
        mpz_tdiv_qr(q.v, r.v, n.v, d.v);
        const TBigInt divisor = fromMpz(d, i);
        TBigInt quotient = fromMpz(n, i + 1);
        TBigInt remainder;
        TBigInt::DivMod(divisor, quotient, remainder, quotient);
        ASSERT_TRUE(equalsMpz(quotient, q)) << n.str(10) << " / " << d.str(10);
        ASSERT_TRUE(equalsMpz(remainder, r)) << n.str(10) << " % " << d.str(10);

        TBigInt x = fromMpz(n, i);
        TBigInt other;
        TBigInt::DivMod(divisor, x, x, other); // the remainder into the dividend
        ASSERT_EQ(x, remainder);
        x = fromMpz(n, i);
        x.Modulo(divisor);
        ASSERT_EQ(x, remainder);
        x = fromMpz(n, i);
        x.Divide(divisor);
        ASSERT_EQ(x, quotient);
        x = divisor;
        x.Modulo(x);
        ASSERT_TRUE(x.IsZero());
    }
}

// Moduli prime to 10 (Montgomery form) and even moduli or odd multiples of 5
// (long division), of sizes around the column passes of 17 rows and up to
// 2048 bits. Per size and kind: the modulus with every limb at 999999999
// bar the last digit, with the base m - 1 and a 128-bit exponent of ones (the
// largest column sums); twice a random modulus, base above it and exponent of
// up to 128 bits; and a random modulus with a base of 0, m, a multiple of m or m + 1
// and a short exponent, 0 included.
TEST(BigIntOracle, PowMod) {
    Operands gen(0x5EED0004);
    Mpz base, exponent, modulus, expected;
    const char* lastDigits[] = {"1379", "02468", "5"};
    int i = 0;
    for (const uint32_t size : {1, 2, 16, 17, 18, 34, 35, 36, 38, 69}) {
        for (const std::string digits : lastDigits) {
            for (int shape = 0; shape < 4; ++shape, ++i) {
                if (shape == 0) {
                    mpz_ui_pow_ui(modulus.v, TBigInt::Base, size);
                    mpz_sub_ui(modulus.v, modulus.v, 10 - (digits.back() - '0'));
                    mpz_sub_ui(base.v, modulus.v, 1);
                    mpz_ui_pow_ui(exponent.v, 2, 128);
                    mpz_sub_ui(exponent.v, exponent.v, 1);
                } else {
                    gen.limbs(modulus, size);
                    const uint32_t digit = digits[gen.below(digits.size())] - '0';
                    mpz_sub_ui(modulus.v, modulus.v, mpz_fdiv_ui(modulus.v, 10));
                    mpz_add_ui(modulus.v, modulus.v, mpz_sgn(modulus.v) == 0 ? 10 + digit : digit);
                    gen.number(exponent, shape < 3 ? 5 : 1);
                    mpz_fdiv_r_2exp(exponent.v, exponent.v, shape < 3 ? 128 - i % 7 : 2 + i % 3);
                    gen.number(base, size + 2);
                    if (shape == 3) {
                        mpz_mul_ui(base.v, modulus.v, i % 3);
                        mpz_add_ui(base.v, base.v, i % 4 == 3);
                    }
                }
                mpz_powm(expected.v, base.v, exponent.v, modulus.v);
                if (mpz_sgn(exponent.v) == 0) {
                    mpz_set_ui(expected.v, 1); // whatever the modulus
                }
                const TBigInt b = fromMpz(base, i);
                const TBigInt e = fromMpz(exponent, i);
                ASSERT_TRUE(equalsMpz(PowMod(b, e, fromMpz(modulus, i)), expected))
                    << base.str(10) << " ^ " << exponent.str(10) << " mod " << modulus.str(10);
                ASSERT_TRUE(equalsMpz(b, base)); // the operands stay as they were
                ASSERT_TRUE(equalsMpz(e, exponent));
            }
        }
    }
    const auto five = TBigInt::CreateInt(5);
    EXPECT_EQ(PowMod(five, TBigInt::CreateInt(117), dec("1000000007")).ToHex(), "249FE7FB");
    EXPECT_EQ(PowMod(five, TBigInt::Zero(), TBigInt::One()).Limbs(), Limbs{1});
    EXPECT_EQ(PowMod(five, TBigInt::Two(), TBigInt::One()).Limbs(), Limbs{0});
    EXPECT_THROW(PowMod(five, TBigInt::Two(), TBigInt::Zero()), plat::EMathError);
}

} // namespace
