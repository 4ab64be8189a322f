#include "ui/main/QuickSearchIndex.h"

#include "phonebook/ContactsTree.h"
#include "platform/Win1252.h"

#include <QString>
#include <algorithm>
#include <cstring>

namespace {
char FoldedByte(char16_t ch)
{
    if (ch >= u'A' && ch <= u'Z')
        return static_cast<char>(ch - u'A' + 'a');
    const int byte = Win1252Byte(ch);
    return byte <= 0 ? '\0' : static_cast<char>(byte);
}

void AppendField(QByteArray& bytes, const QString& field)
{
    const qsizetype at = bytes.size();
    bytes.resize(at + field.size() + 1);
    char* out = bytes.data() + at;
    for (QChar c : field)
        *out++ = FoldedByte(c.unicode());
    *out = '\0';
}

template <typename Visit> void ForEachContact(const TContactsTree& tree, Visit&& visit)
{
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        TContactNode* node = tree.TopLevel(r);
        if (!node->IsList()) {
            visit(node);
            continue;
        }
        for (int c = 0; c < node->ChildCount(); ++c)
            if (!node->Child(c)->IsList())
                visit(node->Child(c));
    }
}

bool ContainsLowered(const QString& field, const QString& lowered)
{
    return AsciiLowered(field).contains(lowered);
}
} // namespace

QString AsciiLowered(QStringView text)
{
    QString out = text.toString();
    for (QChar& c : out)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() - u'A' + u'a');
    return out;
}

bool IsBlankOnly(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= u' '; });
}

TQuickSearchIndex TQuickSearchIndex::Build(const TContactsTree& tree)
{
    TQuickSearchIndex index;
    size_t contacts = 0;
    ForEachContact(tree, [&](TContactNode*) { ++contacts; });
    index.m_nodes.reserve(contacts);
    index.m_starts.reserve(contacts + 1);
    index.m_bytes.reserve(qsizetype(contacts) * 48);
    ForEachContact(tree, [&](TContactNode* node) {
        const TContactData d = node->Data();
        index.m_nodes.push_back(node);
        index.m_starts.push_back(index.m_bytes.size());
        for (const QString* field : {&d.NickName, &d.LastName, &d.FirstName, &d.Number})
            AppendField(index.m_bytes, *field);
    });
    index.m_starts.push_back(index.m_bytes.size());
    return index;
}

std::vector<quint8> TQuickSearchIndex::Match(QStringView text) const
{
    QByteArray needle;
    needle.reserve(text.size());
    for (QChar c : text) {
        const char byte = FoldedByte(c.unicode());
        if (byte == '\0')
            return MatchSlowly(text); // a character the block cannot hold
        needle.append(byte);
    }
    std::vector<quint8> matched(m_nodes.size(), 0);
    if (needle.isEmpty() || m_nodes.empty())
        return matched;
    const char* base = m_bytes.constData();
    const char* end = base + m_bytes.size();
    const char* from = base;
    auto entry = m_starts.begin();
    while (from < end) {
        const void* hit = memmem(from, size_t(end - from), needle.constData(), size_t(needle.size()));
        if (!hit)
            break;
        const qsizetype at = static_cast<const char*>(hit) - base;
        // The entry holding the hit (hits come in order, so the search only moves forward);
        // a field never holds NUL, so a hit never spans two fields.
        entry = std::upper_bound(entry, m_starts.end() - 1, at) - 1;
        matched[size_t(entry - m_starts.begin())] = 1;
        from = base + *(entry + 1);
    }
    return matched;
}

std::vector<quint8> TQuickSearchIndex::MatchSlowly(QStringView text) const
{
    const QString lowered = AsciiLowered(text);
    std::vector<quint8> matched(m_nodes.size(), 0);
    for (size_t i = 0; i < m_nodes.size(); ++i) {
        const TContactData d = m_nodes[i]->Data();
        matched[i] = ContainsLowered(d.NickName, lowered) || ContainsLowered(d.LastName, lowered) ||
                     ContainsLowered(d.FirstName, lowered) || ContainsLowered(d.Number, lowered);
    }
    return matched;
}

void ShowAllNodes(TContactsTree& tree)
{
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        TContactNode* node = tree.TopLevel(r);
        node->SetHidden(false);
        for (int c = 0; c < node->ChildCount(); ++c)
            node->Child(c)->SetHidden(false);
    }
}

void ApplyQuickSearch(TContactsTree& tree, const TQuickSearchIndex& index, QStringView text,
                      std::vector<TContactNode*>& listsToExpand)
{
    listsToExpand.clear();
    if (text.isEmpty()) {
        ShowAllNodes(tree);
        return;
    }
    const std::vector<quint8> matched = index.Match(text);
    const bool blankOnly = IsBlankOnly(text);
    size_t entry = 0;
    // Answers false where the index no longer follows the tree: the walk ends there.
    const auto take = [&](TContactNode* node, bool& hit) {
        if (entry >= index.Size() || index.Node(entry) != node)
            return false;
        hit = matched[entry++] != 0;
        node->SetHidden(!hit);
        return true;
    };
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        TContactNode* node = tree.TopLevel(r);
        bool hit = false;
        if (!node->IsList()) {
            if (!take(node, hit))
                return;
            continue;
        }
        bool anyMember = false;
        for (int c = 0; c < node->ChildCount(); ++c) {
            TContactNode* member = node->Child(c);
            if (member->IsList())
                continue; // lists hold contacts only; anything else is left as it is
            if (!take(member, hit))
                return;
            anyMember = anyMember || hit;
        }
        node->SetHidden(!anyMember);
        if (anyMember && !blankOnly)
            listsToExpand.push_back(node);
    }
}
