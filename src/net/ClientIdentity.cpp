#include "net/ClientIdentity.h"

#include "platform/Paths.h"
#include "platform/Win1252.h"

#include <QFile>
#include <QNetworkInterface>
#include <QSysInfo>

namespace {
constexpr quint16 kSuiteEnterprise = 0x0002;
constexpr quint16 kSuiteDatacenter = 0x0080;
constexpr quint16 kSuitePersonal = 0x0200;
constexpr quint16 kSuiteBlade = 0x0400;

QByteArray NtBaseName(const TOsVersionFacts& f)
{
    if (f.Major == 6 && f.Minor == 0)
        return f.Product == TOsVersionFacts::Workstation ? "Microsoft Windows Vista"
                                                         : "Microsoft Windows Server \"Longhorn\"";
    if (f.Major == 5 && f.Minor == 2)
        return "Microsoft Windows Server 2003";
    if (f.Major == 5 && f.Minor == 1)
        return "Microsoft Windows XP";
    if (f.Major == 5 && f.Minor == 0)
        return "Microsoft Windows 2000";
    return "Microsoft Windows NT";
}

QByteArray NtEdition(const TOsVersionFacts& f)
{
    const bool datacenter = f.SuiteMask & kSuiteDatacenter;
    const bool enterprise = f.SuiteMask & kSuiteEnterprise;
    if (f.Product == TOsVersionFacts::Workstation) {
        if (f.Major == 4)
            return " Workstation 4.0";
        return (f.SuiteMask & kSuitePersonal) ? " Home Edition" : " Professional";
    }
    if (f.Product != TOsVersionFacts::Server)
        return {};
    if (f.Major == 5 && f.Minor == 2) {
        if (datacenter)
            return " Datacenter Edition";
        if (enterprise)
            return " Enterprise Edition";
        return f.SuiteMask == kSuiteBlade ? " Web Edition" : " Standard Edition";
    }
    if (f.Major == 5 && f.Minor == 0) {
        if (datacenter)
            return " Datacenter Server";
        return enterprise ? " Advanced Server" : " Server";
    }
    return " Server " + QByteArray::number(f.Major) + '.' + QByteArray::number(f.Minor) +
           (enterprise ? ", Enterprise Edition" : "");
}

QByteArray Windows9xName(const TOsVersionFacts& f)
{
    const char second = f.ServicePack.size() > 1 ? f.ServicePack.at(1) : '\0';
    if (f.Major == 4 && f.Minor == 0)
        return QByteArray("Microsoft Windows 95") + (second == 'B' || second == 'C' ? " OSR2" : "");
    if (f.Major == 4 && f.Minor == 10)
        return QByteArray("Microsoft Windows 98") + (second == 'A' ? " SE" : "");
    if (f.Major == 4 && f.Minor == 90)
        return "Microsoft Windows Millennium Edition";
    return {};
}

// The value of one os-release variable: shell-style, optionally quoted, with backslash escapes
// inside double quotes.
std::optional<QString> OsReleaseValue(const QString& text, QStringView name)
{
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (!line.startsWith(name) || line.size() <= name.size() || line.at(name.size()) != u'=')
            continue;
        QStringView raw = line.mid(name.size() + 1);
        if (raw.size() >= 2 && (raw.front() == u'"' || raw.front() == u'\'') && raw.back() == raw.front()) {
            const bool doubleQuoted = raw.front() == u'"';
            raw = raw.mid(1, raw.size() - 2);
            QString value;
            for (qsizetype i = 0; i < raw.size(); ++i) {
                if (doubleQuoted && raw.at(i) == u'\\' && i + 1 < raw.size())
                    ++i;
                value.append(raw.at(i));
            }
            return value;
        }
        return raw.toString();
    }
    return std::nullopt;
}

QString ReadTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(64 * 1024));
}
} // namespace

QByteArray XMLEscape(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (char c : text) {
        switch (static_cast<unsigned char>(c)) {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        case '"':
            out.append("&quot;");
            break;
        case '\'':
            out.append("&apos;");
            break;
        case '\\':
            out.append("\\\\");
            break;
        case 224: // à
        case 232: // è
        case 233: // é
        case 236: // ì
        case 242: // ò
        case 249: // ù
            out.append("&#" + QByteArray::number(static_cast<unsigned char>(c)) + ';');
            break;
        default:
            out.append(c);
        }
    }
    return out;
}

QByteArray WindowsOsName(const TOsVersionFacts& f)
{
    switch (f.PlatformId) {
    case TOsVersionFacts::Win32s:
        return "Microsoft Win32s";
    case TOsVersionFacts::Windows9x:
        return Windows9xName(f);
    case TOsVersionFacts::WindowsNT:
        break;
    default:
        return {};
    }
    QByteArray name = NtBaseName(f) + NtEdition(f);
    if (f.Major == 4 && f.ServicePack.compare("Service Pack 6", Qt::CaseInsensitive) == 0 && f.HasQ246009)
        name += " Service Pack 6a";
    else
        name += f.ServicePack;
    return name + " (Build " + QByteArray::number(f.Build & 0xFFFF) + ')';
}

QByteArray LinuxOsName(const QString& osRelease, const QString& kernelRelease)
{
    QString name = OsReleaseValue(osRelease, u"PRETTY_NAME").value_or(QString()).trimmed();
    if (name.isEmpty())
        name = OsReleaseValue(osRelease, u"NAME").value_or(QString()).trimmed();
    if (name.isEmpty())
        name = QStringLiteral("Linux");
    return ToWin1252(name + QStringLiteral(" (Build ") + kernelRelease + u')');
}

QByteArray NoMacAddressText()
{
    return QByteArrayLiteral("00-00-00-00-00-00");
}

QByteArray MacTextOf(const QList<TInterfaceFacts>& interfaces)
{
    for (const TInterfaceFacts& i : interfaces) {
        if (i.Loopback)
            continue;
        const QByteArray bytes = QByteArray::fromHex(i.HardwareAddress.toLatin1());
        if (bytes.size() != 6 || bytes.count('\0') == 6)
            continue;
        return bytes.toHex('-');
    }
    return NoMacAddressText();
}

QByteArray GetOSName()
{
    QString osRelease = ReadTextFile(QStringLiteral("/etc/os-release"));
    if (osRelease.isEmpty())
        osRelease = ReadTextFile(QStringLiteral("/usr/lib/os-release"));
    return LinuxOsName(osRelease, QSysInfo::kernelVersion());
}

QByteArray GetMACAddress()
{
    QList<TInterfaceFacts> facts;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
        facts.append({i.flags().testFlag(QNetworkInterface::IsLoopBack), i.hardwareAddress()});
    return MacTextOf(facts);
}

QByteArray GetOSUser()
{
    QString user = qEnvironmentVariable("USERNAME");
    if (user.isEmpty())
        user = qEnvironmentVariable("USER");
    return ToWin1252(user);
}

TClientIdentity TClientIdentity::Current()
{
    return {GetOSName(), GetMACAddress(), GetOSUser(), GetProgramVersion().toLatin1()};
}
