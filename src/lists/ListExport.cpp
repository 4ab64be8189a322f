#include "lists/ListExport.h"

#include "platform/Win1252.h"

#include <QFileInfo>
#include <QSaveFile>

QString ExportFileName(const QString& chosen)
{
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + QStringLiteral(".csv") : chosen;
}

namespace {
QString Field(QString text)
{
    for (QChar& c : text) {
        if (c == u';')
            c = u',';
        else if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    return text;
}

QString ExportNumber(QString number)
{
    number.removeIf([](QChar c) { return c == u' ' || c == u'-' || c == u'/'; });
    return Field(number);
}
} // namespace

QByteArray ExportListText(const QList<TContactData>& members)
{
    QByteArray text;
    text.reserve(members.size() * 40);
    for (const TContactData& m : members) {
        QString line;
        if (!m.FirstName.isEmpty() || !m.LastName.isEmpty())
            line = Field(m.LastName) + u';' + Field(m.FirstName) + u';';
        else
            line = Field(m.NickName) + u';';
        line += ExportNumber(m.Number);
        text += ToWin1252(line);
        text += "\r\n";
    }
    return text;
}

bool WriteListExport(const QString& path, const QList<TContactData>& members, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ExportListText(members)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
