#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString UserDataFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder = QDir(base).filePath(QStringLiteral("Brelmont"));
    QDir().mkpath(folder);
    return QDir::cleanPath(folder);
}

QString ExecutablePath()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
}

QString ExecutableFolder()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

QString GetProgramVersion()
{
    return QStringLiteral(BRELMONT_VERSION);
}

QString ProgramPartPath(const QString& installedPath, const QString& buildTreePath)
{
    const QString folder = ExecutableFolder();
    if (!folder.isEmpty()) {
        const QString installed = QDir::cleanPath(folder + QStringLiteral("/../") + installedPath);
        if (QFileInfo(installed).isFile())
            return installed;
    }
    return QFileInfo(buildTreePath).isFile() ? buildTreePath : QString();
}
