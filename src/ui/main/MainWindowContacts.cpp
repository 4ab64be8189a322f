// The main window's phone-book side: how the contacts pane, the contact panel and the
// recipients panel reach each other, and the first activation's steps.
#include "net/GatewayService.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBookServices.h"
#include "ui/main/ContactPanel.h"
#include "ui/main/ContactsPane.h"
#include "ui/main/ContactsView.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MessagePanel.h"
#include "ui/main/PictureToolBar.h"
#include "ui/main/RecipientsPanel.h"
#include "ui/main/TopPanel.h"
#include "ui/main/TrayController.h"

#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>

void TF_Main::ConnectPhoneBookAreas()
{
    TContactsPane* pane = m_contactsPane;
    TContactPanel* panel = m_contactPanel;
    TRecipientsPanel* recipients = m_recipientsPanel;
    recipients->FollowTree(*pane->SourceModel(), pane->Edits());
    connect(pane, &TContactsPane::addToRecipientsRequested, recipients,
            &TRecipientsPanel::AddNodeToRecipients);
    connect(pane, &TContactsPane::addContactRequested, panel, &TContactPanel::OpenAdd);
    connect(pane, &TContactsPane::changeRequested, panel, &TContactPanel::OpenChange);
    connect(pane, &TContactsPane::deleteConfirmRequested, panel, &TContactPanel::OpenDelete);
    connect(pane, &TContactsPane::bringToFrontRequested, this, &TF_Main::BringToFront);
    connect(pane, &TContactsPane::phoneBookLoaded, this, &TF_Main::PhoneBookLoaded);
    connect(panel, &TContactPanel::mainControlsEnabled, this, &TF_Main::EnableMainControls);
    connect(panel, &TContactPanel::numbersChosen, recipients, &TRecipientsPanel::AddNumbers);
    connect(panel, &TContactPanel::contactStored, pane, &TContactsPane::SelectAndScrollToTop);
    connect(panel, &TContactPanel::closed, this, &TF_Main::FocusMessageBox);
    connect(recipients, &TRecipientsPanel::focusMessageRequested, this, &TF_Main::FocusMessageBox);
    connect(pane, &TContactsPane::manageListsRequested, this, &TF_Main::GestisciListe);
    // The lookup is not offered in any menu (a hidden action would also be disabled for good);
    // adding aRichiestaLookup to pane->PopContacts is all it takes to offer it.
}

QString TF_Main::LookupNumber() const
{
    if (m_contactsPane->View()->hasFocus()) {
        const TContactNode* node = m_contactsPane->SelectedNode();
        return node && !node->IsList() ? node->Data().Number : QString();
    }
    if (m_recipientsPanel->lvDestinatari->hasFocus())
        return m_recipientsPanel->SelectedNumber();
    return {};
}

void TF_Main::EnableMainControls(bool on)
{
    for (QWidget* area : {static_cast<QWidget*>(m_messagePanel), static_cast<QWidget*>(m_recipientsPanel),
                          static_cast<QWidget*>(m_contactsPane), static_cast<QWidget*>(menuBar()),
                          static_cast<QWidget*>(m_topPanel->ToolBar())})
        area->setEnabled(on);
    m_tray->SetMenuEnabled(on);
    ProgramActionsUpdate();
}

void TF_Main::FirstActivation()
{
    // a, b: the phone book's version check and upgrade, then the tree. It is read in the
    // background; c (the empty-phone-book notice) and g (the quick-search strip) follow when
    // it is loaded (PhoneBookLoaded).
    m_contactsPane->LoadPhoneBook(true);
    // d: the light red, the caption the second start looks for.
    SetConnectionState(true);
    setWindowTitle(Caption());
    // e: the silent credit query, and the automatic update check.
    m_gateway.AskCredit(0);
    CheckForUpdatesAutomatic();
    // f
    m_tray->Starting = false;
    m_messagePanel->TNTMemoMessageChange();
    SetConnectionState(ConnectionError);
}

void TF_Main::PhoneBookLoaded(bool atStart)
{
    if (!atStart)
        return;
    m_contactsPane->OfferEmptyNotice(m_tray->HiddenInTray);
    if (m_phoneBook.Tree.TopLevelCount() > 0) {
        m_contactsPane->ShowQuickSearch();
        FocusMessageBox(); // the activation ends with the focus in the message text box
    }
}

void TF_Main::FocusMessageBox()
{
    // The message text box of the message panel takes it once the panel has one.
    if (m_messagePanel->isEnabled() && isVisible())
        m_messagePanel->TNTMemoMessage->setFocus(Qt::ActiveWindowFocusReason);
}
