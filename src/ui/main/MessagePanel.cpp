#include "ui/dialogs/DialogSupport.h"
#include "ui/main/MessagePanel.h"

#include "compose/GsmText.h"
#include "i18n/Language.h"
#include "net/GatewayService.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/main/RecipientsPanel.h"
#include "ui/main/SendControls.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {
// Blanks and control characters do not make a message.
bool IsBlank(QStringView text)
{
    for (QChar c : text)
        if (c.unicode() > u' ')
            return false;
    return true;
}
} // namespace

TMessagePanel::TMessagePanel(TSettingsHolder& settings, TGatewayService& gateway,
                             TRecipientsPanel& recipients, QWidget* parent)
    : QFrame(parent), lblCaption(new QLabel(this)), lblNChars(new QLabel(this)),
      TNTMemoMessage(new QPlainTextEdit(this)), m_settings(settings), m_gateway(gateway),
      m_recipients(recipients), m_destinations(recipients.Destinations()),
      m_sendControls(new TSendControls(settings, m_counter.Texts(), this))
{
    setObjectName(QStringLiteral("PanelTextMessage"));
    lblCaption->setObjectName(QStringLiteral("lblCaption"));
    lblNChars->setObjectName(QStringLiteral("lblNChars"));
    TNTMemoMessage->setObjectName(QStringLiteral("TNTMemoMessage"));
    setFrameShape(QFrame::StyledPanel);
    setFixedHeight(Height);

    QFont bold = lblCaption->font();
    bold.setBold(true);
    lblCaption->setFont(bold);
    lblNChars->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 4, 0);
    header->addWidget(lblCaption, 1);
    header->addWidget(lblNChars);

    // The Windows font with every script when it is there, else the recipients list's font.
    if (QFontDatabase::hasFamily(QStringLiteral("Arial Unicode MS")))
        TNTMemoMessage->setFont(QFont(QStringLiteral("Arial Unicode MS"), font().pointSize()));
    else
        TNTMemoMessage->setFont(recipients.font());
    TNTMemoMessage->setTabChangesFocus(true);
    m_memoPalette = TNTMemoMessage->palette();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addLayout(header);
    layout->addWidget(TNTMemoMessage, 1);
    layout->addWidget(m_sendControls);

    connect(TNTMemoMessage, &QPlainTextEdit::textChanged, this, [this] {
        m_emptyMarked = false;
        TNTMemoMessageChange();
    });
    connect(&m_recipients, &TRecipientsPanel::destinationsChanged, this,
            &TMessagePanel::OnDestinationsChanged);
    connect(m_sendControls, &TSendControls::sendClicked, this, &TMessagePanel::BtnInviaSMSClick);
    connect(m_sendControls, &TSendControls::closeClicked, this, &TMessagePanel::BtnChiudiClick);
    connect(&m_gateway, &TGatewayService::sendAccepted, this,
            [this](const QString& sentText) { ShowSent(sentText); });
    auto* altS = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_S), this);
    altS->setContext(Qt::WindowShortcut);
    connect(altS, &QShortcut::activated, this, &TMessagePanel::SendShortcut);

    ApplyLanguage(QStringLiteral("ITA"));
}

TMessagePanel::~TMessagePanel() = default;

void TMessagePanel::ApplyLanguage(const QString& code)
{
    if (LanguageGroupOf(code) == LanguageGroup::None)
        return;
    m_language = code;
    m_counter.ApplyLanguage(code);
    DescribeForScreenReaders(code, TNTMemoMessage, {"Testo del messaggio", "Message text", "Texto da mensagem"},
                             {"Il testo dell'SMS da inviare", "The text of the SMS to send",
                              "O texto do SMS a enviar"});
    DescribeForScreenReaders(code, lblNChars, {"Contatore caratteri", "Character counter", "Contador de caracteres"},
                             {"Caratteri scritti e SMS necessari", "Characters written and SMS parts needed",
                              "Caracteres escritos e SMS necessários"});
    lblCaption->setText(*PickText(code, {" Testo SMS", " SMS Text", " Texto SMS"}));
    m_sendControls->ApplyLanguage(code);
}

void TMessagePanel::OnDestinationsChanged(const TDestinations& destinations)
{
    m_destinations = destinations;
    TNTMemoMessageChange();
    if (m_sendPending && !m_recipients.IsBuilding()) {
        m_sendPending = false;
        BtnInviaSMSClick();
    }
}

void TMessagePanel::TNTMemoMessageChange()
{
    m_last =
        m_counter.Recount(WithCrLfLineBreaks(TNTMemoMessage->toPlainText()), m_destinations.UniqueRecipients,
                          m_destinations.DuplicateRecipients, m_settings.GetWarningUnicode());
    lblNChars->setText(m_last.CounterText);
    m_sendControls->BtnInviaSMS->setText(m_last.SendCaption);
    emit recipientsLabelChanged(m_last.RecipientsLabel);
    emit statusTextChanged(m_last.StatusText);
    ShowColours();
    if (m_last.ShowUnicodeWarning)
        ShowUnicodeWarning();
}

void TMessagePanel::ShowUnicodeWarning()
{
    const auto answer = TF_Message::ShowOffering(window(), TF_Message::ButtonsOk, m_language,
                                                 Texts().UnicodeWarningCaption, Texts().UnicodeWarning);
    m_settings.SetWarningUnicode(!answer.DoNotShowMore);
    m_settings.SaveSettings();
}

// Light red for a text too long or refused as empty; grey text while a sent message is shown.
void TMessagePanel::ShowColours()
{
    QPalette palette = m_memoPalette;
    if (m_last.Text.TextTooLong || m_emptyMarked)
        palette.setColor(QPalette::Base, LightRed());
    if (m_locked)
        palette.setColor(QPalette::Text, LockedText());
    TNTMemoMessage->setPalette(palette);
}

int TMessagePanel::ShowMessage(int buttons, const QString& caption, const QString& text) const
{
    TF_Message box(window(), buttons, m_language);
    return box.ShowText(caption, text);
}

void TMessagePanel::BtnInviaSMSClick()
{
    // The count of a list being read is not final yet: the send follows once it is.
    if (m_recipients.IsBuilding()) {
        m_sendPending = true;
        return;
    }
    const QString text = WithCrLfLineBreaks(TNTMemoMessage->toPlainText());
    if (IsBlank(text)) {
        m_emptyMarked = true;
        ShowColours();
        ShowMessage(TF_Message::ButtonsOk, Texts().NoTextCaption, Texts().NoText);
        TNTMemoMessage->setFocus();
        return;
    }
    if (m_destinations.DestinationString.trimmed().isEmpty()) {
        ShowMessage(TF_Message::ButtonsOk, Texts().NoRecipientsCaption, Texts().NoRecipients);
        return;
    }
    if (m_counter.TextTooLong()) { // the status bar already says so
        TNTMemoMessage->setFocus();
        return;
    }
    // Unticking "Warn when sending many sms at a time" in the settings silences the question.
    if (m_counter.TotalSms() > ConfirmAbove && m_settings.GetWarningManySMS()) {
        QString question = m_last.Text.Parts > 1 ? Texts().ConfirmMultipart : Texts().ConfirmTotal;
        question.replace(QStringLiteral("%d"), QString::number(m_counter.TotalSms()));
        if (ShowMessage(TF_Message::ButtonsOkCancel, Texts().ConfirmCaption, question) !=
            TF_Message::ResultOk)
            return;
    }
    emit sendingStarted();
    const bool started =
        m_gateway.SendSMS(m_destinations.DestinationString, BuildSendText(text, m_counter.IsUnicode()),
                          m_counter.IsUnicode(), m_sendControls->QualityIndex(), m_sendControls->Anonymous(),
                          m_sendControls->ScheduleTime(m_settings.GetTimeZone()));
    if (!started)
        emit sendNotStarted();
}

void TMessagePanel::SendShortcut()
{
    // Not while a sent message is shown, nor while the contact panel has the window disabled.
    QPushButton* send = m_sendControls->BtnInviaSMS;
    if (send->isVisibleTo(window()) && send->isEnabled())
        BtnInviaSMSClick();
}

void TMessagePanel::ShowSent(const QString& resultText)
{
    m_sendControls->ShowSentState(resultText);
    LockMessageText();
    emit sentStateEntered();
}

bool TMessagePanel::IsSentState() const
{
    return m_sendControls->IsSentState();
}

void TMessagePanel::BtnChiudiClick(int tag)
{
    m_sendControls->ShowComposing();
    TNTMemoMessage->clear();
    UnlockMessageText();
    emit sentStateLeft(tag);
    m_recipients.Clear();
    TNTMemoMessageChange();
}

void TMessagePanel::LockMessageText()
{
    m_locked = true;
    TNTMemoMessage->setReadOnly(true);
    ShowColours();
}

void TMessagePanel::UnlockMessageText()
{
    m_locked = false;
    TNTMemoMessage->setReadOnly(false);
    ShowColours();
}
