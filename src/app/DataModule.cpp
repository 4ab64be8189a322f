#include "app/DataModule.h"

#include "net/GatewayResults.h"
#include "net/NumberLookup.h"
#include "net/SMSServer.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/RemotePhoneBook.h"
#include "net/ServiceSettings.h"
#include "net/Suggestion.h"
#include "platform/Paths.h"
#include "settings/SettingsHolder.h"
#include "update/LastVersion.h"
#include "update/SetupDownload.h"
#include "update/UpdateCheck.h"
#include "update/UpdaterRefresh.h"

#include <QUrl>

TDM_Global::TDM_Global(TSettingsHolder& settings, ISoundPlayer* sounds, QObject* parent)
    : QObject(parent), m_settings(settings), m_sounds(sounds),
      m_gateway(std::make_unique<TGatewayResults>(settings, Texts)),
      m_phoneBook(std::make_unique<TPhoneBook>()),
      m_contactsTree(std::make_unique<TContactsTree>()), m_phoneBookServices{*m_phoneBook, *m_contactsTree},
      // The services read the settings at every request, so the current account and proxy are used.
      m_lookup(new TNumberLookup([&settings] { return LookupContextOf(settings); }, this)),
      m_suggestions(new TSuggestionSender(
          [this, &settings] { return SuggestionContextOf(settings, m_phoneBook->GetPhoneBookVersion()); },
          this)),
      m_updates(new TUpdateCheck(this)), m_setup(new TSetupDownload(this))
{
    connect(&settings, &TSettingsHolder::languageApplied, this, &TDM_Global::ApplyLanguage);
    connect(&settings, &TSettingsHolder::languageApplied, this, &TDM_Global::FollowEndpoints);
    connect(m_updates, &TUpdateCheck::nextUpdateExpireChanged, &settings,
            &TSettingsHolder::SetNextUpdateExpire);
    FollowEndpoints();
    connect(m_gateway.get(), &TGatewayService::sendAccepted, this,
            [this] { Play(ISoundPlayer::Sound::SmsOk); });
    connect(m_gateway.get(), &TGatewayService::sendRefused, this,
            [this] { Play(ISoundPlayer::Sound::SmsError); });
}

// Frees the credit session, if one is left, with the results object.
TDM_Global::~TDM_Global() = default;

void TDM_Global::CreateRemotePhoneBook()
{
    if (m_remotePhoneBook)
        return;
    m_remotePhoneBook = std::make_unique<TDM_TarvoPhoneBook>(
        QUrl(m_settings.GetEndpoints().PhoneBookServiceUrl),
        TUserLog::ForAccount(m_settings.GetUserName(), m_settings.GetPassword()));
    m_phoneBookServices.Remote = m_remotePhoneBook.get();
}

void TDM_Global::ApplyLanguage(const QString& code)
{
    Texts.ApplyLanguage(code);
}

void TDM_Global::FollowEndpoints()
{
    const QUrl description = DescriptionUrl(m_settings.GetEndpoints().WebBaseUrl);
    m_updates->SetDescriptionUrl(description);
    m_setup->SetDescriptionUrl(description);
}

void TDM_Global::StartUpdaterRefresh()
{
    TUpdaterRefresh::DownloadUpdater(ExecutableFolder(), m_settings.GetEndpoints().DownloadBaseUrl, this);
}

void TDM_Global::Play(ISoundPlayer::Sound sound)
{
    if (m_sounds && !m_settings.GetDisableSound())
        m_sounds->Play(sound);
}
