// A vCard file (2.1, 3.0, 4.0) read for the contact import.
#include "ContactSourceFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzContactSource(data, size, QStringLiteral("vcf"));
    return 0;
}
