#pragma once

#include "net/GatewayService.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/PhoneBookServices.h"
#include "settings/SettingsHolder.h"
#include "ui/main/MainWindow.h"
#include "ui/main/TrayController.h"

#include <QTemporaryDir>
#include <QTimer>
#include <memory>

// Counts what the main window asks of the gateway; tests emit its signals as the gateway would.
class TFakeGateway : public TGatewayService
{
public:
    // What the last SendSMS was handed.
    struct TSent
    {
        QString Destinations;
        QByteArray Text;
        bool Unicode = false;
        quint8 Quality = 0;
        bool Anonymous = false;
        double Schedule = 0;
    };

    bool SendSMS(const QString& destinations, const QByteArray& text, bool unicode, quint8 quality,
                 bool anonymous, double schedule) override
    {
        last = {destinations, text, unicode, quality, anonymous, schedule};
        ++sends;
        return sendStarts;
    }
    void AskCredit(quint8 showResult) override { creditQueries.append(showResult); }
    void DropSessions() override { ++drops; }
    QList<int> creditQueries;
    int drops = 0;
    int sends = 0;
    bool sendStarts = true; // false: the submission cannot even start
    TSent last;
};

// A main window wired to settings in a registry file of its own, a counting gateway and a
// phone book in the fixture's folder (no remote phone book unless a test sets one).
struct TMainWindowFixture
{
    QTemporaryDir folder;
    std::unique_ptr<TSettingsHolder> settings;
    TFakeGateway gateway;
    TPhoneBook phoneBook{folder.filePath(QStringLiteral("pbook.qpb")), QString()};
    TContactsTree tree;
    TPhoneBookServices phoneBookServices{phoneBook, tree};
    std::unique_ptr<TF_Main> main;

    QString RegistryPath() const { return folder.filePath(QStringLiteral("registry.reg")); }
    QString PhoneBookFile() const { return phoneBook.CurrentFile(); }

    // userName empty: the demo account.
    // services: besides the counting gateway, which is always given.
    void Create(const QString& userName = QStringLiteral("mario"),
                const QString& password = QStringLiteral("secret"), const QStringList& arguments = {},
                TMainWindowServices services = {})
    {
        settings = std::make_unique<TSettingsHolder>(RegistryPath());
        services.Gateway = &gateway;
        services.PhoneBook = &phoneBookServices;
        main = std::make_unique<TF_Main>(*settings, services, arguments);
        main->TimerStart->stop(); // the start-up step runs only where a test asks for it
        settings->SetWindowHost(main.get());
        settings->LoadSettings(true);
        settings->SetUserName(userName);
        settings->SetPassword(password);
        settings->SetRememberPwd(true);
    }

    TTrayController& Tray() const { return main->Tray(); }

    ~TMainWindowFixture()
    {
        if (main)
            main->ExitRequested = true;
        if (settings)
            settings->SetWindowHost(nullptr);
        main.reset();
        settings.reset();
    }
};
