#include "ListTestSupport.h"
#include "compose/PhoneNumber.h"
#include "lists/ListExport.h"
#include "lists/ListImport.h"
#include "lists/TextListReader.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/SQLiteDatabase.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

class TestListImport : public QObject
{
    Q_OBJECT

private slots:
    void selectionAsThePairwiseSort();
    void counts_data();
    void counts();
    void missingPrefix_data();
    void missingPrefix();
    void exportLines();
    void exportReadsBack();
    void exportFileName_data();
    void exportFileName();
    void failedSaveKeepsPreviousMembers();
};

namespace {
// The selection as the pairwise exchange sort and the backward walk do it, quadratic.
TImportCounts PairwiseSelection(QList<TContactData> records, QList<TContactData>& members)
{
    records.removeIf([](const TContactData& r) { return r.ID == -1; });
    for (qsizetype i = 0; i + 1 < records.size(); ++i)
        for (qsizetype j = i; j < records.size(); ++j)
            if (records[i].Number.toLatin1() > records[j].Number.toLatin1())
                std::swap(records[i], records[j]);
    TImportCounts counts;
    members.clear();
    for (qsizetype k = records.size() - 1; k >= 0; --k) {
        QString result;
        if (k > 0 && records[k].Number == records[k - 1].Number) {
            ++(records[k].Number.trimmed().isEmpty() ? counts.Wrong : counts.Duplicates);
        } else if (CleanPhoneNumber(records[k].Number, result); !IsImportableNumber(result)) {
            ++counts.Wrong;
        } else {
            members.append(records[k]);
        }
    }
    counts.Imported = int(members.size());
    return counts;
}

TContactData Record(qint32 id, const QString& nick, const QString& number)
{
    TContactData r;
    r.ID = id;
    r.NickName = nick;
    r.Number = number;
    return r;
}
} // namespace

void TestListImport::selectionAsThePairwiseSort()
{
    // Few distinct numbers of mixed lengths make many ties, where the pairwise sort's choice
    // of the kept record shows.
    const QStringList numbers =
        Strings({"", "7", "+39", "+3933", "+393", "12", "+1", "+15551234567890123", "+15551234567890124"});
    QRandomGenerator random(12);
    for (int round = 0; round < 300; ++round) {
        QList<TContactData> records;
        const int size = random.bounded(1, 40);
        for (int i = 0; i < size; ++i) {
            const bool noPart = random.bounded(10) == 0;
            records.append(Record(noPart ? -1 : i + 1, QStringLiteral("n%1").arg(i),
                                  numbers[random.bounded(round % 2 ? 3 : int(numbers.size()))]));
        }
        QList<TContactData> fast, slow;
        const TImportCounts counts = SelectImportMembers(records, fast);
        QCOMPARE(counts, PairwiseSelection(records, slow));
        QCOMPARE(Describe(fast), Describe(slow));
    }
}

void TestListImport::counts_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<QList<int>>("counts");
    QTest::newRow("same number twice")
        << Strings({"+39333", "+39333"}) << Strings({"+39333"}) << QList<int>{1, 1, 0};
    QTest::newRow("one valid line") << Strings({"x", "+4420"}) << Strings({"+4420"}) << QList<int>{1, 0, 1};
    QTest::newRow("no records") << QStringList{} << QStringList{} << QList<int>{0, 0, 0};
    QTest::newRow("a rejected number repeated counts as duplicate")
        << Strings({"7", "7", "", ""}) << QStringList{} << QList<int>{0, 1, 3};
    QTest::newRow("lone plus and too many digits")
        << Strings({"+", "+1234567890123456789", "+123456789012345678"}) << Strings({"+123456789012345678"})
        << QList<int>{1, 0, 2};
    QTest::newRow("descending order")
        << Strings({"+1", "+3", "+2"}) << Strings({"+3", "+2", "+1"}) << QList<int>{3, 0, 0};
}

void TestListImport::counts()
{
    QFETCH(QStringList, numbers);
    QFETCH(QStringList, members);
    QFETCH(QList<int>, counts);
    QList<TContactData> records;
    for (const QString& number : numbers)
        records.append(Record(int(records.size()) + 1, QString(), number));
    QList<TContactData> selected;
    const TImportCounts got = SelectImportMembers(records, selected);
    QStringList taken;
    for (const TContactData& m : selected)
        taken.append(m.Number);
    QCOMPARE(taken, members);
    QCOMPARE((QList<int>{got.Imported, got.Duplicates, got.Wrong}), counts);
}

void TestListImport::missingPrefix_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<int>("firstLacking");
    QTest::addColumn<QStringList>("prefixed");
    QTest::newRow("Italy chosen") << Strings({"+44 20", "333 1234567", "0039347123", "06123", "7"}) << 1
                                  << Strings({"+4420", "+393331234567", "+39347123", "+396123", "7"});
    QTest::newRow("all prefixed") << Strings({"+39 333", "0044 20"}) << -1 << Strings({"+39333", "+4420"});
}

void TestListImport::missingPrefix()
{
    QFETCH(QStringList, numbers);
    QFETCH(int, firstLacking);
    QFETCH(QStringList, prefixed);
    QList<TContactData> records;
    for (const QString& number : numbers)
        records.append(Record(1, QString(), number));
    QCOMPARE(int(CleanImportNumbers(records)), firstLacking);
    ApplyImportPrefix(records, QStringLiteral("+39"));
    QStringList got;
    for (const TContactData& r : records)
        got.append(r.Number);
    QCOMPARE(got, prefixed);
}

namespace {
QList<TContactData> ExportSample()
{
    TContactData named = Record(1, QStringLiteral("Mario R."), QStringLiteral("+39 333-12/34"));
    named.FirstName = QStringLiteral("Mario");
    named.LastName = QStringLiteral("Rossi; jr");
    return {named, Record(2, QStringLiteral("Citt\u00e0\r\nnuova"), QStringLiteral("+39347"))};
}
} // namespace

void TestListImport::exportLines()
{
    QCOMPARE(ExportListText(ExportSample()),
             QByteArray("Rossi, jr;Mario;+393331234\r\nCitt\xE0  nuova;+39347\r\n"));
}

void TestListImport::exportReadsBack()
{
    const TListFileRecords read = ReadTextListBytes(ExportListText(ExportSample()));
    QCOMPARE(Describe(read.Records),
             (Strings({"1|Rossi, jr|Mario|Rossi, jr Mario|+393331234", "2|||Citt\u00e0  nuova|+39347"})));
}

void TestListImport::exportFileName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << S("/tmp/amici") << S("/tmp/amici.csv");
    QTest::newRow("txt kept") << S("/tmp/amici.txt") << S("/tmp/amici.txt");
    QTest::newRow("dot in folder") << S("/tmp/a.b/amici") << S("/tmp/a.b/amici.csv");
}

void TestListImport::exportFileName()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QCOMPARE(ExportFileName(chosen), written);
}

void TestListImport::failedSaveKeepsPreviousMembers()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pbook.qpb"));
    TPhoneBook book(file, QString());
    TContactsTree tree;
    QVERIFY(book.LoadPhoneBook(tree)); // creates the file
    QString error;
    QVERIFY(SaveImportedList(book, QStringLiteral("Amici"),
                             {Record(1, QStringLiteral("a"), QStringLiteral("+391"))}, true, {}, &error));
    QList<TContactData> many;
    for (int i = 0; i < 1000; ++i)
        many.append(Record(i, QStringLiteral("b"), QStringLiteral("+39%1").arg(i)));
    {
        // Another connection holds the write lock: the save fails as a whole.
        TSQLiteDatabase other(file);
        other.BeginTransaction();
        other.Execute("CREATE TABLE lock (x);");
        QVERIFY(!SaveImportedList(book, QStringLiteral("Amici"), many, false, {}, &error));
        QVERIFY(error.contains(QStringLiteral("locked")));
    }
    QList<TContactData> members;
    QVERIFY(book.LoadListIntoMemory(members, QStringLiteral("Amici"), false));
    QCOMPARE(members.size(), 1);
    QCOMPARE(members[0].Number, QStringLiteral("+391"));
}

QTEST_GUILESS_MAIN(TestListImport)
#include "TestListImport.moc"
