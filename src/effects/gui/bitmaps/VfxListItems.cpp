#include "effects/gui/bitmaps/VfxListItems.h"

#include "effects/core/VfxStreams.h"
#include "effects/core/VfxUtils.h"
#include "effects/gui/bitmaps/VfxBitmapImage.h"
#include "effects/gui/bitmaps/VfxContainers.h"
#include "platform/core/Format.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace fx {

using plat::TRect;

int VfxColorsOf(TVfxSavePixelFormat format) {
    switch (format) {
    case spfMono:
        return 2;
    case spf4bit:
        return 16;
    case spf8bit:
        return 256;
    case spfDefault:
        break;
    }
    return -1;
}

namespace {

QString ShortClassName(const QObject& object) {
    QString name = QString::fromLatin1(object.metaObject()->className());
    return name.mid(name.lastIndexOf(u':') + 1);
}

void CheckSameClass(const TVfxListItem& target, const TVfxListItem& source) {
    if (source.metaObject() != target.metaObject()) {
        throw plat::EConvertError(QStringLiteral("Cannot assign a %1 to a %2")
                                      .arg(ShortClassName(source), ShortClassName(target)));
    }
}

// Ends an update without notifying, also when loading fails.
struct QuietUpdate {
    explicit QuietUpdate(TVfxListItem& item) : item_(item) { item_.BeginUpdate(); }
    ~QuietUpdate() { item_.EndUpdate(false); }
    QuietUpdate(const QuietUpdate&) = delete;
    QuietUpdate& operator=(const QuietUpdate&) = delete;

private:
    TVfxListItem& item_;
};

} // namespace

TVfxListItem::TVfxListItem(TVfxCustomContainer* container) : container_(container) {}

uint8_t TVfxListItem::GetFlags() const {
    uint8_t flags = 0;
    if (compressed_) {
        flags |= kVfxItemCompressed;
    }
    if (!description_.isEmpty()) {
        flags |= kVfxItemDescription;
    }
    if (ident_ != 0) {
        flags |= kVfxItemIdent;
    }
    if (!IsEmpty()) {
        flags |= kVfxItemContent;
    }
    switch (PixelFormat()) {
    case spfMono:
        flags |= kVfxItemMono;
        break;
    case spf4bit:
        flags |= kVfxItem4Bit;
        break;
    case spf8bit:
        flags |= kVfxItem8Bit;
        break;
    case spfDefault:
        break;
    }
    return flags;
}

void TVfxListItem::ReadItem(QIODevice& stream) {
    const uint8_t flags = VfxReadByte(stream);
    const QString description =
        (flags & kVfxItemDescription) ? VfxReadShortString(stream) : QString();
    uint16_t ident = 0;
    if (flags & kVfxItemIdent) {
        const uint32_t value = VfxReadCardinal(stream);
        if (value > 0xFFFF) {
            VfxThrowReadError(); // the writer stores a 16-bit number
        }
        ident = static_cast<uint16_t>(value);
    }
    TVfxSavePixelFormat format = spfDefault;
    if (flags & kVfxItemMono) {
        format = spfMono;
    } else if (flags & kVfxItem4Bit) {
        format = spf4bit;
    } else if (flags & kVfxItem8Bit) {
        format = spf8bit;
    }
    const std::function<void()> commit = ReadContent(stream, flags);
    BeginUpdate();
    description_ = description;
    ident_ = ident;
    compressed_ = (flags & kVfxItemCompressed) != 0;
    SetPixelFormat(format);
    commit();
    EndUpdate(true);
}

void TVfxListItem::WriteItem(QIODevice& stream) const {
    const uint8_t flags = GetFlags();
    VfxWriteByte(stream, flags);
    if (flags & kVfxItemDescription) {
        VfxWriteShortString(stream, description_);
    }
    if (flags & kVfxItemIdent) {
        VfxWriteInteger(stream, ident_);
    }
    WriteContent(stream, flags);
}

void TVfxListItem::Assign(const TVfxListItem& source) {
    CheckSameClass(*this, source);
    description_ = source.description_;
    ident_ = source.ident_;
    compressed_ = source.compressed_;
}

void TVfxListItem::Change() {
    TVfxCustomComponent::Change();
    if (!Updating() && container_ != nullptr && container_->OnItemChange) {
        container_->OnItemChange(container_, this);
    }
}

// --- bitmap items ---

const QImage& TVfxBitmapListItem::Bitmap() {
    if (bitmap_.isNull() && Container() != nullptr) {
        LoadFromStorage();
    }
    return bitmap_;
}

void TVfxBitmapListItem::LoadFromStorage() {
    const TVfxCustomContainer& c = *Container();
    QuietUpdate quiet(*this);
    switch (c.StorageMode()) {
    case 1: {
        const QString path = VfxPathPrefix(c.DirectoryKind(), true) + c.FileName();
        TVfxBitmapListItem entry;
        LoadItemFromFile(path, ctBitmapList, nullptr, entry, Ident());
        bitmap_ = entry.bitmap_;
        break;
    }
    case 4: {
        const QFileInfo info(c.FileName());
        QString folder;
        if (c.DirectoryKind() == ppFixed) {
            folder = c.FileName().contains(u'/') ? VfxAddBackslash(info.path()) : QString();
        } else {
            folder = VfxPathPrefix(c.DirectoryKind(), true);
        }
        QFile file(folder + info.fileName().left(3) + QString::number(Ident()) +
                   QStringLiteral(".bmp"));
        VfxOpenFile(file, false);
        bitmap_ = VfxLoadBitmap(VfxReadBytes(file, file.size()));
        break;
    }
    default:
        // 0 keeps the item's own; program resources (2, 3) do not exist here.
        break;
    }
}

void TVfxBitmapListItem::SetBitmap(const QImage& value) {
    bitmap_ = value;
    Change();
}

void TVfxBitmapListItem::ClearContent() {
    SetBitmap(QImage());
}

void TVfxBitmapListItem::Assign(const TVfxListItem& source) {
    TVfxListItem::Assign(source);
    const auto& other = static_cast<const TVfxBitmapListItem&>(source);
    bitmap_ = other.bitmap_;
    savePixelFormat_ = other.savePixelFormat_;
    Change();
}

std::function<void()> TVfxBitmapListItem::ReadContent(QIODevice& stream, uint8_t flags) {
    QImage bitmap;
    if (flags & kVfxItemContent) {
        bitmap = VfxReadBitmap(stream, (flags & kVfxItemCompressed) != 0);
    }
    return [this, bitmap] { bitmap_ = bitmap; };
}

void TVfxBitmapListItem::WriteContent(QIODevice& stream, uint8_t flags) const {
    if (flags & kVfxItemContent) {
        VfxWriteBitmap(stream, bitmap_, (flags & kVfxItemCompressed) != 0,
                       VfxColorsOf(savePixelFormat_));
    }
}

// --- image items ---

namespace {

QImage EmptyStrip(int width, int height, bool mono) {
    QImage strip(width, height, mono ? QImage::Format_Mono : QImage::Format_RGB32);
    if (mono) {
        strip.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        strip.fill(0);
    } else {
        strip.fill(Qt::black);
    }
    return strip;
}

// Copies w x h pixels from (sx, 0) of from to (dx, 0) of to (same format).
void Blit(QImage& to, int dx, const QImage& from, int sx, int w, int h) {
    if (w <= 0 || from.isNull()) {
        return;
    }
    if (to.format() == QImage::Format_RGB32) {
        for (int y = 0; y < h; ++y) {
            std::memcpy(to.scanLine(y) + 4 * dx, from.constScanLine(y) + 4 * sx, size_t(w) * 4);
        }
        return;
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            to.setPixel(dx + x, y, uint(from.pixelIndex(sx + x, y)));
        }
    }
}

// A strip as read: at least n x width by height pixels, cut to that.
QImage ReadStrip(QIODevice& stream, bool compressed, int stripWidth, int height, bool mono) {
    const QImage read = VfxReadBitmap(stream, compressed);
    if (read.isNull() || read.width() < stripWidth || read.height() < height) {
        VfxThrowReadError();
    }
    QImage strip = read.copy(0, 0, stripWidth, height).convertToFormat(QImage::Format_RGB32);
    if (!mono) {
        return strip;
    }
    // Masks are kept black (0) and white (1), whatever table the file had.
    QImage mask = EmptyStrip(stripWidth, height, true);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
        for (int x = 0; x < stripWidth; ++x) {
            if (qGray(row[x]) >= 128) {
                mask.setPixel(x, y, 1);
            }
        }
    }
    return mask;
}

} // namespace

TRect TVfxImageListItem::ImageRect(int index) const {
    if (index < 0 || index >= Count()) {
        return {};
    }
    return TRect(positions_[index], 0, positions_[index] + width_, height_);
}

void TVfxImageListItem::EmptyStrips() {
    image_ = QImage();
    mask_ = QImage();
    positions_.clear();
}

void TVfxImageListItem::SetWidth(int value) {
    if (value < 1 || value == width_) {
        return;
    }
    width_ = value;
    EmptyStrips();
    Change();
}

void TVfxImageListItem::SetHeight(int value) {
    if (value < 1 || value == height_) {
        return;
    }
    height_ = value;
    EmptyStrips();
    Change();
}

void TVfxImageListItem::SetMasked(bool value) {
    if (value == masked_) {
        return;
    }
    masked_ = value;
    mask_ =
        value && !image_.isNull() ? EmptyStrip(image_.width(), image_.height(), true) : QImage();
    Change();
}

void TVfxImageListItem::AddImages(const TVfxImageListItem& source) {
    if (source.width_ != width_ || source.height_ != height_) {
        throw EInvalidGraphicOperation(QStringLiteral("Invalid image size"));
    }
    const int added = source.Count();
    if (added == 0) {
        return;
    }
    const int have = Count() * width_;
    const int stripWidth = have + added * width_;
    if (stripWidth > kMaxStripWidth) {
        throw EInvalidGraphicOperation(QStringLiteral("Too many images"));
    }
    BeginUpdate();
    QImage image = EmptyStrip(stripWidth, height_, false);
    Blit(image, 0, image_, 0, have, height_);
    Blit(image, have, source.image_, 0, added * width_, height_);
    QImage mask;
    if (masked_) {
        mask = EmptyStrip(stripWidth, height_, true);
        Blit(mask, 0, mask_, 0, have, height_);
        if (source.masked_) {
            Blit(mask, have, source.mask_, 0, added * width_, height_);
        }
    }
    image_ = image;
    mask_ = mask;
    for (int i = 0; i < added; ++i) {
        positions_.push_back(static_cast<uint16_t>(have + i * width_));
    }
    EndUpdate(true);
}

void TVfxImageListItem::ClearContent() {
    EmptyStrips();
    Change();
}

void TVfxImageListItem::Assign(const TVfxListItem& source) {
    TVfxListItem::Assign(source);
    const auto& other = static_cast<const TVfxImageListItem&>(source);
    BeginUpdate();
    width_ = other.width_;
    height_ = other.height_;
    allocBy_ = other.allocBy_;
    masked_ = other.masked_;
    savePixelFormat_ = other.savePixelFormat_;
    bkColor_ = other.bkColor_;
    blendColor_ = other.blendColor_;
    drawingStyle_ = other.drawingStyle_;
    imageType_ = other.imageType_;
    EmptyStrips();
    AddImages(other);
    EndUpdate(true);
}

std::function<void()> TVfxImageListItem::ReadContent(QIODevice& stream, uint8_t flags) {
    const bool compressed = (flags & kVfxItemCompressed) != 0;
    const uint32_t height = VfxReadCardinal(stream);
    const uint32_t width = VfxReadCardinal(stream);
    const uint32_t allocBy = VfxReadCardinal(stream);
    const bool masked = VfxReadByte(stream) != 0;
    const uint32_t count = VfxReadCardinal(stream);
    if (width < 1 || height < 1 || width > uint32_t(kMaxStripWidth) ||
        height > uint32_t(kMaxStripWidth) || uint64_t(count) * width > uint64_t(kMaxStripWidth)) {
        VfxThrowReadError();
    }
    const int stripWidth = int(count * width);
    QImage image;
    QImage mask;
    if (count > 0) {
        image = ReadStrip(stream, compressed, stripWidth, int(height), false);
        if (masked) {
            mask = ReadStrip(stream, compressed, stripWidth, int(height), true);
        }
    }
    return [this, height, width, allocBy, masked, count, image, mask] {
        height_ = int(height);
        width_ = int(width);
        allocBy_ = int(std::min<uint32_t>(allocBy, INT32_MAX));
        masked_ = masked;
        image_ = image;
        mask_ = mask;
        positions_.clear();
        for (uint32_t i = 0; i < count; ++i) {
            positions_.push_back(static_cast<uint16_t>(i * width));
        }
    };
}

void TVfxImageListItem::WriteContent(QIODevice& stream, uint8_t flags) const {
    const bool compressed = (flags & kVfxItemCompressed) != 0;
    VfxWriteInteger(stream, height_);
    VfxWriteInteger(stream, width_);
    VfxWriteInteger(stream, allocBy_);
    VfxWriteByte(stream, masked_ ? 1 : 0);
    VfxWriteInteger(stream, Count());
    if (Count() == 0) {
        return;
    }
    const int stripWidth = Count() * width_;
    VfxWriteBitmap(stream, image_.copy(0, 0, stripWidth, height_), compressed,
                   VfxColorsOf(savePixelFormat_));
    if (masked_) {
        VfxWriteBitmap(stream, mask_.copy(0, 0, stripWidth, height_), compressed, 2);
    }
}

namespace {

// The target ANDed with the mask, then ORed with the image, at (x, y).
void MaskedTransfer(QPainter& painter, int x, int y, const QImage& mask, const QImage& image) {
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(QPoint(x, y), mask);
    painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    painter.drawImage(QPoint(x, y), image);
    painter.restore();
}

} // namespace

namespace {

// The pixels of a width x height image that the blend styles cover: every
// other pixel (style 1), or all but the pixels at odd columns of odd rows.
template <typename Cover>
void ForEachBlendedPixel(int style, int width, int height, Cover cover) {
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const bool differ = (i % 2) != (j % 2);
            const bool bothOdd = (i % 2) == 1 && (j % 2) == 1;
            if (style == 1 ? differ : !bothOdd) {
                cover(i, j);
            }
        }
    }
}

} // namespace

void TVfxImageListItem::Draw(QPainter& painter, int x, int y, int index) const {
    if (index < 0 || index >= Count()) {
        return;
    }
    const QRect part = ImageRect(index).ToQRect();
    if (!masked_ || imageType_ == 1) {
        const QImage& from = (masked_ && imageType_ == 1) ? mask_ : image_;
        painter.drawImage(QPoint(x, y), from.convertToFormat(QImage::Format_RGB32), part);
        return;
    }
    const QImage mask = mask_.copy(part).convertToFormat(QImage::Format_RGB32);
    const QImage image = image_.copy(part);
    const bool throughBuffer = drawingStyle_ == 0 || drawingStyle_ == 1 ||
                               (drawingStyle_ == 2 && bkColor_ != plat::clNone);
    if (!throughBuffer || bkColor_ == plat::clNone) {
        // Style 3, style 2 without a background, and the blend styles
        // without one draw straight onto the canvas.
        DrawStraight(painter, x, y, mask, image);
    } else {
        DrawThroughBuffer(painter, x, y, mask, image);
    }
}

bool TVfxImageListItem::Blends() const {
    return drawingStyle_ <= 1 && blendColor_ != plat::clNone;
}

void TVfxImageListItem::DrawStraight(QPainter& painter, int x, int y, const QImage& mask,
                                     const QImage& image) const {
    MaskedTransfer(painter, x, y, mask, image);
    if (Blends()) {
        const QColor blend = plat::ToQColor(blendColor_);
        ForEachBlendedPixel(drawingStyle_, width_, height_,
                            [&](int i, int j) { painter.fillRect(x + i, y + j, 1, 1, blend); });
    }
}

void TVfxImageListItem::DrawThroughBuffer(QPainter& painter, int x, int y, const QImage& mask,
                                          const QImage& image) const {
    QImage buffer(width_, height_, QImage::Format_RGB32);
    buffer.fill(plat::ToQColor(bkColor_));
    {
        QPainter p(&buffer);
        MaskedTransfer(p, 0, 0, mask, image);
    }
    if (Blends()) {
        const QRgb blend = plat::ToQColor(blendColor_).rgb();
        ForEachBlendedPixel(drawingStyle_, width_, height_,
                            [&](int i, int j) { buffer.setPixel(i, j, blend); });
    }
    painter.drawImage(QPoint(x, y), buffer);
}

// --- string items ---

void TVfxStringListItem::Assign(const TVfxListItem& source) {
    TVfxListItem::Assign(source);
    items_ = static_cast<const TVfxStringListItem&>(source).items_;
    Change();
}

std::function<void()> TVfxStringListItem::ReadContent(QIODevice& stream, uint8_t flags) {
    QStringList items;
    if (flags & kVfxItemContent) {
        items = VfxReadStrings(stream, (flags & kVfxItemCompressed) != 0);
    }
    return [this, items] { items_ = items; };
}

void TVfxStringListItem::WriteContent(QIODevice& stream, uint8_t flags) const {
    if (flags & kVfxItemContent) {
        VfxWriteStrings(stream, items_, (flags & kVfxItemCompressed) != 0);
    }
}

// --- wave items ---

TVfxWaveListItem::TVfxWaveListItem(TVfxCustomContainer* container)
    : TVfxListItem(container), wave_(this) {
    wave_.OnChange = [this](TVfxObject*) { Change(); };
}

void TVfxWaveListItem::Assign(const TVfxListItem& source) {
    TVfxListItem::Assign(source);
    wave_.Assign(&static_cast<const TVfxWaveListItem&>(source).wave_);
}

std::function<void()> TVfxWaveListItem::ReadContent(QIODevice& stream, uint8_t flags) {
    auto read = std::make_shared<TVfxWave>();
    if (flags & kVfxItemContent) {
        VfxReadWave(stream, *read, (flags & kVfxItemCompressed) != 0);
    }
    return [this, read] { wave_.Assign(read->IsEmpty() ? nullptr : read.get()); };
}

void TVfxWaveListItem::WriteContent(QIODevice& stream, uint8_t flags) const {
    if (flags & kVfxItemContent) {
        VfxWriteWave(stream, wave_, (flags & kVfxItemCompressed) != 0);
    }
}

} // namespace fx
