#include "phonebook/ContactsTree.h"

#include "i18n/Language.h"
#include "platform/Win1252.h"

#include <algorithm>
#include <cstring>

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
    Announce(&IContactsTreeObserver::TreeReset);
}

TContactNode* TContactsTree::AddNode(TContactNode* parent, const TContactData& data)
{
    if (!parent)
        parent = &m_root;
    const int row = parent->ChildCount();
    if (m_observer && m_updateDepth == 0)
        m_observer->NodesAboutToBeInserted(parent, row, row);
    auto node = std::make_unique<TContactNode>();
    node->m_data = data;
    node->m_parent = parent;
    node->m_row = row;
    TContactNode* added = node.get();
    parent->m_children.push_back(std::move(node));
    Announce(&IContactsTreeObserver::NodesInserted);
    return added;
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
    Announce(&IContactsTreeObserver::NodesRemoved);
}

void TContactsTree::SetData(TContactNode* node, const TContactData& data)
{
    node->m_data = data;
    if (m_observer && m_updateDepth == 0)
        m_observer->NodeChanged(node);
}

namespace {
struct Keyed
{
    quint8 kind;
    QByteArray key;
    std::unique_ptr<TContactNode>* slot;
};

void SortLevel(std::vector<std::unique_ptr<TContactNode>>& children)
{
    std::vector<Keyed> keyed;
    keyed.reserve(children.size());
    for (auto& child : children)
        keyed.push_back({child->Data().Kind, ContactSortKey(child->Data()), &child});
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        return a.key < b.key; // QByteArray compares as unsigned bytes
    });
    std::vector<std::unique_ptr<TContactNode>> sorted;
    sorted.reserve(children.size());
    for (Keyed& k : keyed)
        sorted.push_back(std::move(*k.slot));
    children = std::move(sorted);
}
} // namespace

void TContactsTree::Sort()
{
    Announce(&IContactsTreeObserver::OrderAboutToChange);
    SortLevel(m_root.m_children);
    for (int r = 0; r < m_root.ChildCount(); ++r) {
        TContactNode* node = m_root.m_children[size_t(r)].get();
        node->m_row = r;
        SortLevel(node->m_children);
        for (int c = 0; c < node->ChildCount(); ++c)
            node->m_children[size_t(c)]->m_row = c;
    }
    Announce(&IContactsTreeObserver::OrderChanged);
}

QByteArray ContactSortKey(const TContactData& data)
{
    QByteArray key;
    if (data.NickName.isEmpty()) {
        key.reserve(data.FirstName.size() + 1 + data.LastName.size());
        key += ToWin1252(data.FirstName);
        key += ' ';
        key += ToWin1252(data.LastName);
    } else {
        key = ToWin1252(data.NickName);
    }
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return key;
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
