#pragma once

#include <QByteArray>
#include <QStringView>
#include <optional>
#include <unordered_map>
#include <vector>

class TContactNode;
class TContactsTree;

// Which nodes of the tree show: the top-level nodes in tree order and, for lists some of whose
// members are hidden, the members that show.
struct TVisibleRows
{
    std::vector<TContactNode*> Top;
    std::vector<quint8> TopIsList; // beside Top: the view asks this of every row it lays out
    std::unordered_map<const TContactNode*, std::vector<TContactNode*>> PartialLists;
    bool OpenLists = false; // every list shown is opened
};

// What the quick search looks through: the nick name, last name, first name and number of every
// contact of the tree (top-level contacts and list members, in tree order), ASCII letters
// lower-cased, as one block of Windows-1252 bytes, with the tree's shape beside it and a mask of
// each contact's byte classes. A keystroke reads the masks and, for the contacts whose mask
// allows the text, their bytes; never the nodes themselves. The index holds node
// addresses: it is rebuilt whenever the tree's shape, order or records change.
class TQuickSearchIndex
{
public:
    // Reads the tree; may run on another thread while nothing else touches the tree.
    static TQuickSearchIndex Build(const TContactsTree& tree);

    // FilterQuickSearch: a contact shows when it matches; a list shows when one of its members
    // matches and is then opened, unless the text is blank only. A list's own name is not
    // searched. An empty text shows everything (and every list is closed).
    TVisibleRows Filter(QStringView text) const;

private:
    struct TTop
    {
        TContactNode* node;
        qint32 first; // its contacts: the node itself, or a list's members
        qint32 end;
        bool list;
    };
    // Trees of at least this many contacts are scanned by two threads.
    static constexpr size_t kSplitContacts = 20000;
    // Adds the contacts of the top-level nodes [first, end); the block's end is added by Build.
    void AddTopLevel(const TContactsTree& tree, int first, int end);
    // Adds the index of the top-level nodes that follow this one's.
    void Append(const TQuickSearchIndex& later);
    // The text as bytes of the block; none when it holds a character the block cannot.
    static std::optional<QByteArray> Needle(QStringView text);
    // Marks the contacts [first, end) holding the needle.
    void MatchRange(const QByteArray& needle, size_t first, size_t end, std::vector<quint8>& matched) const;
    // One flag per contact, in tree order: the text, lower-cased the same way, occurs in one of
    // its four fields.
    std::vector<quint8> MatchSlowly(QStringView text) const;
    // The rows of the top-level nodes [firstTop, endTop), from the contacts' flags.
    void CollectRows(size_t firstTop, size_t endTop, const std::vector<quint8>& matched,
                     TVisibleRows& rows) const;

    std::vector<TTop> m_top;
    // Where the second of two threads starts, in m_top; m_top's size when one thread does all.
    size_t m_secondHalf = 0;
    std::vector<TContactNode*> m_contacts;
    std::vector<qsizetype> m_starts; // where each contact's fields begin in m_bytes, and the end
    QByteArray m_bytes;              // fields separated by NUL; characters the code page lacks are NUL too
    std::vector<quint64> m_masks;    // per contact: the classes of its bytes
};

// ASCII letters lower-cased, every other character as it is.
QString AsciiLowered(QStringView text);
// True for an empty text and one made of blanks and control characters only.
bool IsBlankOnly(QStringView text);
