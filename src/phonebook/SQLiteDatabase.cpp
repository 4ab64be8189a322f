#include "phonebook/SQLiteDatabase.h"

#include "platform/Win1252.h"

#include <QLocale>
#include <cmath>
#include <cstring>
#include <sqlite3.h>

ESQLiteException::ESQLiteException(QString message, int engineCode)
    : m_message(std::move(message)), m_utf8(m_message.toUtf8()), m_engineCode(engineCode)
{
}

namespace {

// Finalises a statement when the scope ends, also when an exception leaves it.
struct StatementGuard
{
    sqlite3_stmt* statement;
    ~StatementGuard() { sqlite3_finalize(statement); }
};

ColumnKind KindOfDeclaredType(const char* declared, int runtimeType)
{
    if (!declared)
        return ColumnKind(runtimeType);
    const QByteArrayView type(declared);
    if (type == "INTEGER" || type == "BOOLEAN")
        return ColumnKind::Integer;
    if (type == "NUMERIC" || type == "FLOAT" || type == "DOUBLE" || type == "REAL")
        return ColumnKind::Float;
    if (type == "BLOB")
        return ColumnKind::Blob;
    return ColumnKind::Text;
}

// General format with up to 15 significant digits: plain digits while the decimal point
// lies within them (or at most three zeros after it), else "1.5E-7", "1E20".
QString FloatText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");
    const QByteArray scientific = QByteArray::number(std::fabs(value), 'e', 14); // d.dddddddddddddde+XX
    const qsizetype e = scientific.indexOf('e');
    QByteArray digits = scientific.left(e).replace(".", "");
    while (digits.endsWith('0'))
        digits.chop(1);
    const int power = scientific.mid(e + 1).toInt();
    const int point = power + 1; // digits before the decimal point
    const QString separator = QLocale::system().decimalPoint();
    QString text = value < 0 ? QStringLiteral("-") : QString();
    if (point > 15 || point < -3) {
        text += QChar::fromLatin1(digits.at(0));
        if (digits.size() > 1)
            text += separator + QString::fromLatin1(digits.mid(1));
        return text + u'E' + QString::number(power);
    }
    if (point <= 0)
        return text + u'0' + separator + QString(-point, u'0') + QString::fromLatin1(digits);
    if (digits.size() <= point)
        return text + QString::fromLatin1(digits) + QString(point - digits.size(), u'0');
    return text + QString::fromLatin1(digits.left(point)) + separator +
           QString::fromLatin1(digits.mid(point));
}

} // namespace

// ---- TSQLiteDatabase ----

TSQLiteDatabase::TSQLiteDatabase(const QString& fileName)
{
    m_inTransaction = false;
    // One thread at a time uses a connection: the engine's own locking per call is not needed.
    const int rc = sqlite3_open_v2(fileName.toUtf8().constData(), &m_handle,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        if (!m_handle)
            throw ESQLiteException(
                QStringLiteral("Failed to open database \"%1\" : unknown error").arg(fileName), rc);
        const QString text = QString::fromUtf8(sqlite3_errmsg(m_handle));
        Close();
        throw ESQLiteException(QStringLiteral("Failed to open database \"%1\" : %2").arg(fileName, text), rc);
    }
    try {
        Execute("PRAGMA SYNCHRONOUS=NORMAL;");
        Execute("PRAGMA temp_store = MEMORY;");
    } catch (...) {
        Close();
        throw;
    }
}

TSQLiteDatabase::~TSQLiteDatabase()
{
    if (m_inTransaction) {
        try {
            Execute("ROLLBACK;");
        } catch (const ESQLiteException&) {
            // closing the connection rolls back whatever is left
        }
    }
    Close();
}

void TSQLiteDatabase::Close()
{
    if (m_handle) {
        sqlite3_close_v2(m_handle);
        m_handle = nullptr;
    }
}

void TSQLiteDatabase::RaiseError(const QString& message, const QByteArray& sql) const
{
    const int code = sqlite3_errcode(m_handle);
    const QString engineText = code != SQLITE_OK ? FromWin1252(QByteArrayView(sqlite3_errmsg(m_handle)))
                                                 : QStringLiteral("No message");
    throw ESQLiteException(QStringLiteral("%1 \"%2\" : %3").arg(message, FromWin1252(sql), engineText), code);
}

sqlite3_stmt* TSQLiteDatabase::Prepare(const QByteArray& sql)
{
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(m_handle, sql.constData(), -1, &statement, &tail) != SQLITE_OK) {
        sqlite3_finalize(statement);
        RaiseError(QStringLiteral("Error executing SQL"), sql);
    }
    if (!statement)
        RaiseError(QStringLiteral("Could not prepare SQL statement"), sql);
    return statement;
}

void TSQLiteDatabase::Execute(const QByteArray& sql)
{
    StatementGuard guard{Prepare(sql)};
    if (sqlite3_step(guard.statement) != SQLITE_DONE)
        RaiseError(QStringLiteral("Error executing SQL statement"), sql);
}

TSQLiteTable TSQLiteDatabase::Query(const QByteArray& sql)
{
    TSQLiteRows rows(*this, sql);
    TSQLiteTable table;
    table.Fill(rows);
    return table;
}

bool TSQLiteDatabase::HasTable(const QString& name)
{
    // SQLite's lower() folds ASCII letters only; so does this.
    QByteArray lowered = ToWin1252(name);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    lowered.replace('\'', "''");
    const TSQLiteTable table =
        Query("select [sql] from sqlite_master where [type] = 'table' and lower(name) = '" + lowered + "' ");
    return table.RowCount() > 0;
}

void TSQLiteDatabase::BeginTransaction()
{
    if (m_inTransaction)
        throw ESQLiteException(QStringLiteral("Transaction already open"));
    Execute("BEGIN TRANSACTION;");
    m_inTransaction = true;
}

void TSQLiteDatabase::Commit()
{
    Execute("COMMIT;");
    m_inTransaction = false;
}

qint64 TSQLiteDatabase::LastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_handle);
}

// ---- TSQLitePrepared ----

TSQLitePrepared::TSQLitePrepared(TSQLiteDatabase& db, const QByteArray& sql)
    : m_db(db), m_sql(sql), m_statement(db.Prepare(sql))
{
}

TSQLitePrepared::~TSQLitePrepared()
{
    sqlite3_finalize(m_statement);
}

void TSQLitePrepared::BindText(int index, QByteArrayView bytes)
{
    // An empty view may have no data pointer; "" keeps the value text, not NULL.
    if (sqlite3_bind_text(m_statement, index, bytes.isEmpty() ? "" : bytes.data(), int(bytes.size()),
                          SQLITE_STATIC) != SQLITE_OK)
        m_db.RaiseError(QStringLiteral("Could not bind a value of SQL statement"), m_sql);
}

void TSQLitePrepared::Run()
{
    const int rc = sqlite3_step(m_statement);
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    if (rc != SQLITE_DONE)
        m_db.RaiseError(QStringLiteral("Error executing SQL statement"), m_sql);
}

// ---- cells, read alike from the engine and from a table ----

namespace {

void RequireRow(bool onRow)
{
    if (!onRow)
        throw ESQLiteException(QStringLiteral("Table is at End of File"));
}

// A numeric cell as T; a NULL value reads as 0.
template <typename T> T CellNumber(ColumnKind kind, const TSQLiteCell& cell)
{
    if (kind != ColumnKind::Integer && kind != ColumnKind::Float)
        throw ESQLiteException(QStringLiteral("Not an integer or numeric field"));
    if (cell.null)
        return 0;
    return kind == ColumnKind::Integer ? T(cell.integer) : T(cell.real);
}

QByteArray CellText(ColumnKind kind, const TSQLiteCell& cell)
{
    switch (kind) {
    case ColumnKind::Integer:
        return QByteArray::number(CellNumber<qint64>(kind, cell));
    case ColumnKind::Float:
        return ToWin1252(FloatText(CellNumber<double>(kind, cell)));
    case ColumnKind::Text:
    case ColumnKind::Blob:
        return cell.null ? QByteArray() : cell.bytes.toByteArray();
    case ColumnKind::Null:
        break;
    }
    return {};
}

int ColumnIndexIn(const QStringList& names, const QString& name)
{
    if (names.isEmpty())
        throw ESQLiteException(QStringLiteral("Field ") + name + QStringLiteral(" Not found. Empty dataset"));
    const int index = int(names.indexOf(name.toUpper()));
    if (index < 0)
        throw ESQLiteException(QStringLiteral("Field not found in dataset: ") + name);
    return index;
}

QByteArrayView CellTextView(ColumnKind kind, const TSQLiteCell& cell)
{
    if (kind != ColumnKind::Text)
        throw ESQLiteException(QStringLiteral("Not a text field"));
    return cell.null ? QByteArrayView() : cell.bytes;
}

} // namespace

// ---- TSQLiteRows ----

TSQLiteRows::TSQLiteRows(TSQLiteDatabase& db, const QByteArray& sql)
    : m_db(db), m_sql(sql), m_statement(db.Prepare(sql))
{
}

TSQLiteRows::~TSQLiteRows()
{
    sqlite3_finalize(m_statement);
}

bool TSQLiteRows::Next()
{
    sqlite3* handle = m_db.m_handle;
    const auto raise = [&](const QString& message, const QString& engineText) {
        throw ESQLiteException(QStringLiteral("%1 \"%2\" : %3").arg(message, FromWin1252(m_sql), engineText),
                               sqlite3_errcode(handle));
    };
    m_onRow = false;
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_DONE)
        return false;
    if (rc == SQLITE_BUSY)
        raise(QStringLiteral("Could not prepare SQL statement"), QStringLiteral("SQLite is Busy"));
    if (rc != SQLITE_ROW) {
        const int code = sqlite3_errcode(handle);
        raise(QStringLiteral("Could not retrieve data"),
              code != SQLITE_OK ? FromWin1252(QByteArrayView(sqlite3_errmsg(handle)))
                                : QStringLiteral("No message"));
    }
    m_onRow = true;
    if (++m_rowCount == 1) {
        // The kinds come from the declared types, or from the first row's values.
        m_columnCount = sqlite3_column_count(m_statement);
        for (int c = 0; c < m_columnCount; ++c) {
            m_columnNames.append(FromWin1252(QByteArrayView(sqlite3_column_name(m_statement, c))).toUpper());
            m_columnKinds.push_back(KindOfDeclaredType(sqlite3_column_decltype(m_statement, c),
                                                       sqlite3_column_type(m_statement, c)));
        }
    }
    return true;
}

int TSQLiteRows::ColumnIndex(const QString& name) const
{
    return ColumnIndexIn(m_columnNames, name);
}

void TSQLiteRows::CheckOnRow() const
{
    RequireRow(m_onRow);
}

TSQLiteCell TSQLiteRows::Cell(int column) const
{
    CheckOnRow();
    TSQLiteCell cell;
    if (sqlite3_column_type(m_statement, column) == SQLITE_NULL)
        return cell;
    switch (m_columnKinds.at(size_t(column))) {
    case ColumnKind::Integer:
        cell.integer = sqlite3_column_int64(m_statement, column);
        cell.null = false;
        break;
    case ColumnKind::Float:
        cell.real = sqlite3_column_double(m_statement, column);
        cell.null = false;
        break;
    case ColumnKind::Blob: {
        const void* data = sqlite3_column_blob(m_statement, column);
        const int size = sqlite3_column_bytes(m_statement, column);
        if (data && size > 0) {
            cell.bytes = QByteArrayView(static_cast<const char*>(data), size);
            cell.null = false;
        }
        break;
    }
    default: {
        // A text value ends at its first zero byte.
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        const int size = sqlite3_column_bytes(m_statement, column);
        cell.bytes = text ? QByteArrayView(text, qsizetype(strnlen(text, size_t(size)))) : QByteArrayView("");
        cell.null = false;
        break;
    }
    }
    return cell;
}

QByteArray TSQLiteRows::FieldText(int column) const
{
    return CellText(Kind(column), Cell(column));
}

qint64 TSQLiteRows::FieldInt64(int column) const
{
    return CellNumber<qint64>(Kind(column), Cell(column));
}

QByteArrayView TSQLiteRows::TextView(int column) const
{
    return CellTextView(Kind(column), Cell(column));
}

// ---- TSQLiteTable ----

void TSQLiteTable::Fill(TSQLiteRows& rows)
{
    while (rows.Next()) {
        if (rows.RowCount() == 1) {
            m_columnCount = rows.ColumnCount();
            m_columnNames = rows.ColumnNames();
            m_columnKinds = rows.ColumnKinds();
        }
        for (int c = 0; c < m_columnCount; ++c) {
            const TSQLiteCell read = rows.Cell(c);
            Cell cell;
            cell.null = read.null;
            const ColumnKind kind = m_columnKinds[size_t(c)];
            if (read.null) {
                // nothing to hold
            } else if (kind == ColumnKind::Integer) {
                cell.integer = read.integer;
            } else if (kind == ColumnKind::Float) {
                cell.real = read.real;
            } else {
                cell.bytes = {quint32(m_buffer.size()), quint32(read.bytes.size())};
                m_buffer.append(read.bytes);
            }
            m_cells.push_back(cell);
        }
    }
    m_rowCount = rows.RowCount();
    m_currentRow = 0;
}

bool TSQLiteTable::Next()
{
    if (AtEnd())
        return false;
    ++m_currentRow;
    return true;
}

int TSQLiteTable::ColumnIndex(const QString& name) const
{
    return ColumnIndexIn(m_columnNames, name);
}

void TSQLiteTable::CheckNotAtEnd() const
{
    RequireRow(!AtEnd());
}

TSQLiteCell TSQLiteTable::At(int column) const
{
    CheckNotAtEnd();
    const Cell& stored = m_cells.at(size_t(m_currentRow) * size_t(m_columnCount) + size_t(column));
    TSQLiteCell cell;
    cell.null = stored.null;
    if (stored.null)
        return cell;
    switch (m_columnKinds.at(size_t(column))) {
    case ColumnKind::Integer:
        cell.integer = stored.integer;
        break;
    case ColumnKind::Float:
        cell.real = stored.real;
        break;
    default:
        cell.bytes =
            QByteArrayView(m_buffer.constData() + stored.bytes.offset, qsizetype(stored.bytes.length));
        break;
    }
    return cell;
}

bool TSQLiteTable::IsNull(int column) const
{
    return At(column).null;
}

QByteArrayView TSQLiteTable::TextView(int column) const
{
    return CellTextView(m_columnKinds.at(size_t(column)), At(column));
}

QByteArray TSQLiteTable::FieldText(int column) const
{
    return CellText(m_columnKinds.at(size_t(column)), At(column));
}

qint64 TSQLiteTable::FieldInt64(int column) const
{
    return CellNumber<qint64>(m_columnKinds.at(size_t(column)), At(column));
}

double TSQLiteTable::FieldFloat(int column) const
{
    return CellNumber<double>(m_columnKinds.at(size_t(column)), At(column));
}

std::optional<QByteArray> TSQLiteTable::FieldBlob(int column) const
{
    const TSQLiteCell cell = At(column);
    if (m_columnKinds.at(size_t(column)) != ColumnKind::Blob)
        throw ESQLiteException(QStringLiteral("Not a Blob field"));
    if (cell.null)
        return std::nullopt;
    return QByteArray::fromRawData(cell.bytes.data(), cell.bytes.size());
}

QByteArray TSQLiteTable::FieldBlobText(int column) const
{
    const std::optional<QByteArray> blob = FieldBlob(column);
    return blob ? QByteArray(blob->constData(), blob->size()) : QByteArray();
}

QByteArray SqlLiteral(QStringView value)
{
    QByteArray bytes = ToWin1252(value);
    bytes.replace('\'', "''");
    return '\'' + bytes + '\'';
}

QByteArray SqlIdentifier(QStringView name)
{
    QByteArray bytes = ToWin1252(name);
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}
