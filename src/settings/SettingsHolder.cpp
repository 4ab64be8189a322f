#include "settings/SettingsHolder.h"

#include "net/Cipher.h"
#include "platform/Autostart.h"
#include "platform/OleDate.h"
#include "platform/Paths.h"
#include "platform/SystemFacts.h"
#include "platform/Win1252.h"

#include <QDir>
#include <QFileInfo>
#include <functional>

namespace {
QString Encipher(const QString& value)
{
    return QString::fromLatin1(EncodeBase64(EncryptString(ToWin1252(value))));
}

QString Decipher(const QString& stored)
{
    return FromWin1252(DecryptString(DecodeBase64(stored.toLatin1())));
}

// The GUI's executable: this program itself, or brelmont beside it (or in the build tree).
QString DefaultProgramPath()
{
    const QString self = ExecutablePath();
    if (self.isEmpty() || QFileInfo(self).fileName() == u"brelmont")
        return self;
    const QDir folder(ExecutableFolder());
    for (const QString& candidate :
         {folder.filePath(QStringLiteral("brelmont")), folder.filePath(QStringLiteral("../app/brelmont"))})
        if (QFileInfo(candidate).isExecutable())
            return QDir::cleanPath(QFileInfo(candidate).absoluteFilePath());
    return folder.filePath(QStringLiteral("brelmont"));
}

// Hands the stored value to set; when it cannot be read, hands over current and rethrows.
template <typename T, typename Read, typename Set> void ReadAndRewrite(T current, Read read, Set set)
{
    std::optional<T> value;
    try {
        value = read();
    } catch (const ERegistryException&) {
        set(current);
        throw;
    }
    set(*value);
}

// Rounds to the nearest integer, a half going to the even neighbour.
int RoundHalfEven(int numerator, int denominator)
{
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    int quotient = numerator / denominator;
    int remainder = numerator % denominator;
    if (remainder < 0) {
        --quotient;
        remainder += denominator;
    }
    if (2 * remainder > denominator || (2 * remainder == denominator && quotient % 2 != 0))
        ++quotient;
    return quotient;
}
} // namespace

QString TSettingsHolder::SettingsKey()
{
    return QStringLiteral("Software\\Dalvenor");
}

QString TSettingsHolder::LegacyKey()
{
    return QStringLiteral("Software\\Mirabex");
}

QString TSettingsHolder::DemoUserName()
{
    return QStringLiteral("demo");
}

QString TSettingsHolder::DemoPassword()
{
    return QStringLiteral("prova");
}

QStringList TSettingsHolder::LegacyDefaultSenders()
{
    return {QStringLiteral("www.mirabex.example"), QStringLiteral("www.dalvenor.example")};
}

QStringList TSettingsHolder::LegacyAutostartNames()
{
    return {QStringLiteral("Mirabex"), QStringLiteral("Corvinet"), QStringLiteral("Olvaro"),
            QStringLiteral("TarvoSMS")};
}

TSettingsHolder::TSettingsHolder(QString registryPath, QObject* parent)
    : QObject(parent), m_store(std::move(registryPath)), m_programPath(DefaultProgramPath()),
      m_nextUpdateExpire(DateTimeToDays(SystemFacts::Now().addDays(-1)))
{
}

TSettingsHolder::~TSettingsHolder() = default;

void TSettingsHolder::ReportError(const QString& message)
{
    m_lastError = message;
    emit registryError(message);
}

void TSettingsHolder::ReloadStore()
{
    switch (m_store.Load()) {
    case RegistryStore::LoadStatus::Unusable:
        // Nothing can be read or written there; every load and save fails with this.
        throw ERegistryException(
            QStringLiteral("The settings file cannot be used: %1.").arg(m_store.LoadProblem()));
    case RegistryStore::LoadStatus::Unparsable:
        m_quarantined = m_store.QuarantinedPath();
        // Told like a registry error, so the user learns where the old file went; the load
        // itself goes on with defaults and is no failure.
        emit registryError(
            m_quarantined.isEmpty()
                ? QStringLiteral("The settings file could not be read: %1.").arg(m_store.LoadProblem())
                : QStringLiteral("The settings file could not be read and was kept as '%1' (%2).")
                      .arg(m_quarantined, m_store.LoadProblem()));
        break;
    default:
        break;
    }
}

void TSettingsHolder::SaveStore()
{
    const bool damaged = m_store.DamagedLines() > 0;
    m_store.Save();
    if (damaged && !m_store.DamagedCopyPath().isEmpty()) {
        m_damagedCopy = m_store.DamagedCopyPath();
        emit registryError(QStringLiteral("Some lines of the settings file could not be read; the file as it "
                                          "was is kept as '%1'.")
                               .arg(m_damagedCopy));
    }
}

bool TSettingsHolder::LoadSettings(bool placeMainWindow)
{
    m_lastError.clear();
    m_hadTypeErrors = false;
    m_loading = true;
    bool ok = true;
    try {
        ReloadStore();
        CopyLegacyKey();
        if (!m_store.KeyExists(SettingsKey())) {
            m_store.CreateKey(SettingsKey());
            SaveStore();
        }
        ReadValues();
    } catch (const ERegistryException& e) {
        ReportError(e.Message());
        ok = false;
    }
    m_loading = false;
    // The endpoints are read on their own so a damaged settings value does not hide them.
    QString endpointError;
    m_endpoints = TEndpoints::Read(m_store, &endpointError);
    if (!endpointError.isEmpty()) {
        if (ok)
            ReportError(endpointError);
        ok = false;
    }
    if (m_host) {
        m_host->ResizeTo(LastW, LastH);
        if (placeMainWindow)
            m_host->MoveTo(LastX, LastY);
    }
    emit languageApplied(GetLanguage());
    return ok;
}

void TSettingsHolder::CopyLegacyKey()
{
    if (!m_store.KeyExists(LegacyKey()) || m_store.KeyExists(SettingsKey()))
        return;
    m_store.CopyKey(LegacyKey(), SettingsKey());
    // The earlier product kept this flag as text.
    QString flag = QStringLiteral("1");
    if (auto v = m_store.Value(SettingsKey(), QStringLiteral("StartUpConnection"))) {
        if (v->type == RegType::String || v->type == RegType::ExpandString)
            flag = v->text;
        else if (v->type == RegType::Dword)
            flag = QString::number(v->dword);
        else
            flag.clear();
    }
    m_store.WriteBool(SettingsKey(), QStringLiteral("StartUpConnection"), flag == u"1");
    SaveStore();
}

void TSettingsHolder::ReadValues()
{
    const QString key = SettingsKey();
    // Values are read in the table's order. A value of the wrong type is reported and
    // keeps its default, and reading goes on: stopping there would let the next save
    // overwrite every later value with its default.
    QString firstError;
    auto read = [&](const std::function<void()>& step) {
        try {
            step();
        } catch (const ERegistryException& e) {
            if (firstError.isEmpty())
                firstError = e.Message();
        }
    };
    auto present = [&](const char* name) { return m_store.ValueExists(key, QString::fromLatin1(name)); };
    auto boolValue = [&](const char* name, bool def) {
        return present(name) ? m_store.ReadBool(key, QString::fromLatin1(name)) : def;
    };
    auto intValue = [&](const char* name, qint32 def) {
        return present(name) ? m_store.ReadInteger(key, QString::fromLatin1(name)) : def;
    };
    auto stringValue = [&](const char* name, const QString& def) {
        return present(name) ? m_store.ReadString(key, QString::fromLatin1(name)) : def;
    };

    read([&] { SetStartUpConnection(boolValue("StartUpConnection", true)); });
    read([&] { SetDisableSound(boolValue("DisableSound", false)); });
    read([&] { SetCheckForUpdatesOnStartup(boolValue("CheckForUpdatesOnStartup", true)); });
    read([&] { SetRunAtStartup(boolValue("RunAtStartup", true)); });
    read([&] { SetUsePGOnline(boolValue("UsePGOnline", false)); });
    read([&] { SetUserName(Decipher(stringValue("UserName", {}))); });
    read([&] { SetRememberPwd(boolValue("RememberPwd", false)); });
    read([&] { SetPassword(Decipher(stringValue("Password", {}))); });
    read([&] { SetLanguage(stringValue("Language", {})); });
    read([&] {
        const QString sender = stringValue("Sender", QStringLiteral("Brelmont"));
        SetSender(LegacyDefaultSenders().contains(sender) ? QStringLiteral("Brelmont") : sender);
    });
    // These two are rewritten on every load; a damaged one with the value the holder keeps
    // (SaveSettings never writes NextUpdateExpire, so nothing else would repair it).
    read([&] {
        ReadAndRewrite(
            m_firstTime, [&] { return boolValue("FirstTime", true); }, [&](bool v) { SetFirstTime(v); });
    });
    read([&] {
        ReadAndRewrite(
            m_nextUpdateExpire,
            [&] {
                return present("NextUpdateExpire")
                           ? m_store.ReadDateTime(key, QStringLiteral("NextUpdateExpire"))
                           : DateTimeToDays(SystemFacts::Now().addDays(-1));
            },
            [&](double v) { SetNextUpdateExpire(v); });
    });
    read([&] { FirstTimeClose = boolValue("FirstTimeClose", false); });
    read([&] { SetTimeZone(present("TimeZone") ? intValue("TimeZone", 0) : SystemTimeZoneHours()); });
    read([&] { ContactsFile = stringValue("ContactsFile", QStringLiteral("PBook.xml")); });
    read([&] { LastX = intValue("LastX", 100); });
    read([&] { LastY = intValue("LastY", 50); });
    read([&] { LastW = intValue("LastW", 487); });
    read([&] { LastH = intValue("LastH", 635); });
    read([&] { SetProxyEnabled(boolValue("ProxyEnabled", false)); });
    read([&] { SetProxyAddress(stringValue("ProxyAddress", {})); });
    read([&] { SetProxyPort(intValue("ProxyPort", 0)); });
    read([&] { SetProxyAuthEnabled(boolValue("ProxyAuthEnabled", false)); });
    read([&] { SetProxyUsername(stringValue("ProxyUsername", {})); });
    read([&] { SetProxyPassword(stringValue("ProxyPassword", {})); });
    read([&] { LastIntPrefix = stringValue("LastIntPrefix", {}); });
    read([&] { SetWarningMediumQuality(boolValue("WarningMediumQuality", true)); });
    read([&] { SetWarningUnicode(boolValue("WarningUnicode", true)); });
    read([&] { SetWarningManySMS(boolValue("WarningManySMS", true)); });
    m_hadTypeErrors = !firstError.isEmpty();
    if (m_hadTypeErrors)
        throw ERegistryException(firstError);
}

bool TSettingsHolder::SaveSettings()
{
    m_lastError.clear();
    const QString key = SettingsKey();
    try {
        ReloadStore();
        m_store.CreateKey(key);
        auto b = [&](const char* name, bool v) { m_store.WriteBool(key, QString::fromLatin1(name), v); };
        auto i = [&](const char* name, qint32 v) { m_store.WriteInteger(key, QString::fromLatin1(name), v); };
        auto s = [&](const char* name, const QString& v) {
            m_store.WriteString(key, QString::fromLatin1(name), v);
        };

        b("StartUpConnection", m_startUpConnection);
        b("CheckForUpdatesOnStartup", m_checkForUpdates);
        b("RunAtStartup", m_runAtStartup);
        b("UsePGOnline", m_usePGOnline);
        b("DisableSound", m_disableSound);
        s("UserName", Encipher(GetUserName()));
        b("RememberPwd", m_rememberPwd);
        s("Password", Encipher(m_rememberPwd ? GetPassword() : QString()));
        s("Language", GetLanguage());
        s("Sender", m_sender);
        b("FirstTime", m_firstTime);
        b("FirstTimeClose", FirstTimeClose);
        i("TimeZone", m_timeZone);
        if (m_host) {
            const QPoint pos = m_host->CurrentPosition();
            LastX = pos.x();
            LastY = pos.y();
        }
        i("LastX", LastX);
        i("LastY", LastY);
        i("LastW", LastW);
        i("LastH", LastH);
        b("ProxyEnabled", m_proxyEnabled);
        s("ProxyAddress", m_proxyAddress);
        if (m_proxyAddress.trimmed().isEmpty())
            b("ProxyEnabled", false); // the check box itself stays as it is
        i("ProxyPort", m_proxyPort);
        b("ProxyAuthEnabled", m_proxyAuthEnabled);
        s("ProxyUsername", m_proxyUsername);
        s("ProxyPassword", m_proxyPassword);
        b("WarningMediumQuality", m_warningMediumQuality);
        b("WarningManySMS", m_warningManySMS);
        b("WarningUnicode", m_warningUnicode);
        s("LastIntPrefix", LastIntPrefix);
        SaveStore();
    } catch (const ERegistryException& e) {
        ReportError(e.Message());
        return false;
    }
    UpdateAutostart();
    emit languageApplied(GetLanguage());
    if (m_host)
        m_host->ResetCredit();
    return m_lastError.isEmpty();
}

void TSettingsHolder::UpdateAutostart()
{
    const bool written =
        m_runAtStartup ? Autostart::Set(AutostartName(), m_programPath) : Autostart::Remove(AutostartName());
    if (!written)
        ReportError(QStringLiteral("Failed to set data for '%1'").arg(AutostartName()));
    for (const QString& legacy : LegacyAutostartNames())
        Autostart::Remove(legacy);
}

void TSettingsHolder::WriteNow(const char* name, const RegValue& value)
{
    const QString key = SettingsKey();
    try {
        // Inside LoadSettings the store already holds the file being read.
        if (!m_loading)
            ReloadStore();
        m_store.SetValue(key, QString::fromLatin1(name), value);
        SaveStore();
    } catch (const ERegistryException&) {
        ReportError(QStringLiteral("Failed to set data for '%1'").arg(QString::fromLatin1(name)));
    }
}

bool TSettingsHolder::WriteStoredValue(const QString& key, const QString& name,
                                       const std::optional<RegValue>& value)
{
    try {
        ReloadStore();
        if (value)
            m_store.SetValue(key, name, *value);
        else
            m_store.DeleteValue(key, name);
        SaveStore();
    } catch (const ERegistryException&) {
        ReportError(QStringLiteral("Failed to set data for '%1'").arg(name));
        return false;
    }
    if (key.compare(TEndpoints::KeyPath(), Qt::CaseInsensitive) == 0) {
        QString endpointError;
        m_endpoints = TEndpoints::Read(m_store, &endpointError);
        if (!endpointError.isEmpty())
            ReportError(endpointError);
    }
    return true;
}

QString TSettingsHolder::GetUserName() const
{
    return m_userName.isEmpty() ? DemoUserName() : m_userName;
}

void TSettingsHolder::SetUserName(const QString& value)
{
    Assign(m_userName, value.compare(DemoUserName(), Qt::CaseInsensitive) == 0 ? QString() : value,
           "UserName");
}

QString TSettingsHolder::GetPassword() const
{
    return m_password.isEmpty() ? DemoPassword() : m_password;
}

void TSettingsHolder::SetPassword(const QString& value)
{
    Assign(m_password, value.compare(DemoPassword(), Qt::CaseInsensitive) == 0 ? QString() : value,
           "Password");
}

void TSettingsHolder::SetRememberPwd(bool value)
{
    Assign(m_rememberPwd, value, "RememberPwd");
}

bool TSettingsHolder::IsNumericSender(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!(c >= u'0' && c <= u'9') && !(i == 0 && c == u'+'))
            return false;
    }
    return true;
}

int TSettingsHolder::SenderMaxLength() const
{
    return IsNumericSender(m_sender) ? NumericSenderMaxLength : AlphanumericSenderMaxLength;
}

void TSettingsHolder::SetSender(const QString& value)
{
    Assign(m_sender, IsNumericSender(value) ? value : value.left(AlphanumericSenderMaxLength), "Sender");
}

QString TSettingsHolder::GetLanguage(const QString& fallback) const
{
    return m_language.isEmpty() ? fallback : m_language;
}

void TSettingsHolder::SetLanguage(const QString& code)
{
    QString chosen;
    if (code == u"ENG" || code == u"ITA" || code == u"POR") {
        chosen = code;
    } else {
        const int locale = SystemFacts::LocaleId();
        chosen = (locale == 0x0410 || locale == 0x0810) ? QStringLiteral("ITA") : QStringLiteral("ENG");
    }
    Assign(m_language, chosen, "Language");
}

int TSettingsHolder::SystemTimeZoneHours()
{
    return RoundHalfEven(SystemFacts::TimeZoneBiasMinutes(), -60);
}

void TSettingsHolder::SetTimeZone(int hours)
{
    if (hours < -12 || hours > 12)
        hours = SystemTimeZoneHours();
    // Hours outside the list (a system zone of +13 or +14) select "GMT".
    Assign(m_timeZone, (hours >= -12 && hours <= 12) ? hours : 0, "TimeZone");
}

void TSettingsHolder::SetProxyPort(int port)
{
    Assign(m_proxyPort, std::clamp(port, 0, 65535), "ProxyPort");
}

void TSettingsHolder::SetFirstTime(bool value)
{
    Assign(m_firstTime, value, "FirstTime");
    WriteNow("FirstTime", RegValue::Dword(value ? 1 : 0));
}

void TSettingsHolder::SetNextUpdateExpire(double days)
{
    Assign(m_nextUpdateExpire, days, "NextUpdateExpire");
    WriteNow("NextUpdateExpire", RegValue::DateTime(days));
}
