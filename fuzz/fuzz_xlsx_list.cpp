// An Office Open XML workbook (.xlsx) imported as a list: a ZIP archive of XML parts.
#include "FuzzSupport.h"
#include "lists/SpreadsheetReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TListFileRecords read =
        ReadXlsxList(FuzzFile(FuzzFolder(), QStringLiteral("list.xlsx"), FuzzBytes(data, size)));
    FuzzCheck(!read.Error || read.Records.isEmpty(), "a workbook that cannot be read gives no records");
    return 0;
}
