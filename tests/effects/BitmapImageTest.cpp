#include "effects/core/VfxStreams.h"
#include "effects/gui/bitmaps/VfxBitmapImage.h"

#include "EffectsTestSupport.h"
#include "Raises.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <functional>

using namespace fx;

namespace {

// A 3 x 2 image: pixel (x, y) = RGB(10x + 1, 20y + 2, 30x + 40y + 3).
QImage SixPixels() {
    QImage image(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            image.setPixel(x, y, qRgb(10 * x + 1, 20 * y + 2, 30 * x + 40 * y + 3));
        }
    }
    return image;
}

QByteArray SixPixelsFile() {
    const QByteArray header =
        Bytes({0x42, 0x4D, 0x4E, 0, 0, 0, 0, 0, 0, 0,  0x36, 0, 0, 0, 0x28, 0,    0, 0, 3,
               0,    0,    0,    2, 0, 0, 0, 1, 0, 24, 0,    0, 0, 0, 0,    0x18, 0, 0, 0}) +
        QByteArray(16, '\0');
    // rows bottom-up, blue green red, padded to 12 bytes
    return header + Bytes({43, 22, 1, 73, 22, 11, 103, 22, 21, 0, 0, 0}) +
           Bytes({3, 2, 1, 33, 2, 11, 63, 2, 21, 0, 0, 0});
}

QImage Mono8x1() {
    QImage image(8, 1, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int x = 0; x < 8; ++x) {
        image.setPixel(x, 0, (x % 3 == 0) ? 1 : 0);
    }
    return image;
}

bool SamePixels(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

uint32_t U32At(const QByteArray& bytes, int at) {
    return uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8 | uint8_t(bytes[at + 2]) << 16 |
           uint32_t(uint8_t(bytes[at + 3])) << 24;
}

TEST(BitmapFile, TwentyFourBitsByteForByte) {
    EXPECT_EQ(VfxCreateDIBFileImage(SixPixels(), 0), SixPixelsFile());
    EXPECT_EQ(VfxCreateDIBFileImage(SixPixels(), -1), SixPixelsFile());
    EXPECT_TRUE(SamePixels(VfxLoadBitmap(SixPixelsFile()), SixPixels()));
}

TEST(BitmapFile, MonochromeStaysOneBitWithItsTwoColours) {
    MemoryStream buffer;
    VfxWriteBitmap(buffer, Mono8x1(), true, 0);
    buffer.seek(0);
    const QByteArray file = VfxReadObjectBlock(buffer, true);
    ASSERT_EQ(file.size(), 66);
    EXPECT_EQ(U32At(file, 2), 66u);
    EXPECT_EQ(U32At(file, 10), 62u);
    EXPECT_EQ(file.mid(14 + 14, 2), Bytes({1, 0})); // bits per pixel
    EXPECT_EQ(file.mid(54, 8), Bytes({0, 0, 0, 0, 255, 255, 255, 0}));
    EXPECT_EQ(file.mid(62), Bytes({0x92, 0, 0, 0})); // 1001 0010, padded
    const QImage back = VfxLoadBitmap(file);
    EXPECT_EQ(back.depth(), 1);
    EXPECT_TRUE(SamePixels(back, Mono8x1()));
}

TEST(BitmapFile, FourAndEightBitsPackIndexesIntoATable) {
    QImage image(3, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 0, 255));
    image.setPixel(2, 0, qRgb(255, 255, 255));
    const QByteArray four = VfxCreateDIBFileImage(image, 16);
    // the standard sixteen colours: red is 9, blue 12, white 15
    EXPECT_EQ(four.mid(14 + 40 + 9 * 4, 4), Bytes({0, 0, 255, 0}));
    EXPECT_EQ(four.mid(14 + 104), Bytes({0x9C, 0xF0, 0, 0}));
    EXPECT_TRUE(SamePixels(VfxLoadBitmap(four), image));
    QImage indexed(3, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
    indexed.setPixel(0, 0, 1);
    indexed.setPixel(1, 0, 0);
    indexed.setPixel(2, 0, 1);
    const QByteArray eight = VfxCreateDIBFileImage(indexed, -1);
    EXPECT_EQ(eight.mid(14 + 40, 8), Bytes({3, 2, 1, 0, 6, 5, 4, 0}));
    EXPECT_EQ(eight.mid(14 + 1064), Bytes({1, 0, 1, 0}));
    EXPECT_TRUE(SamePixels(VfxLoadBitmap(eight), indexed));
}

void ExpectInvalid(const QByteArray& bytes, const std::string& what) {
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { VfxLoadBitmap(bytes); }),
              "Bitmap image is not valid")
        << what;
}

TEST(BitmapFile, EveryShortenedFileIsRefused) {
    const QByteArray file = SixPixelsFile();
    for (int n = 1; n < file.size(); ++n) {
        ExpectInvalid(file.left(n), "first " + std::to_string(n) + " bytes");
    }
}

TEST(BitmapFile, DamagedHeaderFieldsAreRefused) {
    for (const QStringList& row : GoldenTextRows("effects/damaged-bitmap-headers.tsv", 3)) {
        QByteArray file = SixPixelsFile();
        const QByteArray value = QByteArray::fromHex(row[2].toLatin1());
        file.replace(row[1].toInt(), value.size(), value);
        ExpectInvalid(file, row[0].toStdString());
    }
    // a colour table longer than the depth allows
    QByteArray eight = VfxCreateDIBFileImage(SixPixels(), 256);
    eight.replace(14 + 32, 4, Bytes({0x01, 0x01, 0, 0}));
    ExpectInvalid(eight, "257 colours");
    // run lengths read bottom-up only
    QByteArray runsTopDown = VfxCreateDIBFileImage(SixPixels(), 256);
    runsTopDown.replace(14 + 16, 4, Bytes({0x01, 0, 0, 0}));
    runsTopDown.replace(22, 4, Bytes({0xFE, 0xFF, 0xFF, 0xFF}));
    ExpectInvalid(runsTopDown, "top-down run lengths");
    // top-down rows are fine
    QByteArray topDown = SixPixelsFile();
    topDown.replace(22, 4, Bytes({0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(VfxLoadBitmap(topDown).pixel(0, 0) & 0xFFFFFF, 0x01162Bu);
}

TEST(BitmapBlock, RoundTripsAtEveryDepthBothWays) {
    for (const bool compressed : {false, true}) {
        for (const int colors : {-1, 0, 2, 16, 256}) {
            MemoryStream buffer;
            VfxWriteBitmap(buffer, SixPixels(), compressed, colors);
            VfxWriteInteger(buffer, 0x55AA);
            buffer.seek(0);
            const QImage back = VfxReadBitmap(buffer, compressed);
            EXPECT_EQ(VfxReadInteger(buffer), 0x55AA) << "the reader stops at its block";
            EXPECT_EQ(back.size(), QSize(3, 2));
            if (colors == -1 || colors == 0) {
                EXPECT_TRUE(SamePixels(back, SixPixels())) << colors;
            }
        }
    }
}

TEST(BitmapBlock, EmptyBlockIsNoBitmapAndDamagedOnesRaise) {
    MemoryStream in(Bytes({0, 0, 0, 0}));
    EXPECT_TRUE(VfxReadBitmap(in, false).isNull());

    MemoryStream shortIn(Bytes({78, 0, 0, 0}) + SixPixelsFile().left(60));
    EXPECT_THROW(VfxReadBitmap(shortIn, false), plat::EReadError);

    MemoryStream wrongIn(Bytes({4, 0, 0, 0, 'R', 'I', 'F', 'F'}));
    EXPECT_THROW(VfxReadBitmap(wrongIn, false), EInvalidGraphic);
}

} // namespace
