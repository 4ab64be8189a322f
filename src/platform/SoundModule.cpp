#include "platform/LazySoundPlayer.h"
#include "platform/SoundPlayer.h"

// The sound module's one entry point (see TLazySoundPlayer).
extern "C" Q_DECL_EXPORT ISoundPlayer* brelmont_create_sound_player()
{
    return new TSoundPlayer;
}
