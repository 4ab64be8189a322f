#include "ContactFixtures.h"
#include "phonebook/ContactsModel.h"
#include "phonebook/ContactsTree.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

namespace {
TContactData Contact(const QString& first, const QString& last, const QString& nick,
                     const QString& number = {})
{
    TContactData d;
    d.FirstName = first;
    d.LastName = last;
    d.NickName = nick;
    d.Number = number;
    return d;
}

QStringList Captions(const TContactsTree& tree)
{
    QStringList out;
    for (int r = 0; r < tree.TopLevelCount(); ++r)
        out << ContactCaption(tree.TopLevel(r)->Data(), QStringLiteral(" contacts"));
    return out;
}
} // namespace

class TestContactsTree : public QObject
{
    Q_OBJECT

private slots:
    void caption_data();
    void caption();
    void contactsWord_data();
    void contactsWord();
    void compare_data();
    void compare();
    void recordsComeBackAsGiven_data();
    void recordsComeBackAsGiven();
    void storedBytesAreWindows1252();
    void treeSortFollowsCompare_data() { compare_data(); }
    void treeSortFollowsCompare();
    void removedNodesComeBackEmpty();
    void swapContentMovesNodes();
    void sortOrdersEveryLevel();
    void sortIsStable();
    void maxTopLevelId();
    void modelFollowsTree();
    void modelKeepsSelectionAcrossSort();
};

void TestContactsTree::caption_data()
{
    QTest::addColumn<TContactData>("data");
    QTest::addColumn<QString>("caption");
    QTest::newRow("nick trimmed") << Contact(QStringLiteral("Mario"), QStringLiteral("Rossi"),
                                             QStringLiteral(" Bob "))
                                  << QStringLiteral("Bob");
    QTest::newRow("first name only keeps a blank")
        << Contact(QStringLiteral("Anna"), {}, {}) << QStringLiteral("Anna ");
    QTest::newRow("first and last") << Contact(QStringLiteral(" Anna"), QStringLiteral("Neri "), {})
                                    << QStringLiteral("Anna Neri");
    QTest::newRow("blank nick falls back")
        << Contact(QStringLiteral("Anna"), QStringLiteral("Neri"), QStringLiteral("   "))
        << QStringLiteral("Anna Neri");
    QTest::newRow("number only") << Contact({}, {}, {}, QStringLiteral(" +39333 "))
                                 << QStringLiteral("+39333");
    QTest::newRow("list") << ListRecord(QStringLiteral("Amici"), 12)
                          << QStringLiteral("[Amici] (12 contacts)");
}

void TestContactsTree::caption()
{
    QFETCH(TContactData, data);
    QFETCH(QString, caption);
    QCOMPARE(ContactCaption(data, QStringLiteral(" contacts")), caption);
}

void TestContactsTree::contactsWord_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("word");
    QTest::newRow("ITA") << QStringLiteral("ITA") << QStringLiteral(" contatti");
    QTest::newRow("ENG") << QStringLiteral("ENG") << QStringLiteral(" contacts");
    QTest::newRow("POR shows English") << QStringLiteral("POR") << QStringLiteral(" contacts");
    QTest::newRow("DEU shows English") << QStringLiteral("DEU") << QStringLiteral(" contacts");
}

void TestContactsTree::contactsWord()
{
    QFETCH(QString, code);
    QFETCH(QString, word);
    QCOMPARE(ContactsWord(code), word);
    QCOMPARE(ContactCaption(ListRecord(QStringLiteral("Amici"), 12), ContactsWord(code)),
             QStringLiteral("[Amici] (12") + word + u')');
}

void TestContactsTree::compare_data()
{
    QTest::addColumn<TContactData>("a");
    QTest::addColumn<TContactData>("b");
    QTest::addColumn<int>("order");
    QTest::newRow("contact before list")
        << ListRecord(QStringLiteral("AAA"), 0) << Contact({}, {}, QStringLiteral("zzz")) << 1;
    QTest::newRow("ASCII case folded")
        << Contact({}, {}, QStringLiteral("bob")) << Contact({}, {}, QStringLiteral("BOB")) << 0;
    QTest::newRow("by nick") << Contact({}, {}, QStringLiteral("alfa"))
                             << Contact({}, {}, QStringLiteral("Beta")) << -1;
    QTest::newRow("first + blank + last without nick")
        << Contact(QStringLiteral("Anna"), QStringLiteral("Z"), {})
        << Contact({}, {}, QStringLiteral("ANNA Y")) << 1;
    QTest::newRow("blank nick sorts as blanks") << Contact(QStringLiteral("A"), {}, QStringLiteral("   "))
                                                << Contact({}, {}, QStringLiteral("!")) << -1;
    QTest::newRow("accented not folded, by byte")
        << Contact({}, {}, QStringLiteral("à")) << Contact({}, {}, QStringLiteral("Z")) << 1;
    QTest::newRow("euro byte 0x80 before 0xE0")
        << Contact({}, {}, QStringLiteral("€")) << Contact({}, {}, QStringLiteral("à")) << -1;
}

void TestContactsTree::compare()
{
    QFETCH(TContactData, a);
    QFETCH(TContactData, b);
    QFETCH(int, order);
    QCOMPARE(CompareContacts(a, b), order);
    QCOMPARE(CompareContacts(b, a), -order);
}

void TestContactsTree::recordsComeBackAsGiven_data()
{
    QTest::addColumn<TContactData>("data");
    QTest::addColumn<QByteArray>("storedNick"); // as a rewrite writes it
    TContactData full = Contact(QStringLiteral("Anna"), QStringLiteral("Neri"), QStringLiteral("Bob"),
                                QStringLiteral("+39 333"));
    full.ID = 42;
    full.PhoneType = TContactData::Office;
    full.ImageIndex = 7;
    QTest::newRow("ASCII") << full << QByteArray("Bob");
    QTest::newRow("Windows-1252") << Contact(QStringLiteral("\u00e8"), {}, QStringLiteral("\u20ac \u0081"))
                                  << QByteArray("\x80 \x81");
    QTest::newRow("beyond the code page")
        << Contact(QStringLiteral("\u00e8"), QStringLiteral("\u03a9"), QStringLiteral("a\U0001F600"))
        << QByteArray("a??");
    QTest::newRow("C1 control the code page lacks")
        << Contact({}, {}, QString(QChar(0x80))) << QByteArray("?");
    QTest::newRow("empty") << TContactData() << QByteArray();
    QTest::newRow("list") << ListRecord(QStringLiteral("Amici"), 12) << QByteArray("Amici");
}

void TestContactsTree::recordsComeBackAsGiven()
{
    QFETCH(TContactData, data);
    QFETCH(QByteArray, storedNick);
    TContactsTree tree;
    TContactNode* node = tree.AddNode(nullptr, data);
    QCOMPARE(node->Data(), data);
    QByteArray scratch;
    QCOMPARE(node->Win1252Text(TContactField::NickName, scratch).toByteArray(), storedNick);
    // Changed to and from a record of the other kind of texts.
    const TContactData other = Contact(QStringLiteral("x\u03a9"), {}, {}, QStringLiteral("1"));
    tree.SetData(node, other);
    QCOMPARE(node->Data(), other);
    tree.SetData(node, data);
    QCOMPARE(node->Data(), data);
}

void TestContactsTree::storedBytesAreWindows1252()
{
    TContactsTree tree;
    TStoredContact row;
    row.ID = 9;
    row.NickName = "Citt\xE0 \x80";
    row.Number = "+39";
    const TContactNode* node = tree.AddStored(nullptr, row);
    TContactData expected = Contact({}, {}, QStringLiteral("Citt\u00e0 \u20ac"), QStringLiteral("+39"));
    expected.ID = 9;
    QCOMPARE(node->Data(), expected);
}

void TestContactsTree::treeSortFollowsCompare()
{
    QFETCH(TContactData, a);
    QFETCH(TContactData, b);
    QFETCH(int, order);
    TContactsTree tree;
    a.ID = 1;
    b.ID = 2;
    tree.AddNode(nullptr, b);
    tree.AddNode(nullptr, a);
    tree.Sort();
    // Equal keys keep their order (b first); otherwise the smaller one comes first.
    QCOMPARE(tree.TopLevel(0)->ID(), order < 0 ? 1 : 2);
}

void TestContactsTree::removedNodesComeBackEmpty()
{
    TContactsTree tree;
    TContactNode* list = tree.AddNode(nullptr, ListRecord(QStringLiteral("Amici"), 2));
    tree.AddNode(list, Contact({}, {}, QStringLiteral("a")));
    list->SetHidden(true);
    tree.AddNode(nullptr, Contact({}, {}, QStringLiteral("b")));
    tree.RemoveNode(list);
    QCOMPARE(tree.TopLevel(0)->Row(), 0);
    for (int i = 0; i < 3; ++i) {
        TContactNode* added = tree.AddNode(nullptr, Contact({}, {}, QStringLiteral("new")));
        QCOMPARE(added->ChildCount(), 0);
        QCOMPARE(added->IsHidden(), false);
        QCOMPARE(added->Row(), i + 1);
        QCOMPARE(added->Data(), Contact({}, {}, QStringLiteral("new")));
    }
}

void TestContactsTree::swapContentMovesNodes()
{
    TContactsTree tree;
    tree.AddNode(nullptr, Contact({}, {}, QStringLiteral("old")));
    TContactNode* list;
    {
        TContactsTree filled;
        list = filled.AddNode(nullptr, ListRecord(QStringLiteral("Amici"), 1));
        filled.AddNode(list, Contact({}, {}, QStringLiteral("member")));
        tree.SwapContent(filled);
        QCOMPARE(filled.TopLevelCount(), 1);
        QCOMPARE(filled.TopLevel(0)->Parent(), filled.Root());
        QCOMPARE(filled.TopLevel(0)->Data().NickName, QStringLiteral("old"));
        filled.AddNode(nullptr, Contact({}, {}, QStringLiteral("other")));
    }
    QCOMPARE(tree.TopLevelCount(), 1);
    QCOMPARE(tree.TopLevel(0), list);
    QCOMPARE(list->Parent(), tree.Root());
    QCOMPARE(list->Child(0)->Data().NickName, QStringLiteral("member"));
}

void TestContactsTree::sortOrdersEveryLevel()
{
    TContactsTree tree;
    TContactNode* list = tree.AddNode(nullptr, ListRecord(QStringLiteral("Amici"), 2));
    tree.AddNode(list, Contact({}, {}, QStringLiteral("zeta")));
    tree.AddNode(list, Contact({}, {}, QStringLiteral("Alfa")));
    tree.AddNode(nullptr, Contact({}, {}, QStringLiteral("mario")));
    tree.AddNode(nullptr, Contact(QStringLiteral("Anna"), {}, {}));
    tree.Sort();
    QCOMPARE(Captions(tree), (QStringList{QStringLiteral("Anna "), QStringLiteral("mario"),
                                          QStringLiteral("[Amici] (2 contacts)")}));
    QCOMPARE(list->Child(0)->Data().NickName, QStringLiteral("Alfa"));
    QCOMPARE(list->Child(1)->Data().NickName, QStringLiteral("zeta"));
    QCOMPARE(list->Child(1)->Row(), 1);
    QCOMPARE(list->Row(), 2);
}

void TestContactsTree::sortIsStable()
{
    TContactsTree tree;
    for (int i = 0; i < 5; ++i) {
        TContactData d = Contact({}, {}, i % 2 ? QStringLiteral("same") : QStringLiteral("SAME"));
        d.ID = i;
        tree.AddNode(nullptr, d);
    }
    tree.Sort();
    for (int r = 0; r < 5; ++r)
        QCOMPARE(tree.TopLevel(r)->Data().ID, r);
}

void TestContactsTree::maxTopLevelId()
{
    TContactsTree tree;
    QCOMPARE(MaxTopLevelID(tree), 0);
    TContactData a = Contact({}, {}, QStringLiteral("a"));
    a.ID = 7;
    TContactNode* list = tree.AddNode(nullptr, ListRecord(QStringLiteral("L"), 1));
    tree.AddNode(nullptr, a);
    TContactData member = a;
    member.ID = 99; // members do not count
    tree.AddNode(list, member);
    QCOMPARE(MaxTopLevelID(tree), 7);
}

void TestContactsTree::modelFollowsTree()
{
    TContactsTree tree;
    TContactsModel model(&tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    tree.BeginUpdate();
    TContactNode* list = tree.AddNode(nullptr, ListRecord(QStringLiteral("Amici"), 2));
    tree.AddNode(list, Contact({}, {}, QStringLiteral("b")));
    tree.AddNode(list, Contact({}, {}, QStringLiteral("a")));
    tree.AddNode(nullptr, Contact({}, {}, QStringLiteral("solo"), QStringLiteral("+39")));
    tree.Sort();
    tree.EndUpdate();
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("solo"));
    QCOMPARE(model.index(0, 0).data(TContactsModel::NumberRole).toString(), QStringLiteral("+39"));
    const QModelIndex listIndex = model.index(1, 0);
    QCOMPARE(model.rowCount(listIndex), 2);
    QCOMPARE(model.index(0, 0, listIndex).data().toString(), QStringLiteral("a"));
    QCOMPARE(model.parent(model.index(1, 0, listIndex)), listIndex);

    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    tree.AddNode(list, Contact({}, {}, QStringLiteral("c")));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(model.rowCount(listIndex), 3);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.SetContactsWord(QStringLiteral(" contatti"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(listIndex.data().toString(), QStringLiteral("[Amici] (2 contatti)"));

    tree.RemoveNode(list->Child(0));
    QCOMPARE(model.rowCount(listIndex), 2);
    tree.AddNode(nullptr, Contact({}, {}, QStringLiteral("aaa")));
    tree.Sort();
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("aaa"));
    tree.Clear();
    QCOMPARE(model.rowCount(), 0);
}

void TestContactsTree::modelKeepsSelectionAcrossSort()
{
    TContactsTree tree;
    TContactsModel model(&tree);
    tree.AddNode(nullptr, Contact({}, {}, QStringLiteral("m")));
    TContactNode* z = tree.AddNode(nullptr, Contact({}, {}, QStringLiteral("z")));
    const QPersistentModelIndex held(model.IndexOf(z));
    tree.AddNode(nullptr, Contact({}, {}, QStringLiteral("a")));
    tree.Sort();
    QCOMPARE(held.row(), 2);
    QCOMPARE(model.NodeOf(held), z);
}

QTEST_GUILESS_MAIN(TestContactsTree)
#include "TestContactsTree.moc"
