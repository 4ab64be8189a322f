#include "ui/dialogs/MessageDialog.h"

#include "i18n/Language.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/Placement.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QQueue>
#include <QVBoxLayout>

namespace {
constexpr int ClientWidth = 323;
constexpr int ClientHeight = 169;

struct TAnswer
{
    int result;
    bool doNotShowMore;
};

QQueue<TAnswer>& PendingAnswers()
{
    static QQueue<TAnswer> answers;
    return answers;
}

QString& LastShown(bool caption)
{
    static QString lastCaption;
    static QString lastText;
    return caption ? lastCaption : lastText;
}
} // namespace

TF_Message::TF_Message(QWidget* owner, int buttons, const QString& language)
    : QDialog(owner), lblMessageText(new QLabel(this)),
      cbDoNotShowMore(new QCheckBox(QStringLiteral("Non mostrare più questo messaggio."), this)),
      BtnOk_1(new QPushButton(QStringLiteral("Ok"), this)),
      BtnOk_2(new QPushButton(QStringLiteral("Ok"), this)),
      BtnCancel_2(new QPushButton(QStringLiteral("Annulla"), this)), m_owner(owner)
{
    setObjectName(QStringLiteral("TF_Message"));
    UseFixedWindowFrame(this);
    lblMessageText->setObjectName(QStringLiteral("lblMessageText"));
    cbDoNotShowMore->setObjectName(QStringLiteral("cbDoNotShowMore"));
    BtnOk_1->setObjectName(QStringLiteral("BtnOk_1"));
    BtnOk_2->setObjectName(QStringLiteral("BtnOk_2"));
    BtnCancel_2->setObjectName(QStringLiteral("BtnCancel_2"));

    lblMessageText->setWordWrap(true);
    lblMessageText->setTextFormat(Qt::PlainText);
    lblMessageText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMessageText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblMessageText->setMinimumSize(289, 81);
    cbDoNotShowMore->hide();

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    for (QPushButton* button : {BtnOk_1, BtnOk_2, BtnCancel_2}) {
        button->setMinimumWidth(75);
        buttonRow->addWidget(button);
    }
    buttonRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(17, 12, 17, 12);
    layout->addWidget(lblMessageText, 1);
    layout->addWidget(cbDoNotShowMore);
    layout->addLayout(buttonRow);

    connect(BtnOk_1, &QPushButton::clicked, this, [this] { done(ResultOk); });
    connect(BtnOk_2, &QPushButton::clicked, this, [this] { done(ResultOk); });
    connect(BtnCancel_2, &QPushButton::clicked, this, [this] { done(ResultCancel); });

    BtnOk_2->hide();
    BtnCancel_2->hide();
    BtnOk_1->setDefault(true);
    ApplyLanguage(language);
    SetButtons(buttons);
    FitHeight();
    PlaceWindow(PlacementRule::BesideOwner, this, m_owner);
}

TF_Message::~TF_Message() = default;

void TF_Message::ApplyLanguage(const QString& code)
{
    const auto ok = PickText(code, {"Ok", "Ok", "Ok"});
    if (!ok)
        return;
    BtnOk_1->setText(*ok);
    BtnOk_2->setText(*ok);
    BtnCancel_2->setText(*PickText(code, {"Annulla", "Cancel", "Anula"}));
    cbDoNotShowMore->setText(
        *PickText(code, {"Non mostrare più questo messaggio.", "Don't show this message any more.",
                         "Não mostrar esta mensagem mais nenhuma."}));
}

void TF_Message::SetButtons(int buttons)
{
    if (buttons != ButtonsOk && buttons != ButtonsOkCancel)
        return;
    const bool single = buttons == ButtonsOk;
    BtnOk_1->setVisible(single);
    BtnOk_2->setVisible(!single);
    BtnCancel_2->setVisible(!single);
    (single ? BtnOk_1 : BtnOk_2)->setDefault(true);
    (single ? BtnOk_2 : BtnOk_1)->setDefault(false);
}

void TF_Message::SetCaption(const QString& text)
{
    setWindowTitle(text);
}

void TF_Message::SetText(const QString& text)
{
    // Callers write line breaks as CR LF; the label breaks at LF.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lblMessageText->setText(shown);
}

void TF_Message::FitHeight()
{
    FixSizeAtLeast(this, {ClientWidth, ClientHeight});
}

TF_Message::TOfferedAnswer TF_Message::ShowOffering(QWidget* owner, int buttons, const QString& language,
                                                    const QString& caption, const QString& text)
{
    TF_Message box(owner, buttons, language);
    box.cbDoNotShowMore->show();
    const int result = box.ShowText(caption, text);
    return {result, box.cbDoNotShowMore->isChecked()};
}

int TF_Message::ShowText(const QString& caption, const QString& text)
{
    SetText(text);
    SetCaption(caption);
    LastShown(true) = caption;
    LastShown(false) = text;
    if (!PendingAnswers().isEmpty()) {
        const TAnswer answer = PendingAnswers().dequeue();
        if (answer.doNotShowMore)
            cbDoNotShowMore->setChecked(true);
        setResult(answer.result);
        return answer.result;
    }
    const QSize before = size();
    FitHeight();
    if (size() != before)
        PlaceWindow(PlacementRule::BesideOwner, this, m_owner);
    return exec();
}

void TF_Message::reject()
{
    done(ResultCancel);
}

void TF_Message::SetNextAnswer(int answer, bool doNotShowMore)
{
    PendingAnswers().enqueue({answer, doNotShowMore});
}

void TF_Message::ClearNextAnswers()
{
    PendingAnswers().clear();
}

QString TF_Message::LastCaption()
{
    return LastShown(true);
}

QString TF_Message::LastText()
{
    return LastShown(false);
}
