#include "app/Program.h"

#include "app/DataModule.h"
#include "net/SoundPlayer.h"
#include "platform/RegistryStore.h"
#include "settings/SettingsHolder.h"
#include "settings/dialog/SettingsDialog.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/main/MainWindow.h"

#include <QTimer>

TBrelmontProgram::TBrelmontProgram(const QStringList& arguments, const QString& registryPath, QObject* parent)
    : QObject(parent)
{
    // 1. The main window reads no setting when it is created.
    m_main = std::make_unique<TF_Main>();
    m_main->SetStartArguments(arguments);
    connect(m_main.get(), &TF_Main::programEnding, this, &TBrelmontProgram::ending);

    // 2. The data module; its texts follow the settings' language from the first load on.
    m_sounds = std::make_unique<TSoundPlayer>();
    m_global = std::make_unique<TDM_Global>(*m_main, m_sounds.get());
    m_main->SetGateway(m_global.get());

    // 3. The settings load the registry and size and place the main window.
    m_settings = std::make_unique<TSettingsHolder>(registryPath.isEmpty() ? RegistryStore::DefaultPath() : registryPath);
    m_global->AttachSettings(m_settings.get());
    m_settings->SetWindowHost(m_main.get());
    connect(m_settings.get(), &TSettingsHolder::registryError, this, &TBrelmontProgram::ReportRegistryError);
    m_settings->LoadSettings(true);
    m_main->SetSettings(m_settings.get());
    m_settingsDialog = std::make_unique<TF_Settings>(*m_settings);
    m_main->SetSettingsDialog(m_settingsDialog.get());
}

TBrelmontProgram::~TBrelmontProgram()
{
    // Reverse order; the settings are written back while the main window still tells its place.
    m_main->ExitRequested = true;
    m_settings->SaveSettings();
    m_main->SetSettingsDialog(nullptr);
    m_settingsDialog.reset();
    m_main->SetSettings(nullptr);
    m_settings->SetWindowHost(nullptr);
    m_settings.reset();
    m_main->SetGateway(nullptr);
    m_global.reset();
    m_sounds.reset();
    m_main.reset();
}

void TBrelmontProgram::ReportRegistryError(const QString& message)
{
    qWarning("Brelmont settings: %s", qPrintable(message));
    if (m_main->ExitRequested)
        return; // on the way out nobody is there to read it
    // Shown once the event loop runs, so a failure while loading does not hold up the start.
    QTimer::singleShot(0, m_main.get(), [this, message] {
        TF_Message box(m_main.get(), TF_Message::ButtonsOk, m_settings ? m_settings->GetLanguage() : QString());
        box.ShowText(QStringLiteral("Brelmont"), message);
    });
}

void TBrelmontProgram::RestoreRequested()
{
    m_main->TrayClick();
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
