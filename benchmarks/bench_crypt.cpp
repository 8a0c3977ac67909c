// Modular exponentiation of the login key exchange, next to GMP's, and the
// whole login key computation.
#include "engine/VLCrypt.h"

#include <benchmark/benchmark.h>
#include <gmp.h>

namespace {

// A fixed 128-bit exponent, as a login draws it.
constexpr char16_t kExponentHex[] = u"9C3E5A1F0B7D2E48A6F1C0D3B2E59487";

void BM_Crypt_PowMod(benchmark::State& state) {
    const vlcrypt::LoginGroup& group = vlcrypt::DefaultLoginGroup();
    const TBigInt exponent = TBigInt::CreateHex(kExponentHex);
    for (auto _ : state) {
        TBigInt r = PowMod(group.ServerPublic, exponent, group.Prime);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_Crypt_PowMod)->Unit(benchmark::kMicrosecond);

void BM_Crypt_PowModGmp(benchmark::State& state) {
    const vlcrypt::LoginGroup& group = vlcrypt::DefaultLoginGroup();
    mpz_t base, exponent, modulus, result;
    mpz_init_set_str(base, group.ServerPublic.ToHex().toLatin1().constData(), 16);
    mpz_init_set_str(exponent, QString::fromUtf16(kExponentHex).toLatin1().constData(), 16);
    mpz_init_set_str(modulus, group.Prime.ToHex().toLatin1().constData(), 16);
    mpz_init(result);
    for (auto _ : state) {
        mpz_powm(result, base, exponent, modulus);
        benchmark::DoNotOptimize(result);
    }
    mpz_clears(base, exponent, modulus, result, nullptr);
}
BENCHMARK(BM_Crypt_PowModGmp)->Unit(benchmark::kMicrosecond);

void BM_Crypt_MakeLoginKey(benchmark::State& state) {
    for (auto _ : state) {
        QByteArray key = MakeLoginKey("Someone", "a password", "1234567");
        benchmark::DoNotOptimize(key);
    }
}
BENCHMARK(BM_Crypt_MakeLoginKey)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
