#pragma once

#include "phonebook/ContactData.h"

#include <QDir>
#include <QList>
#include <QStringList>

inline QString S(const char* text)
{
    return QString::fromUtf8(text);
}

inline QStringList Strings(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list.append(S(text));
    return list;
}

// The committed sample files.
inline QString Fixture(const QString& name)
{
    return QDir(QStringLiteral(BRELMONT_LIST_FIXTURES)).filePath(name);
}

// Records as "ID|last|first|nick|number" lines: one QCOMPARE shows every difference.
inline QStringList Describe(const QList<TContactData>& records)
{
    QStringList lines;
    for (const TContactData& r : records)
        lines.append(
            QStringList{QString::number(r.ID), r.LastName, r.FirstName, r.NickName, r.Number}.join(u'|'));
    return lines;
}
