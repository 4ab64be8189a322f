#include "platform/LazySoundPlayer.h"

#include "platform/Paths.h"

#include <QLibrary>

TLazySoundPlayer::TLazySoundPlayer(QString modulePath) : m_modulePath(std::move(modulePath)) {}

// The module stays loaded: its player is gone by now, and unloading at exit gains nothing.
TLazySoundPlayer::~TLazySoundPlayer() = default;

void TLazySoundPlayer::Play(Sound sound)
{
    if (!m_tried)
        Load();
    if (m_player)
        m_player->Play(sound);
}

void TLazySoundPlayer::Load()
{
    m_tried = true;
    QString path = m_modulePath;
    if (path.isEmpty())
        path = ProgramPartPath(QStringLiteral(BRELMONT_SOUND_MODULE_INSTALLED),
                               QStringLiteral(BRELMONT_SOUND_MODULE_BUILD));
    if (path.isEmpty()) {
        qWarning("Brelmont: the sound module is not installed; sounds stay silent");
        return;
    }
    QLibrary module(path);
    using Factory = ISoundPlayer* (*)();
    const auto create = reinterpret_cast<Factory>(module.resolve(kFactoryName));
    if (!create) {
        qWarning("Brelmont: the sound module cannot be used (%s); sounds stay silent",
                 qPrintable(module.errorString()));
        return;
    }
    m_player.reset(create());
}
