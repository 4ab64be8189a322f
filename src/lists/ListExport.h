#pragma once

#include "phonebook/ContactData.h"

#include <QList>
#include <QString>

// The file an export writes: the chosen name, with ".csv" added when it has no extension.
QString ExportFileName(const QString& chosen);

// One Windows-1252 line per member, each ending with CR LF: "last;first;number" when the member
// has a first or last name, else "nick;number". The number loses its blanks, '-' and '/'. A ';'
// inside a name becomes ',' and a line break a blank, so the file reads back field by field.
QByteArray ExportListText(const QList<TContactData>& members);

// Writes the export to path as a whole or not at all; false with the reason in error.
bool WriteListExport(const QString& path, const QList<TContactData>& members, QString* error);
