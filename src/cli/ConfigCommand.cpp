#include "cli/CliCommand.h"
#include "platform/OleDate.h"
#include "settings/SettingsHolder.h"

#include <QDateTime>
#include <optional>

namespace {

const QString kEndpointsPrefix = QStringLiteral("Endpoints\\");

// "Endpoints\NAME" (or "Endpoints/NAME", easier to type in a shell): the NAME part, or nothing.
std::optional<QString> EndpointPart(const QString& name)
{
    const qsizetype length = kEndpointsPrefix.size();
    if (name.size() <= length || !name.startsWith(kEndpointsPrefix.left(length - 1), Qt::CaseInsensitive) ||
        (name[length - 1] != u'\\' && name[length - 1] != u'/'))
        return std::nullopt;
    return name.mid(length);
}

SettingType EndpointKind(TEndpoints::ValueKind kind)
{
    return kind == TEndpoints::ValueKind::Port ? SettingType::Port : SettingType::String;
}

// A value as the command line shows it.
QString ShownValue(const TSettingsHolder& holder, Setting id)
{
    const QVariant value = holder.EffectiveValue(id);
    switch (SpecOf(id).type) {
    case SettingType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case SettingType::Integer:
    case SettingType::Port:
        return QString::number(value.toInt());
    case SettingType::DateTime:
        return DaysToDateTime(value.toDouble()).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case SettingType::String:
    case SettingType::Secret:
        break;
    }
    return value.toString();
}

// Parses VALUE for a type; nothing when it is not of that type.
std::optional<QVariant> ParseValue(SettingType type, const QString& text, QString* problem)
{
    switch (type) {
    case SettingType::Bool: {
        const QString t = text.toLower();
        if (t == u"1" || t == u"true" || t == u"yes" || t == u"on")
            return QVariant(true);
        if (t == u"0" || t == u"false" || t == u"no" || t == u"off")
            return QVariant(false);
        *problem = QStringLiteral("expects a Boolean (1/0, true/false, yes/no, on/off)");
        return std::nullopt;
    }
    case SettingType::Integer: {
        bool ok = false;
        const int v = text.toInt(&ok);
        if (ok)
            return QVariant(v);
        *problem = QStringLiteral("expects a 32-bit integer");
        return std::nullopt;
    }
    case SettingType::Port: {
        bool ok = false;
        const uint v = text.toUInt(&ok);
        if (ok && v <= 65535)
            return QVariant(static_cast<int>(v));
        *problem = QStringLiteral("expects a port number 0-65535");
        return std::nullopt;
    }
    case SettingType::String:
    case SettingType::Secret:
        return QVariant(text);
    case SettingType::DateTime:
        for (const char* format : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-dd"}) {
            const QDateTime dt = QDateTime::fromString(text, QString::fromLatin1(format));
            if (dt.isValid())
                return QVariant(DateTimeToDays(dt));
        }
        *problem = QStringLiteral("expects a date-time \"YYYY-MM-DD HH:MM[:SS]\"");
        return std::nullopt;
    }
    return std::nullopt;
}

int UnknownName(const QString& name, CliIo io)
{
    io.err << "brelmont-cli: unknown setting '" << name << "' (see 'brelmont-cli config list')\n";
    return CliBadArguments;
}

// Every problem the holder meets (a file kept aside, a value it could not read) goes to stderr.
bool LoadOrReport(TSettingsHolder& holder, CliIo io)
{
    QObject::connect(&holder, &TSettingsHolder::registryError, &holder,
                     [io](const QString& message) { io.err << "brelmont-cli: " << message << '\n'; });
    return holder.LoadSettings(false);
}

int ListSettings(const TSettingsHolder& holder, CliIo io)
{
    for (const SettingSpec& spec : SettingsTable())
        io.out << spec.name << '=' << ShownValue(holder, spec.id) << '\n';
    for (const QString& name : TEndpoints::Names())
        io.out << kEndpointsPrefix << name << '=' << holder.GetEndpoints().ValueText(name) << '\n';
    return CliOk;
}

int GetSetting(const TSettingsHolder& holder, const QString& name, CliIo io)
{
    if (const auto part = EndpointPart(name)) {
        QString canonical;
        if (!TEndpoints::Describe(*part, nullptr, &canonical))
            return UnknownName(name, io);
        io.out << holder.GetEndpoints().ValueText(canonical) << '\n';
        return CliOk;
    }
    const auto id = FindSetting(name);
    if (!id)
        return UnknownName(name, io);
    io.out << ShownValue(holder, *id) << '\n';
    return CliOk;
}

int SetEndpoint(TSettingsHolder& holder, const QString& name, const std::optional<QString>& value, CliIo io)
{
    TEndpoints::ValueKind kind{};
    QString canonical;
    if (!TEndpoints::Describe(EndpointPart(name).value_or(QString()), &kind, &canonical))
        return UnknownName(name, io);
    std::optional<RegValue> stored;
    if (value) {
        QString problem;
        const auto parsed = ParseValue(EndpointKind(kind), *value, &problem);
        if (!parsed) {
            io.err << "brelmont-cli: " << kEndpointsPrefix << canonical << ' ' << problem << ", not '"
                   << *value << "'\n";
            return CliBadArguments;
        }
        stored = kind == TEndpoints::ValueKind::Port ? RegValue::Dword(static_cast<quint32>(parsed->toInt()))
                                                     : RegValue::String(parsed->toString());
    }
    if (!holder.WriteStoredValue(TEndpoints::KeyPath(), canonical, stored))
        return CliRefused; // the holder's message is on stderr already
    return CliOk;
}

// Why a rule stored another value, where the value alone does not tell.
QString RuleReason(Setting id, const TSettingsHolder& stored)
{
    if (id == Setting::ProxyEnabled && stored.GetProxyAddress().trimmed().isEmpty())
        return QStringLiteral(" (ProxyAddress is empty; set it first)");
    return {};
}

int SetSetting(TSettingsHolder& holder, Setting id, const QString& text, CliIo io)
{
    const SettingSpec& spec = SpecOf(id);
    QString problem;
    const auto value = ParseValue(spec.type, text, &problem);
    if (!value) {
        io.err << "brelmont-cli: " << spec.name << ' ' << problem << ", not '" << text << "'\n";
        return CliBadArguments;
    }
    if (spec.saveOrder < 0 && !spec.writeAtOnce) { // read-only for the program: written the way it is read
        if (!holder.WriteStoredValue(TSettingsHolder::SettingsKey(), spec.Name(),
                                     RegValue::String(value->toString())))
            return CliRefused; // the holder's message is on stderr already
        return CliOk;
    }
    holder.SetValue(id, *value);
    if (!holder.SaveSettings())
        return CliRefused; // the holder's message is on stderr already
    if (id == Setting::Password && !holder.GetRememberPwd()) {
        io.err << "brelmont-cli: RememberPwd is off, so the password is not kept "
                  "(set RememberPwd 1 first)\n";
        return CliOk;
    }
    // Say so when a rule changed the value (sender cut, time zone out of range, a language code
    // the holder does not keep, a proxy without address): compare with what a fresh start reads.
    TSettingsHolder stored(holder.RegistryPath());
    stored.LoadSettings(false);
    const QString effective = ShownValue(stored, id);
    const auto parsedEffective = ParseValue(spec.type, effective, &problem);
    if (!parsedEffective || *parsedEffective != *value)
        io.err << "brelmont-cli: " << spec.name << " stored as '" << effective << "'"
               << RuleReason(id, stored) << '\n';
    return CliOk;
}

void PrintUsage(QTextStream& err)
{
    err << "usage: brelmont-cli config list\n"
           "       brelmont-cli config get NAME\n"
           "       brelmont-cli config set NAME VALUE\n"
           "       brelmont-cli config unset NAME\n"
           "NAME is a registry value name (UserName, Sender, ProxyAddress, ...) or Endpoints\\NAME.\n";
}

} // namespace

int RunConfigCommand(const QStringList& args, CliIo io)
{
    const QString verb = args.value(0);
    const int expected = verb == u"list"                      ? 1
                         : verb == u"get" || verb == u"unset" ? 2
                         : verb == u"set"                     ? 3
                                                              : -1;
    if (expected < 0 || args.size() != expected) {
        PrintUsage(io.err);
        return CliBadArguments;
    }
    const QString name = args.value(1);
    const auto endpoint = EndpointPart(name);
    const std::optional<Setting> found = endpoint ? std::nullopt : FindSetting(name);
    const Setting id = found.value_or(Setting::StartUpConnection); // used only when found
    // Name and value are checked before the registry is touched: a refused command writes nothing.
    if (verb != u"list") {
        TEndpoints::ValueKind endpointKind{};
        if (!found && !(endpoint && TEndpoints::Describe(*endpoint, &endpointKind, nullptr)))
            return UnknownName(name, io);
        QString problem;
        if (verb == u"set" &&
            !ParseValue(found ? SpecOf(id).type : EndpointKind(endpointKind), args[2], &problem)) {
            io.err << "brelmont-cli: " << name << ' ' << problem << ", not '" << args[2] << "'\n";
            return CliBadArguments;
        }
    }

    TSettingsHolder holder;
    LoadOrReport(holder, io);
    if (!holder.StoreUsable())
        return CliRefused; // the reason is on stderr already
    if (verb == u"list")
        return ListSettings(holder, io);
    if (verb == u"get")
        return GetSetting(holder, name, io);
    if (endpoint)
        return SetEndpoint(holder, name, verb == u"set" ? std::optional<QString>(args[2]) : std::nullopt, io);
    if (verb == u"unset") {
        if (!holder.WriteStoredValue(TSettingsHolder::SettingsKey(), SpecOf(id).Name(), std::nullopt))
            return CliRefused; // the holder's message is on stderr already
        return CliOk;
    }
    if (holder.HadTypeErrors())
        io.err << "brelmont-cli: values of the wrong type are saved with their defaults\n";
    return SetSetting(holder, id, args[2], io);
}
