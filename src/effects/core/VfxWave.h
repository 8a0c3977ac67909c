#pragma once

#include "effects/core/VfxObject.h"
#include "platform/core/Exception.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace fx {

using plat::Exception;

// Data that is not a wave: "TVfxWave: Cannot open file %s" (the %s is part
// of the text). The previous data stays.
PLAT_DECLARE_EXCEPTION(EInvalidWave, Exception);
// A wave header cut short: "GetWaveData: Cannot open file %s".
PLAT_DECLARE_EXCEPTION(EErrorCheckingWave, Exception);

// What the header check finds.
struct TVfxWaveHeader {
    uint32_t RiffSize = 0;
    uint32_t SamplesPerSec = 0;
    uint8_t ChannelMode = 0; // 1 mono, 2 stereo, 0 any other channel count
    uint8_t Pcm = 0;         // 1 when the format tag is 1
    uint16_t BlockAlign = 0;
};

// Silences the program's sound player; called whenever wave data is replaced
// or destroyed. The program installs one; by default nothing happens.
void VfxSetSoundStopHook(std::function<void()> hook);

// One sound in the RIFF/WAVE format, held in memory and checked when loaded.
// It never plays its data.
//
// The data is either absent or a block of bytes (possibly empty); empty means
// either. Every change of the data fires the change notification.
class TVfxWave : public TVfxObject {
public:
    explicit TVfxWave(QObject* owner = nullptr) : TVfxObject(owner) {}
    static std::unique_ptr<TVfxWave> CreateFromFile(QObject* owner, const QString& fileName);
    ~TVfxWave() override;

    bool IsEmpty() const { return !data_ || data_->isEmpty(); }
    qint64 GetSize() const { return data_ ? data_->size() : 0; }
    // The bytes; empty when there are none.
    QByteArray Data() const { return data_.value_or(QByteArray()); }
    // True once a data block exists, even an empty one (it is then streamed).
    bool HasDataStream() const { return data_.has_value(); }

    // Replaces the data (absent with nullopt) and notifies.
    void SetData(std::optional<QByteArray> data);
    void Clear() { SetData(std::nullopt); }
    // A copy of source's data; no source clears.
    void Assign(const TVfxWave* source);

    // The streamed form: u32 N, then N bytes of wave. Writing creates an
    // empty data block when there is none. Reading N = 0 clears.
    void ReadData(QIODevice& stream);
    void WriteData(QIODevice& stream);

    // The wave's bytes alone, from the position to the end of the stream.
    void LoadFromStream(QIODevice& stream);
    void SaveToStream(QIODevice& stream) const;
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName) const;
    // The wave's bytes as a compressed stream.
    void LoadFromCompressedStream(QIODevice& stream);
    void SaveToCompressedStream(QIODevice& stream) const;

    // Checks the header of the stream's bytes from its start: "RIFF", u32
    // size, "WAVE", "fmt " directly after, u32 length, u16 format tag, u16
    // channels, u32 samples per second, u32 average bytes per second, u16
    // block alignment. False at the first mismatch and for a missing or empty
    // stream; EErrorCheckingWave when the stream ends early. The stream is
    // left at its start in every case.
    static bool CheckWave(QIODevice* stream, TVfxWaveHeader& header);

private:
    // Takes n bytes of stream as the new data when they are a wave.
    void LoadSized(qint64 n, QIODevice& stream);

    std::optional<QByteArray> data_;
};

// The wave as an object block (see VfxWriteObjectBlock).
void VfxWriteWave(QIODevice& stream, const TVfxWave& wave, bool compressed);
void VfxReadWave(QIODevice& stream, TVfxWave& wave, bool compressed);

} // namespace fx
