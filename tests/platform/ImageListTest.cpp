#include "platform/gui/ImageList.h"
#include "platform/core/Exception.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace plat;

namespace {

QImage solid(int w, int h, QColor c) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(c);
    return img;
}

} // namespace

TEST(ImageList, StripsSplitIntoCellsAndOtherSizesAreScaled) {
    ImageList list(4, 3);
    int changes = 0;
    QObject::connect(&list, &ImageList::Changed, [&] { ++changes; });
    QImage strip(12, 3, QImage::Format_ARGB32);
    strip.fill(Qt::red);
    for (int y = 0; y < 3; ++y) {
        for (int x = 4; x < 8; ++x) {
            strip.setPixelColor(x, y, Qt::green);
        }
    }
    EXPECT_EQ(list.Add(strip), 0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Image(1).pixelColor(0, 0), QColor(Qt::green));
    EXPECT_EQ(list.Image(2).pixelColor(3, 2), QColor(Qt::red));
    EXPECT_EQ(list.Add(solid(9, 9, Qt::blue)), 3);
    EXPECT_EQ(list.Image(3).size(), QSize(4, 3));
    EXPECT_TRUE(list.Image(-1).isNull());
    list.Delete(0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_THROW(list.Delete(3), EListError);
    EXPECT_EQ(changes, 3);
}

TEST(ImageList, DrawFillsTheBackgroundAndSkipsMissingImages) {
    ImageList list(2, 2);
    QImage glyph(2, 2, QImage::Format_ARGB32);
    glyph.fill(Qt::transparent);
    glyph.setPixelColor(0, 0, Qt::black);
    list.Add(glyph);
    list.AddMasked(solid(2, 2, QColor(255, 0, 255)), clFuchsia);

    QImage canvas(8, 2, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter p(&canvas);
        list.Draw(p, 0, 0, 0, clYellow);
        list.Draw(p, 2, 0, 1, clNone);  // fully masked: nothing shows
        list.Draw(p, 4, 0, 7, clLime);  // out of range: background only
        list.Draw(p, 6, 0, -1, clNone); // nothing at all
    }
    EXPECT_EQ(canvas.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(canvas.pixelColor(1, 1), QColor(Qt::yellow));
    EXPECT_EQ(canvas.pixelColor(2, 0), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(5, 1), QColor(Qt::green));
    EXPECT_EQ(canvas.pixelColor(6, 0), QColor(Qt::white));
}
