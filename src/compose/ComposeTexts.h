#pragma once

#include <QString>

// The texts of message composition in the current language; Italian until ApplyLanguage.
struct TComposeTexts
{
    QString SelectedContacts;
    QString DiscardedOne;
    QString DiscardedMany;
    QString TooLong;
    QString SendCaption;
    QString UnicodeWarningCaption;
    QString UnicodeWarning;
    QString Loading;
    QString CustomListHint;
    QString MissingPrefixCaption;
    QString MissingPrefixMessage;
    QString MissingPrefixCountry;
    QString MissingPrefixPrefix;
    QString MissingPrefixOk;
    QString MissingPrefixCancel;

    TComposeTexts();
    // Codes outside ITA/ENG/FRA/DEU/ESP/POR change nothing.
    void ApplyLanguage(const QString& code);
};
