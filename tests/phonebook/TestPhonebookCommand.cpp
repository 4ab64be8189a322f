#include "cli/CliCommand.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"

#include <QTemporaryDir>
#include <QtTest>

class TestPhonebookCommand : public QObject
{
    Q_OBJECT

private slots:
    void addThenDump();
    void importLegacyRefusesToReplaceSilently();
    void rebuildNumbersRowsInTreeOrder();
    void badArguments_data();
    void badArguments();

private:
    int Run(const QStringList& args, const QString& file)
    {
        m_out.clear();
        m_err.clear();
        QTextStream out(&m_out);
        QTextStream err(&m_err);
        const int rc = RunPhonebookCommand(args, CliIo{out, err}, file);
        out.flush();
        err.flush();
        return rc;
    }
    QString m_out;
    QString m_err;
};

void TestPhonebookCommand::addThenDump()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pbook.qpb"));
    QCOMPARE(Run({QStringLiteral("add"), QStringLiteral("zeta \"z\""), QStringLiteral("+39 333")}, file),
             int(CliOk));
    QCOMPARE(m_out, QStringLiteral("added contact 1\n"));
    QCOMPARE(Run({QStringLiteral("add"), QStringLiteral("NUMBER"), QStringLiteral("1-2")}, file), int(CliOk));
    QCOMPARE(Run({QStringLiteral("dump")}, file), int(CliOk));
    QCOMPARE(m_out, QStringLiteral("contact\t2\tNUMBER\t12\ncontact\t1\tzeta \"z\"\t+39333\n"));
}

void TestPhonebookCommand::importLegacyRefusesToReplaceSilently()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pbook.qpb"));
    const QString xml = dir.filePath(QStringLiteral("PBook.xml"));
    QFile f(xml);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<CONTACTS><C><NICK_NAME>Citt\xE0</NICK_NAME><PHONE_NUMBER>7</PHONE_NUMBER></C></CONTACTS>");
    f.close();
    QCOMPARE(Run({QStringLiteral("add"), QStringLiteral("old"), QStringLiteral("1")}, file), int(CliOk));
    QCOMPARE(Run({QStringLiteral("import-legacy"), xml}, file), int(CliRefused));
    QVERIFY(m_err.contains(QStringLiteral("--replace")));
    QCOMPARE(Run({QStringLiteral("import-legacy"), xml, QStringLiteral("--replace")}, file), int(CliOk));
    QCOMPARE(m_out, QStringLiteral("imported 1 contacts and 0 lists with 0 members\n"));
    QCOMPARE(Run({QStringLiteral("dump")}, file), int(CliOk));
    QCOMPARE(m_out, QStringLiteral("contact\t1\tCittà\t7\n"));
}

void TestPhonebookCommand::rebuildNumbersRowsInTreeOrder()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pbook.qpb"));
    TPhoneBook book(file, QString());
    TContactsTree empty;
    QVERIFY(book.LoadPhoneBook(empty)); // creates the file
    TContactData zeta, gone, alfa;
    zeta.NickName = QStringLiteral("Zeta");
    gone.NickName = QStringLiteral("Gone");
    alfa.NickName = QStringLiteral("alfa");
    for (TContactData* d : {&zeta, &gone, &alfa})
        QVERIFY(book.InsertContact(nullptr, *d));
    QVERIFY(book.DeleteContact(nullptr, gone));
    QCOMPARE(Run({QStringLiteral("rebuild")}, file), int(CliOk));
    QCOMPARE(m_out, QStringLiteral("rewrote 2 contacts and 0 lists with 0 members\n"));
    QCOMPARE(Run({QStringLiteral("dump")}, file), int(CliOk));
    QCOMPARE(m_out, QStringLiteral("contact\t1\talfa\t\ncontact\t2\tZeta\t\n"));
}

void TestPhonebookCommand::badArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("add without number") << QStringList{QStringLiteral("add"), QStringLiteral("x")};
    QTest::newRow("dump with extra") << QStringList{QStringLiteral("dump"), QStringLiteral("x")};
    QTest::newRow("rebuild with extra") << QStringList{QStringLiteral("rebuild"), QStringLiteral("x")};
    QTest::newRow("unknown verb") << QStringList{QStringLiteral("drop")};
}

void TestPhonebookCommand::badArguments()
{
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    QCOMPARE(Run(args, dir.filePath(QStringLiteral("pbook.qpb"))), int(CliBadArguments));
    QVERIFY(m_err.startsWith(QStringLiteral("usage:")));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("pbook.qpb"))));
}

QTEST_GUILESS_MAIN(TestPhonebookCommand)
#include "TestPhonebookCommand.moc"
