#include "chatd/LoginVerifier.h"
#include "engine/VLCrypt.h"
#include "platform/core/Exception.h"

#include "Raises.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

using chatd::RecoverLoginPassword;
using vlcrypt::LoginKeyText;
using vlcrypt::MakeLoginBuffer;

namespace {

// Replays fixed bytes as the random source and counts what was drawn.
class ByteScript {
public:
    explicit ByteScript(QByteArray bytes) : bytes_(std::move(bytes)) {}
    vlcrypt::RandomByteSource Source() {
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

QByteArray be32(uint32_t v) {
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(bytes, 4);
}

const TBigInt five = TBigInt::CreateInt(5);

// A small group for fast vectors: p = 2^127 - 1, S = 5^s mod p.
const vlcrypt::LoginGroup smallGroup{TBigInt::CreateHex(u"7FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"),
                                     TBigInt::CreateHex(u"1075404A4B8EEE78DD35D50603D765D9")};
const TBigInt smallSecret = TBigInt::CreateHex(u"0F1E2D3C4B5A69788796A5B4C3D2E1F0");
const TBigInt serviceSecret = TBigInt::CreateHex(chatd::kLoginSecretHex);

TEST(Tea, KnownVectors) {
    uint32_t y = 0;
    uint32_t z = 0;
    EncipherBlock(y, z, 0, 0, 0, 0); // the published all-zero vector
    EXPECT_EQ(y, 0x41EA3A0Au);
    EXPECT_EQ(z, 0x94BAA940u);
    EXPECT_EQ(Encrypt(QString(32, '0'), QByteArray(8, '\0')), "0A3AEA4140A9BA94");
    // Two chained blocks; the key digits spell bytes read as little-endian words.
    const char* expected = "395F7E2E2ACCBBC103873B45EBFD47FE";
    EXPECT_EQ(Encrypt(u"00112233445566778899AABBCCDDEEFF", counting(0, 16)), expected);
    EXPECT_EQ(Encrypt(u"00112233445566778899aabbccddeeff", counting(0, 16)), expected);
    EXPECT_EQ(vlcrypt::TeaKeyWords(u"00112233445566778899AABBCCDDEEFF")[3], 0xFFEEDDCCu);
    EXPECT_EQ(Encrypt(QString(32, '0'), QByteArray()), QString());
}

TEST(Tea, RefusesBadKeysAndUnalignedData) {
    const std::tuple<QString, int, const char*> cases[] = {
        {QString(31, '0'), 8, "Key is not 32 characters long"},
        {QString(33, '0'), 8, "Key is not 32 characters long"},
        {QString(31, '0'), 7, "Key is not 32 characters long"},
        {QString(32, '0'), 7, "Text to encrypt is not 8 byte aligned"},
        {QString(32, '0'), 9, "Text to encrypt is not 8 byte aligned"},
        {"000000000000000G" + QString(16, '0'), 8, "'$0000000G' is not a valid integer value"},
        {"0000000-" + QString(24, '0'), 8, "'$0000000-' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        const auto encrypt = [&] { Encrypt(std::get<0>(c), QByteArray(std::get<1>(c), 'x')); };
        EXPECT_EQ(MessageOf(encrypt), std::get<2>(c)) << std::get<1>(c);
    }
}

TEST(LoginKey, BufferIsPaddedWithOneToEightSpaces) {
    const std::pair<int, int> cases[] = {{0, 4},  {4, 8},  {5, 7},  {11, 1},
                                         {12, 8}, {16, 4}, {20, 8}, {300, 8}};
    for (const auto& [length, spaces] : cases) {
        ByteScript random(counting(0xF0, 8));
        const QByteArray text(length, 'a');
        EXPECT_EQ(MakeLoginBuffer(text, random.Source()),
                  counting(0xF0, 8) + be32(length) + text + QByteArray(spaces, ' '))
            << length;
    }
}

TEST(LoginKey, KnownVectors) {
    const QByteArray prefix = counting(1, 8);
    ByteScript first(counting(1, 16) + prefix);
    EXPECT_EQ(MakeLoginKey("bob", "pw", "S33D", first.Source(), smallGroup),
              "7fc16678e3a829d7e2eb39b1afc23276-408761bd394215319a95dd570b18275ad30ef3a56ff355e7");
    EXPECT_EQ(first.Drawn(), 24); // 16 exponent bytes, then 8 buffer bytes
    // A shared value of 31 digits: the key text gets a leading '0'.
    ByteScript second(QByteArray(16, 0x23) + prefix);
    EXPECT_EQ(MakeLoginKey("bob", "pw", "S33D", second.Source(), smallGroup),
              "4056e3059d3985993f4091c07578cedf-22a5d7406a50a8f4d6009a28349d2e8ae482aa1f1cc4fdfa");
    ByteScript service(counting(1, 16) + prefix);
    EXPECT_EQ(MakeLoginKey("bob", "pw", "S33D", service.Source()),
              "eaec2221cdcdc7dbb72d48b7546ec0aa79ec281404cbb2baa8ea96746f3a07147ab726018570aae04f"
              "6280ce3bddb12d8b89ba1c5b3a4cd6f18400ada9bf9d91a75c7e12b7fabc0d83c749180870d20672b7"
              "6fbef9268c124f6227b4cc20a4cbb66a2ac71e4e16723646a234c813917ca498f83949860aececc8c7"
              "dd72ffcf90-f17a83e91c3ab2379c8e36204d6aea02bbd7cb3329a829ba");
}

TEST(LoginKey, SystemRandomKeysAreWellFormedAndDiffer) {
    const QByteArray one = MakeLoginKey("Someone", "secret", "1234567");
    // "Someone|1234567|secret" is 22 bytes: 12 + 22 + 6 spaces = 40 bytes, 5 blocks.
    const QRegularExpression shape("^[0-9a-f]{1,256}-[0-9a-f]{80}$");
    EXPECT_TRUE(shape.match(QString::fromLatin1(one)).hasMatch()) << one.constData();
    EXPECT_NE(one, MakeLoginKey("Someone", "secret", "1234567"));
    for (int i = 0; i < 2000; ++i) {
        ASSERT_LT(vlcrypt::SystemRandomByte(), 255);
    }
}

TEST(LoginVerifier, RecoversThePasswordOfAWholeLogin) {
    const std::tuple<QByteArray, QByteArray, QByteArray> cases[] = {
        {"Someone", "1234567", "secret"},
        {"bob", "S33D", ""},                            // empty password
        {"bob", "S33D", "a|b|c"},                       // separators inside the password
        {"x", "y", QByteArray("\0\xff\x80 end  ", 10)}, // any bytes, trailing spaces kept
        {"long", "seed", QByteArray(200, 'p')},         // many blocks
    };
    for (const auto& [user, seed, password] : cases) {
        const QByteArray key = MakeLoginKey(user, password, seed);
        EXPECT_EQ(RecoverLoginPassword(key, user, seed, serviceSecret), password) << key.data();
        EXPECT_EQ(RecoverLoginPassword(key, user + "x", seed, serviceSecret), std::nullopt);
        EXPECT_EQ(RecoverLoginPassword(key, user, seed + "0", serviceSecret), std::nullopt);
    }
    const QByteArray vector =
        "7fc16678e3a829d7e2eb39b1afc23276-408761bd394215319a95dd570b18275ad30ef3a56ff355e7";
    for (const QByteArray& key : {vector, vector.toUpper()}) {
        EXPECT_EQ(RecoverLoginPassword(key, "bob", "S33D", smallSecret, smallGroup.Prime), "pw");
    }
    EXPECT_EQ(RecoverLoginPassword(vector, "bob", "S33D", serviceSecret, smallGroup.Prime),
              std::nullopt); // another secret derives another key
}

// A login key over the small group for any buffer, as a client with the
// exponent 0102...10 sends it.
QByteArray seal(const QByteArray& buffer) {
    const TBigInt a = TBigInt::CreateHex(u"0102030405060708090A0B0C0D0E0F10");
    const TBigInt k = PowMod(smallGroup.ServerPublic, a, smallGroup.Prime);
    return (PowMod(five, a, smallGroup.Prime).ToHex().toLower() + "-" +
            Encrypt(LoginKeyText(k), buffer).toLower())
        .toLatin1();
}

std::optional<QByteArray> verifySmall(const QByteArray& key) {
    return RecoverLoginPassword(key, "bob", "S33D", smallSecret, smallGroup.Prime);
}

TEST(LoginVerifier, RefusesMalformedKeysAndBuffersThatDoNotFit) {
    const QByteArray head(8, '\x11');
    const QByteArray text = "bob|S33D|pw"; // 11 bytes: 1 space
    const QByteArray good = seal(head + be32(11) + text + " ");
    ASSERT_EQ(verifySmall(good), "pw");
    const QByteArray left = good.left(good.indexOf('-'));
    const QByteArray right = good.mid(good.indexOf('-') + 1);
    TBigInt unreduced = TBigInt::CreateHex(QString::fromLatin1(left));
    unreduced.Add(smallGroup.Prime); // the same value mod p, but never what a client sends
    const auto flipped = [&](qsizetype at) {
        return QByteArray(right).replace(at, 1, right[at] == '0' ? "1" : "0");
    };
    const QByteArray bad[] = {
        // Buffers whose length or padding do not fit.
        seal(head + be32(11) + text + QByteArray(9, ' ')), seal(head + be32(11) + text + "x"),
        seal(head + be32(10) + text + " "), seal(head + be32(0xFFFFFFFF) + text + " "),
        seal(head + be32(0xFFFFFFF4) + "    "), seal(head + be32(100) + "    "),
        seal(head + be32(0) + "    "), seal(head), seal(head + be32(7) + "bob|S33" + "     "),
        // Malformed key text.
        QByteArray(), "-", left + right, "-" + right, left + "-", left + "-" + right + "-" + right,
        left + "-" + right.chopped(1), left + "-" + right + "0", left + "g-" + right,
        left + "-" + right.left(20) + "x" + right.mid(21),
        left + "-" + right.left(20) + " " + right.mid(21), "+" + left + "-" + right, "0-" + right,
        smallGroup.Prime.ToHex().toLatin1() + "-" + right,
        unreduced.ToHex().toLatin1() + "-" + right,
        QByteArray(257, '0') + left + "-" + right, // longer than any value below p
        left + "-" + flipped(3),                   // tampered first block
        left + "-" + flipped(right.size() - 3),    // tampered last block
    };
    for (const QByteArray& key : bad) {
        EXPECT_EQ(verifySmall(key), std::nullopt) << key.constData();
    }
}

} // namespace
