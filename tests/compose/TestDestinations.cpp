#include "compose/Destinations.h"

#include <QHash>
#include <QTest>

class TestDestinations : public QObject
{
    Q_OBJECT

private slots:
    void builder_data();
    void builder();
    void pastedListWithoutDuplicates();
    void contactAndListMember();
    void listsAreReadInOrder();
    void listMembers_data();
    void listMembers();
    void unreadableListContributesNothing();
    void sameTreeNodeIsListedOnce();
    void emptyListIsNotAdded();
    void removeAndClear();
    void typedNumbersAndLists();
    void manyNumbers();
    void numberArguments_data();
    void numberArguments();
};

void TestDestinations::builder_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<int>("unique");
    QTest::addColumn<int>("duplicates");
    QTest::addColumn<int>("dropped");
    QTest::addColumn<QString>("destinations");
    QTest::newRow("empty") << QStringList{} << 0 << 0 << 0 << QString();
    QTest::newRow("one") << QStringList{QStringLiteral("+393331234567")} << 1 << 0 << 0
                         << QStringLiteral("+393331234567;");
    QTest::newRow("same value with a zero")
        << QStringList{QStringLiteral("+393331234567"), QStringLiteral("+0393331234567")} << 1 << 1 << 0
        << QStringLiteral("+393331234567;");
    QTest::newRow("first-met order") << QStringList{QStringLiteral("+2"),  QStringLiteral("+13"),
                                                    QStringLiteral("+2"),  QStringLiteral("11"),
                                                    QStringLiteral("+13"), QStringLiteral("+2")}
                                     << 3 << 3 << 0 << QStringLiteral("+2;+13;+11;");
    QTest::newRow("invalid numbers dropped, not counted")
        << QStringList{QString(), QStringLiteral("+"), QStringLiteral("+1000000000000000000"),
                       QStringLiteral("39 333"), QStringLiteral("+44")}
        << 1 << 0 << 4 << QStringLiteral("+44;");
    QTest::newRow("dropped twice is not a duplicate")
        << QStringList{QStringLiteral("x"), QStringLiteral("x")} << 0 << 0 << 2 << QString();
    QTest::newRow("18 digits") << QStringList{QStringLiteral("999999999999999999")} << 1 << 0 << 0
                               << QStringLiteral("+999999999999999999;");
}

void TestDestinations::builder()
{
    QFETCH(QStringList, numbers);
    QFETCH(int, unique);
    QFETCH(int, duplicates);
    QFETCH(int, dropped);
    QFETCH(QString, destinations);
    TDestinationBuilder builder;
    for (const QString& n : numbers)
        builder.Add(n);
    const TDestinations d = builder.Finish();
    QCOMPARE(d.UniqueRecipients, unique);
    QCOMPARE(d.DuplicateRecipients, duplicates);
    QCOMPARE(d.DroppedNumbers, dropped);
    QCOMPARE(d.DestinationString, destinations);
}

void TestDestinations::pastedListWithoutDuplicates()
{
    TRecipientsModel model;
    QCOMPARE(model.AddPastedNumbers(QStringLiteral("3331234567;3471234567\r\n+393331234567")), 3);
    const TDestinations d = model.BuildDestinations({});
    QCOMPARE(d.UniqueRecipients, 3);
    QCOMPARE(d.DuplicateRecipients, 0);
    QCOMPARE(d.DestinationString, QStringLiteral("+3331234567;+3471234567;+393331234567;"));
}

void TestDestinations::contactAndListMember()
{
    int contactNode = 0;
    int listNode = 0;
    TRecipientsModel model;
    QVERIFY(model.AddContact(QStringLiteral("+393331234567"), &contactNode));
    QVERIFY(model.AddList(QStringLiteral("Amici"), 1, &listNode));
    const TDestinations d = model.BuildDestinations([](const QString& name) {
        return name == u"Amici" ? QStringList{QStringLiteral("+393331234567")} : QStringList{};
    });
    QCOMPARE(d.UniqueRecipients, 1);
    QCOMPARE(d.DuplicateRecipients, 1);
    QCOMPARE(d.DestinationString, QStringLiteral("+393331234567;"));
}

void TestDestinations::listsAreReadInOrder()
{
    QHash<QString, QStringList> lists{
        {QStringLiteral("A"), {QStringLiteral("+441"), QStringLiteral("+442")}},
        {QStringLiteral("B"), {QStringLiteral("+442"), QStringLiteral("+443"), QStringLiteral("+0441")}},
    };
    QStringList read;
    TRecipientsModel model;
    model.AddNumber(QStringLiteral("+443"));
    model.AddList(QStringLiteral("A"), 2);
    model.AddContact(QStringLiteral("+39 333 1"));
    model.AddList(QStringLiteral("B"), 3);
    const TDestinations d = model.BuildDestinations([&](const QString& name) {
        read << name;
        return lists.value(name);
    });
    QCOMPARE(read, (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    QCOMPARE(d.DestinationString, QStringLiteral("+443;+441;+442;+393331;"));
    QCOMPARE(d.UniqueRecipients, 4);
    QCOMPARE(d.DuplicateRecipients, 3);
}

void TestDestinations::listMembers_data()
{
    // A contact "+393331234567" is chosen first, then a list with these members.
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<int>("unique");
    QTest::addColumn<int>("duplicates");
    QTest::addColumn<QString>("destinations");
    QTest::newRow("same number with blanks is a duplicate")
        << QStringList{QStringLiteral("+39 333 1234567")} << 1 << 1 << QStringLiteral("+393331234567;");
    QTest::newRow("member with blanks is sent") << QStringList{QStringLiteral(" +44 7700 900123 ")} << 2 << 0
                                                << QStringLiteral("+393331234567;+447700900123;");
    QTest::newRow("other leftovers still dropped")
        << QStringList{QStringLiteral("+44-7700-900123")} << 1 << 0 << QStringLiteral("+393331234567;");
}

void TestDestinations::listMembers()
{
    QFETCH(QStringList, members);
    QFETCH(int, unique);
    QFETCH(int, duplicates);
    QFETCH(QString, destinations);
    TRecipientsModel model;
    model.AddContact(QStringLiteral("+393331234567"));
    model.AddList(QStringLiteral("L"), static_cast<int>(members.size()));
    const TDestinations d = model.BuildDestinations([&](const QString&) { return members; });
    QCOMPARE(d.UniqueRecipients, unique);
    QCOMPARE(d.DuplicateRecipients, duplicates);
    QCOMPARE(d.DestinationString, destinations);
}

void TestDestinations::unreadableListContributesNothing()
{
    TRecipientsModel model;
    model.AddList(QStringLiteral("Gone"), 5);
    model.AddNumber(QStringLiteral("+391"));
    TDestinations d = model.BuildDestinations([](const QString&) { return QStringList{}; });
    QCOMPARE(d.DestinationString, QStringLiteral("+391;"));
    d = model.BuildDestinations({}); // no reader at all
    QCOMPARE(d.UniqueRecipients, 1);
}

void TestDestinations::sameTreeNodeIsListedOnce()
{
    int node = 0;
    TRecipientsModel model;
    QVERIFY(model.AddContact(QStringLiteral("+391"), &node));
    QVERIFY(!model.AddContact(QStringLiteral("+391"), &node));
    QVERIFY(model.AddContact(QStringLiteral("+391"))); // another source of the same number
    QCOMPARE(model.Size(), 2);
    const TDestinations d = model.BuildDestinations({});
    QCOMPARE(d.UniqueRecipients, 1);
    QCOMPARE(d.DuplicateRecipients, 1);
}

void TestDestinations::emptyListIsNotAdded()
{
    TRecipientsModel model;
    QVERIFY(!model.AddList(QStringLiteral("Empty"), 0));
    QCOMPARE(model.Size(), 0);
}

void TestDestinations::removeAndClear()
{
    TRecipientsModel model;
    model.AddNumber(QStringLiteral("+1"));
    model.AddNumber(QStringLiteral("+2"));
    model.AddNumber(QStringLiteral("+3"));
    model.RemoveAt(1);
    model.RemoveAt(7);
    QCOMPARE(model.BuildDestinations({}).DestinationString, QStringLiteral("+1;+3;"));
    model.Clear();
    const TDestinations d = model.BuildDestinations({});
    QCOMPARE(d.UniqueRecipients, 0);
    QCOMPARE(d.DestinationString, QString());
}

void TestDestinations::typedNumbersAndLists()
{
    const TDestinations d = BuildDestinations(
        QStringList{QStringLiteral("0039 333 1234567"), QStringLiteral("7"),
                    QStringLiteral("+39-333-1234567"), QStringLiteral("abc")},
        QStringList{QStringLiteral("L")}, [](const QString&) {
            return QStringList{QStringLiteral("+393331234567"), QStringLiteral("+447700900123")};
        });
    QCOMPARE(d.RejectedNumbers, (QStringList{QStringLiteral("7"), QStringLiteral("abc")}));
    QCOMPARE(d.UniqueRecipients, 2);
    QCOMPARE(d.DuplicateRecipients, 2);
    QCOMPARE(d.DestinationString, QStringLiteral("+393331234567;+447700900123;"));
}

void TestDestinations::manyNumbers()
{
    // Enough values to make the set grow several times; every tenth is repeated.
    TDestinationBuilder builder;
    const int count = 200000;
    for (int i = 0; i < count; ++i) {
        builder.Add(QStringLiteral("+39%1").arg(3000000000LL + i));
        if (i % 10 == 0)
            builder.Add(QStringLiteral("0039%1").arg(3000000000LL + i).mid(2));
    }
    const TDestinations d = builder.Finish();
    QCOMPARE(d.UniqueRecipients, count);
    QCOMPARE(d.DuplicateRecipients, count / 10);
    QVERIFY(d.DestinationString.startsWith(u"+393000000000;+393000000001;"));
    QVERIFY(d.DestinationString.endsWith(u"+393000199999;"));
    QCOMPARE(d.DestinationString.size(), qsizetype(count) * 14);
}

void TestDestinations::numberArguments_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("numbers");
    QTest::newRow("one") << QStringList{QStringLiteral("+39 333-111")}
                         << QStringList{QStringLiteral("+39 333-111")};
    QTest::newRow("separators") << QStringList{QStringLiteral("+39333111, +39347222;;0612"),
                                               QStringLiteral("5")}
                                << QStringList{QStringLiteral("+39333111"), QStringLiteral("+39347222"),
                                               QStringLiteral("0612"), QStringLiteral("5")};
    QTest::newRow("empty pieces") << QStringList{QStringLiteral(" ; , "), QString()} << QStringList{};
}

void TestDestinations::numberArguments()
{
    QFETCH(QStringList, values);
    QFETCH(QStringList, numbers);
    QCOMPARE(SplitNumberArguments(values), numbers);
}

QTEST_GUILESS_MAIN(TestDestinations)
#include "TestDestinations.moc"
