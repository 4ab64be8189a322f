#pragma once

#include "lists/ListRecords.h"

// The records of an Excel 97-2003 workbook read through FreeXL in this process. Only the
// brelmont-xls-reader program calls it: FreeXL is not safe on damaged files.
TListFileRecords ReadXlsWorkbook(const QString& path);
