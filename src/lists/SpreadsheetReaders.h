#pragma once

#include "lists/ListRecords.h"

// Every worksheet of a spreadsheet in the workbook's order; the first row is data. A sheet
// whose layout is not 1, 2 or 3 columns is skipped; a sheet whose reading fails keeps the rows
// read before the failing one. Both note the sheet in Warnings.

// .xls (BIFF, Excel 97 to 2003) through FreeXL; names are taken as they stand. FreeXL runs in
// the program brelmont-xls-reader, so a damaged file cannot harm this process: a reader that
// is missing, crashes, fails, answers garbage or takes over two minutes gives a
// BadSpreadsheet error saying so in English, and no records. Usable from any thread.
TListFileRecords ReadXlsList(const QString& path);
// The same through the reader program given, stopped after timeoutMs.
TListFileRecords ReadXlsListThrough(const QString& program, const QString& path, int timeoutMs);
// Where ReadXlsList looks for the reader, in order: only $BRELMONT_XLS_READER when it is set;
// else its installed place relative to programDir (the running program's folder; skipped
// when empty), then where this build made it.
QStringList XlsReaderPlaces(const QString& programDir);

// .xlsx (Office Open XML) through libzip and QXmlStreamReader; names are trimmed.
TListFileRecords ReadXlsxList(const QString& path);
