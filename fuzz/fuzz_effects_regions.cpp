// Arbitrary bytes through the readers of the effects kit's shaped areas: the
// point list's stored form, the region mask's region data and border
// bitmaps, and region data turned into regions and painted.
//
// Input: byte 0 chooses the reader (low two bits) and, for the mask, whether
// the stated size agrees with the bytes (bit 2) or how far it is off (bits 3
// to 7); the rest is what the reader gets.
// Checked on every input:
// - no crash, no sanitizer report;
// - only the documented errors, and a refused read changes nothing;
// - whatever reads successfully is written and read back unchanged;
// - a point list's polygon holds exactly the pixels the even-odd rule gives.

#include "effects/gui/regions/VfxPointList.h"
#include "effects/gui/regions/VfxRegion.h"
#include "effects/gui/regions/VfxRegionMask.h"
#include "effects/gui/regions/VfxRegionShapes.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

QGuiApplication* app = nullptr;

void expect(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The polygon through the points holds exactly the pixels whose centres an
// odd number of its edges pass on the right (checked where it is small),
// and fills an image without reaching outside it.
void checkPolygon(const std::vector<QPoint>& points) {
    const QRect box = QPolygon(QList<QPoint>(points.begin(), points.end())).boundingRect();
    if (points.size() > 64 || box.height() > 4096) {
        return; // building costs rows times edges: keep the runs quick
    }
    const QRegion region = fx::VfxPolygonRegion(points);
    if (points.size() >= 3 && int64_t(box.width()) * box.height() <= 4096) {
        for (int y = box.top() - 1; y <= box.bottom() + 1; ++y) {
            for (int x = box.left() - 1; x <= box.right() + 1; ++x) {
                int crossings = 0;
                for (size_t i = 0; i < points.size(); ++i) {
                    QPoint a = points[i];
                    QPoint b = points[(i + 1) % points.size()];
                    if (a.y() > b.y()) {
                        std::swap(a, b);
                    }
                    const int64_t dy = b.y() - a.y();
                    if (a.y() <= y && y < b.y() &&
                        2 * int64_t(a.x()) * dy + (2 * int64_t(y - a.y()) + 1) * (b.x() - a.x()) >
                            (2 * int64_t(x) + 1) * dy) {
                        ++crossings;
                    }
                }
                expect(region.contains(QPoint(x, y)) == (crossings % 2 == 1));
            }
        }
    }
    QImage image(48, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(-box.topLeft());
    fx::VfxFillRegion(painter, region, QColor(Qt::red));
}

void readPointList(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    fx::TVfxPointList list;
    list.AddPoint({7, -7});
    const std::vector<uint32_t> before = list.Entries();
    try {
        list.ReadData(in);
    } catch (const plat::EReadError&) {
        expect(list.Entries() == before);
        return;
    }
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    list.WriteData(out);
    out.seek(0);
    fx::TVfxPointList back;
    back.ReadData(out);
    expect(back.Entries() == list.Entries());
    expect(out.atEnd());
    checkPolygon(list.Points());
}

// The region in the kit's own bytes and back, then as a region object's
// shape with a shadow painted on a small image.
void useRegion(const QRegion& region, const QByteArray& data) {
    for (const QRect& r : region) {
        expect(r.left() >= -(1 << 27) && r.right() < (1 << 27));
        expect(r.top() >= -(1 << 27) && r.bottom() < (1 << 27));
    }
    const std::optional<QRegion> back = fx::VfxRegionFromData(fx::VfxRegionToData(region));
    expect(back.has_value() && back->xored(region).isEmpty());

    fx::TVfxBorderRegion shape;
    shape.Mask().SetRegionDataSize(static_cast<int>(data.size()));
    QByteArray copy = data;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    shape.Mask().ReadRegionData(in);
    shape.SetShape(fx::rsBitmap);
    shape.Shadow().SetStyle(fx::hssSolid);
    shape.CreateRegion(plat::TRect(0, 0, 40, 40));
    expect(shape.Rgn().xored(region).isEmpty());
    QImage image(48, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    shape.Paint(painter, plat::TRect(0, 0, 48, 48));
}

void readRegionData(const QByteArray& bytes) {
    const std::optional<QRegion> region = fx::VfxRegionFromData(bytes);
    if (region) {
        useRegion(*region, bytes);
    }
}

void readMaskData(const QByteArray& bytes, int statedSize) {
    fx::TVfxRegionMask mask;
    mask.SetRegion(QRegion(1, 2, 3, 4));
    const QByteArray before = mask.RegionData();
    mask.SetRegionDataSize(statedSize);
    QByteArray copy = bytes;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    try {
        mask.ReadRegionData(in);
    } catch (const plat::EReadError&) {
        expect(mask.RegionData() == before);
        return;
    }
    expect(statedSize == bytes.size() && mask.RegionData() == bytes);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    mask.WriteRegionData(out);
    expect(out.data() == bytes);
}

void readMaskBitmap(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    fx::TVfxRegionMask mask;
    try {
        mask.ReadBitmap(in, fx::TVfxRegionMask::bkBorderUp);
    } catch (const plat::Exception&) {
        expect(mask.BorderUpBitmap().isNull() && !mask.Compressed());
        return;
    }
    if (!mask.StoreBitmap(fx::TVfxRegionMask::bkBorderUp)) {
        return;
    }
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    mask.WriteBitmap(out, fx::TVfxRegionMask::bkBorderUp);
    out.seek(0);
    fx::TVfxRegionMask back;
    back.ReadBitmap(out, fx::TVfxRegionMask::bkBorderUp);
    const QImage::Format format = QImage::Format_RGB32;
    expect(back.BorderUpBitmap().convertToFormat(format) ==
           mask.BorderUpBitmap().convertToFormat(format));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app = new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t control = data[0];
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    switch (control & 3) {
    case 0:
        readPointList(rest);
        break;
    case 1:
        readRegionData(rest);
        break;
    case 2: {
        const int off = (control & 4) ? 0 : (control >> 3) - 16;
        readMaskData(rest, static_cast<int>(rest.size()) + off);
        break;
    }
    default:
        readMaskBitmap(rest);
        break;
    }
    return 0;
}
