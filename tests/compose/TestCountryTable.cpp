#include "compose/CountryTable.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class TestCountryTable : public QObject
{
    Q_OBJECT

private slots:
    void tableSize();
    void rows_data();
    void rows();
    void barePlusRows();
    void everyPrefixIsPlusAndDigits();
    void findByName_data();
    void findByName();
    void countryOfNumber_data();
    void countryOfNumber();
};

void TestCountryTable::tableSize()
{
    QCOMPARE(kCountryCount, 237);
    QCOMPARE(CountryName(237), QString());
    QCOMPARE(CountryPrefix(-1), QString());
    QCOMPARE(InitialPrefixLabel(), QStringLiteral("+39"));
}

void TestCountryTable::rows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("prefix");
    const auto row = [](int r, const char* name, const char* prefix) {
        QTest::newRow(name) << r << QString::fromLatin1(name) << QString::fromLatin1(prefix);
    };
    row(0, "Aruba", "+297");
    row(1, "Afghanistan", "+93");
    row(7, "Anguilla", "+1264");
    row(9, "Antigua - Barbuda", "+1268");
    row(37, "Canada", "+1");
    row(48, "Congo, Republic of the", "+243");
    row(68, "Falkland Islands (Islas Malvinas)", "+500");
    row(75, "French Southern and Antarctica Lands (FR)", "+95");
    row(79, "Germany", "+49");
    row(103, "Italy", "+39");
    row(104, "Ivory Coast (Cote D'Ivoire)", "+225");
    row(108, "Kazakhstan", "+996");
    row(111, "Korea, Dem People's Rep", "+82");
    row(112, "Korea, Republic Of", "+82");
    row(114, "Kyrgyzstan", "+996");
    row(133, "Martinique", "+59");
    row(150, "Netherlands Antilles", "+31");
    row(164, "Papua New Guinea", "+975");
    row(175, "Russian Federation", "+7");
    row(177, "S Georgia - S Sandwich Islands (UK)", "+44");
    row(182, "San Marino", "+39");
    row(187, "Sierra Leona", "+232");
    row(206, "Tajikistan", "+737");
    row(221, "United Kingdom", "+44");
    row(222, "United States", "+1");
    row(230, "Virgin Isles (U.S.)", "+1");
    row(236, "Zimbabwe", "+263");
}

void TestCountryTable::rows()
{
    QFETCH(int, row);
    QFETCH(QString, name);
    QFETCH(QString, prefix);
    QCOMPARE(CountryName(row), name);
    QCOMPARE(CountryPrefix(row), prefix);
}

void TestCountryTable::barePlusRows()
{
    QStringList bare;
    for (int row = 0; row < kCountryCount; ++row)
        if (CountryPrefix(row) == u"+")
            bare << CountryName(row);
    QCOMPARE(bare, (QStringList{QStringLiteral("Bouvet Island (NOR)"),
                                QStringLiteral("British Indian Ocean Territory"),
                                QStringLiteral("Heard And Mc Donald Isles"),
                                QStringLiteral("Pitcairn Island"), QStringLiteral("Western Sahara")}));
}

void TestCountryTable::everyPrefixIsPlusAndDigits()
{
    QSet<QString> names;
    for (int row = 0; row < kCountryCount; ++row) {
        const QString prefix = CountryPrefix(row);
        QVERIFY2(prefix.startsWith(u'+') && prefix.size() <= 5, qPrintable(prefix));
        for (QChar c : QStringView(prefix).mid(1))
            QVERIFY2(c.isDigit(), qPrintable(prefix));
        QVERIFY2(!CountryName(row).trimmed().isEmpty() && CountryName(row) == CountryName(row).trimmed(),
                 qPrintable(CountryName(row)));
        names.insert(CountryName(row));
    }
    QCOMPARE(names.size(), qsizetype(kCountryCount));
}

void TestCountryTable::findByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("row");
    QTest::newRow("exact") << QStringLiteral("Italy") << 103;
    QTest::newRow("letter case ignored") << QStringLiteral("uNITED kINGDOM") << 221;
    QTest::newRow("whole string only") << QStringLiteral("Ital") << -1;
    QTest::newRow("empty") << QString() << -1;
}

void TestCountryTable::findByName()
{
    QFETCH(QString, name);
    QFETCH(int, row);
    QCOMPARE(FindCountryByName(name), row);
}

void TestCountryTable::countryOfNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("rest");
    QTest::newRow("Anguilla by five characters")
        << QStringLiteral("+12645551234") << 7 << QStringLiteral("5551234");
    QTest::newRow("Canada for +1") << QStringLiteral("+15551234") << 37 << QStringLiteral("5551234");
    QTest::newRow("Italy, not San Marino")
        << QStringLiteral("+393331234567") << 103 << QStringLiteral("3331234567");
    QTest::newRow("Australia for +61") << QStringLiteral("+61212345678") << 12 << QStringLiteral("212345678");
    QTest::newRow("two characters") << QStringLiteral("+79161234567") << 175 << QStringLiteral("9161234567");
    QTest::newRow("Kazakhstan first for +996") << QStringLiteral("+996555") << 108 << QStringLiteral("555");
    QTest::newRow("+44 is S Georgia, the top row")
        << QStringLiteral("+442079460000") << 177 << QStringLiteral("2079460000");
    QTest::newRow("number shorter than the prefix try") << QStringLiteral("+39") << 103 << QString();
    QTest::newRow("no prefix") << QStringLiteral("3331234567") << -1 << QStringLiteral("3331234567");
    QTest::newRow("unknown prefix") << QStringLiteral("+0123") << -1 << QStringLiteral("+0123");
    QTest::newRow("lone plus") << QStringLiteral("+") << -1 << QStringLiteral("+");
    QTest::newRow("empty") << QString() << -1 << QString();
}

void TestCountryTable::countryOfNumber()
{
    QFETCH(QString, number);
    QFETCH(int, row);
    QFETCH(QString, rest);
    const TCountryMatch match = FindCountryOfNumber(number);
    QCOMPARE(match.Row, row);
    QCOMPARE(match.Rest, rest);
}

QTEST_GUILESS_MAIN(TestCountryTable)
#include "TestCountryTable.moc"
