#pragma once

#include "lists/ReadError.h"
#include "phonebook/ContactData.h"

#include <QList>
#include <QStringList>

// The records of one list file in reading order. A record's ID is its running number from 1;
// -1 marks a text line that takes no part in the import.
struct TListFileRecords
{
    QList<TContactData> Records;
    TReadError Error;     // set when the file could not be read at all (Records is then empty)
    QStringList Warnings; // sheets skipped in whole or in part, in English
};

inline constexpr qint32 kNoPartID = -1;

// A record that starts empty and gets only the fields of its layout.
inline TContactData EmptyImportRecord()
{
    TContactData record;
    record.ID = 0;
    return record;
}

// Layout 1: number only; 2: name and number; 3: last name, first name and number.
// trim: whether the names lose their surrounding blanks.
TContactData RecordOfLayout(int layout, const QString* columns, bool trim);
