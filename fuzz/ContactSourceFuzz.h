#pragma once

#include "FuzzSupport.h"
#include "lists/ContactSource.h"

// The contact import of one address-book file named with suffix: read, cleaned, prefixed.
inline void FuzzContactSource(const uint8_t* data, size_t size, const QString& suffix)
{
    TContactSource source = ReadContactSourceBytes(FuzzBytes(data, size), suffix);
    for (const TContactLine& line : source.Lines)
        FuzzCheck(!line.Number.trimmed().isEmpty(), "every line has a number");
    CleanContactNumbers(source.Lines);
    ApplyContactPrefix(source.Lines, QStringLiteral("+39"));
}
