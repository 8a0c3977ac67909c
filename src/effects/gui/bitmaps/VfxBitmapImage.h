#pragma once
// Bitmaps as the kit stores them: the bitmap-file image (a 14-byte file
// header, the 40-byte information header, a colour table at 1, 4 and 8 bits
// per pixel, then the rows bottom-up, each padded to 4 bytes, padding 0) and
// the bitmap object block of the kit's streams.
//
// The colours argument chooses the depth: -1 the bitmap's own (1 bit for a
// monochrome image, 8 for an indexed or grey one, otherwise 24); 0 the same;
// 2 one bit; 16 four bits; 256 eight bits.

#include "platform/core/Exception.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QImage>

#include <cstdint>

namespace fx {

using plat::Exception;

// Bytes that are no bitmap: "Bitmap image is not valid".
PLAT_DECLARE_EXCEPTION(EInvalidGraphic, Exception);

constexpr int kVfxBitmapFileHeaderSize = 14;
constexpr int kVfxBitmapInfoHeaderSize = 40;

struct TVfxBitmapInfoHeader {
    uint32_t Size = kVfxBitmapInfoHeaderSize;
    int32_t Width = 0;
    int32_t Height = 0; // positive: rows bottom-up
    uint16_t Planes = 1;
    uint16_t BitCount = 0;
    uint32_t Compression = 0;
    uint32_t SizeImage = 0;
    int32_t XPelsPerMeter = 0;
    int32_t YPelsPerMeter = 0;
    uint32_t ClrUsed = 0;
    uint32_t ClrImportant = 0;
};

// Bits per pixel for the colours argument: 1, 4, 8 or 24.
int VfxBitsPerPixel(const QImage& bitmap, int colors);
// The information header of the bitmap at that depth; image size =
// ((width x bits + 31) div 32) x 4 x height.
TVfxBitmapInfoHeader VfxInitBitmapInfoHeader(const QImage& bitmap, int colors);
// 40 at 24 bits, else 40 + 4 x 2^bits; and the size of the pixel rows.
void VfxGetDIBSizes(const QImage& bitmap, int colors, uint32_t& headerSize, uint32_t& imageSize);
// The information header, the colour table and the pixel rows bottom-up.
// False for a null bitmap.
bool VfxGetDIB(const QImage& bitmap, int colors, TVfxBitmapInfoHeader& header,
               QByteArray& colorTable, QByteArray& bits);

// The bitmap-file image. A null bitmap raises Exception "Bitmap image is
// not valid".
QByteArray VfxCreateDIBFileImage(const QImage& bitmap, int colors);
// Writes the image, after its u32 size when withSize.
void VfxWriteDIBToStream(QIODevice& stream, const QImage& bitmap, int colors, bool withSize);
// Writes the image (a monochrome bitmap always at 1 bit) and moves the
// stream back to its start.
void VfxWriteBitmapDIB(QIODevice& stream, const QImage& bitmap, int colors);

// Loads a bitmap file: its headers are checked against the bytes before
// anything is decoded. Raises EInvalidGraphic "Bitmap image is not valid"
// for anything else. No bytes give a null image.
QImage VfxLoadBitmap(QByteArrayView bytes);

// The bitmap object block: the bitmap-file image as a size-prefixed block or
// a compressed stream (compressed, a monochrome bitmap is always at 1 bit).
// A null bitmap raises Exception "Bitmap image is not valid".
void VfxWriteBitmap(QIODevice& stream, const QImage& bitmap, bool compressed, int colors);
// Reads a bitmap object block; an empty block gives a null image.
QImage VfxReadBitmap(QIODevice& stream, bool compressed);

} // namespace fx
