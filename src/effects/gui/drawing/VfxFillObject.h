#pragma once
// How an area is filled: a brush, a pattern bitmap, a bitmap laid out in one
// of four ways, a bitmap picked from an image list, or a gradient.

#include "effects/core/VfxObject.h"
#include "effects/gui/drawing/VfxGradient.h"
#include "effects/gui/drawing/VfxGraphics.h"
#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QBrush>
#include <QImage>
#include <QString>

#include <memory>

class QPainter;

namespace fx {

enum TVfxFillStyle { sfNone, sfBrushBitmap, sfBrush, sfBitmap, sfBitmapList, sfGradient };
enum TVfxTileMode { tmNone, tmCenter, tmStretch, tmTile };

enum TVfxFillOption : unsigned {
    foFillInner = 1,   // a bitmap fill paints the background colour first
    foQuickDraw = 2,   // bitmaps are drawn without their palette
    foGrUseBitmap = 4, // gradients are painted through an off-screen bitmap (always so here)
};
using TVfxFillOptions = unsigned;

// The kind of fill and its bitmaps and gradient.
class TVfxShapeFill : public TVfxObject {
public:
    explicit TVfxShapeFill(QObject* owner = nullptr) : TVfxShapeFill(owner, sfBrush) {}
    ~TVfxShapeFill() override;

    // The bitmap of sfBrushBitmap and sfBitmap.
    const QImage& Bitmap() const { return bitmap_; }
    void SetBitmap(const QImage& value);
    TVfxGradient& Gradient() { return *gradient_; }
    const TVfxGradient& Gradient() const { return *gradient_; }
    void SetGradient(const TVfxGradient& value) { gradient_->Assign(value); }
    TVfxFillStyle Style() const { return style_; }
    void SetStyle(TVfxFillStyle value) { SetValue(style_, value); }
    TVfxTileMode TileMode() const { return tileMode_; }
    void SetTileMode(TVfxTileMode value) { SetValue(tileMode_, value); }

    // The bitmap of sfBitmapList, put here by whoever picks it from a list;
    // changing it notifies nobody.
    QImage& ListBitmap() { return listBitmap_; }
    const QImage& ListBitmap() const { return listBitmap_; }

    void Assign(const TVfxShapeFill& source);
    // "{Disabled}", "{Brush}", "{Bitmap}", "{BitmapList}", "{Gradient}";
    // a pattern bitmap has no name: "{}".
    QString Description() const override;

protected:
    TVfxShapeFill(QObject* owner, TVfxFillStyle style);
    // Copies this class's settings, without notifying.
    void CopyFrom(const TVfxShapeFill& source);

private:
    QImage bitmap_;
    QImage listBitmap_;
    std::unique_ptr<TVfxGradient> gradient_;
    TVfxFillStyle style_;
    TVfxTileMode tileMode_ = tmTile;
};

// A fill that paints itself: off by default.
class TVfxFillObject : public TVfxShapeFill {
public:
    explicit TVfxFillObject(QObject* owner = nullptr) : TVfxShapeFill(owner, sfNone) {}

    // Where a bitmap sits without tiling, and how far it is moved from there.
    // New values are kept always but reported only when they matter: for a
    // bitmap fill (sfBitmap, sfBitmapList) with tmNone.
    TVfxAlignment Alignment() const { return alignment_; }
    void SetAlignment(TVfxAlignment value);
    int OffsetX() const { return offsetX_; }
    void SetOffsetX(int value);
    int OffsetY() const { return offsetY_; }
    void SetOffsetY(int value);
    // The brush of sfBrush (solid white unless set).
    const QBrush& Brush() const { return brush_; }
    void SetBrush(const QBrush& value) { SetValue(brush_, value); }
    TVfxFillOptions Options() const { return options_; }
    void SetOptions(TVfxFillOptions value) { SetValue(options_, value); }

    // Fills rect; background is the colour behind the brush's pattern and
    // around a bitmap. False when nothing was filled (sfNone), and when a
    // bitmap fill has no bitmap (then only the background is filled, with
    // foFillInner). Nothing is painted outside rect.
    bool Fill(QPainter& painter, const plat::TRect& rect, plat::TColor background) const;

    void Assign(const TVfxFillObject& source);

private:
    bool PlacementMatters() const;
    void FillBackground(QPainter& painter, const plat::TRect& rect, plat::TColor background) const;

    TVfxAlignment alignment_ = agTopLeft;
    int offsetX_ = 0;
    int offsetY_ = 0;
    QBrush brush_{Qt::white};
    TVfxFillOptions options_ = foFillInner | foGrUseBitmap;
};

} // namespace fx
