#pragma once

#include "effects/core/VfxObject.h"
#include "effects/gui/bitmaps/VfxListItems.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QRegion>

#include <array>
#include <optional>

class QIODevice;

namespace fx {

// Region data as the platform's region-data query returns it: a 32-byte
// header (u32 header size 32, u32 type 1, u32 rectangle count n, u32 16 * n,
// the bounds as four i32) and n rectangles (i32 left, top, right, bottom;
// right and bottom outside), little-endian, rows top to bottom and left to
// right within a row.
QByteArray VfxRegionToData(const QRegion& region);

// The region the data describes; nothing when the data is damaged: shorter
// than its header, a header size other than 32, a type other than 1, more
// rectangles than the data holds, or a coordinate beyond +-2^27 (the
// platform's range). Empty rectangles count for nothing; rectangles in any
// order are united.
std::optional<QRegion> VfxRegionFromData(QByteArrayView data);

// A captured window region kept as raw region data, with the bitmaps drawn
// as its border (plain, and for the up and down states of a button).
class TVfxRegionMask : public TVfxObject {
public:
    using TVfxObject::TVfxObject;

    // The stored bytes ("RegionData").
    const QByteArray& RegionData() const { return data_; }
    // The size the data is read with; the setter only stores.
    int RegionDataSize() const { return dataSize_; }
    void SetRegionDataSize(int value) { dataSize_ = value; }
    bool HasData() const { return dataSize_ > 0 && !data_.isEmpty(); }

    // Keeps the data of region (an empty region keeps none).
    void SetRegion(const QRegion& region);
    // The region of the stored data; nothing without data or when it is damaged.
    std::optional<QRegion> Region() const;

    // Frees the data and sets the size to 0.
    void ClearData();
    // A block of the current size, zero-filled (none for a size of 0 or less).
    void AllocData();

    // The three border bitmaps by kind, and by name.
    enum TBorderKind { bkBorder, bkBorderUp, bkBorderDn };
    const QImage& Bitmap(TBorderKind kind) const { return bitmaps_[kind]; }
    void SetBitmap(TBorderKind kind, const QImage& value);
    const QImage& BorderBitmap() const { return bitmaps_[bkBorder]; }
    void SetBorderBitmap(const QImage& value) { SetBitmap(bkBorder, value); }
    const QImage& BorderUpBitmap() const { return bitmaps_[bkBorderUp]; }
    void SetBorderUpBitmap(const QImage& value) { SetBitmap(bkBorderUp, value); }
    const QImage& BorderDnBitmap() const { return bitmaps_[bkBorderDn]; }
    void SetBorderDnBitmap(const QImage& value) { SetBitmap(bkBorderDn, value); }

    // Whether the border bitmaps are stored compressed.
    bool Compressed() const { return compressed_; }
    void SetCompressed(bool value) { SetValue(compressed_, value); }
    // A stored setting; the bitmaps are always stored in their own format.
    TVfxSavePixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TVfxSavePixelFormat value) { SetValue(pixelFormat_, value); }

    // Drops the own data; a source with data gives its size, data and the
    // three bitmaps, a source without leaves this mask empty (bitmaps kept).
    void Assign(const TVfxRegionMask& source);

    // "RegionData": exactly RegionDataSize bytes, written only with data.
    bool StoreRegionData() const { return HasData(); }
    void WriteRegionData(QIODevice& stream) const;
    // Reads the property's bytes, from the position to the end of stream.
    // Refused with the stream read error, the mask unchanged, unless they
    // are exactly RegionDataSize bytes of sound region data.
    void ReadRegionData(QIODevice& stream);

    // "BorderBmp", "BorderUpBmp", "BorderDnBmp": a byte telling whether the
    // block is compressed, then the bitmap's object block in its own format;
    // written only for a bitmap that is not empty. Reading takes Compressed
    // from the byte; a damaged block raises and changes nothing.
    bool StoreBitmap(TBorderKind kind) const { return !bitmaps_[kind].isNull(); }
    void WriteBitmap(QIODevice& stream, TBorderKind kind) const;
    void ReadBitmap(QIODevice& stream, TBorderKind kind);

private:
    QByteArray data_;
    int dataSize_ = 0;
    std::array<QImage, 3> bitmaps_;
    bool compressed_ = false;
    TVfxSavePixelFormat pixelFormat_ = spfDefault;
};

} // namespace fx
