#include "ListTestSupport.h"
#include "lists/ListFile.h"
#include "lists/SheetRecords.h"
#include "lists/SpreadsheetReaders.h"
#include "lists/TextListReader.h"
#include "lists/XlsReply.h"

#include <QTemporaryDir>
#include <QtTest>

class TestListReaders : public QObject
{
    Q_OBJECT

private slots:
    void textFile_data();
    void textFile();
    void spreadsheet_data();
    void spreadsheet();
    void unreadableFile_data();
    void unreadableFile();
    void xlsReaderFails_data();
    void xlsReaderFails();
    void xlsReply_data();
    void xlsReply();
    void numberText_data();
    void numberText();
};

namespace {
QByteArray Utf16(const QString& text, bool little)
{
    QByteArray bytes = little ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        bytes.append(little ? lo : hi).append(little ? hi : lo);
    }
    return bytes;
}
} // namespace

void TestListReaders::textFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("records");
    QTest::newRow("fields by count") << QByteArray("7\r\n a ;1\n c ; d ;3\r\n\n1;2;3;4\n;\nx;y; \r")
                                     << Strings({"1|||No Name|7", "2|||a|1", "3|c|d|c d|3", "-1||||",
                                                 "-1||||", "4|||No Name|", "5|||x|y"});
    QTest::newRow("three fields then two carry nothing over")
        << QByteArray("Rossi;Mario;+39333\nAnna;+39347")
        << Strings({"1|Rossi|Mario|Rossi Mario|+39333", "2|||Anna|+39347"});
    const QString text = QStringLiteral("Citt\u00e0;+39 333\r\n\r\n\u20ac;1");
    const QStringList expected = Strings({"1|||Citt\u00e0|+39 333", "2|||\u20ac|1"});
    QTest::newRow("UTF-16 little-endian, empty lines dropped") << Utf16(text, true) << expected;
    QTest::newRow("UTF-16 big-endian") << Utf16(text, false) << expected;
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8()
                                     << Strings({"1|||Citt\u00e0|+39 333", "-1||||", "2|||\u20ac|1"});
    QTest::newRow("UTF-8 without mark")
        << text.toUtf8() << Strings({"1|||Citt\u00e0|+39 333", "-1||||", "2|||\u20ac|1"});
    QTest::newRow("Windows-1252") << QByteArray("Citt\xE0;+39 333\r\n\x80;1")
                                  << Strings({"1|||Citt\u00e0|+39 333", "2|||\u20ac|1"});
}

void TestListReaders::textFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, records);
    const TListFileRecords read = ReadTextListBytes(bytes);
    QCOMPARE(read.Error.What, TReadError::None);
    QCOMPARE(Describe(read.Records), records);
}

void TestListReaders::spreadsheet_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<int>("warnings");
    QTest::newRow("xls layouts") << QStringLiteral("lists.xls")
                                 << Strings({"1|||Mario Rossi|+39 333 1234567", "2||| Anna |393471234567",
                                             "3|||Zero|0039 348 1234567", "4|||Nome|Numero",
                                             "5|||Luca|3331112222",
                                             "6|Verdi|Giuseppe|Verdi Giuseppe|+393401234567",
                                             "7|||No Name|3331234567"})
                                 << 1;
    QTest::newRow("xlsx inline strings and numbers")
        << QStringLiteral("lists.xlsx")
        << Strings({"1|||Mario|+393331234567", "2|||Anna|393471234567", "3|||Big|393471234568",
                    "4|||No Name|+441234567890", "5|Bianchi|Carla|Bianchi Carla|3209876543"})
        << 1;
    QTest::newRow("xlsx shared strings, bad index, missing sheet")
        << QStringLiteral("shared.xlsx")
        << Strings({"1|||Rossi Mario|+39 333 000 1111", "2|||Inline|393330002220"}) << 2;
    QTest::newRow("xlsx entity bomb") << QStringLiteral("bomb.xlsx") << QStringList{} << 1;
}

void TestListReaders::spreadsheet()
{
    QFETCH(QString, file);
    QFETCH(QStringList, records);
    QFETCH(int, warnings);
    const TListFileRecords read = ReadListFile(Fixture(file));
    QCOMPARE(read.Error.Detail, QString());
    QCOMPARE(Describe(read.Records), records);
    QCOMPARE(read.Warnings.size(), warnings);
}

void TestListReaders::unreadableFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("error");
    QFile xlsx(Fixture(QStringLiteral("lists.xlsx")));
    QFile xls(Fixture(QStringLiteral("lists.xls")));
    QFile finding(QStringLiteral(BRELMONT_XLS_CORPUS "/finding-freexl-iconv-stack-underflow.xls"));
    QVERIFY(xlsx.open(QIODevice::ReadOnly) && xls.open(QIODevice::ReadOnly) &&
            finding.open(QIODevice::ReadOnly));
    QTest::newRow("truncated xlsx") << S("t.xlsx") << xlsx.read(xlsx.size() / 2)
                                    << int(TReadError::BadSpreadsheet);
    QTest::newRow("truncated xls") << S("t.xls") << xls.read(1500) << int(TReadError::BadSpreadsheet);
    QTest::newRow("xls that FreeXL trips over")
        << S("f.xls") << finding.readAll() << int(TReadError::BadSpreadsheet);
    QTest::newRow("text named xlsx") << S("t.xlsx") << QByteArray("a;1\n") << int(TReadError::BadSpreadsheet);
    QTest::newRow("binary named csv")
        << S("t.csv") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << int(TReadError::NotText);
    QTest::newRow("other extension") << S("t.pdf") << QByteArray("a;1\n") << int(TReadError::Unsupported);
    QTest::newRow("missing file") << S("") << QByteArray() << int(TReadError::CannotOpen);
}

void TestListReaders::unreadableFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(name.isEmpty() ? QStringLiteral("missing.csv") : name);
    if (!name.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    const TListFileRecords read = ReadListFile(path);
    QCOMPARE(int(read.Error.What), error);
    QVERIFY(!read.Error.Detail.isEmpty());
    QCOMPARE(read.Records.size(), 0);
}

void TestListReaders::xlsReaderFails_data()
{
    QTest::addColumn<QByteArray>("script"); // of the reader program; none: it is missing
    QTest::addColumn<int>("timeoutMs");     // 0: found through $BRELMONT_XLS_READER
    QTest::addColumn<QString>("detail");    // %1: the program
    const QString damaged =
        S("the spreadsheet reader's reply is damaged: it does not start with the reader's header");
    QTest::newRow("missing") << QByteArray() << 0 << S("the spreadsheet reader program is missing: %1");
    QTest::newRow("aborts after a partial reply")
        << QByteArray("printf BXLR; kill -ABRT $$") << 0
        << S("the spreadsheet reader stopped on signal 6 (SIGABRT)");
    QTest::newRow("fails") << QByteArray("exit 3") << 0 << S("the spreadsheet reader ended with exit code 3");
    QTest::newRow("garbled reply") << QByteArray("echo garbage") << 0 << damaged;
    QTest::newRow("no reply") << QByteArray("true") << 0 << damaged;
    QTest::newRow("hangs") << QByteArray("exec sleep 30") << 300
                           << S("the spreadsheet reader gave no answer within 0.3 seconds and was stopped");
}

void TestListReaders::xlsReaderFails()
{
    QFETCH(QByteArray, script);
    QFETCH(int, timeoutMs);
    QFETCH(QString, detail);
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("reader"));
    QFile file(program);
    if (!script.isEmpty())
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n" + script + '\n') > 0 &&
                file.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    file.close();
    const QString xls = Fixture(QStringLiteral("lists.xls"));
    qputenv("BRELMONT_XLS_READER", QFile::encodeName(program));
    const TListFileRecords read = timeoutMs ? ReadXlsListThrough(program, xls, timeoutMs) : ReadListFile(xls);
    qunsetenv("BRELMONT_XLS_READER");
    QCOMPARE(read.Error.What, TReadError::BadSpreadsheet);
    QCOMPARE(read.Error.Detail, detail.replace(QStringLiteral("%1"), program));
    QCOMPARE(read.Records.size(), 0);
}

void TestListReaders::xlsReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("why"); // empty: read
    TListFileRecords read;
    read.Records = {EmptyImportRecord(), EmptyImportRecord()};
    read.Records[1].Number = S("+39 333");
    read.Warnings = Strings({"sheet \"A\" was skipped"});
    const QByteArray whole = EncodeXlsReply(read);
    QByteArray fewer = whole, more = whole, kind = whole;
    // The low bytes of the error kind and of the record count, after the header.
    kind[9] = 9;
    fewer[17] = 1;
    more[17] = 3;
    read.Error = TReadError::Make(TReadError::CannotOpen, S("gone"));
    QTest::newRow("whole") << whole << QString();
    QTest::newRow("cut short") << whole.chopped(1) << S("it is cut short");
    QTest::newRow("a byte after its end") << whole + '\0' << S("its counts do not match its length");
    QTest::newRow("fewer records than sent") << fewer << S("its counts do not match its length");
    QTest::newRow("more records than sent") << more << S("it is cut short");
    QTest::newRow("unknown error") << kind << S("it names an unknown error");
    QTest::newRow("error with records") << EncodeXlsReply(read) << S("it gives records along with an error");
}

void TestListReaders::xlsReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, why);
    QString refused;
    const std::optional<TListFileRecords> read = DecodeXlsReply(reply, &refused);
    QCOMPARE(refused, why);
    if (read)
        QCOMPARE(Describe(read->Records), Strings({"0||||", "0||||+39 333"}));
}

void TestListReaders::numberText_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("shown");
    QTest::newRow("digits as written") << S("393331234567") << S("393331234567");
    QTest::newRow("exponent form") << S("3.93331234567E+11") << S("393331234567");
    QTest::newRow("trailing fraction zero") << S("393471234568.0") << S("393471234568");
    QTest::newRow("fraction kept") << S("1.5") << S("1.5");
    QTest::newRow("not a number") << S("abc") << S("abc");
}

void TestListReaders::numberText()
{
    QFETCH(QString, written);
    QFETCH(QString, shown);
    QCOMPARE(SpreadsheetNumberText(QStringView(written)), shown);
}

QTEST_GUILESS_MAIN(TestListReaders)
#include "TestListReaders.moc"
