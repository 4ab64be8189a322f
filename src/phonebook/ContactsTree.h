#pragma once

#include "phonebook/ContactData.h"

#include <QByteArray>
#include <memory>
#include <vector>

class TContactsTree;

// One node of the contacts tree. Node addresses stay fixed for the node's life, so a
// model can hand them out as internal pointers.
class TContactNode
{
public:
    // The node's record; changes that show go through TContactsTree::SetData.
    TContactData Data() const { return m_data; }
    qint32 ID() const { return m_data.ID; }
    bool IsList() const { return m_data.IsList(); }
    // The row ID and a list's member count change without being shown (the phone book's
    // rewrite gives new IDs; a load counts members).
    void SetID(qint32 id) { m_data.ID = id; }
    void SetCount(qint32 count) { m_data.Count = count; }

    TContactNode* Parent() const { return m_parent; } // the invisible root for top-level nodes
    bool IsRoot() const { return m_parent == nullptr; }
    int Row() const { return m_row; }
    int ChildCount() const { return int(m_children.size()); }
    TContactNode* Child(int row) const { return m_children.at(size_t(row)).get(); }

private:
    friend class TContactsTree;
    TContactData m_data;
    TContactNode* m_parent = nullptr;
    int m_row = 0;
    std::vector<std::unique_ptr<TContactNode>> m_children;
};

// Told about every change of the tree, in the order a QAbstractItemModel must announce it.
class IContactsTreeObserver
{
public:
    virtual ~IContactsTreeObserver() = default;
    virtual void TreeAboutToBeReset() = 0;
    virtual void TreeReset() = 0;
    virtual void NodesAboutToBeInserted(TContactNode* parent, int first, int last) = 0;
    virtual void NodesInserted() = 0;
    virtual void NodesAboutToBeRemoved(TContactNode* parent, int first, int last) = 0;
    virtual void NodesRemoved() = 0;
    virtual void OrderAboutToChange() = 0;
    virtual void OrderChanged() = 0;
    virtual void NodeChanged(TContactNode* node) = 0;
};

// The in-memory phone book: contacts and lists at the top level, list members as the
// children of their list. UI-free; TContactsModel shows it in a view without copying.
class TContactsTree
{
public:
    TContactsTree();
    ~TContactsTree();
    TContactsTree(const TContactsTree&) = delete;
    TContactsTree& operator=(const TContactsTree&) = delete;

    void SetObserver(IContactsTreeObserver* observer) { m_observer = observer; }

    TContactNode* Root() { return &m_root; }
    const TContactNode* Root() const { return &m_root; }
    int TopLevelCount() const { return m_root.ChildCount(); }
    TContactNode* TopLevel(int row) const { return m_root.Child(row); }

    // Between BeginUpdate and EndUpdate (nestable) changes are announced as one reset.
    void BeginUpdate();
    void EndUpdate();
    bool InUpdate() const { return m_updateDepth > 0; }

    void Clear();
    // Appends a node under parent (nullptr: the top level) and answers it.
    TContactNode* AddNode(TContactNode* parent, const TContactData& data);
    void RemoveNode(TContactNode* node);
    void SetData(TContactNode* node, const TContactData& data);
    // Sorts every level in contact order; nodes of equal keys keep their order.
    void Sort();

private:
    void Announce(void (IContactsTreeObserver::*event)());

    TContactNode m_root;
    IContactsTreeObserver* m_observer = nullptr;
    int m_updateDepth = 0;
};

// Sorting key: the nick name when it is not empty, else first name + " " + last name,
// as Windows-1252 bytes with ASCII letters upper-cased.
QByteArray ContactSortKey(const TContactData& data);
// Contacts before lists, then by key byte by byte; 0 for equal keys.
int CompareContacts(const TContactData& a, const TContactData& b);
// The caption a node shows; contactsWord is the localised " contacts" of list captions.
QString ContactCaption(const TContactData& data, const QString& contactsWord);
// " contatti", " contacts": the word of list captions for a language code.
QString ContactsWord(const QString& languageCode);
// Largest ID among the top-level nodes, 0 when there are none.
qint32 MaxTopLevelID(const TContactsTree& tree);
