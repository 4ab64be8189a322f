#pragma once

#include "i18n/GlobalTexts.h"
#include "net/NumberLookup.h"
#include "settings/SettingsHolder.h"
#include "ui/main/MainWindowServices.h"

#include <QMainWindow>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QTimer;
class TContactPanel;
class TContactsPane;
class TFR_TextPanel;
class TF_Settings;
class TGatewayService;
class TMainStatusBar;
class TMessagePanel;
class TRecipientsPanel;
struct TPhoneBookServices;
class TTopPanel;
class TTrayController;
class TUpdateLinkRow;

// The main window: it lays out its areas (top panel with the picture tool bar and the notice
// strips, contact panel, contacts pane, recipients panel, message panel with the send
// controls, status bar), owns the menus and the frame's timers, and forwards between the
// areas and the services. Closing it hides it in the tray (TTrayController); only Exit or the
// end of the session closes it for good (programEnding).
//
// It reads no setting while it is created: the program loads the settings afterwards.
class TF_Main : public QMainWindow, public ISettingsWindowHost
{
    Q_OBJECT

public:
    static QString Caption() { return QStringLiteral("TarvoTelecom - Brelmont"); }
    static constexpr int MinimumWidth = 307;
    static constexpr int MinimumHeight = 400;
    static constexpr int CreditInterval = 300000;
    static constexpr int ClearCreditTextInterval = 30000;
    static constexpr int ClearStatusTextInterval = 8000;
    static constexpr int StartInterval = 10;

    static constexpr int AnimationInterval = 500;
    static constexpr int GetUpdatesInterval = 2000;
    static constexpr int CloseAfterUpdateInterval = 1000;
    static constexpr int ListsSyncWidth = 160;

    TF_Main(TSettingsHolder& settings, const TMainWindowServices& services, const QStringList& arguments = {},
            QWidget* parent = nullptr);
    ~TF_Main() override;

    TTrayController& Tray() const { return *m_tray; }
    TTopPanel* TopPanel() const { return m_topPanel; }
    TMainStatusBar* StatusBar() const { return m_statusBar; }
    TMessagePanel* MessagePanel() const { return m_messagePanel; }
    TRecipientsPanel* RecipientsPanel() const { return m_recipientsPanel; }
    TContactsPane* ContactsPane() const { return m_contactsPane; }
    TContactPanel* ContactPanel() const { return m_contactPanel; }
    TUpdateLinkRow* UpdateRow() const { return m_updateRow; }
    // The settings dialog, built the first time it is opened (null until then).
    TF_Settings* SettingsDialog() const { return m_settingsDialog.get(); }

    // State shared with the tray, start-up and result handling.
    bool ExitRequested = false;
    bool ConnectionError = true; // red until an exchange succeeds
    qint64 LastCredit = -1;

    void ApplyLanguage(const QString& code);
    void BringToFront();
    // Status panel 1; the text is put there only when it differs from the last one put this way.
    void SetStatusPanel1Text(const QString& text);
    void SetCredit(qint64 thousandths);
    void SetConnectionState(bool error);
    bool IsWindowStateNormal() const;
    // The contact panel is open (false) or closed (true): the rest of the window follows, and
    // the tray icon has its menu only while on.
    void EnableMainControls(bool on);

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
    void TimerInvioInCorsoTimer();
    void TimerLookupInCorsoTimer();
    void TimerSuggerimentoInCorsoTimer();
    void TimerGetUpdatesTimer();
    void MenuCreditClick();
    void Image1Click();
    // Exit from the menus: the next close ends the program.
    void RequestExit();
    // The session ends (log-off, shutdown, SIGTERM): end without any question.
    void EndSession();
    void ProgramActionsUpdate();
    // The commands behind the menu entries and the tool bar's pictures.
    void ShowCredit();
    void BuyCredit();
    void ShowSentMessages();
    void GestisciListe();
    void ImportContacts();
    void RichiestaLookup();
    void Verificaaggiornamenti1Click();
    void Manuale1Click();
    void Inviaunsuggerimento1Click();


    // Commands (tool bar pictures and menus call the same actions).
    QAction* aVisualizzaCredito = nullptr;
    QAction* aAcquistaCredito = nullptr;
    QAction* aMessaggiSpediti = nullptr;
    QAction* aImpostazioni = nullptr;
    QAction* aChiudiProgramma = nullptr;
    QAction* aRipristinaNascondi = nullptr;
    QAction* aInformazioni = nullptr;
    QAction* aSitoWeb = nullptr;
    QAction* aGestisciListe = nullptr;
    QAction* aImportPrecedente = nullptr;
    QAction* aImportFromMSOutlook = nullptr;
    QAction* aImportFromOutlookExpress = nullptr;
    QAction* aImportVCard = nullptr;
    QAction* aRichiestaLookup = nullptr;
    QAction* aVerificaAggiornamenti = nullptr;
    QAction* aManuale = nullptr;
    QAction* aSuggerimento = nullptr;
    QAction* MenuCredit = nullptr;

    QTimer* TimerStart = nullptr;
    QTimer* TimerAskCredit = nullptr;
    QTimer* TimerClearCreditText = nullptr;
    QTimer* TimerPulisciMessaggio = nullptr;
    QTimer* TimerInvioInCorso = nullptr;
    QTimer* TimerLookupInCorso = nullptr;
    QTimer* TimerSuggerimentoInCorso = nullptr;
    QTimer* TimerGetUpdates = nullptr;
    QTimer* TimerCloseAppAfterUpdate = nullptr;

    // The URLs the browser commands open.
    QUrl BuyCreditUrl() const;
    QUrl SentMessagesUrl() const;
    QUrl HomePageUrl() const;
    QUrl ManualUrl() const;

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
    void BuildTimers();
    void BuildServices();
    void ConnectMessagePanel();
    void CheckForUpdatesAutomatic();
    void ShowResult(const QString& text);
    const TGlobalTexts& Texts() const { return m_services.Texts ? *m_services.Texts : m_ownTexts; }
    void ConnectGateway();
    void ConnectSettings();
    // The phone book's areas: contacts pane, contact panel, recipients panel.
    void ConnectPhoneBookAreas();
    // The once-only steps of the first activation; also run by the start-up step when the
    // window goes straight to the tray.
    void FirstActivation();
    void PhoneBookLoaded(bool atStart);
    void FocusMessageBox();
    // The number the lookup asks about: the selected contact of the tree or the selected
    // recipient, whichever has the focus; empty otherwise.
    QString LookupNumber() const;
    void NormaliseStatusPanel1();
    bool IsDemoUser() const;
    void OpenUrl(const QUrl& url);
    void ShowAboutBox();
    void ShowTestAccountNotice();
    void ShowSettingsDialog();
    void OnRestored();
    void SettingsDialogHidden();
    void EndProgram();

    TSettingsHolder& m_settings;
    TMainWindowServices m_services;
    TGatewayService& m_gateway;
    TPhoneBookServices& m_phoneBook;
    TGlobalTexts m_ownTexts;
    TLookupTexts m_lookupTexts;
    QString m_listsSync;
    QStringList m_arguments;
    std::unique_ptr<TF_Settings> m_settingsDialog;
    bool m_ending = false;
    bool m_creditTickSkipped = false; // a tick fell while the window was in the tray
    QString m_lastPanel1Text;
    QString m_language;

    QMenu* m_actionsMenu = nullptr;
    QMenu* m_toolsMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QMenu* m_importMenu = nullptr;
    TTopPanel* m_topPanel = nullptr;
    TContactPanel* m_contactPanel = nullptr;
    TContactsPane* m_contactsPane = nullptr;
    TRecipientsPanel* m_recipientsPanel = nullptr;
    TMessagePanel* m_messagePanel = nullptr;
    TMainStatusBar* m_statusBar = nullptr;
    TTrayController* m_tray = nullptr;
    TUpdateLinkRow* m_updateRow = nullptr;
};
