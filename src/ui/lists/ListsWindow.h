#pragma once

#include "phonebook/ContactData.h"

#include <QDialog>
#include <QList>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QMenu;
class QPushButton;
class QStackedLayout;
class QToolButton;
class TContactsTree;
class TCountrySelector;
class TMembersModel;
class TPhoneBook;
class TSettingsHolder;

// TF_Liste: the list manager. Shows every list of the phone book with its member count and the
// members of the selected list; creates a list by naming it and importing a file, renames,
// duplicates, deletes, exports and refills lists, and adds, changes and deletes members by hand.
// Every change is written to the phone book at once; listsChanged() follows each one, and
// Changed stays set, so the main window reloads its tree.
class TF_Liste : public QDialog
{
    Q_OBJECT

public:
    TF_Liste(TPhoneBook& book, TSettingsHolder& settings, QWidget* parent = nullptr);
    ~TF_Liste() override;

    // The whole command: creates the window, fills it from tree, places it beside mainWindow and
    // shows it modally. Answers whether a list changed (the tree needs reloading).
    static bool Run(QWidget* mainWindow, TPhoneBook& book, TContactsTree& tree, TSettingsHolder& settings);

    // Where a list's members come from (the local phone book unless replaced, for instance by
    // the remote phone book). Answers false when they cannot be read.
    using TMemberReader = std::function<bool(const QString& listName, QList<TContactData>& members)>;
    void SetMemberReader(TMemberReader reader) { m_readMembers = std::move(reader); }

    void ApplyLanguage(const QString& code);
    // Takes the lists of the tree's top level, in tree order, and selects the first.
    void FillLists(const TContactsTree& tree);

    // Handlers, named after the window's controls and commands.
    void lbListeClick();
    void JvContactsClickCheck();
    void sbNewListClick();
    void BtnAnnullaNuovaListaClick();
    void aListCreateExecute();
    void aListModifyExecute();
    void aListDeleteExecute();
    void aListDuplicateExecute();
    void aListExportExecute();
    void aContactsImportExecute();
    void aAggiungiContattoExecute();
    void aModificaContattoExecute();
    void aEliminaSelezionatiExecute();
    void BtnContactOKClick();
    void BtnContactAnnullaClick();
    void ActionList1Update();

    // Window state.
    QList<TContactData> Lists;   // one per entry of lbListe, in its order
    QList<TContactData> Members; // the selected list's members, entry i = row i of JvContacts
    bool NewListMode = false;
    bool EditingContact = false;
    bool CreatingList = false;
    bool AnyChecked = false;
    bool OneChecked = false;
    int CheckedIndex = -1;
    int EditedMember = -1; // index into Members while one is modified
    std::optional<TContactData> NewMember;
    qint32 LastNewListID = -1;
    bool Changed = false;

    // Controls.
    QWidget* pnLists;
    QLabel* lblElencoListe;
    QListWidget* lbListe;
    QLabel* pnNoList;
    QMenu* PopListe;
    QToolButton* sbNewList;
    QToolButton* sbModificaLista;
    QToolButton* sbDuplicaLista;
    QToolButton* sbEliminaLista;
    QToolButton* sbImportaLista;
    QToolButton* sbEsportaLista;
    QLineEdit* Edit_NuovaLista;
    QPushButton* BtnOkNuovaLista;
    QPushButton* BtnAnnullaNuovaLista;
    QWidget* pnContatti;
    QLabel* lblContattiLista;
    QListView* JvContacts;
    QToolButton* sbAggiungiContatto;
    QToolButton* sbModificaSelezionato;
    QToolButton* sbEliminaSelezionati;
    QWidget* pnContactDetails;
    QLabel* lblNome;
    QLineEdit* Edit_Visualizzato;
    QLabel* lblNazione;
    TCountrySelector* ComboNazione;
    QLabel* lblIntPrefix;
    QLabel* lblNumero;
    QLineEdit* Edit_Numero;
    QLabel* lblNumberError;
    QPushButton* BtnContactOK;
    QPushButton* BtnContactAnnulla;
    QPushButton* BtnOk;

    // Commands.
    QAction* aListCreate;
    QAction* aListModify;
    QAction* aListDelete;
    QAction* aListDuplicate;
    QAction* aListExport;
    QAction* aContactsImport;
    QAction* aEliminaSelezionati;
    QAction* aAggiungiContatto;
    QAction* aModificaContatto;
    QAction* aNewList; // the pop-up menu's new-list item

signals:
    // A list was created, renamed, deleted, refilled or edited in the phone book.
    void listsChanged();

private:
    void BuildControls();
    void BuildActions();
    int SelectedList() const;
    void SelectList(int index);
    void SetEditingContact(bool on);
    void ComboNazioneChange(const QString& name, const QString& prefix, bool byUser);
    void CheckNumber();
    void ClearMembers();
    void ShowNoLists();
    void RemoveList(int index);
    void MarkChanged();
    QString EntryText(const TContactData& list) const;
    // Why name cannot be a new name of the list at except (-1: a new list); empty when it can.
    QString NameRefusal(const QString& name, int except) const;
    // The list called name apart from letter case, other than except; -1 for none.
    int FindListNamed(const QString& name, int except) const;
    void Warn(const QString& text);
    // Writes Members as the selected list's table; false after telling why.
    bool SaveMembers();
    // Imports into the selected list; a new list that gets nothing goes again, and the list at
    // fallback is selected instead.
    void ImportInto(bool isNew, int fallback);
    void ReloadMembers();
    // "Contact list [name]" of the list at index; the members panel showing it.
    QString MembersLabel(int index) const;
    void ShowMembersPanel(int index);

    TPhoneBook& m_book;
    TSettingsHolder& m_settings;
    const TContactsTree* m_tree = nullptr;
    TMemberReader m_readMembers;
    TMembersModel* m_model;
    QStackedLayout* m_listStack = nullptr; // the list box, or the no-lists panel over it
    QString m_language;
    bool m_selecting = false; // the program selects: no list-click handling
};
