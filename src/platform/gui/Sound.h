#pragma once
// Asynchronous playback of WAV files through the program's sound service:
// one player, one sound at a time. Without an audio device nothing is heard
// and nothing fails.

#include "platform/core/ScopedOverride.h"

#include <QObject>
#include <QString>

#include <functional>

class QSoundEffect;

namespace plat {

// What the program plays its sounds through. Tests put a fake in force
// (ScopedSoundService) to hear what would be played.
class SoundService {
public:
    virtual ~SoundService() = default;
    // Starts the file and returns at once, stopping what plays; a file that
    // cannot be played is ignored.
    virtual void PlayFile(const QString& fileName) = 0;
    // The same, unless a sound is playing: then nothing happens.
    virtual void PlayFileUnlessPlaying(const QString& fileName) = 0;
    // Silences what plays.
    virtual void Stop() = 0;
};

class SoundPlayer : public QObject, public SoundService {
    Q_OBJECT
public:
    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    void PlayFile(const QString& fileName) override;
    void PlayFileUnlessPlaying(const QString& fileName) override;
    void Stop() override;
    // The file last asked for; empty after Stop.
    QString CurrentFile() const { return current_; }

private:
    QSoundEffect* effect_ = nullptr; // made on the first play
    QString current_;
};

struct SoundServiceTag;
using ScopedSoundService = ScopedOverride<SoundService*, SoundServiceTag>;
// The service in force: a test's fake, else the program's one player.
SoundService& CurrentSoundService();

// Plays a file through the service in force, stopping what plays.
void PlaySoundFile(const QString& fileName);
// Silences the service in force.
void StopSound();

// The desktop's short warning sound (a key that does nothing in a menu).
void MessageBeep();
// Replaces the beep while in force (tests count beeps instead of hearing them).
struct MessageBeepTag;
using ScopedMessageBeep = ScopedOverride<std::function<void()>, MessageBeepTag>;

} // namespace plat
