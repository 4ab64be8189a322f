#include "ui/main/SendControls.h"

#include "compose/ComposeTexts.h"
#include "i18n/Language.h"
#include "platform/OleDate.h"
#include "platform/SystemFacts.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/dialogs/Placement.h"
#include "ui/dialogs/ScheduleDialog.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr double OneMinute = 1.0 / 1440;

template <typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// One choice: its caption over two exclusive radio buttons.
QWidget* ChoicePanel(QWidget* parent, const char* name, QLabel* caption, QRadioButton* first,
                     QRadioButton* second)
{
    auto* panel = Named(new QWidget(parent), name);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(0);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    for (QWidget* w : std::initializer_list<QWidget*>{caption, first, second}) {
        w->setParent(panel);
        layout->addWidget(w);
    }
    auto* group = new QButtonGroup(panel);
    group->addButton(first);
    group->addButton(second);
    first->setChecked(true);
    return panel;
}
} // namespace

TSendControls::TSendControls(TSettingsHolder& settings, const TComposeTexts& texts, QWidget* parent)
    : QWidget(parent), lblQuality(Named(new QLabel(this), "lblQuality")),
      lblSender(Named(new QLabel(this), "lblSender")), lblDelayed(Named(new QLabel(this), "lblDelayed")),
      rbHQ(Named(new QRadioButton(this), "rbHQ")), rbMQ(Named(new QRadioButton(this), "rbMQ")),
      rbMittente(Named(new QRadioButton(this), "rbMittente")),
      rbAnonimo(Named(new QRadioButton(this), "rbAnonimo")),
      rbImmediato(Named(new QRadioButton(this), "rbImmediato")),
      rbProgrammato(Named(new QRadioButton(this), "rbProgrammato")),
      BtnInviaSMS(Named(new QPushButton(this), "BtnInviaSMS")),
      lblStatus(Named(new QLabel(this), "lblStatus")),
      BtnContinua(Named(new QPushButton(this), "BtnContinua")),
      BtnChiudi(Named(new QPushButton(this), "BtnChiudi")), m_settings(settings), m_texts(texts),
      m_layout(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("pnCommands"));
    setFixedHeight(Height);
    pnQuality = ChoicePanel(this, "pnQuality", lblQuality, rbHQ, rbMQ);
    pnSender = ChoicePanel(this, "pnSender", lblSender, rbMittente, rbAnonimo);
    pnDelayed = ChoicePanel(this, "pnDelayed", lblDelayed, rbImmediato, rbProgrammato);

    // The sender text may be long: its panel takes what the other two leave, and cuts it.
    for (QWidget* w : std::initializer_list<QWidget*>{lblSender, rbMittente, rbAnonimo})
        w->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* choices = new QHBoxLayout;
    choices->setSpacing(4);
    choices->addWidget(pnQuality);
    choices->addWidget(pnSender, 1);
    choices->addWidget(pnDelayed);

    QFont bold = lblStatus->font();
    bold.setBold(true);
    lblStatus->setFont(bold);
    lblStatus->setAlignment(Qt::AlignCenter);
    lblStatus->hide();

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addStretch(1);
    for (QPushButton* button : {BtnInviaSMS, BtnContinua, BtnChiudi}) {
        button->setMinimumWidth(75);
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    BtnContinua->hide();
    BtnChiudi->hide();

    m_layout->setContentsMargins(2, 2, 2, 2);
    m_layout->setSpacing(2);
    m_layout->addLayout(choices);
    m_layout->addWidget(lblStatus, 1);
    m_layout->addLayout(buttons);

    connect(rbHQ, &QRadioButton::clicked, this, &TSendControls::rbHQClick);
    connect(rbMQ, &QRadioButton::clicked, this, &TSendControls::rbMQClick);
    connect(rbProgrammato, &QRadioButton::clicked, this, &TSendControls::cbInvioRitardatoChange);
    connect(rbImmediato, &QRadioButton::clicked, this, &TSendControls::rbImmediatoClick);
    connect(BtnInviaSMS, &QPushButton::clicked, this, &TSendControls::sendClicked);
    connect(BtnContinua, &QPushButton::clicked, this, [this] { emit closeClicked(TagContinue); });
    connect(BtnChiudi, &QPushButton::clicked, this, [this] { emit closeClicked(TagClose); });
    ApplyLanguage(QStringLiteral("ITA"));
}

TSendControls::~TSendControls() = default;

void TSendControls::ApplyLanguage(const QString& code)
{
    if (LanguageGroupOf(code) == LanguageGroup::None)
        return;
    m_language = code;
    const auto text = [&code](const Tr& tr) { return *PickText(code, tr); };
    lblQuality->setText(text({"Qualità", "Quality", "Qualidade"}));
    rbHQ->setText(text({"Alta", "High", "Alta"}));
    rbMQ->setText(text({"Media", "Medium", "Média"}));
    lblSender->setText(text({"Mittente", "Sender", "Remetente"}));
    rbAnonimo->setText(text({"Anonimo", "Anonymous", "Anónimo"}));
    lblDelayed->setText(text({"Invio", "Deliver it", "Entregá-lo"}));
    rbImmediato->setText(text({"Immediato", "Immediately", "Imediatamente"}));
    rbProgrammato->setText(text({"Pianificato", "Delayed", "Escondido"}));
    BtnChiudi->setText(text({"Chiudi", "Close", "Fechar"}));
    BtnContinua->setText(text({"Continua", "Continue", "Continua"}));
    const QString sender = m_settings.GetSender();
    rbMittente->setText(sender);
    rbMittente->setToolTip(sender);
    ShowScheduleHint();
}

void TSendControls::AddRow(QWidget* row)
{
    m_layout->addWidget(row);
}

void TSendControls::rbHQClick()
{
    rbMittente->setEnabled(rbHQ->isChecked());
    rbAnonimo->setEnabled(rbHQ->isChecked());
}

void TSendControls::rbMQClick()
{
    if (m_settings.GetWarningMediumQuality() && rbMQ->isChecked()) {
        const auto answer = TF_Message::ShowOffering(window(), TF_Message::ButtonsOkCancel, m_language,
                                                     m_texts.MediumCaption, m_texts.MediumNotice);
        if (answer.Result == TF_Message::ResultOk) {
            m_settings.SetWarningMediumQuality(!answer.DoNotShowMore);
            m_settings.SaveSettings();
        } else {
            rbHQ->setChecked(true);
            rbHQClick();
            rbHQ->setFocus();
        }
    }
    // Medium quality has no custom sender; the choice keeps its state while disabled.
    rbMittente->setEnabled(!rbMQ->isChecked());
    rbAnonimo->setEnabled(!rbMQ->isChecked());
}

void TSendControls::cbInvioRitardatoChange()
{
    if (!rbProgrammato->isChecked()) {
        SetSchedule(0);
    } else {
        TF_Ritardo dialog(window(), m_language);
        PlaceWindow(PlacementRule::ScheduleBesideMainWindow, &dialog, window());
        switch (ExecDialog(dialog)) {
        case TF_Ritardo::ResultOk:
            SetSchedule(DateTimeToDays(dialog.ChosenDateTime()));
            break;
        case TF_Ritardo::ResultImmediate:
            SetSchedule(0);
            break;
        default: // the earlier choice stands
            SetSchedule(m_scheduledAt);
            break;
        }
    }
    ShowScheduleHint();
}

void TSendControls::rbImmediatoClick()
{
    SetSchedule(0);
    ShowScheduleHint();
}

void TSendControls::SetSchedule(double days)
{
    m_scheduledAt = days;
    if (days < DateTimeToDays(SystemFacts::Now()) - OneMinute) {
        if (!rbImmediato->isChecked()) {
            rbImmediato->setChecked(true);
            rbImmediatoClick();
        }
        rbImmediato->setFocus();
        return;
    }
    ShowScheduleHint();
}

void TSendControls::ShowScheduleHint()
{
    // The hint names the delivery time, and only while delayed delivery is chosen.
    const bool shown = rbProgrammato->isChecked() && m_scheduledAt > 0;
    rbProgrammato->setToolTip(
        shown ? m_texts.ScheduledPrefix +
                    DaysToDateTime(m_scheduledAt).toString(QStringLiteral("dd'/'MM'/'yyyy hh:mm"))
              : QString());
}

double TSendControls::ConvertSchedule(double localDays, int timeZone)
{
    return localDays - (timeZone - 1) / 24.0;
}

double TSendControls::ScheduleTime(int timeZone) const
{
    return rbProgrammato->isChecked() ? ConvertSchedule(m_scheduledAt, timeZone) : 0;
}

quint8 TSendControls::QualityIndex() const
{
    return rbHQ->isChecked() ? 0 : 1;
}

bool TSendControls::Anonymous() const
{
    return rbAnonimo->isChecked();
}

void TSendControls::ShowSentState(const QString& resultText)
{
    rbMittente->setChecked(true);
    rbImmediato->setChecked(true);
    ShowScheduleHint();
    for (QWidget* panel : {pnSender, pnQuality, pnDelayed})
        panel->hide();
    lblStatus->setText(resultText);
    lblStatus->show();
    BtnInviaSMS->hide();
    BtnChiudi->show();
    BtnContinua->show();
}

void TSendControls::ShowComposing()
{
    lblStatus->hide();
    for (QWidget* panel : {pnSender, pnQuality, pnDelayed})
        panel->show();
    BtnInviaSMS->show();
    BtnChiudi->hide();
    BtnContinua->hide();
}

bool TSendControls::IsSentState() const
{
    return !lblStatus->isHidden();
}
