#pragma once

#include <QByteArray>
#include <QStringView>
#include <vector>

class TContactNode;
class TContactsTree;

// What the quick search looks through: the nick name, last name, first name and number of every
// contact of the tree (top-level contacts and list members, in tree order), ASCII letters
// lower-cased, as one block of Windows-1252 bytes. A keystroke is then one scan of that block.
// The index holds node addresses: it is rebuilt whenever the tree's shape or records change.
class TQuickSearchIndex
{
public:
    // Reads the tree; may run on another thread while nothing else touches the tree.
    static TQuickSearchIndex Build(const TContactsTree& tree);

    size_t Size() const { return m_nodes.size(); }
    TContactNode* Node(size_t entry) const { return m_nodes[entry]; }
    // One flag per entry: the text, lower-cased the same way, occurs in one of its four fields.
    std::vector<quint8> Match(QStringView text) const;

private:
    std::vector<quint8> MatchSlowly(QStringView text) const;

    std::vector<TContactNode*> m_nodes;
    std::vector<qsizetype> m_starts; // where each entry's fields begin in m_bytes, and the end
    QByteArray m_bytes;              // fields separated by NUL; characters the code page lacks are NUL too
};

// FilterQuickSearch on the nodes' hidden flags: a contact shows when it matches; a list shows
// when one of its members matches and is then in lists, to be expanded unless the text is blank
// only. An empty text shows every node (and the caller collapses every list). The walk stops
// where the index no longer follows the tree; index must have been built from this tree.
void ApplyQuickSearch(TContactsTree& tree, const TQuickSearchIndex& index, QStringView text,
                      std::vector<TContactNode*>& listsToExpand);
// Every node shown again (UserFilterClose without a text).
void ShowAllNodes(TContactsTree& tree);
// ASCII letters lower-cased, every other character as it is.
QString AsciiLowered(QStringView text);
// True for an empty text and one made of blanks and control characters only.
bool IsBlankOnly(QStringView text);
