#pragma once
// The numbered resources of the kit's containers: bitmaps, strips of
// equal-sized images with masks, string lists and waves. Each is stored as
// one item record:
//
//   u8 flags | short string Description (flag bit 1) | u32 Ident (bit 2) |
//   the content
//
// Flag bits: 0 compressed, 1 a description, 2 an ident other than 0, 3 the
// content is present, 4/5/6 the save pixel format mono/4-bit/8-bit (none:
// the default; reading, 4 wins over 5 and 5 over 6).

#include "effects/core/VfxObject.h"
#include "effects/core/VfxWave.h"
#include "platform/core/Exception.h"
#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QIODevice>
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace fx {

using plat::Exception;

// "Invalid image size", "Too many images".
PLAT_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);

enum TVfxSavePixelFormat { spfDefault, spfMono, spf4bit, spf8bit };
// The colours argument of the bitmap writers: -1, 2, 16, 256.
int VfxColorsOf(TVfxSavePixelFormat format);

constexpr uint8_t kVfxItemCompressed = 0x01;
constexpr uint8_t kVfxItemDescription = 0x02;
constexpr uint8_t kVfxItemIdent = 0x04;
constexpr uint8_t kVfxItemContent = 0x08;
constexpr uint8_t kVfxItemMono = 0x10;
constexpr uint8_t kVfxItem4Bit = 0x20;
constexpr uint8_t kVfxItem8Bit = 0x40;

class TVfxCustomContainer;

// One resource of a container.
class TVfxListItem : public TVfxCustomComponent {
    Q_OBJECT
public:
    explicit TVfxListItem(TVfxCustomContainer* container = nullptr);

    const QString& Description() const { return description_; }
    void SetDescription(const QString& value) { SetValue(description_, value); }
    uint16_t Ident() const { return ident_; }
    void SetIdent(uint16_t value) { SetValue(ident_, value); }
    bool Compressed() const { return compressed_; }
    void SetCompressed(bool value) { SetValue(compressed_, value); }
    TVfxCustomContainer* Container() const { return container_; }

    virtual void ClearContent() = 0;
    virtual bool IsEmpty() const = 0;
    // Reads one item record. Everything is read before anything changes: a
    // damaged record raises and leaves the item as it was.
    void ReadItem(QIODevice& stream);
    void WriteItem(QIODevice& stream) const;
    virtual uint8_t GetFlags() const;

    // Copies the common settings and the content from an item of the same
    // class; others raise EConvertError.
    virtual void Assign(const TVfxListItem& source);

    // Also raises the container's item-change event.
    void Change() override;

protected:
    // Reads the content the flags announce and returns what makes it the
    // item's; nothing of the item may change before that is called.
    virtual std::function<void()> ReadContent(QIODevice& stream, uint8_t flags) = 0;
    virtual void WriteContent(QIODevice& stream, uint8_t flags) const = 0;
    // The colours the content's bitmaps are written at.
    virtual TVfxSavePixelFormat PixelFormat() const { return spfDefault; }
    virtual void SetPixelFormat(TVfxSavePixelFormat) {}

private:
    friend class TVfxCustomContainer;
    TVfxCustomContainer* container_;
    QString description_;
    uint16_t ident_ = 0;
    bool compressed_ = false;
};

class TVfxBitmapListItem : public TVfxListItem {
    Q_OBJECT
public:
    using TVfxListItem::TVfxListItem;

    // An empty bitmap is looked up the way the container's storage mode
    // says (the container file's entry Ident, or a bitmap file named after
    // it), without notifying; errors reach the caller.
    const QImage& Bitmap();
    // The bitmap as it is now, without looking it up.
    const QImage& StoredBitmap() const { return bitmap_; }
    void SetBitmap(const QImage& value);
    TVfxSavePixelFormat SavePixelFormat() const { return savePixelFormat_; }
    void SetSavePixelFormat(TVfxSavePixelFormat value) { SetValue(savePixelFormat_, value); }

    void ClearContent() override;
    bool IsEmpty() const override { return bitmap_.isNull(); }
    void Assign(const TVfxListItem& source) override;

protected:
    std::function<void()> ReadContent(QIODevice& stream, uint8_t flags) override;
    void WriteContent(QIODevice& stream, uint8_t flags) const override;
    TVfxSavePixelFormat PixelFormat() const override { return savePixelFormat_; }
    void SetPixelFormat(TVfxSavePixelFormat value) override { savePixelFormat_ = value; }

private:
    void LoadFromStorage();

    QImage bitmap_;
    TVfxSavePixelFormat savePixelFormat_ = spfDefault;
};

// A strip of images of one size side by side, with a monochrome mask strip
// when Masked (white where the image is transparent). Image i lies at
// Bounds(i x Width, 0, Width, Height) of both strips.
class TVfxImageListItem : public TVfxListItem {
    Q_OBJECT
public:
    static constexpr int kMaxStripWidth = 32768;

    using TVfxListItem::TVfxListItem;

    int Width() const { return width_; }
    // A new value of at least 1 empties the strips; others are ignored.
    void SetWidth(int value);
    int Height() const { return height_; }
    void SetHeight(int value);
    int AllocBy() const { return allocBy_; }
    void SetAllocBy(int value) { SetValue(allocBy_, value); }
    bool Masked() const { return masked_; }
    // On: a monochrome mask strip like the image strip; off: no mask.
    void SetMasked(bool value);
    TVfxSavePixelFormat SavePixelFormat() const { return savePixelFormat_; }
    void SetSavePixelFormat(TVfxSavePixelFormat value) { SetValue(savePixelFormat_, value); }

    int Count() const { return static_cast<int>(positions_.size()); }
    const QImage& ImageStrip() const { return image_; }
    const QImage& MaskStrip() const { return mask_; }
    // Where image i lies in the strips.
    plat::TRect ImageRect(int index) const;

    // Appends the images of an item of the same size ("Invalid image size"
    // otherwise), its mask too when both are masked; a strip wider than
    // 32768 pixels raises "Too many images". Nothing is added on an error.
    void AddImages(const TVfxImageListItem& source);

    // Drawing settings.
    plat::TColor BkColor() const { return bkColor_; }
    void SetBkColor(plat::TColor value) { bkColor_ = value; }
    plat::TColor BlendColor() const { return blendColor_; }
    void SetBlendColor(plat::TColor value) { blendColor_ = value; }
    int DrawingStyle() const { return drawingStyle_; }
    void SetDrawingStyle(int value) { drawingStyle_ = value; }
    int ImageType() const { return imageType_; }
    void SetImageType(int value) { imageType_ = value; }
    // Draws image index at (x, y) as the drawing settings say.
    void Draw(QPainter& painter, int x, int y, int index) const;

    void ClearContent() override;
    bool IsEmpty() const override { return positions_.empty(); }
    void Assign(const TVfxListItem& source) override;

protected:
    std::function<void()> ReadContent(QIODevice& stream, uint8_t flags) override;
    void WriteContent(QIODevice& stream, uint8_t flags) const override;
    TVfxSavePixelFormat PixelFormat() const override { return savePixelFormat_; }
    void SetPixelFormat(TVfxSavePixelFormat value) override { savePixelFormat_ = value; }

private:
    void EmptyStrips();
    // Whether the drawing style blends the blend colour over the image.
    bool Blends() const;
    // The image through its mask onto the canvas, then the blend.
    void DrawStraight(QPainter& painter, int x, int y, const QImage& mask,
                      const QImage& image) const;
    // The image through its mask onto the background colour, the blend, then
    // the result onto the canvas.
    void DrawThroughBuffer(QPainter& painter, int x, int y, const QImage& mask,
                           const QImage& image) const;

    int width_ = 16;
    int height_ = 16;
    int allocBy_ = 4;
    bool masked_ = false;
    TVfxSavePixelFormat savePixelFormat_ = spfDefault;
    QImage image_; // RGB32
    QImage mask_;  // Mono
    // one entry per image: its x in the strips
    std::vector<uint16_t> positions_;
    plat::TColor bkColor_ = plat::clNone;
    plat::TColor blendColor_ = plat::clNone;
    int drawingStyle_ = 2;
    int imageType_ = 0;
};

class TVfxStringListItem : public TVfxListItem {
    Q_OBJECT
public:
    using TVfxListItem::TVfxListItem;

    const QStringList& Items() const { return items_; }
    void SetItems(const QStringList& value) { SetValue(items_, value); }

    void ClearContent() override { SetItems({}); }
    bool IsEmpty() const override { return items_.isEmpty(); }
    void Assign(const TVfxListItem& source) override;

protected:
    std::function<void()> ReadContent(QIODevice& stream, uint8_t flags) override;
    void WriteContent(QIODevice& stream, uint8_t flags) const override;

private:
    QStringList items_;
};

class TVfxWaveListItem : public TVfxListItem {
    Q_OBJECT
public:
    explicit TVfxWaveListItem(TVfxCustomContainer* container = nullptr);

    TVfxWave& Wave() { return wave_; }
    const TVfxWave& Wave() const { return wave_; }

    void ClearContent() override { wave_.Clear(); }
    bool IsEmpty() const override { return wave_.IsEmpty(); }
    void Assign(const TVfxListItem& source) override;

protected:
    std::function<void()> ReadContent(QIODevice& stream, uint8_t flags) override;
    void WriteContent(QIODevice& stream, uint8_t flags) const override;

private:
    TVfxWave wave_;
};

} // namespace fx
