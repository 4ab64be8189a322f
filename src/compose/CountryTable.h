#pragma once

#include <QString>
#include <QStringView>


// One row of the country selector: the country name and its international prefix.
struct TCountry
{
    const char* Name;
    const char* Prefix; // "+" and digits, or a bare "+"
};

// The fixed table of every country selector, in selector order.
inline constexpr int kCountryCount = 237;
const TCountry& CountryAt(int row);
QString CountryName(int row);
// The prefix of a row; empty for -1 (nothing selected).
QString CountryPrefix(int row);

// The prefix label before any country has been chosen.
QString InitialPrefixLabel();

// The row whose name equals name ignoring letter case, or -1 (an empty name matches nothing).
int FindCountryByName(QStringView name);

// The country of a stored number: its first 5, 4, 3, then 2 characters are looked up among the
// prefixes; the first length that matches wins, and among equal prefixes the top row.
struct TCountryMatch
{
    int Row = -1; // -1: no prefix matched
    QString Rest; // the number without the matched prefix (the whole number when none)
};
TCountryMatch FindCountryOfNumber(QStringView number);

