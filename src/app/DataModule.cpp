#include "app/DataModule.h"

#include "net/GatewayResultView.h"
#include "net/GatewayResults.h"
#include "net/SMSServer.h"
#include "settings/SettingsHolder.h"

TDM_Global::TDM_Global(IGatewayResultView& view, ISoundPlayer* sounds, QObject* parent)
    : QObject(parent), m_view(view), m_sounds(sounds)
{
}

// Frees the credit session, if one is left, with the results object.
TDM_Global::~TDM_Global() = default;

void TDM_Global::AttachSettings(TSettingsHolder* settings)
{
    connect(settings, &TSettingsHolder::languageApplied, this, &TDM_Global::ApplyLanguage);
    m_gateway = std::make_unique<TGatewayResults>(*settings, Texts, m_view, m_sounds);
}

void TDM_Global::ApplyLanguage(const QString& code)
{
    Texts.ApplyLanguage(code);
}

void TDM_Global::AskCredit(int showResult)
{
    if (m_gateway)
        m_gateway->AskCredit(static_cast<quint8>(showResult));
}

void TDM_Global::DropSessions()
{
    if (m_gateway)
        m_gateway->DropSessions();
}
