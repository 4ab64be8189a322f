#pragma once

#include <QByteArray>

// The program's symmetric cipher: AES-256 applied block by block (no chaining) behind a
// four-character version marker, plus the Base64 text form of stored credentials.
// Every function works on the bytes of 8-bit (Windows-1252) texts.

// The 16-character key built into the program.
QByteArray ProgramKey();

// "{02}" followed by the AES-256 cipher blocks of Plain, the last block zero-filled.
QByteArray EncryptString(const QByteArray& plain, const QByteArray& key = ProgramKey());
// Empty when Text lacks the marker; cut after "</MESSAGE>" and before the first zero byte.
QByteArray DecryptString(const QByteArray& text, const QByteArray& key = ProgramKey());

QByteArray EncodeBase64(const QByteArray& data);
// Empty for a text of 3 characters or fewer, or of a length not a multiple of 4.
QByteArray DecodeBase64(const QByteArray& text);
