#pragma once

#include <QString>

// Version texts as numbers: "a.b.c.d" packs into one signed 32-bit value, a shl 24 + b shl 16
// + c shl 8 + d, wrapping in 32 bits. A text without a dot is 0; parts not reached stay 0
// ("2.1" is 2.0.0.0); after the third dot the whole rest is the fourth part; a part that is
// not a decimal integer counts as 0.
qint32 FullVersionNumber(const QString& text);
// The same without the fourth part, so builds that differ only there compare equal.
qint32 ReleaseVersionNumber(const QString& text);

// Whether the published version is newer than the program's: the manual check compares
// full numbers, the automatic one release numbers; both compare as signed values.
bool IsNewerVersion(const QString& published, const QString& program, bool manual);
