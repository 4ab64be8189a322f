#include "app/DataModule.h"

#include "net/GatewayResults.h"
#include "net/SMSServer.h"
#include "settings/SettingsHolder.h"

TDM_Global::TDM_Global(TSettingsHolder& settings, ISoundPlayer* sounds, QObject* parent)
    : QObject(parent), m_settings(settings), m_sounds(sounds),
      m_gateway(std::make_unique<TGatewayResults>(settings, Texts))
{
    connect(&settings, &TSettingsHolder::languageApplied, this, &TDM_Global::ApplyLanguage);
    connect(m_gateway.get(), &TGatewayService::sendAccepted, this,
            [this] { Play(ISoundPlayer::Sound::SmsOk); });
    connect(m_gateway.get(), &TGatewayService::sendRefused, this,
            [this] { Play(ISoundPlayer::Sound::SmsError); });
}

// Frees the credit session, if one is left, with the results object.
TDM_Global::~TDM_Global() = default;

void TDM_Global::ApplyLanguage(const QString& code)
{
    Texts.ApplyLanguage(code);
}

void TDM_Global::Play(ISoundPlayer::Sound sound)
{
    if (m_sounds && !m_settings.GetDisableSound())
        m_sounds->Play(sound);
}
