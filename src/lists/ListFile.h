#pragma once

#include "lists/ListRecords.h"

// The kind of list file by its extension, compared without regard to letter case.
enum class TListFileKind
{
    Unsupported,
    Text,
    Xls,
    Xlsx
};
TListFileKind ListFileKindOf(const QString& path);

// Reads a list file by its extension: .csv and .txt as delimited text, .xls and .xlsx as
// spreadsheets. Any other extension is refused (Unsupported) rather than read as no records.
TListFileRecords ReadListFile(const QString& path);
