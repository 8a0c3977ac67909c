#include "EffectsTestSupport.h"
#include "Raises.h"

#include "effects/core/VfxStreams.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <string>

using namespace fx;

namespace {

constexpr qsizetype kChunk = 32781;

using Stream = MemoryStream;

// A stream that cannot tell its length, as a pipe or socket.
class Pipe : public QIODevice {
public:
    explicit Pipe(QByteArray bytes) : bytes_(std::move(bytes)) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override {
        return bytes_.size() - at_ + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 n = std::min<qint64>({maxSize, bytes_.size() - at_, 1000});
        std::memcpy(data, bytes_.constData() + at_, size_t(n));
        at_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray bytes_;
    qint64 at_ = 0;
};

QByteArray CompressedStream(const QByteArray& source) {
    Stream from(source);
    Stream to;
    VfxCompressStream(from, to, source.size());
    return to.data();
}

// The block lengths of a compressed stream.
std::vector<uint32_t> BlockLengths(const QByteArray& stream) {
    std::vector<uint32_t> lengths;
    Stream s(stream);
    uint32_t total = VfxReadCardinal(s);
    while (total > 0) {
        const uint32_t length = VfxReadCardinal(s);
        lengths.push_back(length);
        s.seek(s.pos() + length);
        total -= length + 4;
    }
    return lengths;
}

// A stored block of the length, in a stream of the total.
QByteArray BlockOfLength(uint32_t length, uint32_t total) {
    return U32Bytes(total) + U32Bytes(length) + Bytes({0x80}) +
           QByteArray(qsizetype(length) - 1, 'x');
}

QByteArray ExpandsPastTheChunk() {
    QByteArray block = Bytes({0x40, 0xFF, 0x80});
    for (int i = 0; i < 9; ++i) {
        block += Bytes({0x00, 0x0F, 0xFF, 0x41});
    }
    const auto l = uint32_t(block.size());
    return Bytes({int(l + 4), 0, 0, 0, int(l), 0, 0, 0}) + block;
}

TEST(CompressedStream, CutsTheSourceIntoChunksOf32781Bytes) {
    struct Case {
        qsizetype size;
        size_t blocks;
    } cases[] = {{1, 1}, {kChunk, 1}, {kChunk + 1, 2}, {3 * kChunk + 5, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const QByteArray source = RandomBytes(c.size);
        const QByteArray stream = CompressedStream(source);
        EXPECT_EQ(VfxCompressBytes(source), stream);
        const auto lengths = BlockLengths(stream);
        ASSERT_EQ(lengths.size(), c.blocks);
        uint64_t total = 0;
        for (const uint32_t l : lengths) {
            total += l + 4;
        }
        Stream s(stream);
        EXPECT_EQ(VfxReadCardinal(s), total);
        EXPECT_EQ(stream.size(), qsizetype(total) + 4);
        Stream in(stream);
        EXPECT_EQ(VfxDecompressBytes(in), source);
    }
    // The second block of 32782 bytes holds the last byte alone.
    const QByteArray source = RandomBytes(kChunk + 1);
    EXPECT_EQ(BlockLengths(CompressedStream(source)).back(), 2u);
    // Nothing is four zero bytes and expands to nothing.
    EXPECT_EQ(CompressedStream({}), Bytes({0, 0, 0, 0}));
    Stream in(Bytes({0, 0, 0, 0}));
    EXPECT_EQ(VfxDecompressBytes(in), QByteArray());
    EXPECT_EQ(in.pos(), 4);
}

TEST(CompressedStream, WritesAtThePositionLeavesTheTargetAtTheEndAndStopsAtAnEarlyEnd) {
    Stream target(QByteArray("head"));
    target.seek(4);
    Stream source(QByteArray(100, 'x') + "tail not taken");
    VfxCompressStream(source, target, 100);
    EXPECT_EQ(target.pos(), target.size());
    EXPECT_EQ(source.pos(), 100);
    EXPECT_TRUE(target.data().startsWith("head"));
    target.seek(4);
    EXPECT_EQ(VfxDecompressBytes(target), QByteArray(100, 'x'));
    // A source that ends early is a read error, not a loop.
    Stream early(QByteArray(10, 'x'));
    EXPECT_THROW(VfxCompressStream(early, target, 11), plat::EReadError);
    Stream empty;
    EXPECT_THROW(VfxCompressStream(empty, target, 1), plat::EReadError);
}

TEST(CompressedStream, HandMadeStreamsRead) {
    const QByteArray runOnly = Bytes({0x0B, 0, 0, 0, 0x07, 0, 0, 0, 0x40, 0x80, 0, 0, 0, 0, 0x41});
    const QByteArray twoBlocks = Bytes({0x13, 0, 0, 0, 0x04, 0,    0, 0, 0x80, 0x41, 0x42, 0x43,
                                        0x07, 0, 0, 0, 0x40, 0x80, 0, 0, 0,    0,    0x41});
    Stream a(runOnly);
    EXPECT_EQ(VfxDecompressBytes(a), QByteArray(16, 'A'));
    Stream b(twoBlocks);
    Stream target;
    VfxDecompressStream(b, target);
    EXPECT_EQ(target.data(), "ABC" + QByteArray(16, 'A'));
    // A stored full chunk is the longest block read.
    Stream full(BlockOfLength(kChunk + 1, kChunk + 5));
    EXPECT_EQ(VfxDecompressBytes(full), QByteArray(kChunk, 'x'));
}

TEST(CompressedStream, DamagedStreamsRaiseTheReadErrorAndWriteNothing) {
    std::vector<std::pair<std::string, QByteArray>> cases = {
        {"block longer than a stored chunk", BlockOfLength(kChunk + 2, kChunk + 6)},
        {"expansion past the chunk", ExpandsPastTheChunk()}};
    for (const QStringList& row : GoldenTextRows("effects/damaged-streams.tsv", 2)) {
        cases.emplace_back(row[0].toStdString(), QByteArray::fromHex(row[1].toLatin1()));
    }
    for (const auto& [name, bytes] : cases) {
        Stream in(bytes);
        Stream target(QByteArray("kept"));
        target.seek(4);
        EXPECT_EQ(MessageOf<plat::EReadError>([&] { VfxDecompressStream(in, target); }),
                  "Stream read error")
            << name;
        EXPECT_EQ(target.data(), "kept") << name;
        Pipe pipe(bytes);
        EXPECT_THROW(VfxDecompressBytes(pipe), plat::EReadError) << name;
    }
}

TEST(TypedFields, IntegersAndBytesAreLittleEndian) {
    Stream s;
    VfxWriteInteger(s, -2);
    VfxWriteInteger(s, 0x12345678);
    VfxWriteByte(s, 0xAB);
    EXPECT_EQ(s.data(), Bytes({0xFE, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12, 0xAB}));
    s.seek(0);
    EXPECT_EQ(VfxReadInteger(s), -2);
    EXPECT_EQ(VfxReadCardinal(s), 0x12345678u);
    EXPECT_EQ(VfxReadByte(s), 0xAB);
    EXPECT_THROW(VfxReadByte(s), plat::EReadError);
    Stream three(Bytes({1, 2, 3}));
    EXPECT_THROW(VfxReadInteger(three), plat::EReadError);
}

TEST(TypedFields, ShortStringsRoundTripUpTo255Characters) {
    const QString cases[] = {QString(), QStringLiteral("a"), QStringLiteral("€ und Öl"),
                             QString(255, u'z')};
    for (const QString& text : cases) {
        Stream s;
        VfxWriteShortString(s, text);
        EXPECT_EQ(s.size(), text.size() + 1);
        EXPECT_EQ(uint8_t(s.data()[0]), text.size());
        s.seek(0);
        EXPECT_EQ(VfxReadShortString(s), text);
    }
    Stream euro;
    VfxWriteShortString(euro, u"€");
    EXPECT_EQ(euro.data(), Bytes({1, 0x80}));
    // too long for its length byte: refused, nothing written; cut short: a read error
    Stream s(QByteArray("x"));
    s.seek(1);
    EXPECT_EQ(MessageOf<EVfxShortStringError>([&] { VfxWriteShortString(s, QString(256, u'a')); }),
              "A short string holds at most 255 characters, not 256");
    EXPECT_EQ(s.data(), "x");
    Stream cut(Bytes({5, 'a', 'b'}));
    EXPECT_THROW(VfxReadShortString(cut), plat::EReadError);
}

TEST(ObjectBlocks, StringsAreLinesWithCrLfInASizedBlock) {
    Stream s;
    VfxWriteStrings(s, {QStringLiteral("a"), QStringLiteral("b")}, false);
    EXPECT_EQ(s.data(), Bytes({0x06, 0, 0, 0, 0x61, 0x0D, 0x0A, 0x62, 0x0D, 0x0A}));
    s.seek(0);
    EXPECT_EQ(VfxReadStrings(s, false), (QStringList{"a", "b"}));

    Stream empty;
    VfxWriteStrings(empty, {}, false);
    EXPECT_EQ(empty.data(), Bytes({0, 0, 0, 0}));
    // reading splits at any line end
    struct Case {
        QByteArray text;
        QStringList lines;
    } cases[] = {{"", {}},
                 {"\r\n", {""}},
                 {"a\rb\r", {"a", "b"}},
                 {"a\r\n\r\nb\n", {"a", "", "b"}},
                 {"\x80", {QStringLiteral("€")}}};
    for (const Case& c : cases) {
        EXPECT_EQ(VfxTextToStrings(c.text), c.lines) << c.text.toStdString();
    }
}

TEST(ObjectBlocks, CompressedBlocksHoldTheSameBytesWithoutThePrefix) {
    QStringList lines;
    for (int i = 0; i < 3000; ++i) {
        lines.append(QStringLiteral("[12:%1] <Vessa> line number %2").arg(i % 60).arg(i));
    }
    Stream s;
    VfxWriteStrings(s, lines, true);
    s.seek(0);
    EXPECT_EQ(VfxDecompressBytes(s), VfxStringsToText(lines));
    s.seek(0);
    EXPECT_EQ(VfxReadStrings(s, true), lines);
    EXPECT_EQ(s.pos(), s.size());
}

TEST(ObjectBlocks, ASizeBeyondTheStreamIsRefusedAndASequentialStreamDeliversWholeBlocks) {
    Stream s(Bytes({0xF0, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'}));
    EXPECT_THROW(VfxReadObjectBlock(s, false), plat::EReadError);
    EXPECT_EQ(s.pos(), 4);
    Pipe pipe(Bytes({0x00, 0x00, 0x01, 0x00}) + QByteArray(5000, 'p'));
    EXPECT_THROW(VfxReadObjectBlock(pipe, false), plat::EReadError);
    // A sequential stream delivers whole blocks.
    const QByteArray payload = RandomBytes(70000);
    Stream out;
    VfxWriteObjectBlock(out, payload, false);
    Pipe plain(out.data());
    EXPECT_EQ(VfxReadObjectBlock(plain, false), payload);
    Stream packed;
    VfxWriteObjectBlock(packed, payload, true);
    Pipe compressed(packed.data());
    EXPECT_EQ(VfxReadObjectBlock(compressed, true), payload);
}

} // namespace
