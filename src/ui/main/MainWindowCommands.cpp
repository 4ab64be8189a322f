// The main window's commands: menu bar, picture tool bar, browser pages, about box and the
// settings dialog.
#include "ui/main/MainWindow.h"

#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/BrowserLink.h"
#include "ui/dialogs/DialogSupport.h"
#include "settings/dialog/SettingsDialog.h"
#include "ui/dialogs/TestMessageDialog.h"
#include "ui/main/GatewayCommands.h"
#include "ui/main/Pictures.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>

namespace {
// The maker's page with the account in its query, values percent-encoded so a password
// with "&" or "+" reaches the page as typed.
QUrl AccountPage(const QString& webBaseUrl, const char* page, const QString& user, const QString& password,
                 const char* tail)
{
    QString base = webBaseUrl;
    while (base.endsWith(u'/'))
        base.chop(1);
    const QByteArray query = "?U=" + QUrl::toPercentEncoding(user) + "&P=" + QUrl::toPercentEncoding(password) + tail;
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
    aRipristinaNascondi = make("aRipristinaNascondi", [this] {
        if (HiddenInTray)
            RestoreFromTray();
        else
            close();
    });
    aInformazioni = make("Informazioni1", [this] { ShowAboutBox(); });
    aSitoWeb = make("aSitoWeb", [this] { OpenUrl(HomePageUrl()); });
}

void TF_Main::BuildMenus()
{
    m_actionsMenu = menuBar()->addMenu(QString());
    m_actionsMenu->setObjectName(QStringLiteral("Azioni1"));
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
    auto* bar = findChild<QWidget*>(QStringLiteral("pnToolBar"));
    auto* layout = static_cast<QHBoxLayout*>(bar->layout());
    // The pictures call their commands directly, whatever the commands' enabled state.
    const QList<std::pair<int, void (TF_Main::*)()>> pictures = {
        {3, &TF_Main::ShowSentMessages}, {4, &TF_Main::ShowCredit}, {5, &TF_Main::BuyCredit}};
    int index = 0;
    for (const auto& [number, command] : pictures) {
        auto* button = new QToolButton(bar);
        button->setObjectName(QStringLiteral("ToolImage%1").arg(number));
        button->setAutoRaise(true);
        button->setFixedSize(24, 24);
        button->setIconSize({24, 24});
        QIcon icon;
        icon.addPixmap(Pictures::ToolPicture(number, false), QIcon::Normal, QIcon::Off);
        icon.addPixmap(Pictures::ToolPicture(number, true), QIcon::Active, QIcon::Off);
        button->setIcon(icon);
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &QToolButton::clicked, this, command);
        layout->insertWidget(index++, button);
        m_toolPictures.append(button);
    }
}

void TF_Main::ShowCredit()
{
    if (m_gateway)
        m_gateway->AskCredit(1);
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
    if (!m_settings)
        return {};
    return AccountPage(m_settings->GetEndpoints().WebBaseUrl, "/formlog.aspx", m_settings->GetUserName(),
                       m_settings->GetPassword(), "");
}

QUrl TF_Main::SentMessagesUrl() const
{
    if (!m_settings)
        return {};
    return AccountPage(m_settings->GetEndpoints().WebBaseUrl, "/formLog.aspx", m_settings->GetUserName(),
                       m_settings->GetPassword(), "&L=H");
}

QUrl TF_Main::HomePageUrl() const
{
    return m_settings ? QUrl(m_settings->GetEndpoints().WebBaseUrl) : QUrl();
}

void TF_Main::OpenUrl(const QUrl& url)
{
    // No message when no browser opens.
    if (url.isValid())
        OpenInBrowser(url);
}

void TF_Main::ShowAboutBox()
{
    TF_About about(this, m_language, m_settings ? m_settings->GetEndpoints().WebBaseUrl : QString());
    ExecDialog(about);
}

void TF_Main::ShowTestAccountNotice()
{
    TF_TestMessage notice(this, m_language, m_settings ? m_settings->GetEndpoints().WebBaseUrl : QString());
    ExecDialog(notice);
}

void TF_Main::SetSettingsDialog(TF_Settings* dialog)
{
    if (m_settingsDialog) {
        disconnect(m_settingsDialog, nullptr, this, nullptr);
        disconnect(m_settingsDialog, nullptr, TimerAskCredit, nullptr);
    }
    m_settingsDialog = dialog;
    if (!dialog)
        return;
    // While the settings dialog is shown the periodic credit query waits; when it hides, the
    // sessions are dropped (the account may have changed) and the credit is asked again.
    connect(dialog, &TF_Settings::shown, TimerAskCredit, &QTimer::stop);
    connect(dialog, &TF_Settings::hidden, this, &TF_Main::SettingsDialogHidden);
    connect(dialog, &TF_Settings::languageConfirmed, this, &TF_Main::ApplyLanguage);
}

void TF_Main::ShowSettingsDialog()
{
    if (HiddenInTray)
        RestoreFromTray();
    BringToFront();
    if (m_settingsDialog)
        m_settingsDialog->OpenBeside(this);
}

void TF_Main::SettingsDialogHidden()
{
    if (ExitRequested)
        return; // the program is ending: no new exchange
    if (m_gateway)
        m_gateway->DropSessions();
    TimerAskCreditTimer();
    TimerAskCredit->start();
}
