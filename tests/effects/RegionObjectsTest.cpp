#include "effects/gui/regions/VfxPointList.h"
#include "effects/gui/regions/VfxRegion.h"
#include "effects/gui/regions/VfxRegionMask.h"
#include "effects/gui/regions/VfxShadow.h"

#include "EffectsGuiSupport.h"
#include "EffectsTestSupport.h"
#include "RegionTestSupport.h"

#include <QBuffer>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace fx;
using plat::TRect;

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

// Counts the change notices of a settings object.
template <typename T>
int* CountChanges(T& object) {
    auto count = std::make_shared<int>(0);
    object.OnChange = [count](auto*) { ++*count; };
    return count.get(); // kept alive by the handler
}

// --- shadows ---

TEST(Shadow, DescribesItselfAndKeepsItsDepthInRange) {
    TVfxShadow shadow;
    EXPECT_EQ(shadow.Description(), "{solid, 6}");
    shadow.SetStyle(hssTracing);
    for (const auto& [set, kept] : {std::pair{40, 40}, {41, 40}, {-3, 0}}) {
        shadow.SetDepth(set);
        EXPECT_EQ(shadow.Depth(), kept) << set;
    }
    EXPECT_EQ(shadow.Description(), "{tracing, 0}");
    shadow.SetStyle(hssNone);
    EXPECT_EQ(shadow.Description(), "{Disabled}");
}

// --- point list ---

QPoint PointOf(const QString& text) {
    return QPoint(text.section(u',', 0, 0).toInt(), text.section(u',', 1).toInt());
}

TEST(PointList, PacksSixteenSignedBitsPerCoordinate) {
    for (const QStringList& row : GoldenTextRows("effects/point-lists.tsv", 3)) {
        EXPECT_EQ(TVfxPointList::Pack(PointOf(row[0])), row[1].toUInt(nullptr, 16))
            << row[0].toStdString();
        EXPECT_EQ(TVfxPointList::Unpack(row[1].toUInt(nullptr, 16)), PointOf(row[2]))
            << row[1].toStdString();
    }
}

TEST(PointList, StoredFormRoundTripsAndReadingAppends) {
    TVfxPointList list;
    list.AddPoint({3, -1});
    list.AddPoint({-5, 7});
    MemoryStream buffer;
    list.WriteData(buffer);
    EXPECT_EQ(buffer.data(), Hex("04000000"
                                 "03000000ffffffff"
                                 "fbffffff07000000"));
    buffer.seek(0);
    TVfxPointList read;
    read.AddPoint({1, 2});
    int changes = 0;
    read.OnChange = [&](TVfxPointList*) { ++changes; };
    read.ReadData(buffer);
    EXPECT_EQ(read.Points(), (std::vector<QPoint>{{1, 2}, {3, -1}, {-5, 7}}));
    EXPECT_EQ(changes, 1);
    for (int index : {-1, 3, std::numeric_limits<int>::min()}) {
        EXPECT_EQ(read.GetPoint(index), QPoint(0, 0)) << index;
    }
}

TEST(PointList, DamagedStoredFormsAreRefusedAndAppendNothing) {
    for (const QStringList& row : GoldenTextRows("effects/damaged-point-lists.tsv", 2)) {
        SCOPED_TRACE(row[0].toStdString());
        MemoryStream buffer(Hex(row[1].toLatin1().constData()));
        TVfxPointList list;
        list.AddPoint({1, 2});
        int changes = 0;
        list.OnChange = [&](TVfxPointList*) { ++changes; };
        EXPECT_THROW(list.ReadData(buffer), plat::EReadError);
        EXPECT_EQ(list.Points(), (std::vector<QPoint>{{1, 2}}));
        EXPECT_EQ(changes, 0);
    }
}

// --- region data ---

TEST(RegionData, RectangleGivesThePlatformsLayout) {
    const QByteArray data = VfxRegionToData(QRegion(0, 0, 10, 5));
    EXPECT_EQ(data, Hex("20 00 00 00 01 00 00 00 01 00 00 00 10 00 00 00"
                        "00 00 00 00 00 00 00 00 0A 00 00 00 05 00 00 00"
                        "00 00 00 00 00 00 00 00 0A 00 00 00 05 00 00 00"));
    EXPECT_EQ(data.size(), 48);
    EXPECT_EQ(VfxRegionFromData(data), QRegion(0, 0, 10, 5));
}

TEST(RegionData, RoundTripsEveryShapesRegion) {
    TVfxShapeParams params;
    for (int shape = 0; shape < kVfxRegionShapeCount; ++shape) {
        params.Shape = static_cast<TVfxRegionShape>(shape);
        const QRegion region = VfxShapeRegion(params, TRect(5, 7, 205, 157));
        const std::optional<QRegion> back = VfxRegionFromData(VfxRegionToData(region));
        ASSERT_TRUE(back.has_value()) << shape;
        EXPECT_TRUE(back->xored(region).isEmpty()) << shape;
    }
    EXPECT_EQ(VfxRegionFromData(VfxRegionToData(QRegion())), QRegion());
}

TEST(RegionData, RectanglesInAnyOrderAreUnited) {
    QByteArray data = Hex("2000000001000000030000003000000000000000000000000000000000000000");
    const auto add = [&](int l, int t, int r, int b) {
        for (int v : {l, t, r, b}) {
            data.append(reinterpret_cast<const char*>(&v), 4);
        }
    };
    add(20, 20, 30, 30);
    add(0, 0, 10, 10);
    add(5, 5, 25, 8); // overlaps the first
    const QRegion expected =
        QRegion(20, 20, 10, 10).united(QRegion(0, 0, 10, 10)).united(QRegion(5, 5, 20, 3));
    const std::optional<QRegion> region = VfxRegionFromData(data);
    ASSERT_TRUE(region.has_value());
    EXPECT_TRUE(region->xored(expected).isEmpty());
}

TEST(RegionData, DamagedDataBuildsNoRegionAndIsRefusedByTheMask) {
    const struct {
        const char* name;
        std::function<void(QByteArray&)> damage;
    } cases[] = {
        {"cut in the header", [](QByteArray& d) { d.truncate(31); }},
        {"header size", [](QByteArray& d) { d[0] = 40; }},
        {"type", [](QByteArray& d) { d[4] = 2; }},
        {"count beyond the data", [](QByteArray& d) { d[8] = 3; }},
        {"huge count", [](QByteArray& d) { d.replace(8, 4, QByteArray(4, '\xff')); }},
        {"last rectangle cut", [](QByteArray& d) { d.chop(1); }},
        {"coordinate out of range",
         [](QByteArray& d) { d.replace(40, 4, QByteArray::fromHex("00000010")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray data = VfxRegionToData(QRegion(0, 0, 10, 5).united(QRegion(20, 0, 5, 5)));
        c.damage(data);
        EXPECT_FALSE(VfxRegionFromData(data).has_value());

        TVfxRegionMask mask;
        mask.SetRegion(QRegion(1, 1, 2, 2));
        const QByteArray before = mask.RegionData();
        mask.SetRegionDataSize(static_cast<int>(data.size()));
        MemoryStream buffer(data);
        EXPECT_THROW(mask.ReadRegionData(buffer), plat::EReadError);
        EXPECT_EQ(mask.RegionData(), before);
    }
}

// --- region mask ---

TEST(RegionMask, ReadsExactlyItsStatedSize) {
    const QByteArray data = VfxRegionToData(QRegion(2, 3, 4, 5));
    TVfxRegionMask mask;
    int* changes = CountChanges(mask);
    // sizes that disagree with the bytes: fewer, more, negative, none
    const std::vector<std::pair<int, QByteArray>> disagreeing = {
        {47, data}, {49, data}, {-1, data}, {48, data + QByteArray(4, '\0')}, {0, data}};
    for (const auto& [size, bytes] : disagreeing) {
        MemoryStream buffer(bytes);
        mask.SetRegionDataSize(size);
        EXPECT_THROW(mask.ReadRegionData(buffer), plat::EReadError) << size;
        EXPECT_TRUE(mask.RegionData().isEmpty());
    }
    EXPECT_EQ(*changes, 0);
    MemoryStream buffer(data);
    mask.SetRegionDataSize(48);
    mask.ReadRegionData(buffer);
    EXPECT_EQ(mask.Region(), QRegion(2, 3, 4, 5));
    EXPECT_EQ(*changes, 1);

    MemoryStream out;
    mask.WriteRegionData(out);
    EXPECT_EQ(out.data(), data);
}

TEST(RegionMask, BorderBitmapsRoundTripAndDamagedOnesChangeNothing) {
    QImage bitmap(5, 3, QImage::Format_RGB32);
    bitmap.fill(Qt::blue);
    bitmap.setPixel(4, 2, qRgb(200, 10, 20));
    for (bool compressed : {false, true}) {
        for (auto kind :
             {TVfxRegionMask::bkBorder, TVfxRegionMask::bkBorderUp, TVfxRegionMask::bkBorderDn}) {
            TVfxRegionMask mask;
            EXPECT_FALSE(mask.StoreBitmap(kind));
            mask.SetBitmap(kind, bitmap);
            mask.SetCompressed(compressed);
            ASSERT_TRUE(mask.StoreBitmap(kind));
            MemoryStream buffer;
            mask.WriteBitmap(buffer, kind);
            EXPECT_EQ(buffer.data().at(0), compressed ? 1 : 0);

            TVfxRegionMask read;
            buffer.seek(0);
            read.ReadBitmap(buffer, kind);
            EXPECT_EQ(read.Compressed(), compressed);
            EXPECT_EQ(read.Bitmap(kind).convertToFormat(QImage::Format_RGB32), bitmap);

            // cut short anywhere past the flag: refused, the mask as it was
            MemoryStream damaged(buffer.data().left(buffer.data().size() / 2));
            TVfxRegionMask untouched;
            EXPECT_THROW(untouched.ReadBitmap(damaged, kind), plat::Exception);
            EXPECT_TRUE(untouched.Bitmap(kind).isNull());
            EXPECT_FALSE(untouched.Compressed());
        }
    }
}

// A one-bit bitmap whose table holds one colour while its pixels use the
// second: those pixels read as black, and stay so when written again.
TEST(RegionMask, BitmapWithAShortColourTableRoundTrips) {
    QByteArray file = Hex("42 4D 46 00 00 00 00 00 00 00 3A 00 00 00"       // 70 bytes, bits at 58
                          "28 00 00 00 02 00 00 00 02 00 00 00 01 00 01 00" // 2 x 2, 1 bit
                          "00 00 00 00 08 00 00 00 00 00 00 00 00 00 00 00"
                          "01 00 00 00 00 00 00 00"   // one colour used
                          "FF FF FF 00"               // white
                          "C0 00 00 00 40 00 00 00"); // index 1 .. 0, 1
    QByteArray bytes = Hex("00") + Hex("00 00 00 00") + file;
    const quint32 size = quint32(file.size());
    bytes.replace(1, 4, QByteArray(reinterpret_cast<const char*>(&size), 4));
    MemoryStream in(bytes);
    TVfxRegionMask mask;
    mask.ReadBitmap(in, TVfxRegionMask::bkBorder);
    const QImage read = mask.BorderBitmap().convertToFormat(QImage::Format_RGB32);
    // index 0, the one colour; index 1, no colour of its own
    EXPECT_EQ(WrongPixels(read, "0,0:W 1,0:K 0,1:K"), QString());
    MemoryStream out;
    mask.WriteBitmap(out, TVfxRegionMask::bkBorder);
    out.seek(0);
    TVfxRegionMask back;
    back.ReadBitmap(out, TVfxRegionMask::bkBorder);
    EXPECT_EQ(back.BorderBitmap().convertToFormat(QImage::Format_RGB32), read);
}

// --- region objects ---

class RegionPaint : public ::testing::Test {
protected:
    // The region built on (0, 0, 94, 94) and painted with (0, 0, 100, 100)
    // on a white image.
    QImage Paint(TVfxRegion& region, QColor background = Qt::white) {
        region.CreateRegion(TRect(0, 0, 94, 94));
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(background);
        QPainter painter(&image);
        region.Paint(painter, TRect(0, 0, 100, 100));
        return image;
    }

    KitFixture kit;
};

// A solid shadow is a red band right of and below the border (white above,
// left of it and inside); a traced one colours where column and row parity
// differ (gray AND red); none when off or suppressed.
TEST_F(RegionPaint, ShadowsFallRightAndDownBesideTheBorder) {
    const struct {
        TVfxShadowStyle style;
        bool suppressed;
        QColor background;
        const char* pixels;
    } cases[] = {
        {hssSolid, false, Qt::white,
         "97,50:R 50,97:R 99,99:R 97,3:W 3,97:W 50,50:W 2,50:W 0,50:K 93,50:K 50,0:K 50,93:K"},
        {hssTracing, false, QColor(0x80, 0x80, 0x80),
         "97,50:800000 96,50:808080 50,97:800000 50,98:808080"},
        {hssNone, false, Qt::white, "97,50:W"},
        {hssSolid, true, Qt::white, "97,50:W"},
    };
    for (const auto& c : cases) {
        TVfxRegion region;
        region.SetShape(rsRect);
        region.Shadow().SetStyle(c.style);
        region.Shadow().SetColor(plat::clRed);
        region.SetSuppressShadow(c.suppressed);
        EXPECT_EQ(WrongPixels(Paint(region, c.background), c.pixels), QString()) << c.pixels;
    }
}

TEST_F(RegionPaint, OffsetMovesTheBordersLeftAndTopOnly) {
    TVfxBorderRegion region;
    region.SetShape(rsRect);
    region.SetPaintOffset({10, 20});
    region.CreateRegion(TRect(0, 0, 94, 94));
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    region.Paint(painter, TRect(0, 0, 94, 94));
    painter.end();
    EXPECT_EQ(WrongPixels(image, "10,50:K 50,20:K 93,50:K 0,50:W"), QString());
}

TEST(Region, PointListShapeFollowsItsPoints) {
    TVfxRegion region;
    region.Points().AddPoint({0, 0});
    region.Points().AddPoint({40, 0});
    region.Points().AddPoint({0, 40});
    EXPECT_TRUE(region.UserRegionData().isEmpty()); // not the chosen shape yet
    region.SetShape(rsPointList);
    region.CreateRegion(TRect(0, 0, 100, 100));
    EXPECT_TRUE(region.Rgn().contains(QPoint(5, 5)));
    EXPECT_FALSE(region.Rgn().contains(QPoint(35, 35)));
    region.Points().SetPoint(2, {40, 40});
    region.CreateRegion(TRect(0, 0, 100, 100));
    EXPECT_TRUE(region.Rgn().contains(QPoint(35, 30)));
    // an emptied list keeps the last region
    region.Points().Clear();
    region.CreateRegion(TRect(0, 0, 100, 100));
    EXPECT_TRUE(region.Rgn().contains(QPoint(35, 30)));
}

TEST(Region, StopsBuildingOnceItsOwnerIsGone) {
    auto owner = std::make_unique<QObject>();
    TVfxRegion region(owner.get());
    region.SetShape(rsRect);
    region.CreateRegion(TRect(0, 0, 10, 10));
    owner.reset();
    region.CreateRegion(TRect(0, 0, 50, 50));
    region.CreateRectRegion(TRect(0, 0, 50, 50));
    EXPECT_EQ(region.Rgn(), QRegion(0, 0, 10, 10));
}

} // namespace
