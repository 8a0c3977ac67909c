#include "engine/BigInt.h"
#include "engine/VLCrypt.h"
#include "platform/core/Exception.h"

#include <gmp.h>
#include <gtest/gtest.h>

#include <cstdlib>
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
    n.SetDecimal(QString::fromLatin1(text));
    return n;
}

// Holds the invariant: at least one limb, each below the base, no leading zero limb.
::testing::AssertionResult wellFormed(const TBigInt& n) {
    const Limbs& l = n.Limbs();
    if (l.empty()) {
        return ::testing::AssertionFailure() << "no limbs";
    }
    for (size_t i = 0; i < l.size(); ++i) {
        if (l[i] >= TBigInt::Base) {
            return ::testing::AssertionFailure() << "limb " << i << " is " << l[i];
        }
    }
    if (l.size() > 1 && l.back() == 0) {
        return ::testing::AssertionFailure() << "leading zero limb of " << l.size();
    }
    return ::testing::AssertionSuccess();
}

// ---- The GMP oracle -------------------------------------------------------

struct Mpz {
    mpz_t v;
    Mpz() { mpz_init(v); }
    explicit Mpz(const char* text, int base = 10) { mpz_init_set_str(v, text, base); }
    Mpz(const Mpz& o) { mpz_init_set(v, o.v); }
    Mpz& operator=(const Mpz&) = delete;
    ~Mpz() { mpz_clear(v); }
    std::string str(int base) const {
        std::string s(mpz_sizeinbase(v, std::abs(base)) + 2, '\0');
        mpz_get_str(s.data(), base, v);
        s.resize(std::strlen(s.c_str()));
        return s;
    }
};

// The value of the limbs, read without any of TBigInt's own conversions.
Mpz toMpz(const TBigInt& n) {
    Mpz m;
    const Limbs& l = n.Limbs();
    for (size_t i = l.size(); i-- > 0;) {
        mpz_mul_ui(m.v, m.v, TBigInt::Base);
        mpz_add_ui(m.v, m.v, l[i]);
    }
    return m;
}

// Through the decimal or the hexadecimal parser, hexadecimal in either case.
TBigInt fromMpz(const Mpz& m, int route) {
    TBigInt n;
    switch (route % 3) {
    case 0:
        n.SetDecimal(QString::fromStdString(m.str(10)));
        break;
    case 1:
        n.SetHex(QString::fromStdString(m.str(16)));
        break;
    default:
        n.SetHex(QString::fromStdString(m.str(-16)));
        break;
    }
    return n;
}

::testing::AssertionResult equalsMpz(const TBigInt& n, const Mpz& expected) {
    if (!wellFormed(n)) {
        return wellFormed(n);
    }
    const Mpz got = toMpz(n);
    if (mpz_cmp(got.v, expected.v) != 0) {
        return ::testing::AssertionFailure()
               << "got " << got.str(10) << ", expected " << expected.str(10);
    }
    return ::testing::AssertionSuccess();
}

// Random operands up to 2048 bits whose base-10^9 limbs often sit at the
// boundaries 0 and 999999999 (carries and borrows run through whole chains).
class Operands {
public:
    explicit Operands(uint64_t seed) : rng_(seed) {}

    uint32_t below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng_); }

    uint32_t limb() {
        switch (below(8)) {
        case 0:
        case 1:
            return 0;
        case 2:
        case 3:
            return TBigInt::Base - 1;
        case 4:
            return 1 + below(3);
        default:
            return below(TBigInt::Base);
        }
    }

    // A number of 1..maxLimbs limbs (69 limbs hold 2048 bits), top limb nonzero.
    Mpz number(uint32_t maxLimbs = 69) {
        const uint32_t count = 1 + below(maxLimbs);
        Mpz m;
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t l = limb();
            if (i == 0 && l == 0) {
                l = 1 + below(TBigInt::Base - 1);
            }
            mpz_mul_ui(m.v, m.v, TBigInt::Base);
            mpz_add_ui(m.v, m.v, l);
        }
        return m;
    }

    // A divisor of at least two limbs shaped to make the digit estimate of the
    // long division overshoot: its top limb lies just around half the base
    // (or at the extremes), the rest near 0 or 999999999.
    Mpz hardDivisor() {
        static const uint32_t tops[] = {1,         2,         499999999, 500000000,
                                        500000001, 999999998, 999999999};
        const uint32_t count = 2 + below(30);
        Mpz m;
        mpz_set_ui(m.v, tops[below(std::size(tops))]);
        for (uint32_t i = 1; i < count; ++i) {
            mpz_mul_ui(m.v, m.v, TBigInt::Base);
            mpz_add_ui(m.v, m.v, below(3) == 0 ? below(TBigInt::Base) : limb());
        }
        return m;
    }

    // divisor * q + r with q's limbs near the boundaries and r at 0, at
    // divisor - 1 or anywhere in between.
    Mpz dividendFor(const Mpz& divisor) {
        const Mpz q = number(40);
        Mpz n;
        mpz_mul(n.v, divisor.v, q.v);
        switch (below(3)) {
        case 0:
            break;
        case 1:
            mpz_add(n.v, n.v, divisor.v);
            mpz_sub_ui(n.v, n.v, 1);
            break;
        default: {
            Mpz r = number(static_cast<uint32_t>(mpz_sizeinbase(divisor.v, 10) / 9 + 1));
            mpz_mod(r.v, r.v, divisor.v);
            mpz_add(n.v, n.v, r.v);
        }
        }
        return n;
    }

private:
    std::mt19937_64 rng_;
};

// ---- The edge cases -------------------------------------------------------

TEST(BigInt, HexadecimalTextInBothCasesRendersUpperCase) {
    EXPECT_EQ(TBigInt::CreateHex(u"").Limbs(), Limbs{0});
    EXPECT_EQ(TBigInt::Create().ToHex(), QString());
    EXPECT_EQ(TBigInt::CreateHex(u"ABCDEF").Limbs(), Limbs{11259375});
    EXPECT_EQ(TBigInt::CreateHex(u"abcdef").Limbs(), Limbs{11259375});
    EXPECT_EQ(TBigInt::CreateHex(u"abcdef").ToHex(), QStringLiteral("ABCDEF"));
    EXPECT_EQ(TBigInt::CreateHex(u"000f").ToHex(), QStringLiteral("F"));
    // Groups of four from the right, a short group of leading digits last.
    EXPECT_EQ(TBigInt::CreateHex(u"1"
                                 "0000"
                                 "0000")
                  .Limbs(),
              (Limbs{294967296, 4}));
    EXPECT_EQ(TBigInt::CreateHex(u"00000000000000000").Limbs(), Limbs{0});
    EXPECT_EQ(TBigInt::CreateInt(2147483647).ToHex(), QStringLiteral("7FFFFFFF"));
    EXPECT_EQ(dec("1000000000000000000").ToHex(), QStringLiteral("DE0B6B3A7640000"));
}

TEST(BigInt, CarriesAndBorrowsCrossTheLimbBoundary) {
    TBigInt n = TBigInt::CreateInt(999999999);
    n.Add(TBigInt::One());
    EXPECT_EQ(n.Limbs(), (Limbs{0, 1}));
    n.Subtract(TBigInt::One());
    EXPECT_EQ(n.Limbs(), Limbs{999999999});

    TBigInt chain = dec("999999999999999999999999999");
    chain.Add(TBigInt::One());
    EXPECT_EQ(chain.Limbs(), (Limbs{0, 0, 0, 1}));
    chain.Subtract(TBigInt::Two());
    EXPECT_EQ(chain.Limbs(), (Limbs{999999998, 999999999, 999999999}));
    TBigInt shorter = TBigInt::CreateInt(7);
    shorter.Add(chain);
    EXPECT_EQ(shorter.Limbs(), (Limbs{5, 0, 0, 1}));
}

TEST(BigInt, SubtractionNeverGoesNegative) {
    TBigInt five = TBigInt::CreateInt(5);
    try {
        five.Subtract(TBigInt::CreateInt(7));
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Negatives not supported"));
    }
    EXPECT_EQ(five.Limbs(), Limbs{5});
    TBigInt big = dec("1000000000000000000");
    EXPECT_THROW(five.Subtract(big), plat::EMathError);
    EXPECT_EQ(five.Limbs(), Limbs{5});

    TBigInt seven = TBigInt::CreateInt(7);
    seven.Subtract(TBigInt::CreateInt(7));
    EXPECT_EQ(seven.Limbs(), Limbs{0});
    big.Subtract(dec("999999999999999999"));
    EXPECT_EQ(big.Limbs(), Limbs{1});
}

TEST(BigInt, ProductWithZeroIsASingleZeroLimb) {
    TBigInt n = dec("123456789012345678901234567890");
    n.Multiply(TBigInt::Zero());
    EXPECT_EQ(n.Limbs(), Limbs{0});
    EXPECT_EQ(n.ToHex(), QString());
    TBigInt zero;
    zero.Multiply(dec("123456789012345678901234567890"));
    EXPECT_EQ(zero.Limbs(), Limbs{0});
}

TEST(BigInt, DivisionEdgeCases) {
    TBigInt r;
    TBigInt q;
    TBigInt::DivMod(TBigInt::CreateInt(1000000000), dec("1000000005"), r, q);
    EXPECT_EQ(q.Limbs(), Limbs{1});
    EXPECT_EQ(r.Limbs(), Limbs{5});

    TBigInt::DivMod(dec("1000000001"), dec("1000000000000000000"), r, q);
    EXPECT_EQ(q.Limbs(), Limbs{999999999});
    EXPECT_EQ(r.Limbs(), Limbs{1});

    const TBigInt x = dec("98765432109876543210");
    TBigInt::DivMod(x, x, r, q);
    EXPECT_EQ(q.Limbs(), Limbs{1});
    EXPECT_EQ(r.Limbs(), Limbs{0});
    TBigInt::DivMod(x, dec("12345"), r, q);
    EXPECT_EQ(q.Limbs(), Limbs{0});
    EXPECT_EQ(r.Limbs(), Limbs{12345});

    // A digit whose first estimate is two too high.
    TBigInt::DivMod(dec("156043290313773267"), dec("138605295567347690144687425343459544"), r, q);
    EXPECT_EQ(q, dec("888248993523777289"));
    EXPECT_EQ(r, dec("134429173193526381"));
}

TEST(BigInt, DivisionByZeroRaisesAndChangesNothing) {
    TBigInt n = dec("123456789123456789");
    TBigInt r = TBigInt::CreateInt(7);
    TBigInt q = TBigInt::CreateInt(8);
    const auto expectDivisionByZero = [](auto&& f) {
        try {
            f();
            ADD_FAILURE() << "no exception";
        } catch (const plat::EMathError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Division by zero"));
        }
    };
    expectDivisionByZero([&] { TBigInt::DivMod(TBigInt::Zero(), n, r, q); });
    expectDivisionByZero([&] { n.Divide(TBigInt::Zero()); });
    expectDivisionByZero([&] { n.Modulo(TBigInt::Zero()); });
    TBigInt zero;
    expectDivisionByZero([&] { TBigInt::DivMod(TBigInt::Zero(), zero, r, q); });
    EXPECT_EQ(n, dec("123456789123456789"));
    EXPECT_EQ(r.Limbs(), Limbs{7});
    EXPECT_EQ(q.Limbs(), Limbs{8});
}

TEST(BigInt, DecimalTextIsTrimmedAndStrict) {
    EXPECT_EQ(dec(" \t00123\r\n").Limbs(), Limbs{123});
    EXPECT_EQ(dec("0000").Limbs(), Limbs{0});
    EXPECT_EQ(dec("1000000000000000000000000000").Limbs(), (Limbs{0, 0, 0, 1}));
    EXPECT_EQ(dec("000000001000000002").Limbs(), (Limbs{2, 1}));

    TBigInt n = TBigInt::CreateInt(42);
    for (const char* bad : {"-5", "12a", "+5", "1 2", "", "   ", "0x10", "١٢"}) {
        const QString text = QString::fromUtf8(bad);
        try {
            n.SetDecimal(text);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const plat::EConvertError& e) {
            EXPECT_EQ(e.Message(), text + QStringLiteral(" is not a valid integer."));
        }
        EXPECT_EQ(n.Limbs(), Limbs{42}) << bad;
    }
}

TEST(BigInt, HexTextIsStrictAndReportsTheBadGroup) {
    TBigInt n = TBigInt::CreateInt(42);
    const struct {
        const char16_t* text;
        const char* message;
    } cases[] = {
        {u"12G4", "'$12G4' is not a valid integer value"},
        {u"G0001234", "'$G000' is not a valid integer value"}, // the groups to its right parse
        {u"-1", "'$-1' is not a valid integer value"},
        {u"0x10", "'$0x10' is not a valid integer value"},
        {u" FFF", "'$ FFF' is not a valid integer value"},
        {u"+FFF", "'$+FFF' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        try {
            n.SetHex(c.text);
            ADD_FAILURE() << "accepted " << QString::fromUtf16(c.text).toStdString();
        } catch (const plat::EConvertError& e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(c.message));
        }
        EXPECT_EQ(n.Limbs(), Limbs{42});
    }
}

TEST(BigInt, SetIntSplitsIntoLimbsAndRefusesNegatives) {
    EXPECT_EQ(TBigInt::CreateInt(0).Limbs(), Limbs{0});
    EXPECT_EQ(TBigInt::CreateInt(2147483647).Limbs(), (Limbs{147483647, 2}));
    TBigInt n = TBigInt::CreateInt(1000000000);
    EXPECT_EQ(n.Limbs(), (Limbs{0, 1}));
    EXPECT_THROW(n.SetInt(-1), plat::EMathError);
    EXPECT_THROW(TBigInt::CreateInt(-2147483647 - 1), plat::EMathError);
    EXPECT_EQ(n.Limbs(), (Limbs{0, 1}));
}

TEST(BigInt, OperandsMayBeTheSameObject) {
    const TBigInt x = dec("123456789987654321123456789");
    TBigInt n = x;
    n.Add(n);
    EXPECT_EQ(n, dec("246913579975308642246913578"));
    n = x;
    n.Multiply(n);
    EXPECT_EQ(n, dec("15241578994055784231214753534217345240512116750190521"));
    n.Subtract(n);
    EXPECT_EQ(n.Limbs(), Limbs{0});

    n = dec("1000000000000000000000");
    TBigInt r;
    TBigInt::DivMod(dec("999999999999"), n, r, n); // quotient into the dividend
    EXPECT_EQ(n, dec("1000000000"));
    EXPECT_EQ(r, dec("1000000000"));
    n = dec("1000000000000000000000");
    TBigInt q;
    TBigInt::DivMod(dec("999999999999"), n, n, q); // remainder into the dividend
    EXPECT_EQ(n, dec("1000000000"));
    EXPECT_EQ(q, dec("1000000000"));
    TBigInt d = dec("999999999999");
    TBigInt::DivMod(d, dec("1000000000000000000000"), d, q); // remainder into the divisor
    EXPECT_EQ(d, dec("1000000000"));

    n = x;
    n.Modulo(n);
    EXPECT_EQ(n.Limbs(), Limbs{0});
    n = x;
    n.Divide(n);
    EXPECT_EQ(n.Limbs(), Limbs{1});
}

// ---- Against GMP ----------------------------------------------------------

TEST(BigIntOracle, ParsingRenderingAndAdditionMatchGmp) {
    Operands gen(0x5EED0001);
    for (int i = 0; i < 1500; ++i) {
        const Mpz a = gen.number();
        const Mpz b = gen.number();
        TBigInt x = fromMpz(a, i);
        const TBigInt y = fromMpz(b, i + 1);
        ASSERT_TRUE(equalsMpz(x, a));
        ASSERT_EQ(x.ToHex().toStdString(), a.str(-16));

        const int expected = mpz_cmp(a.v, b.v);
        ASSERT_EQ(x.Compare(y), (expected > 0) - (expected < 0));

        Mpz sum;
        mpz_add(sum.v, a.v, b.v);
        x.Add(y);
        ASSERT_TRUE(equalsMpz(x, sum)) << i;
        x.Subtract(y);
        ASSERT_TRUE(equalsMpz(x, a)) << i;

        const Mpz& big = expected >= 0 ? a : b;
        const Mpz& small = expected >= 0 ? b : a;
        TBigInt d = fromMpz(big, i);
        Mpz diff;
        mpz_sub(diff.v, big.v, small.v);
        d.Subtract(fromMpz(small, i));
        ASSERT_TRUE(equalsMpz(d, diff)) << i;
    }
}

TEST(BigIntOracle, MultiplicationMatchesGmp) {
    Operands gen(0x5EED0002);
    for (int i = 0; i < 1500; ++i) {
        const Mpz a = gen.number();
        const Mpz b = gen.number();
        Mpz expected;
        mpz_mul(expected.v, a.v, b.v);
        TBigInt x = fromMpz(a, i);
        x.Multiply(fromMpz(b, i));
        ASSERT_TRUE(equalsMpz(x, expected)) << i;

        TBigInt square = fromMpz(a, i);
        square.Multiply(square);
        mpz_mul(expected.v, a.v, a.v);
        ASSERT_TRUE(equalsMpz(square, expected)) << i;
    }
}

TEST(BigIntOracle, DivisionMatchesGmp) {
    Operands gen(0x5EED0003);
    for (int i = 0; i < 3000; ++i) {
        // Plain random pairs, one-limb divisors, and the shapes that make the
        // digit estimate overshoot.
        Mpz d;
        Mpz n;
        switch (i % 3) {
        case 0:
            mpz_set(d.v, gen.number().v);
            mpz_set(n.v, gen.number().v);
            break;
        case 1:
            mpz_set(d.v, gen.number(1).v);
            mpz_set(n.v, gen.number().v);
            break;
        default:
            mpz_set(d.v, gen.hardDivisor().v);
            mpz_set(n.v, gen.dividendFor(d).v);
            break;
        }
        Mpz q;
        Mpz r;
        mpz_tdiv_qr(q.v, r.v, n.v, d.v);

        const TBigInt divisor = fromMpz(d, i);
        TBigInt quotient = fromMpz(n, i + 1);
        TBigInt remainder;
        TBigInt::DivMod(divisor, quotient, remainder, quotient);
        ASSERT_TRUE(equalsMpz(quotient, q)) << n.str(10) << " / " << d.str(10);
        ASSERT_TRUE(equalsMpz(remainder, r)) << n.str(10) << " % " << d.str(10);

        TBigInt viaModulo = fromMpz(n, i);
        viaModulo.Modulo(divisor);
        ASSERT_EQ(viaModulo, remainder);
        TBigInt viaDivide = fromMpz(n, i);
        viaDivide.Divide(divisor);
        ASSERT_EQ(viaDivide, quotient);
    }
}

TEST(BigIntOracle, PowModMatchesGmp) {
    Operands gen(0x5EED0004);
    for (int i = 0; i < 120; ++i) {
        // Bases and moduli up to 1024 bits (35 limbs), exponents up to 128 bits.
        const Mpz base = gen.number(35);
        Mpz exponent = gen.number(5);
        mpz_fdiv_r_2exp(exponent.v, exponent.v, 128);
        const Mpz modulus = gen.number(35);
        Mpz expected;
        mpz_powm(expected.v, base.v, exponent.v, modulus.v);

        const TBigInt b = fromMpz(base, i);
        const TBigInt e = fromMpz(exponent, i);
        const TBigInt m = fromMpz(modulus, i);
        const TBigInt result = PowMod(b, e, m);
        if (mpz_cmp_ui(exponent.v, 0) == 0) {
            ASSERT_EQ(result.Limbs(), Limbs{1}); // an exponent of 0 gives 1, whatever the modulus
            continue;
        }
        ASSERT_TRUE(equalsMpz(result, expected)) << i;
        ASSERT_TRUE(equalsMpz(b, base)); // the operands stay as they were
        ASSERT_TRUE(equalsMpz(e, exponent));
        ASSERT_TRUE(equalsMpz(m, modulus));
    }
}

TEST(BigIntOracle, PowModSmallCases) {
    EXPECT_EQ(PowMod(TBigInt::CreateInt(5), TBigInt::CreateInt(117), dec("1000000007")).ToHex(),
              QStringLiteral("249FE7FB"));
    EXPECT_EQ(PowMod(TBigInt::CreateInt(5), TBigInt::Zero(), TBigInt::CreateInt(7)).Limbs(),
              Limbs{1});
    EXPECT_EQ(PowMod(TBigInt::Zero(), TBigInt::CreateInt(3), TBigInt::CreateInt(7)).Limbs(),
              Limbs{0});
    EXPECT_EQ(PowMod(TBigInt::CreateInt(9), TBigInt::CreateInt(3), TBigInt::One()).Limbs(),
              Limbs{0});
    EXPECT_THROW(PowMod(TBigInt::CreateInt(9), TBigInt::CreateInt(3), TBigInt::Zero()),
                 plat::EMathError);
}

} // namespace
