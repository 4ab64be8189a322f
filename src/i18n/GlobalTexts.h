#pragma once

#include <QString>

// The global message texts of the data module, read by the network result handlers.
// They follow the language of the last ApplyLanguage; until then they are Italian.
struct TGlobalTexts
{
    QString TextRequestDone;
    QString TextRequestFailed;
    QString TextSent;
    QString TextNotSent;
    QString TextMemoryError;
    QString TextBadLogin;
    QString TextTimeout;
    QString TextNotConnected;
    QString TextNotConnectedAv;
    QString TextCreditPrefix;
    QString TextNewVersionLink;

    TGlobalTexts();
    void ApplyLanguage(const QString& code);
};
