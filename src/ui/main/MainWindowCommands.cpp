// The main window's commands: menu bar, picture tool bar, browser pages, about box, the
// settings dialog, the list windows and the data module's services.
#include "net/GatewayService.h"
#include "net/Suggestion.h"
#include "phonebook/PhoneBookServices.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/BrowserLink.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/NumberDetailsWindow.h"
#include "ui/dialogs/SettingsDialog.h"
#include "ui/dialogs/SuggestionDialog.h"
#include "ui/dialogs/TestMessageDialog.h"
#include "ui/main/ContactPanel.h"
#include "ui/main/ContactsPane.h"
#include "ui/lists/ContactImportDialog.h"
#include "ui/lists/ListsWindow.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MessagePanel.h"
#include "ui/main/PictureToolBar.h"
#include "ui/main/SendControls.h"
#include "ui/main/StatusBar.h"
#include "ui/main/TopPanel.h"
#include "ui/main/TrayController.h"
#include "ui/main/UpdateLinkRow.h"
#include "update/SetupDownload.h"
#include "update/UpdateCheck.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QTimer>

namespace {
QString WithoutTrailingSlashes(QString url)
{
    while (url.endsWith(u'/'))
        url.chop(1);
    return url;
}

// The maker's page with the account in its query, values percent-encoded so a password
// with "&" or "+" reaches the page as typed.
QUrl AccountPage(const QString& webBaseUrl, const char* page, const QString& user, const QString& password,
                 const char* tail)
{
    const QString base = WithoutTrailingSlashes(webBaseUrl);
    const QByteArray query =
        "?U=" + QUrl::toPercentEncoding(user) + "&P=" + QUrl::toPercentEncoding(password) + tail;
    return QUrl::fromEncoded(base.toUtf8() + page + query);
}

} // namespace

void TF_Main::BuildActions()
{
    auto make = [this](const char* name, auto handler) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    aVisualizzaCredito = make("aVisualizzaCredito", &TF_Main::ShowCredit);
    aAcquistaCredito = make("aAcquistaCredito", &TF_Main::BuyCredit);
    aMessaggiSpediti = make("aMessaggiSpediti", &TF_Main::ShowSentMessages);
    aImpostazioni = make("aImpostazioni", [this] { ShowSettingsDialog(); });
    aChiudiProgramma = make("aChiudiProgramma", [this] { RequestExit(); });
    aRipristinaNascondi = make("aRipristinaNascondi", [this] { m_tray->ShowOrHide(); });
    aInformazioni = make("Informazioni1", [this] { ShowAboutBox(); });
    aSitoWeb = make("aSitoWeb", [this] { OpenUrl(HomePageUrl()); });
    aGestisciListe = make("aGestisciListe", &TF_Main::GestisciListe);
    aImportPrecedente = make("Rubricaprecedente1", [] {});
    aImportPrecedente->setVisible(false);
    aImportFromMSOutlook = make("aImportFromMSOutlook", &TF_Main::ImportContacts);
    aImportFromMSOutlook->setText(QStringLiteral("Microsoft Outlook..."));
    // No command behind it: shown for the familiar list, never enabled.
    aImportFromOutlookExpress = make("aImportFromOutlookExpress", [] {});
    aImportFromOutlookExpress->setText(QStringLiteral("Outlook Express..."));
    aImportFromOutlookExpress->setEnabled(false);
    // The contact import reads vCard files: business cards take the same road.
    aImportVCard = make("BigliettidavisitaVCard1", &TF_Main::ImportContacts);
    aRichiestaLookup = make("aRichiestaLookup", &TF_Main::RichiestaLookup);
    aVerificaAggiornamenti = make("Verificaaggiornamenti1", &TF_Main::Verificaaggiornamenti1Click);
    aManuale = make("Manuale1", &TF_Main::Manuale1Click);
    aSuggerimento = make("Inviaunsuggerimento1", &TF_Main::Inviaunsuggerimento1Click);
}

void TF_Main::BuildMenus()
{
    m_actionsMenu = menuBar()->addMenu(QString());
    m_actionsMenu->setObjectName(QStringLiteral("Azioni1"));
    // The phone book's commands, made by its areas, then the import submenu and the lists.
    m_actionsMenu->addAction(m_contactPanel->aAggiungiContatto);
    m_actionsMenu->addAction(m_contactsPane->aModificaContatto);
    m_actionsMenu->addAction(m_contactsPane->aEliminaContatto);
    m_actionsMenu->addAction(m_contactPanel->aAddCustomNumber);
    m_importMenu = m_actionsMenu->addMenu(QString());
    m_importMenu->setObjectName(QStringLiteral("Importacontattida1"));
    m_importMenu->addActions(
        {aImportPrecedente, aImportFromMSOutlook, aImportFromOutlookExpress, aImportVCard});
    m_actionsMenu->addAction(aGestisciListe);
    m_actionsMenu->addAction(m_contactsPane->aQuickSearch);
    // With no tray to reach it from, Exit must be on the window itself.
    m_actionsMenu->addSeparator();
    m_actionsMenu->addAction(aChiudiProgramma);

    m_toolsMenu = menuBar()->addMenu(QString());
    m_toolsMenu->setObjectName(QStringLiteral("Strumenti1"));
    m_toolsMenu->addAction(aImpostazioni);
    m_toolsMenu->addSeparator();
    m_toolsMenu->addAction(aVisualizzaCredito);
    m_toolsMenu->addAction(aAcquistaCredito);
    m_toolsMenu->addSeparator();
    m_toolsMenu->addAction(aMessaggiSpediti);
    m_toolsMenu->addSeparator();
    m_toolsMenu->addAction(aVerificaAggiornamenti);

    m_helpMenu = menuBar()->addMenu(QString());
    m_helpMenu->setObjectName(QStringLiteral("Aiuto1"));
    m_helpMenu->addActions({aManuale, aSuggerimento, aInformazioni});

    // The credit entry of the menu bar, never shown.
    MenuCredit = menuBar()->addAction(QString());
    MenuCredit->setObjectName(QStringLiteral("MenuCredit"));
    MenuCredit->setVisible(false);
    connect(MenuCredit, &QAction::triggered, this, &TF_Main::MenuCreditClick);

    for (QMenu* menu : {m_actionsMenu, m_toolsMenu, m_helpMenu})
        connect(menu, &QMenu::aboutToShow, this, &TF_Main::ProgramActionsUpdate);
    // F10 opens the first menu and the arrows reach the others, Help too, whose title has no
    // accelerator letter.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] {
        menuBar()->setFocus(Qt::ShortcutFocusReason);
        menuBar()->setActiveAction(m_actionsMenu->menuAction());
    });
}

void TF_Main::BuildToolBar()
{
    // The pictures call their commands directly, whatever the commands' enabled state.
    TPictureToolBar* bar = m_topPanel->ToolBar();
    bar->AddPicture(1, {"Aggiungi contatto", "Add contact", "Adicionar contacto"},
                    [this] { m_contactPanel->OpenAdd(); });
    bar->AddPicture(2, {"Gestisci liste", "Manage lists", "Gerir listas"}, [this] { GestisciListe(); });
    bar->AddPicture(3, {"Lista SMS inviati", "SMS Archive", "Lista SMS enviados"},
                    [this] { ShowSentMessages(); });
    bar->AddPicture(4, {"Visualizza credito", "Show your credit", "Requerer credito"},
                    [this] { ShowCredit(); });
    bar->AddPicture(5, {"Acquista credito", "Buy credit", "Comprar credito"}, [this] { BuyCredit(); });
    bar->AddPicture(6, {"Cerca contatto", "Find contact", "Procurar contacto"},
                    [this] { m_contactsPane->ShowQuickSearch(); });
}

void TF_Main::ShowCredit()
{
    m_gateway.AskCredit(1);
}

void TF_Main::BuyCredit()
{
    OpenUrl(BuyCreditUrl());
}

void TF_Main::ShowSentMessages()
{
    OpenUrl(SentMessagesUrl());
}

void TF_Main::ProgramActionsUpdate()
{
    aVisualizzaCredito->setEnabled(!IsDemoUser());
    aRichiestaLookup->setEnabled(m_services.Lookup != nullptr && !LookupNumber().isEmpty());
    aSuggerimento->setEnabled(m_services.Suggestions != nullptr);
    aVerificaAggiornamenti->setEnabled(m_services.Updates != nullptr);
}

void TF_Main::MenuCreditClick()
{
    MenuCredit->setText(QString());
    MenuCredit->setVisible(false);
}

void TF_Main::Image1Click()
{
    if (m_updateRow)
        m_updateRow->Image1Click();
}

// The list manager, modal; the tray has no menu meanwhile. A change reloads the tree while the
// status bar says the lists are being synchronised.
void TF_Main::GestisciListe()
{
    m_tray->SetMenuEnabled(false);
    const bool changed = TF_Liste::Run(this, m_phoneBook.Local, m_phoneBook.Tree, m_settings);
    const QString statusText = m_statusBar->StatusText();
    const int statusWidth = m_statusBar->StatusWidth();
    m_statusBar->SetPanel1(m_listsSync, ListsSyncWidth);
    m_statusBar->repaint();
    m_contactsPane->ReloadAfterListsChanged(changed);
    m_statusBar->SetPanel1(statusText, statusWidth);
    m_tray->SetMenuEnabled(true);
}

// Contacts from a vCard or Outlook CSV file; the import adds them to the tree and the phone book.
void TF_Main::ImportContacts()
{
    if (TF_ImportFromMSOutlook::Run(this, m_phoneBook.Local, m_phoneBook.Tree, m_settings) > 0)
        m_contactsPane->UpdateEmptyView();
}

void TF_Main::RichiestaLookup()
{
    const QString number = LookupNumber();
    if (!m_services.Lookup || number.isEmpty() || !ConfirmLookup(this, m_settings.GetLanguage()))
        return;
    TimerLookupInCorso->start();
    m_services.Lookup->RequestLookup(number);
}

void TF_Main::Verificaaggiornamenti1Click()
{
    if (m_services.Updates)
        m_services.Updates->CheckForUpdates(true, m_settings.GetNextUpdateExpire());
}

void TF_Main::Manuale1Click()
{
    OpenUrl(ManualUrl());
}

QUrl TF_Main::ManualUrl() const
{
    const QString language =
        m_settings.GetLanguage() == u"ITA" ? QStringLiteral("ITA") : QStringLiteral("ENG");
    return QUrl(WithoutTrailingSlashes(m_settings.GetEndpoints().DownloadBaseUrl) +
                QStringLiteral("/updates/Brelmont_Help_%1.pdf").arg(language));
}

// The dialog waits for the outcome; closed before it came, the status bar animates until then.
void TF_Main::Inviaunsuggerimento1Click()
{
    if (!m_services.Suggestions)
        return;
    TF_Suggerimento::Run(this, m_settings.GetLanguage(), *m_services.Suggestions);
    if (m_services.Suggestions->PendingCount() > 0)
        TimerSuggerimentoInCorso->start();
}

// The services of the data module: lookup, suggestion and update outcomes in the status bar,
// the update row in the command panel.
void TF_Main::BuildServices()
{
    if (TNumberLookup* lookup = m_services.Lookup) {
        connect(lookup, &TNumberLookup::lookupDone, this, [this](quint64, const TLookupResponse& response) {
            TimerLookupInCorso->stop();
            ShowResult(response.IsOk() ? Texts().TextRequestDone : Texts().TextRequestFailed);
            TF_DettagliNumero::Open(this, m_settings.GetLanguage(), response);
        });
        connect(lookup, &TNumberLookup::lookupFailed, this, [this] {
            TimerLookupInCorso->stop();
            ShowResult(Texts().TextRequestFailed);
        });
    }
    if (TSuggestionSender* suggestions = m_services.Suggestions) {
        connect(suggestions, &TSuggestionSender::suggestionSent, this, [this] {
            TimerSuggerimentoInCorso->stop();
            ShowResult(Texts().TextSent);
        });
        connect(suggestions, &TSuggestionSender::suggestionFailed, this, [this] {
            TimerSuggerimentoInCorso->stop();
            ShowResult(Texts().TextNotSent);
        });
    }
    if (!m_services.Updates || !m_services.Setup)
        return;
    TSendControls* commands = m_messagePanel->SendControls();
    m_updateRow = new TUpdateLinkRow(*m_services.Updates, *m_services.Setup, Texts(), commands);
    commands->AddRow(m_updateRow);
    connect(m_updateRow, &TUpdateLinkRow::commandPanelHeightChanged, commands, &QWidget::setFixedHeight);
    connect(m_updateRow, &TUpdateLinkRow::noticeRequested, m_topPanel, &TTopPanel::ShowNotice);
    // The setup program was started: the program ends as Exit ends it.
    connect(m_services.Setup, &TSetupDownload::finished, this, [this] {
        RequestExit();
        TimerCloseAppAfterUpdate->start();
    });
}

void TF_Main::CheckForUpdatesAutomatic()
{
    if (m_services.Updates)
        m_services.Updates->CheckForUpdates(false, m_settings.GetNextUpdateExpire());
}

QUrl TF_Main::BuyCreditUrl() const
{
    return AccountPage(m_settings.GetEndpoints().WebBaseUrl, "/formlog.aspx", m_settings.GetUserName(),
                       m_settings.GetPassword(), "");
}

QUrl TF_Main::SentMessagesUrl() const
{
    return AccountPage(m_settings.GetEndpoints().WebBaseUrl, "/formLog.aspx", m_settings.GetUserName(),
                       m_settings.GetPassword(), "&L=H");
}

QUrl TF_Main::HomePageUrl() const
{
    return QUrl(m_settings.GetEndpoints().WebBaseUrl);
}

void TF_Main::OpenUrl(const QUrl& url)
{
    // No message when no browser opens.
    if (url.isValid())
        OpenInBrowser(url);
}

void TF_Main::ShowAboutBox()
{
    TF_About about(this, m_language, m_settings.GetEndpoints().WebBaseUrl);
    ExecDialog(about);
}

void TF_Main::ShowTestAccountNotice()
{
    TF_TestMessage notice(this, m_language, m_settings.GetEndpoints().WebBaseUrl);
    ExecDialog(notice);
}

void TF_Main::ShowSettingsDialog()
{
    if (m_tray->HiddenInTray)
        m_tray->RestoreFromTray();
    BringToFront();
    // Built on first use: most runs never open it.
    if (!m_settingsDialog) {
        m_settingsDialog = std::make_unique<TF_Settings>(m_settings);
        // While the dialog is shown the periodic credit query waits; when it hides, the
        // sessions are dropped (the account may have changed) and the credit is asked again.
        connect(m_settingsDialog.get(), &TF_Settings::shown, TimerAskCredit, &QTimer::stop);
        connect(m_settingsDialog.get(), &TF_Settings::hidden, this, &TF_Main::SettingsDialogHidden);
        connect(m_settingsDialog.get(), &TF_Settings::languageConfirmed, this, &TF_Main::ApplyLanguage);
    }
    m_settingsDialog->OpenBeside(this);
}

void TF_Main::SettingsDialogHidden()
{
    if (ExitRequested)
        return; // the program is ending: no new exchange
    m_gateway.DropSessions();
    TimerAskCreditTimer();
    TimerAskCredit->start();
}
