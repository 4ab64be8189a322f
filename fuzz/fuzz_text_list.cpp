// A delimited list file (.csv, .txt) in any encoding.
#include "FuzzSupport.h"
#include "lists/TextListReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TListFileRecords read = ReadTextListBytes(FuzzBytes(data, size));
    qint32 next = 1;
    for (const TContactData& record : read.Records) {
        if (record.ID == kNoPartID)
            continue;
        FuzzCheck(record.ID == next++, "records taking part are numbered from 1 without gaps");
    }
    FuzzCheck(!read.Error || read.Records.isEmpty(), "a file that cannot be read gives no records");
    return 0;
}
