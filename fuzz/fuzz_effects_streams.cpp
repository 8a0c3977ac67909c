// Arbitrary bytes through the effects kit's readers: the block expander, the
// compressed stream reader, the object blocks and the wave loader.
//
// Input: byte 0 chooses the reader (low two bits) and the expander's output
// capacity; the rest is what the reader gets.
// Checked on every input:
// - no crash, no sanitizer report (the expander works on buffers of exactly
//   the sizes given, so one byte too far is a report);
// - only the documented errors: the stream read error, and for the wave its
//   two header errors; a failed wave load leaves the previous data;
// - whatever reads successfully compresses and reads back unchanged.

#include "effects/core/VfxCompress.h"
#include "effects/core/VfxStreams.h"
#include "effects/core/VfxWave.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr qsizetype kChunk = 32781;

void expect(bool condition) {
    if (!condition) {
        std::abort();
    }
}

QByteArray readBack(QByteArray packed) {
    QBuffer in(&packed);
    in.open(QIODevice::ReadOnly);
    return fx::VfxDecompressBytes(in);
}

void expandBlock(const uint8_t* data, size_t size, qsizetype capacity) {
    const std::vector<uint8_t> block(data, data + size);
    std::vector<uint8_t> out(static_cast<size_t>(capacity));
    qsizetype n = 0;
    try {
        n = fx::VfxExpandBlock(block.data(), qsizetype(block.size()), out.data(), capacity);
    } catch (const plat::EReadError&) {
        return;
    }
    expect(n >= 0 && n <= capacity);
    // What came out compresses into a block that expands to the same bytes.
    std::vector<uint8_t> again(static_cast<size_t>(fx::VfxCompressBound(n)));
    const qsizetype length = fx::VfxCompressBlock(out.data(), n, again.data());
    expect(length >= 1 && length <= n + 1);
    std::vector<uint8_t> exact(again.begin(), again.begin() + length);
    std::vector<uint8_t> back(static_cast<size_t>(n));
    expect(fx::VfxExpandBlock(exact.data(), length, back.data(), n) == n);
    expect(std::equal(back.begin(), back.end(), out.begin()));
}

void readStream(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    QByteArray out;
    try {
        out = fx::VfxDecompressBytes(in);
    } catch (const plat::EReadError&) {
        return;
    }
    expect(readBack(fx::VfxCompressBytes(out)) == out);
}

void readObjectBlock(const QByteArray& bytes, bool compressed) {
    QByteArray copy = bytes;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    QStringList lines;
    try {
        lines = fx::VfxReadStrings(in, compressed);
    } catch (const plat::EReadError&) {
        return;
    }
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    fx::VfxWriteStrings(out, lines, compressed);
    out.seek(0);
    expect(fx::VfxReadStrings(out, compressed) == lines);
}

void loadWave(const QByteArray& bytes, bool compressed) {
    static const QByteArray previous("RIFF\x26\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x40\x1F\0\0"
                                     "\x40\x1F\0\0\1\0\x08\0data\2\0\0\0\x80\x80",
                                     46);
    fx::TVfxWave wave;
    {
        QByteArray seed = previous;
        QBuffer in(&seed);
        in.open(QIODevice::ReadOnly);
        wave.LoadFromStream(in);
    }
    QByteArray copy = bytes;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    try {
        fx::VfxReadWave(in, wave, compressed);
    } catch (const plat::EReadError&) {
        expect(wave.Data() == previous);
        return;
    } catch (const fx::EInvalidWave&) {
        expect(wave.Data() == previous);
        return;
    } catch (const fx::EErrorCheckingWave&) {
        expect(wave.Data() == previous);
        return;
    }
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    fx::VfxWriteWave(out, wave, compressed);
    out.seek(0);
    fx::TVfxWave back;
    fx::VfxReadWave(out, back, compressed);
    expect(back.Data() == wave.Data());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t control = data[0];
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    switch (control & 3) {
    case 0: {
        // Mostly the stream's capacity, sometimes a small one.
        const qsizetype capacity = (control & 4) ? (control >> 3) : kChunk;
        expandBlock(data + 1, size - 1, capacity);
        break;
    }
    case 1:
        readStream(rest);
        break;
    case 2:
        readObjectBlock(rest, (control & 4) != 0);
        break;
    case 3:
        loadWave(rest, (control & 4) != 0);
        break;
    }
    return 0;
}
