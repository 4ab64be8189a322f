#include "app/DataModule.h"

#include "net/GatewayResultView.h"
#include "settings/SettingsHolder.h"

TDM_Global::TDM_Global(IGatewayResultView& view, QObject* parent) : QObject(parent), m_view(view)
{
}

TDM_Global::~TDM_Global() = default;

void TDM_Global::AttachSettings(TSettingsHolder* settings)
{
    m_settings = settings;
    connect(settings, &TSettingsHolder::languageApplied, this, &TDM_Global::ApplyLanguage);
}

void TDM_Global::ApplyLanguage(const QString& code)
{
    Texts.ApplyLanguage(code);
}

void TDM_Global::AskCredit(int showResult)
{
    Q_UNUSED(showResult);
}

void TDM_Global::DropSessions()
{
}
