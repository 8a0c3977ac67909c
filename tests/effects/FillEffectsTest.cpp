#include "effects/gui/bitmaps/VfxBitmapEffectObject.h"
#include "effects/gui/bitmaps/VfxBmpEffects.h"
#include "effects/gui/bitmaps/VfxContainers.h"
#include "effects/gui/controls/VfxControls.h"
#include "effects/gui/drawing/VfxFillObject.h"

#include "EffectsGuiSupport.h"
#include "EffectsTestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <map>
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

TEST(Fills, PaintTheirRectangleOnly) {
    const QStringList styles = {"none", "brushbitmap", "brush", "bitmap", "bitmaplist", "gradient"};
    const QStringList modes = {"none", "center", "stretch", "tile"};
    const std::map<QString, std::function<void(TVfxFillObject&)>> setUps = {
        {"-", [](TVfxFillObject&) {}},
        {"checks", [](TVfxFillObject& f) { f.SetBitmap(Checks()); }},
        {"redbrush", [](TVfxFillObject& f) { f.SetBrush(QBrush(Qt::red)); }},
        {"redpattern", [](TVfxFillObject& f) { f.SetBrush(QBrush(Qt::red, Qt::Dense4Pattern)); }},
        {"gradientbitmap", [](TVfxFillObject& f) { f.SetOptions(foGrUseBitmap); }},
        {"bottomright", [](TVfxFillObject& f) { f.SetAlignment(agBottomRight); }},
        {"left1", [](TVfxFillObject& f) { f.SetOffsetX(-1); }},
        {"greenlist", [](TVfxFillObject& f) { f.ListBitmap() = Solid(3, 3, kGreen); }},
        {"redtoblue", [](TVfxFillObject& f) {
             f.Gradient().SetColor(plat::clRed);
             f.Gradient().SetEndColor(plat::clBlue);
             f.Gradient().SetColorCount(2);
             f.Gradient().SetStyle(gstVertical);
         }}};
    for (const QStringList& row : GoldenTextRows("effects/fills.tsv", 6)) {
        SCOPED_TRACE(row.join(u" | ").toStdString());
        TVfxFillObject fill;
        fill.SetStyle(TVfxFillStyle(styles.indexOf(row[1])));
        fill.SetTileMode(TVfxTileMode(modes.indexOf(row[2])));
        for (const QString& setUp : row[3].split(u' ')) {
            setUps.at(setUp)(fill);
        }
        QImage image = Solid(20, 20, kMagenta);
        bool filled = false;
        {
            QPainter painter(&image);
            filled = fill.Fill(painter, TRect(4, 4, 16, 16), plat::clBlue);
        }
        EXPECT_EQ(filled, row[4] == u"1");
        EXPECT_EQ(WrongPixels(image, row[5].toLatin1().constData()), QString());
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

TEST(Effects, ApplyInOrderOverTheEffectRectangle) {
    using Effects = TVfxBitmapEffectObject;
    const std::map<QString, std::function<void(Effects&)>> setUps = {
        {"-", [](Effects&) {}},
        {"fv", [](Effects& e) { e.SetFlipVertical(true); }},
        {"fh", [](Effects& e) { e.SetFlipHorizontal(true); }},
        {"gs", [](Effects& e) { e.SetGrayScale(true); }},
        {"inv", [](Effects& e) { e.SetInvert(true); }},
        {"b10", [](Effects& e) { e.SetBrightness(10); }},
        {"b-1", [](Effects& e) { e.SetBrightness(-1); }},
        {"whitehalf",
         [](Effects& e) {
             e.AlphaBlend().FillObject().SetStyle(sfBrush);
             e.AlphaBlend().FillObject().SetBrush(QBrush(Qt::white));
             e.AlphaBlend().SetStrength(0.5f);
         }},
        {"brushfull", [](Effects& e) {
             e.AlphaBlend().FillObject().SetStyle(sfBrush);
             e.AlphaBlend().SetStrength(1.0f);
         }}};
    for (const QStringList& row : GoldenTextRows("effects/bitmap-effects.tsv", 4)) {
        SCOPED_TRACE(row.join(u" | ").toStdString());
        Effects effects;
        for (const QString& setUp : row[1].split(u' ')) {
            setUps.at(setUp)(effects);
        }
        EXPECT_EQ(effects.Description(), row[2]);
        QImage target = Solid(4, 3, kMagenta, QImage::Format_BGR888);
        effects.Draw(Ramp(), TVfxRect{0, 0, 4, 3}, TVfxRect{1, 0, 4, 3}, target);
        EXPECT_EQ(WrongPixels(target, row[3].toLatin1().constData()), QString());
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
