#pragma once

#include <QByteArray>
#include <QStringView>
#include <array>
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
    std::vector<TContactNode*> ListsToExpand;
};

// What the quick search looks through: the nick name, last name, first name and number of every
// contact of the tree (top-level contacts and list members, in tree order), ASCII letters
// lower-cased, as one block of Windows-1252 bytes, with the tree's shape beside it. A keystroke
// is one scan of that block and never reads the nodes themselves. The index holds node
// addresses: it is rebuilt whenever the tree's shape, order or records change.
class TQuickSearchIndex
{
public:
    // Reads the tree; may run on another thread while nothing else touches the tree.
    static TQuickSearchIndex Build(const TContactsTree& tree);

    // One flag per contact, in tree order: the text, lower-cased the same way, occurs in one of
    // its four fields.
    std::vector<quint8> Match(QStringView text) const;
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
    // Marks the contacts [first, end) holding the needle; rare: the index of its rarest byte.
    void MatchRange(const QByteArray& needle, size_t rare, size_t first, size_t end,
                    std::vector<quint8>& matched) const;
    std::vector<quint8> MatchSlowly(QStringView text) const;

    std::vector<TTop> m_top;
    std::vector<TContactNode*> m_contacts;
    std::vector<qsizetype> m_starts; // where each contact's fields begin in m_bytes, and the end
    QByteArray m_bytes;              // fields separated by NUL; characters the code page lacks are NUL too
    std::array<qsizetype, 256> m_byteCounts{}; // how often each byte occurs in m_bytes
};

// ASCII letters lower-cased, every other character as it is.
QString AsciiLowered(QStringView text);
// True for an empty text and one made of blanks and control characters only.
bool IsBlankOnly(QStringView text);
