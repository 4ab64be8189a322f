#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

// The sqlite3 command-line shell: the independent reader and writer of our files.
inline QString SqliteShellPath()
{
    return QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
}

// Runs script (bytes as they are) against file; answers the shell's standard output.
inline QByteArray RunSqliteShell(const QString& file, const QByteArray& script, QByteArray* errors = nullptr)
{
    QProcess shell;
    shell.start(SqliteShellPath(), {QStringLiteral("-batch"), file});
    shell.waitForStarted();
    shell.write(script);
    shell.closeWriteChannel();
    shell.waitForFinished(60000);
    if (errors)
        *errors = shell.readAllStandardError();
    return shell.readAllStandardOutput();
}

#define REQUIRE_SQLITE_SHELL()                                                                                     \
    do {                                                                                                           \
        if (SqliteShellPath().isEmpty())                                                                           \
            QSKIP("the sqlite3 shell is not installed");                                                           \
    } while (false)
