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
    bool SendSMS(const QString&, const QByteArray&, bool, quint8, bool, double) override
    {
        return ++sends > 0;
    }
    void AskCredit(quint8 showResult) override { creditQueries.append(showResult); }
    void DropSessions() override { ++drops; }
    QList<int> creditQueries;
    int drops = 0;
    int sends = 0;
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
    void Create(const QString& userName = QStringLiteral("mario"),
                const QString& password = QStringLiteral("secret"), const QStringList& arguments = {})
    {
        settings = std::make_unique<TSettingsHolder>(RegistryPath());
        main = std::make_unique<TF_Main>(*settings, gateway, phoneBookServices, arguments);
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
