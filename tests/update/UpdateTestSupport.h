#pragma once

#include <QDir>
#include <QStringList>

// "--a b --c d" as separate arguments.
inline QStringList Args(const char* text)
{
    return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
}

// Every file in a folder, hidden ones included.
inline QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}
