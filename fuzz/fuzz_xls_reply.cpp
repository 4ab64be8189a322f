// What brelmont-xls-reader writes back: it has read a hostile workbook, so its reply is
// untrusted input of the list import too.
#include "FuzzSupport.h"
#include "lists/XlsReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray reply = FuzzBytes(data, size);
    QString why;
    const std::optional<TListFileRecords> read = DecodeXlsReply(reply, &why);
    FuzzCheck(read.has_value() == why.isEmpty(), "a refused reply says why, a read one does not");
    if (!read)
        return 0;
    FuzzCheck(!read->Error || read->Records.isEmpty(), "an error comes without records");
    FuzzCheck(EncodeXlsReply(*read) == reply, "a reply read is written back byte for byte");
    return 0;
}
