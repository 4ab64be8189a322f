// The main window's captions in each language.
#include "i18n/Language.h"
#include "ui/main/ContactPanel.h"
#include "ui/main/ContactsPane.h"
#include "ui/main/MainWindow.h"
#include "ui/main/PictureToolBar.h"
#include "ui/main/RecipientsPanel.h"
#include "ui/main/TopPanel.h"
#include "ui/main/TrayController.h"

#include <QAction>
#include <QMenu>
#include <QUrl>

namespace {
void ActionText(const QString& code, QAction* action, const Tr& text)
{
    if (auto picked = PickText(code, text))
        action->setText(*picked);
}

void Title(const QString& code, QMenu* menu, const Tr& text)
{
    if (auto picked = PickText(code, text))
        menu->setTitle(*picked);
}
} // namespace

void TF_Main::ApplyLanguage(const QString& code)
{
    if (LanguageGroupOf(code) == LanguageGroup::None)
        return; // other codes change nothing
    m_language = code;
    ActionText(code, aChiudiProgramma, {"&Esci", "&Exit", "&Saida"});
    ActionText(code, aRipristinaNascondi, {"Ripristina/Nascondi", "Show/Hide", "Reutilizar/Esconder"});
    ActionText(code, aAcquistaCredito, {"&Acquista credito", "&Buy credit", "&Comprar credito"});
    ActionText(code, aImpostazioni, {"&Impostazioni...", "&Settings...", "&Configuraçoes..."});
    ActionText(code, aMessaggiSpediti,
               {"&Lista SMS inviati...", "&SMS Archive...", "&Lista SMS enviados..."});
    ActionText(code, aVisualizzaCredito, {"Visualizza &credito", "Show your credit", "Requerer &credito"});
    ActionText(code, aInformazioni, {"&Informazioni...", "&About...", "&Informaçoes..."});
    Title(code, m_actionsMenu, {"&Azioni", "&Actions", "&Acçoes"});
    Title(code, m_toolsMenu, {"S&trumenti", "&Tools", "&Ferramentas"});
    Title(code, m_helpMenu, {"Aiuto", "Help", "Ajuda"});

    m_topPanel->ToolBar()->ApplyLanguage(code);
    m_contactsPane->ApplyLanguage(code);
    m_contactPanel->ApplyLanguage(code);
    m_recipientsPanel->ApplyLanguage(code);
    m_tray->Language = code;

    // Work that does not depend on the code: the web-site entry names the maker's site.
    const QUrl home = HomePageUrl();
    aSitoWeb->setText(home.host().isEmpty() ? QStringLiteral("Brelmont") : home.host());
    setWindowTitle(Caption());
    ProgramActionsUpdate();
}
