#pragma once

#include "platform/SoundOutput.h"

#include <QString>
#include <memory>

// Plays the result sounds through the sound module (brelmont-sound.so), loaded on the first
// sound: the audio stack (Qt Multimedia, PulseAudio, codecs) then costs nothing at start.
// Without the module the sounds stay silent.
class TLazySoundPlayer : public ISoundPlayer
{
public:
    // modulePath: the module to load; empty finds the installed or build-tree one.
    explicit TLazySoundPlayer(QString modulePath = QString());
    ~TLazySoundPlayer() override;

    void Play(Sound sound) override;
    bool Loaded() const { return m_player != nullptr; }

    // The module's entry point: a new player the caller owns.
    static constexpr const char* kFactoryName = "brelmont_create_sound_player";

private:
    void Load();

    QString m_modulePath;
    bool m_tried = false;
    std::unique_ptr<ISoundPlayer> m_player;
};
