#include "platform/Win1252.h"

#include <QtTest>

class TestWin1252 : public QObject
{
    Q_OBJECT

private slots:
    void bytes_data();
    void bytes();
    void missingCharacters();
};

void TestWin1252::bytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ASCII") << QByteArray("Brelmont 1") << QStringLiteral("Brelmont 1");
    QTest::newRow("euro at 0x80") << QByteArray("\x80") << QStringLiteral("€");
    QTest::newRow("quotes and dashes") << QByteArray("\x93\x94\x96\x97") << QStringLiteral("“”–—");
    QTest::newRow("Latin-1 range") << QByteArray("\xE0\xE8\xF9\xFF") << QStringLiteral("àèùÿ");
    QTest::newRow("undefined byte 0x81") << QByteArray("\x81") << QString(QChar(0x81));
    QTest::newRow("zero byte") << QByteArray("a\0b", 3) << QString(QStringLiteral("a") + QChar(0) + u'b');
}

void TestWin1252::bytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(FromWin1252(bytes), text);
    QCOMPARE(ToWin1252(text), bytes);
    QVERIFY(IsWin1252Encodable(text));
}

void TestWin1252::missingCharacters()
{
    QCOMPARE(ToWin1252(QStringLiteral("a€Ωb😀")), QByteArray("a\x80?b??"));
    QVERIFY(!IsWin1252Encodable(QStringLiteral("Ω")));
    QCOMPARE(Win1252Byte(u'Ω'), -1);
    QCOMPARE(Win1252Byte(0x20AC), 0x80);
}

QTEST_GUILESS_MAIN(TestWin1252)
#include "TestWin1252.moc"
