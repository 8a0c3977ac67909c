#pragma once

#include "engine/BigInt.h"
#include "engine/VLCrypt.h"

#include <QByteArray>

#include <optional>

namespace chatd {

// The service's secret exponent s; its public value 5^s mod p is the one the
// client encrypts against.
inline constexpr char16_t kLoginSecretHex[] = u"EDDEED84328D462F48E60E09B53C60BA";

// The service's side of the login key exchange. A login key is
// "<client public value A, hex>-<ciphertext, hex>"; the service derives the
// shared value A^s mod p, deciphers the login buffer and checks that its text
// starts with userName + "|" + seed + "|" (the user name of the login packet
// and the seed this service sent). Returns the rest of the text, the
// password, or nothing when the key is malformed or does not match.
std::optional<QByteArray>
RecoverLoginPassword(const QByteArray& loginKey, const QByteArray& userName, const QByteArray& seed,
                     const TBigInt& secret,
                     const TBigInt& prime = vlcrypt::DefaultLoginGroup().Prime);

} // namespace chatd
