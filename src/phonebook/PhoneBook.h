#pragma once

#include "phonebook/ContactData.h"

#include <QList>
#include <QString>

#include <functional>

class TContactsTree;
class TContactNode;
class TSQLiteDatabase;

// A number with every blank, "-" and "/" removed, as loaded contacts and list members hold it.
QString StrippedNumber(QString number);

// The local phone book in its SQLite file: reading it into the contacts tree, row
// operations, the whole rewrite from the tree and the start-up upgrade.
//
// Every operation opens its own connection and closes it before returning; those that
// take a TSQLiteDatabase* use the caller's connection when one is given. Failures never
// escape (except where noted): the operation answers false and LastError() says why.
class TPhoneBook
{
public:
    static constexpr int PhoneBookVersion = 21;

    // UserDataFolder()/pbook.qpb, and pbook.qpb beside the executable (empty without a
    // QCoreApplication). An empty legacy file name means there is none.
    static QString DefaultCurrentFile();
    static QString DefaultLegacyFile();

    explicit TPhoneBook(QString currentFile = DefaultCurrentFile(), QString legacyFile = DefaultLegacyFile());

    const QString& CurrentFile() const { return m_currentFile; }
    const QString& LegacyFile() const { return m_legacyFile; }
    // The wait cursor: called with true before a long read or write and false after it.
    void SetBusyHook(std::function<void(bool)> hook) { m_busyHook = std::move(hook); }

    // What the last failing operation ran into; empty after a success.
    const QString& LastError() const { return m_lastError; }
    // Set when LoadPhoneBook found an unreadable current file and kept it under this name.
    const QString& QuarantinedFile() const { return m_quarantinedFile; }

    // 21 when the current file exists; the legacy file's marker (0 without one); -1 for no file.
    int GetPhoneBookVersion();
    bool SetPhoneBookVersion(int version);
    // Brings an older phone book (or the previous XML phone book named by contactsFile)
    // into the current file and loads it into the tree.
    bool UpgradePhoneBook(int version, TContactsTree& tree, const QString& contactsFile);

    // What a load reads of each list: its members, or only their number (for callers that
    // need the lists themselves, such as the list commands).
    enum class TListMembers { Load, CountOnly };
    bool LoadPhoneBook(TContactsTree& tree, TListMembers members = TListMembers::Load);
    // Reads a list's table of sourceFile as the children of list; answers the member count.
    int LoadListMembers(const QString& sourceFile, TContactsTree& tree, TContactNode* list, const QString& name);
    // A list's members as records (the list is emptied first).
    bool LoadListIntoMemory(QList<TContactData>& records, const QString& name, bool showWaitCursor = true);
    // The line of a member in the list window's check list.
    static QString CheckListLine(const TContactData& member);

    // Rewrites the file from the tree in one transaction; afterwards the tree's IDs are
    // the rows' new IDs.
    bool RebuildPhoneBook(TContactsTree& tree);
    // Re-creates a list's table with the list node's children. Raises ESQLiteException.
    void WriteListTable(TSQLiteDatabase& db, const QString& name, TContactNode* list);

    // Sets record.ID to the new row's ID.
    bool InsertContact(TSQLiteDatabase* db, TContactData& record);
    bool UpdateContact(TSQLiteDatabase* db, const TContactData& record);
    bool DeleteContact(TSQLiteDatabase* db, const TContactData& record);
    bool DeleteList(TSQLiteDatabase* db, const TContactData& list);
    bool DeleteListMember(TSQLiteDatabase* db, const TContactData& list, const TContactData& member);
    // A member's name and number in its list's table (member IDs are the list table's own).
    bool UpdateListMember(TSQLiteDatabase* db, const TContactData& list, const TContactData& member);
    int NextContactID();

    // For the list window. SaveListTable and DropListTable raise ESQLiteException; the
    // progress callback runs every 200 members with the number written so far.
    qint32 SaveListTable(const QString& name, const QList<TContactData>& members, bool isNew,
                         const std::function<void(int)>& progress = {});
    bool RenameList(qint32 id, const QString& oldName, const QString& newName);
    void DropListTable(const QString& name);

    // Why name cannot be the name of a list beside otherLists; empty when it can.
    static QString ListNameProblem(const QString& name, const QStringList& otherLists);
    // The names of the lists in the current file.
    QStringList ListNames();

private:
    template <typename Work> bool Run(TSQLiteDatabase* given, Work&& work);
    bool LoadFrom(const QString& source, TContactsTree& tree, TListMembers members);
    bool KeepUnreadableFile(const QString& reason);
    void Fail(const QString& message);

    QString m_currentFile;
    QString m_legacyFile;
    QString m_lastError;
    QString m_quarantinedFile;
    std::function<void(bool)> m_busyHook;
};
