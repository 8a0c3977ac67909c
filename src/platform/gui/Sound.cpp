#include "platform/gui/Sound.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace plat {

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::PlayFile(const QString& fileName) {
    if (effect_ == nullptr) {
        effect_ = new QSoundEffect(this);
    }
    effect_->stop();
    current_ = fileName;
    effect_->setSource(QUrl::fromLocalFile(fileName));
    effect_->play();
}

void SoundPlayer::PlayFileUnlessPlaying(const QString& fileName) {
    if (effect_ != nullptr && effect_->isPlaying()) {
        return;
    }
    PlayFile(fileName);
}

void SoundPlayer::Stop() {
    if (effect_ != nullptr) {
        effect_->stop();
        effect_->setSource(QUrl());
    }
    current_.clear();
}

SoundService& CurrentSoundService() {
    if (SoundService* installed = ScopedSoundService::Current()) {
        return *installed;
    }
    static QPointer<SoundPlayer> player;
    if (player.isNull()) {
        player = new SoundPlayer(QCoreApplication::instance());
    }
    return *player;
}

void PlaySoundFile(const QString& fileName) {
    CurrentSoundService().PlayFile(fileName);
}

void StopSound() {
    CurrentSoundService().Stop();
}

void MessageBeep() {
    if (const auto& replaced = ScopedMessageBeep::Current()) {
        replaced();
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        QApplication::beep();
    }
}

} // namespace plat
