#pragma once

#include "i18n/GlobalTexts.h"
#include "phonebook/PhoneBookServices.h"
#include "platform/SoundOutput.h"

#include <QObject>
#include <memory>

class TContactsTree;
class TDM_TarvoPhoneBook;
class TGatewayResults;
class TPhoneBook;
class TNumberLookup;
class TSettingsHolder;
class TSetupDownload;
class TSuggestionSender;
class TUpdateCheck;

// The program's global data module: the message texts the network results show, the
// services that report to the main window by signals (the gateway's sends and credit queries,
// the number lookup, the suggestion, the update check and the setup download), and the phone
// book (the local file, the contacts tree, the remote phone book). No windows.
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
    TPhoneBookServices& PhoneBook() { return m_phoneBookServices; }
    // The remote phone book takes the account as the settings hold it now: called once the
    // settings are loaded. It reaches the network only when one of its operations is called.
    void CreateRemotePhoneBook();
    TNumberLookup& Lookup() const { return *m_lookup; }
    TSuggestionSender& Suggestions() const { return *m_suggestions; }
    TUpdateCheck& Updates() const { return *m_updates; }
    TSetupDownload& SetupDownload() const { return *m_setup; }

    // Once the settings are loaded: refreshes an outdated updater beside the program, unobserved.
    void StartUpdaterRefresh();

    TGlobalTexts Texts;

private:
    void Play(ISoundPlayer::Sound sound);
    // The update description's address follows the endpoints of the last load or save.
    void FollowEndpoints();

    TSettingsHolder& m_settings;
    ISoundPlayer* m_sounds;
    std::unique_ptr<TGatewayResults> m_gateway;
    std::unique_ptr<TPhoneBook> m_phoneBook;
    std::unique_ptr<TContactsTree> m_contactsTree;
    std::unique_ptr<TDM_TarvoPhoneBook> m_remotePhoneBook;
    TPhoneBookServices m_phoneBookServices;
    TNumberLookup* m_lookup;
    TSuggestionSender* m_suggestions;
    TUpdateCheck* m_updates;
    TSetupDownload* m_setup;
};
