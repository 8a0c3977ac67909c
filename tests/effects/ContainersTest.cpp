#include "effects/core/VfxStreams.h"
#include "effects/gui/VfxBitmapImage.h"
#include "effects/gui/VfxContainers.h"

#include "EffectsTestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace fx;

namespace {

QByteArray Le32(uint32_t v) {
    return Bytes({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)});
}

// The string-list file of one item: Description "Hi", Ident 7, ["x"].
const QByteArray kStringFile =
    Bytes({0x08, 'V',  'F', 'X', 'S', 'L', 'L', '3', '0', 1, 0, 0, 0, 0x11, 0,    0,
           0,    0x0E, 2,   'H', 'i', 7,   0,   0,   0,   3, 0, 0, 0, 'x',  0x0D, 0x0A});

// The 46-byte wave.
const QByteArray kWave = Bytes({0x52, 0x49, 0x46, 0x46, 0x26, 0,    0, 0, 0x57, 0x41, 0x56, 0x45,
                                0x66, 0x6D, 0x74, 0x20, 0x10, 0,    0, 0, 1,    0,    1,    0,
                                0x40, 0x1F, 0,    0,    0x40, 0x1F, 0, 0, 1,    0,    8,    0,
                                0x64, 0x61, 0x74, 0x61, 2,    0,    0, 0, 0x80, 0x80});

template <typename F>
void ReadFrom(QByteArray bytes, F&& read) {
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    read(in);
}

template <typename F>
QByteArray Written(F&& write) {
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    write(out);
    return out.data();
}

QByteArray BitmapBlock(const QImage& image, int colors = -1) {
    return Written([&](QIODevice& out) { VfxWriteBitmap(out, image, false, colors); });
}

// A strip of n images of w x h; image i is filled with the grey 40 i + 20.
QImage Strip(int n, int w, int h) {
    QImage strip(n * w, h, QImage::Format_RGB32);
    for (int i = 0; i < n; ++i) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                strip.setPixel(i * w + x, y, qRgb(40 * i + 20, 40 * i + 20, 40 * i + 20));
            }
        }
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

// An image item record: height, width, alloc-by, masked, count, strips.
QByteArray ImageRecord(int n, int w, int h, bool masked) {
    QByteArray record =
        Bytes({0x08}) + Le32(h) + Le32(w) + Le32(4) + Bytes({masked ? 1 : 0}) + Le32(n);
    if (n > 0) {
        record += BitmapBlock(Strip(n, w, h));
        if (masked) {
            record += BitmapBlock(MonoMask(n * w, h, [](int x, int y) { return (x + y) % 2; }), 2);
        }
    }
    return record;
}

TEST(ContainerFile, StringListByteForByte) {
    TVfxStringList list;
    auto& item = static_cast<TVfxStringListItem&>(list.AddItem());
    item.SetDescription(QStringLiteral("Hi"));
    item.SetIdent(7);
    item.SetItems({QStringLiteral("x")});
    EXPECT_EQ(Written([&](QIODevice& out) { list.SaveToStream(out); }), kStringFile);

    TVfxStringList back;
    ReadFrom(kStringFile, [&](QIODevice& in) { back.LoadFromStream(in); });
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Item(0)->Description(), QStringLiteral("Hi"));
    EXPECT_EQ(back.Item(0)->Ident(), 7);
    EXPECT_EQ(back.Item(0)->Items(), QStringList{QStringLiteral("x")});
    EXPECT_FALSE(back.Item(0)->Compressed());

    uint32_t count = 0;
    std::vector<uint32_t> offsets;
    ReadFrom(kStringFile, [&](QIODevice& in) {
        EXPECT_EQ(ReadContainerIndex(in, count, &offsets), ctStringList);
    });
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(offsets, std::vector<uint32_t>{17});

    TVfxStringList empty;
    EXPECT_EQ(Written([&](QIODevice& out) { empty.SaveToStream(out); }),
              kStringFile.left(9) + Bytes({0, 0, 0, 0}));
}

TEST(ContainerFile, SignaturesAndExtensionsPerType) {
    const char* const expected[] = {"VFXIML30", "VFXBML30", "VFXWVL30",
                                    "VFXSLL30", "VFXGLL50", "VFXRTL50"};
    const char* const extensions[] = {".iml", ".bmp", ".wav", ".txt", ".*", ".rtf"};
    for (int type = 0; type < 6; ++type) {
        QByteArray file = Bytes({8}) + QByteArray(expected[type]) + Le32(0);
        uint32_t count = 9;
        ReadFrom(file,
                 [&](QIODevice& in) { EXPECT_EQ(ReadContainerIndex(in, count, nullptr), type); });
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(VfxContainerExtension(type, true), QString::fromLatin1(extensions[type]));
    }
    EXPECT_EQ(VfxContainerExtension(ctBitmapList, false), QStringLiteral("bmp"));
    for (const QByteArray& bad : {Bytes({8}) + QByteArray("VFXXXX30") + Le32(0),
                                  Bytes({7}) + QByteArray("VFXSLL30") + Le32(0)}) {
        uint32_t count = 0;
        std::vector<uint32_t> offsets{5};
        ReadFrom(bad,
                 [&](QIODevice& in) { EXPECT_EQ(ReadContainerIndex(in, count, &offsets), 6); });
        EXPECT_EQ(offsets, std::vector<uint32_t>{5}); // unknown files give no table
    }
}

TEST(ContainerFile, ACompressedItemFromAHandMadeStoredBlock) {
    TVfxStringListItem item;
    ReadFrom(Bytes({0x09, 8, 0, 0, 0, 4, 0, 0, 0, 0x80, 'x', 0x0D, 0x0A}),
             [&](QIODevice& in) { item.ReadItem(in); });
    EXPECT_TRUE(item.Compressed());
    EXPECT_EQ(item.Items(), QStringList{QStringLiteral("x")});
    // written back compressed, it reads back the same
    TVfxStringListItem again;
    ReadFrom(Written([&](QIODevice& out) { item.WriteItem(out); }),
             [&](QIODevice& in) { again.ReadItem(in); });
    EXPECT_EQ(again.Items(), item.Items());
    EXPECT_TRUE(again.Compressed());
}

TEST(ItemRecord, EmptyItemIsOneByteAndPixelFormatFlags) {
    TVfxBitmapListItem empty;
    EXPECT_EQ(Written([&](QIODevice& out) { empty.WriteItem(out); }), Bytes({0}));
    const struct {
        int flags;
        TVfxSavePixelFormat format;
    } cases[] = {{0x00, spfDefault}, {0x10, spfMono}, {0x30, spfMono},
                 {0x20, spf4bit},    {0x60, spf4bit}, {0x40, spf8bit}};
    for (const auto& c : cases) {
        TVfxBitmapListItem item;
        item.SetDescription(QStringLiteral("old"));
        item.SetIdent(9);
        ReadFrom(Bytes({c.flags}), [&](QIODevice& in) { item.ReadItem(in); });
        EXPECT_EQ(item.SavePixelFormat(), c.format) << c.flags;
        // missing fields are cleared
        EXPECT_TRUE(item.Description().isEmpty());
        EXPECT_EQ(item.Ident(), 0);
    }
    TVfxBitmapListItem mono;
    mono.SetSavePixelFormat(spfMono);
    EXPECT_EQ(Written([&](QIODevice& out) { mono.WriteItem(out); }), Bytes({0x10}));
}

TEST(ItemRecord, BitmapItemAtItsSavePixelFormat) {
    TVfxBitmapListItem item;
    item.SetBitmap(Strip(2, 3, 2));
    item.SetSavePixelFormat(spf8bit);
    item.SetCompressed(true);
    const QByteArray record = Written([&](QIODevice& out) { item.WriteItem(out); });
    EXPECT_EQ(uint8_t(record[0]), 0x08 | 0x40 | 0x01);
    TVfxBitmapListItem back;
    ReadFrom(record, [&](QIODevice& in) { back.ReadItem(in); });
    EXPECT_EQ(back.StoredBitmap().depth(), 8);
    EXPECT_EQ(back.StoredBitmap().pixel(4, 1), Strip(2, 3, 2).pixel(4, 1));
    EXPECT_EQ(back.SavePixelFormat(), spf8bit);
}

TEST(ImageItem, RecordHeightFirstStripsAndMaskByteForByte) {
    const QByteArray record = ImageRecord(3, 16, 5, true);
    TVfxImageListItem item;
    ReadFrom(record, [&](QIODevice& in) { item.ReadItem(in); });
    EXPECT_EQ(item.Height(), 5);
    EXPECT_EQ(item.Width(), 16);
    EXPECT_EQ(item.AllocBy(), 4);
    EXPECT_TRUE(item.Masked());
    ASSERT_EQ(item.Count(), 3);
    EXPECT_EQ(item.ImageStrip().size(), QSize(48, 5));
    EXPECT_EQ(item.MaskStrip().depth(), 1);
    EXPECT_EQ(item.ImageRect(2), plat::TRect(32, 0, 48, 5));
    EXPECT_EQ(qRed(item.ImageStrip().pixel(33, 4)), 100);
    EXPECT_EQ(Written([&](QIODevice& out) { item.WriteItem(out); }), record);
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
        {"width 0", Bytes({0x08}) + Le32(3) + Le32(0) + Le32(4) + Bytes({0}) + Le32(0)},
        {"height 0", Bytes({0x08}) + Le32(0) + Le32(4) + Le32(4) + Bytes({0}) + Le32(0)},
        {"strip wider than 32768",
         Bytes({0x08}) + Le32(1) + Le32(1000) + Le32(4) + Bytes({0}) + Le32(33)},
        {"absurd count",
         Bytes({0x08}) + Le32(1) + Le32(16) + Le32(4) + Bytes({0}) + Le32(0xFFFFFFFF)},
        {"strip narrower than its images", Bytes({0x08}) + Le32(3) + Le32(4) + Le32(4) +
                                               Bytes({0}) + Le32(3) + BitmapBlock(Strip(2, 4, 3))},
        {"strip lower than the images", Bytes({0x08}) + Le32(4) + Le32(4) + Le32(4) + Bytes({0}) +
                                            Le32(2) + BitmapBlock(Strip(2, 4, 3))},
        {"mask missing",
         good.left(good.size() -
                   BitmapBlock(MonoMask(8, 3, [](int, int) { return false; }), 2).size())},
    };
    for (const auto& d : damaged) {
        TVfxImageListItem item;
        ReadFrom(ImageRecord(1, 2, 2, false), [&](QIODevice& in) { item.ReadItem(in); });
        item.SetDescription(QStringLiteral("kept"));
        EXPECT_THROW(ReadFrom(d.bytes, [&](QIODevice& in) { item.ReadItem(in); }), plat::EReadError)
            << d.what;
        EXPECT_EQ(item.Count(), 1) << d.what;
        EXPECT_EQ(item.Width(), 2) << d.what;
        EXPECT_EQ(item.Description(), QStringLiteral("kept")) << d.what;
    }
    // cut at every byte
    for (int n = 0; n < good.size(); ++n) {
        TVfxImageListItem item;
        EXPECT_ANY_THROW(ReadFrom(good.left(n), [&](QIODevice& in) { item.ReadItem(in); })) << n;
        EXPECT_EQ(item.Count(), 0);
    }
}

TEST(ImageItem, AddImagesChecksSizeAndStripWidth) {
    TVfxImageListItem small;
    ReadFrom(ImageRecord(1, 16, 15, false), [&](QIODevice& in) { small.ReadItem(in); });
    TVfxImageListItem other;
    ReadFrom(ImageRecord(1, 16, 16, false), [&](QIODevice& in) { other.ReadItem(in); });
    try {
        small.AddImages(other);
        FAIL();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid image size"));
    }
    EXPECT_EQ(small.Count(), 1);

    TVfxImageListItem full;
    ReadFrom(ImageRecord(31, 1024, 1, false), [&](QIODevice& in) { full.ReadItem(in); });
    TVfxImageListItem one;
    ReadFrom(ImageRecord(1, 1024, 1, true), [&](QIODevice& in) { one.ReadItem(in); });
    full.AddImages(one); // exactly 32768 pixels
    EXPECT_EQ(full.Count(), 32);
    EXPECT_EQ(qRed(full.ImageStrip().pixel(31 * 1024, 0)), 20);
    try {
        full.AddImages(one);
        FAIL();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Too many images"));
    }
    EXPECT_EQ(full.Count(), 32);
    EXPECT_EQ(full.ImageStrip().width(), 32768);
}

TEST(ImageItem, GeometryAndMaskSettings) {
    TVfxImageListItem item;
    ReadFrom(ImageRecord(2, 4, 3, false), [&](QIODevice& in) { item.ReadItem(in); });
    item.SetMasked(true);
    EXPECT_EQ(item.MaskStrip().size(), QSize(8, 3));
    EXPECT_EQ(item.Count(), 2);
    item.SetMasked(false);
    EXPECT_TRUE(item.MaskStrip().isNull());
    item.SetWidth(0); // ignored
    EXPECT_EQ(item.Count(), 2);
    item.SetHeight(6);
    EXPECT_EQ(item.Count(), 0);
    EXPECT_EQ(item.Height(), 6);
}

TEST(ImageItem, DrawingStyles) {
    TVfxImageListItem item;
    // image 1 of the strip is grey 60; its mask is white (transparent) at
    // (0, 0), where the image is black
    QImage strip = Strip(2, 2, 2);
    strip.setPixel(2, 0, qRgb(0, 0, 0));
    QByteArray record =
        Bytes({0x08}) + Le32(2) + Le32(2) + Le32(4) + Bytes({1}) + Le32(2) + BitmapBlock(strip) +
        BitmapBlock(MonoMask(4, 2, [](int x, int y) { return x == 2 && y == 0; }), 2);
    ReadFrom(record, [&](QIODevice& in) { item.ReadItem(in); });
    const QRgb grey = qRgb(60, 60, 60);
    const auto draw = [&] {
        QImage canvas(2, 2, QImage::Format_RGB32);
        canvas.fill(Qt::green);
        QPainter p(&canvas);
        item.Draw(p, 0, 0, 1);
        p.end();
        return canvas;
    };
    item.SetDrawingStyle(3);
    QImage canvas = draw();
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(canvas.pixel(1, 1), grey);
    item.SetDrawingStyle(2);
    item.SetBkColor(plat::clRed);
    EXPECT_EQ(draw().pixel(0, 0), qRgb(255, 0, 0));
    item.SetDrawingStyle(1);
    item.SetBlendColor(plat::clBlue);
    canvas = draw();
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(1, 1), grey);
    item.SetDrawingStyle(0); // everything but both-odd pixels
    canvas = draw();
    EXPECT_EQ(canvas.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(1, 1), grey);
    item.SetImageType(1); // the mask itself
    EXPECT_EQ(draw().pixel(0, 0), qRgb(255, 255, 255));
}

TEST(WaveItem, RoundTripAndADamagedWaveChangesNothing) {
    TVfxWaveListItem item;
    const QByteArray record = Bytes({0x0C}) + Le32(3) + Le32(46) + kWave;
    ReadFrom(record, [&](QIODevice& in) { item.ReadItem(in); });
    EXPECT_EQ(item.Wave().Data(), kWave);
    EXPECT_EQ(item.Ident(), 3);
    EXPECT_EQ(Written([&](QIODevice& out) { item.WriteItem(out); }), record);
    QByteArray list = kWave;
    list.replace(12, 4, "LIST");
    EXPECT_THROW(ReadFrom(Bytes({0x0E, 1, 'z'}) + Le32(4) + Le32(46) + list,
                          [&](QIODevice& in) { item.ReadItem(in); }),
                 EInvalidWave);
    EXPECT_EQ(item.Wave().Data(), kWave);
    EXPECT_EQ(item.Ident(), 3);
    EXPECT_TRUE(item.Description().isEmpty());
    // without content the wave is cleared
    ReadFrom(Bytes({0}), [&](QIODevice& in) { item.ReadItem(in); });
    EXPECT_TRUE(item.Wave().IsEmpty());
}

TEST(Container, ADamagedFileLeavesTheContainerAsItWas) {
    TVfxStringList list;
    list.AddItem();
    list.Item(0)->SetItems({QStringLiteral("before")});
    int changes = 0;
    list.OnChange = [&](TVfxCustomComponent*) { ++changes; };
    for (int n = 0; n < kStringFile.size(); ++n) {
        EXPECT_THROW(ReadFrom(kStringFile.left(n), [&](QIODevice& in) { list.LoadFromStream(in); }),
                     plat::EReadError)
            << n;
    }
    QByteArray absurd = kStringFile;
    absurd.replace(9, 4, Le32(0xFFFFFFFF));
    EXPECT_THROW(ReadFrom(absurd, [&](QIODevice& in) { list.LoadFromStream(in); }),
                 plat::EReadError);
    QByteArray wrong = kStringFile;
    wrong.replace(4, 3, "BML");
    try {
        ReadFrom(wrong, [&](QIODevice& in) { list.LoadFromStream(in, QStringLiteral("a.bmp")); });
        FAIL();
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot open file %s: a.bmp"));
    }
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Item(0)->Items(), QStringList{QStringLiteral("before")});
    EXPECT_EQ(changes, 0);
    ReadFrom(kStringFile, [&](QIODevice& in) { list.LoadFromStream(in); });
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
    try {
        LoadItemFromFile(file, ctStringList, nullptr, entry, 0);
        FAIL();
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot open file %s: ") + file);
    }

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
    // storage mode 4: a bitmap file named after the container file and Ident
    QFile bmp(dir.filePath(QStringLiteral("abc7.bmp")));
    ASSERT_TRUE(bmp.open(QIODevice::WriteOnly));
    bmp.write(VfxCreateDIBFileImage(Strip(1, 5, 1), 0));
    bmp.close();
    TVfxBitmapList byName;
    byName.SetStorageMode(4);
    byName.SetDirectoryKind(ppFixed);
    byName.SetFileName(dir.filePath(QStringLiteral("abcdef.iml")));
    auto& named = static_cast<TVfxBitmapListItem&>(byName.AddItem());
    named.SetIdent(7);
    EXPECT_EQ(named.Bitmap().width(), 5);
    // storage mode 0 keeps the item's own (none)
    TVfxBitmapList own;
    EXPECT_TRUE(static_cast<TVfxBitmapListItem&>(own.AddItem()).Bitmap().isNull());
}

TEST(Container, LinksHearOfChangesAndForgetTheirContainer) {
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

TEST(Container, ItemChangesReachTheContainer) {
    TVfxStringList list;
    std::vector<TVfxListItem*> changed;
    list.OnItemChange = [&](TVfxCustomContainer*, TVfxListItem* item) { changed.push_back(item); };
    TVfxListItem& item = list.AddItem();
    static_cast<TVfxStringListItem&>(item).SetItems({QStringLiteral("a")});
    EXPECT_EQ(changed, std::vector<TVfxListItem*>{&item});
}

TEST(Container, AssignCopiesEveryItem) {
    TVfxImageList from;
    from.SetDefaultCompressed(true);
    from.SetDefaultPixelFormat(spf4bit);
    ReadFrom(Bytes({8, 'V', 'F', 'X', 'I', 'M', 'L', '3', '0'}) + Le32(1) + Le32(17) +
                 ImageRecord(2, 3, 2, true),
             [&](QIODevice& in) { from.LoadFromStream(in); });
    TVfxImageList to;
    to.Assign(from);
    EXPECT_TRUE(to.DefaultCompressed());
    EXPECT_EQ(to.DefaultPixelFormat(), spf4bit);
    ASSERT_EQ(to.Count(), 1);
    EXPECT_EQ(to.Item(0)->Count(), 2);
    EXPECT_TRUE(to.Item(0)->Masked());
    EXPECT_EQ(to.Item(0)->ImageStrip(), from.Item(0)->ImageStrip());
    TVfxBitmapList other;
    EXPECT_THROW(other.Assign(from), plat::EConvertError);
}

TEST(ImageLists, QueriesByListAndImage) {
    TVfxImageList images;
    ReadFrom(Bytes({8, 'V', 'F', 'X', 'I', 'M', 'L', '3', '0'}) + Le32(1) + Le32(17) +
                 ImageRecord(3, 2, 2, false),
             [&](QIODevice& in) { images.LoadFromStream(in); });
    EXPECT_EQ(images.ImageCount(0), 3);
    EXPECT_EQ(images.ImageCount(1), -1);
    EXPECT_TRUE(images.ImagePresent(0, 2));
    EXPECT_FALSE(images.ImagePresent(0, 3));
    EXPECT_EQ(images.ImageRect(0, 1), plat::TRect(2, 0, 4, 2));
    EXPECT_EQ(images.ImageSize(0, 0), 2);
    EXPECT_EQ(images.PixelColor(0, 2, 1, 1), plat::RGB(100, 100, 100));
    EXPECT_EQ(images.PixelColor(0, 2, 2, 0), 0xFFFFFF);
    EXPECT_EQ(images.TransparentColor(0, 1), plat::RGB(60, 60, 60));
    QImage copy;
    ASSERT_TRUE(images.CopyImage(0, 1, copy));
    EXPECT_EQ(copy.size(), QSize(2, 2));

    TVfxBitmapList bitmaps;
    static_cast<TVfxBitmapListItem&>(bitmaps.AddItem()).SetBitmap(Strip(1, 3, 2));
    bitmaps.AddItem();
    EXPECT_EQ(bitmaps.ImageCount(0), 1);
    EXPECT_EQ(bitmaps.ImageCount(1), 0);
    EXPECT_EQ(bitmaps.ImageCount(2), -1);
    EXPECT_EQ(bitmaps.ImageSize(0, 1), 2);
    EXPECT_EQ(bitmaps.ImageSize(5, 1), 0);
    EXPECT_EQ(bitmaps.PixelColor(7, 0, 0, 0), 0xFFFFFF);
    EXPECT_EQ(bitmaps.TransparentColor(1, 0), 0xFFFFFF);
    EXPECT_FALSE(bitmaps.Masked(0));
    QImage canvas(4, 4, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    {
        QPainter p(&canvas);
        bitmaps.Draw(p, 1, 1, 0, 0);
    }
    EXPECT_EQ(canvas.pixel(3, 2), qRgb(20, 20, 20));
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(DefaultContainer, NamesItsBitmapAndImageLists) {
    TVfxContainer& all = VfxDefaultContainer();
    EXPECT_EQ(ListFromName(QStringLiteral("VFXBML30")), &all.BitmapList());
    EXPECT_EQ(ListFromName(QStringLiteral("VFXIML30")), &all.ImageList());
    EXPECT_EQ(ListFromName(QStringLiteral("VFXWVL30")), nullptr);
    EXPECT_EQ(ListName(&all.ImageList()), QStringLiteral("VFXIML30"));
    EXPECT_TRUE(IsDefaultList(&all.BitmapList()));
    TVfxBitmapList mine;
    EXPECT_FALSE(IsDefaultList(&mine));
    EXPECT_TRUE(ListName(&all.StringList()).isEmpty());
    // a list's change is the container's
    int changes = 0;
    TVfxContainer container;
    container.OnChange = [&](TVfxCustomComponent*) { ++changes; };
    container.WaveList().AddItem();
    EXPECT_EQ(changes, 1);
}

} // namespace
