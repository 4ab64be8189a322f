#pragma once

#include "phonebook/ContactData.h"

#include <QHash>
#include <QObject>
#include <QString>

class QWidget;
class TContactNode;
class TDM_TarvoPhoneBook;
class TContactsModel;
class TSettingsHolder;
struct TPhoneBookServices;

// The contact edits of the main window on the tree and in the phone book at once: the tree
// changes first, then the local phone book is written row by row, or, with "UsePGOnline" on, the
// remote phone book is asked and its answer arrives later (a new contact's ID; a deletion
// removes the node only when the service confirms it). A failure is shown in the application's
// error box. Rows are always addressed by the node's own ID in its own table: a list member's
// ID is its list table's, so its edits go to that table.
class TPhoneBookEdits : public QObject
{
    Q_OBJECT

public:
    TPhoneBookEdits(TPhoneBookServices& services, TContactsModel& model, TSettingsHolder& settings,
                    QWidget* owner, QObject* parent = nullptr);

    void ApplyLanguage(const QString& code);
    // "UsePGOnline" on and a remote phone book to use.
    bool UsesRemote() const;
    // Whether the phone book can take this edit of node now (the remote phone book changes and
    // deletes single contacts only).
    bool CanChange(const TContactNode* node) const;
    bool CanDelete(const TContactNode* node) const;

    // A new top-level contact; a blank name stores "No Name". Answers the node (sorted in).
    TContactNode* AddContact(const QString& name, const QString& number);
    // The contact's name and number (first and last names cleared), sorted again.
    void ChangeContact(TContactNode* node, const QString& name, const QString& number);
    // A contact, a list member or a list. The only member of a list takes its list with it.
    // removeListFile: also the previous version's file of a deleted list, when that phone book
    // is still there.
    void DeleteNode(TContactNode* node, bool removeListFile = false);

    static QString DefaultName() { return QStringLiteral("No Name"); }

    // While the tree is being loaded no edit is taken (the load replaces the tree's content).
    void SetLoading(bool loading);
    bool IsLoading() const { return m_loading; }

signals:
    // The tree changed through an edit (a node added, changed or removed).
    void edited();
    void loadingChanged(bool loading);
    // A node is about to leave the tree (deleted, or the whole tree reloaded: node is null).
    void nodeGoing(const TContactNode* node);

private:
    // The remote phone book's answers; connected on first use (it is created after the window).
    TDM_TarvoPhoneBook& Remote();
    void ContactAdded(quint64 request, qint32 id, const QString& answer);
    void ContactDeleted(quint64 request, qint32 id, bool deleted, const QString& answer);
    void EditFailed(quint64 request, const QString& message);
    void ShowError(const QString& message);
    void StoreNew(TContactNode* node);
    void RemoveFromTree(TContactNode* node);
    void ForgetNode(const TContactNode* node);

    TPhoneBookServices& m_services;
    TContactsModel& m_model;
    TSettingsHolder& m_settings;
    QWidget* m_owner;
    QString m_language;
    bool m_loading = false;
    // Requests to the remote phone book still unanswered, by request number: the node they
    // concern (dropped when the node goes).
    QHash<quint64, TContactNode*> m_pendingAdds;
    QHash<quint64, TContactNode*> m_pendingDeletes;
};
