#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <exception>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The one exception the SQLite layer raises: an English message text, plus the engine's
// error code of the connection when there was one (0 otherwise).
class ESQLiteException : public std::exception
{
public:
    explicit ESQLiteException(QString message, int engineCode = 0);
    const QString& Message() const { return m_message; }
    int EngineCode() const { return m_engineCode; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
    int m_engineCode;
};

// The engine's fundamental type codes.
enum class ColumnKind : int { Integer = 1, Float = 2, Text = 3, Blob = 4, Null = 5 };

class TSQLiteDatabase;

// One cell as the layer reads it for its column's kind: a number, or the bytes of a text or
// blob. A null cell holds nothing.
struct TSQLiteCell
{
    qint64 integer = 0;
    double real = 0;
    QByteArrayView bytes;
    bool null = true;
};

// The rows of one query, read one at a time straight from the engine (nothing is buffered):
// the steps, kinds and failures of Query, for callers that walk a large result once.
class TSQLiteRows
{
public:
    TSQLiteRows(TSQLiteDatabase& db, const QByteArray& sql);
    ~TSQLiteRows();
    TSQLiteRows(const TSQLiteRows&) = delete;
    TSQLiteRows& operator=(const TSQLiteRows&) = delete;

    // Steps to the next row; false after the last one. Raises as Query does.
    bool Next();
    quint32 RowCount() const { return m_rowCount; } // rows read so far
    int ColumnCount() const { return m_columnCount; }
    const QStringList& ColumnNames() const { return m_columnNames; }
    const std::vector<ColumnKind>& ColumnKinds() const { return m_columnKinds; }
    int ColumnIndex(const QString& name) const;
    // The current row's cell; its bytes stay valid until the next step.
    TSQLiteCell Cell(int column) const;
    ColumnKind Kind(int column) const { return m_columnKinds.at(size_t(column)); }
    QByteArray FieldText(int column) const;
    qint64 FieldInt64(int column) const;
    // The bytes of a Text cell without a copy, valid until the next step ("" for null).
    QByteArrayView TextView(int column) const;

private:
    void CheckOnRow() const;

    TSQLiteDatabase& m_db;
    QByteArray m_sql;
    sqlite3_stmt* m_statement = nullptr;
    quint32 m_rowCount = 0;
    qint32 m_columnCount = 0;
    QStringList m_columnNames;
    std::vector<ColumnKind> m_columnKinds;
    bool m_onRow = false;
};

// The complete result of one query, read into memory at once and walked with a cursor.
// Text and blob cells are held byte for byte in one buffer owned by the table.
class TSQLiteTable
{
public:
    quint32 RowCount() const { return m_rowCount; }
    int ColumnCount() const { return m_columnCount; }
    bool AtEnd() const { return m_currentRow < 0 || quint32(m_currentRow) >= m_rowCount; }
    bool Next();
    int CurrentRow() const { return m_currentRow; }

    int ColumnIndex(const QString& name) const;
    QString ColumnName(int column) const { return m_columnNames.value(column); }
    ColumnKind Kind(int column) const { return m_columnKinds.at(column); }
    bool IsNull(int column) const;

    QByteArray FieldText(int column) const;
    // The bytes of a Text cell without a copy, valid while the table lives ("" for null).
    QByteArrayView TextView(int column) const;
    QByteArray FieldText(const QString& name) const { return FieldText(ColumnIndex(name)); }
    qint64 FieldInt64(int column) const;
    double FieldFloat(int column) const;
    // The blob's bytes, valid while the table lives; nothing for a null or empty blob.
    std::optional<QByteArray> FieldBlob(int column) const;
    QByteArray FieldBlobText(int column) const;

private:
    friend class TSQLiteDatabase;
    struct Cell
    {
        struct Span
        {
            quint32 offset;
            quint32 length;
        };
        union {
            qint64 integer = 0;
            double real;
            Span bytes;
        };
        bool null = true;
    };

    TSQLiteTable() = default;
    void Fill(TSQLiteRows& rows);
    void CheckNotAtEnd() const;
    TSQLiteCell At(int column) const;

    std::vector<Cell> m_cells;
    QByteArray m_buffer;
    quint32 m_rowCount = 0;
    qint32 m_columnCount = 0;
    QStringList m_columnNames;
    std::vector<ColumnKind> m_columnKinds;
    qint32 m_currentRow = 0;
};

// One open connection to one database file. Statement texts are handed to the engine
// byte for byte (the phone book keeps Windows-1252 text); only the file name is UTF-8.
class TSQLiteDatabase
{
public:
    explicit TSQLiteDatabase(const QString& fileName);
    ~TSQLiteDatabase();
    TSQLiteDatabase(const TSQLiteDatabase&) = delete;
    TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

    void Execute(const QByteArray& sql);
    TSQLiteTable Query(const QByteArray& sql);
    bool HasTable(const QString& name);
    void BeginTransaction();
    void Commit();
    bool InTransaction() const { return m_inTransaction; }
    // Row ID of the last successful INSERT on this connection.
    qint64 LastInsertRowId() const;

private:
    friend class TSQLitePrepared;
    friend class TSQLiteRows;
    [[noreturn]] void RaiseError(const QString& message, const QByteArray& sql) const;
    sqlite3_stmt* Prepare(const QByteArray& sql);
    void Close();

    sqlite3* m_handle = nullptr;
    bool m_inTransaction = false;
};

// One statement prepared once and run many times (bulk inserts), its '?' parameters bound to
// bytes stored as text, as a literal of the same bytes would store them.
class TSQLitePrepared
{
public:
    TSQLitePrepared(TSQLiteDatabase& db, const QByteArray& sql);
    ~TSQLitePrepared();
    TSQLitePrepared(const TSQLitePrepared&) = delete;
    TSQLitePrepared& operator=(const TSQLitePrepared&) = delete;

    // Parameter index from 1; the bytes must stay alive until Run.
    void BindText(int index, QByteArrayView bytes);
    // Runs the statement once with the bound values and clears them.
    void Run();

private:
    TSQLiteDatabase& m_db;
    QByteArray m_sql;
    sqlite3_stmt* m_statement;
};

// A value as an SQL string literal: Windows-1252 bytes between single quotes, quotes doubled.
QByteArray SqlLiteral(QStringView value);
// A name as an SQL quoted identifier: Windows-1252 bytes between double quotes, quotes doubled.
QByteArray SqlIdentifier(QStringView name);
