#pragma once

#include <QObject>

class QSoundEffect;

// The two result sounds. The results logic plays them through this interface so tests can
// count what was played.
class ISoundPlayer
{
public:
    enum class Sound
    {
        SmsOk,
        SmsError
    };
    virtual ~ISoundPlayer() = default;
    virtual void Play(Sound sound) = 0;
};

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
