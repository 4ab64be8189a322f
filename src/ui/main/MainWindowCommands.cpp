// The main window's commands: menu bar, picture tool bar, browser pages, about box and the
// settings dialog.
#include "net/GatewayService.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/BrowserLink.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/SettingsDialog.h"
#include "ui/dialogs/TestMessageDialog.h"
#include "ui/main/ContactPanel.h"
#include "ui/main/ContactsPane.h"
#include "ui/main/MainWindow.h"
#include "ui/main/PictureToolBar.h"
#include "ui/main/TopPanel.h"
#include "ui/main/TrayController.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace {
// The maker's page with the account in its query, values percent-encoded so a password
// with "&" or "+" reaches the page as typed.
QUrl AccountPage(const QString& webBaseUrl, const char* page, const QString& user, const QString& password,
                 const char* tail)
{
    QString base = webBaseUrl;
    while (base.endsWith(u'/'))
        base.chop(1);
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
}

void TF_Main::BuildMenus()
{
    m_actionsMenu = menuBar()->addMenu(QString());
    m_actionsMenu->setObjectName(QStringLiteral("Azioni1"));
    // The phone book's commands, made by its areas.
    m_actionsMenu->addAction(m_contactPanel->aAggiungiContatto);
    m_actionsMenu->addAction(m_contactsPane->aModificaContatto);
    m_actionsMenu->addAction(m_contactsPane->aEliminaContatto);
    m_actionsMenu->addAction(m_contactPanel->aAddCustomNumber);
    m_actionsMenu->addAction(m_contactsPane->aQuickSearch);
    m_actionsMenu->addSeparator();
    // With no tray to reach it from, Exit must be on the window itself.
    m_actionsMenu->addAction(aChiudiProgramma);

    m_toolsMenu = menuBar()->addMenu(QString());
    m_toolsMenu->setObjectName(QStringLiteral("Strumenti1"));
    m_toolsMenu->addAction(aImpostazioni);
    m_toolsMenu->addSeparator();
    m_toolsMenu->addAction(aVisualizzaCredito);
    m_toolsMenu->addAction(aAcquistaCredito);
    m_toolsMenu->addSeparator();
    m_toolsMenu->addAction(aMessaggiSpediti);

    m_helpMenu = menuBar()->addMenu(QString());
    m_helpMenu->setObjectName(QStringLiteral("Aiuto1"));
    m_helpMenu->addAction(aInformazioni);

    for (QMenu* menu : {m_actionsMenu, m_toolsMenu, m_helpMenu})
        connect(menu, &QMenu::aboutToShow, this, &TF_Main::ProgramActionsUpdate);
}

void TF_Main::BuildToolBar()
{
    // The pictures call their commands directly, whatever the commands' enabled state.
    TPictureToolBar* bar = m_topPanel->ToolBar();
    bar->AddPicture(1, {"Aggiungi contatto", "Add contact", "Adicionar contacto"},
                    [this] { m_contactPanel->OpenAdd(); });
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
