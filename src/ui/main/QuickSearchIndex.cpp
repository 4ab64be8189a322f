#include "ui/main/QuickSearchIndex.h"

#include "phonebook/ContactsTree.h"
#include "platform/Win1252.h"

#include <QString>
#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
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

// The byte classes of a contact's texts, one bit each: letters, digits, the blank and "+" have a
// class of their own, the other bytes share the rest. A contact can hold a text only when its
// mask holds every class of the text's bytes.
constexpr int ByteClass(unsigned char byte)
{
    if (byte >= 'a' && byte <= 'z')
        return byte - 'a';
    if (byte >= '0' && byte <= '9')
        return 26 + byte - '0';
    if (byte == ' ')
        return 36;
    if (byte == '+')
        return 37;
    return 38 + byte % 26;
}

bool ByteClassIsExact(unsigned char byte)
{
    return ByteClass(byte) < 38;
}

constexpr std::array<quint64, 256> kClassBits = [] {
    std::array<quint64, 256> bits{};
    for (int byte = 1; byte < 256; ++byte) // NUL separates the fields: no class
        bits[size_t(byte)] = quint64(1) << ByteClass(static_cast<unsigned char>(byte));
    return bits;
}();

quint64 BytesMask(const char* bytes, qsizetype size)
{
    quint64 mask = 0;
    for (qsizetype i = 0; i < size; ++i)
        mask |= kClassBits[static_cast<unsigned char>(bytes[i])];
    return mask;
}

// A field's characters, each folded to its byte, and a NUL appended to the block; mask gains
// the classes of the bytes.
template <typename Field, typename Fold>
void AppendFolded(QByteArray& bytes, const Field& field, Fold fold, quint64& mask)
{
    const qsizetype at = bytes.size();
    bytes.resize(at + field.size() + 1);
    char* out = bytes.data() + at;
    for (const auto c : field) {
        *out = fold(c);
        mask |= kClassBits[static_cast<unsigned char>(*out++)];
    }
    *out = '\0';
}

void AppendField(QByteArray& bytes, const QString& field, quint64& mask)
{
    AppendFolded(
        bytes, field, [](QChar c) { return FoldedByte(c.unicode()); }, mask);
}

// The same from a node's own Windows-1252 bytes: only ASCII letters change.
void AppendField(QByteArray& bytes, QByteArrayView field, quint64& mask)
{
    AppendFolded(
        bytes, field,
        [](char byte) { return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte; },
        mask);
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
    const int count = tree.TopLevelCount();
    const auto contactsOf = [&tree](int r) {
        const TContactNode* node = tree.TopLevel(r);
        return node->IsList() ? size_t(node->ChildCount()) : size_t(1);
    };
    size_t total = 0;
    for (int r = 0; r < count; ++r)
        total += contactsOf(r);
    index.m_top.reserve(size_t(count));
    index.m_contacts.reserve(total);
    index.m_masks.reserve(total);
    index.m_starts.reserve(total + 1);
    // A large tree is read in two halves side by side, split between two top-level nodes.
    int middle = count;
    if (total >= kSplitContacts) {
        size_t before = 0;
        for (middle = 0; middle < count && before < total / 2; ++middle)
            before += contactsOf(middle);
    }
    index.m_secondHalf = size_t(middle); // a keystroke's scan splits the same way
    TQuickSearchIndex second;
    std::thread worker;
    if (middle < count)
        worker = std::thread([&] { second.AddTopLevel(tree, middle, count); });
    index.AddTopLevel(tree, 0, middle);
    if (worker.joinable()) {
        worker.join();
        index.Append(second);
    }
    index.m_starts.push_back(index.m_bytes.size());
    return index;
}

void TQuickSearchIndex::AddTopLevel(const TContactsTree& tree, int first, int end)
{
    QByteArray scratch;
    const auto add = [this, &scratch](TContactNode* node) {
        m_contacts.push_back(node);
        m_starts.push_back(m_bytes.size());
        quint64 mask = 0;
        if (node->HoldsWin1252()) {
            for (TContactField field : {TContactField::NickName, TContactField::LastName,
                                        TContactField::FirstName, TContactField::Number})
                AppendField(m_bytes, node->Win1252Text(field, scratch), mask);
        } else {
            const TContactData d = node->Data();
            for (const QString* field : {&d.NickName, &d.LastName, &d.FirstName, &d.Number})
                AppendField(m_bytes, *field, mask);
        }
        m_masks.push_back(mask);
    };
    for (int r = first; r < end; ++r) {
        TContactNode* node = tree.TopLevel(r);
        const auto from = qint32(m_contacts.size());
        if (node->IsList()) {
            for (int c = 0; c < node->ChildCount(); ++c)
                add(node->Child(c)); // lists hold contacts only
        } else {
            add(node);
        }
        m_top.push_back({node, from, qint32(m_contacts.size()), node->IsList()});
    }
}

void TQuickSearchIndex::Append(const TQuickSearchIndex& later)
{
    const qsizetype bytes = m_bytes.size();
    const auto contacts = qint32(m_contacts.size());
    m_bytes.append(later.m_bytes);
    for (qsizetype start : later.m_starts)
        m_starts.push_back(bytes + start);
    m_contacts.insert(m_contacts.end(), later.m_contacts.begin(), later.m_contacts.end());
    m_masks.insert(m_masks.end(), later.m_masks.begin(), later.m_masks.end());
    for (TTop top : later.m_top) {
        top.first += contacts;
        top.end += contacts;
        m_top.push_back(top);
    }
}

std::optional<QByteArray> TQuickSearchIndex::Needle(QStringView text)
{
    QByteArray needle;
    needle.reserve(text.size());
    for (QChar c : text) {
        const char byte = FoldedByte(c.unicode());
        if (byte == '\0')
            return std::nullopt; // a character the block cannot hold
        needle.append(byte);
    }
    return needle;
}

void TQuickSearchIndex::MatchRange(const QByteArray& needle, size_t first, size_t end,
                                   std::vector<quint8>& matched) const
{
    const quint64 wanted = BytesMask(needle.constData(), needle.size());
    // One byte whose class holds it alone: the masks decide without reading the texts.
    const bool maskDecides = needle.size() == 1 && ByteClassIsExact(static_cast<unsigned char>(needle[0]));
    const std::string_view sought(needle.constData(), size_t(needle.size()));
    const char* base = m_bytes.constData();
    for (size_t i = first; i < end; ++i) {
        if ((m_masks[i] & wanted) != wanted)
            continue;
        // A field never holds NUL, so a hit never spans two fields.
        matched[i] =
            maskDecides ||
            std::string_view(base + m_starts[i], size_t(m_starts[i + 1] - m_starts[i])).find(sought) !=
                std::string_view::npos;
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
    rows.OpenLists = !IsBlankOnly(text);
    const std::optional<QByteArray> needle = Needle(text);
    if (!needle) {
        CollectRows(0, m_top.size(), MatchSlowly(text), rows);
        return rows;
    }
    std::vector<quint8> matched(m_contacts.size(), 0);
    const auto scan = [&](size_t firstTop, size_t endTop, TVisibleRows& part) {
        if (firstTop == endTop)
            return;
        MatchRange(*needle, size_t(m_top[firstTop].first), size_t(m_top[endTop - 1].end), matched);
        CollectRows(firstTop, endTop, matched, part);
    };
    // A large tree is scanned in the two halves it was built in, side by side: a short needle
    // hits nearly every contact, and the keystroke waits for the scan.
    const size_t middle = m_secondHalf;
    if (middle >= m_top.size()) {
        scan(0, m_top.size(), rows);
        return rows;
    }
    TVisibleRows second;
    second.Top.reserve(m_top.size() - middle);
    second.TopIsList.reserve(m_top.size() - middle);
    std::thread worker([&] { scan(middle, m_top.size(), second); });
    scan(0, middle, rows);
    worker.join();
    rows.Top.insert(rows.Top.end(), second.Top.begin(), second.Top.end());
    rows.TopIsList.insert(rows.TopIsList.end(), second.TopIsList.begin(), second.TopIsList.end());
    rows.PartialLists.merge(second.PartialLists);
    return rows;
}

void TQuickSearchIndex::CollectRows(size_t firstTop, size_t endTop, const std::vector<quint8>& matched,
                                    TVisibleRows& rows) const
{
    for (size_t t = firstTop; t < endTop; ++t) {
        const TTop& top = m_top[t];
        const auto hits = top.list
                              ? std::count(matched.begin() + top.first, matched.begin() + top.end, quint8(1))
                              : qsizetype(matched[size_t(top.first)]);
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
    }
}
