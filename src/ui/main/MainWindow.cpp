#include "ui/main/MainWindow.h"

#include "i18n/Language.h"
#include "net/GatewayService.h"
#include "phonebook/ContactsTree.h"
#include "ui/dialogs/SettingsDialog.h"
#include "ui/main/ContactPanel.h"
#include "ui/main/ContactsPane.h"
#include "ui/main/MessagePanel.h"
#include "ui/main/NoticeArea.h"
#include "ui/main/Pictures.h"
#include "ui/main/RecipientsPanel.h"
#include "ui/main/SendControls.h"
#include "ui/main/StatusBar.h"
#include "ui/main/TopPanel.h"
#include "ui/main/TrayController.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

TF_Main::TF_Main(TSettingsHolder& settings, const TMainWindowServices& services, const QStringList& arguments,
                 QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_services(services), m_gateway(*services.Gateway),
      m_phoneBook(*services.PhoneBook), m_arguments(arguments)
{
    setObjectName(QStringLiteral("TF_Main"));
    setWindowTitle(Caption());
    setWindowIcon(Pictures::ProgramIcon());
    setMinimumSize(MinimumWidth, MinimumHeight);
    resize(SpecOf(Setting::LastW).defaultValue().toInt(), SpecOf(Setting::LastH).defaultValue().toInt());

    BuildTimers();
    BuildActions();
    BuildLayout();
    BuildMenus();
    BuildToolBar();
    BuildServices();
    ConnectMessagePanel();
    m_tray = new TTrayController(*this, m_settings, ExitRequested,
                                 {aRipristinaNascondi, aImpostazioni, aSitoWeb, aChiudiProgramma}, this);
    connect(m_tray, &TTrayController::restored, this, [this] {
        BringToFront();
        SetConnectionState(ConnectionError);
        OnRestored();
    });
    connect(m_tray, &TTrayController::pressed, this, [this] { SetConnectionState(ConnectionError); });
    ConnectGateway();
    ConnectSettings();
    ConnectPhoneBookAreas();
    // FormCreate: first activation pending, not in the tray, credit unknown.
    SetCredit(-1);
    ApplyLanguage(QStringLiteral("ITA"));
    TimerStart->start();
}

TF_Main::~TF_Main() = default;

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
    TimerPulisciMessaggio = make("TimerPulisciMessaggio", ClearStatusTextInterval, false);
    TimerInvioInCorso = make("TimerInvioInCorso", AnimationInterval, false);
    TimerLookupInCorso = make("TimerLookupInCorso", AnimationInterval, false);
    TimerSuggerimentoInCorso = make("TimerSuggerimentoInCorso", AnimationInterval, false);
    TimerGetUpdates = make("TimerGetUpdates", GetUpdatesInterval, false);
    TimerCloseAppAfterUpdate = make("TimerCloseAppAfterUpdate", CloseAfterUpdateInterval, false);
    connect(TimerInvioInCorso, &QTimer::timeout, this, &TF_Main::TimerInvioInCorsoTimer);
    connect(TimerLookupInCorso, &QTimer::timeout, this, &TF_Main::TimerLookupInCorsoTimer);
    connect(TimerSuggerimentoInCorso, &QTimer::timeout, this, &TF_Main::TimerSuggerimentoInCorsoTimer);
    connect(TimerGetUpdates, &QTimer::timeout, this, &TF_Main::TimerGetUpdatesTimer);
    // The setup program runs: the program ends (a second close in case the first was not taken).
    connect(TimerCloseAppAfterUpdate, &QTimer::timeout, this, &TF_Main::RequestExit);
    connect(TimerStart, &QTimer::timeout, this, &TF_Main::TimerStartTimer);
    connect(TimerAskCredit, &QTimer::timeout, this, &TF_Main::TimerAskCreditTimer);
    connect(TimerClearCreditText, &QTimer::timeout, this, &TF_Main::TimerClearCreditTextTimer);
    connect(TimerPulisciMessaggio, &QTimer::timeout, this, &TF_Main::TimerPulisciMessaggioTimer);
    TimerAskCredit->start();
}

void TF_Main::BuildLayout()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_topPanel = new TTopPanel(central);
    m_contactsPane = new TContactsPane(m_phoneBook, m_settings, *m_topPanel, central);
    m_contactPanel = new TContactPanel(m_contactsPane->Edits(), m_settings, *m_topPanel, central);
    m_recipientsPanel = new TRecipientsPanel(m_phoneBook, m_settings, central);
    m_messagePanel = new TMessagePanel(m_settings, m_gateway, *m_recipientsPanel, central);
    m_statusBar = new TMainStatusBar(central);
    layout->addWidget(m_topPanel);
    layout->addWidget(m_contactPanel);
    layout->addWidget(m_contactsPane, 1);
    layout->addWidget(m_recipientsPanel);
    layout->addWidget(m_messagePanel);
    layout->addWidget(m_statusBar);
    setCentralWidget(central);
}

// The gateway's outcomes, as the window shows them.
void TF_Main::ConnectGateway()
{
    connect(&m_gateway, &TGatewayService::creditReceived, this,
            [this](qint64 thousandths, const QString& text, bool showNotice) {
                if (showNotice) {
                    m_topPanel->ShowNotice(0, text, QStringLiteral("FrCredit"));
                    TimerClearCreditText->start();
                }
                SetCredit(thousandths);
                FormResize();
            });
    connect(&m_gateway, &TGatewayService::connectionStateChanged, this, &TF_Main::SetConnectionState);
    connect(&m_gateway, &TGatewayService::loginRefused, this, [this](int, const QString& text) {
        // A query that fails while the window is minimised or maximised changes nothing.
        if (!IsWindowStateNormal())
            return;
        SetConnectionState(true);
        FormResize();
        TimerInvioInCorso->stop();
        m_statusBar->SetPanel2Text(text);
    });
    // The message panel shows the outcome of an accepted send; the status bar only loses the
    // sending animation.
    connect(&m_gateway, &TGatewayService::sendAccepted, this, [this](const QString&, qint64 remaining) {
        SetCredit(remaining);
        TimerInvioInCorso->stop();
        m_statusBar->SetPanel2Text(QString());
        TimerPulisciMessaggio->start();
    });
    connect(&m_gateway, &TGatewayService::sendRefused, this, [this](int, const QString& text) {
        TimerInvioInCorso->stop();
        ShowResult(text);
    });
    connect(&m_gateway, &TGatewayService::demoNoticeDue, this, &TF_Main::ShowTestAccountNotice);
}

void TF_Main::ConnectSettings()
{
    connect(&m_settings, &TSettingsHolder::valueChanged, this, [this](const QString& name) {
        if (name == u"UserName") {
            ProgramActionsUpdate();
            NormaliseStatusPanel1();
        }
    });
    // After every load and save the account may be another one.
    connect(&m_settings, &TSettingsHolder::languageApplied, this, [this] {
        ProgramActionsUpdate();
        NormaliseStatusPanel1();
    });
}

bool TF_Main::IsDemoUser() const
{
    return m_settings.GetUserName().compare(TSettingsHolder::DemoUserName(), Qt::CaseInsensitive) == 0;
}

void TF_Main::NormaliseStatusPanel1()
{
    m_statusBar->ShowAccount(IsDemoUser());
}

void TF_Main::SetConnectionState(bool error)
{
    if (!error) {
        m_statusBar->SetPanel2Text(QString());
        m_contactsPane->OfferEmptyNotice(m_tray->HiddenInTray);
    }
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

void TF_Main::TimerClearCreditTextTimer()
{
    TimerClearCreditText->stop();
    MenuCreditClick();
    m_topPanel->UserTextClose(m_topPanel->NoticeArea()->FindStrip(QStringLiteral("FrCredit")));
}

bool TF_Main::IsWindowStateNormal() const
{
    return !m_tray->HiddenInTray && !isMinimized() && !isMaximized();
}

void TF_Main::TimerPulisciMessaggioTimer()
{
    m_statusBar->SetPanel2Text(QString());
    TimerPulisciMessaggio->stop();
}

// A result in status panel 2, cleared 8 seconds later.
void TF_Main::ShowResult(const QString& text)
{
    m_statusBar->SetPanel2Text(text);
    TimerPulisciMessaggio->start();
}

void TF_Main::TimerInvioInCorsoTimer()
{
    m_statusBar->SetPanel2Text(NextInCycle(m_statusBar->Panel2Text(), m_messagePanel->Texts().Sending, 4));
}

void TF_Main::TimerLookupInCorsoTimer()
{
    m_statusBar->SetPanel2Text(m_lookupTexts.NextAnimationText(m_statusBar->Panel2Text()));
}

void TF_Main::TimerSuggerimentoInCorsoTimer()
{
    TimerInvioInCorsoTimer();
}

void TF_Main::TimerGetUpdatesTimer()
{
    if (IsWindowStateNormal())
        TimerGetUpdates->stop();
}

// The message panel's send and sent state, as the rest of the window follows them.
void TF_Main::ConnectMessagePanel()
{
    connect(m_messagePanel, &TMessagePanel::statusTextChanged, m_statusBar, &TMainStatusBar::SetPanel1Text);
    connect(m_messagePanel, &TMessagePanel::sendingStarted, TimerInvioInCorso, qOverload<>(&QTimer::start));
    connect(m_messagePanel, &TMessagePanel::sendNotStarted, this, [this] {
        TimerInvioInCorso->stop();
        ShowResult(Texts().TextNotSent);
    });
    // A sent message stays on display until Continue or Close: recipients, tree and menus wait.
    connect(m_messagePanel, &TMessagePanel::sentStateEntered, this, [this] {
        for (QWidget* area : std::initializer_list<QWidget*>{m_recipientsPanel, m_contactsPane, menuBar()})
            area->setEnabled(false);
    });
    connect(m_messagePanel, &TMessagePanel::sentStateLeft, this, [this](int tag) {
        for (QWidget* area : std::initializer_list<QWidget*>{m_recipientsPanel, m_contactsPane, menuBar()})
            area->setEnabled(true);
        while (TFR_TextPanel* credit = m_topPanel->NoticeArea()->FindStrip(QStringLiteral("FrCredit")))
            m_topPanel->UserTextClose(credit);
        if (tag == TSendControls::TagClose)
            close();
    });
}

void TF_Main::TimerAskCreditTimer()
{
    if (m_tray->HiddenInTray) {
        m_creditTickSkipped = true; // run when the window comes back
        return;
    }
    m_creditTickSkipped = false;
    TimerAskCredit->stop();
    m_gateway.AskCredit(0);
    CheckForUpdatesAutomatic();
    TimerAskCredit->start();
}

void TF_Main::BringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TF_Main::OnRestored()
{
    // A tick that fell while the window was in the tray runs now; otherwise a restore while the
    // light is red asks the credit again (silently).
    if (m_creditTickSkipped && !m_tray->Starting)
        TimerAskCreditTimer();
    else if (!m_tray->Starting && ConnectionError)
        m_gateway.AskCredit(0);
    // A start in the tray kept the empty-phone-book notice for the first time the window shows.
    m_contactsPane->OfferEmptyNotice(m_tray->HiddenInTray);
}

void TF_Main::FormActivate()
{
    // An active window is on screen, however it got there (task bar, window manager).
    if (isVisible() && !isMinimized())
        m_tray->HiddenInTray = false;
    ApplyLanguage(m_settings.GetLanguage());
    m_messagePanel->TNTMemoMessageChange();
    ProgramActionsUpdate();
    if (m_tray->Starting)
        FirstActivation();
    FocusMessageBox();
}

void TF_Main::FormResize()
{
    if (width() < MinimumWidth || height() < MinimumHeight)
        resize(qMax(width(), MinimumWidth), qMax(height(), MinimumHeight));
    m_settings.SetWindowPlace(x(), y(), width(), height());
    SetConnectionState(ConnectionError);
}

void TF_Main::TimerStartTimer()
{
    TimerStart->stop();
    ApplyLanguage(m_settings.GetLanguage());
    m_tray->StartUpVisibility(m_arguments);
    // A window that went to the tray is not activated until the user opens it, and one that was
    // shown may be activated late: the phone book and the first credit query do not wait.
    if (m_tray->Starting)
        FirstActivation();
}

void TF_Main::RequestExit()
{
    ExitRequested = true;
    close();
    // A window without a native window gets no close event; the program ends all the same.
    EndProgram();
}

void TF_Main::EndSession()
{
    RequestExit();
}

void TF_Main::EndProgram()
{
    if (m_ending)
        return;
    m_ending = true;
    TimerAskCredit->stop();
    m_tray->Remove();
    hide();
    emit programEnding();
}

bool TF_Main::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return handled;
}

void TF_Main::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        m_tray->WindowStateChanged();
}

void TF_Main::closeEvent(QCloseEvent* event)
{
    if (ExitRequested) {
        event->accept();
        EndProgram();
        return;
    }
    event->ignore();
    m_tray->HideOnClose();
}

void TF_Main::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}
