#include "platform/OleDate.h"

#include <QtTest>

class TestOleDate : public QObject
{
    Q_OBJECT

private slots:
    void conversion_data();
    void conversion();
    void roundingReachesMidnight();
};

void TestOleDate::conversion_data()
{
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<double>("days");
    QTest::newRow("epoch") << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << 0.0;
    QTest::newRow("noon of the epoch") << QDateTime(QDate(1899, 12, 30), QTime(12, 0)) << 0.5;
    QTest::newRow("one minute") << QDateTime(QDate(1899, 12, 30), QTime(0, 1)) << 1.0 / 1440;
    QTest::newRow("2000-01-01 06:00") << QDateTime(QDate(2000, 1, 1), QTime(6, 0)) << 36526.25;
    QTest::newRow("before the epoch") << QDateTime(QDate(1899, 12, 29), QTime(6, 0)) << -1.25;
    QTest::newRow("two days before, 18:00") << QDateTime(QDate(1899, 12, 28), QTime(18, 0)) << -2.75;
}

void TestOleDate::conversion()
{
    QFETCH(QDateTime, dateTime);
    QFETCH(double, days);
    QCOMPARE(DateTimeToDays(dateTime), days);
    QCOMPARE(DaysToDateTime(days), dateTime);
}

void TestOleDate::roundingReachesMidnight()
{
    QCOMPARE(DaysToDateTime(36526.9999999999), QDateTime(QDate(2000, 1, 2), QTime(0, 0)));
    QCOMPARE(DaysToDateTime(-1.9999999999), QDateTime(QDate(1899, 12, 28), QTime(0, 0)));
}

QTEST_GUILESS_MAIN(TestOleDate)
#include "TestOleDate.moc"
