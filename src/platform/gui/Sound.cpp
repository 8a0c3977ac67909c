#include "platform/gui/Sound.h"

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

void SoundPlayer::Stop() {
    if (effect_ != nullptr) {
        effect_->stop();
        effect_->setSource(QUrl());
    }
    current_.clear();
}

void PlaySoundFile(const QString& fileName) {
    static QPointer<SoundPlayer> player;
    if (player.isNull()) {
        player = new SoundPlayer(QCoreApplication::instance());
    }
    player->PlayFile(fileName);
}

} // namespace plat
