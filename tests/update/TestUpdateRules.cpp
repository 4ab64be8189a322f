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
    QTest::newRow("fourth part beyond 32 bits is 0") << "2.0.0.4294967297" << 0x02000000 << false << false;
    QTest::newRow("127.255.255.255 is the largest") << "127.255.255.255" << 0x7FFFFFFF << true << true;
}

void TestUpdateRules::versions()
{
    QFETCH(QString, published);
    QTEST(FullVersionNumber(published), "full");
    QTEST(IsNewerVersion(published, QStringLiteral("2.0.0.1"), false), "newerAutomatic");
    QTEST(IsNewerVersion(published, QStringLiteral("2.0.0.1"), true), "newerManual");
}

void TestUpdateRules::description_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("record"); // version|setup|complete?|digest|error?
    const QByteArray body = "<VERSION>2.0.0.2</VERSION><SETUP>http://h/s</SETUP></BRELMONT>";
    const QString found = QStringLiteral("2.0.0.2|http://h/s|complete||");
    const QString nothing = QStringLiteral("||partial||");
    QTest::newRow("plain") << "<BRELMONT>" + body << found;
    QTest::newRow("any letter case and order, others ignored")
        << QByteArray("<Brelmont><x>1</x><setup>http://h/s</setup><Version> 2.0.0.2\n</Version></Brelmont>")
        << found;
    QTest::newRow("white space before the root") << "\n  <BRELMONT>" + body << found;
    QTest::newRow("XML declaration first") << "<?xml version=\"1.0\"?><BRELMONT>" + body << nothing;
    QTest::newRow("comment first") << "<!-- c --><BRELMONT>" + body << nothing;
    QTest::newRow("other root") << QByteArray("<UPDATE><VERSION>9.0.0.0</VERSION></UPDATE>") << nothing;
    QTest::newRow("repeated element overwrites and counts again")
        << "<BRELMONT><VERSION>1.0.0.0</VERSION>" + body << "2.0.0.2|http://h/s|partial||";
    QTest::newRow("version only") << QByteArray("<BRELMONT><VERSION>2</VERSION></BRELMONT>")
                                  << "2||partial||";
    QTest::newRow("digest does not count")
        << "<BRELMONT><SHA256> AB </SHA256>" + body << "2.0.0.2|http://h/s|complete|AB|";
    QTest::newRow("grandchildren are not walked")
        << QByteArray("<BRELMONT><G><VERSION>9</VERSION></G></BRELMONT>") << nothing;
    QTest::newRow("not well-formed gives nothing")
        << "<BRELMONT>" + body.chopped(11) << "||partial||malformed";
}

void TestUpdateRules::description()
{
    QFETCH(QByteArray, document);
    QString error;
    const TRecLastVersion r = ParseLastVersion(document, &error);
    const QString complete = r.Complete ? QStringLiteral("complete") : QStringLiteral("partial");
    const QString malformed = error.isEmpty() ? QString() : QStringLiteral("malformed");
    QTEST(QStringList({r.Version, r.Setup, complete, r.Sha256, malformed}).join(u'|'), "record");
}

QTEST_GUILESS_MAIN(TestUpdateRules)
#include "TestUpdateRules.moc"
