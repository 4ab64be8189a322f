#include "ui/dialogs/NumberDetailsWindow.h"

#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/dialogs/Placement.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kGap = 2;
constexpr int kFallbackOffset = 100;

QLabel* NamedLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}
} // namespace

QPoint DetailsWindowCorner(const QRect& mainFrame, int detailsWidth, const QRect& monitor)
{
    const int left = mainFrame.left();
    const int right = mainFrame.left() + mainFrame.width() + kGap;
    if (left - kGap - monitor.left() >= detailsWidth)
        return {left - kGap - detailsWidth, mainFrame.top()};
    if (monitor.left() + monitor.width() - right >= detailsWidth)
        return {right, mainFrame.top()};
    return monitor.topLeft() + QPoint(kFallbackOffset, kFallbackOffset);
}

bool ConfirmLookup(QWidget* mainWindow, const QString& language)
{
    TLookupTexts texts;
    texts.ApplyLanguage(language);
    TF_Message box(mainWindow, TF_Message::ButtonsOkCancel, language);
    return box.ShowText(texts.ConfirmCaption, texts.ConfirmText) == TF_Message::ResultOk;
}

TF_DettagliNumero::TF_DettagliNumero(QWidget* mainWindow, const QString& language)
    : QDialog(mainWindow), PanelDettagli(new QWidget(this)), lblNum(NamedLabel("lblNum", PanelDettagli)),
      lblNumero(NamedLabel("lblNumero", PanelDettagli)), lblOpe(NamedLabel("lblOpe", PanelDettagli)),
      lblOperatore(NamedLabel("lblOperatore", PanelDettagli)), lbl_MCC(NamedLabel("lbl_MCC", PanelDettagli)),
      lblMCC(NamedLabel("lblMCC", PanelDettagli)), lbl_MNC(NamedLabel("lbl_MNC", PanelDettagli)),
      lblMNC(NamedLabel("lblMNC", PanelDettagli)), lblZon(NamedLabel("lblZon", PanelDettagli)),
      lblZona(NamedLabel("lblZona", PanelDettagli)), lblSta(NamedLabel("lblSta", PanelDettagli)),
      lblStato(NamedLabel("lblStato", PanelDettagli)), lblBaloon(NamedLabel("lblBaloon", this)),
      BtnOk(new QPushButton(this))
{
    setObjectName(QStringLiteral("TF_DettagliNumero"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    PanelDettagli->setObjectName(QStringLiteral("PanelDettagli"));
    BtnOk->setObjectName(QStringLiteral("BtnOk"));

    auto* form = new QFormLayout(PanelDettagli);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(lblNum, lblNumero);
    form->addRow(lblOpe, lblOperatore);
    form->addRow(lbl_MCC, lblMCC);
    form->addRow(lbl_MNC, lblMNC);
    form->addRow(lblZon, lblZona);
    form->addRow(lblSta, lblStato);
    for (QLabel* value : {lblNumero, lblOperatore, lblMCC, lblMNC, lblZona, lblStato})
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = lblStato->font();
    bold.setBold(true);
    lblStato->setFont(bold);
    lblBaloon->setWordWrap(true);
    lblBaloon->setTextFormat(Qt::PlainText);
    lblBaloon->hide();

    BtnOk->setMinimumWidth(75);
    BtnOk->setDefault(true);
    connect(BtnOk, &QPushButton::clicked, this, &QWidget::close);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(BtnOk);
    buttonRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PanelDettagli);
    layout->addWidget(lblBaloon);
    layout->addStretch();
    layout->addLayout(buttonRow);

    ApplyLanguage(QStringLiteral("ITA"));
    ApplyLanguage(language);
    ShowDetails(m_details);
}

TF_DettagliNumero::~TF_DettagliNumero() = default;

TF_DettagliNumero* TF_DettagliNumero::Open(QWidget* mainWindow, const QString& language,
                                           const TLookupResponse& response)
{
    auto* window = new TF_DettagliNumero(mainWindow, language);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->ShowDetails(response.Details);
    if (!response.IsOk())
        window->SetBaloonText(response.BaloonText);
    FixSizeAtLeast(window, {260, 190});
    window->PlaceBesideMainWindow(mainWindow);
    window->PanelDettagli->show();
    window->show();
    return window;
}

void TF_DettagliNumero::ApplyLanguage(const QString& code)
{
    m_texts.ApplyLanguage(code);
    setWindowTitle(m_texts.WindowCaption);
    lblNum->setText(m_texts.NumberCaption);
    lblOpe->setText(m_texts.OperatorCaption);
    lbl_MCC->setText(m_texts.MCCCaption);
    lbl_MNC->setText(m_texts.MNCCaption);
    lblZon->setText(m_texts.ZoneCaption);
    lblSta->setText(m_texts.StatusCaption);
    BtnOk->setText(m_texts.OkCaption);
    lblStato->setText(m_texts.StatusText(m_details));
}

void TF_DettagliNumero::ShowDetails(const TNumberDetails& details)
{
    m_details = details;
    lblNumero->setText(details.Number);
    lblOperatore->setText(details.OperatorName);
    lblMCC->setText(details.MCC);
    lblMNC->setText(details.MNC);
    lblZona->setText(details.LocationName);
    lblStato->setText(m_texts.StatusText(details));
    QPalette palette = lblStato->palette();
    palette.setColor(QPalette::WindowText, details.IsReachable() ? QColor(0, 128, 0) : QColor(255, 0, 0));
    lblStato->setPalette(palette);
}

void TF_DettagliNumero::SetBaloonText(const QString& text)
{
    lblBaloon->setText(text);
    lblBaloon->setVisible(!text.isEmpty());
}

void TF_DettagliNumero::PlaceBesideMainWindow(const QWidget* mainWindow)
{
    if (!mainWindow)
        return;
    const QWidget* main = mainWindow->window();
    const QRect frame = main->frameGeometry();
    int width = frameGeometry().width();
    // A window not shown yet knows no frame: take the main window's frame for it.
    if (!isVisible() && main->isVisible())
        width += frame.width() - main->width();
    const auto monitor = NearestMonitor(MonitorWorkAreas(), frame.topLeft());
    if (monitor)
        move(DetailsWindowCorner(frame, width, *monitor));
}
