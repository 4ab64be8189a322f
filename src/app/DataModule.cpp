#include "app/DataModule.h"

#include "net/GatewayResults.h"
#include "net/SMSServer.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/RemotePhoneBook.h"
#include "settings/SettingsHolder.h"

#include <QUrl>

TDM_Global::TDM_Global(TSettingsHolder& settings, ISoundPlayer* sounds, QObject* parent)
    : QObject(parent), m_settings(settings), m_sounds(sounds),
      m_gateway(std::make_unique<TGatewayResults>(settings, Texts)),
      m_phoneBook(std::make_unique<TPhoneBook>()),
      m_contactsTree(std::make_unique<TContactsTree>()), m_phoneBookServices{*m_phoneBook, *m_contactsTree}
{
    connect(&settings, &TSettingsHolder::languageApplied, this, &TDM_Global::ApplyLanguage);
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

void TDM_Global::Play(ISoundPlayer::Sound sound)
{
    if (m_sounds && !m_settings.GetDisableSound())
        m_sounds->Play(sound);
}
