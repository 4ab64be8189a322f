#include "ui/dialogs/SuggestionDialog.h"

#include "net/Suggestion.h"
#include "i18n/Language.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/Placement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TF_Suggerimento::TF_Suggerimento(QWidget* mainWindow, const QString& language, TSuggestionSender& sender)
    : QDialog(mainWindow), lblSuggerimento(new QLabel(this)), MemoSuggestion(new QPlainTextEdit(this)),
      lblFreeSuggestion(new QLabel(this)), BtnInvia(new QPushButton(this)), BtnAnnulla(new QPushButton(this)),
      m_sender(sender)
{
    setObjectName(QStringLiteral("TF_Suggerimento"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    lblSuggerimento->setObjectName(QStringLiteral("lblSuggerimento"));
    MemoSuggestion->setObjectName(QStringLiteral("MemoSuggestion"));
    lblFreeSuggestion->setObjectName(QStringLiteral("lblFreeSuggestion"));
    BtnInvia->setObjectName(QStringLiteral("BtnInvia"));
    BtnAnnulla->setObjectName(QStringLiteral("BtnAnnulla"));

    lblSuggerimento->setWordWrap(true);
    lblFreeSuggestion->setWordWrap(true);
    MemoSuggestion->setTabChangesFocus(true);
    BtnInvia->setMinimumWidth(75);
    BtnAnnulla->setMinimumWidth(75);
    BtnInvia->setAutoDefault(false);
    BtnAnnulla->setAutoDefault(false);
    connect(MemoSuggestion, &QPlainTextEdit::textChanged, this, &TF_Suggerimento::MemoSuggestionChange);
    connect(BtnInvia, &QPushButton::clicked, this, &TF_Suggerimento::BtnInviaClick);
    connect(BtnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_sender, &TSuggestionSender::suggestionSent, this,
            [this](quint64 id) { ShowOutcome(id, true); });
    connect(&m_sender, &TSuggestionSender::suggestionFailed, this,
            [this](quint64 id, const QString&) { ShowOutcome(id, false); });

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(BtnInvia);
    buttonRow->addWidget(BtnAnnulla);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSuggerimento);
    layout->addWidget(MemoSuggestion, 1);
    layout->addWidget(lblFreeSuggestion);
    layout->addLayout(buttonRow);

    ApplyLanguage(QStringLiteral("ITA"));
    ApplyLanguage(language);
    FixSizeAtLeast(this, {420, 300});
    PlaceBesideMainWindow(this, mainWindow);
}

TF_Suggerimento::~TF_Suggerimento() = default;

int TF_Suggerimento::Run(QWidget* mainWindow, const QString& language, TSuggestionSender& sender)
{
    TF_Suggerimento dialog(mainWindow, language, sender);
    return ExecDialog(dialog);
}

void TF_Suggerimento::ApplyLanguage(const QString& code)
{
    if (LanguageGroupOf(code) == LanguageGroup::None)
        return;
    m_texts.ApplyLanguage(code);
    setWindowTitle(*PickText(code, {"Suggerimento", "Hint", "Sugestao"}));
    lblSuggerimento->setText(*PickText(
        code,
        {"Aiutaci a sviluppare Brelmont! Inviaci i suggerimenti, correzioni e le tue idee per migliorare "
         "questo programma. Grazie.",
         "Please help us to improve Brelmont! Let us know your suggestions, experienced bugs and your ideas "
         "to "
         "advance this software. Thank you.",
         "Envia uma sugestao ao suporte clientes para comunicar como melhorar o serviço e corregir problemas "
         "encontrados."}));
    // The Portuguese dialog keeps the Italian line here.
    lblFreeSuggestion->setText(*PickText(code, {"L'invio del suggerimento è gratuito. Grazie.",
                                                "Sending this suggestion is free of charge. Thank you.",
                                                "L'invio del suggerimento è gratuito. Grazie."}));
    BtnAnnulla->setText(*PickText(code, {"Annulla", "Cancel", "Anula"}));
    if (m_notYetSent)
        BtnInvia->setText(*PickText(code, {"Invia", "Send", "Envia"}));
}

void TF_Suggerimento::MemoSuggestionChange()
{
    BtnInvia->setEnabled(!MemoSuggestion->toPlainText().isEmpty());
}

void TF_Suggerimento::BtnInviaClick()
{
    if (!m_notYetSent) {
        accept();
        return;
    }
    m_notYetSent = false;
    BtnInvia->setEnabled(false);
    // The text is on its way: editing it now would change nothing.
    MemoSuggestion->setReadOnly(true);
    m_request = m_sender.SendSuggestion(SuggestionBodyOf(MemoSuggestion->toPlainText()));
}

void TF_Suggerimento::ShowOutcome(quint64 id, bool sent)
{
    if (id != m_request || m_request == 0)
        return;
    MemoSuggestion->setPlainText(sent ? m_texts.TextSent : m_texts.TextNotSent);
    BtnAnnulla->hide();
    BtnInvia->setText(QStringLiteral("Ok"));
    BtnInvia->setEnabled(true);
    BtnInvia->setDefault(true);
    BtnInvia->setFocus();
}
