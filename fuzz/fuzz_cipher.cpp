// Stored credentials and service replies: Base64 text and "{02}" cipher text from anywhere.
#include "FuzzSupport.h"
#include "net/Cipher.h"
#include "platform/Win1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    DecryptString(input);
    // A stored password: Base64 of the cipher text, read back as Windows-1252.
    FromWin1252(DecryptString(DecodeBase64(input)));

    FuzzCheck(DecodeBase64(EncodeBase64(input)) == input, "Base64 reads back what it wrote");
    if (!input.contains('\0') && !input.contains("</MESSAGE>"))
        FuzzCheck(DecryptString(EncryptString(input)) == input, "the cipher reads back what it wrote");
    return 0;
}
