#pragma once

#include "platform/core/Exception.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

class QFile;

namespace fx {

using plat::Exception;

// Binary fields of the kit's persistent objects. Every multi-byte number is
// little-endian; 8-bit text is Windows-1252.
//
// Readers read exactly what they ask for: a stream that ends early raises
// plat::EReadError "Stream read error", and so does a length field that
// claims more than the stream holds, checked before anything is allocated.
// Writers raise plat::EWriteError "Stream write error" when the target takes
// fewer bytes than given. Readers build their result in memory and hand it
// over only when everything was read: a damaged stream never yields part of
// an object.

// The block size of the compressed stream format: each block is made from at
// most this many source bytes.
constexpr qsizetype kVfxStreamChunk = 32781;

// A text too long for a short string.
PLAT_DECLARE_EXCEPTION(EVfxShortStringError, Exception);
// A file that cannot be opened: "Cannot open file "%s". %s" (name, reason).
PLAT_DECLARE_EXCEPTION(EFOpenError, Exception);
// A file that cannot be created: "Cannot create file "%s". %s".
PLAT_DECLARE_EXCEPTION(EFCreateError, Exception);

[[noreturn]] void VfxThrowReadError();
[[noreturn]] void VfxThrowWriteError();

// Opens file for reading, or for writing (created or emptied), raising
// EFOpenError or EFCreateError when that fails.
void VfxOpenFile(QFile& file, bool forWriting);

// Bytes left between the position and the end; -1 for a sequential device.
qint64 VfxRemaining(const QIODevice& stream);

void VfxReadBuffer(QIODevice& stream, void* buffer, qint64 count);
void VfxWriteBuffer(QIODevice& stream, const void* buffer, qint64 count);
void VfxWriteBuffer(QIODevice& stream, QByteArrayView bytes);
// Exactly count bytes; a count above what a seekable stream holds is refused
// before allocating, a sequential one is read in steps.
QByteArray VfxReadBytes(QIODevice& stream, qint64 count);

// Four bytes, two's complement; one byte (also for flags).
void VfxWriteInteger(QIODevice& stream, int32_t value);
int32_t VfxReadInteger(QIODevice& stream);
uint32_t VfxReadCardinal(QIODevice& stream);
void VfxWriteByte(QIODevice& stream, uint8_t value);
uint8_t VfxReadByte(QIODevice& stream);

// A length byte and as many characters. A text that does not fit (more than
// 255 characters) is refused with EVfxShortStringError; nothing is written.
void VfxWriteShortString(QIODevice& stream, QStringView text);
QString VfxReadShortString(QIODevice& stream);

// The compressed stream: u32 T, the number of bytes of everything after it,
// then blocks (u32 L, then L bytes of one compressed block) each made from up
// to kVfxStreamChunk source bytes. The block count is not stored.
//
// Compresses count bytes of source into target at its position, leaving the
// target after the data. A source that ends before count bytes raises the
// read error (the target then holds the blocks already written).
void VfxCompressStream(QIODevice& source, QIODevice& target, qint64 count);
// Reads one compressed stream and writes its expansion to target, which is
// written only when the whole stream was sound. Raises the read error for a
// stream cut short, a block length of 0 or above kVfxStreamChunk + 1, a block
// reaching past the stream's total, a damaged block or a block expanding past
// kVfxStreamChunk bytes.
void VfxDecompressStream(QIODevice& source, QIODevice& target);
// The same over memory.
QByteArray VfxCompressBytes(QByteArrayView source);
QByteArray VfxDecompressBytes(QIODevice& source);

// An object's bytes as they are stored: uncompressed, a size-prefixed block
// (u32 N, then N bytes); compressed, a compressed stream whose expansion is
// the bytes without a prefix. Strings, waves and bitmaps all use this layout.
void VfxWriteObjectBlock(QIODevice& stream, QByteArrayView bytes, bool compressed);
QByteArray VfxReadObjectBlock(QIODevice& stream, bool compressed);

// A list of strings as text: each line followed by CR LF. Reading accepts
// CR LF, LF or CR, and keeps a last line that has no line end.
QByteArray VfxStringsToText(const QStringList& strings);
QStringList VfxTextToStrings(QByteArrayView text);
void VfxWriteStrings(QIODevice& stream, const QStringList& strings, bool compressed);
QStringList VfxReadStrings(QIODevice& stream, bool compressed);

} // namespace fx
