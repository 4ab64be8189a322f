#include "ui/main/ContactsPane.h"

#include "i18n/Language.h"
#include "phonebook/ContactsModel.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/PhoneBookServices.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/main/ContactsFilterModel.h"
#include "ui/main/ContactsView.h"
#include "ui/main/NoticeArea.h"
#include "ui/main/PhoneBookEdits.h"
#include "ui/main/PhoneBookLoad.h"
#include "ui/main/Pictures.h"
#include "ui/main/PreviousBookPath.h"
#include "ui/main/QuickSearchStrip.h"
#include "ui/main/TopPanel.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

struct TContactsPane::TTexts
{
    QString EmptyPhoneBook;
    QString DeleteCaption;
    QString DeleteContactQuestion;
    QString DeleteListQuestion;
    QString Yes;
    QString No;
    QString KeptAside;
    QString Incomplete;
    QString PreviousUnreadable;
};

const QColor& TContactsPane::EmptyGrey()
{
    static const QColor grey(149, 149, 149);
    return grey;
}

TContactsPane::TContactsPane(TPhoneBookServices& services, TSettingsHolder& settings, TTopPanel& topPanel,
                             QWidget* parent)
    : QFrame(parent), m_services(services), m_settings(settings), m_topPanel(topPanel),
      m_model(new TContactsModel(&services.Tree, this)), m_filter(new TContactsFilterModel(m_model, this)),
      vtContacts(new TContactsView(this)), m_load(new TPhoneBookLoad(services, this)),
      m_edits(new TPhoneBookEdits(services, *m_model, settings, this, this)),
      m_pages(new QStackedLayout(this)), m_emptyPage(new QWidget(this)),
      m_loadingLabel(new QLabel(m_emptyPage)), m_loadingProgress(new QProgressBar(m_emptyPage)),
      m_texts(std::make_unique<TTexts>())
{
    setObjectName(QStringLiteral("ContactsArea"));
    vtContacts->SetFilterModel(m_filter);

    // The grey area of an empty phone book, with the logo; the loading progress shows there too.
    m_emptyPage->setObjectName(QStringLiteral("pnEmptyPhoneBook"));
    m_emptyPage->setAutoFillBackground(true);
    QPalette grey = m_emptyPage->palette();
    grey.setColor(QPalette::Window, EmptyGrey());
    grey.setColor(QPalette::WindowText, Qt::white);
    m_emptyPage->setPalette(grey);
    auto* logo = new QLabel(m_emptyPage);
    logo->setObjectName(QStringLiteral("ImgTarvo"));
    logo->setPixmap(Pictures::Logo());
    logo->setAlignment(Qt::AlignCenter);
    m_loadingLabel->setObjectName(QStringLiteral("lblLoading"));
    m_loadingLabel->setAlignment(Qt::AlignCenter);
    m_loadingProgress->setObjectName(QStringLiteral("pbLoading"));
    m_loadingProgress->setTextVisible(false);
    m_loadingProgress->setFixedHeight(10);
    m_loadingProgress->setMaximumWidth(180);
    auto* emptyLayout = new QVBoxLayout(m_emptyPage);
    emptyLayout->addStretch(1);
    emptyLayout->addWidget(logo);
    emptyLayout->addWidget(m_loadingLabel);
    emptyLayout->addWidget(m_loadingProgress, 0, Qt::AlignHCenter);
    emptyLayout->addStretch(1);
    m_loadingLabel->hide();
    m_loadingProgress->hide();
    m_pages->addWidget(vtContacts);
    m_pages->addWidget(m_emptyPage);

    // Reads and rewrites of the phone book on the window's thread show the wait cursor.
    m_services.Local.SetBusyHook([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });

    BuildActions();
    connect(vtContacts, &TContactsView::nodeClicked, this, &TContactsPane::addToRecipientsRequested);
    connect(vtContacts, &TContactsView::contextMenuWanted, this, &TContactsPane::ShowPopup);
    // The Actions menu's entry is hidden (and so disabled): the key runs the command itself.
    connect(vtContacts, &TContactsView::deleteKeyPressed, this, &TContactsPane::DeleteWithQuestion);
    connect(vtContacts, &TContactsView::insertKeyPressed, this, &TContactsPane::addContactRequested);
    connect(vtContacts, &TContactsView::keypadPlusPressed, aAggiungiDestinatario, &QAction::trigger);
    connect(vtContacts->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TContactsPane::UpdateActions);

    // Any change of the tree outdates the quick-search index and may empty or fill the view.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_model, signal, this, [this] {
            m_index.reset();
            UpdateEmptyView();
        });
    connect(m_model, &QAbstractItemModel::layoutChanged, this, [this] { m_index.reset(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_index.reset();
        UpdateEmptyView();
    });
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] { m_index.reset(); });

    connect(m_load, &TPhoneBookLoad::started, this, &TContactsPane::LoadStarted);
    connect(m_load, &TPhoneBookLoad::progress, this, [this](int done, int total) {
        m_loadingProgress->setRange(0, total);
        m_loadingProgress->setValue(done);
    });
    connect(m_load, &TPhoneBookLoad::finished, this, &TContactsPane::LoadFinished);

    ApplyLanguage(QStringLiteral("ITA"));
    UpdateEmptyView();
    UpdateActions();
}

TContactsPane::~TContactsPane()
{
    // The tree outlives this area: nothing of this area may hear from it any more.
    delete m_load;
    m_services.Local.SetBusyHook({});
}

void TContactsPane::BuildActions()
{
    auto make = [this](const char* name, auto handler) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const auto change = [this] {
        if (TContactNode* node = SelectedNode(); m_edits->CanChange(node))
            emit changeRequested(node);
    };
    aModificaContatto = make("aModificaContatto", change);
    aPopModificaContatto = make("aPopModificaContatto", change);
    aEliminaContatto = make("aEliminaContatto", [this] { DeleteWithQuestion(); });
    aPopEliminaContatto = make("aPopEliminaContatto", [this] { PopupDelete(); });
    aPopEliminaContatto->setShortcut(QKeySequence::Delete);
    aPopEliminaContatto->setShortcutContext(
        Qt::WidgetShortcut); // while the menu is open: the tree has its own key
    aAggiungiDestinatario = make("aAggiungiDestinatario", [this] {
        if (TContactNode* node = SelectedNode())
            emit addToRecipientsRequested(node);
    });
    aQuickSearch = make("aQuickSearch", [this] { ShowQuickSearch(); });
    Gestioneliste1 = make("Gestioneliste1", [this] { emit manageListsRequested(); });
    aModificaContatto->setVisible(false);
    aEliminaContatto->setVisible(false);

    PopContacts = new QMenu(this);
    PopContacts->setObjectName(QStringLiteral("PopContacts"));
    PopContacts->addAction(aPopModificaContatto);
    PopContacts->addAction(aPopEliminaContatto);
    PopContacts->addAction(Gestioneliste1);
    PopContacts->addSeparator();
    PopContacts->addAction(aAggiungiDestinatario);
}

void TContactsPane::ApplyLanguage(const QString& code)
{
    if (LanguageGroupOf(code) == LanguageGroup::None)
        return;
    m_language = code;
    m_model->SetContactsWord(ContactsWord(code));
    DescribeForScreenReaders(code, vtContacts, {"Rubrica", "Phone book", "Agenda"},
                             {"Contatti e liste; il tasto menu apre i loro comandi",
                              "Contacts and lists; the menu key opens their commands",
                              "Contactos e listas; a tecla de menu abre os seus comandos"});
    m_edits->ApplyLanguage(code);
    const auto text = [&code](QAction* action, const Tr& tr) { action->setText(*PickText(code, tr)); };
    text(aModificaContatto, {"&Modifica contatto...", "&Modify contact...", "&Modificar contacto..."});
    text(aPopModificaContatto, {"&Modifica contatto...", "&Modify contact...", "&Modificar contacto..."});
    text(aEliminaContatto, {"&Elimina contatto...", "&Delete contact...", "&Apagar contacto..."});
    text(aPopEliminaContatto, {"&Elimina contatto...", "&Delete contact...", "&Apagar contacto..."});
    text(aAggiungiDestinatario,
         {"A&ggiungi ai destinatari", "Add destination", "A&dicionar aos destinatarios"});
    text(aQuickSearch, {"Cerca contatto", "Find contact", "Procurar contacto"});
    text(Gestioneliste1, {"&Gestisci liste...", "Mana&ge lists...", "&Gerir listas..."});
    TTexts& t = *m_texts;
    static constexpr const char* kEmptyEng =
        "There are no contacts. To add one use \"Actions->Add Contact...\"";
    ApplyText(
        code, t.EmptyPhoneBook,
        {"Non ci sono contatti. Per aggiungerne usa \"Azioni->Aggiungi contatto...\"", kEmptyEng, kEmptyEng});
    ApplyText(code, t.DeleteCaption, {"Messaggio", "Message", "Mensagem"});
    ApplyText(code, t.DeleteContactQuestion,
              {"Sicuro di voler cancellare il contatto selezionato?", "Delete selected contact?",
               "Deletar o contato selecionado?"});
    ApplyText(code, t.DeleteListQuestion,
              {"Sicuro di voler cancellare la lista selezionata?", "Delete selected list?",
               "Deletar a lista selecionada?"});
    ApplyText(code, t.Yes, {"Sì", "Yes", "Sim"});
    ApplyText(code, t.No, {"No", "No", "Não"});
    ApplyText(code, t.KeptAside,
              {"La rubrica non era leggibile: è stata conservata come %1 ed è stata iniziata una rubrica "
               "nuova, vuota.",
               "The phone book could not be read: it was kept as %1 and a new, empty phone book was started.",
               "A agenda não era legível: foi guardada como %1 e foi iniciada uma agenda nova, vazia."});
    ApplyText(code, t.Incomplete,
              {"La rubrica non è stata letta completamente: %1", "The phone book was not read completely: %1",
               "A agenda não foi lida completamente: %1"});
    ApplyText(code, t.PreviousUnreadable,
              {"La rubrica della versione precedente non è leggibile e non è stata importata: %1",
               "The previous version's phone book could not be read and was not imported: %1",
               "A agenda da versão anterior não é legível e não foi importada: %1"});
    m_loadingLabel->setText(*PickText(
        code, {"Caricamento rubrica in corso...", "Loading the phone book...", "Carregando a agenda..."}));
}

TContactNode* TContactsPane::SelectedNode() const
{
    return vtContacts->SelectedNode();
}

void TContactsPane::SelectAndScrollToTop(const TContactNode* node)
{
    const QModelIndex index = m_filter->IndexOf(node);
    if (!index.isValid())
        return;
    vtContacts->scrollTo(index, QAbstractItemView::PositionAtTop);
    vtContacts->SelectNode(node);
}

void TContactsPane::UpdateActions()
{
    TContactNode* node = SelectedNode();
    const bool canChange = m_edits->CanChange(node);
    const bool canDelete = m_edits->CanDelete(node);
    aModificaContatto->setEnabled(canChange);
    aPopModificaContatto->setEnabled(canChange);
    aEliminaContatto->setEnabled(canDelete);
    aPopEliminaContatto->setEnabled(canDelete);
    aAggiungiDestinatario->setEnabled(node != nullptr);
}

void TContactsPane::ShowPopup(const QPoint& globalPosition, TContactNode* nodeUnderMouse)
{
    // Change and delete for contacts, manage lists for a list.
    const bool list = nodeUnderMouse && nodeUnderMouse->IsList();
    aPopModificaContatto->setVisible(!list);
    aPopEliminaContatto->setVisible(!list);
    Gestioneliste1->setVisible(list);
    UpdateActions();
    PopContacts->popup(globalPosition);
}

void TContactsPane::DeleteWithQuestion()
{
    TContactNode* node = SelectedNode();
    if (!m_edits->CanDelete(node))
        return;
    QMessageBox box(QMessageBox::Question, m_texts->DeleteCaption,
                    node->IsList() ? m_texts->DeleteListQuestion : m_texts->DeleteContactQuestion,
                    QMessageBox::Yes | QMessageBox::No, window());
    box.setObjectName(QStringLiteral("DeleteQuestion"));
    box.button(QMessageBox::Yes)->setText(m_texts->Yes);
    box.button(QMessageBox::No)->setText(m_texts->No);
    if (ExecDialog(box) == QMessageBox::Yes)
        m_edits->DeleteNode(node, true);
}

void TContactsPane::PopupDelete()
{
    TContactNode* node = SelectedNode();
    if (!m_edits->CanDelete(node))
        return;
    if (!node->IsList()) {
        emit deleteConfirmRequested(node);
        return;
    }
    TF_Message box(window(), TF_Message::ButtonsOkCancel, m_language);
    if (box.ShowText(m_texts->DeleteCaption, m_texts->DeleteListQuestion) == TF_Message::ResultOk)
        m_edits->DeleteNode(node);
}

void TContactsPane::UpdateEmptyView()
{
    const bool empty = m_services.Tree.TopLevelCount() == 0;
    m_pages->setCurrentWidget(empty ? m_emptyPage : static_cast<QWidget*>(vtContacts));
}

bool TContactsPane::IsLoading() const
{
    return m_load->IsLoading();
}

void TContactsPane::LoadPhoneBook(bool atStart)
{
    TPhoneBookLoad::TRequest request;
    request.Upgrade = atStart;
    request.ContactsFile = PreviousBookPath(m_settings.GetContactsFile());
    request.Remote = m_edits->UsesRemote();
    m_loadAtStart = m_loadAtStart || atStart;
    m_load->Start(request);
}

void TContactsPane::LoadStarted()
{
    m_edits->SetLoading(true);
    setCursor(Qt::BusyCursor);
    m_loadingProgress->setRange(0, 0);
    m_loadingLabel->show();
    m_loadingProgress->show();
    UpdateActions();
}

void TContactsPane::LoadFinished(const TPhoneBookLoadOutcome& outcome)
{
    m_edits->SetLoading(false);
    m_loadedOnce = true;
    unsetCursor();
    m_loadingLabel->hide();
    m_loadingProgress->hide();
    if (!outcome.Remote)
        m_index = m_load->TakeIndex();
    UpdateEmptyView();
    UpdateActions();
    ReportLoadProblem(outcome);
    if (m_refilterAfterLoad) {
        m_refilterAfterLoad = false;
        if (TFr_QuickSearch* strip = QuickSearchStrip())
            FilterQuickSearch(strip->Edit_QSearch->text());
    }
    const bool atStart = m_loadAtStart;
    m_loadAtStart = false;
    emit phoneBookLoaded(atStart);
}

void TContactsPane::ReportLoadProblem(const TPhoneBookLoadOutcome& outcome)
{
    QString text;
    int kind = 1;
    if (!outcome.QuarantinedFile.isEmpty()) {
        text = m_texts->KeptAside.arg(outcome.QuarantinedFile);
        kind = 2;
    } else if (outcome.PreviousBookUnreadable) {
        text = m_texts->PreviousUnreadable.arg(outcome.Problem);
    } else if (!outcome.Complete) {
        text = m_texts->Incomplete.arg(outcome.Problem);
    }
    if (!text.isEmpty())
        m_topPanel.ShowNotice(kind, text, QStringLiteral("FrPhoneBook"));
}

void TContactsPane::OfferEmptyNotice(bool hiddenInTray)
{
    if (!m_loadedOnce || IsLoading() || m_services.Tree.TopLevelCount() > 0 || hiddenInTray ||
        !ShowEmptyNotice)
        return;
    emit bringToFrontRequested();
    ShowEmptyNotice = false;
    m_topPanel.ShowNotice(0, m_texts->EmptyPhoneBook, QString());
    UpdateEmptyView();
}

TFr_QuickSearch* TContactsPane::QuickSearchStrip() const
{
    return qobject_cast<TFr_QuickSearch*>(
        m_topPanel.NoticeArea()->FindAnyStrip(TFr_QuickSearch::StripName()));
}

void TContactsPane::ShowQuickSearch()
{
    TFr_QuickSearch* strip = QuickSearchStrip();
    if (!strip) {
        strip = new TFr_QuickSearch;
        connect(strip, &TFr_QuickSearch::filterRequested, this, &TContactsPane::FilterQuickSearch);
        connect(strip, &TFr_QuickSearch::closeRequested, this, &TContactsPane::UserFilterClose);
        m_topPanel.AddStrip(strip);
    }
    strip->Edit_QSearch->setFocus();
    FilterQuickSearch(strip->Edit_QSearch->text());
}

void TContactsPane::RefreshIndex()
{
    if (!m_index)
        m_index = TQuickSearchIndex::Build(m_services.Tree);
}

void TContactsPane::ShowAllRows()
{
    if (m_index) // the index knows which rows are lists: the nodes need not be read
        m_filter->SetVisibleRows(m_index->Filter({}));
    else
        m_filter->ShowAll();
}

void TContactsPane::FilterQuickSearch(const QString& text)
{
    if (text.isEmpty()) {
        ShowAllRows();
        return;
    }
    RefreshIndex();
    TVisibleRows rows = m_index->Filter(text);
    const bool open = rows.OpenLists;
    m_filter->SetVisibleRows(std::move(rows));
    if (open)
        vtContacts->expandAll(); // lists hold no lists: this opens the lists shown, in one layout
}

void TContactsPane::UserFilterClose(TFr_QuickSearch* strip)
{
    ShowAllRows();
    if (strip)
        m_topPanel.UserTextClose(strip);
}

void TContactsPane::ReloadAfterListsChanged(bool changed)
{
    const bool stripOpen = QuickSearchStrip() != nullptr;
    if (stripOpen)
        UserFilterClose(nullptr);
    if (changed) {
        m_refilterAfterLoad = stripOpen;
        LoadPhoneBook(false);
        return;
    }
    if (TFr_QuickSearch* strip = QuickSearchStrip())
        FilterQuickSearch(strip->Edit_QSearch->text());
    UpdateEmptyView();
}
