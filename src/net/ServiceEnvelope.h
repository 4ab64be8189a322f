#pragma once

#include "net/ClientIdentity.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The values of one MESSAGE request to the provider's service host.
struct TEnvelopeFields
{
    QDateTime At;     // local date and time of the request
    QString UserName; // the account, demo account already filled in for empty fields
    QString Password;
    QByteArray Type;     // "Lookup"
    QString Language;    // "ITA", "ENG" or "POR"; LANG takes its first two letters
    QString Destination; // the number the request is about
    TClientIdentity Identity;
};

// The request as one line of Windows-1252 text, before encipherment.
QByteArray BuildEnvelope(const TEnvelopeFields& fields);

// What the details window shows of one number.
struct TNumberDetails
{
    QString Number;
    QString OperatorName = QStringLiteral("N/A");
    QString MCC = QStringLiteral("N/A");
    QString MNC = QStringLiteral("N/A");
    QString LocationName = QStringLiteral("N/A");
    QString Status = QStringLiteral("N/A"); // "1" reachable
    QString Ported = QStringLiteral("N/A");

    bool IsReachable() const { return Status == u"1"; }
};

struct TLookupResponse
{
    TNumberDetails Details;
    QString Result;
    QString BaloonText; // BALOON_TEXT or FAULTSTRING

    bool IsOk() const { return Result == u"+OK"; }
};

// A decrypted lookup reply read so far.
struct TLookupReplyParse
{
    enum State
    {
        Complete,   // the whole document was read
        Incomplete, // well-formed so far; more text may follow
        Malformed   // not a document the client reads
    };
    State state = Incomplete;
    TLookupResponse response;
    QString error;
};

// Reads the decrypted reply (Windows-1252 text) into a response preset with askedNumber.
// Document type declarations are refused, so no entity is ever expanded.
TLookupReplyParse ParseLookupReply(const QByteArray& plain, const QString& askedNumber);
