#pragma once

#include "platform/SoundOutput.h"

#include <QObject>

class QSoundEffect;

// Plays the embedded clips asynchronously, and only when the system has an audio output.
class TSoundPlayer : public QObject, public ISoundPlayer
{
    Q_OBJECT

public:
    explicit TSoundPlayer(QObject* parent = nullptr);
    ~TSoundPlayer() override;

    void Play(Sound sound) override;
    // The resource path of a clip (":/sounds/sms_ok.wav", ...).
    static QString ResourcePath(Sound sound);

private:
    QSoundEffect* m_ok = nullptr;
    QSoundEffect* m_error = nullptr;
};
