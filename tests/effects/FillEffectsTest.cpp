#include "effects/gui/VfxBitmapEffectObject.h"
#include "effects/gui/VfxBmpEffects.h"
#include "effects/gui/VfxContainers.h"
#include "effects/gui/VfxControls.h"
#include "effects/gui/VfxFillObject.h"

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
    std::vector<std::pair<QPoint, QRgb>> pixels;
    std::function<void(TVfxFillObject&)> more = [](TVfxFillObject&) {};
};

TEST(Fills, PaintTheirRectangleOnly) {
    const FillCase cases[] = {
        {"NoneFillsNothing", sfNone, tmTile, false, false, {{{10, 10}, kMagenta}}},
        {"SolidBrush",
         sfBrush,
         tmTile,
         false,
         true,
         {{{4, 4}, kRed}, {{15, 15}, kRed}},
         [](TVfxFillObject& f) { f.SetBrush(QBrush(Qt::red)); }},
        {"PatternBrushOnTheBackground",
         sfBrush,
         tmTile,
         false,
         true,
         {{{4, 4}, kBlue}, {{5, 4}, kRed}, {{4, 5}, kRed}, {{5, 5}, kBlue}},
         [](TVfxFillObject& f) { f.SetBrush(QBrush(Qt::red, Qt::Dense4Pattern)); }},
        {"PatternBitmap",
         sfBrushBitmap,
         tmTile,
         true,
         true,
         {{{4, 4}, kRed}, {{5, 4}, kGreen}, {{6, 5}, kBlue}, {{15, 15}, kWhite}}},
        {"EmptyPatternBitmap", sfBrushBitmap, tmTile, false, true, {{{10, 10}, kMagenta}}},
        {"EmptyBitmapFillsTheBackground",
         sfBitmap,
         tmTile,
         false,
         false,
         {{{4, 4}, kBlue}, {{15, 15}, kBlue}}},
        {"EmptyBitmapWithoutInnerFill",
         sfBitmap,
         tmTile,
         false,
         false,
         {{{10, 10}, kMagenta}},
         [](TVfxFillObject& f) { f.SetOptions(foGrUseBitmap); }},
        {"BitmapPlacedAndMoved",
         sfBitmap,
         tmNone,
         true,
         true,
         {{{13, 14}, kRed}, {{14, 15}, kWhite}, {{15, 15}, kBlue}, {{4, 4}, kBlue}},
         [](TVfxFillObject& f) {
             f.SetAlignment(agBottomRight);
             f.SetOffsetX(-1);
         }},
        {"BitmapCentred",
         sfBitmap,
         tmCenter,
         true,
         true,
         {{{9, 9}, kRed}, {{10, 10}, kWhite}, {{4, 4}, kBlue}}},
        {"BitmapStretched",
         sfBitmap,
         tmStretch,
         true,
         true,
         {{{4, 4}, kRed}, {{15, 4}, kGreen}, {{4, 15}, kBlue}, {{15, 15}, kWhite}}},
        {"BitmapTiledWithinTheRectangle",
         sfBitmap,
         tmTile,
         true,
         true,
         {{{4, 4}, kRed}, {{6, 6}, kRed}, {{15, 15}, kWhite}}},
        {"ListBitmap",
         sfBitmapList,
         tmStretch,
         false,
         true,
         {{{4, 4}, kGreen}, {{15, 15}, kGreen}},
         [](TVfxFillObject& f) { f.ListBitmap() = Solid(3, 3, kGreen); }},
        {"Gradient",
         sfGradient,
         tmTile,
         false,
         true,
         {{{4, 4}, kRed}, {{15, 9}, kRed}, {{4, 10}, kBlue}, {{15, 15}, kBlue}},
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
        for (const auto& [p, rgb] : c.pixels) {
            EXPECT_EQ(image.pixel(p), rgb) << p.x() << ", " << p.y();
        }
        // nothing outside the rectangle
        for (QPoint p :
             {QPoint(3, 3), QPoint(16, 10), QPoint(10, 16), QPoint(3, 10), QPoint(19, 19)}) {
            EXPECT_EQ(image.pixel(p), kMagenta) << p.x() << ", " << p.y();
        }
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
    // target pixel -> expected colour
    std::vector<std::pair<QPoint, QRgb>> pixels;
};

TEST(Effects, ApplyInOrderOverTheEffectRectangle) {
    const EffectCase cases[] = {
        EffectCase{"NoneCopies",
                   [](TVfxBitmapEffectObject&) {},
                   "{Disabled}",
                   {{{0, 0}, qRgb(1, 1, 50)}, {{3, 2}, qRgb(31, 41, 50)}}},
        EffectCase{
            "ColumnMirror",
            [](TVfxBitmapEffectObject& e) { e.SetFlipVertical(true); },
            "{FV}",
            {{{0, 0}, qRgb(1, 1, 50)}, {{1, 0}, qRgb(31, 1, 50)}, {{3, 0}, qRgb(11, 1, 50)}}},
        EffectCase{
            "RowMirror",
            [](TVfxBitmapEffectObject& e) { e.SetFlipHorizontal(true); },
            "{FH}",
            {{{0, 0}, qRgb(1, 1, 50)}, {{1, 0}, qRgb(11, 41, 50)}, {{1, 2}, qRgb(11, 1, 50)}}},
        EffectCase{"InvertThenBrighten",
                   [](TVfxBitmapEffectObject& e) {
                       e.SetInvert(true);
                       e.SetBrightness(10);
                   },
                   "{INV,B}",
                   {{{0, 0}, qRgb(1, 1, 50)}, {{1, 0}, qRgb(254, 255, 215)}}},
        EffectCase{"GrayScale",
                   [](TVfxBitmapEffectObject& e) { e.SetGrayScale(true); },
                   "{GS}",
                   // blue 50 x 0.30 + green 1 x 0.11 + red 11 x 0.59: 15 + 0 + 6
                   {{{1, 0}, qRgb(21, 21, 21)}}},
        EffectCase{"AlphaOverWhite",
                   [](TVfxBitmapEffectObject& e) {
                       e.AlphaBlend().FillObject().SetStyle(sfBrush);
                       e.AlphaBlend().FillObject().SetBrush(QBrush(Qt::white));
                       e.AlphaBlend().SetStrength(0.5f);
                   },
                   "{alpha}",
                   // 255 + Round((v - 255) x 0.5), halves to even, over the whole target
                   {{{0, 0}, qRgb(128, 128, 153)}, {{3, 2}, qRgb(143, 148, 153)}}},
        EffectCase{"AllInTheirOrder",
                   [](TVfxBitmapEffectObject& e) {
                       e.AlphaBlend().FillObject().SetStyle(sfBrush);
                       e.SetFlipVertical(true);
                       e.SetFlipHorizontal(true);
                       e.SetGrayScale(true);
                       e.SetInvert(true);
                       e.SetBrightness(-1);
                       e.AlphaBlend().SetStrength(1.0f);
                   },
                   "{alpha,FV,FH,GS,INV,B}",
                   {{{0, 0}, qRgb(1, 1, 50)}}}};
    for (const EffectCase& c : cases) {
        SCOPED_TRACE(c.name);
        TVfxBitmapEffectObject effects;
        c.setUp(effects);
        EXPECT_EQ(effects.Description(), c.description);
        QImage target = Solid(4, 3, kMagenta, QImage::Format_BGR888);
        // the whole source, effects on columns 1 .. 3 only
        effects.Draw(Ramp(), TVfxRect{0, 0, 4, 3}, TVfxRect{1, 0, 4, 3}, target);
        for (const auto& [p, rgb] : c.pixels) {
            EXPECT_EQ(target.pixel(p), rgb) << p.x() << ", " << p.y();
        }
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
