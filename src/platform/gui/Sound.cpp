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

void MessageBeep() {
    if (const auto& replaced = ScopedMessageBeep::Current()) {
        replaced();
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        QApplication::beep();
    }
}

} // namespace plat
