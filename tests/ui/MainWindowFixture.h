#pragma once

#include "settings/SettingsHolder.h"
#include "ui/main/GatewayCommands.h"
#include "ui/main/MainWindow.h"

#include <QTemporaryDir>
#include <QTimer>
#include <memory>

// Counts what the main window asks of the gateway.
class TFakeGateway : public IGatewayCommands
{
public:
    void AskCredit(int showResult) override { creditQueries.append(showResult); }
    void DropSessions() override { ++drops; }
    QList<int> creditQueries;
    int drops = 0;
};

// A main window wired to settings in a registry file of its own and a counting gateway.
struct TMainWindowFixture
{
    QTemporaryDir folder;
    std::unique_ptr<TF_Main> main;
    std::unique_ptr<TSettingsHolder> settings;
    TFakeGateway gateway;

    QString RegistryPath() const { return folder.filePath(QStringLiteral("registry.reg")); }

    // userName empty: the demo account.
    void Create(const QString& userName = QStringLiteral("mario"), const QString& password = QStringLiteral("secret"))
    {
        main = std::make_unique<TF_Main>();
        main->TimerStart->stop(); // the start-up step runs only where a test asks for it
        main->SetGateway(&gateway);
        settings = std::make_unique<TSettingsHolder>(RegistryPath());
        settings->SetWindowHost(main.get());
        settings->LoadSettings(true);
        settings->SetUserName(userName);
        settings->SetPassword(password);
        settings->SetRememberPwd(true);
        main->SetSettings(settings.get());
    }

    ~TMainWindowFixture()
    {
        if (main) {
            main->SetSettings(nullptr);
            main->ExitRequested = true;
        }
        if (settings)
            settings->SetWindowHost(nullptr);
        main.reset();
        settings.reset();
    }
};
