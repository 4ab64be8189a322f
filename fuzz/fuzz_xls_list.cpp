// An Excel 97-2003 workbook (.xls) imported as a list, as the program reads it: through the
// brelmont-xls-reader process, whose crashes, failures and replies this side must survive.
#include "FuzzSupport.h"
#include "lists/SpreadsheetReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TListFileRecords read =
        ReadXlsList(FuzzFile(FuzzFolder(), QStringLiteral("list.xls"), FuzzBytes(data, size)));
    FuzzCheck(!read.Error || read.Records.isEmpty(), "a workbook that cannot be read gives no records");
    FuzzCheck(!read.Error || !read.Error.Detail.isEmpty(), "an unreadable workbook says why");
    return 0;
}
