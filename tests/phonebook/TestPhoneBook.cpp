#include "ContactFixtures.h"
#include "SqliteShell.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/SQLiteDatabase.h"
#include "platform/Win1252.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QByteArray kSchema = "CREATE TABLE MainContacts ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [FIRST_NAME] "
                           "VARCHAR (40), [LAST_NAME] "
                           "VARCHAR (40), [NICK_NAME] VARCHAR (40), [SESSO] INTEGER, [DATA_NASCITA] "
                           "TIMESTAMP, [EMAIL] VARCHAR (50), [FAX] "
                           "VARCHAR (20), NUMBER VARCHAR (20), CONTACT_TYPE VARCHAR (20));";

QByteArray ListSchema(const QByteArray& name)
{
    return "CREATE TABLE \"" + name +
           "\" ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [FIRST_NAME] VARCHAR (40), [LAST_NAME] VARCHAR (40), "
           "[NICK_NAME] VARCHAR (40), [SESSO] INTEGER, [DATA_NASCITA] TIMESTAMP, [EMAIL] VARCHAR (50), [FAX] "
           "VARCHAR (20), NUMBER VARCHAR (20), CONTACT_TYPE VARCHAR (20));";
}

TContactData Single(const QString& nick, const QString& number, const QString& first = {},
                    const QString& last = {})
{
    TContactData d;
    d.NickName = nick;
    d.Number = number;
    d.FirstName = first;
    d.LastName = last;
    return d;
}

// "kind id caption number" per node, members indented: the tree in one comparable list.
QStringList Dump(const TContactsTree& tree)
{
    QStringList out;
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        const TContactNode* n = tree.TopLevel(r);
        out << QStringLiteral("%1 %2 %3")
                   .arg(n->Data().Kind)
                   .arg(ContactCaption(n->Data(), QStringLiteral(" contacts")), n->Data().Number);
        for (int c = 0; c < n->ChildCount(); ++c)
            out << QStringLiteral("  %1 %2").arg(ContactCaption(n->Child(c)->Data(), {}),
                                                 n->Child(c)->Data().Number);
    }
    return out;
}

} // namespace

class TestPhoneBook : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartCreatesCurrentFile_data();
    void firstStartCreatesCurrentFile();
    void shellWrittenFileLoads();
    void writtenFileOpensInShell();
    void upgradeFromLegacy_data();
    void upgradeFromLegacy();
    void backupRestoredWhenMainContactsMissing();
    void repeatedRebuildsKeepBackup();
    void insertUpdateDelete();
    void duplicateNumberGetsItsOwnRow();
    void listOperations();
    void saveRenameDropList();
    void nextContactId();
    void quotingRoundTrips_data();
    void quotingRoundTrips();
    void idsFollowRebuild();
    void refusedListNames_data();
    void refusedListNames();
    void damagedFileIsKeptAside();
    void lockedFileIsLeftAlone();
    void unreadableListLoadsWithoutMembers();
    void intDeclaredIdsLoad();
    void caseOnlyRename();
    void ownTablesAreNoListTables();

private:
    TPhoneBook Book() const { return TPhoneBook(m_current, m_legacy); }
    void Shell(const QString& file, const QByteArray& script);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_current;
    QString m_legacy;
};

void TestPhoneBook::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir(m_dir->path()).mkpath(QStringLiteral("data"));
    QDir(m_dir->path()).mkpath(QStringLiteral("bin"));
    m_current = m_dir->filePath(QStringLiteral("data/pbook.qpb"));
    m_legacy = m_dir->filePath(QStringLiteral("bin/pbook.qpb"));
}

void TestPhoneBook::cleanup()
{
    m_dir.reset();
}

void TestPhoneBook::Shell(const QString& file, const QByteArray& script)
{
    QByteArray errors;
    RunSqliteShell(file, script, &errors);
    QVERIFY2(errors.isEmpty(), errors.constData());
}

void TestPhoneBook::firstStartCreatesCurrentFile_data()
{
    QTest::addColumn<bool>("zeroByteFile");
    QTest::newRow("no file") << false;
    QTest::newRow("file of no bytes") << true;
}

void TestPhoneBook::firstStartCreatesCurrentFile()
{
    REQUIRE_SQLITE_SHELL();
    QFETCH(bool, zeroByteFile);
    if (zeroByteFile) {
        QFile empty(m_current);
        QVERIFY(empty.open(QIODevice::WriteOnly));
    }
    TPhoneBook book = Book();
    TContactsTree tree;
    QCOMPARE(book.GetPhoneBookVersion(), -1);
    QVERIFY(book.UpgradePhoneBook(-1, tree, m_dir->filePath(QStringLiteral("PBook.xml"))));
    QCOMPARE(tree.TopLevelCount(), 0);
    QCOMPARE(book.GetPhoneBookVersion(), 21);
    QCOMPARE(RunSqliteShell(m_current, "SELECT VERSION, typeof(VERSION) FROM QPB_DETAILS;"),
             QByteArray("21|integer\n"));
    QCOMPARE(RunSqliteShell(m_current, "SELECT count(*) FROM MainContacts;"), QByteArray("0\n"));
    TContactData contact;
    contact.NickName = QStringLiteral("a");
    contact.Number = QStringLiteral("+391");
    QVERIFY2(book.InsertContact(nullptr, contact), qPrintable(book.LastError()));
}

void TestPhoneBook::shellWrittenFileLoads()
{
    REQUIRE_SQLITE_SHELL();
    // Written the way the earlier program wrote it: double-quoted values, Windows-1252 bytes.
    Shell(m_current, kSchema +
                         "\nCREATE TABLE QPB_DETAILS ([VERSION] INTEGER);\n"
                         "INSERT INTO QPB_DETAILS (VERSION) VALUES (\"21\");\n"
                         "INSERT INTO MainContacts (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) "
                         "VALUES(\"Niccol\xF2\", \"Citt\xE0\", \"\", \"+39 333-12/34\", \"SINGLE\");\n"
                         "INSERT INTO MainContacts (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) "
                         "VALUES(\"\", \"\", \"\x80uro\", \"0039444\", \"SINGLE\");\n"
                         "INSERT INTO MainContacts (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) "
                         "VALUES(\"\", \"\", \"anna\", \"555\", \"SINGLE\");\n"
                         "INSERT INTO MainContacts (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) "
                         "VALUES(\"\", \"\", \"Amici\", \"7\", \"LIST\");\n"
                         "INSERT INTO MainContacts (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) "
                         "VALUES(\"\", \"\", \"Vuota\", \"3\", \"LIST\");\n"
                         "INSERT INTO MainContacts (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) "
                         "VALUES(\"\", \"\", \"odd\", \"1\", \"OTHER\");\n" +
                         ListSchema("Amici") +
                         "\nINSERT INTO \"Amici\" (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) "
                         "VALUES(\"\", \"\", \"zorro\", \"1 2\", \"SINGLE\");\n"
                         "INSERT INTO \"Amici\" (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) "
                         "VALUES(\"Jos\xE9\", \"\", \"\", \"3\", \"SINGLE\");\n");
    TPhoneBook book = Book();
    TContactsTree tree;
    QVERIFY2(book.LoadPhoneBook(tree), qPrintable(book.LastError()));
    QCOMPARE(Dump(tree), (QStringList{
                             QStringLiteral("0 anna 555"),
                             QStringLiteral("0 Niccolò Città +393331234"),
                             QStringLiteral("0 €uro 0039444"),
                             QStringLiteral("1 [Amici] (2 contacts) "),
                             QStringLiteral("  José  3"),
                             QStringLiteral("  zorro 12"),
                             QStringLiteral("1 [Vuota] (0 contacts) "),
                         }));
    QCOMPARE(tree.TopLevel(3)->Data().ImageIndex, TContactData::ListImage);
    QCOMPARE(tree.TopLevel(0)->Data().ImageIndex, TContactData::ContactImage);
}

void TestPhoneBook::writtenFileOpensInShell()
{
    REQUIRE_SQLITE_SHELL();
    TPhoneBook book = Book();
    TContactsTree tree;
    tree.AddNode(nullptr, Single(QStringLiteral("Città"), QStringLiteral("+39 333")));
    TContactNode* list = tree.AddNode(nullptr, ListRecord(QStringLiteral("Amici"), 1));
    tree.AddNode(list, Single(QStringLiteral("€"), QStringLiteral("1")));
    QVERIFY2(book.RebuildPhoneBook(tree), qPrintable(book.LastError()));

    const QByteArray schema = RunSqliteShell(m_current, ".schema MainContacts\n");
    QVERIFY2(schema.startsWith(kSchema), schema.constData());
    QVERIFY(schema.contains(
        "CREATE INDEX MainContacts_SELNAME ON [MainContacts]([NICK_NAME], [LAST_NAME], [FIRST_NAME]);"));
    QCOMPARE(RunSqliteShell(m_current, "SELECT sql FROM sqlite_master WHERE tbl_name = 'Amici';"),
             ListSchema("Amici").chopped(1) +
                 "\nCREATE INDEX \"Amici_SELNAME\" ON \"Amici\"([NICK_NAME], [LAST_NAME], "
                 "[FIRST_NAME])\n");
    QCOMPARE(RunSqliteShell(m_current,
                            "SELECT hex(NICK_NAME), NUMBER, typeof(NUMBER), CONTACT_TYPE FROM MainContacts "
                            "ORDER BY ID;"),
             QByteArray("43697474E0|+39 333|text|SINGLE\n416D696369|1|text|LIST\n"));
    QCOMPARE(RunSqliteShell(m_current, "SELECT hex(NICK_NAME), CONTACT_TYPE FROM Amici;"),
             QByteArray("80|SINGLE\n"));
    QCOMPARE(RunSqliteShell(m_current, "SELECT * FROM QPB_DETAILS;"), QByteArray("21\n"));
    QCOMPARE(RunSqliteShell(m_current, "PRAGMA integrity_check;"), QByteArray("ok\n"));
}

void TestPhoneBook::upgradeFromLegacy_data()
{
    QTest::addColumn<QByteArray>("marker");
    QTest::addColumn<int>("version");
    QTest::newRow("version 0: no marker") << QByteArray() << 0;
    QTest::newRow("version 20") << QByteArray("CREATE TABLE QPB_DETAILS ([VERSION] INTEGER);\n"
                                              "INSERT INTO QPB_DETAILS (VERSION) VALUES (\"20\");\n")
                                << 20;
}

void TestPhoneBook::upgradeFromLegacy()
{
    REQUIRE_SQLITE_SHELL();
    QFETCH(QByteArray, marker);
    QFETCH(int, version);
    Shell(m_legacy,
          kSchema + "\n" + marker +
              "INSERT INTO MainContacts (ID, NICK_NAME, NUMBER, CONTACT_TYPE) VALUES(40, \"b\", \"2\", "
              "\"SINGLE\");\n"
              "INSERT INTO MainContacts (ID, NICK_NAME, NUMBER, CONTACT_TYPE) VALUES(50, \"a\", \"1\", "
              "\"SINGLE\");\n"
              "INSERT INTO MainContacts (ID, NICK_NAME, NUMBER, CONTACT_TYPE) VALUES(60, \"L\", \"1\", "
              "\"LIST\");\n" +
              ListSchema("L") + "\nINSERT INTO L (NICK_NAME, NUMBER) VALUES (\"m\", \"9\");\n");
    TPhoneBook book = Book();
    QCOMPARE(book.GetPhoneBookVersion(), version);
    TContactsTree tree;
    QVERIFY2(book.UpgradePhoneBook(version, tree, m_dir->filePath(QStringLiteral("none.xml"))),
             qPrintable(book.LastError()));
    QCOMPARE(Dump(tree), (QStringList{QStringLiteral("0 a 1"), QStringLiteral("0 b 2"),
                                      QStringLiteral("1 [L] (1 contacts) "), QStringLiteral("  m 9")}));
    QCOMPARE(book.GetPhoneBookVersion(), 21);
    QCOMPARE(RunSqliteShell(m_current, "SELECT ID, NICK_NAME FROM MainContacts ORDER BY ID;"),
             QByteArray("1|a\n2|b\n3|L\n"));
    QCOMPARE(RunSqliteShell(m_current, "SELECT VERSION FROM QPB_DETAILS;"), QByteArray("21\n"));
    // the tree holds the current file's IDs
    QCOMPARE(tree.TopLevel(0)->Data().ID, 1);
    QCOMPARE(tree.TopLevel(2)->Data().ID, 3);
}

void TestPhoneBook::backupRestoredWhenMainContactsMissing()
{
    REQUIRE_SQLITE_SHELL();
    Shell(m_current, kSchema +
                         "\nINSERT INTO MainContacts (NICK_NAME, NUMBER, CONTACT_TYPE) VALUES ('x', '1', "
                         "'SINGLE');\nALTER TABLE MainContacts RENAME TO MainContactsBackup;\n");
    TPhoneBook book = Book();
    TContactsTree tree;
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(Dump(tree), QStringList{QStringLiteral("0 x 1")});
    QCOMPARE(RunSqliteShell(m_current,
                            "SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE 'Main%';"),
             QByteArray("MainContacts\n"));
}

void TestPhoneBook::repeatedRebuildsKeepBackup()
{
    TPhoneBook book = Book();
    TContactsTree tree;
    for (int round = 1; round <= 3; ++round) {
        tree.AddNode(nullptr, Single(QStringLiteral("c%1").arg(round), QString::number(round)));
        QVERIFY2(book.RebuildPhoneBook(tree), qPrintable(book.LastError()));
        TSQLiteDatabase db(m_current);
        QCOMPARE(db.Query("SELECT * FROM MainContacts").RowCount(), quint32(round));
        QCOMPARE(round == 1 ? 0u : db.Query("SELECT * FROM MainContactsBackup").RowCount(),
                 quint32(round - 1));
    }
}

void TestPhoneBook::insertUpdateDelete()
{
    TPhoneBook book = Book();
    TContactsTree tree;
    QVERIFY(book.LoadPhoneBook(tree)); // creates the file
    TContactData a =
        Single(QStringLiteral("Anna"), QStringLiteral("111"), QStringLiteral("A"), QStringLiteral("N"));
    QVERIFY(book.InsertContact(nullptr, a));
    QCOMPARE(a.ID, 1);
    TContactData b = Single(QStringLiteral("Bruno"), QStringLiteral("222"));
    QVERIFY(book.InsertContact(nullptr, b));
    QCOMPARE(b.ID, 2);

    TContactData changed = a;
    changed.NickName = QStringLiteral("Annie");
    changed.Number = QStringLiteral("333");
    changed.FirstName = QStringLiteral("ignored");
    QVERIFY(book.UpdateContact(nullptr, changed));
    QVERIFY(book.DeleteContact(nullptr, b));
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(Dump(tree), QStringList{QStringLiteral("0 Annie 333")});
    QCOMPARE(tree.TopLevel(0)->Data().FirstName, QStringLiteral("A")); // names are not changed
}

void TestPhoneBook::duplicateNumberGetsItsOwnRow()
{
    TPhoneBook book = Book();
    TContactsTree tree;
    QVERIFY(book.LoadPhoneBook(tree));
    TContactData first = Single(QStringLiteral("first"), QStringLiteral("555"));
    TContactData second = Single(QStringLiteral("second"), QStringLiteral("555"));
    QVERIFY(book.InsertContact(nullptr, first));
    QVERIFY(book.InsertContact(nullptr, second));
    QVERIFY(first.ID != second.ID);
    second.NickName = QStringLiteral("renamed");
    QVERIFY(book.UpdateContact(nullptr, second));
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(Dump(tree), (QStringList{QStringLiteral("0 first 555"), QStringLiteral("0 renamed 555")}));
}

void TestPhoneBook::listOperations()
{
    TPhoneBook book = Book();
    TContactsTree tree;
    TContactNode* list = tree.AddNode(nullptr, ListRecord(QStringLiteral("Team"), 3));
    for (const char* nick : {"x", "y", "z"})
        tree.AddNode(list, Single(QString::fromLatin1(nick), QStringLiteral("1")));
    tree.AddNode(nullptr, Single(QStringLiteral("solo"), QStringLiteral("2")));
    QVERIFY(book.RebuildPhoneBook(tree));
    QVERIFY(book.LoadPhoneBook(tree));
    list = tree.TopLevel(1);
    QCOMPARE(list->ChildCount(), 3);

    QVERIFY(book.DeleteListMember(nullptr, list->Data(), list->Child(1)->Data()));
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(tree.TopLevel(1)->Data().Count, 2);
    TSQLiteDatabase db(m_current);
    QCOMPARE(db.Query("SELECT NUMBER FROM MainContacts WHERE CONTACT_TYPE = 'LIST'").FieldText(0),
             QByteArray("3"));

    QList<TContactData> members;
    QVERIFY(book.LoadListIntoMemory(members, QStringLiteral("team")));
    QCOMPARE(members.size(), 2);
    QCOMPARE(TPhoneBook::CheckListLine(members[0]), QStringLiteral("1 - x"));
    TContactData unnamed =
        Single(QStringLiteral("  "), QStringLiteral("7"), QStringLiteral("F"), QStringLiteral("L"));
    QCOMPARE(TPhoneBook::CheckListLine(unnamed), QStringLiteral("F L - 7"));

    QVERIFY(book.DeleteList(nullptr, tree.TopLevel(1)->Data()));
    QVERIFY(!db.HasTable(QStringLiteral("Team")));
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(Dump(tree), QStringList{QStringLiteral("0 solo 2")});
}

void TestPhoneBook::saveRenameDropList()
{
    TPhoneBook book = Book();
    TContactsTree tree;
    QVERIFY(book.LoadPhoneBook(tree));
    QList<TContactData> members;
    for (int i = 0; i < 450; ++i)
        members << Single(QStringLiteral("m%1").arg(i), QString::number(i));
    QList<int> steps;
    const qint32 id =
        book.SaveListTable(QStringLiteral("Big"), members, true, [&](int done) { steps << done; });
    QCOMPARE(steps, (QList<int>{0, 200, 400}));
    QCOMPARE(id, 1);
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(tree.TopLevel(0)->Data().Count, 450);
    QCOMPARE(tree.TopLevel(0)->Data().ID, id);

    QVERIFY2(book.RenameList(id, QStringLiteral("Big"), QStringLiteral("Grande")),
             qPrintable(book.LastError()));
    // a new list may take the old name: its index name is free again
    QCOMPARE(book.SaveListTable(QStringLiteral("Big"), members.mid(0, 2), true), 2);
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(
        Dump(tree).filter(QStringLiteral("[")),
        (QStringList{QStringLiteral("1 [Big] (2 contacts) "), QStringLiteral("1 [Grande] (450 contacts) ")}));
    book.DropListTable(QStringLiteral("Grande"));
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(tree.TopLevel(1)->Data().Count, 0);
}

void TestPhoneBook::nextContactId()
{
    TPhoneBook book = Book();
    QCOMPARE(book.NextContactID(), 1);
    TContactsTree tree;
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(book.NextContactID(), 1);
    TContactData c = Single(QStringLiteral("c"), QStringLiteral("1"));
    QVERIFY(book.InsertContact(nullptr, c));
    QVERIFY(book.InsertContact(nullptr, c));
    QCOMPARE(book.NextContactID(), 3);
}

void TestPhoneBook::quotingRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("double quote") << QStringLiteral("The \"Boss\"");
    QTest::newRow("single quote") << QStringLiteral("D'Angelo");
    QTest::newRow("column name NUMBER") << QStringLiteral("NUMBER");
    QTest::newRow("column name ID") << QStringLiteral("ID");
    QTest::newRow("SQL in a name") << QStringLiteral("x'); DROP TABLE MainContacts; --");
    QTest::newRow("brackets") << QStringLiteral("[a] \"b\" 'c'");
}

void TestPhoneBook::quotingRoundTrips()
{
    REQUIRE_SQLITE_SHELL();
    QFETCH(QString, text);
    TPhoneBook book = Book();
    TContactsTree tree;
    QVERIFY(book.LoadPhoneBook(tree));
    TContactData c = Single(text, QStringLiteral("1"), text, text);
    QVERIFY2(book.InsertContact(nullptr, c), qPrintable(book.LastError()));
    TContactData list = ListRecord(text);
    QVERIFY2(book.InsertContact(nullptr, list), qPrintable(book.LastError()));
    QCOMPARE(book.SaveListTable(text, {Single(text, text)}, false), 0);
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(tree.TopLevelCount(), 2);
    QCOMPARE(tree.TopLevel(0)->Data().NickName, text);
    QCOMPARE(tree.TopLevel(0)->Data().FirstName, text);
    QCOMPARE(tree.TopLevel(1)->Data().NickName, text);
    QCOMPARE(tree.TopLevel(1)->ChildCount(), 1);
    QCOMPARE(tree.TopLevel(1)->Child(0)->Data().NickName, text);

    c.NickName = text + text;
    QVERIFY(book.UpdateContact(nullptr, c));
    QVERIFY(book.LoadPhoneBook(tree));
    QVERIFY(book.RebuildPhoneBook(tree)); // every statement of the rewrite with the same text
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(tree.TopLevel(0)->Data().NickName, text + text);
    QCOMPARE(tree.TopLevel(1)->Child(0)->Data().Number, text.remove(u' ').remove(u'-').remove(u'/'));
    // stored as the plain text, readable by the shell
    QCOMPARE(RunSqliteShell(m_current, "SELECT FIRST_NAME FROM MainContacts WHERE CONTACT_TYPE = 'SINGLE';"),
             ToWin1252(tree.TopLevel(0)->Data().FirstName) + '\n');
    QCOMPARE(RunSqliteShell(m_current,
                            "SELECT count(*) FROM " + SqlIdentifier(tree.TopLevel(1)->Data().NickName) + ";"),
             QByteArray("1\n"));
}

void TestPhoneBook::idsFollowRebuild()
{
    TPhoneBook book = Book();
    TContactsTree tree;
    QVERIFY(book.LoadPhoneBook(tree));
    TContactData c = Single(QStringLiteral("zz"), QStringLiteral("9"));
    QVERIFY(book.InsertContact(nullptr, c));
    TContactData d = Single(QStringLiteral("aa"), QStringLiteral("8"));
    QVERIFY(book.InsertContact(nullptr, d));
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(tree.TopLevel(1)->Data().ID, 1); // zz kept ID 1 before the rewrite...
    QVERIFY(book.RebuildPhoneBook(tree));
    QCOMPARE(tree.TopLevel(0)->Data().ID, 1); // ...the rewrite numbers in tree order, and the tree follows
    QCOMPARE(tree.TopLevel(1)->Data().ID, 2);
    TContactData zz = tree.TopLevel(1)->Data();
    zz.NickName = QStringLiteral("zz2");
    QVERIFY(book.UpdateContact(nullptr, zz));
    QVERIFY(book.DeleteContact(nullptr, tree.TopLevel(0)->Data()));
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(Dump(tree), QStringList{QStringLiteral("0 zz2 9")});
}

void TestPhoneBook::refusedListNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << QString() << QStringLiteral("A list needs a name.");
    QTest::newRow("MainContacts") << QStringLiteral("maincontacts") << QStringLiteral("MainContacts");
    QTest::newRow("MainContactsBackup")
        << QStringLiteral("MAINCONTACTSBACKUP") << QStringLiteral("MainContactsBackup");
    QTest::newRow("QPB_DETAILS") << QStringLiteral("Qpb_Details") << QStringLiteral("QPB_DETAILS");
    QTest::newRow("sqlite_") << QStringLiteral("SQLite_sequence") << QStringLiteral("sqlite_");
    QTest::newRow("other list in other case") << QStringLiteral("AMICI") << QStringLiteral("\"Amici\"");
    QTest::newRow("index of other list") << QStringLiteral("amici_selname") << QStringLiteral("index");
}

void TestPhoneBook::refusedListNames()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    TPhoneBook book = Book();
    TContactsTree tree;
    tree.AddNode(nullptr, ListRecord(QStringLiteral("Amici")));
    tree.AddNode(nullptr, ListRecord(QStringLiteral("Other")));
    QVERIFY(book.RebuildPhoneBook(tree));

    TContactData list = ListRecord(name);
    QVERIFY(!book.InsertContact(nullptr, list));
    QVERIFY2(book.LastError().contains(reason), qPrintable(book.LastError()));
    QVERIFY_THROWS_EXCEPTION(ESQLiteException, book.SaveListTable(name, {}, true));
    QVERIFY(!book.RenameList(2, QStringLiteral("Other"), name));
    QVERIFY2(book.LastError().contains(reason), qPrintable(book.LastError()));

    tree.AddNode(nullptr, ListRecord(name));
    QVERIFY(!book.RebuildPhoneBook(tree));
    QVERIFY2(book.LastError().contains(reason), qPrintable(book.LastError()));
    // nothing was written: the file still holds the two lists
    TContactsTree loaded;
    QVERIFY(book.LoadPhoneBook(loaded));
    QCOMPARE(Dump(loaded), (QStringList{QStringLiteral("1 [Amici] (0 contacts) "),
                                        QStringLiteral("1 [Other] (0 contacts) ")}));
}

void TestPhoneBook::damagedFileIsKeptAside()
{
    QByteArray garbage(8192, 'x');
    garbage.prepend("not a database");
    {
        QFile f(m_current);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(garbage);
    }
    TPhoneBook book = Book();
    TContactsTree tree;
    tree.AddNode(nullptr, Single(QStringLiteral("old"), QStringLiteral("1")));
    QVERIFY(!book.LoadPhoneBook(tree));
    QVERIFY2(book.LastError().contains(book.QuarantinedFile()), qPrintable(book.LastError()));
    QFile kept(book.QuarantinedFile());
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), garbage);
    // a new, empty phone book took its place and works
    TContactsTree fresh;
    QVERIFY2(book.LoadPhoneBook(fresh), qPrintable(book.LastError()));
    QCOMPARE(fresh.TopLevelCount(), 0);
    TContactData c = Single(QStringLiteral("new"), QStringLiteral("2"));
    QVERIFY(book.InsertContact(nullptr, c));
}

void TestPhoneBook::lockedFileIsLeftAlone()
{
    TPhoneBook book = Book();
    TContactsTree tree;
    tree.AddNode(nullptr, Single(QStringLiteral("kept"), QStringLiteral("1")));
    QVERIFY(book.RebuildPhoneBook(tree));
    TSQLiteDatabase other(m_current);
    other.Execute("BEGIN EXCLUSIVE;");
    TContactsTree loaded;
    loaded.AddNode(nullptr, Single(QStringLiteral("shown"), QStringLiteral("2")));
    QVERIFY(!book.LoadPhoneBook(loaded));
    QVERIFY2(book.LastError().contains(QStringLiteral("locked")), qPrintable(book.LastError()));
    QVERIFY(book.QuarantinedFile().isEmpty());
    QCOMPARE(Dump(loaded), QStringList{QStringLiteral("0 shown 2")}); // the tree keeps what it showed
    QVERIFY(!book.RebuildPhoneBook(loaded));
    other.Execute("ROLLBACK;");
    QVERIFY(book.LoadPhoneBook(loaded));
    QCOMPARE(Dump(loaded), QStringList{QStringLiteral("0 kept 1")});
}

void TestPhoneBook::unreadableListLoadsWithoutMembers()
{
    REQUIRE_SQLITE_SHELL();
    // "Broken" sorts before "zed" in the load's query; its table lacks the member columns.
    Shell(m_current,
          kSchema +
              "\nINSERT INTO MainContacts (NICK_NAME, NUMBER, CONTACT_TYPE) "
              "VALUES('Broken', '4', 'LIST');\n"
              "INSERT INTO MainContacts (NICK_NAME, NUMBER, CONTACT_TYPE) VALUES('zed', '9', 'SINGLE');\n"
              "CREATE TABLE Broken (ID INTEGER, NOTE TEXT);\n"
              "INSERT INTO Broken VALUES (1, 'x');\n");
    TPhoneBook book = Book();
    TContactsTree tree;
    QVERIFY2(book.LoadPhoneBook(tree), qPrintable(book.LastError()));
    QCOMPARE(Dump(tree),
             (QStringList{QStringLiteral("0 zed 9"), QStringLiteral("1 [Broken] (0 contacts) ")}));
}

void TestPhoneBook::intDeclaredIdsLoad()
{
    REQUIRE_SQLITE_SHELL();
    // Made by hand in the shell: an ID declared INT is a text column to the layer.
    const QByteArray columns =
        " (ID int PRIMARY KEY, FIRST_NAME text, LAST_NAME text, NICK_NAME text, NUMBER "
        "text, CONTACT_TYPE text);\n";
    Shell(m_current, "CREATE TABLE MainContacts" + columns + "CREATE TABLE Team" + columns +
                         "INSERT INTO MainContacts VALUES (7, '', '', 'solo', '1', 'SINGLE');\n"
                         "INSERT INTO MainContacts VALUES (9, '', '', 'Team', '1', 'LIST');\n"
                         "INSERT INTO Team VALUES (3, '', '', 'member', '2', 'SINGLE');\n");
    TPhoneBook book = Book();
    TContactsTree tree;
    QVERIFY2(book.LoadPhoneBook(tree), qPrintable(book.LastError()));
    QCOMPARE(Dump(tree), (QStringList{QStringLiteral("0 solo 1"), QStringLiteral("1 [Team] (1 contacts) "),
                                      QStringLiteral("  member 2")}));
    QCOMPARE(tree.TopLevel(0)->Data().ID, 7);
    QCOMPARE(tree.TopLevel(1)->Data().ID, 9);
    QCOMPARE(tree.TopLevel(1)->Child(0)->Data().ID, 3);
    QList<TContactData> members;
    QVERIFY(book.LoadListIntoMemory(members, QStringLiteral("Team")));
    QCOMPARE(members.value(0).ID, 3);
}

void TestPhoneBook::caseOnlyRename()
{
    TPhoneBook book = Book();
    TContactsTree tree;
    QVERIFY(book.LoadPhoneBook(tree));
    const qint32 id =
        book.SaveListTable(QStringLiteral("amici"), {Single(QStringLiteral("m"), QStringLiteral("5"))}, true);
    QVERIFY2(book.RenameList(id, QStringLiteral("amici"), QStringLiteral("Amici")),
             qPrintable(book.LastError()));
    QVERIFY(book.RenameList(id, QStringLiteral("Amici"), QStringLiteral("Amici")));
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(Dump(tree), (QStringList{QStringLiteral("1 [Amici] (1 contacts) "), QStringLiteral("  m 5")}));
    QCOMPARE(book.ListNames(), QStringList{QStringLiteral("Amici")});
    TSQLiteDatabase db(m_current);
    QCOMPARE(db.Query("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name LIKE 'amici%'")
                 .FieldText(0),
             QByteArray("1"));
}

void TestPhoneBook::ownTablesAreNoListTables()
{
    REQUIRE_SQLITE_SHELL();
    // A damaged file: a LIST row named like the phone book's own tables.
    Shell(m_current,
          kSchema +
              "\nCREATE TABLE QPB_DETAILS ([VERSION] INTEGER);\n"
              "INSERT INTO QPB_DETAILS (VERSION) VALUES (21);\n"
              "INSERT INTO MainContacts (NICK_NAME, NUMBER, CONTACT_TYPE) VALUES('solo', '1', 'SINGLE');\n"
              "INSERT INTO MainContacts (NICK_NAME, NUMBER, CONTACT_TYPE) "
              "VALUES('MainContacts', '0', 'LIST');\n"
              "INSERT INTO MainContacts (NICK_NAME, NUMBER, CONTACT_TYPE) "
              "VALUES('QPB_DETAILS', '0', 'LIST');\n");
    TPhoneBook book = Book();
    TContactsTree tree;
    QVERIFY2(book.LoadPhoneBook(tree), qPrintable(book.LastError()));
    QCOMPARE(Dump(tree),
             (QStringList{QStringLiteral("0 solo 1"), QStringLiteral("1 [MainContacts] (0 contacts) "),
                          QStringLiteral("1 [QPB_DETAILS] (0 contacts) ")}));
    const TContactData mainList = tree.TopLevel(1)->Data();
    const TContactData solo = tree.TopLevel(0)->Data();

    QList<TContactData> members{solo};
    QVERIFY(book.LoadListIntoMemory(members, QStringLiteral("MainContacts")));
    QCOMPARE(members.size(), 0);
    QVERIFY(!book.DeleteListMember(nullptr, mainList, solo));
    QVERIFY(!book.RenameList(mainList.ID, QStringLiteral("MainContacts"), QStringLiteral("Gone")));
    QVERIFY_THROWS_EXCEPTION(ESQLiteException, book.DropListTable(QStringLiteral("MainContacts")));
    QVERIFY_THROWS_EXCEPTION(ESQLiteException, book.SaveListTable(QStringLiteral("QPB_DETAILS"), {}, false));
    // deleting such a list removes its row and leaves the table it never owned
    QVERIFY(book.DeleteList(nullptr, mainList));
    QVERIFY(book.DeleteList(nullptr, tree.TopLevel(2)->Data()));

    TSQLiteDatabase db(m_current);
    QVERIFY(db.HasTable(QStringLiteral("MainContacts")));
    QVERIFY(db.HasTable(QStringLiteral("QPB_DETAILS")));
    QCOMPARE(db.Query("SELECT VERSION FROM QPB_DETAILS").FieldText(0), QByteArray("21"));
    QVERIFY(book.LoadPhoneBook(tree));
    QCOMPARE(Dump(tree), QStringList{QStringLiteral("0 solo 1")});
}

QTEST_GUILESS_MAIN(TestPhoneBook)
#include "TestPhoneBook.moc"
