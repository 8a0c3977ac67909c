#include "effects/core/VfxStreams.h"

#include "effects/core/VfxCompress.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Format.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <limits>
#include <vector>

namespace fx {

namespace {

constexpr qint64 kSequentialStep = 64 * 1024;
constexpr qsizetype kMaxBlock = kVfxStreamChunk + 1; // a stored full chunk
constexpr qsizetype kMaxShortString = 255;

void PutU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

uint32_t GetU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Reads until count bytes arrived or the stream has no more; returns how many.
qint64 ReadUpTo(QIODevice& stream, char* buffer, qint64 count) {
    qint64 done = 0;
    while (done < count) {
        const qint64 n = stream.read(buffer + done, count - done);
        if (n <= 0) {
            break;
        }
        done += n;
    }
    return done;
}

// Grows out by room bytes past size, doubling the capacity as needed.
uint8_t* GrowBy(QByteArray& out, qsizetype size, qsizetype room) {
    if (out.capacity() < size + room) {
        out.reserve(std::max(out.capacity() * 2, size + room));
    }
    out.resize(size + room);
    return reinterpret_cast<uint8_t*>(out.data()) + size;
}

} // namespace

void VfxThrowReadError() {
    throw plat::EReadError(QStringLiteral("Stream read error"));
}

void VfxThrowWriteError() {
    throw plat::EWriteError(QStringLiteral("Stream write error"));
}

void VfxOpenFile(QFile& file, bool forWriting) {
    if (forWriting) {
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2")
                                    .arg(file.fileName(), file.errorString()));
        }
    } else if (!file.open(QIODevice::ReadOnly)) {
        throw EFOpenError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(file.fileName(), file.errorString()));
    }
}

qint64 VfxRemaining(const QIODevice& stream) {
    if (stream.isSequential()) {
        return -1;
    }
    return std::max<qint64>(0, stream.size() - stream.pos());
}

void VfxReadBuffer(QIODevice& stream, void* buffer, qint64 count) {
    if (count < 0 || ReadUpTo(stream, static_cast<char*>(buffer), count) != count) {
        VfxThrowReadError();
    }
}

void VfxWriteBuffer(QIODevice& stream, const void* buffer, qint64 count) {
    if (count > 0 && stream.write(static_cast<const char*>(buffer), count) != count) {
        VfxThrowWriteError();
    }
}

void VfxWriteBuffer(QIODevice& stream, QByteArrayView bytes) {
    VfxWriteBuffer(stream, bytes.data(), bytes.size());
}

QByteArray VfxReadBytes(QIODevice& stream, qint64 count) {
    if (count < 0) {
        VfxThrowReadError();
    }
    const qint64 remaining = VfxRemaining(stream);
    if (remaining >= 0) {
        if (count > remaining) {
            VfxThrowReadError();
        }
        QByteArray bytes(count, Qt::Uninitialized);
        VfxReadBuffer(stream, bytes.data(), count);
        return bytes;
    }
    // A sequential stream does not tell its length: grow with what arrives.
    QByteArray bytes;
    while (bytes.size() < count) {
        const qint64 step = std::min(kSequentialStep, count - bytes.size());
        const qsizetype at = bytes.size();
        bytes.resize(at + step);
        VfxReadBuffer(stream, bytes.data() + at, step);
    }
    return bytes;
}

void VfxWriteInteger(QIODevice& stream, int32_t value) {
    uint8_t bytes[4];
    PutU32(bytes, static_cast<uint32_t>(value));
    VfxWriteBuffer(stream, bytes, 4);
}

uint32_t VfxReadCardinal(QIODevice& stream) {
    uint8_t bytes[4];
    VfxReadBuffer(stream, bytes, 4);
    return GetU32(bytes);
}

int32_t VfxReadInteger(QIODevice& stream) {
    return static_cast<int32_t>(VfxReadCardinal(stream));
}

void VfxWriteByte(QIODevice& stream, uint8_t value) {
    VfxWriteBuffer(stream, &value, 1);
}

uint8_t VfxReadByte(QIODevice& stream) {
    uint8_t value = 0;
    VfxReadBuffer(stream, &value, 1);
    return value;
}

void VfxWriteShortString(QIODevice& stream, QStringView text) {
    const QByteArray bytes = plat::ToCp1252(text);
    if (bytes.size() > kMaxShortString) {
        throw EVfxShortStringError(
            plat::Format("A short string holds at most 255 characters, not %d",
                         static_cast<qint64>(bytes.size())));
    }
    QByteArray field;
    field.reserve(bytes.size() + 1);
    field.append(static_cast<char>(bytes.size())).append(bytes);
    VfxWriteBuffer(stream, field);
}

QString VfxReadShortString(QIODevice& stream) {
    const uint8_t length = VfxReadByte(stream);
    return plat::FromCp1252(VfxReadBytes(stream, length));
}

QByteArray VfxCompressBytes(QByteArrayView source) {
    const auto* src = reinterpret_cast<const uint8_t*>(source.data());
    const qsizetype chunks = (source.size() + kVfxStreamChunk - 1) / kVfxStreamChunk;
    QByteArray out;
    out.reserve(4 + source.size() + chunks * 5);
    qsizetype size = 4;
    out.resize(size);
    uint64_t total = 0;
    for (qsizetype at = 0; at < source.size(); at += kVfxStreamChunk) {
        const qsizetype n = std::min(kVfxStreamChunk, source.size() - at);
        uint8_t* block = GrowBy(out, size, 4 + VfxCompressBound(n));
        const qsizetype length = VfxCompressBlock(src + at, n, block + 4);
        PutU32(block, uint32_t(length));
        size += 4 + length;
        total += uint64_t(length) + 4;
    }
    if (total > std::numeric_limits<uint32_t>::max()) {
        VfxThrowWriteError();
    }
    out.resize(size);
    PutU32(reinterpret_cast<uint8_t*>(out.data()), uint32_t(total));
    return out;
}

void VfxCompressStream(QIODevice& source, QIODevice& target, qint64 count) {
    const qint64 start = target.pos();
    VfxWriteInteger(target, 0);
    std::vector<char> chunk(kVfxStreamChunk);
    std::vector<uint8_t> block(4 + VfxCompressBound(kVfxStreamChunk));
    uint64_t total = 0;
    while (count > 0) {
        const qint64 got = ReadUpTo(source, chunk.data(), std::min<qint64>(count, chunk.size()));
        if (got == 0) {
            VfxThrowReadError(); // the source ended before count bytes
        }
        const qsizetype length =
            VfxCompressBlock(reinterpret_cast<const uint8_t*>(chunk.data()), got, block.data() + 4);
        PutU32(block.data(), uint32_t(length));
        VfxWriteBuffer(target, block.data(), 4 + length);
        total += uint64_t(length) + 4;
        if (total > std::numeric_limits<uint32_t>::max()) {
            VfxThrowWriteError();
        }
        count -= got;
    }
    const qint64 end = target.pos();
    if (!target.seek(start)) {
        VfxThrowWriteError();
    }
    VfxWriteInteger(target, static_cast<int32_t>(total));
    if (!target.seek(end)) {
        VfxThrowWriteError();
    }
}

QByteArray VfxDecompressBytes(QIODevice& source) {
    uint32_t total = VfxReadCardinal(source);
    const qint64 remaining = VfxRemaining(source);
    if (remaining >= 0 && total > remaining) {
        VfxThrowReadError();
    }
    QByteArray out;
    std::vector<uint8_t> block(kMaxBlock);
    while (total > 0) {
        if (total < 4) {
            VfxThrowReadError();
        }
        const uint32_t length = VfxReadCardinal(source);
        total -= 4;
        if (length == 0 || length > kMaxBlock || length > total) {
            VfxThrowReadError();
        }
        VfxReadBuffer(source, block.data(), length);
        total -= length;
        const qsizetype size = out.size();
        uint8_t* to = GrowBy(out, size, kVfxStreamChunk);
        out.resize(size + VfxExpandBlock(block.data(), length, to, kVfxStreamChunk));
    }
    return out;
}

void VfxDecompressStream(QIODevice& source, QIODevice& target) {
    VfxWriteBuffer(target, VfxDecompressBytes(source));
}

void VfxWriteObjectBlock(QIODevice& stream, QByteArrayView bytes, bool compressed) {
    if (compressed) {
        VfxWriteBuffer(stream, VfxCompressBytes(bytes));
        return;
    }
    if (bytes.size() > std::numeric_limits<uint32_t>::max()) {
        VfxThrowWriteError();
    }
    VfxWriteInteger(stream, static_cast<int32_t>(bytes.size()));
    VfxWriteBuffer(stream, bytes);
}

QByteArray VfxReadObjectBlock(QIODevice& stream, bool compressed) {
    if (compressed) {
        return VfxDecompressBytes(stream);
    }
    return VfxReadBytes(stream, VfxReadCardinal(stream));
}

QByteArray VfxStringsToText(const QStringList& strings) {
    QByteArray text;
    for (const QString& line : strings) {
        text.append(plat::ToCp1252(line)).append("\r\n");
    }
    return text;
}

QStringList VfxTextToStrings(QByteArrayView text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.append(plat::FromCp1252(text.sliced(start, i - start)));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size()) {
        lines.append(plat::FromCp1252(text.sliced(start)));
    }
    return lines;
}

void VfxWriteStrings(QIODevice& stream, const QStringList& strings, bool compressed) {
    VfxWriteObjectBlock(stream, VfxStringsToText(strings), compressed);
}

QStringList VfxReadStrings(QIODevice& stream, bool compressed) {
    return VfxTextToStrings(VfxReadObjectBlock(stream, compressed));
}

} // namespace fx
