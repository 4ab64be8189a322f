#pragma once

#include "compose/Destinations.h"
#include "phonebook/ContactData.h"

#include <QFrame>
#include <QHash>
#include <vector>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class TContactNode;
class TContactsModel;
class TDM_TarvoPhoneBook;
class TPhoneBookEdits;
class TSettingsHolder;
struct TPhoneBookServices;

// The recipients panel (PanelDestinatari) under the contacts tree: the contacts, lists and
// numbers the message goes to (lvDestinatari), under the recipients label. Hidden while there
// are none.
//
// Every item keeps its own copy of its contact or list, so nothing it shows or sends depends on
// a tree node still being there. While its node lives it follows it (a changed number, a list's
// count); when the user deletes the node the item goes too; when the tree is loaded again each
// item finds its node again by kind and names, a list item without its list goes, a contact
// item without its node stays with its number.
class TRecipientsPanel : public QFrame
{
    Q_OBJECT

public:
    static constexpr int NamePartMaxLength = 25;

    TRecipientsPanel(TPhoneBookServices& services, TSettingsHolder& settings, QWidget* parent = nullptr);
    ~TRecipientsPanel() override;

    // The destination string and the counts, rebuilt after every change of the recipients.
    const TDestinations& Destinations() const { return m_destinations; }
    // True while list members are still being read (the destinations are not final yet).
    bool IsBuilding() const { return m_building; }
    // Removes every recipient (Continue after a send starts an empty composition).
    void Clear();

    void ApplyLanguage(const QString& code);
    // Keeps the items right as the tree changes (and reloads, while edits tells of loads).
    void FollowTree(TContactsModel& model, TPhoneBookEdits& edits);

    // A click in the tree and aAggiungiDestinatario: the contact or list (with members) once.
    void AddNodeToRecipients(TContactNode* node);
    // Numbers typed or pasted in the contact panel, already cleaned.
    void AddNumbers(const QStringList& numbers);
    // The counted text the recount writes into the recipients label.
    void SetRecipientsLabel(const QString& text);
    int ItemCount() const { return int(m_items.size()); }
    // The row's own copy: its record (contact, list) and number.
    TContactData ItemRecord(int row) const { return m_items.at(size_t(row)).record; }
    // The number of the selected item (a list's is empty); empty with nothing selected.
    QString SelectedNumber() const;

    void ResizeRecipientsPanel();

    QLabel* lblDestinatari;
    QListWidget* lvDestinatari;
    QAction* aAnnullaDetinatario;
    QAction* aAnnullaTutti;
    QAction* aCopyToClipboard;
    QMenu* PopDestinations;

signals:
    // After every change of the recipients, once the destinations are rebuilt.
    void destinationsChanged(const TDestinations& destinations);
    // After a node was added: the message text box takes the focus.
    void focusMessageRequested();

private:
    struct TItem
    {
        RecipientKind kind = RecipientKind::Number;
        TContactData record;                // the item's own copy (contacts and lists)
        QString number;                     // contact or typed number, blanks removed
        const TContactNode* node = nullptr; // the tree node it follows, while there is one
    };

    // Connected on first use: the remote phone book is created after the window.
    TDM_TarvoPhoneBook& Remote();
    void ListLoaded(quint64 request, const QList<TContactData>& members, bool found, const QString& problem);
    void AddItem(TItem item, const QString& caption, int picture);
    void RemoveRows(std::vector<int> rows);
    void AfterChange();
    void RebuildDestinations();
    void FinishBuild(const QHash<QString, QStringList>& members);
    void RemoveSelected();
    void CopyToClipboard();
    void UpdateActions();
    void NodesGoing(const QModelIndex& parent, int first, int last);
    void NodeChanged(const TContactNode* node);
    void Relink();
    bool UsesRemote() const;
    QString Caption(const TItem& item) const;
    QStringList ListNumbers(const QString& listName) const;

    TPhoneBookServices& m_services;
    TSettingsHolder& m_settings;
    TContactsModel* m_model = nullptr;
    TPhoneBookEdits* m_edits = nullptr;
    std::vector<TItem> m_items; // row i of lvDestinatari is m_items[i]
    TDestinations m_destinations;
    bool m_building = false;
    // The remote reads of one build: request number -> list name; members as they arrive.
    QHash<quint64, QString> m_pendingLists;
    QHash<QString, QStringList> m_remoteMembers;
    quint64 m_pendingCopy = 0;
    std::vector<int> m_goingRows;
    QString m_emptyLabel;
    QString m_loadingText;
    QString m_selectedText;
};
