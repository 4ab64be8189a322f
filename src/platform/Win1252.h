#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the 8-bit code page of network texts and stored phone-book values.
// Never the locale's codec: 0x80 is the euro sign, which Latin-1 gets wrong.

// Characters the code page lacks become '?'.
QByteArray ToWin1252(QStringView text);
// The same into buffer, whose memory is reused from call to call; the view is valid until the
// buffer's next change.
QByteArrayView ToWin1252(QStringView text, QByteArray& buffer);
QString FromWin1252(QByteArrayView bytes);

// True when every character of text has a Windows-1252 byte.
bool IsWin1252Encodable(QStringView text);
// The byte of one character, or -1 when the code page lacks it.
int Win1252Byte(char16_t ch);
