#pragma once

#include "platform/RegistryStore.h"
#include "settings/Endpoints.h"

#include <QObject>
#include <QRect>
#include <QString>

// What the settings need from the main window: its geometry and the credit display.
// The main window implements it; without one the holder keeps LastX..LastH as they are.
class ISettingsWindowHost
{
public:
    virtual ~ISettingsWindowHost() = default;
    virtual QPoint CurrentPosition() const = 0;
    virtual void ResizeTo(int width, int height) = 0;
    virtual void MoveTo(int left, int top) = 0;
    virtual void ResetCredit() = 0;
};

// The persisted settings of the program, held at run time. Every reader sees the current
// value, including edits the settings dialog has made but not yet confirmed: the dialog
// binds to this object live (valueChanged), OK and Apply call SaveSettings, Cancel calls
// LoadSettings(false). Values are named by their registry value names.
class TSettingsHolder : public QObject
{
    Q_OBJECT

public:
    static QString SettingsKey(); // "Software\Dalvenor"
    static QString LegacyKey();   // "Software\Mirabex"
    static QString DemoUserName();
    static QString DemoPassword();
    static QStringList LegacyDefaultSenders();
    static QStringList LegacyAutostartNames();
    static QString AutostartName() { return QStringLiteral("Brelmont"); }
    static constexpr int NumericSenderMaxLength = 16;
    static constexpr int AlphanumericSenderMaxLength = 11;

    explicit TSettingsHolder(QString registryPath = RegistryStore::DefaultPath(), QObject* parent = nullptr);
    ~TSettingsHolder() override;

    void SetWindowHost(ISettingsWindowHost* host) { m_host = host; }
    // The program the autostart entry starts (the GUI's executable, also when brelmont-cli saves).
    void SetProgramPath(const QString& path) { m_programPath = path; }

    // Both report registry failures through LastError() and registryError(); they never throw.
    bool LoadSettings(bool placeMainWindow);
    bool SaveSettings();
    QString LastError() const { return m_lastError; }
    // Set when the registry file could not be parsed and was kept aside under this name.
    QString QuarantinedFile() const { return m_quarantined; }
    // Set when a save kept aside a file some of whose lines could not be read.
    QString DamagedCopyFile() const { return m_damagedCopy; }
    // The last load met a value of another type than its setting's (it took the default).
    bool HadTypeErrors() const { return m_hadTypeErrors; }
    // False when the settings path is no regular file: nothing is read or written there.
    bool StoreUsable() const { return m_store.Status() != RegistryStore::LoadStatus::Unusable; }
    QString RegistryPath() const { return m_store.FilePath(); }

    QString GetUserName() const;
    void SetUserName(const QString& value);
    QString GetPassword() const;
    void SetPassword(const QString& value);
    // The fields as typed, empty for the demo account.
    QString UserNameField() const { return m_userName; }
    QString PasswordField() const { return m_password; }
    bool GetRememberPwd() const { return m_rememberPwd; }
    void SetRememberPwd(bool value);

    QString GetSender() const { return m_sender; }
    void SetSender(const QString& value); // runs the sender length rule
    int SenderMaxLength() const;
    static bool IsNumericSender(const QString& text);

    // "ENG", "ITA" or "POR"; with no language selected, returns fallback unchanged.
    QString GetLanguage(const QString& fallback = QString()) const;
    void SetLanguage(const QString& code);
    int GetTimeZone() const { return m_timeZone; }
    void SetTimeZone(int hours);
    static int SystemTimeZoneHours();

    bool IsFirstTime() const { return m_firstTime; }
    void SetFirstTime(bool value); // written to the registry at once
    double GetNextUpdateExpire() const { return m_nextUpdateExpire; }
    void SetNextUpdateExpire(double days); // written to the registry at once

    bool GetStartUpConnection() const { return m_startUpConnection; }
    void SetStartUpConnection(bool v) { Assign(m_startUpConnection, v, "StartUpConnection"); }
    bool GetDisableSound() const { return m_disableSound; }
    void SetDisableSound(bool v) { Assign(m_disableSound, v, "DisableSound"); }
    bool GetCheckForUpdatesOnStartup() const { return m_checkForUpdates; }
    void SetCheckForUpdatesOnStartup(bool v) { Assign(m_checkForUpdates, v, "CheckForUpdatesOnStartup"); }
    bool GetRunAtStartup() const { return m_runAtStartup; }
    void SetRunAtStartup(bool v) { Assign(m_runAtStartup, v, "RunAtStartup"); }
    bool GetUsePGOnline() const { return m_usePGOnline; }
    void SetUsePGOnline(bool v) { Assign(m_usePGOnline, v, "UsePGOnline"); }
    bool GetProxyEnabled() const { return m_proxyEnabled; }
    void SetProxyEnabled(bool v) { Assign(m_proxyEnabled, v, "ProxyEnabled"); }
    bool GetProxyAuthEnabled() const { return m_proxyAuthEnabled; }
    void SetProxyAuthEnabled(bool v) { Assign(m_proxyAuthEnabled, v, "ProxyAuthEnabled"); }
    bool GetWarningManySMS() const { return m_warningManySMS; }
    void SetWarningManySMS(bool v) { Assign(m_warningManySMS, v, "WarningManySMS"); }
    bool GetWarningMediumQuality() const { return m_warningMediumQuality; }
    void SetWarningMediumQuality(bool v) { Assign(m_warningMediumQuality, v, "WarningMediumQuality"); }
    bool GetWarningUnicode() const { return m_warningUnicode; }
    void SetWarningUnicode(bool v) { Assign(m_warningUnicode, v, "WarningUnicode"); }
    QString GetProxyAddress() const { return m_proxyAddress; }
    void SetProxyAddress(const QString& v) { Assign(m_proxyAddress, v, "ProxyAddress"); }
    QString GetProxyUsername() const { return m_proxyUsername; }
    void SetProxyUsername(const QString& v) { Assign(m_proxyUsername, v, "ProxyUsername"); }
    QString GetProxyPassword() const { return m_proxyPassword; }
    void SetProxyPassword(const QString& v) { Assign(m_proxyPassword, v, "ProxyPassword"); }
    int GetProxyPort() const { return m_proxyPort; }
    void SetProxyPort(int port); // bounded to 0..65535 like its spin box

    const TEndpoints& GetEndpoints() const { return m_endpoints; }

    // Writes (or, for nullopt, deletes) one value outside the holder's own save: the
    // read-only values such as ContactsFile and the endpoints, and brelmont-cli's unset.
    bool WriteStoredValue(const QString& key, const QString& name, const std::optional<RegValue>& value);

    // Plain fields, kept current by the main window and the prefix choosers.
    qint32 LastX = 100;
    qint32 LastY = 50;
    qint32 LastW = 487;
    qint32 LastH = 635;
    bool FirstTimeClose = false;
    QString LastIntPrefix;
    QString ContactsFile = QStringLiteral("PBook.xml");

signals:
    void valueChanged(const QString& name);
    // After every load and save: the language to apply to the dialog and the global texts.
    void languageApplied(const QString& code);
    // Also tells where an unreadable settings file was kept aside (LastError() stays empty then).
    void registryError(const QString& message);

private:
    template <typename T> void Assign(T& field, const T& value, const char* name)
    {
        if (field == value)
            return;
        field = value;
        emit valueChanged(QString::fromLatin1(name));
    }
    void ReloadStore(); // re-reads the file, noting where an unparsable one was kept
    void SaveStore();   // writes the file, telling where a damaged one was kept
    void ReadValues();
    void CopyLegacyKey();
    void WriteNow(const char* name, const RegValue& value);
    void UpdateAutostart();
    void ReportError(const QString& message);

    RegistryStore m_store;
    ISettingsWindowHost* m_host = nullptr;
    QString m_programPath;
    QString m_lastError;
    QString m_quarantined;
    QString m_damagedCopy;
    bool m_hadTypeErrors = false;
    bool m_loading = false;

    bool m_startUpConnection = true;
    bool m_disableSound = false;
    bool m_checkForUpdates = true;
    bool m_runAtStartup = true;
    bool m_usePGOnline = false;
    QString m_userName;
    bool m_rememberPwd = false;
    QString m_password;
    QString m_language; // empty: no entry selected
    QString m_sender = QStringLiteral("Brelmont");
    bool m_firstTime = true;
    double m_nextUpdateExpire = 0;
    int m_timeZone = 0;
    bool m_proxyEnabled = false;
    QString m_proxyAddress;
    int m_proxyPort = 0;
    bool m_proxyAuthEnabled = false;
    QString m_proxyUsername;
    QString m_proxyPassword;
    bool m_warningMediumQuality = true;
    bool m_warningUnicode = true;
    bool m_warningManySMS = true;
    TEndpoints m_endpoints;
};
