#pragma once

#include "ui/main/QuickSearchIndex.h"

#include <QAbstractProxyModel>
#include <unordered_map>
#include <vector>

class TContactNode;
class TContactsModel;

// The contacts model as the tree view shows it: the nodes the quick search left visible, with
// each node's picture. Rows map to the same nodes as the source. A change of the source keeps
// every node's visibility (carried through the change by the nodes' hidden flags), and new
// nodes are shown.
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

    // Shows these rows (one reset of this model; every list closed).
    void SetVisibleRows(TVisibleRows rows);
    // Every node shown.
    void ShowAll();

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
    // The shown rows from the nodes' hidden flags, and the flags from the shown rows.
    void Rebuild();
    void WriteFlags();
    void BeginSourceChange();
    void EndSourceChange();
    void SourceRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last);
    void SourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                           const QList<int>& roles);
    // The number of visible children of a shown list.
    int VisibleChildCount(const TContactNode* list) const;
    // A list's shown members when some are hidden, else null. The view asks for the rows of one
    // list after another, so the last answer is kept.
    const std::vector<TContactNode*>* PartialMembers(const TContactNode* list) const;
    void ForgetPartialLookup() { m_lookedUpList = nullptr; }
    int RowOf(const TContactNode* node) const;
    // A row's node is its internal id; a list's id carries a mark in its lowest bit, so that the
    // view can ask whether a row may have children without this model reading the node.
    QModelIndex MakeIndex(int row, const TContactNode* node, bool list) const;

    TContactsModel* m_source;
    std::vector<TContactNode*> m_top; // shown top-level nodes, in tree order
    std::vector<quint8> m_topIsList;
    // Lists some of whose members are hidden: their shown members. Other lists show all.
    std::unordered_map<const TContactNode*, std::vector<TContactNode*>> m_partialLists;
    mutable const TContactNode* m_lookedUpList = nullptr;
    mutable const std::vector<TContactNode*>* m_lookedUpMembers = nullptr;
    bool m_flagsCurrent = true; // the nodes' flags say what shows
    // Between a source change's announcement and its end: the nodes of the persistent rows,
    // and the nodes on their way out.
    QModelIndexList m_persistentBefore;
    std::vector<const TContactNode*> m_persistentNodes;
    std::vector<const TContactNode*> m_going;
    int m_changeDepth = 0;
};
