#include "ui/dialogs/TestMessageDialog.h"

#include "i18n/Language.h"
#include "ui/dialogs/BrowserLink.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/Placement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

TF_TestMessage::TF_TestMessage(QWidget* mainWindow, const QString& language, const QString& webBaseUrl)
    : QDialog(mainWindow), lblMessage(new QLabel(this)), sbChat(new QToolButton(this)),
      BtnClose(new QPushButton(QStringLiteral("Chiudi"), this)), m_webBaseUrl(webBaseUrl)
{
    setObjectName(QStringLiteral("TF_TestMessage"));
    UseFixedWindowFrame(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    sbChat->setObjectName(QStringLiteral("sbChat"));
    BtnClose->setObjectName(QStringLiteral("BtnClose"));

    lblMessage->setWordWrap(true);
    lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMessage->setMinimumWidth(260);
    sbChat->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    sbChat->setIconSize({32, 32});
    sbChat->setAutoRaise(true);
    sbChat->setCursor(Qt::PointingHandCursor);
    BtnClose->setMinimumWidth(75);
    BtnClose->setDefault(true);
    connect(sbChat, &QToolButton::clicked, this, &TF_TestMessage::sbChatClick);
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(sbChat);
    buttonRow->addStretch();
    buttonRow->addWidget(BtnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMessage, 1);
    layout->addLayout(buttonRow);

    setWindowTitle(QStringLiteral("Attenzione"));
    ApplyLanguage(QStringLiteral("ITA"));
    ApplyLanguage(language);
    FixSizeAtLeast(this, {292, 194});
    PlaceBesideMainWindow(this, mainWindow);
}

TF_TestMessage::~TF_TestMessage() = default;

int TF_TestMessage::Run(QWidget* mainWindow, const QString& language, const QString& webBaseUrl)
{
    TF_TestMessage window(mainWindow, language, webBaseUrl);
    return ExecDialog(window);
}

void TF_TestMessage::ApplyLanguage(const QString& code)
{
    if (LanguageGroupOf(code) == LanguageGroup::None)
        return;
    setWindowTitle(*PickText(code, {"Attenzione", "Warning", "Messaggio"}));
    lblMessage->setText(*PickText(
        code, {"La spedizione di messaggi tramite l'account di test è solo a scopo dimostrativo, quindi il messaggio non "
               "verrà inoltrato realmente dai nostri server al destinatario. Contattaci per ottenere il tuo account subito.",
               "The dispatch of messages through test account has demonstration purposes only, and the message will not "
               "be sent to the recipient. Contact us if you want your account immediately.",
               "O invio das mesagens com o accont de test é somente dimostrativo, entao a mensagem nao vai ser enviada do "
               "nosso servedor real ao destinatario. Se estao interessados aos nossos serviços, contata-nos."}));
    BtnClose->setText(*PickText(code, {"Chiudi", "Close", "Fechar"}));
    sbChat->setToolTip(*PickText(code, {"Contattaci subito!", "Contact us now!", "Contata-nos"}));
}

void TF_TestMessage::sbChatClick()
{
    OpenInBrowser(ContactPageUrl(m_webBaseUrl));
}
