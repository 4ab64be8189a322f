#pragma once

#include "lists/ListRecords.h"

#include <optional>

// What brelmont-xls-reader writes on its standard output: a header, the error, the records,
// the warnings and an end mark, in one fixed QDataStream version.
QByteArray EncodeXlsReply(const TListFileRecords& read);

// The records of one whole reply; nothing, and why in English, for anything else (another
// header, a reply cut short or running past its end mark, counts out of range, an error
// that comes with records).
std::optional<TListFileRecords> DecodeXlsReply(const QByteArray& reply, QString* why);
