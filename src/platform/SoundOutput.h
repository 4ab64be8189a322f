#pragma once

// The two result sounds. The program plays them through this interface, so only the program
// links the sound library and tests can count what was played.
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
