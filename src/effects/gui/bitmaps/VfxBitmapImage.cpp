#include "effects/gui/bitmaps/VfxBitmapImage.h"

#include "effects/core/VfxStreams.h"

#include <QVector>

#include <cstdlib>
#include <cstring>

namespace fx {

namespace {

[[noreturn]] void ThrowInvalid() {
    throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid"));
}

void PutU16(char* p, uint16_t v) {
    p[0] = char(v);
    p[1] = char(v >> 8);
}

void PutU32(char* p, uint32_t v) {
    PutU16(p, uint16_t(v));
    PutU16(p + 2, uint16_t(v >> 16));
}

uint16_t GetU16(const uchar* p) {
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t GetU32(const uchar* p) {
    return uint32_t(GetU16(p)) | uint32_t(GetU16(p + 2)) << 16;
}

// The sixteen colours of the standard 4-bit palette.
const QVector<QRgb>& Standard16() {
    static const QVector<QRgb> table = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return table;
}

bool IsMono(const QImage& image) {
    return image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
}

uint32_t RowBytesOf(int64_t width, int bits) {
    return uint32_t(((width * bits + 31) / 32) * 4);
}

// The image as indexes into a table of at most 2^bits colours (1, 4, 8).
QImage Indexed(const QImage& bitmap, int bits, QVector<QRgb>& table) {
    if (bits == 1) {
        if (IsMono(bitmap)) {
            QImage mono = bitmap.convertToFormat(QImage::Format_Mono);
            table = mono.colorTable();
            return mono;
        }
        table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        return bitmap.convertToFormat(QImage::Format_Mono, table, Qt::ThresholdDither);
    }
    if (bitmap.format() == QImage::Format_Indexed8 && bitmap.colorCount() <= (1 << bits)) {
        table = bitmap.colorTable();
        return bitmap;
    }
    if (bits == 8 && bitmap.format() == QImage::Format_Grayscale8) {
        table.clear();
        for (int v = 0; v < 256; ++v) {
            table.append(qRgb(v, v, v));
        }
        QImage copy = bitmap;
        copy.reinterpretAsFormat(QImage::Format_Indexed8);
        copy.setColorTable(table);
        return copy;
    }
    if (bits == 4) {
        table = Standard16();
        return bitmap.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither);
    }
    QImage eight = bitmap.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    table = eight.colorTable();
    return eight;
}

} // namespace

int VfxBitsPerPixel(const QImage& bitmap, int colors) {
    switch (colors) {
    case 2:
        return 1;
    case 16:
        return 4;
    case 256:
        return 8;
    default:
        break;
    }
    if (IsMono(bitmap)) {
        return 1;
    }
    if (bitmap.format() == QImage::Format_Indexed8 ||
        bitmap.format() == QImage::Format_Grayscale8) {
        return 8;
    }
    return 24;
}

TVfxBitmapInfoHeader VfxInitBitmapInfoHeader(const QImage& bitmap, int colors) {
    TVfxBitmapInfoHeader header;
    header.Width = bitmap.width();
    header.Height = bitmap.height();
    header.BitCount = uint16_t(VfxBitsPerPixel(bitmap, colors));
    header.SizeImage = RowBytesOf(bitmap.width(), header.BitCount) * uint32_t(bitmap.height());
    return header;
}

void VfxGetDIBSizes(const QImage& bitmap, int colors, uint32_t& headerSize, uint32_t& imageSize) {
    const TVfxBitmapInfoHeader header = VfxInitBitmapInfoHeader(bitmap, colors);
    headerSize = kVfxBitmapInfoHeaderSize;
    if (header.BitCount != 24) {
        headerSize += 4u << header.BitCount;
    }
    imageSize = header.SizeImage;
}

namespace {

// The colour table: blue, green, red and a zero per entry, 2^depth entries.
QByteArray ColorTableOf(const QVector<QRgb>& table, int depth) {
    const int entries = 1 << depth;
    QByteArray colorTable(qsizetype(entries) * 4, '\0');
    for (int i = 0; i < entries && i < table.size(); ++i) {
        char* e = colorTable.data() + i * 4;
        e[0] = char(qBlue(table[i]));
        e[1] = char(qGreen(table[i]));
        e[2] = char(qRed(table[i]));
    }
    return colorTable;
}

// One row of colour indices packed at 8, 4 or 1 bits a pixel, high bits
// first; to is zeroed and long enough.
void PackIndexedRow(uchar* to, const uchar* from, int width, int depth) {
    if (depth == 8) {
        std::memcpy(to, from, size_t(width));
    } else if (depth == 4) {
        for (int x = 0; x < width; ++x) {
            to[x / 2] |= uchar((from[x] & 0x0F) << ((x % 2 == 0) ? 4 : 0));
        }
    } else {
        const int full = (width + 7) / 8;
        std::memcpy(to, from, size_t(full));
        if (width % 8 != 0) {
            to[full - 1] &= uchar(0xFF << (8 - width % 8)); // padding bits stay 0
        }
    }
}

} // namespace

bool VfxGetDIB(const QImage& bitmap, int colors, TVfxBitmapInfoHeader& header,
               QByteArray& colorTable, QByteArray& bits) {
    if (bitmap.isNull()) {
        return false;
    }
    header = VfxInitBitmapInfoHeader(bitmap, colors);
    const int depth = header.BitCount;
    const int w = bitmap.width();
    const int h = bitmap.height();
    const uint32_t rowBytes = RowBytesOf(w, depth);
    bits = QByteArray(qsizetype(header.SizeImage), '\0');
    colorTable.clear();
    // rows bottom-up
    const auto rowAt = [&](int y) {
        return reinterpret_cast<uchar*>(bits.data()) + qsizetype(h - 1 - y) * rowBytes;
    };
    if (depth == 24) {
        const QImage bgr = bitmap.convertToFormat(QImage::Format_BGR888);
        for (int y = 0; y < h; ++y) {
            std::memcpy(rowAt(y), bgr.constScanLine(y), size_t(w) * 3);
        }
        return true;
    }
    QVector<QRgb> table;
    const QImage image = Indexed(bitmap, depth, table);
    colorTable = ColorTableOf(table, depth);
    for (int y = 0; y < h; ++y) {
        PackIndexedRow(rowAt(y), image.constScanLine(y), w, depth);
    }
    return true;
}

QByteArray VfxCreateDIBFileImage(const QImage& bitmap, int colors) {
    TVfxBitmapInfoHeader header;
    QByteArray table;
    QByteArray bits;
    if (!VfxGetDIB(bitmap, colors, header, table, bits)) {
        throw Exception(QStringLiteral("Bitmap image is not valid"));
    }
    const uint32_t headerSize = kVfxBitmapInfoHeaderSize + uint32_t(table.size());
    const uint32_t offset = kVfxBitmapFileHeaderSize + headerSize;
    QByteArray image(qsizetype(offset) + bits.size(), '\0');
    char* p = image.data();
    PutU16(p, 0x4D42);
    PutU32(p + 2, uint32_t(image.size()));
    PutU32(p + 10, offset);
    p += kVfxBitmapFileHeaderSize;
    PutU32(p, header.Size);
    PutU32(p + 4, uint32_t(header.Width));
    PutU32(p + 8, uint32_t(header.Height));
    PutU16(p + 12, header.Planes);
    PutU16(p + 14, header.BitCount);
    PutU32(p + 16, header.Compression);
    PutU32(p + 20, header.SizeImage);
    std::memcpy(p + kVfxBitmapInfoHeaderSize, table.constData(), size_t(table.size()));
    std::memcpy(image.data() + offset, bits.constData(), size_t(bits.size()));
    return image;
}

void VfxWriteDIBToStream(QIODevice& stream, const QImage& bitmap, int colors, bool withSize) {
    const QByteArray image = VfxCreateDIBFileImage(bitmap, colors);
    if (withSize) {
        VfxWriteInteger(stream, static_cast<int32_t>(image.size()));
    }
    VfxWriteBuffer(stream, image);
}

void VfxWriteBitmapDIB(QIODevice& stream, const QImage& bitmap, int colors) {
    VfxWriteDIBToStream(stream, bitmap, IsMono(bitmap) ? 2 : colors, false);
    stream.seek(0);
}

namespace {

bool HeaderSizeKnown(uint32_t size) {
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 ||
           size == 124;
}

// The fields of a bitmap's info header that say how much data follows.
struct BitmapInfo {
    int64_t Width = 0;
    int64_t Height = 0; // negative: top-down rows
    int Planes = 0;
    int Bits = 0;
    uint32_t Compression = 0;
    uint32_t Used = 0; // colour table entries, 0 for all
    int EntrySize = 4; // bytes per colour table entry
};

// The info header at h: the old 12-byte core header or a later one.
BitmapInfo ReadInfoHeader(const uchar* h, uint32_t headerSize) {
    BitmapInfo info;
    if (headerSize == 12) {
        info.Width = GetU16(h + 4);
        info.Height = GetU16(h + 6);
        info.Planes = GetU16(h + 8);
        info.Bits = GetU16(h + 10);
        info.EntrySize = 3;
    } else {
        info.Width = int32_t(GetU32(h + 4));
        info.Height = int32_t(GetU32(h + 8));
        info.Planes = GetU16(h + 12);
        info.Bits = GetU16(h + 14);
        info.Compression = GetU32(h + 16);
        info.Used = GetU32(h + 32);
    }
    return info;
}

// One plane of a known depth, a size the decoder can take, and a compression
// that fits the depth (run lengths only for bottom-up rows).
bool IsReadableFormat(const BitmapInfo& info) {
    const int64_t rows = std::llabs(info.Height);
    if (info.Planes != 1 || info.Width < 1 || info.Width > 65535 || rows < 1 || rows > 65535 ||
        info.Width * rows > (int64_t(1) << 24)) {
        return false;
    }
    const int bits = info.Bits;
    const uint32_t compression = info.Compression;
    const bool knownDepth =
        bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const bool knownCompression = compression == 0 || (compression == 1 && bits == 8) ||
                                  (compression == 2 && bits == 4) ||
                                  (compression == 3 && (bits == 16 || bits == 32));
    return knownDepth && knownCompression &&
           !((compression == 1 || compression == 2) && info.Height < 0);
}

// What the headers say must fit in the bytes before a decoder sees them.
void CheckBitmapFile(QByteArrayView bytes) {
    const auto* b = reinterpret_cast<const uchar*>(bytes.data());
    const qint64 size = bytes.size();
    if (size < kVfxBitmapFileHeaderSize + 12 || b[0] != 'B' || b[1] != 'M') {
        ThrowInvalid();
    }
    const uint32_t offset = GetU32(b + 10);
    const uint32_t headerSize = GetU32(b + 14);
    if (!HeaderSizeKnown(headerSize) || kVfxBitmapFileHeaderSize + qint64(headerSize) > size) {
        ThrowInvalid();
    }
    const BitmapInfo info = ReadInfoHeader(b + kVfxBitmapFileHeaderSize, headerSize);
    if (!IsReadableFormat(info)) {
        ThrowInvalid();
    }
    qint64 tableBytes = 0;
    if (info.Bits <= 8) {
        if (info.Used > (1u << info.Bits)) {
            ThrowInvalid();
        }
        tableBytes = qint64(info.Used != 0 ? info.Used : (1u << info.Bits)) * info.EntrySize;
    }
    if (kVfxBitmapFileHeaderSize + qint64(headerSize) + tableBytes > size || offset > size ||
        offset < kVfxBitmapFileHeaderSize + headerSize) {
        ThrowInvalid();
    }
    if ((info.Compression == 0 || info.Compression == 3) &&
        qint64(RowBytesOf(info.Width, info.Bits)) * std::llabs(info.Height) > size - offset) {
        ThrowInvalid();
    }
}

} // namespace

QImage VfxLoadBitmap(QByteArrayView bytes) {
    if (bytes.isEmpty()) {
        return {};
    }
    CheckBitmapFile(bytes);
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), int(bytes.size()),
                            "BMP") ||
        image.isNull()) {
        ThrowInvalid();
    }
    // A colour table shorter than the depth (a small "colours used") leaves
    // pixel values without a colour: they are black, as they are written.
    if (image.colorCount() > 0 && image.depth() <= 8 && image.colorCount() < (1 << image.depth())) {
        QVector<QRgb> table = image.colorTable();
        table.resize(1 << image.depth(), qRgb(0, 0, 0));
        image.setColorTable(table);
    }
    return image;
}

void VfxWriteBitmap(QIODevice& stream, const QImage& bitmap, bool compressed, int colors) {
    if (compressed && IsMono(bitmap)) {
        colors = 2;
    }
    VfxWriteObjectBlock(stream, VfxCreateDIBFileImage(bitmap, colors), compressed);
}

QImage VfxReadBitmap(QIODevice& stream, bool compressed) {
    return VfxLoadBitmap(VfxReadObjectBlock(stream, compressed));
}

} // namespace fx
