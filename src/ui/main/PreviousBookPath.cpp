#include "ui/main/PreviousBookPath.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

QString PreviousBookPath(const QString& contactsFile)
{
    QString file = contactsFile;
    file.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    if (file.isEmpty() || QFileInfo(file).isAbsolute())
        return file;
    return QDir(UserDataFolder()).filePath(file);
}
