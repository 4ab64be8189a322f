#pragma once

#include "i18n/GlobalTexts.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TSuggestionSender;

// The suggestion dialog. Send passes the text to the sender and waits for its outcome, which
// replaces the text; the send button then reads "Ok" and closes the dialog. Closing the dialog
// early leaves the suggestion on its way.
class TF_Suggerimento : public QDialog
{
    Q_OBJECT

public:
    // Applies the language and places the dialog beside the main window.
    TF_Suggerimento(QWidget* mainWindow, const QString& language, TSuggestionSender& sender);
    ~TF_Suggerimento() override;

    // Creates, places and shows the dialog modally, and destroys it when closed.
    static int Run(QWidget* mainWindow, const QString& language, TSuggestionSender& sender);

    void ApplyLanguage(const QString& code);
    void MemoSuggestionChange();
    void BtnInviaClick();
    bool NotYetSent() const { return m_notYetSent; }

    QLabel* lblSuggerimento;
    QPlainTextEdit* MemoSuggestion;
    QLabel* lblFreeSuggestion;
    QPushButton* BtnInvia;
    QPushButton* BtnAnnulla;

private:
    void ShowOutcome(quint64 id, bool sent);

    TSuggestionSender& m_sender;
    TGlobalTexts m_texts;
    bool m_notYetSent = true;
    quint64 m_request = 0;
};
