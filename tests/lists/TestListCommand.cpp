#include "ListTestSupport.h"
#include "cli/CliCommand.h"
#include "phonebook/SqliteShell.h"

#include <QTemporaryDir>
#include <QtTest>

// brelmont-cli list and phonebook import-contacts end to end, the phone book read back by the
// sqlite3 shell.
class TestListCommand : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void listLifeCycle();
    void missingPrefixWritesNothing();
    void refusals_data();
    void refusals();
    void contactsFromAddressBook();

private:
    int Run(const QStringList& args)
    {
        m_out.clear();
        m_err.clear();
        QTextStream out(&m_out);
        QTextStream err(&m_err);
        const int rc = args.value(0) == u"import-contacts"
                           ? RunImportContactsCommand(args.mid(1), {out, err}, m_file)
                           : RunListCommand(args, {out, err}, m_file);
        out.flush();
        err.flush();
        return rc;
    }
    QByteArray Sql(const QByteArray& script) { return RunSqliteShell(m_file, script); }
    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile f(m_dir->filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return f.fileName();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
    QString m_out;
    QString m_err;
};

void TestListCommand::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_file = m_dir->filePath(S("pbook.qpb"));
}

void TestListCommand::listLifeCycle()
{
    REQUIRE_SQLITE_SHELL();
    const QString csv =
        WriteFile(S("amici.csv"), "Rossi;Mario;0039 333 111\n333 222\nAnna;+39 333 111\nx;y;z;w\n");
    QCOMPARE(Run(Strings({"import", "Amici", ""}) << csv << S("--prefix") << S("+39")), int(CliBadArguments));
    QCOMPARE(Run({S("import"), S("Amici"), csv, S("--prefix"), S("+39")}), int(CliOk));
    QCOMPARE(m_out,
             S("Total imported numbers: 2.\nTotal duplicates number: 1.\nTotal incorrect numbers: 0.\n"));
    QCOMPARE(Sql("SELECT NUMBER, NICK_NAME, CONTACT_TYPE FROM \"Amici\" ORDER BY ID;"),
             QByteArray("+39333222|No Name|SINGLE\n+39333111|Rossi Mario|SINGLE\n"));
    QCOMPARE(Run({S("show")}), int(CliOk));
    QCOMPARE(m_out, S("Amici\t2\n"));

    // Importing again replaces the members.
    QCOMPARE(Run({S("import"), S("amici"), Fixture(S("lists.xlsx")), S("--prefix"), S("+44")}), int(CliOk));
    QCOMPARE(Run({S("show"), S("Amici")}), int(CliOk));
    QCOMPARE(m_out.count(u'\n'), 5);
    QVERIFY(m_out.startsWith(S("+44393471234568\tBig\n+44393471234567\tAnna\n")));

    QCOMPARE(Run({S("rename"), S("Amici"), S("Citt\u00e0")}), int(CliOk));
    QCOMPARE(Sql("SELECT NICK_NAME FROM MainContacts WHERE CONTACT_TYPE = 'LIST';"),
             QByteArray("Citt\xE0\n"));
    const QString shown = (Run({S("show"), S("Citt\u00e0")}), m_out);

    QCOMPARE(Run({S("export"), S("Citt\u00e0"), m_dir->filePath(S("out"))}), int(CliOk));
    QFile exported(m_dir->filePath(S("out.csv")));
    QVERIFY(exported.open(QIODevice::ReadOnly));
    const QByteArray bytes = exported.readAll();
    QVERIFY(bytes.startsWith("Big;+44393471234568\r\nAnna;+44393471234567\r\n"));
    QCOMPARE(Run({S("import"), S("Copia"), exported.fileName()}), int(CliOk));
    QCOMPARE((Run({S("show"), S("Copia")}), m_out), shown);

    QCOMPARE(Run({S("delete"), S("Citt\u00e0")}), int(CliOk));
    QCOMPARE(Sql("SELECT count(*) FROM sqlite_master WHERE name = 'Citt\xE0';"
                 "SELECT NICK_NAME FROM MainContacts;"),
             QByteArray("0\nCopia\n"));
}

void TestListCommand::missingPrefixWritesNothing()
{
    REQUIRE_SQLITE_SHELL();
    const QString csv = WriteFile(S("l.csv"), "a;+39 1\nb;0612 345\n");
    QCOMPARE(Run({S("import"), S("Nuova"), csv}), int(CliBadArguments));
    QVERIFY(m_err.contains(S("612345")));
    QCOMPARE(Sql("SELECT count(*) FROM sqlite_master WHERE name = 'Nuova';"), QByteArray("0\n"));
}

void TestListCommand::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("rc");
    QTest::newRow("unknown verb") << Strings({"drop", "x"}) << int(CliBadArguments);
    QTest::newRow("bad prefix") << Strings({"import", "A", "f.csv", "--prefix", "39"})
                                << int(CliBadArguments);
    QTest::newRow("reserved name") << Strings({"import", "MainContacts", "f.csv"}) << int(CliBadArguments);
    QTest::newRow("unsupported file") << Strings({"import", "A", "f.pdf"}) << int(CliBadArguments);
    QTest::newRow("missing file") << Strings({"import", "A", "missing.csv"}) << int(CliRefused);
    QTest::newRow("binary file") << Strings({"import", "A", "bin.csv"}) << int(CliRefused);
    QTest::newRow("no such list") << Strings({"show", "Nessuna"}) << int(CliRefused);
}

void TestListCommand::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, rc);
    WriteFile(S("f.csv"), "a;+391\n");
    WriteFile(S("f.pdf"), "a;+391\n");
    WriteFile(S("bin.csv"), QByteArray("\x7f"
                                       "ELF\0\0;12345",
                                       12));
    for (QString& arg : args)
        if (arg.contains(u'.'))
            arg = m_dir->filePath(arg);
    QCOMPARE(Run(args), rc);
    QVERIFY(!m_err.isEmpty());
    QCOMPARE(Run({S("show")}), int(CliOk));
    QCOMPARE(m_out, QString());
}

void TestListCommand::contactsFromAddressBook()
{
    REQUIRE_SQLITE_SHELL();
    const QStringList args{S("import-contacts"), Fixture(S("contacts.vcf")), S("--mobile-only")};
    QCOMPARE(Run(args), int(CliBadArguments));
    QCOMPARE(Run(QStringList(args) << S("--prefix") << S("+39")), int(CliOk));
    QCOMPARE(m_out, S("imported 3 contacts\n"));
    QCOMPARE(Sql("SELECT NICK_NAME, NUMBER FROM MainContacts ORDER BY ID;"),
             QByteArray("alberto|+393201234567\nAnna Bianchi|+393470001111\nNicol\xF2 Citt\xE0 della "
                        "Valle|+393331234567\n"));
}

QTEST_GUILESS_MAIN(TestListCommand)
#include "TestListCommand.moc"
