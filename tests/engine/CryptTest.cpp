#include "chatd/LoginVerifier.h"
#include "engine/VLCrypt.h"
#include "platform/core/Exception.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

// Replays fixed bytes as the random source and counts what was drawn.
class ByteScript {
public:
    explicit ByteScript(QByteArray bytes) : bytes_(std::move(bytes)) {}
    TRandomByteSource Source() {
        return [this] {
            if (pos_ >= bytes_.size()) {
                ADD_FAILURE() << "random source drawn more than " << bytes_.size() << " times";
                return uint8_t(0);
            }
            return static_cast<uint8_t>(bytes_[pos_++]);
        };
    }
    qsizetype Drawn() const { return pos_; }

private:
    QByteArray bytes_;
    qsizetype pos_ = 0;
};

QByteArray counting(int from, int count) {
    QByteArray b;
    for (int i = 0; i < count; ++i) {
        b.append(static_cast<char>(from + i));
    }
    return b;
}

template <typename F>
QString messageOf(F&& f) {
    try {
        f();
    } catch (const plat::Exception& e) {
        return e.Message();
    }
    return QStringLiteral("<no exception>");
}

// A small group for fast vectors: p = 2^127 - 1, S = 5^s mod p.
const TLoginGroup& smallGroup() {
    static const TLoginGroup group{TBigInt::CreateHex(u"7FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"),
                                   TBigInt::CreateHex(u"1075404A4B8EEE78DD35D50603D765D9")};
    return group;
}
const TBigInt& smallSecret() {
    static const TBigInt s = TBigInt::CreateHex(u"0F1E2D3C4B5A69788796A5B4C3D2E1F0");
    return s;
}
const TBigInt& serviceSecret() {
    static const TBigInt s = TBigInt::CreateHex(chatd::kLoginSecretHex);
    return s;
}

// ---- Modular exponentiation -----------------------------------------------

TEST(PowMod, FermatHoldsForMersennePrimes) {
    for (const int bits : {127, 521}) {
        TBigInt p = TBigInt::One();
        for (int i = 0; i < bits; ++i) {
            p.Multiply(TBigInt::Two());
        }
        TBigInt exponent = p;
        p.Subtract(TBigInt::One());
        exponent.Subtract(TBigInt::Two()); // p - 1
        EXPECT_EQ(PowMod(TBigInt::CreateInt(5), exponent, p).Limbs(), std::vector<uint32_t>{1})
            << bits;
    }
}

TEST(PowMod, ServiceConstantsAgreeWithTheSecret) {
    const TLoginGroup& g = DefaultLoginGroup();
    EXPECT_EQ(g.Prime.ToHex().size(), 256);
    EXPECT_EQ(PowMod(TBigInt::CreateInt(5), serviceSecret(), g.Prime).ToHex(),
              g.ServerPublic.ToHex());
    EXPECT_EQ(PowMod(TBigInt::CreateInt(5), smallSecret(), smallGroup().Prime).ToHex(),
              smallGroup().ServerPublic.ToHex());
}

TEST(PowMod, BothSidesOfTheExchangeAgree) {
    const TBigInt& p = DefaultLoginGroup().Prime;
    const TBigInt five = TBigInt::CreateInt(5);
    const TBigInt a = TBigInt::CreateHex(u"C3A5F00D1234567890ABCDEFFEDCBA98");
    const TBigInt b = TBigInt::CreateHex(u"0123456789ABCDEF0011223344556677");
    const TBigInt ab = PowMod(PowMod(five, a, p), b, p);
    EXPECT_EQ(ab.ToHex(), PowMod(PowMod(five, b, p), a, p).ToHex());
    EXPECT_GT(ab.ToHex().size(), 200);
}

// ---- TEA ------------------------------------------------------------------

TEST(Tea, AllZeroVector) {
    uint32_t y = 0;
    uint32_t z = 0;
    EncipherBlock(y, z, 0, 0, 0, 0);
    EXPECT_EQ(y, 0x41EA3A0Au);
    EXPECT_EQ(z, 0x94BAA940u);
    EXPECT_EQ(Encrypt(u"00000000000000000000000000000000", QByteArray(8, '\0')),
              QStringLiteral("0A3AEA4140A9BA94"));
}

TEST(Tea, ChainsBlocksAndReadsKeyBytesInOrder) {
    const QString expected = QStringLiteral("395F7E2E2ACCBBC103873B45EBFD47FE");
    EXPECT_EQ(Encrypt(u"00112233445566778899AABBCCDDEEFF", counting(0, 16)), expected);
    EXPECT_EQ(Encrypt(u"00112233445566778899aabbccddeeff", counting(0, 16)), expected);
    // The second block depends on the first through the chaining.
    QByteArray changed = counting(0, 16);
    changed[0] = 1;
    EXPECT_NE(Encrypt(u"00112233445566778899AABBCCDDEEFF", changed).mid(16), expected.mid(16));
    EXPECT_EQ(Encrypt(u"00112233445566778899AABBCCDDEEFF", QByteArray()), QString());
    const auto k = TeaKeyWords(u"00112233445566778899AABBCCDDEEFF");
    EXPECT_EQ(k[0], 0x33221100u);
    EXPECT_EQ(k[3], 0xFFEEDDCCu);
}

TEST(Tea, RefusesBadKeysAndUnalignedData) {
    const QByteArray block(8, 'x');
    EXPECT_EQ(messageOf([&] { Encrypt(u"0000000000000000000000000000000", block); }),
              QStringLiteral("Key is not 32 characters long"));
    EXPECT_EQ(messageOf([&] { Encrypt(u"000000000000000000000000000000000", block); }),
              QStringLiteral("Key is not 32 characters long"));
    EXPECT_EQ(messageOf([&] { Encrypt(u"0000000000000000000000000000000", QByteArray(7, 'x')); }),
              QStringLiteral("Key is not 32 characters long"));
    EXPECT_EQ(messageOf([&] { Encrypt(u"00000000000000000000000000000000", QByteArray(7, 'x')); }),
              QStringLiteral("Text to encrypt is not 8 byte aligned"));
    EXPECT_EQ(messageOf([&] { Encrypt(u"00000000000000000000000000000000", QByteArray(9, 'x')); }),
              QStringLiteral("Text to encrypt is not 8 byte aligned"));
    EXPECT_EQ(messageOf([&] { Encrypt(u"000000000000000G0000000000000000", block); }),
              QStringLiteral("'$0000000G' is not a valid integer value"));
    EXPECT_EQ(messageOf([&] { Encrypt(u"0000000-000000000000000000000000", block); }),
              QStringLiteral("'$0000000-' is not a valid integer value"));
}

// ---- Pieces of the login key -----------------------------------------------

TEST(LoginKey, KeyTextIsPaddedOrCutTo32Digits) {
    // K of 31 digits, from the small group and the exponent 2323...23.
    const TBigInt a = TBigInt::CreateHex(u"23232323232323232323232323232323");
    const TBigInt k = PowMod(smallGroup().ServerPublic, a, smallGroup().Prime);
    EXPECT_EQ(k.ToHex(), QStringLiteral("13E2B2E040C4ABF0D3E1511BD8B1C42"));
    EXPECT_EQ(LoginKeyText(k), QStringLiteral("013E2B2E040C4ABF0D3E1511BD8B1C42"));
    EXPECT_EQ(LoginKeyText(DefaultLoginGroup().Prime), QString(16, 'F') + "C90FDAA22168C234");
    // S has a leading zero digit: its text starts at the first nonzero one.
    EXPECT_EQ(LoginKeyText(DefaultLoginGroup().ServerPublic),
              QStringLiteral("38B6315A3C001BB2AC3BA02D7FE268C3"));
    EXPECT_EQ(LoginKeyText(TBigInt::CreateHex(u"ABCDEF")), QString(26, '0') + "ABCDEF");
    EXPECT_EQ(LoginKeyText(TBigInt::Zero()), QString(32, '0'));
}

TEST(LoginKey, BufferIsPaddedWithOneToEightSpaces) {
    const struct {
        int textLength;
        int spaces;
    } cases[] = {{0, 4}, {4, 8}, {5, 7}, {11, 1}, {12, 8}, {16, 4}, {20, 8}};
    for (const auto& c : cases) {
        ByteScript random(counting(0xF0, 8));
        const QByteArray text(c.textLength, 'a');
        const QByteArray buffer = MakeLoginBuffer(text, random.Source());
        ASSERT_EQ(buffer.size(), 12 + c.textLength + c.spaces) << c.textLength;
        EXPECT_EQ(buffer.size() % 8, 0);
        EXPECT_EQ(buffer.left(8), counting(0xF0, 8));
        EXPECT_EQ(buffer.mid(8, 4), QByteArray("\0\0\0", 3) + char(c.textLength));
        EXPECT_EQ(buffer.mid(12, c.textLength), text);
        EXPECT_EQ(buffer.mid(12 + c.textLength), QByteArray(c.spaces, ' ')) << c.textLength;
    }
    ByteScript random(QByteArray(8, 0));
    EXPECT_EQ(MakeLoginBuffer(QByteArray(300, 'a'), random.Source()).mid(8, 4),
              QByteArray("\0\0\x01\x2C", 4)); // big-endian length
}

TEST(LoginKey, KnownVectorsOverTheSmallGroup) {
    const QByteArray prefix = counting(1, 8);
    ByteScript first(counting(1, 16) + prefix);
    EXPECT_EQ(MakeLoginKey("bob", "pw", "S33D", first.Source(), smallGroup()),
              QByteArray("7fc16678e3a829d7e2eb39b1afc23276-"
                         "408761bd394215319a95dd570b18275ad30ef3a56ff355e7"));
    EXPECT_EQ(first.Drawn(), 24);

    // A shared value of 31 digits: the key text gets a leading '0'.
    ByteScript second(QByteArray(16, 0x23) + prefix);
    EXPECT_EQ(MakeLoginKey("bob", "pw", "S33D", second.Source(), smallGroup()),
              QByteArray("4056e3059d3985993f4091c07578cedf-"
                         "22a5d7406a50a8f4d6009a28349d2e8ae482aa1f1cc4fdfa"));
}

TEST(LoginKey, KnownVectorOverTheServiceGroup) {
    ByteScript random(counting(1, 16) + counting(1, 8));
    const QByteArray key = MakeLoginKey("bob", "pw", "S33D", random.Source());
    EXPECT_EQ(key,
              QByteArray("eaec2221cdcdc7dbb72d48b7546ec0aa79ec281404cbb2baa8ea96746f3a07147ab726"
                         "018570aae04f6280ce3bddb12d8b89ba1c5b3a4cd6f18400ada9bf9d91a75c7e12b7fa"
                         "bc0d83c749180870d20672b76fbef9268c124f6227b4cc20a4cbb66a2ac71e4e167236"
                         "46a234c813917ca498f83949860aececc8c7dd72ffcf90-"
                         "f17a83e91c3ab2379c8e36204d6aea02bbd7cb3329a829ba"));
}

TEST(LoginKey, SystemRandomKeysAreWellFormedAndDiffer) {
    const QRegularExpression shape(QStringLiteral("^[0-9a-f]{1,256}-([0-9a-f]{16})+$"));
    const QByteArray one = MakeLoginKey("Someone", "secret", "1234567");
    const QByteArray two = MakeLoginKey("Someone", "secret", "1234567");
    EXPECT_TRUE(shape.match(QString::fromLatin1(one)).hasMatch()) << one.constData();
    EXPECT_EQ(one.count('-'), 1);
    // "Someone|1234567|secret" is 22 bytes: 12 + 22 + 6 = 40 bytes, 5 blocks.
    EXPECT_EQ(one.size() - one.indexOf('-') - 1, 5 * 16);
    EXPECT_NE(one, two);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_LT(SystemRandomByte(), 255);
    }
}

// ---- The service's side ----------------------------------------------------

TEST(LoginVerifier, RecoversThePasswordOfAWholeLogin) {
    const struct {
        QByteArray user, seed, password;
    } cases[] = {
        {"Someone", "1234567", "secret"},
        {"bob", "S33D", ""},                            // empty password
        {"bob", "S33D", "a|b|c"},                       // separators inside the password
        {"x", "y", QByteArray("\0\xff\x80 end  ", 10)}, // any bytes, trailing spaces kept
        {"long", "seed", QByteArray(200, 'p')},         // many blocks
    };
    for (const auto& c : cases) {
        const QByteArray key = MakeLoginKey(c.user, c.password, c.seed);
        const auto password = chatd::RecoverLoginPassword(key, c.user, c.seed, serviceSecret());
        ASSERT_TRUE(password.has_value()) << c.user.constData();
        EXPECT_EQ(*password, c.password);
        // Another user or another seed does not match the key.
        EXPECT_FALSE(chatd::RecoverLoginPassword(key, c.user + "x", c.seed, serviceSecret()));
        EXPECT_FALSE(chatd::RecoverLoginPassword(key, c.user, c.seed + "0", serviceSecret()));
    }
    // The small group's vector, verified with its own prime.
    const QByteArray vector = "7fc16678e3a829d7e2eb39b1afc23276-"
                              "408761bd394215319a95dd570b18275ad30ef3a56ff355e7";
    EXPECT_EQ(chatd::RecoverLoginPassword(vector, "bob", "S33D", smallSecret(), smallGroup().Prime),
              QByteArray("pw"));
    EXPECT_EQ(chatd::RecoverLoginPassword(vector.toUpper(), "bob", "S33D", smallSecret(),
                                          smallGroup().Prime),
              QByteArray("pw"));
    // The wrong secret derives another key.
    EXPECT_FALSE(
        chatd::RecoverLoginPassword(vector, "bob", "S33D", serviceSecret(), smallGroup().Prime));
}

// A login key over the small group for any buffer, as a client with the
// exponent 0102...10 would send it.
QByteArray seal(const QByteArray& buffer) {
    const TBigInt a = TBigInt::CreateHex(u"0102030405060708090A0B0C0D0E0F10");
    const TBigInt& p = smallGroup().Prime;
    const TBigInt k = PowMod(smallGroup().ServerPublic, a, p);
    return (PowMod(TBigInt::CreateInt(5), a, p).ToHex().toLower() + "-" +
            Encrypt(LoginKeyText(k), buffer).toLower())
        .toLatin1();
}

std::optional<QByteArray> verifySmall(const QByteArray& key) {
    return chatd::RecoverLoginPassword(key, "bob", "S33D", smallSecret(), smallGroup().Prime);
}

TEST(LoginVerifier, RefusesBuffersWhoseLengthOrPaddingDoNotFit) {
    const QByteArray head(8, '\x11');
    const auto be32 = [](uint32_t v) {
        const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(bytes, 4);
    };
    const QByteArray text = "bob|S33D|pw"; // 11 bytes: 1 space
    ASSERT_EQ(verifySmall(seal(head + be32(11) + text + " ")), QByteArray("pw"));

    EXPECT_FALSE(verifySmall(seal(head + be32(11) + text + QByteArray(9, ' '))));
    EXPECT_FALSE(verifySmall(seal(head + be32(11) + text + "x")));
    EXPECT_FALSE(verifySmall(seal(head + be32(10) + text + " ")));
    EXPECT_FALSE(verifySmall(seal(head + be32(0xFFFFFFFF) + text + " ")));
    EXPECT_FALSE(verifySmall(seal(head + be32(0xFFFFFFF4) + "    ")));
    EXPECT_FALSE(verifySmall(seal(head + be32(100) + "    ")));
    EXPECT_FALSE(verifySmall(seal(head + be32(0) + "    "))); // no text at all
    EXPECT_FALSE(verifySmall(seal(head)));                    // shorter than the header
    EXPECT_FALSE(verifySmall(seal(head + be32(7) + "bob|S33" + QByteArray(5, ' '))));
}

TEST(LoginVerifier, RefusesMalformedKeyText) {
    const QByteArray good =
        seal(QByteArray(8, 'r') + QByteArray("\0\0\0\x0B", 4) + "bob|S33D|pw" + " ");
    ASSERT_EQ(verifySmall(good), QByteArray("pw"));
    const qsizetype dash = good.indexOf('-');
    const QByteArray left = good.left(dash);
    const QByteArray right = good.mid(dash + 1);
    const QByteArray p = smallGroup().Prime.ToHex().toLatin1();
    TBigInt unreduced = TBigInt::CreateHex(QString::fromLatin1(left));
    unreduced.Add(smallGroup().Prime); // the same value mod p, but never what a client sends

    const QByteArray bad[] = {
        QByteArray(),
        "-",
        left + right,                              // no separator
        "-" + right,                               // no public value
        left + "-",                                // no ciphertext
        left + "-" + right + "-" + right,          // two separators
        left + "-" + right.left(right.size() - 1), // a broken block
        left + "-" + right + "0",
        left + "g-" + right, // not hexadecimal
        left + "-" + right.left(20) + "x" + right.mid(21),
        left + "-" + right.left(20) + " " + right.mid(21),
        "0-" + right,    // public value 0
        p + "-" + right, // public value not below p
        unreduced.ToHex().toLatin1() + "-" + right,
        QByteArray(257, '0') + left + "-" + right, // too long a public value
        left + "-" + QByteArray(right).replace(3, 1, right[3] == '0' ? "1" : "0"),
        left + "-" +
            QByteArray(right).replace(right.size() - 3, 1,
                                      right[right.size() - 3] == '0' ? "1" : "0"),
        "+" + left + "-" + right,
    };
    for (const QByteArray& key : bad) {
        EXPECT_FALSE(verifySmall(key)) << key.constData();
    }
}

} // namespace
