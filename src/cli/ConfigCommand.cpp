#include "cli/CliCommand.h"
#include "platform/OleDate.h"
#include "settings/SettingsHolder.h"

#include <QDateTime>
#include <functional>
#include <optional>

namespace {

enum class Kind
{
    Bool,
    Integer,
    Port,
    String,
    DateTime
};

struct Setting
{
    const char* name;
    Kind kind;
    std::function<QString(const TSettingsHolder&)> get;
    // Empty for values SaveSettings never writes; those are written directly.
    std::function<void(TSettingsHolder&, const QVariant&)> set;
};

QString BoolText(bool b)
{
    return b ? QStringLiteral("1") : QStringLiteral("0");
}

#define BOOL_SETTING(Name)                                                                                   \
    Setting                                                                                                  \
    {                                                                                                        \
#Name, Kind::Bool,                                                                                   \
            [](const TSettingsHolder&                                                                        \
                   h) { return BoolText(h.Get##Name()); },                                                   \
                                                        [](TSettingsHolder & h,                              \
                                                           const QVariant& v) { h.Set##Name(v.toBool()); }   \
    }
#define STRING_SETTING(Name)                                                                                 \
    Setting                                                                                                  \
    {                                                                                                        \
#Name, Kind::String,                                                                                 \
            [](const TSettingsHolder& h) { return h.Get##Name(); }, [](TSettingsHolder & h,                  \
                                                                       const QVariant&                       \
                                                                           v) { h.Set##Name(v.toString()); } \
    }
#define INT_FIELD(Name)                                                                                      \
    Setting                                                                                                  \
    {                                                                                                        \
#Name, Kind::Integer,                                                                                \
            [](const TSettingsHolder&                                                                        \
                   h) { return QString::number(h.Name); }, [](TSettingsHolder & h,                           \
                                                              const QVariant& v) { h.Name = v.toInt(); }     \
    }

const std::vector<Setting>& Settings()
{
    static const std::vector<Setting> table = {
        BOOL_SETTING(StartUpConnection),
        BOOL_SETTING(DisableSound),
        BOOL_SETTING(CheckForUpdatesOnStartup),
        BOOL_SETTING(RunAtStartup),
        BOOL_SETTING(UsePGOnline),
        STRING_SETTING(UserName),
        BOOL_SETTING(RememberPwd),
        STRING_SETTING(Password),
        Setting{"Language", Kind::String, [](const TSettingsHolder& h) { return h.GetLanguage(); },
                [](TSettingsHolder& h, const QVariant& v) { h.SetLanguage(v.toString()); }},
        STRING_SETTING(Sender),
        Setting{"FirstTime", Kind::Bool, [](const TSettingsHolder& h) { return BoolText(h.IsFirstTime()); },
                [](TSettingsHolder& h, const QVariant& v) { h.SetFirstTime(v.toBool()); }},
        Setting{"NextUpdateExpire", Kind::DateTime,
                [](const TSettingsHolder& h) {
                    return DaysToDateTime(h.GetNextUpdateExpire())
                        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                },
                [](TSettingsHolder& h, const QVariant& v) { h.SetNextUpdateExpire(v.toDouble()); }},
        Setting{"FirstTimeClose", Kind::Bool,
                [](const TSettingsHolder& h) { return BoolText(h.FirstTimeClose); },
                [](TSettingsHolder& h, const QVariant& v) { h.FirstTimeClose = v.toBool(); }},
        Setting{"TimeZone", Kind::Integer,
                [](const TSettingsHolder& h) { return QString::number(h.GetTimeZone()); },
                [](TSettingsHolder& h, const QVariant& v) { h.SetTimeZone(v.toInt()); }},
        Setting{"ContactsFile", Kind::String, [](const TSettingsHolder& h) { return h.ContactsFile; }, {}},
        INT_FIELD(LastX),
        INT_FIELD(LastY),
        INT_FIELD(LastW),
        INT_FIELD(LastH),
        BOOL_SETTING(ProxyEnabled),
        STRING_SETTING(ProxyAddress),
        Setting{"ProxyPort", Kind::Port,
                [](const TSettingsHolder& h) { return QString::number(h.GetProxyPort()); },
                [](TSettingsHolder& h, const QVariant& v) { h.SetProxyPort(v.toInt()); }},
        BOOL_SETTING(ProxyAuthEnabled),
        STRING_SETTING(ProxyUsername),
        STRING_SETTING(ProxyPassword),
        Setting{"LastIntPrefix", Kind::String, [](const TSettingsHolder& h) { return h.LastIntPrefix; },
                [](TSettingsHolder& h, const QVariant& v) { h.LastIntPrefix = v.toString(); }},
        BOOL_SETTING(WarningMediumQuality),
        BOOL_SETTING(WarningUnicode),
        BOOL_SETTING(WarningManySMS),
    };
    return table;
}

#undef BOOL_SETTING
#undef STRING_SETTING
#undef INT_FIELD

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

Kind EndpointKind(TEndpoints::ValueKind kind)
{
    return kind == TEndpoints::ValueKind::Port ? Kind::Port : Kind::String;
}

const Setting* FindSetting(const QString& name)
{
    for (const Setting& s : Settings())
        if (name.compare(QString::fromLatin1(s.name), Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

// Parses VALUE for a kind; nothing when it is not of that kind.
std::optional<QVariant> ParseValue(Kind kind, const QString& text, QString* problem)
{
    switch (kind) {
    case Kind::Bool: {
        const QString t = text.toLower();
        if (t == u"1" || t == u"true" || t == u"yes" || t == u"on")
            return QVariant(true);
        if (t == u"0" || t == u"false" || t == u"no" || t == u"off")
            return QVariant(false);
        *problem = QStringLiteral("expects a Boolean (1/0, true/false, yes/no, on/off)");
        return std::nullopt;
    }
    case Kind::Integer: {
        bool ok = false;
        const int v = text.toInt(&ok);
        if (ok)
            return QVariant(v);
        *problem = QStringLiteral("expects a 32-bit integer");
        return std::nullopt;
    }
    case Kind::Port: {
        bool ok = false;
        const uint v = text.toUInt(&ok);
        if (ok && v <= 65535)
            return QVariant(static_cast<int>(v));
        *problem = QStringLiteral("expects a port number 0-65535");
        return std::nullopt;
    }
    case Kind::String:
        return QVariant(text);
    case Kind::DateTime:
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

int ListSettings(TSettingsHolder& holder, CliIo io)
{
    for (const Setting& s : Settings())
        io.out << s.name << '=' << s.get(holder) << '\n';
    for (const QString& name : TEndpoints::Names())
        io.out << kEndpointsPrefix << name << '=' << holder.GetEndpoints().ValueText(name) << '\n';
    return CliOk;
}

int GetSetting(TSettingsHolder& holder, const QString& name, CliIo io)
{
    if (const auto part = EndpointPart(name)) {
        QString canonical;
        if (!TEndpoints::Describe(*part, nullptr, &canonical))
            return UnknownName(name, io);
        io.out << holder.GetEndpoints().ValueText(canonical) << '\n';
        return CliOk;
    }
    const Setting* s = FindSetting(name);
    if (!s)
        return UnknownName(name, io);
    io.out << s->get(holder) << '\n';
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
QString RuleReason(const Setting& s, const TSettingsHolder& stored)
{
    if (QString::fromLatin1(s.name) == u"ProxyEnabled" && stored.GetProxyAddress().trimmed().isEmpty())
        return QStringLiteral(" (ProxyAddress is empty; set it first)");
    return {};
}

int SetSetting(TSettingsHolder& holder, const QString& name, const QString& text, CliIo io)
{
    const Setting* s = FindSetting(name);
    if (!s)
        return UnknownName(name, io);
    QString problem;
    const auto value = ParseValue(s->kind, text, &problem);
    if (!value) {
        io.err << "brelmont-cli: " << s->name << ' ' << problem << ", not '" << text << "'\n";
        return CliBadArguments;
    }
    if (!s->set) { // read-only for the program: written as it is, the way it is read
        if (!holder.WriteStoredValue(TSettingsHolder::SettingsKey(), QString::fromLatin1(s->name),
                                     RegValue::String(value->toString())))
            return CliRefused; // the holder's message is on stderr already
        return CliOk;
    }
    s->set(holder, *value);
    if (!holder.SaveSettings())
        return CliRefused; // the holder's message is on stderr already
    // Say so when a rule changed the value (sender cut, time zone out of range, a language code
    // the holder does not keep, a proxy without address): compare with what a fresh start reads.
    const bool password = QString::fromLatin1(s->name) == u"Password";
    if (password && !holder.GetRememberPwd()) {
        io.err << "brelmont-cli: RememberPwd is off, so the password is not kept "
                  "(set RememberPwd 1 first)\n";
        return CliOk;
    }
    TSettingsHolder stored(holder.RegistryPath());
    stored.LoadSettings(false);
    const QString effective = s->get(stored);
    const auto parsedEffective = ParseValue(s->kind, effective, &problem);
    if (!parsedEffective || *parsedEffective != *value)
        io.err << "brelmont-cli: " << s->name << " stored as '" << effective << "'" << RuleReason(*s, stored)
               << '\n';
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
    // Name and value are checked before the registry is touched: a refused command writes nothing.
    if (verb != u"list") {
        const Setting* s = endpoint ? nullptr : FindSetting(name);
        TEndpoints::ValueKind endpointKind{};
        if (!s && !(endpoint && TEndpoints::Describe(*endpoint, &endpointKind, nullptr)))
            return UnknownName(name, io);
        QString problem;
        if (verb == u"set" && !ParseValue(s ? s->kind : EndpointKind(endpointKind), args[2], &problem)) {
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
        const Setting* s = FindSetting(name);
        if (!holder.WriteStoredValue(TSettingsHolder::SettingsKey(), QString::fromLatin1(s->name),
                                     std::nullopt))
            return CliRefused; // the holder's message is on stderr already
        return CliOk;
    }
    if (holder.HadTypeErrors())
        io.err << "brelmont-cli: values of the wrong type are saved with their defaults\n";
    return SetSetting(holder, name, args[2], io);
}
