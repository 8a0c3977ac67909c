#pragma once
// Asynchronous playback of WAV files. One sound plays at a time: a new one
// replaces the one playing. Without an audio device nothing is heard and
// nothing fails.

#include "platform/core/ScopedOverride.h"

#include <QObject>
#include <QString>

#include <functional>

class QSoundEffect;

namespace plat {

class SoundPlayer : public QObject {
    Q_OBJECT
public:
    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    // Starts the file and returns at once; a file that cannot be played is
    // ignored.
    void PlayFile(const QString& fileName);
    void Stop();
    // The file last asked for; empty after Stop.
    QString CurrentFile() const { return current_; }

private:
    QSoundEffect* effect_ = nullptr; // made on the first play
    QString current_;
};

// Plays a file on the program's one player.
void PlaySoundFile(const QString& fileName);

// The desktop's short warning sound (a key that does nothing in a menu).
void MessageBeep();
// Replaces the beep while in force (tests count beeps instead of hearing them).
struct MessageBeepTag;
using ScopedMessageBeep = ScopedOverride<std::function<void()>, MessageBeepTag>;

} // namespace plat
