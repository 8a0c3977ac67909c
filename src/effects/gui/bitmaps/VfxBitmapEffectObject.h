#pragma once
// Effects a control applies to the bitmap it draws: mirrors, gray scale,
// inversion, brightness and a fill blended over it, optionally kept in a
// buffer between draws.

#include "effects/core/VfxObject.h"
#include "effects/core/VfxUtils.h"
#include "effects/gui/bitmaps/VfxContainers.h"
#include "effects/gui/drawing/VfxFillObject.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

namespace fx {

// A fill blended over an image: result = fill + Round((image - fill) x
// Strength), so 1 keeps the image and 0 shows only the fill. The fill's
// list bitmap is the image (ListIndex, ImageIndex) of ImageList, picked
// again whenever the list or the indexes change.
class TVfxAlphaObject : public TVfxObject {
public:
    explicit TVfxAlphaObject(QObject* owner = nullptr);
    ~TVfxAlphaObject() override;

    TVfxCustomImageList* ImageList() const { return imageList_.ImageList(); }
    void SetImageList(TVfxCustomImageList* value) { imageList_.SetImageList(value); }
    int ListIndex() const { return imageList_.ListIndex(); }
    void SetListIndex(int value) { imageList_.SetListIndex(value); }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    float Strength() const { return strength_; }
    void SetStrength(float value) { SetValue(strength_, value); }
    TVfxFillObject& FillObject() { return *fill_; }
    const TVfxFillObject& FillObject() const { return *fill_; }
    void SetFillObject(const TVfxFillObject& value) { fill_->Assign(value); }
    // Kept and copied for the owner's own use; never drawn.
    uint8_t Tag() const { return tag_; }
    void SetTag(uint8_t value) { tag_ = value; }

    // A fill is set and the strength is not exactly 1.
    bool Active() const;

    // Copies fill, strength, indexes, tag and image list (without picking).
    void Assign(const TVfxAlphaObject& source);
    // "{Disabled}", or "{Enabled (brush), strength: 0.600}" with "bmp" for
    // the bitmap fills, "grad" for the gradient, nothing for a pattern.
    QString Description() const override;

    // "Internal": the name a default-container list is stored under instead
    // of a reference (empty for any other list); reading sets that list.
    QString InternalName() const { return ListName(ImageList()); }
    void ReadInternalName(const QString& name);

private:
    void Repick();

    TVfxImageListLink imageList_;
    int imageIndex_ = 0;
    float strength_ = 0.6f;
    std::unique_ptr<TVfxFillObject> fill_;
    uint8_t tag_ = 0;
    bool assigning_ = false;
};

// Draws a bitmap through the effects that are on. The target must be a
// 24-bit image (QImage::Format_BGR888).
class TVfxBitmapEffectObject : public TVfxObject {
public:
    static constexpr int kMaxBrightness = 255;

    explicit TVfxBitmapEffectObject(QObject* owner = nullptr);
    ~TVfxBitmapEffectObject() override;

    TVfxAlphaObject& AlphaBlend() { return *alpha_; }
    const TVfxAlphaObject& AlphaBlend() const { return *alpha_; }
    void SetAlphaBlend(const TVfxAlphaObject& value) { alpha_->Assign(value); }
    // Mirrors left and right (the columns).
    bool FlipVertical() const { return flipVertical_; }
    void SetFlipVertical(bool value) { SetValue(flipVertical_, value); }
    // Mirrors top and bottom (the rows).
    bool FlipHorizontal() const { return flipHorizontal_; }
    void SetFlipHorizontal(bool value) { SetValue(flipHorizontal_, value); }
    bool GrayScale() const { return grayScale_; }
    void SetGrayScale(bool value) { SetValue(grayScale_, value); }
    bool Invert() const { return invert_; }
    void SetInvert(bool value) { SetValue(invert_, value); }
    // -255 .. 255; values outside are brought inside.
    int Brightness() const { return brightness_; }
    void SetBrightness(int value);
    // Keeps the result of a draw and hands it out again until something
    // changes.
    bool Buffered() const { return buffered_; }
    void SetBuffered(bool value);
    // A flag kept for the owner's own use; never drawn.
    bool Marked() const { return marked_; }
    void SetMarked(bool value) { SetValue(marked_, value); }

    bool Active() const;
    bool BufferValid() const { return bufferValid_; }
    // The result of the last draw while it is kept (Buffered, nothing
    // changed since), else null.
    const QImage* CachedResult() const { return buffered_ && bufferValid_ ? &buffer_ : nullptr; }
    // The kept result no longer fits (the owner changed size): the next draw
    // makes a new one. No change notice.
    void MarkBufferStale() { bufferValid_ = false; }

    // 1. Buffered with a valid buffer: the buffer is drawn at (0, 0) of
    // target, nothing else. 2. The source rectangle is copied to (0, 0) of
    // target. 3. Within effectRect of target, in place: the column mirror,
    // the row mirror, gray scale, inversion, brightness. 4. With a fill set,
    // the fill (on white) is blended with target by Strength. 5. Buffered:
    // the buffer keeps a copy. Raises EVfxWrongPixelFormat "Wrong PixelFormat
    // in Target bitmap!" for a target of another format.
    void Draw(const QImage& source, const TVfxRect& sourceRect, const TVfxRect& effectRect,
              QImage& target);

    // Mirrors, gray scale, inversion and brightness as they are, Buffered
    // through its setter, and the alpha object.
    void Assign(const TVfxBitmapEffectObject& source);
    // "{alpha,FV,FH,GS,INV,B}" for what is on, "{Disabled}" for nothing.
    QString Description() const override;

    // Every change makes the buffer stale.
    void Change() override;

private:
    std::unique_ptr<TVfxAlphaObject> alpha_;
    bool flipVertical_ = false;
    bool flipHorizontal_ = false;
    bool grayScale_ = false;
    bool invert_ = false;
    int brightness_ = 0;
    bool buffered_ = false;
    bool marked_ = false;
    bool bufferValid_ = false;
    QImage buffer_;
};

} // namespace fx
