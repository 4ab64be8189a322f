// An Excel 97-2003 workbook (.xls) imported as a list; FreeXL reads it from a file.
#include "FuzzSupport.h"
#include "lists/SpreadsheetReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TListFileRecords read =
        ReadXlsList(FuzzFile(FuzzFolder(), QStringLiteral("list.xls"), FuzzBytes(data, size)));
    FuzzCheck(!read.Error || read.Records.isEmpty(), "a workbook that cannot be read gives no records");
    return 0;
}
