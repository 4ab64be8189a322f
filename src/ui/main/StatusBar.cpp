#include "ui/main/StatusBar.h"

#include "i18n/Language.h"
#include "ui/dialogs/DialogSupport.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadialGradient>

namespace {
constexpr int LampSize = 24;
}

TConnectionLight::TConnectionLight(QWidget* parent) : QWidget(parent)
{
    setFixedSize(TMainStatusBar::LightPanelWidth, LampSize);
    setObjectName(QStringLiteral("ConnectionLight"));
}

QSize TConnectionLight::sizeHint() const
{
    return {TMainStatusBar::LightPanelWidth, LampSize};
}

void TConnectionLight::SetError(bool error)
{
    if (m_error == error)
        return;
    m_error = error;
    update();
    Describe();
}

void TConnectionLight::SetStateTexts(const QString& ok, const QString& error)
{
    m_okText = ok;
    m_errorText = error;
    Describe();
}

void TConnectionLight::Describe()
{
    setAccessibleDescription(m_error ? m_errorText : m_okText);
}

void TConnectionLight::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor base = m_error ? QColor(200, 30, 30) : QColor(30, 170, 40);
    const QRectF lamp(4.5, 4.5, LampSize - 9, LampSize - 9);
    QRadialGradient glow(lamp.center() - QPointF(2, 2), lamp.width() / 1.4);
    glow.setColorAt(0, base.lighter(170));
    glow.setColorAt(1, base);
    painter.setPen(QPen(base.darker(160), 1));
    painter.setBrush(glow);
    painter.drawEllipse(lamp);
}

TMainStatusBar::TMainStatusBar(QWidget* parent)
    : QFrame(parent), m_light(new TConnectionLight(this)), m_panel1(new QLabel(this)),
      m_panel2(new QLabel(this))
{
    setObjectName(QStringLiteral("StatusBar"));
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 4, 0);
    layout->setSpacing(2);
    layout->addWidget(m_light);
    m_panel1->setObjectName(QStringLiteral("StatusPanel1"));
    m_panel1->setFixedWidth(InitialPanel1Width);
    m_panel2->setObjectName(QStringLiteral("StatusPanel2"));
    m_panel2->setMinimumWidth(0);
    m_panel2->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(m_panel1);
    layout->addWidget(m_panel2, 1);
}

QString TMainStatusBar::Panel1Text() const
{
    return m_panel1->text();
}

int TMainStatusBar::Panel1Width() const
{
    return m_panel1->isHidden() ? 0 : m_panel1->maximumWidth();
}

void TMainStatusBar::SetPanel1(const QString& text, int width)
{
    m_statusText = text;
    m_statusWidth = width;
    ShowPanel1();
}

void TMainStatusBar::SetPanel1Text(const QString& text)
{
    SetPanel1(text, 0);
}

void TMainStatusBar::ShowAccount(bool demo)
{
    m_demo = demo;
    ShowPanel1();
}

void TMainStatusBar::ShowPanel1()
{
    QString text = m_statusText;
    int width = m_statusWidth;
    if (text.isEmpty()) {
        text = m_demo ? QStringLiteral("Test account") : QString();
        width = m_demo ? AccountPanelWidth : 0;
    } else if (width <= 0) {
        width = qMax(AccountPanelWidth, m_panel1->fontMetrics().horizontalAdvance(text) + 8);
    }
    m_panel1->setText(text);
    m_panel1->setFixedWidth(width);
    m_panel1->setVisible(width > 0);
}

QString TMainStatusBar::Panel2Text() const
{
    return m_panel2->text();
}

void TMainStatusBar::SetPanel2Text(const QString& text)
{
    m_panel2->setText(text);
    m_panel2->setToolTip(text);
}

void TMainStatusBar::ApplyLanguage(const QString& code)
{
    DescribeForScreenReaders(code, m_light, {"Connessione", "Connection", "Ligação"},
                             {"Esito dell'ultimo scambio con il servizio", "Outcome of the last exchange with the service",
                              "Resultado da última troca com o serviço"});
    const auto ok = PickText(code, {"Riuscito", "Worked", "Bem sucedida"});
    const auto failed = PickText(code, {"Non riuscito", "Failed", "Falhou"});
    if (ok && failed)
        m_light->SetStateTexts(*ok, *failed);
    DescribeForScreenReaders(code, m_panel1, {"Stato", "Status", "Estado"},
                             {"Account di prova o testo troppo lungo", "Test account or text too long",
                              "Conta de teste ou texto demasiado longo"});
    DescribeForScreenReaders(code, m_panel2, {"Esito", "Outcome", "Resultado"},
                             {"Esito dell'ultimo invio o richiesta", "Outcome of the last send or request",
                              "Resultado do último envio ou pedido"});
}
