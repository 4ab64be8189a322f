#include "phonebook/ContactsModel.h"

TContactsModel::TContactsModel(TContactsTree* tree, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree)
{
    m_tree->SetObserver(this);
}

TContactsModel::~TContactsModel()
{
    m_tree->SetObserver(nullptr);
}

void TContactsModel::SetContactsWord(const QString& word)
{
    if (word == m_contactsWord)
        return;
    m_contactsWord = word;
    if (m_tree->TopLevelCount() > 0)
        emit dataChanged(index(0, 0), index(m_tree->TopLevelCount() - 1, 0), {Qt::DisplayRole});
}

TContactNode* TContactsModel::NodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<TContactNode*>(index.internalPointer()) : m_tree->Root();
}

QModelIndex TContactsModel::IndexOf(const TContactNode* node) const
{
    if (!node || node->IsRoot())
        return {};
    return createIndex(node->Row(), 0, const_cast<TContactNode*>(node));
}

QModelIndex TContactsModel::index(int row, int column, const QModelIndex& parent) const
{
    const TContactNode* parentNode = NodeOf(parent);
    if (column != 0 || row < 0 || row >= parentNode->ChildCount())
        return {};
    return createIndex(row, 0, parentNode->Child(row));
}

QModelIndex TContactsModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    return IndexOf(NodeOf(child)->Parent());
}

int TContactsModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return NodeOf(parent)->ChildCount();
}

int TContactsModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant TContactsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    // A view asks for many roles per row and paint: only the texts need the record.
    const TContactNode* node = NodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
        return ContactCaption(node->Data(), m_contactsWord);
    case IdRole:
        return node->ID();
    case KindRole:
        return int(node->Data().Kind);
    case NumberRole:
        return node->Data().Number;
    case ImageIndexRole:
        return node->Data().ImageIndex;
    default:
        return {};
    }
}

void TContactsModel::TreeAboutToBeReset()
{
    beginResetModel();
}

void TContactsModel::TreeReset()
{
    endResetModel();
}

void TContactsModel::NodesAboutToBeInserted(TContactNode* parent, int first, int last)
{
    beginInsertRows(IndexOf(parent), first, last);
}

void TContactsModel::NodesInserted()
{
    endInsertRows();
}

void TContactsModel::NodesAboutToBeRemoved(TContactNode* parent, int first, int last)
{
    beginRemoveRows(IndexOf(parent), first, last);
}

void TContactsModel::NodesRemoved()
{
    endRemoveRows();
}

void TContactsModel::OrderAboutToChange()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_persistentBefore = persistentIndexList();
    m_persistentNodes.clear();
    for (const QModelIndex& i : m_persistentBefore)
        m_persistentNodes.push_back(NodeOf(i));
}

void TContactsModel::OrderChanged()
{
    QModelIndexList after;
    after.reserve(m_persistentBefore.size());
    for (TContactNode* node : m_persistentNodes)
        after.append(IndexOf(node));
    changePersistentIndexList(m_persistentBefore, after);
    m_persistentBefore.clear();
    m_persistentNodes.clear();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TContactsModel::NodeChanged(TContactNode* node)
{
    const QModelIndex i = IndexOf(node);
    emit dataChanged(i, i);
}
