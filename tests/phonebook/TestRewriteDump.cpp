#include "ContactFixtures.h"
#include "SqliteShell.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

TContactData Contact(int i)
{
    TContactData d;
    d.FirstName = QStringLiteral("Nome%1").arg(i, 3, 10, QLatin1Char('0'));
    d.LastName = i % 7 == 0    ? QStringLiteral("D'Angelo")
                 : i % 11 == 0 ? QStringLiteral("Citt\u00e0 \u20ac%1").arg(i)
                 : i % 13 == 0 ? QStringLiteral("\u03a9mega %1").arg(i) // no Windows-1252 byte: '?'
                               : QStringLiteral("Cognome%1").arg(i);
    d.NickName = i % 17 == 0   ? QStringLiteral("say \"hi\" %1").arg(i)
                 : i % 3 == 0  ? QStringLiteral(" Nick %1 ").arg(i)
                 : i % 19 == 0 ? QString(QChar(0x81)) + QStringLiteral("odd")
                               : QString();
    d.Number = QStringLiteral("+39 333-12/%1").arg(i, 4, 10, QLatin1Char('0'));
    d.ID = 5000 + i;
    return d;
}

void AddList(TContactsTree& tree, const QString& name, int members, int from)
{
    TContactNode* list = tree.AddNode(nullptr, ListRecord(name, members + 7));
    for (int m = 0; m < members; ++m)
        tree.AddNode(list, Contact(from + m * 3));
}

// A tree as edits leave it: not sorted, lists among the contacts, a list node inside a list,
// an empty list, more rows than one statement takes (100) at the top and in a list, an empty contact.
void FillFirst(TContactsTree& tree)
{
    AddList(tree, QStringLiteral("Amici"), 3, 1);
    for (int i = 0; i < 60; ++i)
        tree.AddNode(nullptr, Contact(i));
    tree.AddNode(tree.TopLevel(0), ListRecord(QStringLiteral("Inside"), 4));
    AddList(tree, QStringLiteral("Vuota"), 0, 0);
    tree.AddNode(nullptr, TContactData());
    for (int i = 60; i < 110; ++i)
        tree.AddNode(nullptr, Contact(i));
    AddList(tree, QStringLiteral("Grande \u00e8"), 101, 2);
    AddList(tree, QStringLiteral("Uno"), 1, 9);
}

// The same phone book after edits: a list gone (its table stays), a list added, the rest sorted.
void Edit(TContactsTree& tree)
{
    tree.RemoveNode(tree.TopLevel(0));
    AddList(tree, QStringLiteral("Nuova"), 2, 40);
    tree.Sort();
}

QList<QByteArray> Lines(const QByteArray& bytes)
{
    return bytes.split('\n');
}

} // namespace

// The file a rewrite leaves, as the sqlite3 shell dumps it, is the one the statement-by-statement
// rewrite of earlier versions left (fixtures/rewrite.dump): rows, IDs, schema order, sequences.
class TestRewriteDump : public QObject
{
    Q_OBJECT

private slots:
    void dumpMatchesEarlierRewrite();
};

void TestRewriteDump::dumpMatchesEarlierRewrite()
{
    REQUIRE_SQLITE_SHELL();
    QFile fixture(QStringLiteral(REWRITE_FIXTURE));
    QVERIFY(fixture.open(QIODevice::ReadOnly));
    const QList<QByteArray> expected = Lines(fixture.readAll());

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pbook.qpb"));
    TPhoneBook book(file, QString());
    TContactsTree tree;
    FillFirst(tree);
    QVERIFY2(book.RebuildPhoneBook(tree), qPrintable(book.LastError()));
    Edit(tree);
    QVERIFY2(book.RebuildPhoneBook(tree), qPrintable(book.LastError()));
    QVERIFY2(book.RebuildPhoneBook(tree), qPrintable(book.LastError()));

    QByteArray ids;
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        const TContactNode* node = tree.TopLevel(r);
        ids += QByteArray::number(node->ID()) + (node->ChildCount() ? ":" : " ");
        for (int c = 0; c < node->ChildCount(); ++c)
            ids += QByteArray::number(node->Child(c)->ID()) + ',';
    }
    const QList<QByteArray> dumped = Lines(RunSqliteShell(file, ".dump\n") + "-- tree IDs: " + ids + '\n');
    for (qsizetype i = 0; i < std::min(expected.size(), dumped.size()); ++i)
        QCOMPARE(dumped[i], expected[i]);
    QCOMPARE(dumped.size(), expected.size());
}

QTEST_GUILESS_MAIN(TestRewriteDump)
#include "TestRewriteDump.moc"
