#include "ListTestSupport.h"
#include "lists/ContactSource.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"

#include <QTemporaryDir>
#include <QtTest>

class TestContactSource : public QObject
{
    Q_OBJECT

private slots:
    void addressBook_data();
    void addressBook();
    void notAnAddressBook_data();
    void notAnAddressBook();
    void prefixRule();
    void contactsJoinThePhoneBook();
};

namespace {
QStringList Lines(const QList<TContactLine>& lines)
{
    QStringList shown;
    for (const TContactLine& l : lines)
        shown.append(l.Name + u'|' + l.Number + (l.Mobile ? QStringLiteral("|Mobile") : QString()));
    return shown;
}
} // namespace

void TestContactSource::addressBook_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("warnings");
    QTest::newRow("vCard 2.1, 3.0 and 4.0, the last without END")
        << QStringLiteral("contacts.vcf")
        << Strings({"alberto|3201234567|Mobile", "Anna Bianchi|+39 06 1111111",
                    "Anna Bianchi|+39 347 000 1111|Mobile", "Anna Bianchi|+39 06 2222222",
                    "Nicol\u00f2 Citt\u00e0 della Valle|+39 02 1234567",
                    "Nicol\u00f2 Citt\u00e0 della Valle|06 7654321",
                    "Nicol\u00f2 Citt\u00e0 della Valle|333 123 4567|Mobile", "Zoe Zeta|+39-02-5550000"})
        << 1;
    QTest::newRow("Outlook CSV in Windows-1252")
        << QStringLiteral("outlook.csv")
        << Strings({"|02 222", "Mario Rossi|+39 02 111", "Mario Rossi|+39 333 111|Mobile",
                    "Mario Rossi|+39 06 999", "Nicol\u00f2 Bianchi|0612345"})
        << 0;
}

void TestContactSource::addressBook()
{
    QFETCH(QString, file);
    QFETCH(QStringList, lines);
    QFETCH(int, warnings);
    const TContactSource source = ReadContactSource(Fixture(file));
    QCOMPARE(source.Error.Detail, QString());
    QCOMPARE(Lines(source.Lines), lines);
    QCOMPARE(source.Warnings.size(), warnings);
}

void TestContactSource::notAnAddressBook_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<int>("error");
    QTest::newRow("CSV without phone columns")
        << QByteArray("Name,Email\nA,a@b\n") << S("csv") << int(TReadError::NotContacts);
    QTest::newRow("vcf without cards") << QByteArray("hello\n") << S("vcf") << int(TReadError::NotContacts);
    QTest::newRow("binary") << QByteArray("\0\1\2\3", 4) << S("csv") << int(TReadError::NotText);
}

void TestContactSource::notAnAddressBook()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, suffix);
    QFETCH(int, error);
    QCOMPARE(int(ReadContactSourceBytes(bytes, suffix).Error.What), error);
}

void TestContactSource::prefixRule()
{
    QList<TContactLine> lines{{S("a"), S("7"), false},
                              {S("b"), S("0612"), false},
                              {S("c"), S("0044 20"), true},
                              {S("d"), S("n/a"), false}};
    QVERIFY(CleanContactNumbers(lines));
    ApplyContactPrefix(lines, QStringLiteral("+39"));
    QCOMPARE(Lines(lines), (Strings({"a|+397", "b|+39612", "c|+4420|Mobile", "d|"})));
    QList<TContactLine> prefixed{{S("a"), S("+39 1"), false}, {S("b"), S(""), false}};
    QVERIFY(!CleanContactNumbers(prefixed));
}

void TestContactSource::contactsJoinThePhoneBook()
{
    QTemporaryDir dir;
    TPhoneBook book(dir.filePath(QStringLiteral("pbook.qpb")), QString());
    TContactsTree tree;
    QVERIFY(book.LoadPhoneBook(tree)); // creates the file
    TContactData old;
    old.NickName = QStringLiteral("Zeno");
    old.Number = QStringLiteral("+391");
    QVERIFY(book.InsertContact(nullptr, old));
    QVERIFY(book.LoadPhoneBook(tree));
    QString error;
    QCOMPARE(AddContactLines(book, tree, {{S("Anna"), S("+392"), true}, {S("Nobody"), S(""), false}}, &error),
             1);
    TContactsTree reread;
    QVERIFY(book.LoadPhoneBook(reread));
    QCOMPARE(reread.TopLevelCount(), 2);
    QCOMPARE(reread.TopLevel(0)->Data().NickName, QStringLiteral("Anna"));
    QCOMPARE(reread.TopLevel(1)->Data().Number, QStringLiteral("+391"));
    QCOMPARE(tree.TopLevel(0)->Data().ID, reread.TopLevel(0)->Data().ID);
}

QTEST_GUILESS_MAIN(TestContactSource)
#include "TestContactSource.moc"
