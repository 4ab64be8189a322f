#include "ui/main/TrayController.h"

#include "settings/SettingsHolder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/LoginDialog.h"
#include "ui/main/FirstTimeNotice.h"
#include "ui/main/Pictures.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QTimer>

TTrayController::TTrayController(QMainWindow& window, TSettingsHolder& settings, const bool& exitRequested,
                                 const QList<QAction*>& menuActions, QObject* parent)
    : QObject(parent), m_window(window), m_settings(settings), m_exitRequested(exitRequested)
{
    TimerDoubleClicked = new QTimer(this);
    TimerDoubleClicked->setObjectName(QStringLiteral("TimerDoubleClicked"));
    TimerDoubleClicked->setInterval(RestoreInterval);
    connect(TimerDoubleClicked, &QTimer::timeout, this, &TTrayController::RestoreFromTray);

    Tray = new QSystemTrayIcon(Pictures::ProgramIcon(), this);
    Tray->setObjectName(QStringLiteral("Tray"));
    Tray->setToolTip(QStringLiteral("Brelmont"));
    PopTray = new QMenu(&window);
    PopTray->setObjectName(QStringLiteral("PopTray"));
    PopTray->addActions(menuActions);
    if (!menuActions.isEmpty())
        PopTray->setDefaultAction(menuActions.first());
    Tray->setContextMenu(PopTray);
    connect(Tray, &QSystemTrayIcon::activated, this, &TTrayController::OnActivated);
    if (UsesTray())
        Tray->show();
}

TTrayController::~TTrayController()
{
    Tray->hide();
}

bool TTrayController::UsesTray() const
{
    // Asked each time: a desktop panel started after the program brings its tray later.
    return m_useTrayOverride.value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

void TTrayController::SetUsesTray(bool useTray)
{
    m_useTrayOverride = useTray;
    Tray->setVisible(useTray && QSystemTrayIcon::isSystemTrayAvailable());
}

bool TTrayController::IsDemoUser() const
{
    return m_settings.GetUserName().compare(TSettingsHolder::DemoUserName(), Qt::CaseInsensitive) == 0;
}

void TTrayController::OnActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        TrayMouseDown();
    else if (reason == QSystemTrayIcon::DoubleClick)
        TrayClick();
}

void TTrayController::TrayClick()
{
    if (!TimerDoubleClicked->isActive())
        TimerDoubleClicked->start();
}

void TTrayController::TrayMouseDown()
{
    if (m_loginOpen)
        return;
    // An account whose password is not stored is asked for it first; the window is
    // restored whichever way the prompt was closed.
    if (m_settings.PasswordField().isEmpty() && !IsDemoUser()) {
        m_loginOpen = true;
        TF_Login::Ask(m_settings);
        m_loginOpen = false;
    }
    TrayClick();
    emit pressed();
}

void TTrayController::RestoreFromTray()
{
    TimerDoubleClicked->stop();
    HiddenInTray = false;
    if (m_window.isMinimized() || !m_window.isVisible())
        m_window.showNormal();
    if (UsesTray())
        Tray->show();
    emit restored(); // the window comes to the front then
}

void TTrayController::ShowOrHide()
{
    if (HiddenInTray)
        RestoreFromTray();
    else
        m_window.close();
}

void TTrayController::HideInTray()
{
    HiddenInTray = true;
    if (UsesTray()) {
        m_window.hide();
        Tray->show();
    } else {
        // Without a tray the window is never hidden: it waits minimised on the task bar.
        m_window.showMinimized();
    }
}

void TTrayController::HideOnClose()
{
    HideInTray();
    if (!m_settings.GetFirstTimeClose() && UsesTray())
        ShowFirstTimeNotice(false);
    Tray->setContextMenu(PopTray);
}

void TTrayController::WindowStateChanged()
{
    if (m_window.isMinimized() && !HiddenInTray && !Starting) {
        HiddenInTray = true;
        if (UsesTray())
            QTimer::singleShot(0, this, [this] {
                if (HiddenInTray)
                    m_window.hide();
            });
    } else if (!m_window.isMinimized() && HiddenInTray && m_window.isVisible()) {
        HiddenInTray = false;
        emit restored();
    }
}

void TTrayController::ShowFirstTimeNotice(bool atBottomRight)
{
    TF_FirstTime notice(Language);
    if (!atBottomRight)
        notice.move(m_window.pos());
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        notice.PlaceAtBottomRight(screen->geometry());
    ExecDialog(notice);
    // A notice cut short by the end of the session was not confirmed.
    if (notice.cbDontShowAgain->isChecked() && !m_exitRequested) {
        m_settings.SetFirstTimeClose(true);
        m_settings.SaveSettings();
    }
}

void TTrayController::StartUpVisibility(const QStringList& arguments)
{
    if (!m_settings.IsFirstTime()) {
        // An ordinary start goes to the tray.
        if (!m_settings.GetFirstTimeClose() && UsesTray())
            ShowFirstTimeNotice(true);
        HideOnClose();
    } else {
        RestoreFromTray();
        m_settings.SetFirstTime(false);
    }
    if (!arguments.isEmpty() && arguments.first() == u"show")
        RestoreFromTray();
}

void TTrayController::SetMenuEnabled(bool enabled)
{
    Tray->setContextMenu(enabled ? PopTray : nullptr);
}

void TTrayController::Remove()
{
    TimerDoubleClicked->stop();
    Tray->hide();
}
