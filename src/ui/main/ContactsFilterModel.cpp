#include "ui/main/ContactsFilterModel.h"

#include "phonebook/ContactsModel.h"
#include "ui/main/PhoneBookPictures.h"

#include <algorithm>

TContactsFilterModel::TContactsFilterModel(TContactsModel* source, QObject* parent)
    : QAbstractProxyModel(parent), m_source(source)
{
    QAbstractProxyModel::setSourceModel(source);
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        WriteFlags();
        beginResetModel();
    });
    connect(source, &QAbstractItemModel::modelReset, this, [this] {
        Rebuild();
        endResetModel();
    });
    connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this,
            &TContactsFilterModel::BeginSourceChange);
    connect(source, &QAbstractItemModel::rowsInserted, this, &TContactsFilterModel::EndSourceChange);
    connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &TContactsFilterModel::SourceRowsAboutToBeRemoved);
    connect(source, &QAbstractItemModel::rowsRemoved, this, &TContactsFilterModel::EndSourceChange);
    connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this,
            &TContactsFilterModel::BeginSourceChange);
    connect(source, &QAbstractItemModel::layoutChanged, this, &TContactsFilterModel::EndSourceChange);
    connect(source, &QAbstractItemModel::dataChanged, this, &TContactsFilterModel::SourceDataChanged);
    Rebuild();
}

TContactsFilterModel::~TContactsFilterModel() = default;

void TContactsFilterModel::SetVisibleRows(TVisibleRows rows)
{
    beginResetModel();
    m_top = std::move(rows.Top);
    m_topIsList = std::move(rows.TopIsList);
    m_partialLists = std::move(rows.PartialLists);
    ForgetPartialLookup();
    m_flagsCurrent = false;
    endResetModel();
}

void TContactsFilterModel::ShowAll()
{
    beginResetModel();
    const TContactNode* root = m_source->NodeOf({});
    m_top.clear();
    m_topIsList.clear();
    m_top.reserve(size_t(root->ChildCount()));
    m_topIsList.reserve(size_t(root->ChildCount()));
    for (int r = 0; r < root->ChildCount(); ++r) {
        m_top.push_back(root->Child(r));
        m_topIsList.push_back(root->Child(r)->IsList());
    }
    m_partialLists.clear();
    ForgetPartialLookup();
    m_flagsCurrent = false;
    endResetModel();
}

// A keystroke changes only the shown rows; the nodes' flags follow when the tree itself is about
// to change, so that the change keeps what shows.
void TContactsFilterModel::WriteFlags()
{
    if (m_flagsCurrent)
        return;
    m_flagsCurrent = true;
    const TContactNode* root = m_source->NodeOf({});
    auto shown = m_top.begin(); // in tree order, like the rows
    for (int r = 0; r < root->ChildCount(); ++r) {
        TContactNode* node = root->Child(r);
        const bool visible = shown != m_top.end() && *shown == node;
        if (visible)
            ++shown;
        node->SetHidden(!visible);
        const auto partial = m_partialLists.find(node);
        auto member = partial == m_partialLists.end() ? std::vector<TContactNode*>::const_iterator()
                                                      : partial->second.cbegin();
        for (int c = 0; c < node->ChildCount(); ++c) {
            TContactNode* child = node->Child(c);
            bool memberVisible = true;
            if (partial != m_partialLists.end()) {
                memberVisible = member != partial->second.cend() && *member == child;
                if (memberVisible)
                    ++member;
            }
            child->SetHidden(!memberVisible);
        }
    }
}

void TContactsFilterModel::Rebuild()
{
    m_flagsCurrent = true;
    m_top.clear();
    m_topIsList.clear();
    m_partialLists.clear();
    ForgetPartialLookup();
    const TContactNode* root = m_source->NodeOf({});
    m_top.reserve(size_t(root->ChildCount()));
    m_topIsList.reserve(size_t(root->ChildCount()));
    for (int r = 0; r < root->ChildCount(); ++r) {
        TContactNode* node = root->Child(r);
        if (node->IsHidden())
            continue;
        m_top.push_back(node);
        m_topIsList.push_back(node->IsList());
        bool partial = false;
        for (int c = 0; c < node->ChildCount() && !partial; ++c)
            partial = node->Child(c)->IsHidden();
        if (!partial)
            continue;
        std::vector<TContactNode*>& shown = m_partialLists[node];
        for (int c = 0; c < node->ChildCount(); ++c)
            if (!node->Child(c)->IsHidden())
                shown.push_back(node->Child(c));
    }
}

// A source change keeps the rows this model hands out (expanded lists, the selection) on their
// nodes: announced as a layout change, with the persistent rows moved to their nodes' new rows.
void TContactsFilterModel::BeginSourceChange()
{
    if (m_changeDepth++ > 0)
        return;
    WriteFlags();
    emit layoutAboutToBeChanged();
    m_persistentBefore = persistentIndexList();
    m_persistentNodes.clear();
    m_persistentNodes.reserve(size_t(m_persistentBefore.size()));
    for (const QModelIndex& index : m_persistentBefore)
        m_persistentNodes.push_back(NodeOf(index));
}

void TContactsFilterModel::SourceRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last)
{
    BeginSourceChange();
    const TContactNode* owner = m_source->NodeOf(parent);
    for (int r = first; r <= last; ++r) {
        const TContactNode* node = owner->Child(r);
        m_going.push_back(node);
        for (int c = 0; c < node->ChildCount(); ++c)
            m_going.push_back(node->Child(c));
    }
}

void TContactsFilterModel::EndSourceChange()
{
    if (--m_changeDepth > 0)
        return;
    Rebuild();
    QModelIndexList after;
    after.reserve(m_persistentBefore.size());
    for (const TContactNode* node : m_persistentNodes) {
        const bool gone = std::find(m_going.begin(), m_going.end(), node) != m_going.end();
        after.append(gone ? QModelIndex() : IndexOf(node));
    }
    changePersistentIndexList(m_persistentBefore, after);
    m_persistentBefore.clear();
    m_persistentNodes.clear();
    m_going.clear();
    emit layoutChanged();
}

void TContactsFilterModel::SourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                             const QList<int>& roles)
{
    if (m_changeDepth > 0 || !topLeft.isValid())
        return;
    if (topLeft.row() == bottomRight.row()) {
        const QModelIndex shown = mapFromSource(topLeft);
        if (shown.isValid())
            emit dataChanged(shown, shown, roles);
        return;
    }
    // A range (the captions of the top level in another language): every shown row of that level.
    const QModelIndex parent = mapFromSource(topLeft.parent());
    const int rows = rowCount(parent);
    if (rows > 0)
        emit dataChanged(index(0, 0, parent), index(rows - 1, 0, parent), roles);
}

TContactNode* TContactsFilterModel::NodeOf(const QModelIndex& index) const
{
    return index.isValid() ? reinterpret_cast<TContactNode*>(index.internalId() & ~quintptr(1)) : nullptr;
}

QModelIndex TContactsFilterModel::MakeIndex(int row, const TContactNode* node, bool list) const
{
    static_assert(alignof(TContactNode) > 1, "the lowest bit of a node's address is free");
    return createIndex(row, 0, reinterpret_cast<quintptr>(node) | quintptr(list ? 1 : 0));
}

const std::vector<TContactNode*>* TContactsFilterModel::PartialMembers(const TContactNode* list) const
{
    if (list != m_lookedUpList) {
        const auto partial = m_partialLists.find(list);
        m_lookedUpList = list;
        m_lookedUpMembers = partial == m_partialLists.end() ? nullptr : &partial->second;
    }
    return m_lookedUpMembers;
}

int TContactsFilterModel::VisibleChildCount(const TContactNode* list) const
{
    const std::vector<TContactNode*>* members = PartialMembers(list);
    return members ? int(members->size()) : list->ChildCount();
}

// The row among the shown nodes of its level (they keep tree order), -1 when hidden.
int TContactsFilterModel::RowOf(const TContactNode* node) const
{
    if (!node || node->IsRoot())
        return -1;
    const TContactNode* parent = node->Parent();
    const std::vector<TContactNode*>* level = nullptr;
    if (parent->IsRoot()) {
        level = &m_top;
    } else {
        if (RowOf(parent) < 0)
            return -1;
        level = PartialMembers(parent);
        if (!level)
            return node->Row();
    }
    const auto it = std::lower_bound(level->begin(), level->end(), node->Row(),
                                     [](const TContactNode* n, int row) { return n->Row() < row; });
    return it != level->end() && *it == node ? int(it - level->begin()) : -1;
}

QModelIndex TContactsFilterModel::IndexOf(const TContactNode* node) const
{
    const int row = RowOf(node);
    return row < 0 ? QModelIndex() : MakeIndex(row, node, node->IsList());
}

QModelIndex TContactsFilterModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < int(m_top.size()) ? MakeIndex(row, m_top[size_t(row)], m_topIsList[size_t(row)])
                                       : QModelIndex();
    // Lists hold contacts only. The view asks for every row it lays out: one lookup each.
    const TContactNode* list = NodeOf(parent);
    if (const std::vector<TContactNode*>* members = PartialMembers(list))
        return size_t(row) < members->size() ? MakeIndex(row, (*members)[size_t(row)], false) : QModelIndex();
    return row < list->ChildCount() ? MakeIndex(row, list->Child(row), false) : QModelIndex();
}

QModelIndex TContactsFilterModel::parent(const QModelIndex& child) const
{
    const TContactNode* node = NodeOf(child);
    if (!node || node->Parent()->IsRoot())
        return {};
    return IndexOf(node->Parent());
}

int TContactsFilterModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(m_top.size());
    if (parent.column() > 0)
        return 0;
    return VisibleChildCount(NodeOf(parent));
}

int TContactsFilterModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool TContactsFilterModel::hasChildren(const QModelIndex& parent) const
{
    if (parent.isValid() && !(parent.internalId() & 1))
        return false;
    return rowCount(parent) > 0;
}

QVariant TContactsFilterModel::data(const QModelIndex& index, int role) const
{
    const TContactNode* node = NodeOf(index);
    if (!node)
        return {};
    if (role == Qt::DecorationRole)
        return PhoneBookPictures::Picture(node->Data().ImageIndex);
    return m_source->data(m_source->IndexOf(node), role);
}

Qt::ItemFlags TContactsFilterModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!(index.internalId() & 1))
        f |= Qt::ItemNeverHasChildren;
    return f;
}

QModelIndex TContactsFilterModel::mapToSource(const QModelIndex& proxyIndex) const
{
    return m_source->IndexOf(NodeOf(proxyIndex));
}

QModelIndex TContactsFilterModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    return IndexOf(m_source->NodeOf(sourceIndex));
}
