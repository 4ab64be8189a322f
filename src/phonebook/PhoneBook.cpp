#include "phonebook/PhoneBook.h"

#include "phonebook/ContactsTree.h"
#include "phonebook/PreviousPhoneBook.h"
#include "phonebook/SQLiteDatabase.h"
#include "platform/Paths.h"
#include "platform/Win1252.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <optional>
#include <sqlite3.h>
#include <string>

namespace {
// A file of no bytes holds nothing to keep: it counts as missing and becomes a new phone book.
bool HoldsPhoneBook(const QString& file)
{
    const QFileInfo info(file);
    return info.exists() && info.size() > 0;
}

const QByteArray kCreateMainContacts = "CREATE TABLE MainContacts ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, "
                                       "[FIRST_NAME] VARCHAR (40), [LAST_NAME] "
                                       "VARCHAR (40), [NICK_NAME] VARCHAR (40), [SESSO] INTEGER, "
                                       "[DATA_NASCITA] TIMESTAMP, [EMAIL] VARCHAR (50), [FAX] "
                                       "VARCHAR (20), NUMBER VARCHAR (20), CONTACT_TYPE VARCHAR (20));";
const QByteArray kIndexMainContacts =
    "CREATE INDEX MainContacts_SELNAME ON [MainContacts]([NICK_NAME], [LAST_NAME], [FIRST_NAME]);";
const QByteArray kColumnsTail = " ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [FIRST_NAME] VARCHAR (40), "
                                "[LAST_NAME] VARCHAR (40), [NICK_NAME] "
                                "VARCHAR (40), [SESSO] INTEGER, [DATA_NASCITA] TIMESTAMP, [EMAIL] VARCHAR "
                                "(50), [FAX] VARCHAR (20), NUMBER "
                                "VARCHAR (20), CONTACT_TYPE VARCHAR (20));";
const QByteArray kInsertColumns = " (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) VALUES(";

QString IndexName(const QString& table)
{
    return table + QStringLiteral("_SELNAME");
}

// C1
QByteArray CreateListTable(const QString& name)
{
    return "CREATE TABLE " + SqlIdentifier(name) + kColumnsTail;
}

// C2
QByteArray CreateListIndex(const QString& name)
{
    return "CREATE INDEX " + SqlIdentifier(IndexName(name)) + " ON " + SqlIdentifier(name) +
           "([NICK_NAME], [LAST_NAME], [FIRST_NAME]);";
}

QByteArray DropIndexIfExists(const QString& name)
{
    return "DROP INDEX IF EXISTS " + SqlIdentifier(IndexName(name)) + ';';
}

// I1, I2, M1, M2: a contact's row, or a list's row holding its member count.
QByteArray InsertRow(const QByteArray& table, const TContactData& d)
{
    QByteArray sql;
    sql.reserve(160);
    sql += "INSERT INTO ";
    sql += table;
    sql += kInsertColumns;
    sql += SqlLiteral(d.FirstName);
    sql += ", ";
    sql += SqlLiteral(d.LastName);
    sql += ", ";
    sql += SqlLiteral(d.NickName);
    sql += ", ";
    if (d.IsList())
        sql += "'" + QByteArray::number(d.Count) + "', 'LIST');";
    else
        sql += SqlLiteral(d.Number) + ", 'SINGLE');";
    return sql;
}

} // namespace

QString StrippedNumber(QString number)
{
    number.removeIf([](QChar c) { return c == u' ' || c == u'-' || c == u'/'; });
    return number;
}

namespace {

int IntOfText(const QByteArray& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

QByteArray AsciiLower(QByteArray bytes)
{
    for (char& c : bytes)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return bytes;
}

// The tables of a file, read once: HasTable for many names without a query each.
class TTableNames
{
public:
    explicit TTableNames(TSQLiteDatabase& db)
    {
        TSQLiteTable t = db.Query("select name from sqlite_master where [type] = 'table'");
        for (; !t.AtEnd(); t.Next())
            m_names.insert(AsciiLower(t.FieldText(0)));
    }
    bool Has(const QString& name) const { return m_names.contains(AsciiLower(ToWin1252(name))); }

private:
    QSet<QByteArray> m_names;
};

// A contacts table's rows read into records, its column positions found on the first row.
class TRowReader
{
public:
    explicit TRowReader(const TSQLiteRows& r)
        : m_id(r.ColumnIndex(QStringLiteral("ID"))), m_first(r.ColumnIndex(QStringLiteral("FIRST_NAME"))),
          m_last(r.ColumnIndex(QStringLiteral("LAST_NAME"))),
          m_nick(r.ColumnIndex(QStringLiteral("NICK_NAME"))),
          m_number(r.ColumnIndex(QStringLiteral("NUMBER")))
    {
    }
    // A single contact as the file holds it, the number stripped; valid until the next row.
    TStoredContact Member(const TSQLiteRows& r)
    {
        TStoredContact c;
        c.ID = Id(r);
        c.FirstName = Text(r, m_first, m_scratch[0]);
        c.LastName = Text(r, m_last, m_scratch[1]);
        c.NickName = Text(r, m_nick, m_scratch[2]);
        c.Number = Stripped(Text(r, m_number, m_scratch[3]));
        return c;
    }
    // A list's row: its name, its ID and the member count its row holds.
    TStoredContact List(const TSQLiteRows& r)
    {
        TStoredContact c;
        c.Kind = TContactData::KindList;
        c.NickName = Text(r, m_nick, m_scratch[2]);
        c.ID = Id(r);
        c.ImageIndex = TContactData::ListImage;
        c.Count = IntOfText(r.FieldText(m_number));
        return c;
    }
    static TContactData Record(const TStoredContact& c)
    {
        TContactData d;
        d.Kind = c.Kind;
        d.ID = c.ID;
        d.FirstName = FromWin1252(c.FirstName);
        d.LastName = FromWin1252(c.LastName);
        d.NickName = FromWin1252(c.NickName);
        d.Number = FromWin1252(c.Number);
        d.Count = c.Count;
        d.ImageIndex = c.ImageIndex;
        return d;
    }

private:
    // Declared INTEGER, the ID is a number; a table declared otherwise (say INT) gives text.
    qint32 Id(const TSQLiteRows& r) const
    {
        const ColumnKind kind = r.Kind(m_id);
        if (kind == ColumnKind::Integer || kind == ColumnKind::Float)
            return qint32(r.FieldInt64(m_id));
        return IntOfText(r.FieldText(m_id));
    }
    // Declared VARCHAR, these columns are Text; a file with other declarations goes the long way.
    static QByteArrayView Text(const TSQLiteRows& r, int column, QByteArray& scratch)
    {
        if (r.Kind(column) == ColumnKind::Text)
            return r.TextView(column);
        scratch = r.FieldText(column);
        return scratch;
    }
    // The number without blanks, "-" and "/" (the same bytes in Windows-1252 as in Unicode).
    QByteArrayView Stripped(QByteArrayView number)
    {
        const auto strip = [](char c) { return c == ' ' || c == '-' || c == '/'; };
        if (std::none_of(number.begin(), number.end(), strip))
            return number;
        m_stripped.resize(number.size());
        char* to = m_stripped.data();
        for (const char c : number)
            if (!strip(c))
                *to++ = c;
        return QByteArrayView(m_stripped.constData(), to - m_stripped.constData());
    }

    int m_id, m_first, m_last, m_nick, m_number;
    QByteArray m_scratch[4];
    QByteArray m_stripped;
};

// Begins a transaction unless the connection already has one, and commits only its own.
class TTransactionScope
{
public:
    explicit TTransactionScope(TSQLiteDatabase& db) : m_db(db), m_own(!db.InTransaction())
    {
        if (m_own)
            m_db.BeginTransaction();
    }
    void Commit()
    {
        if (m_own)
            m_db.Commit();
    }

private:
    TSQLiteDatabase& m_db;
    bool m_own;
};

class TBusyScope
{
public:
    TBusyScope(const std::function<void(bool)>& hook, bool show = true) : m_hook(show ? hook : nullptr)
    {
        if (m_hook)
            m_hook(true);
    }
    ~TBusyScope()
    {
        if (m_hook)
            m_hook(false);
    }

private:
    std::function<void(bool)> m_hook;
};

QString Folded(const QString& name)
{
    // The engine compares the stored Windows-1252 bytes; fold what it would fold and more.
    return FromWin1252(ToWin1252(name)).toCaseFolded();
}

// Why name is no list's table whatever the other lists are called (the phone book's own
// tables, the engine's, no name); empty when it can be one.
QString ReservedProblem(const QString& name);

// A list's members live in a table of its name, unless the name is one of the phone book's own.
bool IsListTable(const TTableNames& tables, const QString& name)
{
    return ReservedProblem(name).isEmpty() && tables.Has(name);
}

// The members of a list from its table, added all or none: a table that cannot be read to its
// end leaves the list without members.
int ListMembersOf(TSQLiteDatabase& db, const TTableNames& tables, TContactsTree& tree, TContactNode* list,
                  const QString& name)
{
    if (!IsListTable(tables, name))
        return 0;
    try {
        TSQLiteRows rows(db, "SELECT * FROM " + SqlIdentifier(name));
        std::optional<TRowReader> reader;
        while (rows.Next()) {
            if (!reader)
                reader.emplace(rows);
            tree.AddStored(list, reader->Member(rows));
        }
        return int(rows.RowCount());
    } catch (const ESQLiteException&) {
        while (list->ChildCount() > 0)
            tree.RemoveNode(list->Child(list->ChildCount() - 1));
        throw;
    }
}

// A list whose table cannot be read loads without members; the other rows still load.
int ListMembersOrNone(TSQLiteDatabase& db, const TTableNames& tables, TContactsTree& tree, TContactNode* list,
                      const QString& name)
{
    try {
        return ListMembersOf(db, tables, tree, list, name);
    } catch (const ESQLiteException&) {
        return 0;
    }
}

// The number of members ListMembersOrNone would load.
int ListMemberCountOrNone(TSQLiteDatabase& db, const TTableNames& tables, const QString& name)
{
    if (!IsListTable(tables, name))
        return 0;
    try {
        TSQLiteRows rows(db, "SELECT COUNT(*) FROM " + SqlIdentifier(name));
        return rows.Next() ? IntOfText(rows.FieldText(0)) : 0;
    } catch (const ESQLiteException&) {
        return 0;
    }
}

using TNewIds = std::vector<std::pair<TContactNode*, qint32>>;

void ApplyIds(const TNewIds& ids)
{
    for (const auto& [node, id] : ids)
        node->SetID(id);
}

// The rows of one table (the columns of I1, I2, M1 and M2), written 100 to a statement that is
// prepared once per table and size: an AUTOINCREMENT table looks its sequence up once a statement,
// not once a row. Values are bound as the bytes the literals held; rows get the same IDs.
class TRowInserter
{
public:
    static constexpr int kBatch = 100;

    TRowInserter(TSQLiteDatabase& db, QByteArray table, TNewIds* ids = nullptr)
        : m_db(db), m_table(std::move(table)), m_ids(ids)
    {
    }

    // Queues a row; its bytes are copied. A full batch is written at once.
    void Add(QByteArrayView first, QByteArrayView last, QByteArrayView nick, QByteArrayView number,
             QByteArrayView type, TContactNode* node = nullptr)
    {
        for (const QByteArrayView value : {first, last, nick, number, type}) {
            m_bytes.append(value.data(), size_t(value.size()));
            m_ends.push_back(m_bytes.size());
        }
        m_nodes.push_back(node);
        if (m_nodes.size() == size_t(kBatch))
            Flush();
    }
    // A node's row: a list's holds its member count and "LIST".
    void Add(TContactNode* node)
    {
        const QByteArrayView first = node->Win1252Text(TContactField::FirstName, m_scratch[0]);
        const QByteArrayView last = node->Win1252Text(TContactField::LastName, m_scratch[1]);
        const QByteArrayView nick = node->Win1252Text(TContactField::NickName, m_scratch[2]);
        if (node->IsList())
            Add(first, last, nick, QByteArray::number(node->Count()), "LIST", node);
        else
            Add(first, last, nick, node->Win1252Text(TContactField::Number, m_scratch[3]), "SINGLE", node);
    }
    // Writes the queued rows.
    void Flush()
    {
        const int rows = int(m_nodes.size());
        if (rows == 0)
            return;
        std::optional<TSQLitePrepared>& statement = rows == kBatch ? m_full : m_part;
        if (!statement || (rows != kBatch && rows != m_partRows)) {
            statement.reset();
            statement.emplace(m_db, Statement(rows));
            if (rows != kBatch)
                m_partRows = rows;
        }
        size_t begin = 0;
        for (size_t v = 0; v < m_ends.size(); ++v) {
            statement->BindText(int(v) + 1,
                                QByteArrayView(m_bytes.data() + begin, qsizetype(m_ends[v] - begin)));
            begin = m_ends[v];
        }
        statement->Run();
        // One statement's rows take consecutive IDs, the last one's reported by the engine.
        const qint64 lastId = m_db.LastInsertRowId();
        if (m_ids)
            for (int r = 0; r < rows; ++r)
                if (m_nodes[size_t(r)])
                    m_ids->emplace_back(m_nodes[size_t(r)], qint32(lastId - rows + 1 + r));
        m_bytes.clear();
        m_ends.clear();
        m_nodes.clear();
    }

private:
    QByteArray Statement(int rows) const
    {
        QByteArray sql = "INSERT INTO " + m_table + kInsertColumns + "?, ?, ?, ?, ?)";
        for (int r = 1; r < rows; ++r)
            sql += ", (?, ?, ?, ?, ?)";
        return sql + ';';
    }

    TSQLiteDatabase& m_db;
    QByteArray m_table;
    TNewIds* m_ids;
    std::optional<TSQLitePrepared> m_full;
    std::optional<TSQLitePrepared> m_part;
    int m_partRows = 0;
    std::string m_bytes;
    std::vector<size_t> m_ends;
    std::vector<TContactNode*> m_nodes;
    QByteArray m_scratch[4];
};

// Re-creates a list's table with the list's children; their new row IDs go to ids. The index is
// built after the rows, before any other table is created, so the schema keeps its order.
// tables, when given, tells which tables the file held (no query per list).
void WriteListRows(TSQLiteDatabase& db, const QString& name, TContactNode* list, TNewIds& ids,
                   const TTableNames* tables = nullptr)
{
    TTransactionScope transaction(db);
    const QByteArray table = SqlIdentifier(name);
    if (tables ? tables->Has(name) : db.HasTable(name))
        db.Execute("DROP TABLE " + table);
    db.Execute(DropIndexIfExists(name));
    db.Execute(CreateListTable(name));
    TRowInserter rows(db, table, &ids);
    for (int c = 0; c < list->ChildCount(); ++c)
        rows.Add(list->Child(c));
    rows.Flush();
    db.Execute(CreateListIndex(name));
    transaction.Commit();
}

// M1 for every member (all single contacts); the list's index is built afterwards, which is far
// quicker for a large import than row by row. progress runs every 200 members.
void InsertMembers(TSQLiteDatabase& db, const QByteArray& table, const QList<TContactData>& members,
                   const std::function<void(int)>& progress)
{
    TRowInserter rows(db, table);
    QByteArray bytes[4];
    for (qsizetype i = 0; i < members.size(); ++i) {
        if (i % 200 == 0 && progress)
            progress(int(i));
        const TContactData& m = members[i];
        rows.Add(ToWin1252(m.FirstName, bytes[0]), ToWin1252(m.LastName, bytes[1]),
                 ToWin1252(m.NickName, bytes[2]), ToWin1252(m.Number, bytes[3]), "SINGLE");
    }
    rows.Flush();
}

void WriteVersion(TSQLiteDatabase& db, int version)
{
    const QByteArray v = QByteArray::number(version);
    if (db.HasTable(QStringLiteral("QPB_DETAILS"))) {
        if (db.Query("SELECT * FROM QPB_DETAILS").RowCount() > 0)
            db.Execute("UPDATE QPB_DETAILS SET VERSION = '" + v + "'");
        else
            db.Execute("INSERT INTO QPB_DETAILS (VERSION) VALUES ('" + v + "');");
    } else {
        db.Execute("CREATE TABLE QPB_DETAILS ([VERSION] INTEGER);");
        db.Execute("INSERT INTO QPB_DETAILS (VERSION) VALUES ('" + v + "');");
    }
}

} // namespace

QString TPhoneBook::DefaultCurrentFile()
{
    return QDir(UserDataFolder()).filePath(QStringLiteral("pbook.qpb"));
}

QString TPhoneBook::DefaultLegacyFile()
{
    const QString folder = ExecutableFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("pbook.qpb"));
}

TPhoneBook::TPhoneBook(QString currentFile, QString legacyFile)
    : m_currentFile(std::move(currentFile)), m_legacyFile(std::move(legacyFile))
{
}

void TPhoneBook::Fail(const QString& message)
{
    m_lastError = message;
}

template <typename Work> bool TPhoneBook::Run(TSQLiteDatabase* given, Work&& work)
{
    m_lastError.clear();
    try {
        if (given) {
            work(*given);
        } else {
            TSQLiteDatabase db(m_currentFile);
            work(db);
        }
        return true;
    } catch (const ESQLiteException& e) {
        Fail(e.Message());
        return false;
    }
}

int TPhoneBook::GetPhoneBookVersion()
{
    if (HoldsPhoneBook(m_currentFile))
        return PhoneBookVersion;
    if (!HoldsPhoneBook(m_legacyFile))
        return -1;
    try {
        TSQLiteDatabase db(m_legacyFile);
        if (db.HasTable(QStringLiteral("QPB_DETAILS"))) {
            const TSQLiteTable t = db.Query("SELECT * FROM QPB_DETAILS");
            if (!t.AtEnd())
                return IntOfText(t.FieldText(QStringLiteral("VERSION")));
        }
    } catch (const ESQLiteException& e) {
        Fail(e.Message());
    }
    return 0;
}

bool TPhoneBook::SetPhoneBookVersion(int version)
{
    return Run(nullptr, [&](TSQLiteDatabase& db) {
        TTransactionScope transaction(db);
        WriteVersion(db, version);
        transaction.Commit();
    });
}

namespace {
// Lists brought in from an older phone book may carry names no list table can have (the
// same name twice, a name of the phone book's own tables): such a list is written under
// its name followed by " (2)", " (3)"... rather than the whole phone book being refused.
void GiveListsUsableNames(TContactsTree& tree)
{
    QStringList taken;
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        TContactNode* node = tree.TopLevel(r);
        if (!node->Data().IsList())
            continue;
        QString base = node->Data().NickName.isEmpty() ? QStringLiteral("list") : node->Data().NickName;
        if (base.startsWith(QStringLiteral("sqlite_"), Qt::CaseInsensitive))
            base.prepend(QStringLiteral("list "));
        QString name = base;
        for (int n = 2; !TPhoneBook::ListNameProblem(name, taken).isEmpty(); ++n)
            name = base + QStringLiteral(" (%1)").arg(n);
        if (name != node->Data().NickName) {
            TContactData data = node->Data();
            data.NickName = name;
            tree.SetData(node, data);
        }
        taken.append(name);
    }
}
} // namespace

bool TPhoneBook::UpgradePhoneBook(int version, TContactsTree& tree, const QString& contactsFile)
{
    if (version >= PhoneBookVersion)
        return LoadPhoneBook(tree);
    const auto rebuild = [&] {
        GiveListsUsableNames(tree);
        return RebuildPhoneBook(tree);
    };
    if (version == -1) {
        TPreviousPhoneBook previous(contactsFile);
        TBusyScope busy(m_busyHook);
        if (!previous.ImportPreviousPhoneBook(contactsFile, tree)) {
            // Nothing is written here; the message says what could not be read.
            Fail(previous.LastError());
            return false;
        }
        return rebuild() && LoadPhoneBook(tree);
    }
    if (version == 0)
        return LoadPhoneBook(tree) && rebuild() && LoadPhoneBook(tree);
    if (version == 20)
        return LoadPhoneBook(tree) && rebuild();
    // Markers 1..19 and below -1 were never written by any version: read what is there.
    return LoadPhoneBook(tree) && rebuild();
}

bool TPhoneBook::LoadPhoneBook(TContactsTree& tree, TListMembers members)
{
    m_quarantinedFile.clear();
    const bool currentMissing = !HoldsPhoneBook(m_currentFile);
    const QString source =
        !currentMissing ? m_currentFile : (HoldsPhoneBook(m_legacyFile) ? m_legacyFile : QString());
    if (currentMissing)
        RebuildPhoneBook(tree); // creates the current file; a failure leaves the source to read
    if (source.isEmpty())
        return true;
    return LoadFrom(source, tree, members);
}

bool TPhoneBook::LoadFrom(const QString& source, TContactsTree& tree, TListMembers members)
{
    TBusyScope busy(m_busyHook);
    m_lastError.clear();
    bool updating = false;
    try {
        TSQLiteDatabase db(source);
        TTableNames tables(db);
        if (!tables.Has(QStringLiteral("MainContacts")) && tables.Has(QStringLiteral("MainContactsBackup"))) {
            // A rewrite of an earlier version was cut short: its backup is the phone book.
            db.Execute("ALTER TABLE \"MaincontactsBackup\" RENAME TO \"MainContacts\";");
            tables = TTableNames(db);
        }
        tree.BeginUpdate();
        updating = true;
        tree.Clear();
        if (tables.Has(QStringLiteral("MainContacts"))) {
            TSQLiteRows rows(db, "SELECT * FROM MainContacts order by NICK_NAME, LAST_NAME, FIRST_NAME");
            std::optional<TRowReader> reader;
            int type = 0;
            while (rows.Next()) {
                if (!reader) {
                    reader.emplace(rows);
                    type = rows.ColumnIndex(QStringLiteral("CONTACT_TYPE"));
                }
                const QByteArray kind = rows.FieldText(type);
                if (kind == "SINGLE") {
                    tree.AddStored(nullptr, reader->Member(rows));
                } else if (kind == "LIST") {
                    const TStoredContact row = reader->List(rows);
                    const QString name = FromWin1252(row.NickName);
                    TContactNode* list = tree.AddStored(nullptr, row);
                    list->SetCount(members == TListMembers::Load
                                       ? ListMembersOrNone(db, tables, tree, list, name)
                                       : ListMemberCountOrNone(db, tables, name));
                }
            }
            tree.Sort();
        }
    } catch (const ESQLiteException& e) {
        if (updating) {
            tree.Clear(); // rows are read as they come: none stay from a phone book that failed
            tree.EndUpdate();
        }
        Fail(e.Message());
        const int code = e.EngineCode();
        if ((code == SQLITE_NOTADB || code == SQLITE_CORRUPT) && source == m_currentFile)
            return KeepUnreadableFile(e.Message());
        return false;
    }
    tree.EndUpdate();
    return true;
}

bool TPhoneBook::KeepUnreadableFile(const QString& reason)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString kept = m_currentFile + QStringLiteral(".unreadable-") + stamp;
    for (int n = 2; QFileInfo::exists(kept); ++n)
        kept = m_currentFile + QStringLiteral(".unreadable-") + stamp + u'-' + QString::number(n);
    if (!QFile::rename(m_currentFile, kept)) {
        Fail(QStringLiteral(
                 "The phone book %1 cannot be read (%2) and could not be moved aside; it was left as it is.")
                 .arg(m_currentFile, reason));
        return false;
    }
    const QString journal = m_currentFile + QStringLiteral("-journal");
    if (QFileInfo::exists(journal))
        QFile::rename(journal, kept + QStringLiteral("-journal"));
    m_quarantinedFile = kept;
    TContactsTree empty;
    RebuildPhoneBook(empty);
    Fail(
        QStringLiteral("The phone book %1 cannot be read (%2). It was kept as %3 and a new, empty phone book "
                       "was started.")
            .arg(m_currentFile, reason, kept));
    return false;
}

int TPhoneBook::LoadListMembers(const QString& sourceFile, TContactsTree& tree, TContactNode* list,
                                const QString& name)
{
    TBusyScope busy(m_busyHook);
    try {
        TSQLiteDatabase db(sourceFile);
        return ListMembersOf(db, TTableNames(db), tree, list, name);
    } catch (const ESQLiteException& e) {
        Fail(e.Message());
        return 0;
    }
}

bool TPhoneBook::LoadListIntoMemory(QList<TContactData>& records, const QString& name, bool showWaitCursor)
{
    records.clear();
    const QString source = HoldsPhoneBook(m_currentFile)  ? m_currentFile
                           : HoldsPhoneBook(m_legacyFile) ? m_legacyFile
                                                          : QString();
    if (source.isEmpty())
        return true;
    TBusyScope busy(m_busyHook, showWaitCursor);
    m_lastError.clear();
    try {
        TSQLiteDatabase db(source);
        if (!ReservedProblem(name).isEmpty() || !db.HasTable(name))
            return true;
        TSQLiteRows rows(db, "SELECT * FROM " + SqlIdentifier(name));
        std::optional<TRowReader> reader;
        while (rows.Next()) {
            if (!reader)
                reader.emplace(rows);
            records.append(TRowReader::Record(reader->Member(rows)));
        }
        return true;
    } catch (const ESQLiteException& e) {
        records.clear(); // a list read to the end or not at all
        Fail(e.Message());
        return false;
    }
}

QString TPhoneBook::CheckListLine(const TContactData& m)
{
    if (!m.NickName.trimmed().isEmpty())
        return m.Number + QStringLiteral(" - ") + m.NickName;
    return m.FirstName + u' ' + m.LastName + QStringLiteral(" - ") + m.Number;
}

namespace {
QString Refusal(const QString& name, const QString& why)
{
    return QStringLiteral("The list name \"%1\" cannot be used: %2.").arg(name, why);
}

const QString& IndexSuffix()
{
    static const QString suffix = Folded(QStringLiteral("_SELNAME"));
    return suffix;
}

// The problems a name has whatever the other lists are called.
QString ReservedNameProblem(const QString& name, const QString& folded)
{
    if (name.isEmpty())
        return QStringLiteral("A list needs a name.");
    for (const char* reserved : {"MainContacts", "MainContactsBackup", "QPB_DETAILS", "MainContacts_SELNAME"})
        if (folded == Folded(QString::fromLatin1(reserved)))
            return Refusal(name, QStringLiteral("the phone book keeps its own table %1 under that name")
                                     .arg(QString::fromLatin1(reserved)));
    if (folded.startsWith(QStringLiteral("sqlite_")))
        return Refusal(name, QStringLiteral("names beginning with sqlite_ belong to the database engine"));
    return {};
}

QString ReservedProblem(const QString& name)
{
    return ReservedNameProblem(name, Folded(name));
}

// The problem of one of several lists whose folded names are keys of firstOf (the
// position of the first list of each folded name).
QString ProblemAmong(const QStringList& names, const QStringList& folded, const QHash<QString, int>& firstOf,
                     int i)
{
    QString problem = ReservedNameProblem(names[i], folded[i]);
    if (!problem.isEmpty())
        return problem;
    const int first = firstOf.value(folded[i]);
    if (first != i)
        return Refusal(names[i], QStringLiteral("there is already a list called \"%1\"").arg(names[first]));
    if (folded[i].endsWith(IndexSuffix())) {
        const auto owner = firstOf.constFind(folded[i].chopped(IndexSuffix().size()));
        if (owner != firstOf.cend())
            return Refusal(names[i],
                           QStringLiteral("it clashes with the index of the list \"%1\"").arg(names[*owner]));
    }
    const auto index = firstOf.constFind(folded[i] + IndexSuffix());
    if (index != firstOf.cend())
        return Refusal(names[i],
                       QStringLiteral("it clashes with the index of the list \"%1\"").arg(names[*index]));
    return {};
}

// The first problem among the names of all lists of a phone book; empty when there is none.
QString ProblemOfLists(const QStringList& names)
{
    QStringList folded;
    folded.reserve(names.size());
    QHash<QString, int> firstOf;
    for (int i = 0; i < names.size(); ++i) {
        folded.append(Folded(names[i]));
        firstOf.insert(folded.last(), firstOf.value(folded.last(), i));
    }
    for (int i = 0; i < names.size(); ++i) {
        const QString problem = ProblemAmong(names, folded, firstOf, i);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}
} // namespace

QString TPhoneBook::ListNameProblem(const QString& name, const QStringList& otherLists)
{
    // The name goes last, so a repeated name is reported against the other list's spelling.
    QStringList names = otherLists;
    names.append(name);
    QStringList folded;
    QHash<QString, int> firstOf;
    for (int i = 0; i < names.size(); ++i) {
        folded.append(Folded(names[i]));
        firstOf.insert(folded.last(), firstOf.value(folded.last(), i));
    }
    return ProblemAmong(names, folded, firstOf, int(names.size()) - 1);
}

QStringList TPhoneBook::ListNames()
{
    QStringList names;
    if (!HoldsPhoneBook(m_currentFile))
        return names;
    Run(nullptr, [&](TSQLiteDatabase& db) {
        if (!db.HasTable(QStringLiteral("MainContacts")))
            return;
        for (TSQLiteTable t = db.Query("SELECT NICK_NAME FROM MainContacts WHERE CONTACT_TYPE = 'LIST'");
             !t.AtEnd(); t.Next())
            names.append(FromWin1252(t.FieldText(0)));
    });
    return names;
}

bool TPhoneBook::RebuildPhoneBook(TContactsTree& tree)
{
    TBusyScope busy(m_busyHook);
    QStringList lists;
    for (int r = 0; r < tree.TopLevelCount(); ++r)
        if (tree.TopLevel(r)->IsList())
            lists.append(tree.TopLevel(r)->Data().NickName);
    const QString problem = ProblemOfLists(lists);
    if (!problem.isEmpty()) {
        Fail(problem + QStringLiteral(" The phone book was not written."));
        return false;
    }

    TNewIds newIds;
    newIds.reserve(size_t(tree.TopLevelCount()));
    const bool ok = Run(nullptr, [&](TSQLiteDatabase& db) {
        // One transaction around everything: a rewrite cut short leaves the previous content.
        db.BeginTransaction();
        WriteVersion(db, PhoneBookVersion);
        const TTableNames tables(db);
        if (tables.Has(QStringLiteral("MainContacts"))) {
            if (tables.Has(QStringLiteral("MainContactsBackup")))
                db.Execute("DROP TABLE MainContactsBackup");
            db.Execute("ALTER TABLE \"MainContacts\" RENAME TO \"MainContactsBackup\";");
        }
        // The index keeps its name when its table is renamed; the new table needs that name.
        db.Execute(DropIndexIfExists(QStringLiteral("MainContacts")));
        db.Execute(kCreateMainContacts);
        // All of MainContacts first (its IDs follow the tree's order whatever the lists do), its
        // index after its rows, then the lists' tables in the tree's order.
        TRowInserter rows(db, "MainContacts", &newIds);
        for (int r = 0; r < tree.TopLevelCount(); ++r)
            rows.Add(tree.TopLevel(r));
        rows.Flush();
        db.Execute(kIndexMainContacts);
        for (int r = 0; r < tree.TopLevelCount(); ++r) {
            TContactNode* node = tree.TopLevel(r);
            if (node->IsList())
                WriteListRows(db, node->Data().NickName, node, newIds, &tables);
        }
        db.Commit();
    });
    if (ok) // the rows were numbered afresh: the tree takes their IDs
        ApplyIds(newIds);
    return ok;
}

void TPhoneBook::WriteListTable(TSQLiteDatabase& db, const QString& name, TContactNode* list)
{
    TNewIds ids;
    WriteListRows(db, name, list, ids);
    ApplyIds(ids);
}

bool TPhoneBook::InsertContact(TSQLiteDatabase* given, TContactData& record)
{
    if (record.IsList()) {
        const QString problem = ListNameProblem(record.NickName, ListNames());
        if (!problem.isEmpty()) {
            Fail(problem);
            return false;
        }
    }
    return Run(given, [&](TSQLiteDatabase& db) {
        TTransactionScope transaction(db);
        db.Execute(InsertRow("MainContacts", record));
        record.ID = qint32(db.LastInsertRowId());
        transaction.Commit();
    });
}

bool TPhoneBook::UpdateContact(TSQLiteDatabase* given, const TContactData& record)
{
    return Run(given, [&](TSQLiteDatabase& db) {
        TTransactionScope transaction(db);
        db.Execute("UPDATE MainContacts SET NICK_NAME=" + SqlLiteral(record.NickName) + ", NUMBER=" +
                   SqlLiteral(record.Number) + " WHERE ID = " + QByteArray::number(record.ID) + ';');
        transaction.Commit();
    });
}

bool TPhoneBook::DeleteContact(TSQLiteDatabase* given, const TContactData& record)
{
    if (record.Kind != TContactData::KindContact)
        return true;
    return Run(given, [&](TSQLiteDatabase& db) {
        TTransactionScope transaction(db);
        db.Execute("DELETE FROM MainContacts WHERE ID = " + QByteArray::number(record.ID));
        transaction.Commit();
    });
}

bool TPhoneBook::DeleteList(TSQLiteDatabase* given, const TContactData& list)
{
    if (!list.IsList())
        return true;
    return Run(given, [&](TSQLiteDatabase& db) {
        TTransactionScope transaction(db);
        db.Execute("DELETE FROM MainContacts WHERE ID = " + QByteArray::number(list.ID));
        // A list row named like one of the phone book's own tables never owned that table.
        if (ReservedProblem(list.NickName).isEmpty() && db.HasTable(list.NickName))
            db.Execute("DROP TABLE " + SqlIdentifier(list.NickName));
        transaction.Commit();
    });
}

bool TPhoneBook::DeleteListMember(TSQLiteDatabase* given, const TContactData& list,
                                  const TContactData& member)
{
    if (member.Kind != TContactData::KindContact)
        return true;
    if (const QString problem = ReservedProblem(list.NickName); !problem.isEmpty()) {
        Fail(problem);
        return false;
    }
    return Run(given, [&](TSQLiteDatabase& db) {
        TTransactionScope transaction(db);
        db.Execute("DELETE FROM " + SqlIdentifier(list.NickName) +
                   " WHERE ID = " + QByteArray::number(member.ID));
        transaction.Commit();
    });
}

bool TPhoneBook::UpdateListMember(TSQLiteDatabase* given, const TContactData& list,
                                  const TContactData& member)
{
    if (const QString problem = ReservedProblem(list.NickName); !problem.isEmpty()) {
        Fail(problem);
        return false;
    }
    return Run(given, [&](TSQLiteDatabase& db) {
        TTransactionScope transaction(db);
        db.Execute("UPDATE " + SqlIdentifier(list.NickName) +
                   " SET NICK_NAME=" + SqlLiteral(member.NickName) + ", NUMBER=" + SqlLiteral(member.Number) +
                   " WHERE ID = " + QByteArray::number(member.ID) + ';');
        transaction.Commit();
    });
}

int TPhoneBook::NextContactID()
{
    int next = 1;
    if (!HoldsPhoneBook(m_currentFile))
        return next;
    Run(nullptr, [&](TSQLiteDatabase& db) {
        const TSQLiteTable t = db.Query("SELECT MAX(ID) as MAX_ID FROM MainContacts");
        if (!t.AtEnd())
            next = IntOfText(t.FieldText(QStringLiteral("MAX_ID"))) + 1;
    });
    return next;
}

qint32 TPhoneBook::SaveListTable(const QString& name, const QList<TContactData>& members, bool isNew,
                                 const std::function<void(int)>& progress)
{
    const QString problem = isNew ? ListNameProblem(name, ListNames()) : ReservedProblem(name);
    if (!problem.isEmpty())
        throw ESQLiteException(problem);
    TSQLiteDatabase db(m_currentFile);
    db.Execute("PRAGMA cache_size = -65536;"); // 64 MB: a large list stays in memory until the commit
    // Dropping, re-creating and filling the table happen together or not at all.
    db.BeginTransaction();
    const QByteArray table = SqlIdentifier(name);
    if (db.HasTable(name))
        db.Execute("DROP TABLE " + table);
    db.Execute(DropIndexIfExists(name));
    db.Execute(CreateListTable(name));
    InsertMembers(db, table, members, progress);
    db.Execute(CreateListIndex(name));
    qint32 id = 0;
    if (isNew) {
        TContactData list;
        list.Kind = TContactData::KindList;
        list.NickName = name;
        list.Count = int(members.size());
        list.ImageIndex = TContactData::ListImage;
        db.Execute(InsertRow("MainContacts", list));
        id = qint32(db.LastInsertRowId());
    }
    db.Commit();
    return id;
}

bool TPhoneBook::RenameList(qint32 id, const QString& oldName, const QString& newName)
{
    QStringList others = ListNames();
    others.removeAll(oldName);
    QString problem = ReservedProblem(oldName);
    if (problem.isEmpty())
        problem = ListNameProblem(newName, others);
    if (!problem.isEmpty()) {
        Fail(problem);
        return false;
    }
    if (newName == oldName)
        return true;
    return Run(nullptr, [&](TSQLiteDatabase& db) {
        if (!db.HasTable(oldName))
            return;
        TTransactionScope transaction(db);
        db.Execute("UPDATE MainContacts SET NICK_NAME = " + SqlLiteral(newName) +
                   " WHERE ID = " + QByteArray::number(id));
        // The engine refuses a rename to the same name in another letter case; go by a free name.
        QString from = oldName;
        if (Folded(oldName) == Folded(newName)) {
            QString step = newName + QStringLiteral(" (renaming)");
            while (db.HasTable(step))
                step += u'~';
            db.Execute("ALTER TABLE " + SqlIdentifier(oldName) + " RENAME TO " + SqlIdentifier(step) + ';');
            from = step;
        }
        db.Execute("ALTER TABLE " + SqlIdentifier(from) + " RENAME TO " + SqlIdentifier(newName) + ';');
        // The index follows the list's name, so a new list of the old name can have its own.
        db.Execute(DropIndexIfExists(oldName));
        db.Execute(DropIndexIfExists(newName));
        db.Execute(CreateListIndex(newName));
        transaction.Commit();
    });
}

void TPhoneBook::DropListTable(const QString& name)
{
    if (const QString problem = ReservedProblem(name); !problem.isEmpty())
        throw ESQLiteException(problem);
    TSQLiteDatabase db(m_currentFile);
    if (db.HasTable(name))
        db.Execute("DROP TABLE " + SqlIdentifier(name));
}
