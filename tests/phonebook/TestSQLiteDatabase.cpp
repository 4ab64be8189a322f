#include "phonebook/SQLiteDatabase.h"
#include "platform/Win1252.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

#include <memory>

namespace {
// Runs work and answers the message of the ESQLiteException it raises (empty when none).
template <typename Work> QString MessageOf(Work&& work)
{
    try {
        work();
    } catch (const ESQLiteException& e) {
        return e.Message();
    }
    return {};
}
} // namespace

class TestSQLiteDatabase : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openSetsPragmas();
    void openFailureMessage();
    void columnKinds_data();
    void columnKinds();
    void rowsOneAtATime();
    void emptyResult();
    void maxOfEmptyTableIsNullKind();
    void executeMessages_data();
    void executeMessages();
    void onlyFirstStatementRuns();
    void busyQueryMessage();
    void hasTable_data();
    void hasTable();
    void transactionRules();
    void accessorMessages();
    void bytesComeBackUnchanged();
    void literalAndIdentifierQuoting_data();
    void literalAndIdentifierQuoting();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
};

void TestSQLiteDatabase::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_file = m_dir->filePath(QStringLiteral("t.db"));
}

void TestSQLiteDatabase::cleanup()
{
    m_dir.reset();
}

void TestSQLiteDatabase::openSetsPragmas()
{
    TSQLiteDatabase db(m_file);
    TSQLiteTable sync = db.Query("PRAGMA synchronous");
    QCOMPARE(sync.FieldText(0), QByteArray("1")); // NORMAL
    TSQLiteTable temp = db.Query("PRAGMA temp_store");
    QCOMPARE(temp.FieldText(0), QByteArray("2")); // MEMORY
    QVERIFY(QFileInfo::exists(m_file));
}

void TestSQLiteDatabase::openFailureMessage()
{
    const QString bad = m_dir->filePath(QStringLiteral("missing/folder/x.db"));
    const QString message = MessageOf([&] { TSQLiteDatabase db(bad); });
    QCOMPARE(message, QStringLiteral("Failed to open database \"%1\" : unable to open database file").arg(bad));
}

void TestSQLiteDatabase::columnKinds_data()
{
    QTest::addColumn<QByteArray>("declared");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("INTEGER") << QByteArray("INTEGER") << QByteArray("42") << int(ColumnKind::Integer) << QByteArray("42");
    QTest::newRow("BOOLEAN") << QByteArray("BOOLEAN") << QByteArray("1") << int(ColumnKind::Integer) << QByteArray("1");
    QTest::newRow("INT is text") << QByteArray("int") << QByteArray("42") << int(ColumnKind::Text) << QByteArray("42");
    QTest::newRow("REAL") << QByteArray("REAL") << QByteArray("2.5") << int(ColumnKind::Float) << QByteArray("2.5");
    QTest::newRow("NUMERIC") << QByteArray("NUMERIC") << QByteArray("7") << int(ColumnKind::Float) << QByteArray("7");
    QTest::newRow("DOUBLE") << QByteArray("DOUBLE") << QByteArray("0.125") << int(ColumnKind::Float)
                            << QByteArray("0.125");
    QTest::newRow("REAL whole") << QByteArray("REAL") << QByteArray("100") << int(ColumnKind::Float)
                                << QByteArray("100");
    QTest::newRow("REAL negative") << QByteArray("REAL") << QByteArray("-0.125") << int(ColumnKind::Float)
                                   << QByteArray("-0.125");
    QTest::newRow("REAL 0.0001 stays plain") << QByteArray("REAL") << QByteArray("0.0001") << int(ColumnKind::Float)
                                             << QByteArray("0.0001");
    QTest::newRow("REAL 0.00001 is scientific") << QByteArray("REAL") << QByteArray("0.00001")
                                                << int(ColumnKind::Float) << QByteArray("1E-5");
    QTest::newRow("REAL small") << QByteArray("REAL") << QByteArray("1.5e-7") << int(ColumnKind::Float)
                                << QByteArray("1.5E-7");
    QTest::newRow("REAL 15 digits stay plain") << QByteArray("REAL") << QByteArray("123456789012345")
                                               << int(ColumnKind::Float) << QByteArray("123456789012345");
    QTest::newRow("REAL 1E15") << QByteArray("REAL") << QByteArray("1e15") << int(ColumnKind::Float)
                               << QByteArray("1E15");
    QTest::newRow("REAL rounded to 15 digits") << QByteArray("REAL") << QByteArray("123456789012345678")
                                               << int(ColumnKind::Float) << QByteArray("1.23456789012346E17");
    QTest::newRow("REAL one third") << QByteArray("REAL") << QByteArray("1.0/3") << int(ColumnKind::Float)
                                    << QByteArray("0.333333333333333");
    QTest::newRow("VARCHAR (40)") << QByteArray("VARCHAR (40)") << QByteArray("'abc'") << int(ColumnKind::Text)
                                  << QByteArray("abc");
    QTest::newRow("TIMESTAMP") << QByteArray("TIMESTAMP") << QByteArray("'2020'") << int(ColumnKind::Text)
                               << QByteArray("2020");
    QTest::newRow("BLOB") << QByteArray("BLOB") << QByteArray("x'414243'") << int(ColumnKind::Blob)
                          << QByteArray("ABC");
    QTest::newRow("null integer reads 0") << QByteArray("INTEGER") << QByteArray("NULL") << int(ColumnKind::Integer)
                                          << QByteArray("0");
    QTest::newRow("null text reads empty") << QByteArray("VARCHAR (20)") << QByteArray("NULL")
                                           << int(ColumnKind::Text) << QByteArray();
    QTest::newRow("empty blob reads empty") << QByteArray("BLOB") << QByteArray("x''") << int(ColumnKind::Blob)
                                            << QByteArray();
}

void TestSQLiteDatabase::columnKinds()
{
    QFETCH(QByteArray, declared);
    QFETCH(QByteArray, value);
    QFETCH(int, kind);
    QFETCH(QByteArray, text);
    TSQLiteDatabase db(m_file);
    db.Execute("CREATE TABLE t (v " + declared + ");");
    db.Execute("INSERT INTO t VALUES (" + value + ");");
    TSQLiteTable t = db.Query("SELECT * FROM t");
    QCOMPARE(t.RowCount(), 1u);
    QCOMPARE(t.ColumnCount(), 1);
    QCOMPARE(int(t.Kind(0)), kind);
    QCOMPARE(t.FieldText(QStringLiteral("v")), text);
    // Rows read one at a time give the same.
    TSQLiteRows rows(db, "SELECT * FROM t");
    QVERIFY(rows.Next());
    QCOMPARE(int(rows.Kind(0)), kind);
    QCOMPARE(rows.FieldText(rows.ColumnIndex(QStringLiteral("v"))), text);
    QVERIFY(!rows.Next());
}

void TestSQLiteDatabase::rowsOneAtATime()
{
    TSQLiteDatabase db(m_file);
    db.Execute("CREATE TABLE t (n INTEGER, v VARCHAR (20));");
    db.Execute("INSERT INTO t VALUES (1, CAST(x'61006200' AS TEXT)), (2, NULL);");
    TSQLiteRows rows(db, "SELECT * FROM t");
    QCOMPARE(MessageOf([&] { rows.TextView(1); }), QStringLiteral("Table is at End of File"));
    QVERIFY(rows.Next());
    QCOMPARE(rows.TextView(1).toByteArray(), QByteArray("a")); // a text ends at its first zero byte
    QVERIFY(rows.Next());
    QCOMPARE(rows.FieldInt64(0), 2);
    QVERIFY(rows.Cell(1).null);
    QVERIFY(!rows.Next());
    QCOMPARE(rows.RowCount(), 2u);
    QCOMPARE(MessageOf([&] { rows.FieldInt64(0); }), QStringLiteral("Table is at End of File"));
}

void TestSQLiteDatabase::emptyResult()
{
    TSQLiteDatabase db(m_file);
    db.Execute("CREATE TABLE t (v INTEGER);");
    TSQLiteTable t = db.Query("SELECT * FROM t");
    QCOMPARE(t.RowCount(), 0u);
    QCOMPARE(t.ColumnCount(), 0);
    QVERIFY(t.AtEnd());
    QVERIFY(!t.Next());
    QCOMPARE(MessageOf([&] { t.FieldText(QStringLiteral("v")); }), QStringLiteral("Field v Not found. Empty dataset"));
}

void TestSQLiteDatabase::maxOfEmptyTableIsNullKind()
{
    TSQLiteDatabase db(m_file);
    db.Execute("CREATE TABLE MainContacts (ID INTEGER PRIMARY KEY AUTOINCREMENT);");
    TSQLiteTable t = db.Query("SELECT MAX(ID) as MAX_ID FROM MainContacts");
    QCOMPARE(t.RowCount(), 1u);
    QCOMPARE(int(t.Kind(0)), int(ColumnKind::Null));
    QCOMPARE(t.ColumnName(0), QStringLiteral("MAX_ID"));
    QCOMPARE(t.FieldText(QStringLiteral("max_id")), QByteArray());
    db.Execute("INSERT INTO MainContacts DEFAULT VALUES;");
    TSQLiteTable one = db.Query("SELECT MAX(ID) as MAX_ID FROM MainContacts");
    QCOMPARE(int(one.Kind(0)), int(ColumnKind::Integer));
    QCOMPARE(one.FieldInt64(0), 1);
}

void TestSQLiteDatabase::executeMessages_data()
{
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<QString>("message");
    QTest::newRow("syntax") << QByteArray("SELEKT 1") << QStringLiteral(
                                   "Error executing SQL \"SELEKT 1\" : near \"SELEKT\": syntax error");
    QTest::newRow("comment only") << QByteArray("-- nothing")
                                  << QStringLiteral("Could not prepare SQL statement \"-- nothing\" : No message");
    QTest::newRow("row counts as failure")
        << QByteArray("SELECT 1") << QStringLiteral("Error executing SQL statement \"SELECT 1\" : another row available");
    QTest::newRow("constraint") << QByteArray("INSERT INTO u VALUES (1)")
                                << QStringLiteral("Error executing SQL statement \"INSERT INTO u VALUES (1)\" : "
                                                  "UNIQUE constraint failed: u.k");
}

void TestSQLiteDatabase::executeMessages()
{
    QFETCH(QByteArray, sql);
    QFETCH(QString, message);
    TSQLiteDatabase db(m_file);
    db.Execute("CREATE TABLE u (k INTEGER UNIQUE);");
    db.Execute("INSERT INTO u VALUES (1);");
    QCOMPARE(MessageOf([&] { db.Execute(sql); }), message);
}

void TestSQLiteDatabase::onlyFirstStatementRuns()
{
    TSQLiteDatabase db(m_file);
    db.Execute("CREATE TABLE a (v INTEGER); CREATE TABLE b (v INTEGER);");
    QVERIFY(db.HasTable(QStringLiteral("a")));
    QVERIFY(!db.HasTable(QStringLiteral("b")));
}

void TestSQLiteDatabase::busyQueryMessage()
{
    {
        TSQLiteDatabase setup(m_file);
        setup.Execute("CREATE TABLE t (v INTEGER);");
    }
    TSQLiteDatabase other(m_file);
    other.Query("SELECT * FROM t");
    TSQLiteDatabase holder(m_file);
    holder.Execute("BEGIN EXCLUSIVE;");
    holder.Execute("INSERT INTO t VALUES (1);");
    QCOMPARE(MessageOf([&] { other.Query("SELECT * FROM t"); }),
             QStringLiteral("Could not prepare SQL statement \"SELECT * FROM t\" : SQLite is Busy"));
    holder.Execute("ROLLBACK;");
}

void TestSQLiteDatabase::hasTable_data()
{
    QTest::addColumn<QString>("created");
    QTest::addColumn<QString>("probe");
    QTest::addColumn<bool>("found");
    QTest::newRow("upper-case probe") << QStringLiteral("MainContacts") << QStringLiteral("MAINCONTACTS") << true;
    QTest::newRow("exact") << QStringLiteral("MainContacts") << QStringLiteral("MainContacts") << true;
    QTest::newRow("other") << QStringLiteral("MainContacts") << QStringLiteral("QPB_DETAILS") << false;
    QTest::newRow("non-ASCII exact") << QStringLiteral("Città") << QStringLiteral("Città") << true;
    QTest::newRow("non-ASCII case differs") << QStringLiteral("Città") << QStringLiteral("CITTÀ") << false;
    QTest::newRow("single quote") << QStringLiteral("O'Brien") << QStringLiteral("o'brien") << true;
}

void TestSQLiteDatabase::hasTable()
{
    QFETCH(QString, created);
    QFETCH(QString, probe);
    QFETCH(bool, found);
    TSQLiteDatabase db(m_file);
    db.Execute("CREATE TABLE " + SqlIdentifier(created) + " (v INTEGER);");
    QCOMPARE(db.HasTable(probe), found);
}

void TestSQLiteDatabase::transactionRules()
{
    {
        TSQLiteDatabase db(m_file);
        db.Execute("CREATE TABLE t (v INTEGER);");
        db.BeginTransaction();
        db.Execute("INSERT INTO t VALUES (1);");
        QCOMPARE(MessageOf([&] { db.BeginTransaction(); }), QStringLiteral("Transaction already open"));
        QVERIFY(db.InTransaction());
        // destroyed without Commit: rolled back
    }
    {
        TSQLiteDatabase db(m_file);
        QCOMPARE(db.Query("SELECT * FROM t").RowCount(), 0u);
        db.BeginTransaction();
        db.Execute("INSERT INTO t VALUES (2);");
        db.Commit();
        QVERIFY(!db.InTransaction());
    }
    TSQLiteDatabase db(m_file);
    QCOMPARE(db.Query("SELECT * FROM t").FieldInt64(0), 2);
}

void TestSQLiteDatabase::accessorMessages()
{
    TSQLiteDatabase db(m_file);
    db.Execute("CREATE TABLE t (i INTEGER, f REAL, s VARCHAR (10), b BLOB);");
    db.Execute("INSERT INTO t VALUES (7, 2.75, '3', x'00FF');");
    TSQLiteTable t = db.Query("SELECT * FROM t");
    QCOMPARE(t.FieldInt64(1), 2);      // truncated toward zero
    QCOMPARE(t.FieldFloat(0), 7.0);
    QCOMPARE(t.FieldBlobText(3), QByteArray("\x00\xFF", 2));
    QCOMPARE(MessageOf([&] { t.FieldInt64(2); }), QStringLiteral("Not an integer or numeric field"));
    QCOMPARE(MessageOf([&] { t.FieldFloat(3); }), QStringLiteral("Not an integer or numeric field"));
    QCOMPARE(MessageOf([&] { t.FieldBlob(0); }), QStringLiteral("Not a Blob field"));
    QCOMPARE(MessageOf([&] { t.ColumnIndex(QStringLiteral("zz")); }), QStringLiteral("Field not found in dataset: zz"));
    QVERIFY(t.Next());
    QVERIFY(t.AtEnd());
    QCOMPARE(MessageOf([&] { t.FieldText(0); }), QStringLiteral("Table is at End of File"));
    QCOMPARE(MessageOf([&] { t.FieldInt64(0); }), QStringLiteral("Table is at End of File"));
    QCOMPARE(MessageOf([&] { t.FieldBlob(3); }), QStringLiteral("Table is at End of File"));
}

void TestSQLiteDatabase::bytesComeBackUnchanged()
{
    const QByteArray bytes("caf\xE9 \x80 \x9C\xFF", 9);
    TSQLiteDatabase db(m_file);
    db.Execute("CREATE TABLE t (s VARCHAR (40));");
    db.Execute("INSERT INTO t VALUES ('" + bytes + "');");
    QCOMPARE(db.Query("SELECT s FROM t").FieldText(0), bytes);
}

void TestSQLiteDatabase::literalAndIdentifierQuoting_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("double quote") << QStringLiteral("say \"hi\"");
    QTest::newRow("single quote") << QStringLiteral("O'Brien");
    QTest::newRow("column name") << QStringLiteral("NUMBER");
    QTest::newRow("both quotes") << QStringLiteral("'\"''\"");
    QTest::newRow("euro") << QStringLiteral("5 €");
}

void TestSQLiteDatabase::literalAndIdentifierQuoting()
{
    QFETCH(QString, text);
    TSQLiteDatabase db(m_file);
    db.Execute("CREATE TABLE " + SqlIdentifier(text) + " (NUMBER VARCHAR (20));");
    db.Execute("INSERT INTO " + SqlIdentifier(text) + " VALUES (" + SqlLiteral(text) + ");");
    QVERIFY(db.HasTable(text));
    TSQLiteTable t = db.Query("SELECT * FROM " + SqlIdentifier(text) + " WHERE NUMBER = " + SqlLiteral(text));
    QCOMPARE(t.RowCount(), 1u);
    QCOMPARE(t.FieldText(0), ToWin1252(text));
}

QTEST_GUILESS_MAIN(TestSQLiteDatabase)
#include "TestSQLiteDatabase.moc"
