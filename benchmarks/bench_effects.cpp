// The effects kit's compressed streams: compressing and expanding 10 MB of
// chat-log text and of random bytes, next to zlib's fastest level on the same
// data. Throughput is of the uncompressed bytes; "ratio" is compressed size
// over original size.

#include "BenchStats.h"

#include "effects/core/VfxStreams.h"
#include "effects/gui/bitmaps/VfxBitmapImage.h"
#include "effects/gui/bitmaps/VfxBmpEffects.h"
#include "effects/gui/bitmaps/VfxContainers.h"
#include "effects/gui/regions/VfxRegionMask.h"
#include "effects/gui/regions/VfxRegionShapes.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QPainter>
#include <QPainterPath>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr qsizetype kSize = 10 * 1024 * 1024;

// A fixed pseudo-random sequence, so every run measures the same data.
class Lcg {
public:
    uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    template <typename T, size_t N>
    const T& Pick(const std::array<T, N>& from) {
        return from[Next() % N];
    }

private:
    uint32_t state_ = 12345;
};

// Lines as a chat log holds them: time stamps, names, group tags, sentences
// from a small vocabulary, joins and leaves.
QByteArray ChatLog() {
    static const std::array<const char*, 12> names = {"Vessa",   "Tarmin",  "Orlek",   "Kaldrin",
                                                      "Mirelle", "Dunnoc",  "Sabrae",  "Felkin",
                                                      "Aumbrey", "Yssolde", "Brannoc", "Quell"};
    static const std::array<const char*, 6> groups = {"[Ostrelian OOC] ", "[Trade] ", "", "",
                                                      "[Guild] ",         ""};
    static const std::array<const char*, 48> words = {
        "the",   "a",    "to",    "and",    "anyone",  "for",  "gate", "north",   "run",   "need",
        "heal",  "tank", "lol",   "ok",     "going",   "now",  "inv",  "pls",     "wtb",   "wts",
        "armor", "ring", "boots", "price",  "credits", "team", "raid", "tonight", "see",   "you",
        "at",    "the",  "inn",   "quest",  "reward",  "drop", "rare", "mob",     "spawn", "camp",
        "zone",  "afk",  "brb",   "thanks", "ty",      "np",   "hey",  "all"};
    Lcg rng;
    QByteArray log;
    log.reserve(kSize + 256);
    int minute = 0;
    while (log.size() < kSize) {
        minute = (minute + int(rng.Next() % 3)) % (24 * 60);
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "[%02d:%02d] ", minute / 60, minute % 60);
        log += stamp;
        const uint32_t kind = rng.Next() % 20;
        if (kind == 0) {
            log += rng.Pick(names);
            log += " has joined the channel.\r\n";
            continue;
        }
        if (kind == 1) {
            log += rng.Pick(names);
            log += " has left the channel.\r\n";
            continue;
        }
        log += rng.Pick(groups);
        log += rng.Pick(names);
        log += ": ";
        const int count = 3 + int(rng.Next() % 14);
        for (int i = 0; i < count; ++i) {
            log += rng.Pick(words);
            log += i + 1 < count ? " " : "\r\n";
        }
    }
    log.truncate(kSize);
    return log;
}

QByteArray RandomData() {
    Lcg rng;
    QByteArray data(kSize, Qt::Uninitialized);
    for (char& c : data) {
        c = static_cast<char>(rng.Next());
    }
    return data;
}

const QByteArray& Data(int64_t which) {
    static const QByteArray text = ChatLog();
    static const QByteArray random = RandomData();
    return which == 0 ? text : random;
}

void Label(benchmark::State& state, qsizetype compressed) {
    const QByteArray& data = Data(state.range(0));
    state.SetLabel(state.range(0) == 0 ? "chat log" : "random");
    state.SetBytesProcessed(int64_t(state.iterations()) * data.size());
    state.counters["ratio"] = double(compressed) / double(data.size());
}

void BM_KitCompress(benchmark::State& state) {
    const QByteArray& data = Data(state.range(0));
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray packed = fx::VfxCompressBytes(data);
        size = packed.size();
        benchmark::DoNotOptimize(packed.constData());
    }
    Label(state, size);
}

void BM_KitDecompress(benchmark::State& state) {
    const QByteArray& data = Data(state.range(0));
    QByteArray packed = fx::VfxCompressBytes(data);
    for (auto _ : state) {
        QBuffer in(&packed);
        in.open(QIODevice::ReadOnly);
        const QByteArray out = fx::VfxDecompressBytes(in);
        if (out.size() != data.size()) {
            state.SkipWithError("wrong size");
        }
        benchmark::DoNotOptimize(out.constData());
    }
    Label(state, packed.size());
}

QByteArray ZlibCompress(const QByteArray& data) {
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size()),
                  Z_BEST_SPEED) != Z_OK) {
        throw std::runtime_error("zlib compress failed");
    }
    out.truncate(qsizetype(size));
    return out;
}

void BM_ZlibCompress1(benchmark::State& state) {
    const QByteArray& data = Data(state.range(0));
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray packed = ZlibCompress(data);
        size = packed.size();
        benchmark::DoNotOptimize(packed.constData());
    }
    Label(state, size);
}

void BM_ZlibDecompress(benchmark::State& state) {
    const QByteArray& data = Data(state.range(0));
    const QByteArray packed = ZlibCompress(data);
    QByteArray out(data.size(), Qt::Uninitialized);
    for (auto _ : state) {
        uLongf size = uLongf(out.size());
        if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                       reinterpret_cast<const Bytef*>(packed.constData()),
                       uLong(packed.size())) != Z_OK ||
            size != uLongf(data.size())) {
            state.SkipWithError("zlib uncompress failed");
        }
        benchmark::DoNotOptimize(out.constData());
    }
    Label(state, packed.size());
}

// Argument 0: chat-log text; 1: random bytes.
BENCHMARK(BM_KitCompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibCompress1)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KitDecompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibDecompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// --- bitmap effects on a 1920 x 1080 24-bit image, next to the nearest
// QImage operations (which return a new image, so the kit's out-of-place
// runs write into a target of their own) ---

const QImage& Picture() {
    static const QImage picture = [] {
        QImage image(1920, 1080, QImage::Format_BGR888);
        Lcg rng;
        for (int y = 0; y < image.height(); ++y) {
            uchar* row = image.scanLine(y);
            for (int x = 0; x < 3 * image.width(); ++x) {
                row[x] = uchar(rng.Next());
            }
        }
        return image;
    }();
    return picture;
}

const fx::TVfxRect kWhole{0, 0, 1920, 1080};

enum Effect { kMirrorColumns, kMirrorRows, kInvert, kGray };

void EffectLabel(benchmark::State& state, const char* name) {
    state.SetLabel(name);
    state.SetBytesProcessed(int64_t(state.iterations()) * Picture().sizeInBytes());
}

const char* EffectName(int64_t effect) {
    static const char* const names[] = {"mirror columns", "mirror rows", "invert", "gray"};
    return names[effect];
}

void BM_KitEffect(benchmark::State& state) {
    const QImage& source = Picture();
    QImage target(source.size(), QImage::Format_BGR888);
    for (auto _ : state) {
        switch (state.range(0)) {
        case kMirrorColumns:
            fx::VfxBmpFlipColumns(source, kWhole, target, {0, 0});
            break;
        case kMirrorRows:
            fx::VfxBmpFlipRows(source, kWhole, target, {0, 0});
            break;
        case kInvert:
            fx::VfxBmpInvert(source, kWhole, target, {0, 0});
            break;
        default:
            fx::VfxBmpGrayScale(source, kWhole, target, {0, 0});
            break;
        }
        benchmark::DoNotOptimize(target.constBits());
    }
    EffectLabel(state, EffectName(state.range(0)));
}

void BM_KitEffectInPlace(benchmark::State& state) {
    QImage image = Picture().copy();
    for (auto _ : state) {
        switch (state.range(0)) {
        case kMirrorColumns:
            fx::VfxBmpFlipColumns(image, kWhole, image, {0, 0});
            break;
        case kMirrorRows:
            fx::VfxBmpFlipRows(image, kWhole, image, {0, 0});
            break;
        case kInvert:
            fx::VfxBmpInvert(image, kWhole, image, {0, 0});
            break;
        default:
            fx::VfxBmpGrayScale(image, kWhole, image, {0, 0});
            break;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    EffectLabel(state, EffectName(state.range(0)));
}

void BM_QtEffect(benchmark::State& state) {
    const QImage& source = Picture();
    QImage inverted = source.copy();
    for (auto _ : state) {
        switch (state.range(0)) {
        case kMirrorColumns: {
            const QImage out = source.mirrored(true, false);
            benchmark::DoNotOptimize(out.constBits());
            break;
        }
        case kMirrorRows: {
            const QImage out = source.mirrored(false, true);
            benchmark::DoNotOptimize(out.constBits());
            break;
        }
        case kInvert:
            inverted.invertPixels();
            benchmark::DoNotOptimize(inverted.constBits());
            break;
        default: {
            const QImage out = source.convertToFormat(QImage::Format_Grayscale8);
            benchmark::DoNotOptimize(out.constBits());
            break;
        }
        }
    }
    EffectLabel(state, EffectName(state.range(0)));
}

// The column mirror in place, the way the bitmap-effect object runs it, and
// QImage::mirrored() on the same picture, taken in turns in one loop so that
// both see the same machine state. Reports each one's median and the ratio
// of the medians (in place / QImage).
void BM_MirrorColumnsInPlaceVsQImage(benchmark::State& state) {
    const QImage& source = Picture();
    QImage image = source.copy();
    std::vector<double> kit;
    std::vector<double> qt;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        fx::VfxBmpFlipColumns(image, kWhole, image, {0, 0});
        benchmark::DoNotOptimize(image.constBits());
        kit.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        const QImage out = source.mirrored(true, false);
        benchmark::DoNotOptimize(out.constBits());
        qt.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    const double kitMs = Percentile(kit, 0.5);
    const double qtMs = Percentile(qt, 0.5);
    state.counters["in_place_ms"] = kitMs;
    state.counters["qimage_ms"] = qtMs;
    state.counters["ratio"] = qtMs > 0 ? kitMs / qtMs : 0;
}
BENCHMARK(BM_MirrorColumnsInPlaceVsQImage)->Iterations(200)->Unit(benchmark::kMillisecond);

// Argument: 0 mirror columns, 1 mirror rows, 2 invert (in place on both
// sides for Qt), 3 gray.
BENCHMARK(BM_KitEffect)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KitEffectInPlace)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtEffect)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// --- loading a container file of 500 images ---

// An image list of 500 masked 16 x 16 images (one per item) or a bitmap list
// of 500 24-bit bitmaps of 32 x 32, as container file bytes.
QByteArray ContainerOf500(bool images, bool compressed) {
    const int size = images ? 16 : 32;
    QByteArray file;
    QBuffer out(&file);
    out.open(QIODevice::WriteOnly);
    const QString signature = QString::fromLatin1(
        fx::kVfxContainerSignatures[images ? fx::ctImageList : fx::ctBitmapList]);
    fx::VfxWriteShortString(out, signature);
    fx::VfxWriteInteger(out, 500);
    fx::VfxWriteBuffer(out, QByteArray(500 * 4, '\0')); // offsets: not read when loading whole
    for (int i = 0; i < 500; ++i) {
        QImage picture(size, size, QImage::Format_RGB32);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                // a few colours in blocks, as icons have
                picture.setPixel(x, y, qRgb(40 * ((x / 4 + i) % 6), 50 * ((y / 4) % 5), i % 256));
            }
        }
        fx::VfxWriteByte(out, uint8_t(0x0C | (compressed ? 1 : 0))); // ident, content
        fx::VfxWriteInteger(out, i + 1);
        if (images) {
            fx::VfxWriteInteger(out, size); // height
            fx::VfxWriteInteger(out, size); // width
            fx::VfxWriteInteger(out, 4);
            fx::VfxWriteByte(out, 1);
            fx::VfxWriteInteger(out, 1);
            fx::VfxWriteBitmap(out, picture, compressed, -1);
            QImage mask(size, size, QImage::Format_Mono);
            mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
            mask.fill(0);
            mask.setPixel(0, 0, 1);
            fx::VfxWriteBitmap(out, mask, compressed, 2);
        } else {
            fx::VfxWriteBitmap(out, picture, compressed, -1);
        }
    }
    return file;
}

void BM_LoadContainer500(benchmark::State& state) {
    const bool images = state.range(0) == 0;
    const bool compressed = state.range(1) != 0;
    QByteArray file = ContainerOf500(images, compressed);
    for (auto _ : state) {
        QBuffer in(&file);
        in.open(QIODevice::ReadOnly);
        std::unique_ptr<fx::TVfxCustomContainer> list;
        if (images) {
            list = std::make_unique<fx::TVfxImageList>();
        } else {
            list = std::make_unique<fx::TVfxBitmapList>();
        }
        list->LoadFromStream(in);
        if (list->Count() != 500) {
            state.SkipWithError("not 500 items");
        }
        benchmark::DoNotOptimize(list.get());
    }
    state.SetLabel(std::string(images ? "image list 16x16 masked" : "bitmap list 32x32") +
                   (compressed ? ", compressed" : ""));
    state.counters["file_kb"] = double(file.size()) / 1024.0;
    state.counters["images_per_s"] =
        benchmark::Counter(500.0, benchmark::Counter::kIsIterationInvariantRate);
}

// Arguments: 0 image list, 1 bitmap list; uncompressed or compressed.
BENCHMARK(BM_LoadContainer500)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

// --- region shapes: building each of the 18 shapes at 400 x 300 and filling
// it, next to a QPainterPath of the same outline filled by QPainter (aliased,
// as regions are). Unions are filled part by part on Qt's side, the
// shields' differences and intersections take path operations. ---

const plat::TRect kShapeRect(0, 0, 400, 300);

const char* ShapeName(int64_t shape) {
    static const char* const names[] = {"Rect",
                                        "RoundRect",
                                        "Bitmap",
                                        "NoseRect",
                                        "RoundNoseRect",
                                        "Elliptic",
                                        "Star",
                                        "RoundShield",
                                        "SharpShield",
                                        "Diamond",
                                        "Octagon",
                                        "Comb",
                                        "HalfRound",
                                        "UserRegion",
                                        "ThinkBubble",
                                        "RoundThinkBubble",
                                        "EllipticThinkBubble",
                                        "PointList"};
    return names[shape];
}

// The points of the point-list shape: a zigzag crown.
const std::vector<QPoint>& CrownPoints() {
    static const std::vector<QPoint> points = {{0, 300},   {0, 60},   {100, 150}, {200, 0},
                                               {300, 150}, {400, 60}, {400, 300}};
    return points;
}

// Region data as the shapes that read it are given: an ellipse for the
// mask, a star for the user region, the crown for the point list.
struct ShapeData {
    QByteArray Mask = fx::VfxRegionToData(fx::VfxEllipticRegion(kShapeRect));
    QByteArray User =
        fx::VfxRegionToData(fx::VfxPolygonRegion(fx::VfxShapePoints(fx::rsStar, kShapeRect)));
    QByteArray Crown = fx::VfxRegionToData(fx::VfxPolygonRegion(CrownPoints()));
};

const ShapeData& Data() {
    static const ShapeData data;
    return data;
}

fx::TVfxShapeParams ShapeParamsOf(int64_t shape) {
    fx::TVfxShapeParams params;
    params.Shape = static_cast<fx::TVfxRegionShape>(shape);
    params.MaskData = Data().Mask;
    params.UserData = shape == fx::rsPointList ? Data().Crown : Data().User;
    return params;
}

void ShapeLabel(benchmark::State& state) {
    state.SetLabel(ShapeName(state.range(0)));
}

void BM_KitShape(benchmark::State& state) {
    const fx::TVfxShapeParams params = ShapeParamsOf(state.range(0));
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QBrush brush(Qt::darkBlue);
    for (auto _ : state) {
        QPainter painter(&image);
        fx::VfxFillRegion(painter, fx::VfxShapeRegion(params, kShapeRect), brush);
    }
    benchmark::DoNotOptimize(image.constBits());
    ShapeLabel(state);
}

QPainterPath Ellipse(const plat::TRect& r) {
    QPainterPath path;
    path.addEllipse(QRectF(r.Left, r.Top, r.Width(), r.Height()));
    return path;
}

QPainterPath Polygon(const std::vector<QPoint>& points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QPolygon(QList<QPoint>(points.begin(), points.end()))));
    path.closeSubpath();
    return path;
}

QPainterPath RectPath(const plat::TRect& r) {
    QPainterPath path;
    path.addRect(QRectF(r.Left, r.Top, r.Width(), r.Height()));
    return path;
}

QPainterPath RoundPath(const plat::TRect& r) {
    QPainterPath path;
    path.addRoundedRect(QRectF(r.Left, r.Top, r.Width(), r.Height()), 10, 10);
    return path;
}

// Fills the shape's outline as one or more paths.
void FillQtShape(QPainter& painter, int64_t shape, const QRegion& mask, const QRegion& user,
                 const QBrush& brush) {
    const plat::TRect r = kShapeRect;
    const int w = r.Width();
    const int h = r.Height();
    switch (shape) {
    case fx::rsRect:
        painter.fillPath(RectPath(r), brush);
        break;
    case fx::rsRoundRect:
        painter.fillPath(RoundPath(r), brush);
        break;
    case fx::rsBitmap:
    case fx::rsUserRegion: {
        QPainterPath path;
        path.addRegion(shape == fx::rsBitmap ? mask : user);
        painter.fillPath(path, brush);
        break;
    }
    case fx::rsNoseRect:
    case fx::rsRoundNoseRect: {
        const bool round = shape == fx::rsRoundNoseRect;
        const fx::TVfxNose nose = fx::VfxNoseGeometry(r, w / 10, round ? 20 : 5, fx::epLeftTop);
        painter.fillPath(round ? RoundPath(nose.Body) : RectPath(nose.Body), brush);
        painter.fillPath(Polygon({nose.Tip, nose.Base1, nose.Base2}), brush);
        break;
    }
    case fx::rsElliptic:
        painter.fillPath(Ellipse(r), brush);
        break;
    case fx::rsStar:
    case fx::rsDiamond:
    case fx::rsOctagon:
    case fx::rsComb:
        painter.fillPath(Polygon(fx::VfxShapePoints(static_cast<fx::TVfxRegionShape>(shape), r)),
                         brush);
        break;
    case fx::rsRoundShield:
    case fx::rsSharpShield: {
        QPainterPath body;
        if (shape == fx::rsRoundShield) {
            body = Ellipse(plat::TRect(0, h / 5 - h, w, h));
        } else {
            const int v = (8 * h) / 7;
            body = Ellipse(plat::TRect(-w, -v, w, v))
                       .intersected(Ellipse(plat::TRect(0, -v, 2 * w, v)));
        }
        painter.fillPath(body.subtracted(Ellipse(plat::TRect(-(w / 2), -(h / 5), w / 2, h / 5)))
                             .subtracted(Ellipse(plat::TRect(w / 2, -(h / 5), w / 2 + w, h / 5)))
                             .subtracted(RectPath(plat::TRect(0, -40, w, 0))),
                         brush);
        break;
    }
    case fx::rsHalfRound:
        painter.fillPath(Ellipse(plat::TRect(r.Left, 2 * r.Top - r.Bottom, r.Right, r.Bottom)),
                         brush);
        break;
    case fx::rsThinkBubble:
    case fx::rsRoundThinkBubble:
    case fx::rsEllipticThinkBubble: {
        const fx::TVfxBubbleChain chain = fx::VfxBubbleChain(r, w / 6, 4, fx::epLeftTop);
        painter.fillPath(shape == fx::rsThinkBubble        ? RectPath(chain.Body)
                         : shape == fx::rsRoundThinkBubble ? RoundPath(chain.Body)
                                                           : Ellipse(chain.Body),
                         brush);
        for (const fx::TVfxBubble& bubble : chain.Bubbles) {
            painter.fillPath(Ellipse(bubble.Box()), brush);
        }
        break;
    }
    default:
        painter.fillPath(Polygon(CrownPoints()), brush);
        break;
    }
}

void BM_QtShape(benchmark::State& state) {
    const QRegion mask = *fx::VfxRegionFromData(Data().Mask);
    const QRegion user = *fx::VfxRegionFromData(Data().User);
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QBrush brush(Qt::darkBlue);
    for (auto _ : state) {
        QPainter painter(&image);
        FillQtShape(painter, state.range(0), mask, user, brush);
    }
    benchmark::DoNotOptimize(image.constBits());
    ShapeLabel(state);
}

// Argument: the shape, in the order of TVfxRegionShape.
BENCHMARK(BM_KitShape)->DenseRange(0, fx::kVfxRegionShapeCount - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QtShape)->DenseRange(0, fx::kVfxRegionShapeCount - 1)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
