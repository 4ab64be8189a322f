// The main window's captions in each language.
#include "i18n/Language.h"
#include "ui/main/ContactPanel.h"
#include "ui/main/ContactsPane.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MessagePanel.h"
#include "ui/main/PictureToolBar.h"
#include "ui/main/RecipientsPanel.h"
#include "ui/main/StatusBar.h"
#include "ui/main/TopPanel.h"
#include "ui/main/TrayController.h"
#include "ui/main/UpdateLinkRow.h"

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
    // Portuguese captions of our own keep their accelerators distinct within each menu.
    ActionText(code, aChiudiProgramma, {"&Esci", "&Exit", "&Saida"});
    ActionText(code, aRipristinaNascondi, {"Ripristina/Nascondi", "Show/Hide", "Reutilizar/Esconder"});
    ActionText(code, aAcquistaCredito, {"&Acquista credito", "&Buy credit", "Co&mprar credito"});
    ActionText(code, aImpostazioni, {"&Impostazioni...", "&Settings...", "Con&figuraçoes..."});
    ActionText(code, aMessaggiSpediti,
               {"&Lista SMS inviati...", "&SMS Archive...", "&Lista SMS enviados..."});
    ActionText(code, aVisualizzaCredito, {"Visualizza &credito", "Show your credit", "Requerer &credito"});
    ActionText(code, aInformazioni, {"&Informazioni...", "&About...", "&Informaçoes..."});
    ActionText(code, aGestisciListe, {"&Gestisci liste...", "Mana&ge lists...", "&Gerir listas..."});
    ActionText(code, aRichiestaLookup, {"&Controllo stato...", "&Number lookup...", "&Controlo status..."});
    ActionText(code, aImportPrecedente,
               {"Rubrica precedente...", "Previous version phonebook...", "Agenda anterior..."});
    ActionText(
        code, aImportVCard,
        {"Biglietti da visita (VCard)...", "Business cards (VCard)...", "Cartões de visita (VCard)..."});
    ActionText(code, aVerificaAggiornamenti,
               {"&Verifica aggiornamenti...", "&Check for updates...", "&Verifica atualizaçoes"});
    ActionText(code, aManuale, {"Manuale", "Manual", "Manual"});
    ActionText(code, aSuggerimento,
               {"Invia un suggerimento...", "Send a suggestion...", "Envia uma sugestao..."});
    Title(code, m_actionsMenu, {"&Azioni", "&Actions", "&Acçoes"});
    Title(code, m_toolsMenu, {"S&trumenti", "&Tools", "&Ferramentas"});
    Title(code, m_helpMenu, {"Aiuto", "Help", "Ajuda"});
    Title(code, m_importMenu, {"&Importa contatti da", "&Import contacts from", "&Importar contactos de"});
    ApplyText(code, m_listsSync,
              {"Sincronizzazione liste...", "Synchronizing lists...", "Sincronizar listas..."});
    m_lookupTexts.ApplyLanguage(code);
    m_ownTexts.ApplyLanguage(code);
    m_messagePanel->ApplyLanguage(code);
    if (m_updateRow)
        m_updateRow->ApplyLanguage(code);

    m_topPanel->ToolBar()->ApplyLanguage(code);
    m_contactsPane->ApplyLanguage(code);
    m_contactPanel->ApplyLanguage(code);
    m_recipientsPanel->ApplyLanguage(code);
    m_statusBar->ApplyLanguage(code);
    m_tray->Language = code;

    // Work that does not depend on the code: the web-site entry names the maker's site.
    const QUrl home = HomePageUrl();
    aSitoWeb->setText(home.host().isEmpty() ? QStringLiteral("Brelmont") : home.host());
    setWindowTitle(Caption());
    ProgramActionsUpdate();
}
