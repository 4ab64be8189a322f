#pragma once

#include "i18n/GlobalTexts.h"
#include "platform/SoundOutput.h"

#include <QObject>
#include <memory>

class TGatewayResults;
class TSettingsHolder;

// The program's global data module: the message texts the network results show, and the
// services that report to the main window by signals (the gateway's sends and credit queries).
// No windows.
class TDM_Global : public QObject
{
    Q_OBJECT

public:
    // The texts follow every language the settings apply. sounds: the result sounds (none when
    // null), played unless "DisableSound" is on.
    TDM_Global(TSettingsHolder& settings, ISoundPlayer* sounds, QObject* parent = nullptr);
    ~TDM_Global() override;

    void ApplyLanguage(const QString& code);
    TGatewayResults& Gateway() const { return *m_gateway; }

    TGlobalTexts Texts;

private:
    void Play(ISoundPlayer::Sound sound);

    TSettingsHolder& m_settings;
    ISoundPlayer* m_sounds;
    std::unique_ptr<TGatewayResults> m_gateway;
};
