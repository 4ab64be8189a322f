#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

class TDM_Global;
class TF_Main;
class TLazySoundPlayer;
class TSettingsHolder;

// The program's long-lived objects. They are built so that each gets the services it uses by
// reference, and the start-up keeps its order: the main window initialises only its own state,
// the data module starts, the settings load (placing the main window). They live until the
// program ends and are destroyed in reverse order, the settings written on the way.
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

    std::unique_ptr<TSettingsHolder> m_settings;
    std::unique_ptr<TLazySoundPlayer> m_sounds;
    std::unique_ptr<TDM_Global> m_global;
    std::unique_ptr<TF_Main> m_main;
};
