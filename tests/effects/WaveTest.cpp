#include "EffectsTestSupport.h"

#include "effects/core/VfxStreams.h"
#include "effects/core/VfxWave.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

using namespace fx;

namespace {

// The smallest wave: 8-bit mono PCM at 8000 samples per second, two samples.
const QByteArray kMinimalWave = Bytes(
    {0x52, 0x49, 0x46, 0x46, 0x26, 0x00, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6D, 0x74, 0x20,
     0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x40, 0x1F, 0x00, 0x00,
     0x01, 0x00, 0x08, 0x00, 0x64, 0x61, 0x74, 0x61, 0x02, 0x00, 0x00, 0x00, 0x80, 0x80});

QByteArray WithBytes(QByteArray wave, qsizetype at, const QByteArray& bytes) {
    wave.replace(at, bytes.size(), bytes);
    return wave;
}

class Stream : public QBuffer {
public:
    explicit Stream(const QByteArray& bytes = {}) {
        setData(bytes);
        open(QIODevice::ReadWrite);
    }
};

// Counts change notices and player stops.
class WaveTest : public ::testing::Test {
public:
    ~WaveTest() override { VfxSetSoundStopHook({}); }

protected:
    WaveTest() {
        wave_.OnChange = [this](TVfxObject*) { ++changes_; };
        VfxSetSoundStopHook([this] { ++stops_; });
    }

    TVfxWave wave_;
    int changes_ = 0;
    int stops_ = 0;
};

TEST_F(WaveTest, TheMinimalWaveIsAcceptedWithItsHeader) {
    Stream s(kMinimalWave);
    TVfxWaveHeader header;
    ASSERT_TRUE(TVfxWave::CheckWave(&s, header));
    EXPECT_EQ(header.RiffSize, 0x26u);
    EXPECT_EQ(header.SamplesPerSec, 8000u);
    EXPECT_EQ(header.ChannelMode, 1);
    EXPECT_EQ(header.Pcm, 1);
    EXPECT_EQ(header.BlockAlign, 1);
    EXPECT_EQ(s.pos(), 0);

    wave_.LoadFromStream(s);
    EXPECT_EQ(wave_.Data(), kMinimalWave);
    EXPECT_EQ(wave_.GetSize(), 46);
    EXPECT_EQ(changes_, 1);
}

TEST_F(WaveTest, FormatAndChannelsSetThePcmFlagAndTheMode) {
    struct Case {
        int tag, channels;
        uint8_t pcm, mode;
    } cases[] = {{1, 1, 1, 1}, {1, 2, 1, 2}, {3, 2, 0, 2}, {3, 6, 0, 0}, {1, 0, 1, 0}};
    for (const Case& c : cases) {
        Stream s(WithBytes(kMinimalWave, 20, Bytes({c.tag, 0, c.channels, 0})));
        TVfxWaveHeader header;
        ASSERT_TRUE(TVfxWave::CheckWave(&s, header));
        EXPECT_EQ(header.Pcm, c.pcm);
        EXPECT_EQ(header.ChannelMode, c.mode);
    }
}

struct BadWave {
    const char* name;
    QByteArray bytes;
    bool cutShort; // header ends early, rather than holds the wrong words
};

void PrintTo(const BadWave& c, std::ostream* os) {
    *os << c.name;
}

class BadWaves : public WaveTest, public ::testing::WithParamInterface<BadWave> {};

TEST_P(BadWaves, AreRefusedAndThePreviousDataStays) {
    Stream good(kMinimalWave);
    wave_.LoadFromStream(good);
    changes_ = 0;
    stops_ = 0;

    Stream s(GetParam().bytes);
    try {
        wave_.LoadFromStream(s);
        FAIL() << "loaded a damaged wave";
    } catch (const EErrorCheckingWave& e) {
        EXPECT_TRUE(GetParam().cutShort);
        EXPECT_EQ(e.Message(), QStringLiteral("GetWaveData: Cannot open file %s"));
    } catch (const EInvalidWave& e) {
        EXPECT_FALSE(GetParam().cutShort);
        EXPECT_EQ(e.Message(), QStringLiteral("TVfxWave: Cannot open file %s"));
    }
    EXPECT_EQ(wave_.Data(), kMinimalWave);
    EXPECT_EQ(changes_, 0);
    EXPECT_EQ(stops_, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, BadWaves,
    ::testing::Values(
        BadWave{"NotRiff", WithBytes(kMinimalWave, 0, "RIFX"), false},
        BadWave{"NotWave", WithBytes(kMinimalWave, 8, "AVI "), false},
        BadWave{"AnotherChunkBeforeFormat", WithBytes(kMinimalWave, 12, "LIST"), false},
        BadWave{"SixteenBytes", Bytes({'R', 'I', 'F', 'F', 4, 0, 0, 0}) + "WAVEfmt ", true},
        BadWave{"OneByteShortOfTheHeader", kMinimalWave.left(33), true},
        BadWave{"OnlyTheTag", QByteArray("RIF"), true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WaveTest, AnEmptyStreamClearsWithoutAnError) {
    Stream good(kMinimalWave);
    wave_.LoadFromStream(good);
    Stream empty;
    wave_.LoadFromStream(empty);
    EXPECT_TRUE(wave_.IsEmpty());
    EXPECT_FALSE(wave_.HasDataStream());
    EXPECT_EQ(stops_, 1);
}

TEST_F(WaveTest, AnEmptyWaveRoundTripsThroughItsStreamedForm) {
    Stream s;
    wave_.WriteData(s);
    EXPECT_EQ(s.data(), Bytes({0, 0, 0, 0}));
    EXPECT_TRUE(wave_.HasDataStream());

    // Read back from a stream that holds more than the empty wave.
    Stream more(Bytes({0, 0, 0, 0}) + kMinimalWave);
    TVfxWave back;
    Stream good(kMinimalWave);
    back.LoadFromStream(good);
    back.ReadData(more);
    EXPECT_TRUE(back.IsEmpty());
    EXPECT_EQ(more.pos(), 4);
}

TEST_F(WaveTest, StreamedFormsRoundTrip) {
    const QByteArray longer = kMinimalWave + RandomBytes(5000);
    Stream source(longer);
    wave_.LoadFromStream(source);

    Stream data;
    wave_.WriteData(data);
    EXPECT_EQ(data.data().left(4), Bytes({0xB6, 0x13, 0, 0}));
    data.seek(0);
    TVfxWave a;
    a.ReadData(data);
    EXPECT_EQ(a.Data(), longer);

    for (const bool compressed : {false, true}) {
        Stream block;
        VfxWriteWave(block, wave_, compressed);
        block.seek(0);
        TVfxWave b;
        VfxReadWave(block, b, compressed);
        EXPECT_EQ(b.Data(), longer) << compressed;
        EXPECT_EQ(block.pos(), block.size());
    }

    Stream packed;
    wave_.SaveToCompressedStream(packed);
    packed.seek(0);
    TVfxWave c;
    c.LoadFromCompressedStream(packed);
    EXPECT_EQ(c.Data(), longer);
}

TEST_F(WaveTest, FilesRoundTripAndAMissingFileIsAnOpenError) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ding.wav"));
    Stream source(kMinimalWave);
    wave_.LoadFromStream(source);
    wave_.SaveToFile(path);
    const auto copy = TVfxWave::CreateFromFile(nullptr, path);
    EXPECT_EQ(copy->Data(), kMinimalWave);

    EXPECT_THROW(wave_.LoadFromFile(dir.filePath(QStringLiteral("none.wav"))), EFOpenError);
    EXPECT_THROW(wave_.SaveToFile(dir.filePath(QStringLiteral("no/such/dir.wav"))), EFCreateError);
    EXPECT_EQ(wave_.Data(), kMinimalWave);
}

TEST_F(WaveTest, ASizeBeyondTheStreamIsAReadErrorAndChangesNothing) {
    Stream good(kMinimalWave);
    wave_.LoadFromStream(good);
    Stream s(Bytes({0x2F, 0, 0, 0}) + kMinimalWave);
    EXPECT_THROW(wave_.ReadData(s), plat::EReadError);
    EXPECT_EQ(wave_.Data(), kMinimalWave);
}

TEST_F(WaveTest, AssignCopiesOrClearsAndStopsThePlayerOnReplacement) {
    TVfxWave other;
    Stream s(kMinimalWave);
    other.LoadFromStream(s);

    wave_.Assign(&other);
    EXPECT_EQ(wave_.Data(), kMinimalWave);
    EXPECT_EQ(changes_, 1);
    EXPECT_EQ(stops_, 0); // nothing was there to silence

    wave_.Assign(&other);
    EXPECT_EQ(stops_, 1);
    wave_.Assign(nullptr);
    EXPECT_TRUE(wave_.IsEmpty());
    EXPECT_EQ(changes_, 3);
    EXPECT_EQ(stops_, 2);

    {
        TVfxWave doomed;
        doomed.Assign(&other);
        stops_ = 0;
    }
    EXPECT_EQ(stops_, 1);
}

} // namespace
