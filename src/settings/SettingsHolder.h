#pragma once

#include "platform/RegistryStore.h"
#include "settings/Endpoints.h"
#include "settings/SettingsTable.h"

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
// LoadSettings(false). Values are named by their registry value names and described once,
// in SettingsTable: loading, saving, brelmont-cli config and the dialog all go by it.
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

    // Every setting by its table row; Value gives the field as held (an empty user name for
    // the demo account), SetValue runs the setting's rule, emits valueChanged when the value
    // changes and writes the values marked so in the table at once.
    QVariant Value(Setting id) const { return m_values[static_cast<size_t>(id)]; }
    void SetValue(Setting id, const QVariant& value);
    // The value as readers see it: the demo account for empty credentials, the language code.
    QVariant EffectiveValue(Setting id) const;

    QString GetUserName() const;
    void SetUserName(const QString& value) { SetValue(Setting::UserName, value); }
    QString GetPassword() const;
    void SetPassword(const QString& value) { SetValue(Setting::Password, value); }
    // The fields as typed, empty for the demo account.
    QString UserNameField() const { return Text(Setting::UserName); }
    QString PasswordField() const { return Text(Setting::Password); }
    bool GetRememberPwd() const { return Flag(Setting::RememberPwd); }
    void SetRememberPwd(bool value) { SetValue(Setting::RememberPwd, value); }

    QString GetSender() const { return Text(Setting::Sender); }
    void SetSender(const QString& value) { SetValue(Setting::Sender, value); } // runs the sender length rule
    int SenderMaxLength() const;
    static bool IsNumericSender(const QString& text);

    // "ENG", "ITA" or "POR"; with no language selected, returns fallback unchanged.
    QString GetLanguage(const QString& fallback = QString()) const;
    void SetLanguage(const QString& code) { SetValue(Setting::Language, code); }
    int GetTimeZone() const { return Number(Setting::TimeZone); }
    void SetTimeZone(int hours) { SetValue(Setting::TimeZone, hours); }
    static int SystemTimeZoneHours();

    bool IsFirstTime() const { return Flag(Setting::FirstTime); }
    void SetFirstTime(bool value) { SetValue(Setting::FirstTime, value); } // written at once
    double GetNextUpdateExpire() const { return Value(Setting::NextUpdateExpire).toDouble(); }
    void SetNextUpdateExpire(double days) { SetValue(Setting::NextUpdateExpire, days); } // written at once

    bool GetStartUpConnection() const { return Flag(Setting::StartUpConnection); }
    void SetStartUpConnection(bool v) { SetValue(Setting::StartUpConnection, v); }
    bool GetDisableSound() const { return Flag(Setting::DisableSound); }
    void SetDisableSound(bool v) { SetValue(Setting::DisableSound, v); }
    bool GetCheckForUpdatesOnStartup() const { return Flag(Setting::CheckForUpdatesOnStartup); }
    void SetCheckForUpdatesOnStartup(bool v) { SetValue(Setting::CheckForUpdatesOnStartup, v); }
    bool GetRunAtStartup() const { return Flag(Setting::RunAtStartup); }
    void SetRunAtStartup(bool v) { SetValue(Setting::RunAtStartup, v); }
    bool GetUsePGOnline() const { return Flag(Setting::UsePGOnline); }
    void SetUsePGOnline(bool v) { SetValue(Setting::UsePGOnline, v); }
    bool GetProxyEnabled() const { return Flag(Setting::ProxyEnabled); }
    void SetProxyEnabled(bool v) { SetValue(Setting::ProxyEnabled, v); }
    bool GetProxyAuthEnabled() const { return Flag(Setting::ProxyAuthEnabled); }
    void SetProxyAuthEnabled(bool v) { SetValue(Setting::ProxyAuthEnabled, v); }
    bool GetWarningManySMS() const { return Flag(Setting::WarningManySMS); }
    void SetWarningManySMS(bool v) { SetValue(Setting::WarningManySMS, v); }
    bool GetWarningMediumQuality() const { return Flag(Setting::WarningMediumQuality); }
    void SetWarningMediumQuality(bool v) { SetValue(Setting::WarningMediumQuality, v); }
    bool GetWarningUnicode() const { return Flag(Setting::WarningUnicode); }
    void SetWarningUnicode(bool v) { SetValue(Setting::WarningUnicode, v); }
    QString GetProxyAddress() const { return Text(Setting::ProxyAddress); }
    void SetProxyAddress(const QString& v) { SetValue(Setting::ProxyAddress, v); }
    QString GetProxyUsername() const { return Text(Setting::ProxyUsername); }
    void SetProxyUsername(const QString& v) { SetValue(Setting::ProxyUsername, v); }
    QString GetProxyPassword() const { return Text(Setting::ProxyPassword); }
    void SetProxyPassword(const QString& v) { SetValue(Setting::ProxyPassword, v); }
    int GetProxyPort() const { return Number(Setting::ProxyPort); }
    void SetProxyPort(int port)
    {
        SetValue(Setting::ProxyPort, port);
    } // bounded to 0..65535 like its spin box

    // The main window's place, the first-close notice, the last country chosen, the previous
    // phone book's file name (read only: SaveSettings never writes it).
    qint32 LastX() const { return Number(Setting::LastX); }
    qint32 LastY() const { return Number(Setting::LastY); }
    qint32 LastW() const { return Number(Setting::LastW); }
    qint32 LastH() const { return Number(Setting::LastH); }
    void SetWindowPlace(qint32 x, qint32 y, qint32 width, qint32 height);
    bool GetFirstTimeClose() const { return Flag(Setting::FirstTimeClose); }
    void SetFirstTimeClose(bool v) { SetValue(Setting::FirstTimeClose, v); }
    QString GetLastIntPrefix() const { return Text(Setting::LastIntPrefix); }
    void SetLastIntPrefix(const QString& v) { SetValue(Setting::LastIntPrefix, v); }
    QString GetContactsFile() const { return Text(Setting::ContactsFile); }

    const TEndpoints& GetEndpoints() const { return m_endpoints; }

    // Writes (or, for nullopt, deletes) one value outside the holder's own save: the
    // read-only values such as ContactsFile and the endpoints, and brelmont-cli's unset.
    bool WriteStoredValue(const QString& key, const QString& name, const std::optional<RegValue>& value);

signals:
    void valueChanged(const QString& name);
    // After every load and save: the language to apply to the dialog and the global texts.
    void languageApplied(const QString& code);
    // Also tells where an unreadable settings file was kept aside (LastError() stays empty then).
    void registryError(const QString& message);

private:
    bool Flag(Setting id) const { return Value(id).toBool(); }
    int Number(Setting id) const { return Value(id).toInt(); }
    QString Text(Setting id) const { return Value(id).toString(); }
    QVariant Normalised(Setting id, const QVariant& value) const;
    void ReloadStore(); // re-reads the file, noting where an unparsable one was kept
    void SaveStore();   // writes the file, telling where a damaged one was kept
    void ReadValues();
    QVariant ReadStored(const SettingSpec& spec) const;
    void WriteStored(Setting id);
    void CopyLegacyKey();
    void WriteNow(const SettingSpec& spec);
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
    std::array<QVariant, SettingCount> m_values;
    TEndpoints m_endpoints;
};
