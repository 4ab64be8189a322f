#pragma once

#include "lists/ListRecords.h"

// Every worksheet of a spreadsheet in the workbook's order; the first row is data. A sheet
// whose layout is not 1, 2 or 3 columns is skipped; a sheet whose reading fails keeps the rows
// read before the failing one. Both note the sheet in Warnings.

// .xls (BIFF, Excel 97 to 2003) through FreeXL; names are taken as they stand.
TListFileRecords ReadXlsList(const QString& path);
// .xlsx (Office Open XML) through libzip and QXmlStreamReader; names are trimmed.
TListFileRecords ReadXlsxList(const QString& path);
