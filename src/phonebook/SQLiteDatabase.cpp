#include "phonebook/SQLiteDatabase.h"

#include "platform/Win1252.h"

#include <QLocale>

#include <sqlite3.h>

#include <cmath>
#include <cstring>

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
    return text + QString::fromLatin1(digits.left(point)) + separator + QString::fromLatin1(digits.mid(point));
}

} // namespace

// ---- TSQLiteDatabase ----

TSQLiteDatabase::TSQLiteDatabase(const QString& fileName)
{
    m_inTransaction = false;
    const int rc = sqlite3_open(fileName.toUtf8().constData(), &m_handle);
    if (rc != SQLITE_OK) {
        if (!m_handle)
            throw ESQLiteException(QStringLiteral("Failed to open database \"%1\" : unknown error").arg(fileName), rc);
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
    const QString engineText =
        code != SQLITE_OK ? FromWin1252(QByteArrayView(sqlite3_errmsg(m_handle))) : QStringLiteral("No message");
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
    TSQLiteTable table;
    StatementGuard guard{Prepare(sql)};
    table.Fill(m_handle, guard.statement, sql);
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

// ---- TSQLiteTable ----

void TSQLiteTable::Fill(sqlite3* db, sqlite3_stmt* statement, const QByteArray& sql)
{
    m_rowCount = 0;
    m_columnCount = 0;
    const auto raise = [&](const QString& message, const QString& engineText) {
        throw ESQLiteException(QStringLiteral("%1 \"%2\" : %3").arg(message, FromWin1252(sql), engineText),
                               sqlite3_errcode(db));
    };
    for (;;) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE)
            break;
        if (rc == SQLITE_BUSY)
            raise(QStringLiteral("Could not prepare SQL statement"), QStringLiteral("SQLite is Busy"));
        if (rc != SQLITE_ROW) {
            const int code = sqlite3_errcode(db);
            raise(QStringLiteral("Could not retrieve data"),
                  code != SQLITE_OK ? FromWin1252(QByteArrayView(sqlite3_errmsg(db))) : QStringLiteral("No message"));
        }
        ++m_rowCount;
        if (m_rowCount == 1) {
            m_columnCount = sqlite3_column_count(statement);
            for (int c = 0; c < m_columnCount; ++c) {
                m_columnNames.append(FromWin1252(QByteArrayView(sqlite3_column_name(statement, c))).toUpper());
                m_columnKinds.push_back(
                    KindOfDeclaredType(sqlite3_column_decltype(statement, c), sqlite3_column_type(statement, c)));
            }
        }
        for (int c = 0; c < m_columnCount; ++c) {
            Cell cell;
            if (sqlite3_column_type(statement, c) != SQLITE_NULL) {
                switch (m_columnKinds[size_t(c)]) {
                case ColumnKind::Integer:
                    cell.integer = sqlite3_column_int64(statement, c);
                    cell.null = false;
                    break;
                case ColumnKind::Float:
                    cell.real = sqlite3_column_double(statement, c);
                    cell.null = false;
                    break;
                case ColumnKind::Blob: {
                    const void* data = sqlite3_column_blob(statement, c);
                    const int size = sqlite3_column_bytes(statement, c);
                    if (data && size > 0) {
                        cell.bytes = {quint32(m_buffer.size()), quint32(size)};
                        m_buffer.append(static_cast<const char*>(data), size);
                        cell.null = false;
                    }
                    break;
                }
                default: {
                    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                    const size_t size = text ? std::strlen(text) : 0;
                    cell.bytes = {quint32(m_buffer.size()), quint32(size)};
                    m_buffer.append(text, qsizetype(size));
                    cell.null = false;
                    break;
                }
                }
            }
            m_cells.push_back(cell);
        }
    }
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
    if (m_columnNames.isEmpty())
        throw ESQLiteException(QStringLiteral("Field ") + name + QStringLiteral(" Not found. Empty dataset"));
    const int index = m_columnNames.indexOf(name.toUpper());
    if (index < 0)
        throw ESQLiteException(QStringLiteral("Field not found in dataset: ") + name);
    return index;
}

void TSQLiteTable::CheckNotAtEnd() const
{
    if (AtEnd())
        throw ESQLiteException(QStringLiteral("Table is at End of File"));
}

const TSQLiteTable::Cell& TSQLiteTable::At(int column) const
{
    return m_cells.at(size_t(m_currentRow) * size_t(m_columnCount) + size_t(column));
}

bool TSQLiteTable::IsNull(int column) const
{
    CheckNotAtEnd();
    return At(column).null;
}

QByteArray TSQLiteTable::Bytes(const Cell& cell) const
{
    if (cell.null)
        return {};
    return m_buffer.mid(cell.bytes.offset, cell.bytes.length);
}

QByteArrayView TSQLiteTable::TextView(int column) const
{
    CheckNotAtEnd();
    if (m_columnKinds.at(size_t(column)) != ColumnKind::Text)
        throw ESQLiteException(QStringLiteral("Not a text field"));
    const Cell& cell = At(column);
    if (cell.null)
        return {};
    return QByteArrayView(m_buffer.constData() + cell.bytes.offset, qsizetype(cell.bytes.length));
}

QByteArray TSQLiteTable::FieldText(int column) const
{
    CheckNotAtEnd();
    switch (m_columnKinds.at(size_t(column))) {
    case ColumnKind::Integer:
        return QByteArray::number(FieldInt64(column));
    case ColumnKind::Float:
        return ToWin1252(FloatText(FieldFloat(column)));
    case ColumnKind::Text:
        return Bytes(At(column));
    case ColumnKind::Blob:
        return FieldBlobText(column);
    case ColumnKind::Null:
        break;
    }
    return {};
}

// Reads a numeric column as T; a NULL value reads as 0.
template <typename T> T TSQLiteTable::NumericField(int column) const
{
    CheckNotAtEnd();
    const ColumnKind kind = m_columnKinds.at(size_t(column));
    if (kind != ColumnKind::Integer && kind != ColumnKind::Float)
        throw ESQLiteException(QStringLiteral("Not an integer or numeric field"));
    const Cell& cell = At(column);
    if (cell.null)
        return 0;
    return kind == ColumnKind::Integer ? T(cell.integer) : T(cell.real);
}

qint64 TSQLiteTable::FieldInt64(int column) const
{
    return NumericField<qint64>(column);
}

double TSQLiteTable::FieldFloat(int column) const
{
    return NumericField<double>(column);
}

std::optional<QByteArray> TSQLiteTable::FieldBlob(int column) const
{
    CheckNotAtEnd();
    if (m_columnKinds.at(size_t(column)) != ColumnKind::Blob)
        throw ESQLiteException(QStringLiteral("Not a Blob field"));
    const Cell& cell = At(column);
    if (cell.null)
        return std::nullopt;
    return QByteArray::fromRawData(m_buffer.constData() + cell.bytes.offset, qsizetype(cell.bytes.length));
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
