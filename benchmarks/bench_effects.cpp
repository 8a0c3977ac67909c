// The effects kit's compressed streams: compressing and expanding 10 MB of
// chat-log text and of random bytes, next to zlib's fastest level on the same
// data. Throughput is of the uncompressed bytes; "ratio" is compressed size
// over original size.

#include "effects/core/VfxStreams.h"

#include <QBuffer>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

constexpr qsizetype kSize = 10 * 1024 * 1024;

// A fixed pseudo-random sequence, so every run measures the same data.
class Lcg {
public:
    uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    template <typename T, size_t N>
    const T& Pick(const std::array<T, N>& from) {
        return from[Next() % N];
    }

private:
    uint32_t state_ = 12345;
};

// Lines as a chat log holds them: time stamps, names, group tags, sentences
// from a small vocabulary, joins and leaves.
QByteArray ChatLog() {
    static const std::array<const char*, 12> names = {"Vessa",   "Tarmin",  "Orlek",   "Kaldrin",
                                                      "Mirelle", "Dunnoc",  "Sabrae",  "Felkin",
                                                      "Aumbrey", "Yssolde", "Brannoc", "Quell"};
    static const std::array<const char*, 6> groups = {"[Ostrelian OOC] ", "[Trade] ", "", "",
                                                      "[Guild] ",         ""};
    static const std::array<const char*, 48> words = {
        "the",   "a",    "to",    "and",    "anyone",  "for",  "gate", "north",   "run",   "need",
        "heal",  "tank", "lol",   "ok",     "going",   "now",  "inv",  "pls",     "wtb",   "wts",
        "armor", "ring", "boots", "price",  "credits", "team", "raid", "tonight", "see",   "you",
        "at",    "the",  "inn",   "quest",  "reward",  "drop", "rare", "mob",     "spawn", "camp",
        "zone",  "afk",  "brb",   "thanks", "ty",      "np",   "hey",  "all"};
    Lcg rng;
    QByteArray log;
    log.reserve(kSize + 256);
    int minute = 0;
    while (log.size() < kSize) {
        minute = (minute + int(rng.Next() % 3)) % (24 * 60);
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "[%02d:%02d] ", minute / 60, minute % 60);
        log += stamp;
        const uint32_t kind = rng.Next() % 20;
        if (kind == 0) {
            log += rng.Pick(names);
            log += " has joined the channel.\r\n";
            continue;
        }
        if (kind == 1) {
            log += rng.Pick(names);
            log += " has left the channel.\r\n";
            continue;
        }
        log += rng.Pick(groups);
        log += rng.Pick(names);
        log += ": ";
        const int count = 3 + int(rng.Next() % 14);
        for (int i = 0; i < count; ++i) {
            log += rng.Pick(words);
            log += i + 1 < count ? " " : "\r\n";
        }
    }
    log.truncate(kSize);
    return log;
}

QByteArray RandomData() {
    Lcg rng;
    QByteArray data(kSize, Qt::Uninitialized);
    for (char& c : data) {
        c = static_cast<char>(rng.Next());
    }
    return data;
}

const QByteArray& Data(int64_t which) {
    static const QByteArray text = ChatLog();
    static const QByteArray random = RandomData();
    return which == 0 ? text : random;
}

void Label(benchmark::State& state, qsizetype compressed) {
    const QByteArray& data = Data(state.range(0));
    state.SetLabel(state.range(0) == 0 ? "chat log" : "random");
    state.SetBytesProcessed(int64_t(state.iterations()) * data.size());
    state.counters["ratio"] = double(compressed) / double(data.size());
}

void BM_KitCompress(benchmark::State& state) {
    const QByteArray& data = Data(state.range(0));
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray packed = fx::VfxCompressBytes(data);
        size = packed.size();
        benchmark::DoNotOptimize(packed.constData());
    }
    Label(state, size);
}

void BM_KitDecompress(benchmark::State& state) {
    const QByteArray& data = Data(state.range(0));
    QByteArray packed = fx::VfxCompressBytes(data);
    for (auto _ : state) {
        QBuffer in(&packed);
        in.open(QIODevice::ReadOnly);
        const QByteArray out = fx::VfxDecompressBytes(in);
        if (out.size() != data.size()) {
            state.SkipWithError("wrong size");
        }
        benchmark::DoNotOptimize(out.constData());
    }
    Label(state, packed.size());
}

QByteArray ZlibCompress(const QByteArray& data) {
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size()),
                  Z_BEST_SPEED) != Z_OK) {
        throw std::runtime_error("zlib compress failed");
    }
    out.truncate(qsizetype(size));
    return out;
}

void BM_ZlibCompress1(benchmark::State& state) {
    const QByteArray& data = Data(state.range(0));
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray packed = ZlibCompress(data);
        size = packed.size();
        benchmark::DoNotOptimize(packed.constData());
    }
    Label(state, size);
}

void BM_ZlibDecompress(benchmark::State& state) {
    const QByteArray& data = Data(state.range(0));
    const QByteArray packed = ZlibCompress(data);
    QByteArray out(data.size(), Qt::Uninitialized);
    for (auto _ : state) {
        uLongf size = uLongf(out.size());
        if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                       reinterpret_cast<const Bytef*>(packed.constData()),
                       uLong(packed.size())) != Z_OK ||
            size != uLongf(data.size())) {
            state.SkipWithError("zlib uncompress failed");
        }
        benchmark::DoNotOptimize(out.constData());
    }
    Label(state, packed.size());
}

// Argument 0: chat-log text; 1: random bytes.
BENCHMARK(BM_KitCompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibCompress1)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KitDecompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibDecompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
