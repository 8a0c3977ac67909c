#include "EffectsTestSupport.h"
#include "Raises.h"

#include "effects/core/VfxCompress.h"
#include "platform/core/Exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace fx;

namespace {

constexpr qsizetype kChunk = 32781;

// Expands from exactly sized buffers: one byte of over-read or over-write is
// an address-sanitizer report.
QByteArray Expand(const QByteArray& block, qsizetype capacity = kChunk) {
    std::vector<uint8_t> in = ExactCopy(block);
    std::vector<uint8_t> out(static_cast<size_t>(capacity));
    const qsizetype n =
        VfxExpandBlock(in.data(), static_cast<qsizetype>(in.size()), out.data(), capacity);
    return QByteArray(reinterpret_cast<const char*>(out.data()), n);
}

QByteArray Compress(const QByteArray& source) {
    std::vector<uint8_t> in = ExactCopy(source);
    std::vector<uint8_t> out(static_cast<size_t>(VfxCompressBound(source.size())));
    const qsizetype n = VfxCompressBlock(in.data(), static_cast<qsizetype>(in.size()), out.data());
    return QByteArray(reinterpret_cast<const char*>(out.data()), n);
}

TEST(BlockExpansion, HandMadeBlocksDecodeExactlyOrAreRefused) {
    for (const QStringList& row : GoldenTextRows("effects/compressed-blocks.tsv", 3)) {
        const QByteArray block = QByteArray::fromHex(row[1].toLatin1());
        const QStringList expected = row[2].split(u' ');
        if (expected[0] == u"damaged") {
            const qsizetype capacity = expected.size() > 1 ? expected[1].toInt() : kChunk;
            EXPECT_EQ(MessageOf<plat::EReadError>([&] { Expand(block, capacity); }),
                      "Stream read error")
                << row[0].toStdString();
        } else {
            const QStringList run = row[2].split(u'*');
            EXPECT_EQ(Expand(block), run.size() == 2
                                         ? QByteArray(run[0].toInt(), run[1][0].toLatin1())
                                         : row[2].toLatin1())
                << row[0].toStdString();
        }
    }
}

// A 20-byte pattern, then compressible filler that shares no three bytes
// with it, then the pattern again distance bytes after the first.
QByteArray PatternAtDistance(qsizetype distance) {
    const QByteArray pattern("0123456789abcdefghij");
    QByteArray filler;
    while (filler.size() < distance - pattern.size()) {
        filler += "klmnopqrstuvwxyz";
    }
    return pattern + filler.left(distance - pattern.size()) + pattern;
}

QByteArray RepeatedText(qsizetype n) {
    const QByteArray line("[12:03] <Tarmin> anyone for the north gate run tonight?\r\n");
    QByteArray text;
    while (text.size() < n) {
        text += line;
    }
    return text.left(n);
}

QByteArray Alternating(qsizetype n) {
    QByteArray out(n, 'a');
    for (qsizetype i = 1; i < n; i += 2) {
        out[i] = 'b';
    }
    return out;
}

TEST(BlockCompression, RoundTripsWithinTheBlockLimits) {
    // runs of every length about the item limits, then harder sources
    std::vector<QByteArray> sources;
    for (const int n : {0, 1, 2, 3, 15, 16, 17, 4095, 4096, 4111, 4112}) {
        sources.push_back(QByteArray(n, 'e'));
    }
    sources.insert(sources.end(), {QByteArray(kChunk, '\0'), RandomBytes(kChunk),
                                   RepeatedText(kChunk), Alternating(5000), PatternAtDistance(4095),
                                   PatternAtDistance(4096), PatternAtDistance(4097)});
    for (const QByteArray& source : sources) {
        SCOPED_TRACE(source.left(24).toStdString() + " ... " + std::to_string(source.size()));
        const QByteArray block = Compress(source);
        ASSERT_FALSE(block.isEmpty());
        const auto flag = static_cast<uint8_t>(block[0]);
        ASSERT_TRUE(flag == 0x40 || flag == 0x80) << int(flag);
        EXPECT_LE(block.size(), source.size() + 1);
        if (flag == 0x80) {
            EXPECT_EQ(block.size(), source.size() + 1);
        }
        EXPECT_EQ(Expand(block, source.size()), source);
    }
}

TEST(BlockCompression, ChoosesTheFormThatFits) {
    // Short input is always stored; a run of 16 is one run item.
    EXPECT_EQ(Compress("ABC"), Bytes({0x80, 0x41, 0x42, 0x43}));
    EXPECT_EQ(Compress(QByteArray(16, 'A')), Bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x00, 0x41}));
    // Random data does not shrink; zeros and repeated text do, a lot.
    EXPECT_EQ(static_cast<uint8_t>(Compress(RandomBytes(kChunk))[0]), 0x80);
    EXPECT_LT(Compress(QByteArray(kChunk, '\0')).size(), 64);
    EXPECT_LT(Compress(RepeatedText(kChunk)).size(), kChunk / 8);
    // Matches reach back to the far edge of the window, and no farther: the
    // pattern again 4095 bytes on is one match, 4096 bytes on twenty literals.
    EXPECT_LT(Compress(PatternAtDistance(4095)).size() + 10,
              Compress(PatternAtDistance(4096)).size());
}

} // namespace
