#pragma once

#include "engine/BigInt.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <functional>

// The login key exchange: a Diffie-Hellman step (generator 5) against the
// server's fixed public value, a TEA key taken from the shared value, and the
// TEA-CBC encryption of "user|seed|password" under that key.

namespace vlcrypt {

// Draws one random byte in 0..254.
using RandomByteSource = std::function<uint8_t()>;

// The operating system's secure generator, each byte in 0..254.
uint8_t SystemRandomByte();

// The group the exchange works in: the prime modulus p and the server's
// public value S = 5^s mod p.
struct LoginGroup {
    TBigInt Prime;
    TBigInt ServerPublic;
};

// The chat service's p and S.
const LoginGroup& DefaultLoginGroup();

// The four key words of a 32-digit key text: the digits spell 16 bytes, each
// group of four read as a little-endian word. Raises the integer parser's
// EConvertError for a group that is not hexadecimal.
std::array<uint32_t, 4> TeaKeyWords(QStringView keyText);

// The TEA key text of a shared value: its hexadecimal digits, left-padded
// with '0' to 32 digits, or its first 32 digits when longer.
QString LoginKeyText(const TBigInt& shared);

// 8 random bytes, the text's length as 32-bit big-endian, the text, and
// 1..8 spaces up to a multiple of 8 bytes.
QByteArray MakeLoginBuffer(const QByteArray& textPart, const RandomByteSource& random);

} // namespace vlcrypt

// base^exponent mod modulus (right-to-left binary); the operands are not changed.
TBigInt PowMod(const TBigInt& base, const TBigInt& exponent, const TBigInt& modulus);

// One TEA block, 32 rounds, enciphered in place.
void EncipherBlock(uint32_t& y, uint32_t& z, uint32_t k0, uint32_t k1, uint32_t k2, uint32_t k3);

// TEA-CBC with a zero initial vector; upper-case hexadecimal of the ciphertext
// bytes. Raises EConvertError "Key is not 32 characters long" or
// "Text to encrypt is not 8 byte aligned".
QString Encrypt(QStringView keyText, const QByteArray& data);

// The login key text for the server's "Login Seed": lower-case hexadecimal of
// the client's public value, "-", and the lower-case ciphertext of the login
// buffer of userName + "|" + loginSeed + "|" + password.
QByteArray MakeLoginKey(const QByteArray& userName, const QByteArray& password,
                        const QByteArray& loginSeed,
                        const vlcrypt::RandomByteSource& random = vlcrypt::SystemRandomByte,
                        const vlcrypt::LoginGroup& group = vlcrypt::DefaultLoginGroup());
