#pragma once

#include "phonebook/ContactData.h"

#include <QByteArray>
#include <memory>
#include <vector>

class TContactsTree;

// A text field of a node.
enum class TContactField : quint8
{
    FirstName,
    LastName,
    NickName,
    Number
};

// A record as the phone book's file holds it: its texts are Windows-1252 bytes.
struct TStoredContact
{
    qint32 ID = -1;
    quint8 Kind = TContactData::KindContact;
    QByteArrayView FirstName;
    QByteArrayView LastName;
    QByteArrayView NickName;
    QByteArrayView Number;
    qint32 Count = 0;
    qint32 ImageIndex = TContactData::ContactImage;
};

// One node of the contacts tree. Node addresses stay fixed for the node's life, so a
// model can hand them out as internal pointers.
//
// A node is small: its four texts live in one allocation, as Windows-1252 bytes when the code
// page holds every character (the phone book's own encoding, so loads and rewrites copy bytes)
// and as UTF-16 otherwise; Data() gives back exactly the texts it was given.
class TContactNode
{
public:
    TContactNode() = default;
    TContactNode(const TContactNode&) = delete;
    TContactNode& operator=(const TContactNode&) = delete;

    // The node's record; changes that show go through TContactsTree::SetData.
    TContactData Data() const;
    qint32 ID() const { return m_id; }
    bool IsList() const { return m_kind == TContactData::KindList; }
    qint32 Count() const { return m_count; }
    // The row ID and a list's member count change without being shown (the phone book's
    // rewrite gives new IDs; a load counts members).
    void SetID(qint32 id) { m_id = id; }
    void SetCount(qint32 count) { m_count = count; }
    // Left out of the view by a filter; the record stays as it is. New nodes are shown.
    bool IsHidden() const { return m_hidden; }
    void SetHidden(bool hidden) { m_hidden = hidden; }
    // A text as the phone book stores it, Windows-1252 ('?' for a character the code page
    // lacks): the node's own bytes when it holds them so, else converted into scratch.
    QByteArrayView Win1252Text(TContactField field, QByteArray& scratch) const;
    // Every character of the texts is in the code page: Win1252Text gives them exactly.
    bool HoldsWin1252() const { return !m_wide; }

    TContactNode* Parent() const { return m_parent; } // the invisible root for top-level nodes
    bool IsRoot() const { return m_parent == nullptr; }
    int Row() const { return m_row; }
    int ChildCount() const { return int(m_children.size()); }
    TContactNode* Child(int row) const { return m_children.at(size_t(row)); }

private:
    friend class TContactsTree;
    void SetTexts(const TContactData& data);
    void SetTexts(const TStoredContact& row);
    QStringView WideText(TContactField field) const;
    QByteArrayView NarrowText(TContactField field) const;
    void Reset();

    TContactNode* m_parent = nullptr;
    std::vector<TContactNode*> m_children;
    // Four 32-bit lengths, then the texts one after the other: bytes, or UTF-16 when m_wide.
    std::unique_ptr<char[]> m_texts;
    qint32 m_id = -1;
    qint32 m_count = 0;
    qint32 m_imageIndex = TContactData::ContactImage;
    int m_row = 0;
    quint8 m_kind = TContactData::KindContact;
    quint8 m_phoneType = TContactData::Mobile;
    bool m_wide = false;
    bool m_hidden = false;
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
    // Exchanges the content with other's (announced to both as one reset); the nodes keep their
    // addresses. A tree filled elsewhere (another thread) comes in this way, and the old content
    // can be freed elsewhere too.
    void SwapContent(TContactsTree& other);
    // Appends a node under parent (nullptr: the top level) and answers it.
    TContactNode* AddNode(TContactNode* parent, const TContactData& data);
    // The same for a record read from the phone book's file, without converting its texts.
    TContactNode* AddStored(TContactNode* parent, const TStoredContact& row);
    void RemoveNode(TContactNode* node);
    void SetData(TContactNode* node, const TContactData& data);
    // Sorts every level in contact order; nodes of equal keys keep their order.
    void Sort();

private:
    void Announce(void (IContactsTreeObserver::*event)());
    // A node under parent, announced; the caller fills it in before NodesInserted.
    TContactNode* NewNode(TContactNode* parent);
    void Release(TContactNode* node);
    static void SortLevel(std::vector<TContactNode*>& children);

    TContactNode m_root;
    // Nodes come from chunks of the tree's own; removed ones are reused.
    std::vector<std::unique_ptr<TContactNode[]>> m_chunks;
    size_t m_usedInLastChunk = 0;
    std::vector<TContactNode*> m_free;
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
