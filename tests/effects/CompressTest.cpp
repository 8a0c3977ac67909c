#include "EffectsTestSupport.h"

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

// The match offsets of a compressed block (a well-formed one).
std::vector<int> MatchOffsets(const QByteArray& block) {
    std::vector<int> offsets;
    const auto* b = reinterpret_cast<const uint8_t*>(block.constData());
    qsizetype x = 1;
    int bits = 0;
    unsigned ctl = 0;
    while (x < block.size()) {
        if (bits == 0) {
            ctl = unsigned(b[x]) << 8 | b[x + 1];
            x += 2;
            bits = 16;
            if (x == block.size()) {
                break;
            }
        }
        if (ctl & 0x8000) {
            const int offset = b[x] * 16 + (b[x + 1] >> 4);
            if (offset != 0) {
                offsets.push_back(offset);
            }
            x += offset == 0 ? 4 : 2;
        } else {
            ++x;
        }
        ctl <<= 1;
        --bits;
    }
    return offsets;
}

struct DecodeCase {
    const char* name;
    QByteArray block;
    QByteArray expected;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class DecodeVectors : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeVectors, DecodeExactly) {
    EXPECT_EQ(Expand(GetParam().block), GetParam().expected);
}

QByteArray SeventeenLiterals() {
    QByteArray block = Bytes({0x40, 0x00, 0x00}) + QByteArray("abcdefghijklmnop") +
                       Bytes({0x00, 0x00}) + QByteArray("q");
    return block;
}

INSTANTIATE_TEST_SUITE_P(
    HandMade, DecodeVectors,
    ::testing::Values(DecodeCase{"Stored", Bytes({0x80, 0x41, 0x42, 0x43}), "ABC"},
                      DecodeCase{"StoredEmpty", Bytes({0x80}), ""},
                      DecodeCase{"ControlWordWithoutItems", Bytes({0x40, 0x00, 0x00}), ""},
                      DecodeCase{"MatchAfterLiterals",
                                 Bytes({0x40, 0x10, 0x00, 0x41, 0x42, 0x43, 0x00, 0x33}),
                                 "ABCABCABC"},
                      DecodeCase{"OverlappingOffsetOne",
                                 Bytes({0x40, 0x40, 0x00, 0x58, 0x00, 0x1F}), QByteArray(19, 'X')},
                      DecodeCase{"ShortestRun", Bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x00, 0x41}),
                                 QByteArray(16, 'A')},
                      DecodeCase{"LongestRun", Bytes({0x40, 0x80, 0x00, 0x00, 0x0F, 0xFF, 0x5A}),
                                 QByteArray(4111, 'Z')},
                      DecodeCase{"SecondControlWord", SeventeenLiterals(), "abcdefghijklmnopq"},
                      DecodeCase{"RunThenMatchIntoIt",
                                 Bytes({0x40, 0xC0, 0x00, 0x00, 0x00, 0x02, 0x61, 0x01, 0x2F}),
                                 QByteArray(18, 'a') + QByteArray(18, 'a')}),
    [](const auto& info) { return std::string(info.param.name); });

struct MalformedCase {
    const char* name;
    QByteArray block;
    qsizetype capacity = kChunk;
};

void PrintTo(const MalformedCase& c, std::ostream* os) {
    *os << c.name;
}

class MalformedBlocks : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedBlocks, AreRefusedWithoutTouchingMemoryOutsideTheBuffers) {
    try {
        Expand(GetParam().block, GetParam().capacity);
        FAIL() << "expanded a damaged block";
    } catch (const plat::EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Stream read error"));
    }
}

QByteArray NineLongestRuns() {
    QByteArray block = Bytes({0x40, 0xFF, 0x80});
    for (int i = 0; i < 9; ++i) {
        block += Bytes({0x00, 0x0F, 0xFF, 0x41});
    }
    return block;
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, MalformedBlocks,
    ::testing::Values(
        MalformedCase{"Empty", QByteArray()}, MalformedCase{"UnknownFlag", Bytes({0x20, 0x41})},
        MalformedCase{"TruncatedControlWord", Bytes({0x40, 0x80})},
        MalformedCase{"TruncatedMatchItem", Bytes({0x40, 0x80, 0x00, 0x00})},
        MalformedCase{"TruncatedRunItem", Bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x00})},
        MalformedCase{"OffsetBeforeTheStart", Bytes({0x40, 0x80, 0x00, 0x00, 0x20})},
        MalformedCase{"OffsetOnePastWhatWasWritten", Bytes({0x40, 0x40, 0x00, 0x41, 0x00, 0x20})},
        MalformedCase{"LargestOffsetOnShortOutput", Bytes({0x40, 0x40, 0x00, 0x41, 0xFF, 0xFF})},
        MalformedCase{"ExpansionPastTheChunk", NineLongestRuns()},
        MalformedCase{"MatchPastTheCapacity", Bytes({0x40, 0x40, 0x00, 0x41, 0x00, 0x1F}), 10},
        MalformedCase{"LiteralPastTheCapacity", Bytes({0x40, 0x00, 0x00, 0x41, 0x42}), 1},
        MalformedCase{"StoredPastTheCapacity", Bytes({0x80, 0x41, 0x42, 0x43}), 2},
        MalformedCase{"SecondControlWordCutShort",
                      Bytes({0x40, 0x00, 0x00}) + QByteArray(16, 'x') + Bytes({0x00})}),
    [](const auto& info) { return std::string(info.param.name); });

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

struct RoundTripCase {
    const char* name;
    QByteArray source;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.name;
}

class RoundTrips : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrips, ExpandToTheSourceWithinTheBlockLimits) {
    const QByteArray& source = GetParam().source;
    const QByteArray block = Compress(source);
    ASSERT_FALSE(block.isEmpty());
    const auto flag = static_cast<uint8_t>(block[0]);
    ASSERT_TRUE(flag == 0x40 || flag == 0x80) << int(flag);
    EXPECT_LE(block.size(), source.size() + 1);
    if (flag == 0x80) {
        EXPECT_EQ(block.size(), source.size() + 1);
    }
    for (const int offset : flag == 0x40 ? MatchOffsets(block) : std::vector<int>{}) {
        EXPECT_GT(offset, 0);
        EXPECT_LT(offset, 4096);
    }
    EXPECT_EQ(Expand(block, source.size()), source);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RoundTrips,
                         ::testing::Values(RoundTripCase{"Nothing", QByteArray()},
                                           RoundTripCase{"Equal1", QByteArray(1, 'e')},
                                           RoundTripCase{"Equal2", QByteArray(2, 'e')},
                                           RoundTripCase{"Equal3", QByteArray(3, 'e')},
                                           RoundTripCase{"Equal15", QByteArray(15, 'e')},
                                           RoundTripCase{"Equal16", QByteArray(16, 'e')},
                                           RoundTripCase{"Equal17", QByteArray(17, 'e')},
                                           RoundTripCase{"Equal4095", QByteArray(4095, 'e')},
                                           RoundTripCase{"Equal4096", QByteArray(4096, 'e')},
                                           RoundTripCase{"Equal4111", QByteArray(4111, 'e')},
                                           RoundTripCase{"Equal4112", QByteArray(4112, 'e')},
                                           RoundTripCase{"ZerosFullChunk",
                                                         QByteArray(kChunk, '\0')},
                                           RoundTripCase{"RandomFullChunk", RandomBytes(kChunk)},
                                           RoundTripCase{"RepeatedText", RepeatedText(kChunk)},
                                           RoundTripCase{"Alternating", Alternating(5000)},
                                           RoundTripCase{"PatternAt4095", PatternAtDistance(4095)},
                                           RoundTripCase{"PatternAt4096", PatternAtDistance(4096)},
                                           RoundTripCase{"PatternAt4097", PatternAtDistance(4097)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BlockCompression, ChoosesTheFormThatFits) {
    // Short input is always stored; a run of 16 is one run item.
    EXPECT_EQ(Compress("ABC"), Bytes({0x80, 0x41, 0x42, 0x43}));
    EXPECT_EQ(Compress(QByteArray(16, 'A')), Bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x00, 0x41}));
    // Random data does not shrink; zeros and repeated text do, a lot.
    EXPECT_EQ(static_cast<uint8_t>(Compress(RandomBytes(kChunk))[0]), 0x80);
    EXPECT_LT(Compress(QByteArray(kChunk, '\0')).size(), 64);
    EXPECT_LT(Compress(RepeatedText(kChunk)).size(), kChunk / 8);
}

TEST(BlockCompression, ReachesBackToTheFarEdgeOfTheWindow) {
    const auto offsets = MatchOffsets(Compress(PatternAtDistance(4095)));
    EXPECT_NE(std::find(offsets.begin(), offsets.end(), 4095), offsets.end());
}

TEST(BlockExpansion, SurvivesArbitraryBytesAfterEitherFlag) {
    // Many random blocks: each expands within its capacity or is refused.
    for (uint32_t seed = 1; seed <= 3000; ++seed) {
        QByteArray block = RandomBytes(1 + seed % 97, seed);
        block[0] = static_cast<char>(seed % 3 == 0 ? 0x80 : 0x40);
        const qsizetype capacity = seed % 5 == 0 ? 8 : kChunk;
        try {
            EXPECT_LE(Expand(block, capacity).size(), capacity);
        } catch (const plat::EReadError&) {
        }
    }
}

} // namespace
