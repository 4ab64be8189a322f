#include "platform/Autostart.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {
QString AutostartFolder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart");
}

// Exec lines quote arguments that hold blanks or reserved characters.
QString QuoteExec(const QString& path)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (std::none_of(path.begin(), path.end(), [](QChar c) { return reserved.contains(c); }))
        return path;
    QString quoted = path;
    for (const char* ch : {"\\", "\"", "`", "$"})
        quoted.replace(QString::fromLatin1(ch), QStringLiteral("\\") + QString::fromLatin1(ch));
    return u'"' + quoted + u'"';
}

QString UnquoteExec(QString exec)
{
    if (!exec.startsWith(u'"'))
        return exec.section(u' ', 0, 0);
    QString out;
    for (qsizetype i = 1; i < exec.size(); ++i) {
        if (exec[i] == u'\\' && i + 1 < exec.size())
            out.append(exec[++i]);
        else if (exec[i] == u'"')
            break;
        else
            out.append(exec[i]);
    }
    return out;
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
