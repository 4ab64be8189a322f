#include "settings/SettingsHolder.h"

#include "net/Cipher.h"
#include "platform/Autostart.h"
#include "platform/OleDate.h"
#include "platform/Paths.h"
#include "platform/SystemFacts.h"
#include "platform/Win1252.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

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
    : QObject(parent), m_store(std::move(registryPath)), m_programPath(DefaultProgramPath())
{
    for (const SettingSpec& spec : SettingsTable())
        m_values[static_cast<size_t>(spec.id)] = spec.defaultValue();
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
        m_host->ResizeTo(LastW(), LastH());
        if (placeMainWindow)
            m_host->MoveTo(LastX(), LastY());
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

QVariant TSettingsHolder::ReadStored(const SettingSpec& spec) const
{
    const QString key = SettingsKey();
    const QString name = spec.Name();
    switch (spec.type) {
    case SettingType::Bool:
        return m_store.ReadBool(key, name);
    case SettingType::Integer:
    case SettingType::Port:
        return m_store.ReadInteger(key, name);
    case SettingType::String:
        return m_store.ReadString(key, name);
    case SettingType::Secret:
        return Decipher(m_store.ReadString(key, name));
    case SettingType::DateTime:
        return m_store.ReadDateTime(key, name);
    }
    return {};
}

void TSettingsHolder::ReadValues()
{
    // Values are read in the table's order. A value of the wrong type is reported and
    // keeps its default, and reading goes on: stopping there would let the next save
    // overwrite every later value with its default.
    QString firstError;
    for (const SettingSpec& spec : SettingsTable()) {
        try {
            QVariant value =
                m_store.ValueExists(SettingsKey(), spec.Name()) ? ReadStored(spec) : spec.defaultValue();
            if (spec.id == Setting::Sender && LegacyDefaultSenders().contains(value.toString()))
                value = QStringLiteral("Brelmont");
            SetValue(spec.id, value);
        } catch (const ERegistryException& e) {
            if (firstError.isEmpty())
                firstError = e.Message();
            // The values written at once are rewritten on every load: a damaged one gets the
            // value the holder keeps (nothing else would repair NextUpdateExpire).
            if (spec.writeAtOnce)
                SetValue(spec.id, Value(spec.id));
        }
    }
    m_hadTypeErrors = !firstError.isEmpty();
    if (m_hadTypeErrors)
        throw ERegistryException(firstError);
}

void TSettingsHolder::WriteStored(Setting id)
{
    const SettingSpec& spec = SpecOf(id);
    const QString key = SettingsKey();
    const QString name = spec.Name();
    switch (spec.type) {
    case SettingType::Bool:
        m_store.WriteBool(key, name, Flag(id));
        break;
    case SettingType::Integer:
    case SettingType::Port:
        m_store.WriteInteger(key, name, Number(id));
        break;
    case SettingType::String:
        m_store.WriteString(key, name, EffectiveValue(id).toString());
        break;
    case SettingType::Secret:
        // An empty field is saved as the demo account; a password only while it is remembered.
        m_store.WriteString(key, name,
                            Encipher(id == Setting::Password && !GetRememberPwd()
                                         ? QString()
                                         : EffectiveValue(id).toString()));
        break;
    case SettingType::DateTime:
        m_store.WriteDateTime(key, name, Value(id).toDouble());
        break;
    }
}

bool TSettingsHolder::SaveSettings()
{
    m_lastError.clear();
    try {
        ReloadStore();
        m_store.CreateKey(SettingsKey());
        if (m_host) {
            const QPoint pos = m_host->CurrentPosition();
            SetWindowPlace(pos.x(), pos.y(), LastW(), LastH());
        }
        for (Setting id : SaveOrder()) {
            WriteStored(id);
            // The check box itself stays as it is.
            if (id == Setting::ProxyAddress && GetProxyAddress().trimmed().isEmpty())
                m_store.WriteBool(SettingsKey(), SpecOf(Setting::ProxyEnabled).Name(), false);
        }
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
    const bool written = GetRunAtStartup() ? Autostart::Set(AutostartName(), m_programPath)
                                           : Autostart::Remove(AutostartName());
    if (!written)
        ReportError(QStringLiteral("Failed to set data for '%1'").arg(AutostartName()));
    for (const QString& legacy : LegacyAutostartNames())
        Autostart::Remove(legacy);
}

void TSettingsHolder::WriteNow(const SettingSpec& spec)
{
    try {
        // Inside LoadSettings the store already holds the file being read.
        if (!m_loading)
            ReloadStore();
        WriteStored(spec.id);
        SaveStore();
    } catch (const ERegistryException&) {
        ReportError(QStringLiteral("Failed to set data for '%1'").arg(spec.Name()));
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

QVariant TSettingsHolder::Normalised(Setting id, const QVariant& value) const
{
    switch (SpecOf(id).type) {
    case SettingType::Bool:
        return value.toBool();
    case SettingType::Integer:
        break;
    case SettingType::Port:
        return std::clamp(value.toInt(), 0, 65535);
    case SettingType::String:
    case SettingType::Secret:
        break;
    case SettingType::DateTime:
        return value.toDouble();
    }
    switch (id) {
    case Setting::UserName:
        return value.toString().compare(DemoUserName(), Qt::CaseInsensitive) == 0 ? QString()
                                                                                  : value.toString();
    case Setting::Password:
        return value.toString().compare(DemoPassword(), Qt::CaseInsensitive) == 0 ? QString()
                                                                                  : value.toString();
    case Setting::Sender: {
        const QString text = value.toString();
        return IsNumericSender(text) ? text : text.left(AlphanumericSenderMaxLength);
    }
    case Setting::Language: {
        const QString code = value.toString();
        if (code == u"ENG" || code == u"ITA" || code == u"POR")
            return code;
        const int locale = SystemFacts::LocaleId();
        return (locale == 0x0410 || locale == 0x0810) ? QStringLiteral("ITA") : QStringLiteral("ENG");
    }
    case Setting::TimeZone: {
        int hours = value.toInt();
        if (hours < -12 || hours > 12)
            hours = SystemTimeZoneHours();
        // Hours outside the list (a system zone of +13 or +14) select "GMT".
        return (hours >= -12 && hours <= 12) ? hours : 0;
    }
    default:
        break;
    }
    return SpecOf(id).type == SettingType::Integer ? QVariant(value.toInt()) : QVariant(value.toString());
}

void TSettingsHolder::SetValue(Setting id, const QVariant& value)
{
    const QVariant normalised = Normalised(id, value);
    QVariant& field = m_values[static_cast<size_t>(id)];
    const SettingSpec& spec = SpecOf(id);
    if (field != normalised) {
        field = normalised;
        emit valueChanged(spec.Name());
    }
    if (spec.writeAtOnce)
        WriteNow(spec);
}

QVariant TSettingsHolder::EffectiveValue(Setting id) const
{
    switch (id) {
    case Setting::UserName:
        return GetUserName();
    case Setting::Password:
        return GetPassword();
    case Setting::Language:
        return GetLanguage();
    default:
        return Value(id);
    }
}

void TSettingsHolder::SetWindowPlace(qint32 x, qint32 y, qint32 width, qint32 height)
{
    SetValue(Setting::LastX, x);
    SetValue(Setting::LastY, y);
    SetValue(Setting::LastW, width);
    SetValue(Setting::LastH, height);
}

QString TSettingsHolder::GetUserName() const
{
    return UserNameField().isEmpty() ? DemoUserName() : UserNameField();
}

QString TSettingsHolder::GetPassword() const
{
    return PasswordField().isEmpty() ? DemoPassword() : PasswordField();
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
    return IsNumericSender(GetSender()) ? NumericSenderMaxLength : AlphanumericSenderMaxLength;
}

QString TSettingsHolder::GetLanguage(const QString& fallback) const
{
    const QString code = Text(Setting::Language);
    return code.isEmpty() ? fallback : code;
}

int TSettingsHolder::SystemTimeZoneHours()
{
    return RoundHalfEven(SystemFacts::TimeZoneBiasMinutes(), -60);
}
