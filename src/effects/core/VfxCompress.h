#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

namespace fx {

// Block compression of the kit's streams.
//
// A block starts with a flag byte: 0x80 stored (the data follows unchanged),
// 0x40 compressed. A compressed block continues with groups: a 16-bit control
// word, most significant byte first, then up to 16 items, one per control bit
// from the top bit down.
// - bit 0: one literal byte;
// - bit 1: two bytes b0 b1, offset = b0 * 16 + (b1 >> 4):
//   - offset != 0: copy (b1 & 15) + 3 bytes from offset bytes back in the
//     block's output, byte by byte (an offset shorter than the length repeats);
//   - offset == 0: four bytes 00 b1 b2 b3, a run of b1 * 256 + b2 + 16 bytes b3.
// Decoding ends when the block is consumed. Back references never leave the
// block's own output.
//
// The compressor hashes the next three bytes into a 4096-entry table,
// (((b0 << 4) ^ b1) << 4 ^ b2) * 40543 >> 4 & 0xFFF; a candidate less than
// 4096 bytes back is taken when at least 3 bytes match (up to 18); runs of 16
// or more equal bytes become run items. A block that would not come out
// shorter than its source is stored.

// Room the compressor needs in its output for n source bytes.
constexpr qsizetype VfxCompressBound(qsizetype n) {
    return n + 64;
}

// Compresses n bytes of src into out, which holds at least VfxCompressBound(n)
// bytes. Returns the block's length, at most n + 1.
qsizetype VfxCompressBlock(const uint8_t* src, qsizetype n, uint8_t* out);
QByteArray VfxCompressBlock(QByteArrayView source);

// Expands a block of length bytes into out, writing at most capacity bytes,
// and returns how many it wrote. A damaged block raises plat::EReadError
// "Stream read error" and never reads or writes outside the two buffers:
// an empty block, a flag other than 0x40 or 0x80, a control word or item cut
// short by the end of the block, a copy reaching back before the start of the
// output, or more output than capacity.
qsizetype VfxExpandBlock(const uint8_t* block, qsizetype length, uint8_t* out, qsizetype capacity);
QByteArray VfxExpandBlock(QByteArrayView block, qsizetype capacity);

} // namespace fx
