#include "engine/VLCrypt.h"

#include "engine/BigIntMontgomery.h"

#include "platform/core/Convert.h"
#include "platform/core/Exception.h"
#include "platform/core/Format.h"

#include <QRandomGenerator>
#include <QtEndian>

namespace {

// The chat service's key-exchange group: a 1024-bit safe prime, and the
// service's public value 5^s mod p.
constexpr char16_t kPrimeHex[] =
    u"FFFFFFFFFFFFFFFFC90FDAA22168C234C4C6628B80DC1CD129024E088A67CC74020BBEA63B139B22"
    u"514A08798E3404DDEF9519B3CD3A431B302B0A6DF25F14374FE1356D6D51C245E485B576625E7EC6F4"
    u"4C42E9A637ED6B0BFF5CB6F406B7EDEE386BFB5A899FA5AE9F24117C4B1FE649286651ECE65381FFFF"
    u"FFFFFFFFFFFF";
constexpr char16_t kServerPublicHex[] =
    u"038B6315A3C001BB2AC3BA02D7FE268C33EEEC9FEF3113432633BADDEEE6E65CA63064B8978A53E622"
    u"5513AAFE0A53934A9DA371B79A51212A0194D1CCDC77F3CF1DFC57DAB23FD5DB3AADB002A40BA92AFB"
    u"17384E8C6B2A3F4DF26ADCA107B7CCEECFE22DF0ADB2B81ED6AFCCFD3DE89DDC94938F57DE74B80AAB"
    u"C0252F7942";
constexpr int kGenerator = 5;
constexpr int kExponentBytes = 16;
constexpr int kPrefixBytes = 8;
constexpr int kKeyTextDigits = 32;
constexpr uint32_t kDelta = 0x9E3779B9;

} // namespace

namespace vlcrypt {

uint8_t SystemRandomByte() {
    return static_cast<uint8_t>(QRandomGenerator::system()->bounded(255u));
}

const LoginGroup& DefaultLoginGroup() {
    static const LoginGroup group{TBigInt::CreateHex(kPrimeHex),
                                  TBigInt::CreateHex(kServerPublicHex)};
    return group;
}

std::array<uint32_t, 4> TeaKeyWords(QStringView keyText) {
    if (keyText.size() != kKeyTextDigits) {
        throw plat::EConvertError(QStringLiteral("Key is not 32 characters long"));
    }
    std::array<uint32_t, 4> words{};
    char16_t group[9] = {u'$'};
    for (int i = 0; i < 4; ++i) {
        std::copy_n(keyText.utf16() + 8 * i, 8, group + 1);
        const auto value = static_cast<uint32_t>(plat::StrToInt(QStringView(group, 9)));
        words[i] = qbswap(value);
    }
    return words;
}

QString LoginKeyText(const TBigInt& shared) {
    QString text = shared.ToHex();
    if (text.size() < kKeyTextDigits) {
        text.prepend(QString(kKeyTextDigits - text.size(), QLatin1Char('0')));
    }
    return text.left(kKeyTextDigits);
}

QByteArray MakeLoginBuffer(const QByteArray& textPart, const RandomByteSource& random) {
    const auto length = static_cast<uint32_t>(textPart.size());
    const int pad = 8 - static_cast<int>((uint64_t(length) + 12) % 8);
    QByteArray buffer;
    buffer.reserve(12 + textPart.size() + pad);
    for (int i = 0; i < kPrefixBytes; ++i) {
        buffer.append(static_cast<char>(random()));
    }
    char lengthBytes[4];
    qToBigEndian(length, lengthBytes);
    buffer.append(lengthBytes, 4);
    buffer.append(textPart);
    buffer.append(pad, ' ');
    return buffer;
}

} // namespace vlcrypt

TBigInt PowMod(const TBigInt& base, const TBigInt& exponent, const TBigInt& modulus) {
    if (modulus.IsZero()) {
        throw plat::EMathError(QStringLiteral("Division by zero"));
    }
    if (TBigIntMontgomery::Applies(modulus)) {
        return TBigIntMontgomery(modulus).PowMod(base, exponent);
    }
    // An even modulus, or a multiple of 5: a long division after every product.
    TBigInt result = TBigInt::One();
    TBigInt e = exponent;
    TBigInt b = base;
    TBigInt bit;
    while (e.Compare(TBigInt::Zero()) > 0) {
        TBigInt::DivMod(TBigInt::Two(), e, bit, e);
        if (bit.Compare(TBigInt::One()) == 0) {
            result.Multiply(b);
            result.Modulo(modulus);
        }
        // The square after the last bit would never be used.
        if (e.Compare(TBigInt::Zero()) > 0) {
            b.Multiply(b);
            b.Modulo(modulus);
        }
    }
    return result;
}

void EncipherBlock(uint32_t& y, uint32_t& z, uint32_t k0, uint32_t k1, uint32_t k2, uint32_t k3) {
    uint32_t sum = 0;
    for (int round = 0; round < 32; ++round) {
        sum += kDelta;
        y += ((z << 4) + k0) ^ (z + sum) ^ ((z >> 5) + k1);
        z += ((y << 4) + k2) ^ (y + sum) ^ ((y >> 5) + k3);
    }
}

QString Encrypt(QStringView keyText, const QByteArray& data) {
    static const char16_t digits[] = u"0123456789ABCDEF";
    if (keyText.size() != kKeyTextDigits) {
        throw plat::EConvertError(QStringLiteral("Key is not 32 characters long"));
    }
    if (data.size() % 8 != 0) {
        throw plat::EConvertError(QStringLiteral("Text to encrypt is not 8 byte aligned"));
    }
    const auto k = vlcrypt::TeaKeyWords(keyText);
    QString out(data.size() * 2, Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    uint32_t prevY = 0;
    uint32_t prevZ = 0;
    unsigned char block[8];
    for (qsizetype i = 0; i < data.size(); i += 8) {
        uint32_t y = qFromLittleEndian<uint32_t>(data.constData() + i) ^ prevY;
        uint32_t z = qFromLittleEndian<uint32_t>(data.constData() + i + 4) ^ prevZ;
        EncipherBlock(y, z, k[0], k[1], k[2], k[3]);
        prevY = y;
        prevZ = z;
        qToLittleEndian(y, block);
        qToLittleEndian(z, block + 4);
        for (const unsigned char byte : block) {
            *o++ = digits[byte >> 4];
            *o++ = digits[byte & 15];
        }
    }
    return out;
}

QByteArray MakeLoginKey(const QByteArray& userName, const QByteArray& password,
                        const QByteArray& loginSeed, const vlcrypt::RandomByteSource& random,
                        const vlcrypt::LoginGroup& group) {
    QString exponentHex;
    exponentHex.reserve(2 * kExponentBytes);
    for (int i = 0; i < kExponentBytes; ++i) {
        exponentHex += plat::Format("%.2x", random());
    }
    const TBigInt exponent = TBigInt::CreateHex(exponentHex);
    const TBigInt generator(kGenerator);
    const TBigInt ownPublic = PowMod(generator, exponent, group.Prime);
    const TBigInt shared = PowMod(group.ServerPublic, exponent, group.Prime);
    const QString keyText = vlcrypt::LoginKeyText(shared);

    const QByteArray textPart = userName + '|' + loginSeed + '|' + password;
    const QByteArray buffer = vlcrypt::MakeLoginBuffer(textPart, random);
    return (ownPublic.ToHex().toLower() + QLatin1Char('-') + Encrypt(keyText, buffer).toLower())
        .toLatin1();
}
