#include "lists/ListRecords.h"

TContactData RecordOfLayout(int layout, const QString* columns, bool trim)
{
    const auto name = [trim](const QString& text) { return trim ? text.trimmed() : text; };
    TContactData record = EmptyImportRecord();
    switch (layout) {
    case 1:
        record.NickName = QStringLiteral("No Name");
        record.Number = columns[0];
        break;
    case 2:
        record.NickName = name(columns[0]);
        record.Number = columns[1];
        break;
    case 3:
        record.LastName = name(columns[0]);
        record.FirstName = name(columns[1]);
        record.NickName = record.LastName + u' ' + record.FirstName;
        record.Number = columns[2];
        break;
    default:
        record.ID = kNoPartID;
        break;
    }
    return record;
}
