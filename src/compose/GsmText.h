#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Character classes of one UTF-16 code unit for SMS billing.
enum GsmClass : int
{
    gcBasic = 1,     // GSM default alphabet: costs one character
    gcExtension = 2, // GSM extension table: costs two characters in GSM mode
    gcUnicode = 4,   // anything else: the whole text travels as UCS-2
};

// Constant-time classification of one code unit (a table lookup).
int GsmCharClass(char16_t unit);

// Characters of a message and the parts it takes.
struct TTextCount
{
    qsizetype Count = 0; // characters as the network bills them
    int Parts = 1;       // SMS parts of one copy, 1..4
    int Limit = 160;     // bound of the tier the count falls in
    bool IsUnicode = false;
    bool TextTooLong = false; // Count above the four-part limit
};

inline constexpr int kMaxParts = 4;
inline constexpr int kGsmTiers[kMaxParts] = {160, 306, 459, 612};
inline constexpr int kUnicodeTiers[kMaxParts] = {70, 134, 201, 268};

// Counts text (line breaks as CR LF) in one pass without allocating.
// GSM: every unit counts one, extension characters two, and a CR does not count (so CR LF is one).
// Unicode: every UTF-16 unit counts one (a character outside the BMP counts two).
TTextCount CountMessageText(QStringView text);

// The message box's text with every line break as CR LF (lone LF and lone CR included),
// the form the counting and the send operation expect.
QString WithCrLfLineBreaks(QStringView text);

// The bytes handed to the send operation. GSM texts become Windows-1252; basic-set characters
// that code page lacks (the Greek capitals) and U+0000 become '?', one byte each, so the billed
// length does not change. Unicode texts become UCS-2 big-endian as upper-case hex digits, four per
// code unit, closed by "0000".
QByteArray BuildSendText(QStringView text, bool isUnicode);
