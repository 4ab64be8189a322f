#include "ui/main/MainWindow.h"

#include "ui/main/GatewayCommands.h"
#include "ui/main/NoticeArea.h"
#include "ui/main/Pictures.h"
#include "ui/main/StatusBar.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QResizeEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int NoticeStripHeight = 34;
constexpr int MaxVisibleStrips = 3;
constexpr int MessagePanelHeight = 207;
const QColor EmptyPhoneBookGrey(149, 149, 149);
} // namespace

TF_Main::TF_Main(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TF_Main"));
    setWindowTitle(Caption());
    setWindowIcon(Pictures::ProgramIcon());
    setMinimumSize(MinimumWidth, MinimumHeight);
    resize(487, 635);

    BuildTimers();
    BuildActions();
    BuildLayout();
    BuildMenus();
    BuildToolBar();
    BuildTray();
    // FormCreate: first activation pending, not in the tray, credit unknown.
    SetCredit(-1);
    NoticeCount = 0;
    ApplyLanguage(QStringLiteral("ITA"));
    TimerStart->start();
}

TF_Main::~TF_Main()
{
    if (Tray)
        Tray->hide();
}

void TF_Main::BuildTimers()
{
    auto make = [this](const char* name, int interval, bool singleShot) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(name));
        timer->setInterval(interval);
        timer->setSingleShot(singleShot);
        return timer;
    };
    TimerStart = make("TimerStart", StartInterval, true);
    TimerAskCredit = make("TimerAskCredit", CreditInterval, false);
    TimerClearCreditText = make("TimerClearCreditText", ClearCreditTextInterval, false);
    TimerDoubleClicked = make("TimerDoubleClicked", RestoreInterval, false);
    TimerPulisciMessaggio = make("TimerPulisciMessaggio", ClearStatusTextInterval, false);
    TimerInvioInCorso = make("TimerInvioInCorso", 500, false);
    connect(TimerStart, &QTimer::timeout, this, &TF_Main::TimerStartTimer);
    connect(TimerAskCredit, &QTimer::timeout, this, &TF_Main::TimerAskCreditTimer);
    connect(TimerClearCreditText, &QTimer::timeout, this, &TF_Main::TimerClearCreditTextTimer);
    connect(TimerDoubleClicked, &QTimer::timeout, this, &TF_Main::RestoreFromTray);
    connect(TimerPulisciMessaggio, &QTimer::timeout, this, &TF_Main::TimerPulisciMessaggioTimer);
    TimerAskCredit->start();
}

void TF_Main::BuildLayout()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Top panel: the picture tool bar and under it the notice strips.
    m_pnButtons = new QWidget(central);
    m_pnButtons->setObjectName(QStringLiteral("pnButtons"));
    auto* top = new QVBoxLayout(m_pnButtons);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    auto* toolBar = new QWidget(m_pnButtons);
    toolBar->setObjectName(QStringLiteral("pnToolBar"));
    toolBar->setFixedHeight(ToolBarHeight);
    auto* pictures = new QHBoxLayout(toolBar);
    pictures->setContentsMargins(2, 1, 2, 1);
    pictures->setSpacing(2);
    pictures->addStretch(1);
    top->addWidget(toolBar);
    m_noticeArea = new TNoticeArea(m_pnButtons);
    connect(m_noticeArea, &TNoticeArea::stripCloseRequested, this, &TF_Main::UserTextClose);
    top->addWidget(m_noticeArea, 1);
    layout->addWidget(m_pnButtons);

    // The contact panel, the phone book and the recipients come with the phone-book work;
    // their areas are kept here. Until then the phone book shows its empty (grey logo) view.
    auto* pnContact = new QFrame(central);
    pnContact->setObjectName(QStringLiteral("pnContact"));
    pnContact->hide();
    layout->addWidget(pnContact);

    m_contactsArea = new QFrame(central);
    m_contactsArea->setObjectName(QStringLiteral("ContactsArea"));
    m_contactsArea->setAutoFillBackground(true);
    QPalette grey = m_contactsArea->palette();
    grey.setColor(QPalette::Window, EmptyPhoneBookGrey);
    m_contactsArea->setPalette(grey);
    auto* logoLayout = new QVBoxLayout(m_contactsArea);
    auto* logo = new QLabel(m_contactsArea);
    logo->setObjectName(QStringLiteral("ImgTarvo"));
    logo->setPixmap(Pictures::Logo());
    logo->setAlignment(Qt::AlignCenter);
    logoLayout->addWidget(logo);
    layout->addWidget(m_contactsArea, 1);

    auto* recipients = new QFrame(central);
    recipients->setObjectName(QStringLiteral("PanelDestinatari"));
    recipients->hide();
    layout->addWidget(recipients);

    m_messagePanel = new QFrame(central);
    m_messagePanel->setObjectName(QStringLiteral("PanelTextMessage"));
    m_messagePanel->setFrameShape(QFrame::StyledPanel);
    m_messagePanel->setFixedHeight(MessagePanelHeight);
    layout->addWidget(m_messagePanel);

    m_statusBar = new TMainStatusBar(central);
    layout->addWidget(m_statusBar);
    setCentralWidget(central);
    SetNoticeCount(0);
}

int TF_Main::TopPanelHeight() const
{
    return m_pnButtons->maximumHeight();
}

void TF_Main::SetNoticeCount(int n)
{
    NoticeCount = n;
    m_pnButtons->setFixedHeight(ToolBarHeight + NoticeStripHeight * qBound(0, n, MaxVisibleStrips));
    m_noticeArea->setVisible(n > 0);
}

TFR_TextPanel* TF_Main::ShowNotice(int kind, const QString& message, const QString& name)
{
    bool created = false;
    TFR_TextPanel* strip = m_noticeArea->ShowNotice(kind, message, name, &created);
    if (created)
        SetNoticeCount(NoticeCount + 1);
    return strip;
}

void TF_Main::UserTextClose(TFR_TextPanel* strip)
{
    if (!strip || !m_noticeArea->FindStrip(strip->objectName()))
        return;
    m_noticeArea->RemoveStrip(strip);
    SetNoticeCount(NoticeCount - 1);
}

bool TF_Main::IsDemoUser() const
{
    return m_settings && m_settings->GetUserName().compare(TSettingsHolder::DemoUserName(), Qt::CaseInsensitive) == 0;
}

void TF_Main::SetSettings(TSettingsHolder* settings)
{
    m_settings = settings;
    if (!settings)
        return;
    connect(settings, &TSettingsHolder::valueChanged, this, [this](const QString& name) {
        if (name == u"UserName") {
            ProgramActionsUpdate();
            NormaliseStatusPanel1();
        }
    });
    ProgramActionsUpdate();
    NormaliseStatusPanel1();
}

// Panel 1 carries "Test account" for the demo account and is folded away for every other.
void TF_Main::NormaliseStatusPanel1()
{
    if (IsDemoUser())
        m_statusBar->SetPanel1(QStringLiteral("Test account"), 80);
    else
        m_statusBar->SetPanel1(QString(), 0);
}

void TF_Main::SetConnectionState(bool error)
{
    if (!error)
        m_statusBar->SetPanel2Text(QString());
    ConnectionError = error;
    m_statusBar->Light()->SetError(error);
    NormaliseStatusPanel1();
}

void TF_Main::SetCredit(qint64 thousandths)
{
    if (thousandths == LastCredit)
        return;
    LastCredit = thousandths;
    m_statusBar->SetPanel1Text(QString());
    NormaliseStatusPanel1();
}

void TF_Main::SetStatusPanel1Text(const QString& text)
{
    if (text == m_lastPanel1Text)
        return;
    m_lastPanel1Text = text;
    m_statusBar->SetPanel1Text(text);
}

void TF_Main::ShowCreditNotice(const QString& text)
{
    ShowNotice(0, text, QStringLiteral("FrCredit"));
    TimerClearCreditText->start();
}

void TF_Main::TimerClearCreditTextTimer()
{
    TimerClearCreditText->stop();
    UserTextClose(m_noticeArea->FindStrip(QStringLiteral("FrCredit")));
}

bool TF_Main::IsWindowStateNormal() const
{
    return !HiddenInTray && !isMinimized() && !isMaximized();
}

void TF_Main::StopSendingAnimation()
{
    TimerInvioInCorso->stop();
}

void TF_Main::SetStatusText(const QString& text)
{
    m_statusBar->SetPanel2Text(text);
}

void TF_Main::StartStatusClearTimer()
{
    TimerPulisciMessaggio->start();
}

void TF_Main::TimerPulisciMessaggioTimer()
{
    m_statusBar->SetPanel2Text(QString());
    TimerPulisciMessaggio->stop();
}

void TF_Main::EnterSentState(const QString& sentText)
{
    // The message and send controls that change state here come with the compose work;
    // the frame only shows the outcome.
    m_statusBar->SetPanel2Text(sentText);
}

void TF_Main::TimerAskCreditTimer()
{
    if (HiddenInTray)
        return;
    TimerAskCredit->stop();
    if (m_gateway)
        m_gateway->AskCredit(0);
    TimerAskCredit->start();
}

void TF_Main::BringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TF_Main::FormActivate()
{
    // An active window is on screen, however it got there (task bar, window manager).
    if (isVisible() && !isMinimized())
        HiddenInTray = false;
    if (m_settings)
        ApplyLanguage(m_settings->GetLanguage());
    ProgramActionsUpdate();
    if (!Starting)
        return;
    // First activation: the connection light starts red, then the silent credit query.
    SetConnectionState(true);
    setWindowTitle(Caption());
    if (m_gateway)
        m_gateway->AskCredit(0);
    Starting = false;
    SetConnectionState(ConnectionError);
}

void TF_Main::FormResize()
{
    if (width() < MinimumWidth || height() < MinimumHeight)
        resize(qMax(width(), MinimumWidth), qMax(height(), MinimumHeight));
    if (m_settings) {
        m_settings->LastW = width();
        m_settings->LastH = height();
        m_settings->LastX = x();
        m_settings->LastY = y();
    }
    SetConnectionState(ConnectionError);
}

bool TF_Main::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return handled;
}

void TF_Main::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}
