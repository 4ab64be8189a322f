#include "cli/CliCommand.h"
#include "cli/PhoneBookLists.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestCountCommand : public QObject
{
    Q_OBJECT

private slots:
    void output_data();
    void output();
    void textFromInput_data();
    void textFromInput();
    void listsThroughTheReader();
    void listsFromThePhoneBook();
    void numbersFromAFile();
    void badArguments_data();
    void badArguments();
};

namespace {
struct Run
{
    int code = 0;
    QString out;
    QString err;
};

Run RunCount(const QStringList& args, const std::function<QStringList(const QString&)>& readList = {},
             QIODevice* input = nullptr)
{
    Run r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = RunCountCommand(args, CliIo{out, err}, readList, input);
    out.flush();
    err.flush();
    return r;
}
} // namespace

void TestCountCommand::output_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("notes"); // stderr
    QTest::newRow("unicode two parts, three recipients")
        << QStringList{QStringLiteral("--text"),       QStringLiteral("\u00E1").repeated(75),
                       QStringLiteral("--recipients"), QStringLiteral("3"),
                       QStringLiteral("--language"),   QStringLiteral("ITA")}
        << QStringLiteral(
               "counter: (Unicode) 75/134\nparts: 2\ntotal-sms: 6\nunicode: yes\ntoo-long: no\n"
               "recipients: 3\nduplicates: 0\nlabel:  Contatti selezionati (3)\nsend: Invia 6 sms\n")
        << QString();
    QTest::newRow("LF counts as CR LF")
        << QStringList{QStringLiteral("--text"), QStringLiteral("Ciao\nCi\u00E1o"),
                       QStringLiteral("--language"), QStringLiteral("ENG")}
        << QStringLiteral("counter: (Unicode) 10/70\nparts: 1\ntotal-sms: 0\nunicode: yes\ntoo-long: no\n"
                          "recipients: 0\nduplicates: 0\nlabel:  Selected contacts (0)\nsend: Send\n")
        << QString();
    QTest::newRow("too long with duplicates")
        << QStringList{QStringLiteral("--text"),       QStringLiteral("a").repeated(613),
                       QStringLiteral("--recipients"), QStringLiteral("10"),
                       QStringLiteral("--duplicates"), QStringLiteral("2"),
                       QStringLiteral("--language"),   QStringLiteral("POR")}
        << QStringLiteral(
               "counter: 613/612\nparts: 4\ntotal-sms: 40\nunicode: no\ntoo-long: yes\n"
               "recipients: 10\nduplicates: 2\nlabel:  Contactos seleccionados (12 / 2 Descartados "
               "duplicados)\nsend: Envia 40 sms\nstatus: Texto muito longo\n")
        << QString();
    QTest::newRow("typed numbers de-duplicated")
        << QStringList{QStringLiteral("--text"),     QStringLiteral("[x]"),
                       QStringLiteral("--to"),       QStringLiteral("0039 333 1234567"),
                       QStringLiteral("--to"),       QStringLiteral("+0393331234567;+39 333 1234567"),
                       QStringLiteral("--language"), QStringLiteral("ITA")}
        << QStringLiteral(
               "counter: 5/160\nparts: 1\ntotal-sms: 1\nunicode: no\ntoo-long: no\nrecipients: 1\n"
               "duplicates: 2\nlabel:  Contatti selezionati (3 / 2 Scartati doppi)\nsend: Invia 1 sms\n"
               "destinations: +393331234567;\n")
        << QString();
    QTest::newRow("too long number left out")
        << QStringList{QStringLiteral("--text"),     QStringLiteral("x"),
                       QStringLiteral("--to"),       QStringLiteral("+3933312345678901234567;+39333"),
                       QStringLiteral("--language"), QStringLiteral("ENG")}
        << QStringLiteral(
               "counter: 1/160\nparts: 1\ntotal-sms: 1\nunicode: no\ntoo-long: no\nrecipients: 1\n"
               "duplicates: 0\nlabel:  Selected contacts (1)\nsend: Send 1 sms\ndestinations: +39333;\n")
        << QStringLiteral(
               "brelmont-cli: left out '+3933312345678901234567': more than 18 significant digits\n");
}

void TestCountCommand::output()
{
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    QFETCH(QString, notes);
    const Run r = RunCount(args);
    QCOMPARE(r.err, notes);
    QCOMPARE(r.out, expected);
    QCOMPARE(r.code, int(CliOk));
}

void TestCountCommand::textFromInput_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("counter");
    QTest::newRow("euro") << QStringLiteral("\u20AC").toUtf8() << QStringLiteral("counter: 2/160\n");
    QTest::newRow("final LF of echo dropped") << QByteArray("Ciao\n") << QStringLiteral("counter: 4/160\n");
    QTest::newRow("final CR LF dropped") << QByteArray("Ciao\r\n") << QStringLiteral("counter: 4/160\n");
    QTest::newRow("only one final break dropped")
        << QByteArray("Ciao\nCiao\n\n") << QStringLiteral("counter: 10/160\n");
}

void TestCountCommand::textFromInput()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, counter);
    QBuffer buffer(&input);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const Run r = RunCount({QStringLiteral("--language"), QStringLiteral("ENG")}, {}, &buffer);
    QCOMPARE(r.code, int(CliOk));
    QVERIFY2(r.out.startsWith(counter), qPrintable(r.out));
}

void TestCountCommand::listsThroughTheReader()
{
    QStringList asked;
    const auto reader = [&](const QString& name) {
        asked << name;
        return QStringList{QStringLiteral("+393331234567"), QStringLiteral("+393471234567")};
    };
    const Run r = RunCount({QStringLiteral("--text"), QStringLiteral("x"), QStringLiteral("--to"),
                            QStringLiteral("+39 333 1234567"), QStringLiteral("--to"), QStringLiteral("7"),
                            QStringLiteral("--list"), QStringLiteral("Amici"), QStringLiteral("--language"),
                            QStringLiteral("ENG")},
                           reader);
    QCOMPARE(r.code, int(CliOk));
    QCOMPARE(asked, QStringList{QStringLiteral("Amici")});
    QCOMPARE(r.err, QStringLiteral("brelmont-cli: not a phone number, left out: '7'\n"));
    QVERIFY2(r.out.contains(u"recipients: 2\nduplicates: 1\n"), qPrintable(r.out));
    QVERIFY2(r.out.endsWith(u"destinations: +393331234567;+393471234567;\n"), qPrintable(r.out));
}

void TestCountCommand::listsFromThePhoneBook()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("pbook.qpb"));
    {
        TPhoneBook book(file, QString());
        TContactsTree tree;
        QVERIFY(book.LoadPhoneBook(tree)); // creates the file
        QList<TContactData> members(3);
        members[0].Number = QStringLiteral("+393331234567");
        members[1].Number = QStringLiteral("+447700900123");
        members[2].Number = QStringLiteral("+0393331234567");
        book.SaveListTable(QStringLiteral("Amici"), members, true);
    }
    const auto reader = PhoneBookListReader(file);
    QCOMPARE(reader(QStringLiteral("Amici")),
             (QStringList{QStringLiteral("+393331234567"), QStringLiteral("+447700900123"),
                          QStringLiteral("+0393331234567")}));
    QCOMPARE(reader(QStringLiteral("Nessuna")), QStringList{});

    const Run r = RunCount({QStringLiteral("--text"), QStringLiteral("x"), QStringLiteral("--list"),
                            QStringLiteral("Amici"), QStringLiteral("--list"), QStringLiteral("Nessuna"),
                            QStringLiteral("--language"), QStringLiteral("ITA")},
                           reader);
    QCOMPARE(r.code, int(CliOk));
    QVERIFY2(r.out.contains(u"label:  Contatti selezionati (3 / 1 Scartato doppio)\n"), qPrintable(r.out));
    QVERIFY2(r.out.endsWith(u"destinations: +393331234567;+447700900123;\n"), qPrintable(r.out));
}

void TestCountCommand::numbersFromAFile()
{
    QTemporaryDir dir;
    const QString numbers = dir.filePath(QStringLiteral("numbers.txt"));
    const QString written = dir.filePath(QStringLiteral("destinations.txt"));
    QFile f(numbers);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("\xEF\xBB\xBF+39 333 1234567\r\n\n0039 3331234567; +44 7700 900123 ,7\n+393471234567");
    f.close();
    const Run r = RunCount({QStringLiteral("--text"), QStringLiteral("x"), QStringLiteral("--to"),
                            QStringLiteral("+393471234567"), QStringLiteral("--numbers-file"), numbers,
                            QStringLiteral("--destinations-out"), written, QStringLiteral("--language"),
                            QStringLiteral("ENG")});
    QCOMPARE(r.code, int(CliOk));
    QCOMPARE(r.err, QStringLiteral("brelmont-cli: not a phone number, left out: '7'\n"));
    QVERIFY2(r.out.contains(u"recipients: 3\nduplicates: 2\n"), qPrintable(r.out));
    QVERIFY2(!r.out.contains(u"destinations:"), qPrintable(r.out));
    QFile out(written);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), QByteArray("+393471234567;+393331234567;+447700900123;"));

    const Run missing = RunCount({QStringLiteral("--text"), QStringLiteral("x"),
                                  QStringLiteral("--numbers-file"), dir.filePath(QStringLiteral("none.txt")),
                                  QStringLiteral("--language"), QStringLiteral("ENG")});
    QCOMPARE(missing.code, int(CliRefused));
    QCOMPARE(missing.out, QString());
}

void TestCountCommand::badArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("missing value") << QStringList{QStringLiteral("--text")};
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--frobnicate"), QStringLiteral("1")};
    QTest::newRow("negative recipients") << QStringList{QStringLiteral("--recipients"), QStringLiteral("-1")};
    QTest::newRow("counts and numbers") << QStringList{QStringLiteral("--recipients"), QStringLiteral("1"),
                                                       QStringLiteral("--to"), QStringLiteral("+391")};
    QTest::newRow("destinations file without numbers")
        << QStringList{QStringLiteral("--recipients"), QStringLiteral("1"),
                       QStringLiteral("--destinations-out"), QStringLiteral("out.txt")};
    QTest::newRow("list without a phone book") << QStringList{QStringLiteral("--text"), QStringLiteral("x"),
                                                              QStringLiteral("--list"), QStringLiteral("A")};
}

void TestCountCommand::badArguments()
{
    QFETCH(QStringList, args);
    const Run r = RunCount(args);
    QCOMPARE(r.code, int(CliBadArguments));
    QCOMPARE(r.out, QString());
    QVERIFY(!r.err.isEmpty());
}

QTEST_GUILESS_MAIN(TestCountCommand)
#include "TestCountCommand.moc"
