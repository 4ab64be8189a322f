#include "ui/main/FirstTimeNotice.h"

#include "i18n/Language.h"
#include "ui/main/Pictures.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TF_FirstTime::TF_FirstTime(const QString& languageCode, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      lblMsgClose(new QLabel(this)), cbDontShowAgain(new QCheckBox(this)), BtnOk_2(new QPushButton(this))
{
    setObjectName(QStringLiteral("TF_FirstTime"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setPixmap(Pictures::TrayAreaPicture());
    picture->setAlignment(Qt::AlignCenter);
    lblMsgClose->setObjectName(QStringLiteral("lblMsgClose"));
    lblMsgClose->setWordWrap(true);
    lblMsgClose->setMinimumWidth(280);
    cbDontShowAgain->setObjectName(QStringLiteral("cbDontShowAgain"));
    cbDontShowAgain->setChecked(true);
    BtnOk_2->setObjectName(QStringLiteral("BtnOk_2"));
    BtnOk_2->setDefault(true);
    connect(BtnOk_2, &QPushButton::clicked, this, &QDialog::accept);

    layout->addWidget(lblMsgClose);
    layout->addWidget(picture);
    layout->addWidget(cbDontShowAgain);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnOk_2);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    // The layout texts are English; a code outside the languages keeps them.
    ApplyLanguage(QStringLiteral("ENG"));
    ApplyLanguage(languageCode);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TF_FirstTime::ApplyLanguage(const QString& code)
{
    if (auto text = PickText(code, {"Messaggio", "Message", "Mensagem"}))
        setWindowTitle(*text);
    if (auto text = PickText(
            code, {"Una volta chiuso il programma per accedere velocemente ad Brelmont sarà sufficiente "
                   "cliccare nelle tray-icons quella indicata qui sotto.",
                   "After you close the program you can find it in the windows tray icon area. By "
                   "clicking on the icon marked here you can open Brelmont quickly.",
                   "Fechando o programa para abrir rapido Brelmont basta clicar na tray-icons indicata "
                   "abaixo na barra de ferramentas."}))
        lblMsgClose->setText(*text);
    if (auto text = PickText(code, {"Non visualizzare più questo messaggio", "Don't show this dialog again.",
                                    "Nao visualizar mais esta mensagem."}))
        cbDontShowAgain->setText(*text);
    if (auto text = PickText(code, {"Ok", "Ok", "Ok"}))
        BtnOk_2->setText(*text);
}

void TF_FirstTime::PlaceAtBottomRight(const QRect& monitor)
{
    m_bottomRightOf = monitor;
    ensurePolished();
    layout()->activate(); // the fixed size it will be shown with
    MoveToBottomRight();
}

void TF_FirstTime::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_bottomRightOf)
        QTimer::singleShot(0, this, &TF_FirstTime::MoveToBottomRight);
}

void TF_FirstTime::MoveToBottomRight()
{
    const QSize frame = frameGeometry().size();
    move(m_bottomRightOf->left() + m_bottomRightOf->width() - frame.width() - 2,
         m_bottomRightOf->top() + m_bottomRightOf->height() - frame.height() - 40);
}
