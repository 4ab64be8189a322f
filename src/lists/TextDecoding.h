#pragma once

#include "lists/ReadError.h"

#include <QString>

// The text of a file whose encoding the user never names: UTF-16 after either byte-order mark
// (FF FE little-endian, FE FF big-endian), UTF-8 after its byte-order mark, otherwise valid
// UTF-8 holding at least one multi-byte character, otherwise Windows-1252. Text holding NUL
// characters is refused: it is no delimited text (a binary file, or UTF-16 without a mark).
struct TDecodedText
{
    enum Encoding
    {
        Win1252,
        Utf8,
        Utf16LE,
        Utf16BE
    };

    QString Text;
    Encoding Used = Win1252;
    TReadError Error;
};
TDecodedText DecodeText(const QByteArray& bytes);

// Splits at CR, LF or CR LF; empty lines are kept. Calls take(line) for each line in order.
template <typename Take> void ForEachLine(QStringView text, Take&& take)
{
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        take(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        take(text.mid(start));
}
