#include "effects/gui/VfxBitmapEffectObject.h"
#include "effects/gui/VfxBmpEffects.h"
#include "effects/gui/VfxContainers.h"
#include "effects/gui/VfxControls.h"
#include "effects/gui/VfxFillObject.h"

#include "EffectsGuiSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace fx;
using plat::TRect;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kMagenta = 0xFFFF00FF;

QImage Solid(int w, int h, QRgb rgb, QImage::Format format = QImage::Format_RGB32) {
    QImage image(w, h, format);
    image.fill(QColor::fromRgb(rgb));
    return image;
}

// A 2 x 2 bitmap: red, green on top; blue, white below.
QImage Checks() {
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, kRed);
    image.setPixel(1, 0, kGreen);
    image.setPixel(0, 1, kBlue);
    image.setPixel(1, 1, kWhite);
    return image;
}

// --- fills ---

// Pixels of a 20 x 20 magenta image after filling (4, 4, 16, 16) with a blue
// background; `checks` sets the 2 x 2 bitmap, `more` what else the case needs.
struct FillCase {
    const char* name;
    TVfxFillStyle style;
    TVfxTileMode mode;
    bool checks;
    bool filled;
    const char* pixels;
    std::function<void(TVfxFillObject&)> more = [](TVfxFillObject&) {};
};

TEST(Fills, PaintTheirRectangleOnly) {
    const FillCase cases[] = {
        {"NoneFillsNothing", sfNone, tmTile, false, false, "10,10:M"},
        {"SolidBrush", sfBrush, tmTile, false, true, "4,4:R 15,15:R",
         [](TVfxFillObject& f) { f.SetBrush(QBrush(Qt::red)); }},
        {"PatternBrushOnTheBackground", sfBrush, tmTile, false, true, "4,4:B 5,4:R 4,5:R 5,5:B",
         [](TVfxFillObject& f) { f.SetBrush(QBrush(Qt::red, Qt::Dense4Pattern)); }},
        {"PatternBitmap", sfBrushBitmap, tmTile, true, true, "4,4:R 5,4:G 6,5:B 15,15:W"},
        {"EmptyPatternBitmap", sfBrushBitmap, tmTile, false, true, "10,10:M"},
        {"EmptyBitmapFillsTheBackground", sfBitmap, tmTile, false, false, "4,4:B 15,15:B"},
        {"EmptyBitmapWithoutInnerFill", sfBitmap, tmTile, false, false, "10,10:M",
         [](TVfxFillObject& f) { f.SetOptions(foGrUseBitmap); }},
        {"BitmapPlacedAndMoved", sfBitmap, tmNone, true, true, "13,14:R 14,15:W 15,15:B 4,4:B",
         [](TVfxFillObject& f) {
             f.SetAlignment(agBottomRight);
             f.SetOffsetX(-1);
         }},
        {"BitmapCentred", sfBitmap, tmCenter, true, true, "9,9:R 10,10:W 4,4:B"},
        {"BitmapStretched", sfBitmap, tmStretch, true, true, "4,4:R 15,4:G 4,15:B 15,15:W"},
        {"BitmapTiledWithinTheRectangle", sfBitmap, tmTile, true, true, "4,4:R 6,6:R 15,15:W"},
        {"ListBitmap", sfBitmapList, tmStretch, false, true, "4,4:G 15,15:G",
         [](TVfxFillObject& f) { f.ListBitmap() = Solid(3, 3, kGreen); }},
        {"Gradient", sfGradient, tmTile, false, true, "4,4:R 15,9:R 4,10:B 15,15:B",
         [](TVfxFillObject& f) {
             f.Gradient().SetColor(plat::clRed);
             f.Gradient().SetEndColor(plat::clBlue);
             f.Gradient().SetColorCount(2);
             f.Gradient().SetStyle(gstVertical);
         }}};
    for (const FillCase& c : cases) {
        SCOPED_TRACE(c.name);
        TVfxFillObject fill;
        fill.SetStyle(c.style);
        fill.SetTileMode(c.mode);
        if (c.checks) {
            fill.SetBitmap(Checks());
        }
        c.more(fill);
        QImage image = Solid(20, 20, kMagenta);
        bool filled = false;
        {
            QPainter painter(&image);
            filled = fill.Fill(painter, TRect(4, 4, 16, 16), plat::clBlue);
        }
        EXPECT_EQ(filled, c.filled);
        EXPECT_EQ(WrongPixels(image, c.pixels), QString());
        // nothing outside the rectangle
        EXPECT_EQ(WrongPixels(image, "3,3:M 16,10:M 10,16:M 3,10:M 19,19:M"), QString());
    }
}

// --- alpha objects ---

TEST(AlphaObject, PicksItsImageFromTheListAndFollowsIt) {
    auto list = std::make_unique<TVfxBitmapList>();
    auto& first = static_cast<TVfxBitmapListItem&>(list->AddItem());
    first.SetBitmap(Solid(3, 3, kGreen));
    TVfxAlphaObject alpha;
    int changes = 0;
    alpha.OnChange = [&](TVfxObject*) { ++changes; };
    alpha.SetImageList(list.get());
    EXPECT_EQ(alpha.FillObject().ListBitmap(), Solid(3, 3, kGreen));
    EXPECT_EQ(changes, 1);
    alpha.SetListIndex(1); // no such entry
    EXPECT_TRUE(alpha.FillObject().ListBitmap().isNull());
    auto& second = static_cast<TVfxBitmapListItem&>(list->AddItem()); // the list notifies
    second.SetBitmap(Solid(2, 2, kRed));
    list->Change();
    EXPECT_EQ(alpha.FillObject().ListBitmap(), Solid(2, 2, kRed));
    list.reset();
    EXPECT_EQ(alpha.ImageList(), nullptr);
}

// --- bitmap effects ---

// A 4 x 3 24-bit source: column x, row y has red 10 x + 1, green 20 y + 1, blue 50.
QImage Ramp() {
    QImage image(4, 3, QImage::Format_BGR888);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            image.setPixel(x, y, qRgb(10 * x + 1, 20 * y + 1, 50));
        }
    }
    return image;
}

struct EffectCase {
    const char* name;
    std::function<void(TVfxBitmapEffectObject&)> setUp;
    QString description;
    const char* pixels; // of the target, as WrongPixels reads them
};

TEST(Effects, ApplyInOrderOverTheEffectRectangle) {
    const EffectCase cases[] = {
        {"NoneCopies", [](TVfxBitmapEffectObject&) {}, "{Disabled}", "0,0:010132 3,2:1f2932"},
        {"ColumnMirror", [](TVfxBitmapEffectObject& e) { e.SetFlipVertical(true); }, "{FV}",
         "0,0:010132 1,0:1f0132 3,0:0b0132"},
        {"RowMirror", [](TVfxBitmapEffectObject& e) { e.SetFlipHorizontal(true); }, "{FH}",
         "0,0:010132 1,0:0b2932 1,2:0b0132"},
        {"InvertThenBrighten",
         [](TVfxBitmapEffectObject& e) {
             e.SetInvert(true);
             e.SetBrightness(10);
         },
         "{INV,B}", "0,0:010132 1,0:feffd7"},
        {"GrayScale", [](TVfxBitmapEffectObject& e) { e.SetGrayScale(true); }, "{GS}",
         // blue 50 x 0.30 + green 1 x 0.11 + red 11 x 0.59: 15 + 0 + 6
         "1,0:151515"},
        {"AlphaOverWhite",
         [](TVfxBitmapEffectObject& e) {
             e.AlphaBlend().FillObject().SetStyle(sfBrush);
             e.AlphaBlend().FillObject().SetBrush(QBrush(Qt::white));
             e.AlphaBlend().SetStrength(0.5f);
         },
         "{alpha}",
         // 255 + Round((v - 255) x 0.5), halves to even, over the whole target
         "0,0:808099 3,2:8f9499"},
        {"AllInTheirOrder",
         [](TVfxBitmapEffectObject& e) {
             e.AlphaBlend().FillObject().SetStyle(sfBrush);
             e.SetFlipVertical(true);
             e.SetFlipHorizontal(true);
             e.SetGrayScale(true);
             e.SetInvert(true);
             e.SetBrightness(-1);
             e.AlphaBlend().SetStrength(1.0f);
         },
         "{alpha,FV,FH,GS,INV,B}", "0,0:010132"}};
    for (const EffectCase& c : cases) {
        SCOPED_TRACE(c.name);
        TVfxBitmapEffectObject effects;
        c.setUp(effects);
        EXPECT_EQ(effects.Description(), c.description);
        QImage target = Solid(4, 3, kMagenta, QImage::Format_BGR888);
        // the whole source, effects on columns 1 .. 3 only
        effects.Draw(Ramp(), TVfxRect{0, 0, 4, 3}, TVfxRect{1, 0, 4, 3}, target);
        EXPECT_EQ(WrongPixels(target, c.pixels), QString());
    }
}

TEST(BitmapEffectObject, IsActiveOnlyWithSomethingOn) {
    TVfxBitmapEffectObject effects;
    EXPECT_FALSE(effects.Active());
    effects.AlphaBlend().FillObject().SetStyle(sfBrush);
    effects.AlphaBlend().SetStrength(1.0f);
    EXPECT_FALSE(effects.Active()); // a blend that keeps the image
    effects.AlphaBlend().SetStrength(0.9f);
    EXPECT_TRUE(effects.Active());
    TVfxBitmapEffectObject brighter;
    brighter.SetBrightness(300);
    EXPECT_EQ(brighter.Brightness(), 255);
    EXPECT_TRUE(brighter.Active());
}

TEST(BitmapEffectObject, BufferServesUntilSomethingChanges) {
    TVfxBitmapEffectObject effects;
    effects.SetInvert(true);
    effects.SetBuffered(true);
    QImage target = Solid(4, 3, kMagenta, QImage::Format_BGR888);
    effects.Draw(Ramp(), TVfxRect{0, 0, 4, 3}, TVfxRect{0, 0, 4, 3}, target);
    EXPECT_TRUE(effects.BufferValid());
    // a second draw only copies the buffer: the other source is not read
    QImage second = Solid(4, 3, kMagenta, QImage::Format_BGR888);
    effects.Draw(Solid(4, 3, kGreen, QImage::Format_BGR888), TVfxRect{0, 0, 4, 3},
                 TVfxRect{0, 0, 4, 3}, second);
    EXPECT_EQ(second.pixel(0, 0), qRgb(254, 254, 205));
    // a change of the alpha object's fill makes it stale
    effects.AlphaBlend().FillObject().SetTileMode(tmCenter);
    EXPECT_FALSE(effects.BufferValid());
    effects.Draw(Solid(4, 3, kGreen, QImage::Format_BGR888), TVfxRect{0, 0, 4, 3},
                 TVfxRect{0, 0, 4, 3}, second);
    EXPECT_EQ(second.pixel(0, 0), qRgb(255, 0, 255));
    effects.SetBuffered(false);
    EXPECT_FALSE(effects.BufferValid());
}

class CountingControl : public TVfxBaseControl {
public:
    int changes = 0;

protected:
    void ObjectChanged() override { ++changes; }
};

TEST(BitmapEffectObject, ControlsHearTheirEffectsChange) {
    CountingControl control;
    EXPECT_FALSE(control.BitmapEffect().Active());
    control.BitmapEffect().SetGrayScale(true);
    control.BitmapEffect().AlphaBlend().FillObject().SetStyle(sfGradient);
    EXPECT_EQ(control.changes, 2);
}

} // namespace
