#pragma once

#include "net/GatewayResultView.h"
#include "settings/SettingsHolder.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QUrl>
#include <optional>

class IGatewayCommands;
class QAction;
class QMenu;
class QTimer;
class QToolButton;
class QFrame;
class TFR_TextPanel;
class TF_Settings;
class TMainStatusBar;
class TNoticeArea;

// The main window: menu bar, picture tool bar, notice strips, the areas of the phone book
// and the message, the status bar with the connection light, and the tray icon that hides
// and restores it. Closing it hides it in the tray; only Exit or the end of the session
// closes it for good (programEnding).
class TF_Main : public QMainWindow, public IGatewayResultView, public ISettingsWindowHost
{
    Q_OBJECT

public:
    static QString Caption() { return QStringLiteral("TarvoTelecom - Brelmont"); }
    static constexpr int MinimumWidth = 307;
    static constexpr int MinimumHeight = 400;
    static constexpr int ToolBarHeight = 26;
    static constexpr int CreditInterval = 300000;
    static constexpr int ClearCreditTextInterval = 30000;
    static constexpr int ClearStatusTextInterval = 8000;
    static constexpr int RestoreInterval = 500;
    static constexpr int StartInterval = 10;

    explicit TF_Main(QWidget* parent = nullptr);
    ~TF_Main() override;

    // Wiring done by the program after the later long-lived objects exist.
    void SetSettings(TSettingsHolder* settings);
    void SetGateway(IGatewayCommands* gateway) { m_gateway = gateway; }
    // The settings dialog: shown by aImpostazioni; while it is shown the credit timer pauses.
    void SetSettingsDialog(TF_Settings* dialog);
    void SetStartArguments(const QStringList& arguments) { m_arguments = arguments; }
    // Whether closing hides the window in the tray (true) or only minimises it: whether the
    // desktop has a tray, unless set for tests.
    bool UsesTray() const;
    void SetUsesTray(bool useTray);

    // State shared with the tray, start-up and result handling.
    bool ExitRequested = false;
    bool HiddenInTray = false;
    bool Starting = true;
    bool ConnectionError = true; // red until an exchange succeeds
    qint64 LastCredit = -1;
    int NoticeCount = 0;

    void ApplyLanguage(const QString& code);
    void BringToFront();
    void SetNoticeCount(int n);
    // Status panel 1; the text is put there only when it differs from the last one put this way.
    void SetStatusPanel1Text(const QString& text);
    TFR_TextPanel* ShowNotice(int kind, const QString& message, const QString& name);
    void UserTextClose(TFR_TextPanel* strip);
    TNoticeArea* NoticeArea() const { return m_noticeArea; }
    TMainStatusBar* StatusBar() const { return m_statusBar; }
    int TopPanelHeight() const;

    // IGatewayResultView
    void ShowCreditNotice(const QString& text) override;
    void SetCredit(qint64 thousandths) override;
    void SetConnectionState(bool error) override;
    void Relayout() override { FormResize(); }
    bool IsWindowStateNormal() const override;
    void StopSendingAnimation() override;
    void SetStatusText(const QString& text) override;
    void StartStatusClearTimer() override;
    void EnterSentState(const QString& sentText) override;
    void ShowTestAccountNotice() override;

    // ISettingsWindowHost
    QPoint CurrentPosition() const override { return pos(); }
    void ResizeTo(int width, int height) override { resize(width, height); }
    void MoveTo(int left, int top) override { move(left, top); }
    void ResetCredit() override { SetCredit(0); }

    // Handlers, public so the program and the tests can run them directly.
    void FormActivate();
    void FormResize();
    void TimerStartTimer();
    void TimerAskCreditTimer();
    void TimerClearCreditTextTimer();
    void TimerPulisciMessaggioTimer();
    void TrayClick();
    void TrayMouseDown();
    void RestoreFromTray();
    void HideInTray();
    // Exit from the menus: the next close ends the program.
    void RequestExit();
    // The session ends (log-off, shutdown, SIGTERM): end without any question.
    void EndSession();
    void ProgramActionsUpdate();
    // The commands behind the menu entries and the tool bar's pictures.
    void ShowCredit();
    void BuyCredit();
    void ShowSentMessages();

    // Commands (tool bar pictures and menus call the same actions).
    QAction* aVisualizzaCredito = nullptr;
    QAction* aAcquistaCredito = nullptr;
    QAction* aMessaggiSpediti = nullptr;
    QAction* aImpostazioni = nullptr;
    QAction* aChiudiProgramma = nullptr;
    QAction* aRipristinaNascondi = nullptr;
    QAction* aInformazioni = nullptr;
    QAction* aSitoWeb = nullptr;

    QTimer* TimerStart = nullptr;
    QTimer* TimerAskCredit = nullptr;
    QTimer* TimerClearCreditText = nullptr;
    QTimer* TimerDoubleClicked = nullptr;
    QTimer* TimerPulisciMessaggio = nullptr;
    QTimer* TimerInvioInCorso = nullptr;

    QSystemTrayIcon* Tray = nullptr;
    QMenu* PopTray = nullptr;

    // The URLs the browser commands open.
    QUrl BuyCreditUrl() const;
    QUrl SentMessagesUrl() const;
    QUrl HomePageUrl() const;

signals:
    // The window was closed with ExitRequested set: the program ends.
    void programEnding();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildLayout();
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void BuildTray();
    void BuildTimers();
    void NormaliseStatusPanel1();
    bool IsDemoUser() const;
    void OpenUrl(const QUrl& url);
    void ShowAboutBox();
    void ShowSettingsDialog();
    void OnRestored();
    void ShowFirstTimeNotice(bool atBottomRight);
    bool AskLoginFromTray();
    void OnTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void SettingsDialogHidden();
    void EndProgram();

    TSettingsHolder* m_settings = nullptr;
    IGatewayCommands* m_gateway = nullptr;
    QPointer<TF_Settings> m_settingsDialog;
    QStringList m_arguments;
    std::optional<bool> m_useTrayOverride;
    bool m_loginOpen = false;
    bool m_ending = false;
    QString m_lastPanel1Text;
    QString m_language;

    QMenu* m_actionsMenu = nullptr;
    QMenu* m_toolsMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QWidget* m_pnButtons = nullptr;
    QFrame* m_contactsArea = nullptr;
    QFrame* m_messagePanel = nullptr;
    TNoticeArea* m_noticeArea = nullptr;
    TMainStatusBar* m_statusBar = nullptr;
    QList<QToolButton*> m_toolPictures;
};
