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
    // The send flow: its refusals, confirmations, animation and the delivery hint.
    QString NoTextCaption;
    QString NoText;
    QString NoRecipientsCaption;
    QString NoRecipients;
    QString ConfirmCaption;
    QString ConfirmTotal;     // "%d" stands for the number of SMS
    QString ConfirmMultipart; // "%d" stands for the number of SMS
    QString MediumCaption;
    QString MediumNotice;
    QString Sending[4];
    QString ScheduledPrefix;

    TComposeTexts();
    // Codes outside ITA/ENG/FRA/DEU/ESP/POR change nothing.
    void ApplyLanguage(const QString& code);
};
