#include "ui/lists/ListsWindow.h"

#include "compose/PhoneNumber.h"
#include "i18n/Language.h"
#include "lists/ListExport.h"
#include "lists/ListImport.h"
#include "lists/ListTexts.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/CountrySelector.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/dialogs/Placement.h"
#include "ui/dialogs/UserInput.h"
#include "ui/lists/BackgroundWork.h"
#include "ui/lists/ListImportFlow.h"

#include <QAbstractListModel>
#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStackedLayout>
#include <QToolButton>
#include <QVBoxLayout>
#include <type_traits>

// The members of the selected list as a check list: one check box per member.
class TMembersModel : public QAbstractListModel
{
public:
    TMembersModel(const QList<TContactData>& members, QObject* parent)
        : QAbstractListModel(parent), m_members(members)
    {
    }
    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : int(m_members.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_members.size())
            return {};
        if (role == Qt::DisplayRole)
            return TPhoneBook::CheckListLine(m_members[index.row()]);
        if (role == Qt::CheckStateRole)
            return m_checked[size_t(index.row())] ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return QAbstractListModel::flags(index) | Qt::ItemIsUserCheckable;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= m_members.size())
            return false;
        m_checked[size_t(index.row())] = value.toInt() == Qt::Checked;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }
    bool Checked(qsizetype row) const { return m_checked[size_t(row)]; }
    // The members change inside change; every check box is cleared.
    void Replace(const std::function<void()>& change)
    {
        beginResetModel();
        change();
        m_checked.assign(size_t(m_members.size()), false);
        endResetModel();
    }

private:
    const QList<TContactData>& m_members;
    std::vector<bool> m_checked;
};

namespace {
QString Text(const QString& code, const Tr& text)
{
    return PickText(code, text).value_or(QString::fromUtf8(text.ita));
}

const Tr kContactsOfList{"Contatti lista ", "Contact list ", "Contatos lista "};
const Tr kRenameCaption{"Modifica nome lista", "Change list name", "Modifica nome lista"};
const Tr kNewNamePrompt{"Nuovo nome:", "New name:", "Novo nome:"};
const Tr kDuplicateCaption{"Duplica lista", "Duplicate list", "Duplicar lista"};

QToolButton* CommandButton(QAction* action, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

template <typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
} // namespace

TF_Liste::TF_Liste(TPhoneBook& book, TSettingsHolder& settings, QWidget* parent)
    : QDialog(parent), m_book(book), m_settings(settings), m_model(new TMembersModel(Members, this)),
      m_language(settings.GetLanguage())
{
    setObjectName(QStringLiteral("TF_Liste"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    BuildActions();
    BuildControls();
    const QString language = m_language;
    ApplyLanguage(QStringLiteral("ITA")); // the captions of the layout
    ApplyLanguage(language);
    SetEditingContact(false);
    resize(590, 460);
}

TF_Liste::~TF_Liste() = default;

bool TF_Liste::Run(QWidget* mainWindow, TPhoneBook& book, TContactsTree& tree, TSettingsHolder& settings)
{
    TF_Liste window(book, settings, mainWindow);
    window.FillLists(tree);
    PlaceBesideMainWindow(&window, mainWindow);
    ExecDialog(window);
    return window.Changed;
}

void TF_Liste::BuildActions()
{
    const auto action = [this](const char* name, void (TF_Liste::*handler)()) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, handler] {
            (this->*handler)();
            ActionList1Update();
        });
        return a;
    };
    aListCreate = action("aListCreate", &TF_Liste::aListCreateExecute);
    aListModify = action("aListModify", &TF_Liste::aListModifyExecute);
    aListDelete = action("aListDelete", &TF_Liste::aListDeleteExecute);
    aListDuplicate = action("aListDuplicate", &TF_Liste::aListDuplicateExecute);
    aListExport = action("aListExport", &TF_Liste::aListExportExecute);
    aContactsImport = action("aContactsImport", &TF_Liste::aContactsImportExecute);
    aEliminaSelezionati = action("aEliminaSelezionati", &TF_Liste::aEliminaSelezionatiExecute);
    aAggiungiContatto = action("aAggiungiContatto", &TF_Liste::aAggiungiContattoExecute);
    aModificaContatto = action("aModificaContatto", &TF_Liste::aModificaContattoExecute);
    aNewList = action("aNewList", &TF_Liste::sbNewListClick);
}

void TF_Liste::BuildControls()
{
    pnLists = Named(new QWidget(this), "pnLists");
    lblElencoListe = Named(new QLabel(pnLists), "lblElencoListe");
    lbListe = Named(new QListWidget(pnLists), "lbListe");
    pnNoList = Named(new QLabel(pnLists), "pnNoList");
    pnNoList->setAlignment(Qt::AlignCenter);
    PopListe = Named(new QMenu(this), "PopListe");
    PopListe->addActions({aNewList, aListModify, aListDelete, aListDuplicate, aContactsImport, aListExport});
    sbNewList = Named(CommandButton(aNewList, pnLists), "sbNewList");
    sbModificaLista = Named(CommandButton(aListModify, pnLists), "sbModificaLista");
    sbDuplicaLista = Named(CommandButton(aListDuplicate, pnLists), "sbDuplicaLista");
    sbEliminaLista = Named(CommandButton(aListDelete, pnLists), "sbEliminaLista");
    sbImportaLista = Named(CommandButton(aContactsImport, pnLists), "sbImportaLista");
    sbEsportaLista = Named(CommandButton(aListExport, pnLists), "sbEsportaLista");
    Edit_NuovaLista = Named(new QLineEdit(pnLists), "Edit_NuovaLista");
    BtnOkNuovaLista = Named(new QPushButton(pnLists), "BtnOkNuovaLista");
    BtnAnnullaNuovaLista = Named(new QPushButton(pnLists), "BtnAnnullaNuovaLista");

    m_listStack = new QStackedLayout;
    m_listStack->addWidget(lbListe);
    m_listStack->addWidget(pnNoList);
    auto* newListRow = new QHBoxLayout;
    newListRow->addWidget(BtnOkNuovaLista);
    newListRow->addWidget(BtnAnnullaNuovaLista);
    auto* listButtons = new QVBoxLayout;
    listButtons->setSpacing(2);
    for (QToolButton* button :
         {sbNewList, sbModificaLista, sbDuplicaLista, sbEliminaLista, sbImportaLista, sbEsportaLista})
        listButtons->addWidget(button);
    auto* left = new QVBoxLayout(pnLists);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(lblElencoListe);
    left->addLayout(m_listStack, 1);
    left->addLayout(listButtons);
    left->addWidget(Edit_NuovaLista);
    left->addLayout(newListRow);

    pnContatti = Named(new QWidget(this), "pnContatti");
    lblContattiLista = Named(new QLabel(pnContatti), "lblContattiLista");
    lblContattiLista->setTextFormat(Qt::PlainText);
    JvContacts = Named(new QListView(pnContatti), "JvContacts");
    JvContacts->setModel(m_model);
    JvContacts->setSelectionMode(QAbstractItemView::ExtendedSelection);
    JvContacts->setUniformItemSizes(true);
    sbAggiungiContatto = Named(CommandButton(aAggiungiContatto, pnContatti), "sbAggiungiContatto");
    sbModificaSelezionato = Named(CommandButton(aModificaContatto, pnContatti), "sbModificaSelezionato");
    sbEliminaSelezionati = Named(CommandButton(aEliminaSelezionati, pnContatti), "sbEliminaSelezionati");
    pnContactDetails = Named(new QWidget(pnContatti), "pnContactDetails");
    lblNome = Named(new QLabel(pnContactDetails), "lblNome");
    Edit_Visualizzato = Named(new QLineEdit(pnContactDetails), "Edit_Visualizzato");
    lblNazione = Named(new QLabel(pnContactDetails), "lblNazione");
    ComboNazione = new TCountrySelector(pnContactDetails);
    lblIntPrefix = Named(new QLabel(pnContactDetails), "lblIntPrefix");
    lblIntPrefix->setMinimumWidth(lblIntPrefix->fontMetrics().horizontalAdvance(QStringLiteral("+99999")));
    lblNumero = Named(new QLabel(pnContactDetails), "lblNumero");
    Edit_Numero = Named(new QLineEdit(pnContactDetails), "Edit_Numero");
    lblNumberError = Named(new QLabel(pnContactDetails), "lblNumberError");
    lblNumberError->setStyleSheet(QStringLiteral("color: #c00000;"));
    BtnContactOK = Named(new QPushButton(pnContactDetails), "BtnContactOK");
    BtnContactAnnulla = Named(new QPushButton(pnContactDetails), "BtnContactAnnulla");

    auto* details = new QGridLayout(pnContactDetails);
    details->setContentsMargins(0, 0, 0, 0);
    details->addWidget(lblNome, 0, 0);
    details->addWidget(Edit_Visualizzato, 0, 1, 1, 2);
    details->addWidget(lblNazione, 1, 0);
    details->addWidget(ComboNazione, 1, 1, 1, 2);
    details->addWidget(lblNumero, 2, 0);
    details->addWidget(lblIntPrefix, 2, 1);
    details->addWidget(Edit_Numero, 2, 2);
    details->addWidget(lblNumberError, 3, 1, 1, 2);
    auto* detailButtons = new QHBoxLayout;
    detailButtons->addStretch();
    detailButtons->addWidget(BtnContactOK);
    detailButtons->addWidget(BtnContactAnnulla);
    details->addLayout(detailButtons, 4, 0, 1, 3);
    details->setColumnStretch(2, 1);
    auto* memberButtons = new QHBoxLayout;
    memberButtons->addWidget(sbAggiungiContatto);
    memberButtons->addWidget(sbModificaSelezionato);
    memberButtons->addWidget(sbEliminaSelezionati);
    auto* right = new QVBoxLayout(pnContatti);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(lblContattiLista);
    right->addWidget(JvContacts, 1);
    right->addLayout(memberButtons);
    right->addWidget(pnContactDetails);

    BtnOk = Named(new QPushButton(this), "BtnOk");
    auto* panels = new QHBoxLayout;
    pnLists->setFixedWidth(200);
    panels->addWidget(pnLists);
    panels->addWidget(pnContatti, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(BtnOk);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panels, 1);
    layout->addLayout(bottom);
    pnContatti->hide();

    // Enter in a field runs its own command, never the window's close button.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnOkNuovaLista, &QPushButton::clicked, aListCreate, &QAction::trigger);
    connect(Edit_NuovaLista, &QLineEdit::returnPressed, aListCreate, &QAction::trigger);
    connect(BtnAnnullaNuovaLista, &QPushButton::clicked, this, [this] {
        BtnAnnullaNuovaListaClick();
        ActionList1Update();
    });
    connect(BtnContactOK, &QPushButton::clicked, this, [this] {
        BtnContactOKClick();
        ActionList1Update();
    });
    connect(BtnContactAnnulla, &QPushButton::clicked, this, [this] {
        BtnContactAnnullaClick();
        ActionList1Update();
    });
    connect(lbListe, &QListWidget::currentRowChanged, this, [this] {
        if (!m_selecting) {
            lbListeClick();
            ActionList1Update();
        }
    });
    lbListe->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lbListe, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (QListWidgetItem* item = lbListe->itemAt(at)) {
            SelectList(lbListe->row(item));
            lbListeClick();
        }
        ActionList1Update();
        PopListe->popup(lbListe->viewport()->mapToGlobal(at));
    });
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] {
        JvContactsClickCheck();
        ActionList1Update();
    });
    connect(ComboNazione, &TCountrySelector::countryApplied, this,
            [this](int, const QString& name, const QString& prefix, bool byUser) {
                ComboNazioneChange(name, prefix, byUser);
            });
    connect(Edit_Numero, &QLineEdit::textChanged, this, [this] {
        lblNumberError->clear();
        CheckNumber();
    });
}

void TF_Liste::ApplyLanguage(const QString& code)
{
    const auto caption = PickText(code, {"Gestione liste", "List manager", "Gestao das listas"});
    if (!caption)
        return;
    m_language = code; // the texts the window shows later follow too
    setWindowTitle(*caption);
    const auto set = [&code](auto* target, const Tr& text) {
        target->setText(*PickText(code, text));
        if constexpr (std::is_same_v<decltype(target), QAction*>)
            target->setIconText(target->text()); // the buttons show "Import..." as it is
    };
    set(lblElencoListe, {"Elenco liste", "Lists", "Elenco das listas"});
    set(pnNoList, {"( Nessuna lista presente )", "( No lists available )", "( Nenhuma lista presente )"});
    set(aNewList, {"Nuova lista", "New list", "Nova lista"});
    set(BtnOkNuovaLista, {"Crea nuova lista", "Create new list", "Criar nova lista"});
    set(aListCreate, {"Crea nuova lista", "Create new list", "Criar nova lista"});
    set(aListModify, {"Modifica nome lista", "Modify list name", "Modificar nome da lista"});
    set(aListDelete, {"Elimina lista", "Delete list", "Deletar lista"});
    set(aListDuplicate, {"Duplica lista", "Duplicate list", "Duplicar lista"});
    set(aListExport, {"Esporta lista", "Export list", "Exportar lista"});
    set(aContactsImport, {"Importa...", "Import...", "Importar..."});
    set(aEliminaSelezionati, {"Elimina selezionati", "Delete selected", "Deletar selecionados"});
    set(BtnOk, {"Chiudi", "Close", "Fechar"});
    set(BtnAnnullaNuovaLista, {"Annulla", "Cancel", "Anula"});
    set(BtnContactAnnulla, {"Annulla", "Cancel", "Anula"});
    set(BtnContactOK, {"Ok", "Ok", "Ok"});
    set(lblNome, {"Nome:", "Name:", "Nome:"});
    set(lblNazione, {"Nazione:", "Country:", "País:"});
    set(lblNumero, {"Numero:", "Number:", "Numero:"});
    // The member buttons keep their captions in every language.
    set(aAggiungiContatto, {"Aggiungi contatto", "Aggiungi contatto", "Aggiungi contatto"});
    set(aModificaContatto, {"Modifica contatto", "Modifica contatto", "Modifica contatto"});
    if (int i = SelectedList(); i >= 0 && !lblContattiLista->text().isEmpty())
        lblContattiLista->setText(MembersLabel(i));
}

QString TF_Liste::EntryText(const TContactData& list) const
{
    return list.NickName + QStringLiteral(" [") + QString::number(list.Count) + u']';
}

int TF_Liste::SelectedList() const
{
    const int row = lbListe->currentRow();
    return row >= 0 && row < Lists.size() && lbListe->currentItem() && lbListe->currentItem()->isSelected()
               ? row
               : -1;
}

void TF_Liste::SelectList(int index)
{
    m_selecting = true;
    if (index >= 0 && index < lbListe->count()) {
        lbListe->setCurrentRow(index);
    } else {
        lbListe->setCurrentRow(-1);
        lbListe->clearSelection();
    }
    m_selecting = false;
}

void TF_Liste::FillLists(const TContactsTree& tree)
{
    m_tree = &tree;
    m_selecting = true;
    lbListe->clear();
    m_selecting = false;
    Lists.clear();
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        const TContactData& data = tree.TopLevel(r)->Data();
        if (!data.IsList())
            continue;
        Lists.append(data);
        m_selecting = true;
        lbListe->addItem(EntryText(data));
        m_selecting = false;
    }
    ClearMembers();
    lblContattiLista->clear();
    if (Lists.isEmpty()) {
        ShowNoLists();
    } else {
        SelectList(0);
        lbListeClick();
    }
    ActionList1Update();
}

void TF_Liste::lbListeClick()
{
    const int i = SelectedList();
    if (i < 0)
        return;
    if (lblContattiLista->text() == MembersLabel(i))
        return;
    ShowMembersPanel(i);
    ClearMembers();
    ReloadMembers();
}

QString TF_Liste::MembersLabel(int index) const
{
    return Text(m_language, kContactsOfList) + u'[' + Lists[index].NickName + u']';
}

void TF_Liste::ShowMembersPanel(int index)
{
    lblContattiLista->setText(MembersLabel(index));
    pnContatti->show();
    m_listStack->setCurrentWidget(lbListe);
    if (width() < 220)
        resize(590, height());
}

void TF_Liste::ReloadMembers()
{
    const int i = SelectedList();
    if (i < 0)
        return;
    const QString name = Lists[i].NickName;
    QList<TContactData> read;
    if (m_readMembers) {
        m_readMembers(name, read);
    } else {
        TPhoneBook worker(m_book.CurrentFile(), m_book.LegacyFile());
        RunInBackground([&] { worker.LoadListIntoMemory(read, name, false); });
    }
    m_model->Replace([&] { Members = std::move(read); });
    JvContactsClickCheck();
}

void TF_Liste::ClearMembers()
{
    m_model->Replace([this] { Members.clear(); });
    AnyChecked = false;
    OneChecked = false;
    CheckedIndex = -1;
}

void TF_Liste::JvContactsClickCheck()
{
    AnyChecked = false;
    OneChecked = false;
    CheckedIndex = -1;
    for (qsizetype row = 0; row < Members.size(); ++row) {
        if (!m_model->Checked(row))
            continue;
        if (AnyChecked) {
            OneChecked = false;
            break;
        }
        AnyChecked = true;
        OneChecked = true;
        CheckedIndex = int(row);
    }
}

void TF_Liste::ShowNoLists()
{
    m_listStack->setCurrentWidget(pnNoList);
    pnContatti->hide();
    lblContattiLista->clear();
    resize(qMax(200, minimumSizeHint().width()), height());
}

void TF_Liste::MarkChanged()
{
    Changed = true;
    emit listsChanged();
}

void TF_Liste::Warn(const QString& text)
{
    TF_Message message(this, TF_Message::ButtonsOk, m_language);
    message.ShowText(ListText(TListText::WarningCaption, m_language), text);
}

int TF_Liste::FindListNamed(const QString& name, int except) const
{
    for (int j = 0; j < Lists.size(); ++j)
        if (j != except && Lists[j].NickName.toUpper() == name.toUpper())
            return j;
    return -1;
}

QString TF_Liste::NameRefusal(const QString& name, int except) const
{
    if (FindListNamed(name, except) >= 0)
        return ListText(TListText::ListNameTaken, m_language);
    QStringList others;
    for (int j = 0; j < Lists.size(); ++j)
        if (j != except)
            others.append(Lists[j].NickName);
    return TPhoneBook::ListNameProblem(name, others).isEmpty()
               ? QString()
               : ListText(TListText::ListNameUnusable, m_language);
}

void TF_Liste::sbNewListClick()
{
    NewListMode = true;
    Edit_NuovaLista->clear();
    ActionList1Update();
    Edit_NuovaLista->setFocus();
}

void TF_Liste::BtnAnnullaNuovaListaClick()
{
    NewListMode = false;
}

void TF_Liste::aListCreateExecute()
{
    NewListMode = false;
    const QString name = Edit_NuovaLista->text().trimmed();
    if (name.isEmpty())
        return;
    if (const QString refusal = NameRefusal(name, -1); !refusal.isEmpty()) {
        Warn(refusal);
        // A list of that name is selected and shown.
        if (const int existing = FindListNamed(name, -1); existing >= 0) {
            SelectList(existing);
            lbListeClick();
        }
        return;
    }
    TContactData list;
    list.Kind = TContactData::KindList;
    list.NickName = name;
    list.ImageIndex = TContactData::ListImage;
    list.ID = LastNewListID == -1 ? (m_tree ? MaxTopLevelID(*m_tree) : 0) + 1 : LastNewListID + 1;
    LastNewListID = list.ID;
    const int previous = SelectedList();
    Lists.append(list);
    m_selecting = true;
    lbListe->addItem(EntryText(list));
    m_selecting = false;
    SelectList(int(Lists.size()) - 1);
    m_listStack->setCurrentWidget(lbListe);
    CreatingList = true;
    ImportInto(true, previous);
    CreatingList = false;
}

void TF_Liste::aContactsImportExecute()
{
    if (SelectedList() >= 0)
        ImportInto(false, SelectedList());
}

void TF_Liste::ImportInto(bool isNew, int fallback)
{
    const int i = SelectedList();
    TListImportFlow flow(this, m_book, m_settings);
    TListImportFlow::TOutcome outcome = flow.Run(Lists[i].NickName, isNew, [this] { ClearMembers(); });
    if (outcome.What == TListImportFlow::Stored) {
        Lists[i].Count = int(outcome.Members.size());
        if (isNew)
            Lists[i].ID = outcome.NewListID;
        lbListe->item(i)->setText(EntryText(Lists[i]));
        ShowMembersPanel(i);
        m_model->Replace([&] { Members = std::move(outcome.Members); });
        JvContactsClickCheck();
        MarkChanged();
        return;
    }
    if (isNew) {
        // A list comes into being only with an import.
        Lists.removeLast();
        m_selecting = true;
        delete lbListe->takeItem(i);
        m_selecting = false;
        if (Lists.isEmpty()) {
            ShowNoLists();
            return;
        }
        SelectList(fallback >= 0 ? fallback : 0);
    }
    // The list is as it was: show its members again.
    lblContattiLista->clear();
    lbListeClick();
}

void TF_Liste::aListModifyExecute()
{
    const int i = SelectedList();
    if (i < 0)
        return;
    const QString current = Lists[i].NickName;
    const QString name =
        AskText(this, Text(m_language, kRenameCaption), Text(m_language, kNewNamePrompt), current)
            .value_or(current)
            .trimmed();
    if (name == current || name.isEmpty())
        return;
    if (const QString refusal = NameRefusal(name, i); !refusal.isEmpty()) {
        Warn(refusal);
        return;
    }
    if (!m_book.RenameList(Lists[i].ID, current, name)) {
        Warn(m_book.LastError());
        return;
    }
    Lists[i].NickName = name;
    lbListe->item(i)->setText(EntryText(Lists[i]));
    lblContattiLista->setText(MembersLabel(i));
    MarkChanged();
}

void TF_Liste::aListDuplicateExecute()
{
    const int i = SelectedList();
    if (i < 0)
        return;
    QString suggestion = Lists[i].NickName;
    for (int n = 2; !NameRefusal(suggestion, -1).isEmpty() && n < 1000; ++n)
        suggestion = Lists[i].NickName + QStringLiteral(" (%1)").arg(n);
    const std::optional<QString> answer =
        AskText(this, Text(m_language, kDuplicateCaption), Text(m_language, kNewNamePrompt), suggestion);
    const QString name = answer.value_or(QString()).trimmed();
    if (name.isEmpty())
        return;
    if (const QString refusal = NameRefusal(name, -1); !refusal.isEmpty()) {
        Warn(refusal);
        return;
    }
    const QString source = Lists[i].NickName;
    QList<TContactData> members;
    std::optional<qint32> id;
    QString error;
    TPhoneBook worker(m_book.CurrentFile(), m_book.LegacyFile());
    RunInBackground([&] {
        if (worker.LoadListIntoMemory(members, source, false))
            id = SaveImportedList(worker, name, members, true, {}, &error);
        else
            error = worker.LastError();
    });
    if (!id) {
        Warn(error);
        return;
    }
    TContactData list = Lists[i];
    list.NickName = name;
    list.Count = int(members.size());
    list.ID = *id;
    Lists.append(list);
    m_selecting = true;
    lbListe->addItem(EntryText(list));
    m_selecting = false;
    SelectList(int(Lists.size()) - 1);
    lbListeClick();
    MarkChanged();
}

void TF_Liste::RemoveList(int index)
{
    Lists.removeAt(index);
    m_selecting = true;
    delete lbListe->takeItem(index);
    m_selecting = false;
    SelectList(-1);
    ClearMembers();
    lblContattiLista->clear();
    pnContatti->hide();
    if (Lists.isEmpty())
        ShowNoLists();
}

void TF_Liste::aListDeleteExecute()
{
    const int i = SelectedList();
    if (i < 0)
        return;
    TF_Message question(this, TF_Message::ButtonsOkCancel, m_language);
    question.BtnOk_2->setText(Text(m_language, {"Si", "Yes", "Sim"}));
    question.BtnCancel_2->setText(Text(m_language, {"No", "No", "Não"}));
    question.BtnOk_2->setDefault(false);
    question.BtnCancel_2->setDefault(true);
    if (question.ShowText(Text(m_language, {"Cancellazione lista", "Deleting list", "Deletar lista"}),
                          Text(m_language, {"Sicuro di voler cancellare la lista?",
                                            "Are you sure you want to delete selected list?",
                                            "Ttem certeza de deletar a lista?"})) != TF_Message::ResultOk)
        return;
    if (!m_book.DeleteList(nullptr, Lists[i])) {
        Warn(m_book.LastError());
        return;
    }
    RemoveList(i);
    MarkChanged();
}

void TF_Liste::aListExportExecute()
{
    const int i = SelectedList();
    if (i < 0)
        return;
    const QString chosen = ChooseFileToSave(this, ListText(TListText::ExportTitle, m_language),
                                            ListText(TListText::ExportFilter, m_language));
    if (chosen.isEmpty())
        return;
    const QString name = Lists[i].NickName;
    const QString path = ExportFileName(chosen);
    QString error;
    bool written = false;
    TPhoneBook worker(m_book.CurrentFile(), m_book.LegacyFile());
    RunInBackground([&] {
        QList<TContactData> members;
        if (worker.LoadListIntoMemory(members, name, false))
            written = WriteListExport(path, members, &error);
        else
            error = worker.LastError();
    });
    if (!written)
        Warn(ListText(TListText::ExportFailed, m_language) + QStringLiteral("\r\n") + path +
             QStringLiteral("\r\n") + error);
}

void TF_Liste::SetEditingContact(bool on)
{
    EditingContact = on;
    pnContactDetails->setVisible(on);
    pnLists->setEnabled(!on);
}

void TF_Liste::aAggiungiContattoExecute()
{
    SetEditingContact(true);
    Edit_Visualizzato->clear();
    Edit_Numero->clear();
    lblNumberError->clear();
    ComboNazione->SelectRemembered(m_settings.GetLastIntPrefix());
    NewMember = TContactData();
    EditedMember = -1;
    Edit_Visualizzato->setFocus();
}

void TF_Liste::aModificaContattoExecute()
{
    if (!OneChecked || CheckedIndex < 0 || CheckedIndex >= Members.size())
        return;
    EditedMember = CheckedIndex;
    const TContactData& member = Members[EditedMember];
    SetEditingContact(true);
    lblNumberError->clear();
    Edit_Visualizzato->setText(!member.NickName.isEmpty() ? member.NickName
                                                          : member.FirstName + u' ' + member.LastName);
    Edit_Numero->setText(ComboNazione->SelectCountryOfNumber(member.Number));
    CheckNumber();
    NewMember.reset();
    Edit_Visualizzato->setFocus();
}

void TF_Liste::ComboNazioneChange(const QString& name, const QString& prefix, bool byUser)
{
    lblIntPrefix->setText(prefix);
    m_settings.SetLastIntPrefix(name);
    m_settings.SaveSettings();
    if (byUser)
        Edit_Numero->setFocus();
    CheckNumber();
}

void TF_Liste::CheckNumber()
{
    const bool valid = CheckContactNumber(lblIntPrefix->text(), Edit_Numero->text(), true).Valid;
    QFont font = Edit_Numero->font();
    font.setBold(!valid);
    Edit_Numero->setFont(font);
    QPalette palette = Edit_Numero->palette();
    palette.setColor(QPalette::Text, valid ? QColor(Qt::black) : QColor(Qt::red));
    Edit_Numero->setPalette(palette);
}

void TF_Liste::BtnContactOKClick()
{
    QString number = lblIntPrefix->text() + Edit_Numero->text();
    QString accepted;
    CleanPhoneNumber(number, accepted);
    if (accepted.isEmpty()) {
        // A number that cannot be sent to is not stored; the field shows it red.
        CheckNumber();
        Edit_Numero->setFocus();
        return;
    }
    for (int m = 0; m < Members.size(); ++m) {
        if (!NewMember && m == EditedMember)
            continue;
        const QString other = Members[m].Number.trimmed();
        if (other == accepted || AcceptedPhoneNumber(other) == accepted) {
            lblNumberError->setText(
                Text(m_language, {"Numero duplicato", "Number already exists", "Numeros duplicados"}));
            return;
        }
    }
    SetEditingContact(false);
    if (NewMember) {
        TContactData member = *NewMember;
        member.NickName = Edit_Visualizzato->text();
        member.Number = accepted;
        member.Kind = TContactData::KindContact;
        member.PhoneType = TContactData::Mobile;
        m_model->Replace([&] { Members.append(member); });
        NewMember.reset();
    } else if (EditedMember >= 0 && EditedMember < Members.size()) {
        m_model->Replace([&] {
            Members[EditedMember].NickName = Edit_Visualizzato->text();
            Members[EditedMember].Number = accepted;
        });
    }
    EditedMember = -1;
    if (SaveMembers())
        MarkChanged();
    lblContattiLista->clear();
    lbListeClick();
}

void TF_Liste::BtnContactAnnullaClick()
{
    SetEditingContact(false);
    NewMember.reset();
    EditedMember = -1;
}

bool TF_Liste::SaveMembers()
{
    const int i = SelectedList();
    if (i < 0)
        return false;
    std::optional<qint32> saved;
    QString error;
    TPhoneBook worker(m_book.CurrentFile(), m_book.LegacyFile());
    const QString name = Lists[i].NickName;
    RunInBackground([&] { saved = SaveImportedList(worker, name, Members, false, {}, &error); });
    if (!saved) {
        Warn(ListText(TListText::ImportFailed, m_language) + QStringLiteral("\r\n(") + error + u')');
        return false;
    }
    Lists[i].Count = int(Members.size());
    lbListe->item(i)->setText(EntryText(Lists[i]));
    return true;
}

void TF_Liste::aEliminaSelezionatiExecute()
{
    const int i = SelectedList();
    if (i < 0 || !AnyChecked)
        return;
    m_model->Replace([this] {
        for (qsizetype row = Members.size() - 1; row >= 0; --row)
            if (m_model->Checked(row))
                Members.removeAt(row);
    });
    JvContactsClickCheck();
    if (!Members.isEmpty()) {
        if (SaveMembers())
            MarkChanged();
        lblContattiLista->clear();
        lbListeClick();
        return;
    }
    // A list without members is no list: its row goes with its table.
    if (!m_book.DeleteList(nullptr, Lists[i])) {
        Warn(m_book.LastError());
        lblContattiLista->clear();
        lbListeClick();
        return;
    }
    RemoveList(i);
    MarkChanged();
}

void TF_Liste::ActionList1Update()
{
    const bool selected = SelectedList() >= 0;
    const bool idle = !EditingContact && !NewListMode;
    for (QAction* a : {aContactsImport, aListDelete, aListExport, aListModify, aListDuplicate})
        a->setEnabled(selected && idle);
    aListCreate->setEnabled(true);
    Edit_NuovaLista->setVisible(NewListMode);
    BtnOkNuovaLista->setVisible(NewListMode);
    BtnAnnullaNuovaLista->setVisible(NewListMode);
    aNewList->setEnabled(idle);
    aAggiungiContatto->setEnabled(idle && selected);
    JvContacts->setEnabled(idle);
    lbListe->setEnabled(idle);
    BtnOk->setEnabled(idle);
    aEliminaSelezionati->setEnabled(AnyChecked && idle);
    aModificaContatto->setEnabled(OneChecked && idle);
}
