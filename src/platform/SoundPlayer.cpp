#include "platform/SoundPlayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

TSoundPlayer::TSoundPlayer(QObject* parent) : QObject(parent) {}

TSoundPlayer::~TSoundPlayer() = default;

QString TSoundPlayer::ResourcePath(Sound sound)
{
    return sound == Sound::SmsOk ? QStringLiteral(":/sounds/sms_ok.wav")
                                 : QStringLiteral(":/sounds/sms_error.wav");
}

void TSoundPlayer::Play(Sound sound)
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    QSoundEffect*& effect = sound == Sound::SmsOk ? m_ok : m_error;
    if (!effect) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl(QStringLiteral("qrc") + ResourcePath(sound)));
    }
    effect->play();
}
