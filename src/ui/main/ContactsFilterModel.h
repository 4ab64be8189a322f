#pragma once

#include <QAbstractProxyModel>
#include <unordered_map>
#include <vector>

class TContactNode;
class TContactsModel;

// The contacts model as the tree view shows it: the nodes the quick search left visible (the
// nodes' hidden flags), with each node's picture. Rows map to the same nodes as the source; a
// change of the source keeps every node's visibility, and new nodes are shown.
class TContactsFilterModel : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit TContactsFilterModel(TContactsModel* source, QObject* parent = nullptr);
    ~TContactsFilterModel() override;

    TContactsModel* Source() const { return m_source; }
    // The node of a row of this model; null for the invisible root.
    TContactNode* NodeOf(const QModelIndex& index) const;
    // The row of a node, invalid when it (or its list) is hidden.
    QModelIndex IndexOf(const TContactNode* node) const;

    // The nodes' hidden flags were changed: shows them anew (as one reset of this model).
    template <typename Change> void ChangeVisibility(Change&& change)
    {
        beginResetModel();
        change();
        Rebuild();
        endResetModel();
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;

private:
    void Rebuild();
    void BeginSourceChange();
    void EndSourceChange();
    void SourceRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last);
    void SourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                           const QList<int>& roles);
    // The visible children of a shown list.
    int VisibleChildCount(const TContactNode* list) const;
    TContactNode* VisibleChild(const TContactNode* list, int row) const;
    int RowOf(const TContactNode* node) const;

    TContactsModel* m_source;
    std::vector<TContactNode*> m_top; // shown top-level nodes, in tree order
    // Lists some of whose members are hidden: their shown members. Other lists show all.
    std::unordered_map<const TContactNode*, std::vector<TContactNode*>> m_partialLists;
    // Between a source change's announcement and its end: the nodes of the persistent rows,
    // and the nodes on their way out.
    QModelIndexList m_persistentBefore;
    std::vector<const TContactNode*> m_persistentNodes;
    std::vector<const TContactNode*> m_going;
    int m_changeDepth = 0;
};
