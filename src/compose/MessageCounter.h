#pragma once

#include "compose/ComposeTexts.h"
#include "compose/GsmText.h"


// Everything one recount shows.
struct TRecountResult
{
    TTextCount Text;
    qint64 TotalSms = 0;
    QString CounterText;             // lblNChars: "148/160", "(Unicode) 75/134"
    QString RecipientsLabel;         // lblDestinatari: " Contatti selezionati (12 / 2 Scartati doppi)"
    QString SendCaption;             // BtnInviaSMS: "Invia", "Invia 6 sms"
    QString StatusText;              // TooLong, or empty
    bool ShowUnicodeWarning = false; // the text has just turned Unicode and the warning is on
};

// The recount of the message box (TNTMemoMessageChange) without the widgets: it keeps
// the state the main window reads (IsUnicode, TextTooLong, TotalSms) between calls, so the
// Unicode warning is due only on the change from GSM to Unicode.
class TMessageCounter
{
public:
    // text with CR LF line breaks; warningUnicode is the "WarningUnicode" setting.
    TRecountResult Recount(QStringView text, int uniqueRecipients, int duplicateRecipients,
                           bool warningUnicode);

    bool IsUnicode() const { return m_isUnicode; }
    bool TextTooLong() const { return m_textTooLong; }
    qint64 TotalSms() const { return m_totalSms; }

    void ApplyLanguage(const QString& code) { m_texts.ApplyLanguage(code); }
    const TComposeTexts& Texts() const { return m_texts; }

    QString RecipientsLabel(int uniqueRecipients, int duplicateRecipients) const;
    QString SendButtonCaption(qint64 totalSms) const;
    static QString CounterText(const TTextCount& count);


private:
    TComposeTexts m_texts;
    bool m_isUnicode = false;
    bool m_textTooLong = false;
    qint64 m_totalSms = 0;
};
