// An Outlook CSV export read for the contact import (a file that starts as a vCard goes to the
// vCard reader, as the content decides).
#include "ContactSourceFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzContactSource(data, size, QStringLiteral("csv"));
    return 0;
}
