#include "effects/core/VfxStreams.h"
#include "effects/gui/bitmaps/VfxBitmapImage.h"
#include "effects/gui/bitmaps/VfxContainers.h"

#include "EffectsTestSupport.h"
#include "PixelPicture.h"
#include "Raises.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <tuple>

using namespace fx;

namespace {

const auto Le32 = U32Bytes;

// The string-list file of one item: Description "Hi", Ident 7, ["x"].
const QByteArray kStringFile =
    Bytes({0x08, 'V',  'F', 'X', 'S', 'L', 'L', '3', '0', 1, 0, 0, 0, 0x11, 0,    0,
           0,    0x0E, 2,   'H', 'i', 7,   0,   0,   0,   3, 0, 0, 0, 'x',  0x0D, 0x0A});

// An image-list file holding the one record.
QByteArray ImageListFile(const QByteArray& record) {
    return Bytes({8, 'V', 'F', 'X', 'I', 'M', 'L', '3', '0'}) + Le32(1) + Le32(17) + record;
}

// An item or a container read from the bytes, and what one writes.
void Read(TVfxListItem& item, const QByteArray& bytes) {
    MemoryStream in(bytes);
    item.ReadItem(in);
}
void Read(TVfxCustomContainer& list, const QByteArray& bytes, const QString& name = {}) {
    MemoryStream in(bytes);
    list.LoadFromStream(in, name);
}
QByteArray Written(const TVfxListItem& item) {
    MemoryStream out;
    item.WriteItem(out);
    return out.data();
}
QByteArray Written(const TVfxCustomContainer& list) {
    MemoryStream out;
    list.SaveToStream(out);
    return out.data();
}

QByteArray BitmapBlock(const QImage& image, int colors = -1) {
    MemoryStream out;
    VfxWriteBitmap(out, image, false, colors);
    return out.data();
}

// A strip of n images of w x h; image i is filled with the grey 40 i + 20.
QImage Strip(int n, int w, int h) {
    QImage strip(n * w, h, QImage::Format_RGB32);
    for (int i = 0; i < n; ++i) {
        QPainter(&strip).fillRect(i * w, 0, w, h, QColor(40 * i + 20, 40 * i + 20, 40 * i + 20));
    }
    return strip;
}

QImage MonoMask(int w, int h, const std::function<bool(int, int)>& white) {
    QImage mask(w, h, QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            mask.setPixel(x, y, white(x, y) ? 1 : 0);
        }
    }
    return mask;
}

// The start of an image item record: height, width, alloc-by 4, masked, count.
QByteArray ImageHeader(uint32_t h, uint32_t w, bool masked, uint32_t n) {
    return Bytes({0x08}) + Le32(h) + Le32(w) + Le32(4) + Bytes({masked ? 1 : 0}) + Le32(n);
}

// An image item record: the header, then the strips.
QByteArray ImageRecord(int n, int w, int h, bool masked) {
    QByteArray record = ImageHeader(h, w, masked, n);
    if (n > 0) {
        record += BitmapBlock(Strip(n, w, h));
        if (masked) {
            record += BitmapBlock(MonoMask(n * w, h, [](int x, int y) { return (x + y) % 2; }), 2);
        }
    }
    return record;
}

// The type a container file's signature names, its count and its offsets.
int Index(const QByteArray& file, uint32_t& count, std::vector<uint32_t>* offsets = nullptr) {
    MemoryStream in(file);
    return ReadContainerIndex(in, count, offsets);
}

TEST(ContainerFile, StringListByteForByte) {
    TVfxStringList list;
    auto& item = static_cast<TVfxStringListItem&>(list.AddItem());
    item.SetDescription(QStringLiteral("Hi"));
    item.SetIdent(7);
    item.SetItems({QStringLiteral("x")});
    EXPECT_EQ(Written(list), kStringFile);
    TVfxStringList back;
    Read(back, kStringFile);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(Written(back), kStringFile);
    uint32_t count = 0;
    std::vector<uint32_t> offsets;
    EXPECT_EQ(Index(kStringFile, count, &offsets), ctStringList);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(offsets, std::vector<uint32_t>{17});
    EXPECT_EQ(Written(TVfxStringList()), kStringFile.left(9) + Bytes({0, 0, 0, 0}));

    // A compressed item from a hand-made stored block, written back compressed.
    TVfxStringListItem packed;
    Read(packed, Bytes({0x09, 8, 0, 0, 0, 4, 0, 0, 0, 0x80, 'x', 0x0D, 0x0A}));
    EXPECT_TRUE(packed.Compressed());
    EXPECT_EQ(packed.Items(), QStringList{QStringLiteral("x")});
    TVfxStringListItem again;
    Read(again, Written(packed));
    EXPECT_EQ(again.Items(), packed.Items());
    EXPECT_TRUE(again.Compressed());
}

TEST(ContainerFile, SignaturesAndExtensionsPerType) {
    const char* const expected[] = {"VFXIML30", "VFXBML30", "VFXWVL30",
                                    "VFXSLL30", "VFXGLL50", "VFXRTL50"};
    for (int type = 0; type < 6; ++type) {
        uint32_t count = 9;
        EXPECT_EQ(Index(Bytes({8}) + QByteArray(expected[type]) + Le32(0), count), type);
        EXPECT_EQ(count, 0u);
    }
    for (const QByteArray& bad : {Bytes({8}) + QByteArray("VFXXXX30") + Le32(0),
                                  Bytes({7}) + QByteArray("VFXSLL30") + Le32(0)}) {
        uint32_t count = 0;
        std::vector<uint32_t> offsets{5};
        EXPECT_EQ(Index(bad, count, &offsets), 6);
        EXPECT_EQ(offsets, std::vector<uint32_t>{5}); // unknown files give no table
    }
}

TEST(ItemRecord, EmptyItemIsOneByteAndFlagsCarryThePixelFormat) {
    TVfxBitmapListItem empty;
    EXPECT_EQ(Written(empty), Bytes({0}));
    const struct {
        int flags;
        TVfxSavePixelFormat format;
    } cases[] = {{0x00, spfDefault}, {0x10, spfMono}, {0x30, spfMono},
                 {0x20, spf4bit},    {0x60, spf4bit}, {0x40, spf8bit}};
    for (const auto& c : cases) {
        TVfxBitmapListItem item;
        item.SetDescription(QStringLiteral("old"));
        item.SetIdent(9);
        Read(item, Bytes({c.flags}));
        EXPECT_EQ(item.SavePixelFormat(), c.format) << c.flags;
        EXPECT_TRUE(item.Description().isEmpty()); // missing fields are cleared
    }

    // A bitmap is written at its save pixel format.
    TVfxBitmapListItem item;
    item.SetBitmap(Strip(2, 3, 2));
    item.SetSavePixelFormat(spf8bit);
    item.SetCompressed(true);
    const QByteArray record = Written(item);
    EXPECT_EQ(uint8_t(record[0]), 0x08 | 0x40 | 0x01);
    TVfxBitmapListItem back;
    Read(back, record);
    EXPECT_EQ(back.StoredBitmap().depth(), 8);
    EXPECT_EQ(back.StoredBitmap().pixel(4, 1), Strip(2, 3, 2).pixel(4, 1));
    EXPECT_EQ(back.SavePixelFormat(), spf8bit);
}

TEST(ImageItem, RecordHeightFirstStripsAndMaskByteForByte) {
    const QByteArray record = ImageRecord(3, 16, 5, true);
    TVfxImageListItem item;
    Read(item, record);
    EXPECT_EQ(std::tuple(item.Height(), item.Width(), item.AllocBy(), item.Masked(), item.Count()),
              std::tuple(5, 16, 4, true, 3));
    EXPECT_EQ(item.ImageStrip().size(), QSize(48, 5));
    EXPECT_EQ(item.MaskStrip().depth(), 1);
    EXPECT_EQ(item.ImageRect(2), plat::TRect(32, 0, 48, 5));
    EXPECT_EQ(qRed(item.ImageStrip().pixel(33, 4)), 100);
    EXPECT_EQ(Written(item), record);
    // the mask block is a 1-bit bitmap file
    const int maskAt = 1 + 17 + BitmapBlock(Strip(3, 16, 5)).size();
    EXPECT_EQ(record.mid(maskAt + 4 + 28, 2), Bytes({1, 0}));
}

TEST(ImageItem, DamagedRecordsAreRefusedAndChangeNothing) {
    const QByteArray good = ImageRecord(2, 4, 3, true);
    const struct {
        const char* what;
        QByteArray bytes;
    } damaged[] = {
        {"width 0", ImageHeader(3, 0, false, 0)},
        {"height 0", ImageHeader(0, 4, false, 0)},
        {"strip wider than 32768", ImageHeader(1, 1000, false, 33)},
        {"absurd count", ImageHeader(1, 16, false, 0xFFFFFFFF)},
        {"strip narrower than its images",
         ImageHeader(3, 4, false, 3) + BitmapBlock(Strip(2, 4, 3))},
        {"strip lower than the images", ImageHeader(4, 4, false, 2) + BitmapBlock(Strip(2, 4, 3))},
        {"mask missing",
         good.left(good.size() -
                   BitmapBlock(MonoMask(8, 3, [](int, int) { return false; }), 2).size())},
    };
    for (const auto& d : damaged) {
        TVfxImageListItem item;
        Read(item, ImageRecord(1, 2, 2, false));
        item.SetDescription(QStringLiteral("kept"));
        EXPECT_THROW(Read(item, d.bytes), plat::EReadError) << d.what;
        EXPECT_EQ(std::tuple(item.Count(), item.Width(), item.Description()),
                  std::tuple(1, 2, QStringLiteral("kept")))
            << d.what;
    }
    // cut at every byte
    for (int n = 0; n < good.size(); ++n) {
        TVfxImageListItem item;
        EXPECT_ANY_THROW(Read(item, good.left(n))) << n;
        EXPECT_EQ(item.Count(), 0);
    }
}

TEST(ImageItem, AddImagesChecksSizeAndStripWidthAndSettingsReshapeTheStrip) {
    TVfxImageListItem small;
    Read(small, ImageRecord(1, 16, 15, false));
    TVfxImageListItem other;
    Read(other, ImageRecord(1, 16, 16, false));
    EXPECT_EQ(MessageOf<EInvalidGraphicOperation>([&] { small.AddImages(other); }),
              "Invalid image size");
    EXPECT_EQ(small.Count(), 1);

    TVfxImageListItem full;
    Read(full, ImageRecord(31, 1024, 1, false));
    TVfxImageListItem one;
    Read(one, ImageRecord(1, 1024, 1, true));
    full.AddImages(one); // exactly 32768 pixels
    EXPECT_EQ(full.Count(), 32);
    EXPECT_EQ(qRed(full.ImageStrip().pixel(31 * 1024, 0)), 20);
    EXPECT_EQ(MessageOf<EInvalidGraphicOperation>([&] { full.AddImages(one); }), "Too many images");
    EXPECT_EQ(full.ImageStrip().width(), 32768);
}

TEST(ImageItem, DrawingStyles) {
    TVfxImageListItem item;
    // image 1 of the strip is grey 60; its mask is white (transparent) at
    // (0, 0), where the image is black
    QImage strip = Strip(2, 2, 2);
    strip.setPixel(2, 0, qRgb(0, 0, 0));
    Read(item, ImageHeader(2, 2, true, 2) + BitmapBlock(strip) +
                   BitmapBlock(MonoMask(4, 2, [](int x, int y) { return x == 2 && y == 0; }), 2));
    const PixelLegend legend{{0xFF00FF00, 'g'}, {0xFF3C3C3C, '6'}, {0xFFFF0000, 'R'},
                             {0xFF0000FF, 'B'}, {0xFFFFFFFF, 'W'}, {0xFF000000, 'K'}};
    item.SetBkColor(plat::clRed);
    item.SetBlendColor(plat::clBlue);
    // Style 3 keeps the canvas where the mask is white (the image's black
    // pixel); 2 fills it with the background colour; 1 also blends every other
    // pixel; 0 blends all but the both-odd pixels; image type 1 draws the mask.
    const struct {
        int style, type;
        const char* picture;
    } cases[] = {
        {3, 0, "g6/66"}, {2, 0, "R6/66"}, {1, 0, "RB/B6"}, {0, 0, "BB/B6"}, {0, 1, "WK/KK"}};
    for (const auto& c : cases) {
        item.SetDrawingStyle(c.style);
        item.SetImageType(c.type);
        QImage canvas(2, 2, QImage::Format_RGB32);
        canvas.fill(Qt::green);
        QPainter p(&canvas);
        item.Draw(p, 0, 0, 1);
        p.end();
        EXPECT_EQ(PixelPicture(canvas, legend).join(u'/'), c.picture) << c.style << " " << c.type;
    }
}

TEST(WaveItem, RoundTripAndADamagedWaveChangesNothing) {
    TVfxWaveListItem item;
    const QByteArray record = Bytes({0x0C}) + Le32(3) + Le32(46) + kMinimalWave;
    Read(item, record);
    EXPECT_EQ(std::tuple(item.Wave().Data(), item.Ident()), std::tuple(kMinimalWave, 3));
    EXPECT_EQ(Written(item), record);
    QByteArray list = kMinimalWave;
    list.replace(12, 4, "LIST");
    EXPECT_THROW(Read(item, Bytes({0x0E, 1, 'z'}) + Le32(4) + Le32(46) + list), EInvalidWave);
    EXPECT_EQ(std::tuple(item.Wave().Data(), item.Ident(), item.Description()),
              std::tuple(kMinimalWave, 3, QString()));
    // without content the wave is cleared
    Read(item, Bytes({0}));
    EXPECT_TRUE(item.Wave().IsEmpty());
}

TEST(Container, ADamagedFileLeavesTheContainerAsItWas) {
    TVfxStringList list;
    list.AddItem();
    list.Item(0)->SetItems({QStringLiteral("before")});
    int changes = 0;
    list.OnChange = [&](TVfxCustomComponent*) { ++changes; };
    for (int n = 0; n < kStringFile.size(); ++n) {
        EXPECT_THROW(Read(list, kStringFile.left(n)), plat::EReadError) << n;
    }
    QByteArray absurd = kStringFile;
    absurd.replace(9, 4, Le32(0xFFFFFFFF));
    EXPECT_THROW(Read(list, absurd), plat::EReadError);
    QByteArray wrong = kStringFile;
    wrong.replace(4, 3, "BML");
    EXPECT_EQ(MessageOf([&] { Read(list, wrong, QStringLiteral("a.bmp")); }),
              "Cannot open file %s: a.bmp");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Item(0)->Items(), QStringList{QStringLiteral("before")});
    EXPECT_EQ(changes, 0);
    Read(list, kStringFile);
    EXPECT_EQ(changes, 1); // one notice for the whole read
    EXPECT_EQ(list.Item(0)->Description(), QStringLiteral("Hi"));
}

TEST(Container, FilesByIndexAndLazyBitmaps) {
    QTemporaryDir dir;
    TVfxBitmapList source;
    for (int i = 0; i < 3; ++i) {
        auto& item = static_cast<TVfxBitmapListItem&>(source.AddItem());
        item.SetBitmap(Strip(1, 2 + i, 2));
        item.SetIdent(uint16_t(i));
    }
    const QString file = dir.filePath(QStringLiteral("pics.bmp"));
    source.SaveToFile(file);

    QImage bitmap;
    LoadBitmapFromContainerFile(file, 2, bitmap);
    EXPECT_EQ(bitmap.width(), 4);
    EXPECT_THROW(LoadBitmapFromContainerFile(file, 3, bitmap), plat::EReadError);
    EXPECT_THROW(LoadBitmapFromContainerFile(file, -1, bitmap), plat::EReadError);
    uint32_t count = 0;
    std::vector<uint32_t> offsets;
    EXPECT_EQ(ReadContainerIndex(file, count, &offsets), ctBitmapList);
    offsets[1] = 100000; // past the end
    TVfxBitmapListItem entry;
    EXPECT_THROW(LoadItemFromFile(file, ctBitmapList, &offsets, entry, 1), plat::EReadError);
    EXPECT_EQ(MessageOf([&] { LoadItemFromFile(file, ctStringList, nullptr, entry, 0); }),
              "Cannot open file %s: " + file);

    // storage mode 1: entry Ident of the container file
    TVfxBitmapList lazy;
    lazy.SetStorageMode(1);
    lazy.SetDirectoryKind(ppFixed);
    lazy.SetFileName(file);
    auto& item = static_cast<TVfxBitmapListItem&>(lazy.AddItem());
    item.SetIdent(1);
    int changes = 0;
    item.OnChange = [&](TVfxCustomComponent*) { ++changes; };
    EXPECT_TRUE(item.StoredBitmap().isNull());
    EXPECT_EQ(item.Bitmap().width(), 3);
    EXPECT_EQ(changes, 0);
}

TEST(Container, LinksAndTheContainerHearOfChanges) {
    auto list = std::make_unique<TVfxWaveList>();
    TVfxChangeLink link;
    int heard = 0;
    link.OnChange = [&](TVfxChangeLink* l) {
        EXPECT_EQ(l->Sender(), list.get());
        ++heard;
    };
    list->RegisterChanges(link);
    list->AddItem();
    EXPECT_EQ(heard, 1);
    {
        TVfxChangeLink gone;
        list->RegisterChanges(gone);
    } // unregisters itself
    list->Clear();
    EXPECT_EQ(heard, 2);
    list.reset();
    EXPECT_EQ(link.Sender(), nullptr);
}

// Queries name a list and an image; those that name neither answer safely.
TEST(ImageLists, QueriesByListAndImage) {
    TVfxImageList images;
    Read(images, ImageListFile(ImageRecord(3, 2, 2, false)));
    EXPECT_EQ(std::tuple(images.ImageCount(0), images.ImageCount(1)), std::tuple(3, -1));
    EXPECT_EQ(std::tuple(images.ImagePresent(0, 2), images.ImagePresent(0, 3)),
              std::tuple(true, false));
    EXPECT_EQ(images.PixelColor(0, 2, 1, 1), plat::RGB(100, 100, 100));
    EXPECT_EQ(images.PixelColor(0, 2, 2, 0), 0xFFFFFF);
    TVfxBitmapList bitmaps;
    static_cast<TVfxBitmapListItem&>(bitmaps.AddItem()).SetBitmap(Strip(1, 3, 2));
    bitmaps.AddItem();
    EXPECT_EQ(std::tuple(bitmaps.ImageCount(0), bitmaps.ImageCount(1), bitmaps.ImageCount(2)),
              std::tuple(1, 0, -1));
    EXPECT_EQ(bitmaps.PixelColor(7, 0, 0, 0), 0xFFFFFF);
}

} // namespace
