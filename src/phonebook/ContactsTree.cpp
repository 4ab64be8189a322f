#include "phonebook/ContactsTree.h"

#include "i18n/Language.h"
#include "platform/Win1252.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace {
constexpr size_t kChunkNodes = 1024;
constexpr size_t kHeader = 4 * sizeof(quint32);

size_t Index(TContactField field)
{
    return static_cast<size_t>(field);
}

quint32 LengthAt(const char* texts, size_t i)
{
    quint32 length;
    std::memcpy(&length, texts + i * sizeof(quint32), sizeof length);
    return length;
}

// The four texts in one block: lengths, then the units of each text (units of T).
template <typename T, typename Text> std::unique_ptr<char[]> TextBlock(const Text (&texts)[4])
{
    size_t units = 0;
    for (const Text& t : texts)
        units += size_t(t.size());
    auto block = std::make_unique<char[]>(kHeader + units * sizeof(T));
    char* to = block.get() + kHeader;
    for (size_t i = 0; i < 4; ++i) {
        const auto length = quint32(texts[i].size());
        std::memcpy(block.get() + i * sizeof(quint32), &length, sizeof length);
        if (length > 0)
            std::memcpy(to, texts[i].data(), length * sizeof(T));
        to += length * sizeof(T);
    }
    return block;
}
} // namespace

void TContactNode::SetTexts(const TContactData& data)
{
    const QStringView texts[4] = {data.FirstName, data.LastName, data.NickName, data.Number};
    m_wide = false;
    for (const QStringView& t : texts)
        m_wide = m_wide || !IsWin1252Encodable(t);
    if (m_wide) {
        m_texts = TextBlock<char16_t>(texts);
        return;
    }
    const QByteArray bytes[4] = {ToWin1252(texts[0]), ToWin1252(texts[1]), ToWin1252(texts[2]),
                                 ToWin1252(texts[3])};
    m_texts = TextBlock<char>(bytes);
}

void TContactNode::SetTexts(const TStoredContact& row)
{
    const QByteArrayView texts[4] = {row.FirstName, row.LastName, row.NickName, row.Number};
    m_wide = false;
    m_texts = TextBlock<char>(texts);
}

QByteArrayView TContactNode::NarrowText(TContactField field) const
{
    if (!m_texts)
        return {};
    const char* at = m_texts.get() + kHeader;
    for (size_t i = 0; i < Index(field); ++i)
        at += LengthAt(m_texts.get(), i);
    return QByteArrayView(at, qsizetype(LengthAt(m_texts.get(), Index(field))));
}

QStringView TContactNode::WideText(TContactField field) const
{
    const char* at = m_texts.get() + kHeader;
    for (size_t i = 0; i < Index(field); ++i)
        at += LengthAt(m_texts.get(), i) * sizeof(char16_t);
    // The block comes from operator new and the header is 16 bytes: UTF-16 units are aligned.
    return QStringView(reinterpret_cast<const char16_t*>(at),
                       qsizetype(LengthAt(m_texts.get(), Index(field))));
}

QByteArrayView TContactNode::Win1252Text(TContactField field, QByteArray& scratch) const
{
    if (!m_wide)
        return NarrowText(field);
    scratch = ToWin1252(WideText(field));
    return scratch;
}

TContactData TContactNode::Data() const
{
    TContactData d;
    d.ID = m_id;
    d.Kind = m_kind;
    d.Count = m_count;
    d.PhoneType = m_phoneType;
    d.ImageIndex = m_imageIndex;
    QString* texts[4] = {&d.FirstName, &d.LastName, &d.NickName, &d.Number};
    for (size_t i = 0; i < 4; ++i) {
        const auto field = static_cast<TContactField>(i);
        if (m_wide)
            *texts[i] = WideText(field).toString();
        else if (const QByteArrayView bytes = NarrowText(field); !bytes.isEmpty())
            *texts[i] = FromWin1252(bytes);
    }
    return d;
}

void TContactNode::Reset()
{
    m_parent = nullptr;
    std::vector<TContactNode*>().swap(m_children);
    m_texts.reset();
    m_id = -1;
    m_count = 0;
    m_imageIndex = TContactData::ContactImage;
    m_row = 0;
    m_kind = TContactData::KindContact;
    m_phoneType = TContactData::Mobile;
    m_wide = false;
    m_hidden = false;
}

TContactsTree::TContactsTree() = default;
TContactsTree::~TContactsTree() = default;

void TContactsTree::Announce(void (IContactsTreeObserver::*event)())
{
    if (m_observer && m_updateDepth == 0)
        (m_observer->*event)();
}

void TContactsTree::BeginUpdate()
{
    if (m_updateDepth == 0 && m_observer)
        m_observer->TreeAboutToBeReset();
    ++m_updateDepth;
}

void TContactsTree::EndUpdate()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth == 0 && m_observer)
        m_observer->TreeReset();
}

void TContactsTree::Clear()
{
    Announce(&IContactsTreeObserver::TreeAboutToBeReset);
    m_root.m_children.clear();
    m_free.clear();
    m_chunks.clear();
    m_usedInLastChunk = 0;
    Announce(&IContactsTreeObserver::TreeReset);
}

void TContactsTree::SwapContent(TContactsTree& other)
{
    if (&other == this)
        return;
    Announce(&IContactsTreeObserver::TreeAboutToBeReset);
    other.Announce(&IContactsTreeObserver::TreeAboutToBeReset);
    // The nodes live in their tree's chunks: the chunks go along with them.
    m_root.m_children.swap(other.m_root.m_children);
    m_chunks.swap(other.m_chunks);
    m_free.swap(other.m_free);
    std::swap(m_usedInLastChunk, other.m_usedInLastChunk);
    for (TContactNode* child : m_root.m_children)
        child->m_parent = &m_root;
    for (TContactNode* child : other.m_root.m_children)
        child->m_parent = &other.m_root;
    other.Announce(&IContactsTreeObserver::TreeReset);
    Announce(&IContactsTreeObserver::TreeReset);
}

TContactNode* TContactsTree::NewNode(TContactNode* parent)
{
    const int row = parent->ChildCount();
    if (m_observer && m_updateDepth == 0)
        m_observer->NodesAboutToBeInserted(parent, row, row);
    TContactNode* node = nullptr;
    if (!m_free.empty()) {
        node = m_free.back();
        m_free.pop_back();
    } else {
        if (m_chunks.empty() || m_usedInLastChunk == kChunkNodes) {
            m_chunks.push_back(std::make_unique<TContactNode[]>(kChunkNodes));
            m_usedInLastChunk = 0;
        }
        node = &m_chunks.back()[m_usedInLastChunk++];
    }
    node->m_parent = parent;
    node->m_row = row;
    parent->m_children.push_back(node);
    return node;
}

TContactNode* TContactsTree::AddNode(TContactNode* parent, const TContactData& data)
{
    TContactNode* node = NewNode(parent ? parent : &m_root);
    node->m_id = data.ID;
    node->m_kind = data.Kind;
    node->m_count = data.Count;
    node->m_phoneType = data.PhoneType;
    node->m_imageIndex = data.ImageIndex;
    node->SetTexts(data);
    Announce(&IContactsTreeObserver::NodesInserted);
    return node;
}

TContactNode* TContactsTree::AddStored(TContactNode* parent, const TStoredContact& row)
{
    TContactNode* node = NewNode(parent ? parent : &m_root);
    node->m_id = row.ID;
    node->m_kind = row.Kind;
    node->m_count = row.Count;
    node->m_imageIndex = row.ImageIndex;
    node->SetTexts(row);
    Announce(&IContactsTreeObserver::NodesInserted);
    return node;
}

void TContactsTree::Release(TContactNode* node)
{
    for (TContactNode* child : node->m_children)
        Release(child);
    node->Reset();
    m_free.push_back(node);
}

void TContactsTree::RemoveNode(TContactNode* node)
{
    if (!node || node->IsRoot())
        return;
    TContactNode* parent = node->m_parent;
    const int row = node->m_row;
    if (m_observer && m_updateDepth == 0)
        m_observer->NodesAboutToBeRemoved(parent, row, row);
    parent->m_children.erase(parent->m_children.begin() + row);
    for (int r = row; r < parent->ChildCount(); ++r)
        parent->m_children[size_t(r)]->m_row = r;
    Release(node);
    Announce(&IContactsTreeObserver::NodesRemoved);
}

void TContactsTree::SetData(TContactNode* node, const TContactData& data)
{
    node->m_id = data.ID;
    node->m_kind = data.Kind;
    node->m_count = data.Count;
    node->m_phoneType = data.PhoneType;
    node->m_imageIndex = data.ImageIndex;
    node->SetTexts(data);
    if (m_observer && m_updateDepth == 0)
        m_observer->NodeChanged(node);
}

namespace {
// A node's place in the order: its kind, then its key (ContactSortKey) byte by byte. The key's
// first eight bytes, big-endian, decide most comparisons without reading the rest.
struct TSortEntry
{
    quint64 prefix;
    quint32 offset;
    quint32 length;
    quint8 kind;
    TContactNode* node;
};

char* CopyUpper(char* to, QByteArrayView bytes)
{
    for (const char c : bytes)
        *to++ = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    return to;
}

// The sorting key from the texts' Windows-1252 bytes, appended to keys: the nick name when it is
// not empty, else first name + " " + last name, ASCII letters upper-cased.
void AppendSortKey(std::string& keys, QByteArrayView nick, QByteArrayView first, QByteArrayView last)
{
    const size_t offset = keys.size();
    keys.resize(offset + size_t(nick.isEmpty() ? first.size() + 1 + last.size() : nick.size()));
    char* to = keys.data() + offset;
    if (!nick.isEmpty()) {
        CopyUpper(to, nick);
        return;
    }
    to = CopyUpper(to, first);
    *to++ = ' ';
    CopyUpper(to, last);
}
} // namespace

void TContactsTree::SortLevel(std::vector<TContactNode*>& children)
{
    // Every key is built once, from the bytes the nodes hold, into one buffer.
    std::vector<TSortEntry> entries;
    entries.reserve(children.size());
    std::string keys;
    QByteArray scratch[3];
    for (TContactNode* child : children) {
        const QByteArrayView nick = child->Win1252Text(TContactField::NickName, scratch[0]);
        const QByteArrayView first =
            nick.isEmpty() ? child->Win1252Text(TContactField::FirstName, scratch[1]) : QByteArrayView();
        const QByteArrayView last =
            nick.isEmpty() ? child->Win1252Text(TContactField::LastName, scratch[2]) : QByteArrayView();
        const size_t offset = keys.size();
        AppendSortKey(keys, nick, first, last);
        entries.push_back({0, quint32(offset), quint32(keys.size() - offset), child->m_kind, child});
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(keys.data());
    for (TSortEntry& e : entries) {
        quint64 prefix = 0;
        for (quint32 i = 0; i < 8; ++i)
            prefix = (prefix << 8) | (i < e.length ? bytes[e.offset + i] : 0u);
        e.prefix = prefix;
    }
    std::stable_sort(entries.begin(), entries.end(), [bytes](const TSortEntry& a, const TSortEntry& b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        const int c = std::memcmp(bytes + a.offset, bytes + b.offset, std::min(a.length, b.length));
        return c != 0 ? c < 0 : a.length < b.length;
    });
    for (size_t i = 0; i < entries.size(); ++i) {
        children[i] = entries[i].node;
        children[i]->m_row = int(i);
    }
}

void TContactsTree::Sort()
{
    Announce(&IContactsTreeObserver::OrderAboutToChange);
    SortLevel(m_root.m_children);
    for (TContactNode* node : m_root.m_children)
        SortLevel(node->m_children);
    Announce(&IContactsTreeObserver::OrderChanged);
}

QByteArray ContactSortKey(const TContactData& data)
{
    std::string key;
    AppendSortKey(key, ToWin1252(data.NickName), ToWin1252(data.FirstName), ToWin1252(data.LastName));
    return QByteArray(key.data(), qsizetype(key.size()));
}

int CompareContacts(const TContactData& a, const TContactData& b)
{
    if (a.Kind != b.Kind)
        return a.Kind < b.Kind ? -1 : 1;
    const QByteArray ka = ContactSortKey(a);
    const QByteArray kb = ContactSortKey(b);
    return ka < kb ? -1 : (kb < ka ? 1 : 0);
}

QString ContactCaption(const TContactData& data, const QString& contactsWord)
{
    if (data.IsList())
        return u'[' + data.NickName + QStringLiteral("] (") + QString::number(data.Count) + contactsWord +
               u')';
    const QString nick = data.NickName.trimmed();
    if (!nick.isEmpty())
        return nick;
    if (!data.FirstName.isEmpty() || !data.LastName.isEmpty())
        return data.FirstName.trimmed() + u' ' + data.LastName.trimmed();
    return data.Number.trimmed();
}

QString ContactsWord(const QString& languageCode)
{
    return PickText(languageCode, Tr{" contatti", " contacts", " contacts"})
        .value_or(QStringLiteral(" contacts"));
}

qint32 MaxTopLevelID(const TContactsTree& tree)
{
    qint32 max = 0;
    for (int r = 0; r < tree.TopLevelCount(); ++r)
        max = std::max(max, tree.TopLevel(r)->Data().ID);
    return max;
}
