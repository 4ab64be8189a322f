#pragma once

#include "lists/ListImport.h"
#include "lists/ReadError.h"

#include <QString>

// The texts of the list import and export shared by the windows and brelmont-cli. A language
// code outside the dispatch gives the Italian texts the windows are designed with.
enum class TListText
{
    SummaryCaption,
    Sorting,
    Importing,
    Adding,
    ImportTitle,
    ExportTitle,
    ImportFilter, // description|patterns|description|patterns...
    ExportFilter,
    WarningCaption,
    ListNameTaken,
    ListNameUnusable,
    SheetsSkipped,
    ExportFailed,
    ImportFailed,
};
QString ListText(TListText key, const QString& language);

// The three summary lines, joined by CR LF.
QString ImportSummaryText(const QString& language, const TImportCounts& counts);

// What the user is told when file cannot be read.
QString ReadErrorText(const QString& language, const TReadError& error, const QString& file);
