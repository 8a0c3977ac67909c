#include "chatd/LoginVerifier.h"

#include <QByteArrayView>
#include <QtEndian>

#include <algorithm>

namespace chatd {

namespace {

// The client's public value is below p: at most 256 hexadecimal digits.
constexpr qsizetype kMaxPublicDigits = 256;
constexpr qsizetype kBlockDigits = 16;
constexpr qsizetype kHeaderBytes = 12; // 8 random bytes and the text length
constexpr uint32_t kDelta = 0x9E3779B9;

bool IsHexText(QByteArrayView text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

void DecipherBlock(uint32_t& y, uint32_t& z, const std::array<uint32_t, 4>& k) {
    uint32_t sum = kDelta * 32;
    for (int round = 0; round < 32; ++round) {
        z -= ((y << 4) + k[2]) ^ (y + sum) ^ ((y >> 5) + k[3]);
        y -= ((z << 4) + k[0]) ^ (z + sum) ^ ((z >> 5) + k[1]);
        sum -= kDelta;
    }
}

// TEA-CBC with a zero initial vector, the inverse of the client's Encrypt.
QByteArray Decrypt(const std::array<uint32_t, 4>& k, const QByteArray& cipher) {
    QByteArray plain(cipher.size(), Qt::Uninitialized);
    uint32_t prevY = 0;
    uint32_t prevZ = 0;
    for (qsizetype i = 0; i < cipher.size(); i += 8) {
        const uint32_t cy = qFromLittleEndian<uint32_t>(cipher.constData() + i);
        const uint32_t cz = qFromLittleEndian<uint32_t>(cipher.constData() + i + 4);
        uint32_t y = cy;
        uint32_t z = cz;
        DecipherBlock(y, z, k);
        qToLittleEndian(y ^ prevY, plain.data() + i);
        qToLittleEndian(z ^ prevZ, plain.data() + i + 4);
        prevY = cy;
        prevZ = cz;
    }
    return plain;
}

// The text part of a login buffer, or nothing when its length field or its
// padding does not fit the buffer.
std::optional<QByteArray> TextOfBuffer(const QByteArray& buffer) {
    if (buffer.size() < kHeaderBytes) {
        return std::nullopt;
    }
    const uint64_t length = qFromBigEndian<uint32_t>(buffer.constData() + 8);
    const uint64_t pad = 8 - (length + kHeaderBytes) % 8;
    if (kHeaderBytes + length + pad != uint64_t(buffer.size())) {
        return std::nullopt;
    }
    const auto textLength = static_cast<qsizetype>(length);
    const QByteArrayView padding =
        QByteArrayView(buffer).sliced(kHeaderBytes + textLength, static_cast<qsizetype>(pad));
    if (!std::all_of(padding.begin(), padding.end(), [](char c) { return c == ' '; })) {
        return std::nullopt;
    }
    return buffer.mid(kHeaderBytes, textLength);
}

} // namespace

std::optional<QByteArray> RecoverLoginPassword(const QByteArray& loginKey,
                                               const QByteArray& userName, const QByteArray& seed,
                                               const TBigInt& secret, const TBigInt& prime) {
    const qsizetype dash = loginKey.indexOf('-');
    if (dash < 0) {
        return std::nullopt;
    }
    const QByteArrayView publicHex = QByteArrayView(loginKey).first(dash);
    const QByteArrayView cipherHex = QByteArrayView(loginKey).sliced(dash + 1);
    if (publicHex.isEmpty() || publicHex.size() > kMaxPublicDigits || !IsHexText(publicHex)) {
        return std::nullopt;
    }
    if (cipherHex.isEmpty() || cipherHex.size() % kBlockDigits != 0 || !IsHexText(cipherHex)) {
        return std::nullopt;
    }
    const TBigInt clientPublic = TBigInt::CreateHex(QString::fromLatin1(publicHex));
    if (clientPublic.IsZero() || clientPublic.Compare(prime) >= 0) {
        return std::nullopt;
    }
    const TBigInt shared = PowMod(clientPublic, secret, prime);
    const auto key = vlcrypt::TeaKeyWords(vlcrypt::LoginKeyText(shared));
    const auto text = TextOfBuffer(Decrypt(key, QByteArray::fromHex(cipherHex.toByteArray())));
    if (!text) {
        return std::nullopt;
    }
    const QByteArray prefix = userName + '|' + seed + '|';
    if (!text->startsWith(prefix)) {
        return std::nullopt;
    }
    return text->mid(prefix.size());
}

} // namespace chatd
