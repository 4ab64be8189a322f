#include "update/LastVersion.h"
#include "update/UpdateVersion.h"

#include <QtTest>

// Version numbers and the description rules, without a network.
class TestUpdateRules : public QObject
{
    Q_OBJECT

private slots:
    void versions_data();
    void versions();
    void description_data();
    void description();
};

void TestUpdateRules::versions_data()
{
    QTest::addColumn<QString>("published");
    QTest::addColumn<qint32>("full");
    QTest::addColumn<bool>("newerAutomatic"); // than the program's 2.0.0.1
    QTest::addColumn<bool>("newerManual");
    QTest::newRow("2.0.0.2: only the manual check sees it") << "2.0.0.2" << 0x02000002 << false << true;
    QTest::newRow("2.0.1.0: both") << "2.0.1.0" << 0x02000100 << true << true;
    QTest::newRow("2.1 is 2.0.0.0") << "2.1" << 0x02000000 << false << false;
    QTest::newRow("2.0.1 is 2.0.0.0") << "2.0.1" << 0x02000000 << false << false;
    QTest::newRow("3 without a dot is 0") << "3" << 0 << false << false;
    QTest::newRow("empty is 0") << "" << 0 << false << false;
    QTest::newRow("blanks around parts") << " 2 . 0 . 0 . 2 " << 0x02000002 << false << true;
    QTest::newRow("rest after the third dot is one part") << "2.0.0.1.9" << 0x02000000 << false << false;
    QTest::newRow("letters count 0") << "2.x.0.9" << 0x02000009 << false << true;
    QTest::newRow("second part carries into the first") << "1.256.0.2" << 0x02000002 << false << true;
    QTest::newRow("fourth part -1 borrows") << "2.0.1.-1" << 0x020000FF << true << true;
    QTest::newRow("128.0.0.0 wraps negative") << "128.0.0.0" << qint32(0x80000000) << false << false;
    QTest::newRow("255.255.255.255 is -1") << "255.255.255.255" << -1 << false << false;
    QTest::newRow("fourth part beyond 32 bits is 0") << "2.0.0.4294967297" << 0x02000000 << false << false;
    QTest::newRow("384.0.0.0 wraps back to 128") << "384.0.0.0" << qint32(0x80000000) << false << false;
    QTest::newRow("127.255.255.255 is the largest") << "127.255.255.255" << 0x7FFFFFFF << true << true;
}

void TestUpdateRules::versions()
{
    QFETCH(QString, published);
    QFETCH(qint32, full);
    QFETCH(bool, newerAutomatic);
    QFETCH(bool, newerManual);
    QCOMPARE(FullVersionNumber(published), full);
    QCOMPARE(IsNewerVersion(published, QStringLiteral("2.0.0.1"), false), newerAutomatic);
    QCOMPARE(IsNewerVersion(published, QStringLiteral("2.0.0.1"), true), newerManual);
}

void TestUpdateRules::description_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QString>("sha256");
    QTest::addColumn<bool>("error");
    const QByteArray body = "<VERSION>2.0.0.2</VERSION><SETUP>http://h/s.run</SETUP></BRELMONT>";
    QTest::newRow("plain") << "<BRELMONT>" + body << "2.0.0.2"
                           << "http://h/s.run" << true << "" << false;
    QTest::newRow("any letter case, any order, other elements ignored")
        << QByteArray(
               "<Brelmont><x>1</x><setup>http://h/s.run</setup><Version> 2.0.0.2\n</Version></Brelmont>")
        << "2.0.0.2"
        << "http://h/s.run" << true << "" << false;
    QTest::newRow("white space before the root") << "\n  <BRELMONT>" + body << "2.0.0.2"
                                                 << "http://h/s.run" << true << "" << false;
    QTest::newRow("XML declaration first") << "<?xml version=\"1.0\"?><BRELMONT>" + body << ""
                                           << "" << false << "" << false;
    QTest::newRow("comment first") << "<!-- c --><BRELMONT>" + body << ""
                                   << "" << false << "" << false;
    QTest::newRow("other root") << QByteArray("<UPDATE><VERSION>9.0.0.0</VERSION></UPDATE>") << ""
                                << "" << false << "" << false;
    QTest::newRow("repeated element overwrites and counts again")
        << "<BRELMONT><VERSION>1.0.0.0</VERSION>" + body << "2.0.0.2"
        << "http://h/s.run" << false << "" << false;
    QTest::newRow("version only") << QByteArray("<BRELMONT><VERSION>2.0.0.2</VERSION></BRELMONT>")
                                  << "2.0.0.2"
                                  << "" << false << "" << false;
    QTest::newRow("digest does not count") << "<BRELMONT><SHA256> ABC </SHA256>" + body << "2.0.0.2"
                                           << "http://h/s.run" << true << "ABC" << false;
    QTest::newRow("grandchildren are not walked")
        << QByteArray("<BRELMONT><G><VERSION>9.0.0.0</VERSION></G></BRELMONT>") << ""
        << "" << false << "" << false;
    QTest::newRow("not well-formed gives nothing") << "<BRELMONT>" + body.chopped(11) << ""
                                                   << "" << false << "" << true;
}

void TestUpdateRules::description()
{
    QFETCH(QByteArray, document);
    QString error;
    const TRecLastVersion record = ParseLastVersion(document, &error);
    QTEST(record.Version, "version");
    QTEST(record.Setup, "setup");
    QTEST(record.Complete, "complete");
    QTEST(record.Sha256, "sha256");
    QTEST(!error.isEmpty(), "error");
}

QTEST_GUILESS_MAIN(TestUpdateRules)
#include "TestUpdateRules.moc"
