#include "effects/gui/regions/VfxRegionMask.h"

#include "effects/core/VfxStreams.h"
#include "effects/gui/bitmaps/VfxBitmapImage.h"

#include <QIODevice>
#include <QRect>
#include <QtEndian>

#include <cstdint>
#include <vector>

namespace fx {

namespace {

constexpr qsizetype kHeaderSize = 32;
constexpr qsizetype kRectSize = 16;
constexpr int32_t kCoordinateLimit = 1 << 27;

void Put(QByteArray& bytes, qsizetype at, int32_t value) {
    qToLittleEndian(value, bytes.data() + at);
}

int32_t Get(QByteArrayView data, qsizetype at) {
    return qFromLittleEndian<int32_t>(data.data() + at);
}

// True when the rectangles are in the order and shape a region keeps them:
// bands top to bottom that do not overlap, every rectangle of a band with
// the band's top and bottom, left to right with a gap between neighbours.
bool Banded(const std::vector<QRect>& rects) {
    for (size_t i = 1; i < rects.size(); ++i) {
        const QRect& a = rects[i - 1];
        const QRect& b = rects[i];
        if (b.top() == a.top()) {
            if (b.bottom() != a.bottom() || b.left() <= a.right() + 1) {
                return false;
            }
        } else if (b.top() <= a.bottom()) {
            return false;
        }
    }
    return true;
}

// Unites the rectangles pairwise, so that n rectangles take log n rounds.
QRegion Unite(const std::vector<QRect>& rects) {
    std::vector<QRegion> parts(rects.begin(), rects.end());
    while (parts.size() > 1) {
        std::vector<QRegion> next;
        next.reserve(parts.size() / 2 + 1);
        for (size_t i = 0; i + 1 < parts.size(); i += 2) {
            next.push_back(parts[i].united(parts[i + 1]));
        }
        if (parts.size() % 2 != 0) {
            next.push_back(parts.back());
        }
        parts.swap(next);
    }
    return parts.empty() ? QRegion() : parts.front();
}

} // namespace

QByteArray VfxRegionToData(const QRegion& region) {
    const qsizetype count = region.rectCount();
    QByteArray bytes(kHeaderSize + kRectSize * count, '\0');
    Put(bytes, 0, static_cast<int32_t>(kHeaderSize));
    Put(bytes, 4, 1);
    Put(bytes, 8, static_cast<int32_t>(count));
    Put(bytes, 12, static_cast<int32_t>(kRectSize * count));
    if (count > 0) {
        const QRect bounds = region.boundingRect();
        Put(bytes, 16, bounds.left());
        Put(bytes, 20, bounds.top());
        Put(bytes, 24, bounds.right() + 1);
        Put(bytes, 28, bounds.bottom() + 1);
    }
    qsizetype at = kHeaderSize;
    for (const QRect& r : region) {
        Put(bytes, at, r.left());
        Put(bytes, at + 4, r.top());
        Put(bytes, at + 8, r.right() + 1);
        Put(bytes, at + 12, r.bottom() + 1);
        at += kRectSize;
    }
    return bytes;
}

std::optional<QRegion> VfxRegionFromData(QByteArrayView data) {
    if (data.size() < kHeaderSize || Get(data, 0) != kHeaderSize || Get(data, 4) != 1) {
        return std::nullopt;
    }
    const auto count = static_cast<uint32_t>(Get(data, 8));
    if (count > static_cast<uint64_t>(data.size() - kHeaderSize) / kRectSize) {
        return std::nullopt;
    }
    std::vector<QRect> rects;
    rects.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const qsizetype at = kHeaderSize + kRectSize * i;
        const int32_t left = Get(data, at);
        const int32_t top = Get(data, at + 4);
        const int32_t right = Get(data, at + 8);
        const int32_t bottom = Get(data, at + 12);
        for (int32_t c : {left, top, right, bottom}) {
            if (c < -kCoordinateLimit || c > kCoordinateLimit) {
                return std::nullopt;
            }
        }
        if (left < right && top < bottom) {
            rects.emplace_back(left, top, right - left, bottom - top);
        }
    }
    if (rects.empty()) {
        return QRegion();
    }
    if (Banded(rects)) {
        QRegion region;
        region.setRects(rects.data(), static_cast<int>(rects.size()));
        return region;
    }
    return Unite(rects);
}

void TVfxRegionMask::SetRegion(const QRegion& region) {
    if (region.isEmpty()) {
        ClearData();
    } else {
        data_ = VfxRegionToData(region);
        dataSize_ = static_cast<int>(data_.size());
    }
    Change();
}

std::optional<QRegion> TVfxRegionMask::Region() const {
    if (!HasData()) {
        return std::nullopt;
    }
    return VfxRegionFromData(data_);
}

void TVfxRegionMask::ClearData() {
    data_.clear();
    dataSize_ = 0;
}

void TVfxRegionMask::AllocData() {
    data_ = dataSize_ > 0 ? QByteArray(dataSize_, '\0') : QByteArray();
}

void TVfxRegionMask::SetBitmap(TBorderKind kind, const QImage& value) {
    bitmaps_[kind] = value;
    Change();
}

void TVfxRegionMask::Assign(const TVfxRegionMask& source) {
    if (&source == this) {
        return;
    }
    BeginUpdate();
    ClearData();
    if (source.dataSize_ > 0) {
        dataSize_ = source.dataSize_;
        data_ = source.data_;
        bitmaps_ = source.bitmaps_;
    }
    EndUpdate(true);
}

void TVfxRegionMask::WriteRegionData(QIODevice& stream) const {
    if (HasData()) {
        VfxWriteBuffer(stream, data_);
    }
}

void TVfxRegionMask::ReadRegionData(QIODevice& stream) {
    const qint64 remaining = VfxRemaining(stream);
    if (dataSize_ < 0 || (remaining >= 0 && remaining != dataSize_)) {
        VfxThrowReadError();
    }
    QByteArray bytes = VfxReadBytes(stream, dataSize_);
    if (remaining < 0 && !stream.atEnd()) {
        VfxThrowReadError(); // a sequential stream holding more than the stated size
    }
    if (dataSize_ > 0 && !VfxRegionFromData(bytes)) {
        VfxThrowReadError();
    }
    if (bytes != data_) {
        data_ = std::move(bytes);
        Change();
    }
}

void TVfxRegionMask::WriteBitmap(QIODevice& stream, TBorderKind kind) const {
    if (bitmaps_[kind].isNull()) {
        return;
    }
    VfxWriteByte(stream, compressed_ ? 1 : 0);
    VfxWriteBitmap(stream, bitmaps_[kind], compressed_, -1);
}

void TVfxRegionMask::ReadBitmap(QIODevice& stream, TBorderKind kind) {
    const bool compressed = VfxReadByte(stream) != 0;
    QImage bitmap = VfxReadBitmap(stream, compressed);
    BeginUpdate();
    bitmaps_[kind] = std::move(bitmap);
    compressed_ = compressed;
    EndUpdate(true);
}

} // namespace fx
