#include "ui/dialogs/ProgressWindow.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>

int RoundedPercent(qint64 position, qint64 maximum)
{
    if (maximum <= 0)
        return 0;
    const qint64 numerator = position * 100;
    qint64 quotient = numerator / maximum;
    qint64 remainder = numerator % maximum;
    if (remainder < 0) {
        --quotient;
        remainder += maximum;
    }
    if (2 * remainder > maximum || (2 * remainder == maximum && quotient % 2 != 0))
        ++quotient;
    return int(quotient);
}

TF_Progresso::TF_Progresso(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      pbProgress(new QProgressBar(this)), lblPercent(new QLabel(QStringLiteral("100%"), this)),
      lblDescrizioneProcesso(new QLabel(this))
{
    setObjectName(QStringLiteral("TF_Progresso"));
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    lblPercent->setObjectName(QStringLiteral("lblPercent"));
    lblDescrizioneProcesso->setObjectName(QStringLiteral("lblDescrizioneProcesso"));

    pbProgress->setRange(0, 100);
    pbProgress->setValue(0);
    pbProgress->setTextVisible(false);
    lblPercent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPercent->setMinimumWidth(lblPercent->fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 4);
    lblDescrizioneProcesso->setTextFormat(Qt::PlainText);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setVerticalSpacing(4);
    layout->addWidget(pbProgress, 0, 0);
    layout->addWidget(lblPercent, 0, 1);
    layout->addWidget(lblDescrizioneProcesso, 1, 0, 1, 2);
    setFixedSize(305, qMax(56, layout->sizeHint().height()));
    setAttribute(Qt::WA_ShowWithoutActivating);
}

TF_Progresso::~TF_Progresso() = default;

void TF_Progresso::SetDescription(const QString& text)
{
    lblDescrizioneProcesso->setText(text);
    m_step = 1;
    if (RestartPending)
        SetPosition(0);
}

void TF_Progresso::SetMax(int maximum)
{
    const int bounded = maximum <= 0 ? 1 : maximum;
    // A maximum below the position pulls the position down to it.
    m_position = qMin(m_position, bounded);
    pbProgress->setRange(0, bounded);
    pbProgress->setValue(m_position);
    RestartPending = true;
}

void TF_Progresso::StepIt()
{
    SetPosition(qMin(m_position + m_step, pbProgress->maximum()));
    lblPercent->setText(QString::number(RoundedPercent(m_position, pbProgress->maximum())) + u'%');
}

void TF_Progresso::SetPosition(int position)
{
    m_position = position;
    pbProgress->setValue(position);
}

int TF_Progresso::Position() const
{
    return m_position;
}
