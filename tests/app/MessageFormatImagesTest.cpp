// The drawn emoticon images.
#include "app/format/EmoticonImages.h"

#include "app/format/Emoticons.h"
#include "platform/gui/ImageList.h"

#include <gtest/gtest.h>

#include <set>

TEST(EmoticonImages, TwelveDistinctFacesCentredInTheListsCells) {
    std::set<QByteArray> seen;
    for (int i = 0; i < EmoticonImageCount; ++i) {
        const QImage image = EmoticonImage(i, 16);
        ASSERT_EQ(image.size(), QSize(16, 16)) << i;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)) + qAlpha(image.pixel(15, 15)), 0) << i;
        EXPECT_EQ(qAlpha(image.pixel(8, 2)), 255) << i; // the face is opaque
        EXPECT_TRUE(seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()),
                                           image.sizeInBytes()))
                        .second)
            << i << " is the same as an earlier image";
    }
    EXPECT_TRUE(EmoticonImage(12, 16).isNull());
    EXPECT_TRUE(EmoticonImage(-1, 16).isNull());

    plat::ImageList list(18, 14);
    list.Add(QImage(18, 14, QImage::Format_ARGB32)); // something already there
    EXPECT_EQ(AddEmoticonImages(list), 1);
    ASSERT_EQ(list.Count(), 13);
    // Faces as tall as the cells, centred across: two clear columns each side.
    const QImage smile = list.Image(1);
    for (int y = 0; y < 14; ++y) {
        EXPECT_EQ(qAlpha(smile.pixel(1, y)) + qAlpha(smile.pixel(16, y)), 0) << y;
    }
    EXPECT_GT(qAlpha(smile.pixel(2, 7)) + qAlpha(smile.pixel(15, 7)), 256);
}
