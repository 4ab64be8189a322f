// The tray icon and the window's life around it: start-up visibility, hiding on close,
// restoring from the tray, the first-close notice, Exit and the end of the session.
#include "ui/main/MainWindow.h"

#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/LoginDialog.h"
#include "ui/main/FirstTimeNotice.h"
#include "ui/main/GatewayCommands.h"
#include "ui/main/Pictures.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>

void TF_Main::BuildTray()
{
    Tray = new QSystemTrayIcon(Pictures::ProgramIcon(), this);
    Tray->setObjectName(QStringLiteral("Tray"));
    Tray->setToolTip(QStringLiteral("Brelmont"));
    PopTray = new QMenu(this);
    PopTray->setObjectName(QStringLiteral("PopTray"));
    PopTray->addAction(aRipristinaNascondi);
    PopTray->addAction(aImpostazioni);
    PopTray->addAction(aSitoWeb);
    PopTray->addAction(aChiudiProgramma);
    PopTray->setDefaultAction(aRipristinaNascondi);
    Tray->setContextMenu(PopTray);
    connect(Tray, &QSystemTrayIcon::activated, this, &TF_Main::OnTrayActivated);
    if (UsesTray())
        Tray->show();
}

bool TF_Main::UsesTray() const
{
    // Asked each time: a desktop panel started after the program brings its tray later.
    return m_useTrayOverride.value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

void TF_Main::SetUsesTray(bool useTray)
{
    m_useTrayOverride = useTray;
    Tray->setVisible(useTray && QSystemTrayIcon::isSystemTrayAvailable());
}

void TF_Main::OnTrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        TrayMouseDown();
    else if (reason == QSystemTrayIcon::DoubleClick)
        TrayClick();
}

void TF_Main::TrayClick()
{
    if (!TimerDoubleClicked->isActive())
        TimerDoubleClicked->start();
}

void TF_Main::TrayMouseDown()
{
    if (m_loginOpen)
        return;
    // An account whose password is not stored is asked for it first; the window is
    // restored whichever way the prompt was closed.
    if (m_settings && m_settings->PasswordField().isEmpty() && !IsDemoUser())
        AskLoginFromTray();
    TrayClick();
    SetConnectionState(ConnectionError);
}

bool TF_Main::AskLoginFromTray()
{
    m_loginOpen = true;
    const int result = TF_Login::Ask(*m_settings);
    m_loginOpen = false;
    ProgramActionsUpdate();
    return result == QDialog::Accepted;
}

void TF_Main::RestoreFromTray()
{
    TimerDoubleClicked->stop();
    HiddenInTray = false;
    if (isMinimized() || !isVisible())
        showNormal();
    BringToFront();
    SetConnectionState(ConnectionError);
    if (UsesTray())
        Tray->show();
    OnRestored();
}

void TF_Main::OnRestored()
{
    // A restore while the light is red asks the credit again (silently).
    if (!Starting && ConnectionError && m_gateway)
        m_gateway->AskCredit(0);
}

void TF_Main::HideInTray()
{
    HiddenInTray = true;
    if (UsesTray()) {
        hide();
        Tray->show();
    } else {
        // Without a tray the window is never hidden: it waits minimised on the task bar.
        showMinimized();
    }
}

void TF_Main::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized() && !HiddenInTray && !Starting) {
        HiddenInTray = true;
        if (UsesTray())
            QTimer::singleShot(0, this, [this] {
                if (HiddenInTray)
                    hide();
            });
    } else if (!isMinimized() && HiddenInTray && isVisible()) {
        HiddenInTray = false;
        OnRestored();
    }
}

void TF_Main::closeEvent(QCloseEvent* event)
{
    if (ExitRequested) {
        event->accept();
        EndProgram();
        return;
    }
    event->ignore();
    HideInTray();
    if (m_settings && !m_settings->FirstTimeClose && UsesTray())
        ShowFirstTimeNotice(false);
    Tray->setContextMenu(PopTray);
}

void TF_Main::ShowFirstTimeNotice(bool atBottomRight)
{
    TF_FirstTime notice(m_language);
    if (!atBottomRight)
        notice.move(pos());
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        notice.PlaceAtBottomRight(screen->geometry());
    ExecDialog(notice);
    // A notice cut short by the end of the session was not confirmed.
    if (notice.cbDontShowAgain->isChecked() && m_settings && !ExitRequested) {
        m_settings->FirstTimeClose = true;
        m_settings->SaveSettings();
    }
}

void TF_Main::TimerStartTimer()
{
    TimerStart->stop();
    if (!m_settings)
        return;
    ApplyLanguage(m_settings->GetLanguage());
    if (!m_settings->IsFirstTime()) {
        // An ordinary start goes to the tray.
        if (!m_settings->FirstTimeClose && UsesTray())
            ShowFirstTimeNotice(true);
        QCloseEvent closing;
        closeEvent(&closing);
    } else {
        RestoreFromTray();
        m_settings->SetFirstTime(false);
    }
    if (!m_arguments.isEmpty() && m_arguments.first() == u"show")
        RestoreFromTray();
}

void TF_Main::RequestExit()
{
    ExitRequested = true;
    close();
    // A window without a native window gets no close event; the program ends all the same.
    EndProgram();
}

void TF_Main::EndProgram()
{
    if (m_ending)
        return;
    m_ending = true;
    TimerAskCredit->stop();
    TimerDoubleClicked->stop();
    Tray->hide();
    hide();
    emit programEnding();
}

void TF_Main::EndSession()
{
    RequestExit();
}
