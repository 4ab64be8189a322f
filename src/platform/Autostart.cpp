#include "platform/Autostart.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {
QString AutostartFolder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart");
}

// Exec lines quote arguments that hold blanks or reserved characters, and double "%"
// (field codes); the whole value then gets the escapes of every desktop-entry string.
QString QuoteExec(const QString& path)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString exec = path;
    exec.replace(u'%', QStringLiteral("%%"));
    if (std::any_of(path.begin(), path.end(), [](QChar c) { return reserved.contains(c); })) {
        QString quoted;
        for (QChar c : exec) {
            if (c == u'\\' || c == u'"' || c == u'`' || c == u'$')
                quoted.append(u'\\');
            quoted.append(c);
        }
        exec = u'"' + quoted + u'"';
    }
    QString escaped;
    for (QChar c : exec) {
        if (c == u'\\')
            escaped.append(QStringLiteral("\\\\"));
        else if (c == u'\n')
            escaped.append(QStringLiteral("\\n"));
        else if (c == u'\t')
            escaped.append(QStringLiteral("\\t"));
        else if (c == u'\r')
            escaped.append(QStringLiteral("\\r"));
        else
            escaped.append(c);
    }
    return escaped;
}

// Reverses the string escapes of a desktop-entry value.
QString UnescapeValue(const QString& value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out.append(value[i]);
            continue;
        }
        const QChar next = value[++i];
        out.append(next == u'n' ? QChar(u'\n') : next == u't' ? QChar(u'\t') : next == u'r' ? QChar(u'\r')
                   : next == u's' ? QChar(u' ') : next);
    }
    return out;
}

// The program of an Exec line: its first argument, unquoted, with "%%" back to "%".
QString UnquoteExec(const QString& value)
{
    const QString exec = UnescapeValue(value);
    QString out;
    if (!exec.startsWith(u'"')) {
        out = exec.section(u' ', 0, 0);
    } else {
        for (qsizetype i = 1; i < exec.size(); ++i) {
            if (exec[i] == u'\\' && i + 1 < exec.size())
                out.append(exec[++i]);
            else if (exec[i] == u'"')
                break;
            else
                out.append(exec[i]);
        }
    }
    return out.replace(QStringLiteral("%%"), QStringLiteral("%"));
}
} // namespace

namespace Autostart {

QString EntryPath(const QString& name)
{
    return AutostartFolder() + u'/' + name + QStringLiteral(".desktop");
}

bool Exists(const QString& name)
{
    return QFile::exists(EntryPath(name));
}

QString Command(const QString& name)
{
    QFile file(EntryPath(name));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QStringLiteral("Exec=")))
            return UnquoteExec(line.mid(5));
    }
    return {};
}

bool Set(const QString& name, const QString& executablePath)
{
    QDir().mkpath(AutostartFolder());
    QSaveFile file(EntryPath(name));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2\n"
                                        "X-GNOME-Autostart-enabled=true\nTerminal=false\n")
                             .arg(name, QuoteExec(executablePath));
    file.write(text.toUtf8());
    return file.commit();
}

bool Remove(const QString& name)
{
    return !Exists(name) || QFile::remove(EntryPath(name));
}

} // namespace Autostart
