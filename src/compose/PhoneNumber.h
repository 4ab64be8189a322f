#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The one rule that cleans a phone number into "+" and digits, or rejects it.
// number is cleaned in place in every case; result receives the cleaned number when it is
// acceptable and the empty string otherwise.
void CleanPhoneNumber(QString& number, QString& result);
// The same rule without allocating: the cleaned number goes to out (room for number.size()
// units), its length is answered and accepted tells whether it is acceptable.
qsizetype CleanPhoneNumberInto(QStringView number, char16_t* out, bool* accepted);
// The accepted form of number, or the empty string when it is rejected.
QString AcceptedPhoneNumber(const QString& number);

// True when the number is accepted and its cleaned form carries no international prefix.
bool LacksInternationalPrefix(const QString& number);
// The number cleaned; when accepted and without "+", its leading zeros are replaced by prefix.
QString ApplyDefaultPrefix(const QString& number, const QString& prefix);

// The number of the contact panel: the prefix label's text first, then the number field.
struct TContactNumberCheck
{
    QString Cleaned;        // the composed number after cleaning (what is stored)
    QString Result;         // Cleaned when accepted, else empty
    bool Valid = false;     // Result is not empty (else the field shows red and bold)
    bool OkEnabled = false; // valid, a country selected and the field not blank
};
TContactNumberCheck CheckContactNumber(const QString& prefixLabel, const QString& numberField,
                                       bool countrySelected);

// The accepted numbers of a pasted list: lines (CR, LF, CR LF) split at ';', blanks and control
// characters; a pair of double quotes keeps its content together (a doubled quote inside stands
// for one quote). No prefix is added.
QStringList ParseNumberList(QStringView text);

// A destination number as a positive 64-bit value: an optional leading "+" and decimal digits
// with at most 18 significant ones. 0 for anything else (empty, leftovers, too long).
qint64 DestinationValue(QStringView number);
// Why DestinationValue refuses a number, in a few words for a log or a terminal; empty when
// it takes it.
QString DroppedProblem(QStringView number);
