#include "effects/core/VfxWave.h"

#include "effects/core/VfxStreams.h"

#include <QBuffer>
#include <QFile>

#include <cstring>

namespace fx {

namespace {

std::function<void()>& SoundStopHook() {
    static std::function<void()> hook;
    return hook;
}

void StopSound() {
    if (SoundStopHook()) {
        SoundStopHook()();
    }
}

bool ReadTag(QIODevice& stream, const char (&tag)[5]) {
    char bytes[4];
    VfxReadBuffer(stream, bytes, 4);
    return std::memcmp(bytes, tag, 4) == 0;
}

uint16_t ReadU16(QIODevice& stream) {
    uint8_t b[2];
    VfxReadBuffer(stream, b, 2);
    return uint16_t(b[0] | b[1] << 8);
}

// Reads the header fields in order; false at the first mismatch.
bool ReadHeader(QIODevice& stream, TVfxWaveHeader& header) {
    if (!ReadTag(stream, "RIFF")) {
        return false;
    }
    header.RiffSize = VfxReadCardinal(stream);
    if (!ReadTag(stream, "WAVE") || !ReadTag(stream, "fmt ")) {
        return false;
    }
    VfxReadCardinal(stream); // the format chunk's length
    const uint16_t formatTag = ReadU16(stream);
    const uint16_t channels = ReadU16(stream);
    header.SamplesPerSec = VfxReadCardinal(stream);
    VfxReadCardinal(stream); // average bytes per second
    header.Pcm = formatTag == 1 ? 1 : 0;
    header.ChannelMode = channels == 1 || channels == 2 ? uint8_t(channels) : 0;
    header.BlockAlign = ReadU16(stream);
    return true;
}

} // namespace

void VfxSetSoundStopHook(std::function<void()> hook) {
    SoundStopHook() = std::move(hook);
}

std::unique_ptr<TVfxWave> TVfxWave::CreateFromFile(QObject* owner, const QString& fileName) {
    auto wave = std::make_unique<TVfxWave>(owner);
    wave->LoadFromFile(fileName);
    return wave;
}

TVfxWave::~TVfxWave() {
    if (data_) {
        StopSound();
    }
}

void TVfxWave::SetData(std::optional<QByteArray> data) {
    if (data_) {
        StopSound();
    }
    data_ = std::move(data);
    Change();
}

void TVfxWave::Assign(const TVfxWave* source) {
    if (source == nullptr) {
        Clear();
        return;
    }
    if (source != this) {
        SetData(source->Data());
    }
}

bool TVfxWave::CheckWave(QIODevice* stream, TVfxWaveHeader& header) {
    if (stream == nullptr || stream->size() == 0) {
        return false;
    }
    bool ok = false;
    try {
        stream->seek(0);
        ok = ReadHeader(*stream, header);
    } catch (const plat::Exception&) {
        stream->seek(0);
        throw EErrorCheckingWave(QStringLiteral("GetWaveData: Cannot open file %s"));
    }
    stream->seek(0);
    return ok;
}

void TVfxWave::LoadSized(qint64 n, QIODevice& stream) {
    // An empty wave is streamed as a count of 0: it reads back as no data.
    if (n == 0 || stream.size() == 0) {
        SetData(std::nullopt);
        return;
    }
    QByteArray bytes = VfxReadBytes(stream, n);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TVfxWaveHeader header;
    if (!CheckWave(&buffer, header)) {
        throw EInvalidWave(QStringLiteral("TVfxWave: Cannot open file %s"));
    }
    buffer.close();
    SetData(bytes);
}

void TVfxWave::ReadData(QIODevice& stream) {
    LoadSized(VfxReadCardinal(stream), stream);
}

void TVfxWave::WriteData(QIODevice& stream) {
    if (!data_) {
        data_ = QByteArray();
    }
    VfxWriteObjectBlock(stream, *data_, false);
}

void TVfxWave::LoadFromStream(QIODevice& stream) {
    const qint64 remaining = VfxRemaining(stream);
    if (remaining < 0) {
        // A sequential stream: take what it delivers.
        QByteArray bytes = stream.readAll();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        LoadSized(bytes.size(), buffer);
        return;
    }
    LoadSized(remaining, stream);
}

void TVfxWave::SaveToStream(QIODevice& stream) const {
    if (data_) {
        VfxWriteBuffer(stream, *data_);
    }
}

void TVfxWave::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    VfxOpenFile(file, false);
    LoadSized(file.size(), file);
}

void TVfxWave::SaveToFile(const QString& fileName) const {
    QFile file(fileName);
    VfxOpenFile(file, true);
    SaveToStream(file);
}

void TVfxWave::LoadFromCompressedStream(QIODevice& stream) {
    QByteArray bytes = VfxDecompressBytes(stream);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    LoadFromStream(buffer);
}

void TVfxWave::SaveToCompressedStream(QIODevice& stream) const {
    VfxWriteBuffer(stream, VfxCompressBytes(Data()));
}

void VfxWriteWave(QIODevice& stream, const TVfxWave& wave, bool compressed) {
    VfxWriteObjectBlock(stream, wave.Data(), compressed);
}

void VfxReadWave(QIODevice& stream, TVfxWave& wave, bool compressed) {
    QByteArray bytes = VfxReadObjectBlock(stream, compressed);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    wave.LoadFromStream(buffer);
}

} // namespace fx
