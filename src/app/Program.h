#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

class TDM_Global;
class TF_Main;
class TF_Settings;
class TSoundPlayer;
class TSettingsHolder;

// The program's long-lived objects, created in this order: the main window, the global data
// module, the settings (which load the registry and place the main window) with their dialog. They live until
// the program ends and are destroyed in reverse order, the settings written on the way.
class TBrelmontProgram : public QObject
{
    Q_OBJECT

public:
    // registryPath: the settings file (the default location when empty).
    explicit TBrelmontProgram(const QStringList& arguments, const QString& registryPath = QString(),
                              QObject* parent = nullptr);
    ~TBrelmontProgram() override;

    TF_Main* MainWindow() const { return m_main.get(); }
    TDM_Global* DataModule() const { return m_global.get(); }
    TSettingsHolder* Settings() const { return m_settings.get(); }
    TF_Settings* SettingsDialog() const { return m_settingsDialog.get(); }

    // A later start asked for the window: restore it from the tray.
    void RestoreRequested();
    // The session ends (log-off, shutdown, a termination signal): exit without questions.
    void SessionEnding();
    // The session manager asks for the data to be safe: the settings are written now, and a
    // close from then on ends the program.
    void CommitData();

signals:
    // The main window was closed for good.
    void ending();

private:
    // A setting that could not be read or written: the user sees it in a message box.
    void ReportRegistryError(const QString& message);

    std::unique_ptr<TF_Main> m_main;
    std::unique_ptr<TSoundPlayer> m_sounds;
    std::unique_ptr<TDM_Global> m_global;
    std::unique_ptr<TSettingsHolder> m_settings;
    std::unique_ptr<TF_Settings> m_settingsDialog;
};
