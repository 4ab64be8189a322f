#include "app/Program.h"

#include "app/DataModule.h"
#include "net/GatewayResults.h"
#include "net/NumberLookup.h"
#include "net/Suggestion.h"
#include "platform/RegistryStore.h"
#include "platform/LazySoundPlayer.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/main/MainWindow.h"
#include "ui/main/TrayController.h"

#include <QTimer>

TBrelmontProgram::TBrelmontProgram(const QStringList& arguments, const QString& registryPath, QObject* parent)
    : QObject(parent)
{
    // The settings holder exists first so the others can hold it, but reads nothing until step 3.
    m_settings = std::make_unique<TSettingsHolder>(registryPath.isEmpty() ? RegistryStore::DefaultPath()
                                                                          : registryPath);
    connect(m_settings.get(), &TSettingsHolder::registryError, this, &TBrelmontProgram::ReportRegistryError);

    // 1. The main window reads no setting when it is created.
    m_sounds = std::make_unique<TLazySoundPlayer>();
    m_global = std::make_unique<TDM_Global>(*m_settings, m_sounds.get());
    TMainWindowServices services;
    services.Gateway = &m_global->Gateway();
    services.Texts = &m_global->Texts;
    services.Lookup = &m_global->Lookup();
    services.Suggestions = &m_global->Suggestions();
    services.Updates = &m_global->Updates();
    services.Setup = &m_global->SetupDownload();
    services.PhoneBook = &m_global->PhoneBook();
    m_main = std::make_unique<TF_Main>(*m_settings, services, arguments);
    connect(m_main.get(), &TF_Main::programEnding, this, &TBrelmontProgram::ending);

    // 2. The data module's texts follow the settings' language from the first load on.
    // 3. The settings load the registry and size and place the main window.
    m_settings->SetWindowHost(m_main.get());
    m_settings->LoadSettings(true);
    // 4. The remote phone book, with the account the settings hold.
    m_global->CreateRemotePhoneBook();
    m_global->StartUpdaterRefresh();
}

TBrelmontProgram::~TBrelmontProgram()
{
    // Reverse order; the settings are written back while the main window still tells its place.
    m_main->ExitRequested = true;
    m_settings->SaveSettings();
    m_settings->SetWindowHost(nullptr);
    m_main.reset();
    m_global.reset();
    m_sounds.reset();
    m_settings.reset();
}

void TBrelmontProgram::ReportRegistryError(const QString& message)
{
    qWarning("Brelmont settings: %s", qPrintable(message));
    if (!m_main || m_main->ExitRequested)
        return; // on the way out nobody is there to read it
    // Shown once the event loop runs, so a failure while loading does not hold up the start.
    QTimer::singleShot(0, m_main.get(), [this, message] {
        TF_Message box(m_main.get(), TF_Message::ButtonsOk, m_settings->GetLanguage());
        box.ShowText(QStringLiteral("Brelmont"), message);
    });
}

void TBrelmontProgram::RestoreRequested()
{
    m_main->Tray().TrayClick();
}

void TBrelmontProgram::SessionEnding()
{
    m_main->EndSession();
}

void TBrelmontProgram::CommitData()
{
    m_main->ExitRequested = true;
    m_settings->SaveSettings();
}
