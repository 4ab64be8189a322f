#pragma once

#include "phonebook/ContactsTree.h"

#include <QAbstractItemModel>

// One-column item model over a TContactsTree: the nodes themselves are the internal
// pointers, nothing is copied. The tree tells the model about every change.
class TContactsModel : public QAbstractItemModel, private IContactsTreeObserver
{
    Q_OBJECT

public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        KindRole,
        NumberRole,
        ImageIndexRole,
    };

    explicit TContactsModel(TContactsTree* tree, QObject* parent = nullptr);
    ~TContactsModel() override;

    // The word of list captions (" contatti", " contacts").
    void SetContactsWord(const QString& word);
    TContactNode* NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(const TContactNode* node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void TreeAboutToBeReset() override;
    void TreeReset() override;
    void NodesAboutToBeInserted(TContactNode* parent, int first, int last) override;
    void NodesInserted() override;
    void NodesAboutToBeRemoved(TContactNode* parent, int first, int last) override;
    void NodesRemoved() override;
    void OrderAboutToChange() override;
    void OrderChanged() override;
    void NodeChanged(TContactNode* node) override;

    TContactsTree* m_tree;
    QString m_contactsWord = QStringLiteral(" contacts");
    QModelIndexList m_persistentBefore;
    std::vector<TContactNode*> m_persistentNodes;
};
