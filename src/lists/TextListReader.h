#pragma once

#include "lists/ListRecords.h"

#include <QStringView>

// One line of a delimited list file: fields split at every ';' (no quoting); the text after
// the last ';' is a field only when it is not blank. 1 to 3 fields map to a record by their
// count; any other count gives a record with ID -1 (kNoPartID).
TContactData ParseListLine(QStringView line);

// A delimited text list file (.csv, .txt) in any encoding DecodeText recognises.
TListFileRecords ReadTextListFile(const QString& path);
TListFileRecords ReadTextListBytes(const QByteArray& bytes);
