#include "EffectsTestSupport.h"
#include "Raises.h"

#include "effects/core/VfxStreams.h"
#include "effects/core/VfxWave.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fx;

namespace {

QByteArray WithBytes(QByteArray wave, qsizetype at, const QByteArray& bytes) {
    wave.replace(at, bytes.size(), bytes);
    return wave;
}

using Stream = MemoryStream;

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

TEST_F(WaveTest, TheMinimalWaveIsAcceptedWithItsHeaderAndItsMode) {
    Stream s(kMinimalWave);
    TVfxWaveHeader header;
    ASSERT_TRUE(TVfxWave::CheckWave(&s, header));
    EXPECT_EQ(header.SamplesPerSec, 8000u);
    EXPECT_EQ(s.pos(), 0);
    wave_.LoadFromStream(s);
    EXPECT_EQ(wave_.Data(), kMinimalWave);

    // The format tag and the channels set the PCM flag and the mode.
    struct Case {
        int tag, channels;
        uint8_t pcm, mode;
    } cases[] = {{1, 1, 1, 1}, {1, 2, 1, 2}, {3, 2, 0, 2}, {3, 6, 0, 0}, {1, 0, 1, 0}};
    for (const Case& c : cases) {
        Stream other(WithBytes(kMinimalWave, 20, Bytes({c.tag, 0, c.channels, 0})));
        ASSERT_TRUE(TVfxWave::CheckWave(&other, header));
        EXPECT_EQ(header.Pcm, c.pcm);
        EXPECT_EQ(header.ChannelMode, c.mode);
    }
}

TEST_F(WaveTest, BadWavesAreRefusedAndThePreviousDataStays) {
    const struct {
        const char* name;
        QByteArray bytes;
        bool cutShort; // header ends early, rather than holds the wrong words
    } cases[] = {
        {"not RIFF", WithBytes(kMinimalWave, 0, "RIFX"), false},
        {"not WAVE", WithBytes(kMinimalWave, 8, "AVI "), false},
        {"another chunk before the format", WithBytes(kMinimalWave, 12, "LIST"), false},
        {"sixteen bytes", Bytes({'R', 'I', 'F', 'F', 4, 0, 0, 0}) + "WAVEfmt ", true},
        {"one byte short of the header", kMinimalWave.left(33), true},
        {"only the tag", QByteArray("RIF"), true},
    };
    Stream good(kMinimalWave);
    wave_.LoadFromStream(good);
    changes_ = 0;
    for (const auto& c : cases) {
        Stream s(c.bytes);
        EXPECT_EQ(MessageOf([&] { wave_.LoadFromStream(s); }),
                  c.cutShort ? "GetWaveData: Cannot open file %s" : "TVfxWave: Cannot open file %s")
            << c.name;
        EXPECT_EQ(wave_.Data(), kMinimalWave) << c.name;
    }
    // A size beyond the stream is a read error and changes nothing too.
    Stream beyond(Bytes({0x2F, 0, 0, 0}) + kMinimalWave);
    EXPECT_THROW(wave_.ReadData(beyond), plat::EReadError);
    EXPECT_EQ(wave_.Data(), kMinimalWave);
    EXPECT_EQ(changes_, 0);
    EXPECT_EQ(stops_, 0);
}

TEST_F(WaveTest, AnEmptyStreamClearsWithoutAnErrorAndAnEmptyWaveRoundTrips) {
    Stream good(kMinimalWave);
    wave_.LoadFromStream(good);
    Stream empty;
    wave_.LoadFromStream(empty);
    EXPECT_TRUE(wave_.IsEmpty());
    EXPECT_FALSE(wave_.HasDataStream());
    EXPECT_EQ(stops_, 1);

    // The empty wave's streamed form reads back empty.
    Stream s;
    wave_.WriteData(s);
    EXPECT_EQ(s.data(), Bytes({0, 0, 0, 0}));
    EXPECT_TRUE(wave_.HasDataStream());
    // read back over a loaded wave, from a stream that holds more than the empty wave
    Stream more(Bytes({0, 0, 0, 0}) + kMinimalWave);
    good.seek(0);
    wave_.LoadFromStream(good);
    wave_.ReadData(more);
    EXPECT_TRUE(wave_.IsEmpty());
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
    Stream packed;
    wave_.SaveToCompressedStream(packed);
    packed.seek(0);
    a.LoadFromCompressedStream(packed);
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

TEST_F(WaveTest, AssignCopiesOrClearsAndStopsThePlayerOnReplacement) {
    TVfxWave other;
    Stream s(kMinimalWave);
    other.LoadFromStream(s);

    wave_.Assign(&other);
    EXPECT_EQ(stops_, 0); // nothing was there to silence
    wave_.Assign(nullptr);
    EXPECT_TRUE(wave_.IsEmpty());
    EXPECT_EQ(stops_, 1);
    {
        TVfxWave doomed;
        doomed.Assign(&other);
        stops_ = 0;
    }
    EXPECT_EQ(stops_, 1);
}

} // namespace
