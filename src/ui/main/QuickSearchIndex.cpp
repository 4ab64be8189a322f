#include "ui/main/QuickSearchIndex.h"

#include "phonebook/ContactsTree.h"
#include "platform/Win1252.h"

#include <QString>
#include <algorithm>
#include <cstring>
#include <thread>
#include <utility>

namespace {
char FoldedByte(char16_t ch)
{
    if (ch < 0x80) {
        if (ch >= u'A' && ch <= u'Z')
            return static_cast<char>(ch - u'A' + 'a');
        return static_cast<char>(ch);
    }
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
    index.m_top.reserve(size_t(tree.TopLevelCount()));
    const auto add = [&index](TContactNode* node) {
        const TContactData d = node->Data();
        index.m_contacts.push_back(node);
        index.m_starts.push_back(index.m_bytes.size());
        for (const QString* field : {&d.NickName, &d.LastName, &d.FirstName, &d.Number})
            AppendField(index.m_bytes, *field);
    };
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        TContactNode* node = tree.TopLevel(r);
        const auto first = qint32(index.m_contacts.size());
        if (node->IsList()) {
            for (int c = 0; c < node->ChildCount(); ++c)
                add(node->Child(c)); // lists hold contacts only
        } else {
            add(node);
        }
        index.m_top.push_back({node, first, qint32(index.m_contacts.size()), node->IsList()});
    }
    index.m_starts.push_back(index.m_bytes.size());
    for (char byte : std::as_const(index.m_bytes))
        ++index.m_byteCounts[static_cast<unsigned char>(byte)];
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
    std::vector<quint8> matched(m_contacts.size(), 0);
    if (needle.isEmpty() || m_contacts.empty())
        return matched;
    // The needle's rarest byte is looked for with memchr (the fast scan), the rest compared at
    // each place it is found.
    size_t rare = 0;
    for (size_t k = 1; k < size_t(needle.size()); ++k)
        if (m_byteCounts[static_cast<unsigned char>(needle[k])] <
            m_byteCounts[static_cast<unsigned char>(needle[rare])])
            rare = k;
    // A large tree is scanned in two halves side by side: a short needle hits nearly every
    // contact, and the keystroke waits for the scan. A hit never spans two contacts.
    const size_t count = m_contacts.size();
    if (count < kSplitContacts) {
        MatchRange(needle, rare, 0, count, matched);
        return matched;
    }
    const size_t half = count / 2;
    std::thread second([&] { MatchRange(needle, rare, half, count, matched); });
    MatchRange(needle, rare, 0, half, matched);
    second.join();
    return matched;
}

void TQuickSearchIndex::MatchRange(const QByteArray& needle, size_t rare, size_t first, size_t end,
                                   std::vector<quint8>& matched) const
{
    const auto n = size_t(needle.size());
    const char* base = m_bytes.constData();
    const char* stop = base + m_starts[end];
    const char* from = base + m_starts[first]; // where a hit may begin
    auto entry = m_starts.begin() + qsizetype(first);
    while (stop - from >= qsizetype(n)) {
        const void* found = memchr(from + rare, needle[rare], size_t(stop - from) - n + 1);
        if (!found)
            break;
        const char* start = static_cast<const char*>(found) - rare;
        if (std::memcmp(start, needle.constData(), n) != 0) {
            from = start + 1;
            continue;
        }
        // The contact holding the hit: hits come in order, mostly a few contacts apart, so the
        // search walks forward a little and leaps only when that is not enough. A field never
        // holds NUL, so a hit never spans two fields.
        const qsizetype at = start - base;
        for (int step = 0; step < 8 && *(entry + 1) <= at; ++step)
            ++entry;
        if (*(entry + 1) <= at)
            entry = std::upper_bound(entry, m_starts.begin() + qsizetype(end), at) - 1;
        matched[size_t(entry - m_starts.begin())] = 1;
        from = base + *(entry + 1);
    }
}

std::vector<quint8> TQuickSearchIndex::MatchSlowly(QStringView text) const
{
    const QString lowered = AsciiLowered(text);
    std::vector<quint8> matched(m_contacts.size(), 0);
    for (size_t i = 0; i < m_contacts.size(); ++i) {
        const TContactData d = m_contacts[i]->Data();
        matched[i] = ContainsLowered(d.NickName, lowered) || ContainsLowered(d.LastName, lowered) ||
                     ContainsLowered(d.FirstName, lowered) || ContainsLowered(d.Number, lowered);
    }
    return matched;
}

TVisibleRows TQuickSearchIndex::Filter(QStringView text) const
{
    TVisibleRows rows;
    rows.Top.reserve(m_top.size());
    rows.TopIsList.reserve(m_top.size());
    if (text.isEmpty()) {
        for (const TTop& top : m_top) {
            rows.Top.push_back(top.node);
            rows.TopIsList.push_back(top.list);
        }
        return rows;
    }
    const std::vector<quint8> matched = Match(text);
    const bool blankOnly = IsBlankOnly(text);
    for (const TTop& top : m_top) {
        const auto hits = std::count(matched.begin() + top.first, matched.begin() + top.end, quint8(1));
        if (hits == 0)
            continue;
        rows.Top.push_back(top.node);
        rows.TopIsList.push_back(top.list);
        if (!top.list)
            continue;
        if (hits < top.end - top.first) {
            std::vector<TContactNode*>& shown = rows.PartialLists[top.node];
            shown.reserve(size_t(hits));
            for (qint32 i = top.first; i < top.end; ++i)
                if (matched[size_t(i)])
                    shown.push_back(m_contacts[size_t(i)]);
        }
        if (!blankOnly)
            rows.ListsToExpand.push_back(top.node);
    }
    return rows;
}
