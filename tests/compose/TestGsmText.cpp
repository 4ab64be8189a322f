#include "compose/GsmText.h"

#include <QRandomGenerator>
#include <QTest>

class TestGsmText : public QObject
{
    Q_OBJECT

private slots:
    void charClass_data();
    void charClass();
    void basicSetHas128CodePoints();
    void count_data();
    void count();
    void countOfLongTextStaysLinear();
    void crLfLineBreaks_data();
    void crLfLineBreaks();
    void sendText_data();
    void sendText();
    void randomTextsAgree();
};

void TestGsmText::charClass_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("expected");
    QTest::newRow("NUL") << 0x0000 << int(gcBasic);
    QTest::newRow("LF") << 0x000A << int(gcBasic);
    QTest::newRow("CR") << 0x000D << int(gcBasic);
    QTest::newRow("tab") << 0x0009 << int(gcUnicode);
    QTest::newRow("form feed") << 0x000C << int(gcUnicode);
    QTest::newRow("space") << 0x0020 << int(gcBasic);
    QTest::newRow("at sign") << 0x0040 << int(gcBasic);
    QTest::newRow("Z") << 0x005A << int(gcBasic);
    QTest::newRow("underscore") << 0x005F << int(gcBasic);
    QTest::newRow("grave accent") << 0x0060 << int(gcUnicode);
    QTest::newRow("a") << 0x0061 << int(gcBasic);
    QTest::newRow("z") << 0x007A << int(gcBasic);
    QTest::newRow("DEL") << 0x007F << int(gcUnicode);
    QTest::newRow("caret") << int('^') << int(gcExtension);
    QTest::newRow("open brace") << int('{') << int(gcExtension);
    QTest::newRow("close brace") << int('}') << int(gcExtension);
    QTest::newRow("backslash") << int('\\') << int(gcExtension);
    QTest::newRow("open bracket") << int('[') << int(gcExtension);
    QTest::newRow("tilde") << int('~') << int(gcExtension);
    QTest::newRow("close bracket") << int(']') << int(gcExtension);
    QTest::newRow("bar") << int('|') << int(gcExtension);
    QTest::newRow("euro") << 0x20AC << int(gcExtension);
    QTest::newRow("inverted exclamation") << 0x00A1 << int(gcBasic);
    QTest::newRow("cent") << 0x00A2 << int(gcUnicode);
    QTest::newRow("pound") << 0x00A3 << int(gcBasic);
    QTest::newRow("section") << 0x00A7 << int(gcBasic);
    QTest::newRow("C cedilla") << 0x00C7 << int(gcBasic);
    QTest::newRow("c cedilla") << 0x00E7 << int(gcUnicode);
    QTest::newRow("sharp s") << 0x00DF << int(gcBasic);
    QTest::newRow("a grave") << 0x00E0 << int(gcBasic);
    QTest::newRow("a acute") << 0x00E1 << int(gcUnicode);
    QTest::newRow("e grave") << 0x00E8 << int(gcBasic);
    QTest::newRow("e acute") << 0x00E9 << int(gcBasic);
    QTest::newRow("i grave") << 0x00EC << int(gcBasic);
    QTest::newRow("i acute") << 0x00ED << int(gcUnicode);
    QTest::newRow("o grave") << 0x00F2 << int(gcBasic);
    QTest::newRow("u grave") << 0x00F9 << int(gcBasic);
    QTest::newRow("u umlaut") << 0x00FC << int(gcBasic);
    QTest::newRow("y umlaut") << 0x00FF << int(gcUnicode);
    QTest::newRow("Gamma") << 0x0393 << int(gcBasic);
    QTest::newRow("Omega") << 0x03A9 << int(gcBasic);
    QTest::newRow("Alpha") << 0x0391 << int(gcUnicode);
    QTest::newRow("Sigma") << 0x03A3 << int(gcBasic);
    QTest::newRow("left double quote") << 0x201C << int(gcUnicode);
    QTest::newRow("en dash") << 0x2013 << int(gcUnicode);
    QTest::newRow("high surrogate") << 0xD83D << int(gcUnicode);
    QTest::newRow("low surrogate") << 0xDE00 << int(gcUnicode);
    QTest::newRow("U+FFFF") << 0xFFFF << int(gcUnicode);
}

void TestGsmText::charClass()
{
    QFETCH(int, unit);
    QFETCH(int, expected);
    QCOMPARE(GsmCharClass(static_cast<char16_t>(unit)), expected);
}

void TestGsmText::basicSetHas128CodePoints()
{
    int basic = 0;
    int extension = 0;
    for (int u = 0; u <= 0xFFFF; ++u) {
        const int cls = GsmCharClass(static_cast<char16_t>(u));
        basic += cls == gcBasic;
        extension += cls == gcExtension;
    }
    QCOMPARE(basic, 128);
    QCOMPARE(extension, 9);
}

void TestGsmText::count_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("parts");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("unicode");
    QTest::addColumn<bool>("tooLong");

    const QString a = QStringLiteral("a");
    const QString ua = QStringLiteral("\u00E1"); // á
    QTest::newRow("empty") << QString() << 0 << 1 << 160 << false << false;
    QTest::newRow("160 basic") << a.repeated(160) << 160 << 1 << 160 << false << false;
    QTest::newRow("161 basic") << a.repeated(161) << 161 << 2 << 306 << false << false;
    QTest::newRow("306 basic") << a.repeated(306) << 306 << 2 << 306 << false << false;
    QTest::newRow("307 basic") << a.repeated(307) << 307 << 3 << 459 << false << false;
    QTest::newRow("459 basic") << a.repeated(459) << 459 << 3 << 459 << false << false;
    QTest::newRow("460 basic") << a.repeated(460) << 460 << 4 << 612 << false << false;
    QTest::newRow("612 basic") << a.repeated(612) << 612 << 4 << 612 << false << false;
    QTest::newRow("613 basic") << a.repeated(613) << 613 << 4 << 612 << false << true;
    QTest::newRow("640 basic") << a.repeated(640) << 640 << 4 << 612 << false << true;
    QTest::newRow("lone euro") << QStringLiteral("\u20AC") << 2 << 1 << 160 << false << false;
    QTest::newRow("[x]") << QStringLiteral("[x]") << 5 << 1 << 160 << false << false;
    QTest::newRow("80 euros fill one part")
        << QStringLiteral("\u20AC").repeated(80) << 160 << 1 << 160 << false << false;
    QTest::newRow("159 basic and a brace") << a.repeated(159) + u'{' << 161 << 2 << 306 << false << false;
    QTest::newRow("Ciao CR LF Ciao") << QStringLiteral("Ciao\r\nCiao") << 9 << 1 << 160 << false << false;
    QTest::newRow("Ciao CR LF with a-acute")
        << QStringLiteral("Ciao\r\nCi\u00E1o") << 10 << 1 << 70 << true << false;
    QTest::newRow("70 unicode") << ua.repeated(70) << 70 << 1 << 70 << true << false;
    QTest::newRow("71 unicode") << ua.repeated(71) << 71 << 2 << 134 << true << false;
    QTest::newRow("75 unicode") << ua.repeated(75) << 75 << 2 << 134 << true << false;
    QTest::newRow("134 unicode") << ua.repeated(134) << 134 << 2 << 134 << true << false;
    QTest::newRow("135 unicode") << ua.repeated(135) << 135 << 3 << 201 << true << false;
    QTest::newRow("201 unicode") << ua.repeated(201) << 201 << 3 << 201 << true << false;
    QTest::newRow("202 unicode") << ua.repeated(202) << 202 << 4 << 268 << true << false;
    QTest::newRow("268 unicode") << ua.repeated(268) << 268 << 4 << 268 << true << false;
    QTest::newRow("269 unicode") << ua.repeated(269) << 269 << 4 << 268 << true << true;
    QTest::newRow("euro counts one in unicode")
        << QStringLiteral("\u20AC\u00E1") << 2 << 1 << 70 << true << false;
    QTest::newRow("unicode after many extension chars")
        << QStringLiteral("{}").repeated(50) + ua << 101 << 2 << 134 << true << false;
    QTest::newRow("emoji counts two") << QStringLiteral("\U0001F600") << 2 << 1 << 70 << true << false;
    QTest::newRow("typographic quotes") << QStringLiteral("\u201Cok\u201D") << 4 << 1 << 70 << true << false;
    QTest::newRow("accents of the basic set")
        << QStringLiteral("\u00E9\u00E8\u00E0\u00F9\u00EC\u00F2\u00C7") << 7 << 1 << 160 << false << false;
    QTest::newRow("lone high surrogate") << QString(QChar(0xD800)) << 1 << 1 << 70 << true << false;
    QTest::newRow("NUL is basic") << QString(3, QChar(0)) << 3 << 1 << 160 << false << false;
}

void TestGsmText::count()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(int, parts);
    QFETCH(int, limit);
    QFETCH(bool, unicode);
    QFETCH(bool, tooLong);
    const TTextCount c = CountMessageText(text);
    QCOMPARE(c.Count, qsizetype(count));
    QCOMPARE(c.Parts, parts);
    QCOMPARE(c.Limit, limit);
    QCOMPARE(c.IsUnicode, unicode);
    QCOMPARE(c.TextTooLong, tooLong);
}

void TestGsmText::countOfLongTextStaysLinear()
{
    // A 1 MB paste ending in one Unicode character: counted whole, no crash.
    const QString text = QStringLiteral("ab[]\r\n").repeated(1 << 17) + QChar(0xDC00);
    const TTextCount c = CountMessageText(text);
    QCOMPARE(c.Count, text.size());
    QVERIFY(c.IsUnicode);
    QVERIFY(c.TextTooLong);
}

void TestGsmText::crLfLineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("LF") << QStringLiteral("a\nb") << QStringLiteral("a\r\nb");
    QTest::newRow("CR LF kept") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb");
    QTest::newRow("lone CR") << QStringLiteral("a\rb") << QStringLiteral("a\r\nb");
    QTest::newRow("LF CR") << QStringLiteral("a\n\rb") << QStringLiteral("a\r\n\r\nb");
    QTest::newRow("trailing LF") << QStringLiteral("a\n") << QStringLiteral("a\r\n");
    QTest::newRow("none") << QStringLiteral("abc") << QStringLiteral("abc");
}

void TestGsmText::crLfLineBreaks()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(WithCrLfLineBreaks(text), expected);
}

void TestGsmText::sendText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("unicode");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("Ciao unicode") << QStringLiteral("Ciao") << true << QByteArray("004300690061006F0000");
    QTest::newRow("empty unicode") << QString() << true << QByteArray("0000");
    QTest::newRow("upper-case hex") << QStringLiteral("\u00E1\u20AC") << true << QByteArray("00E120AC0000");
    QTest::newRow("surrogate pair as two units")
        << QStringLiteral("\U0001F600") << true << QByteArray("D83DDE000000");
    QTest::newRow("Ciao GSM") << QStringLiteral("Ciao") << false << QByteArray("Ciao");
    QTest::newRow("euro is 0x80") << QStringLiteral("5\u20AC") << false << QByteArray("5\x80");
    QTest::newRow("latin-1 letters") << QStringLiteral("\u00E8\u00C7\u00A3") << false
                                     << QByteArray("\xE8\xC7\xA3");
    QTest::newRow("CR LF kept") << QStringLiteral("a\r\nb") << false << QByteArray("a\r\nb");
    QTest::newRow("greek capitals substituted")
        << QStringLiteral("\u0394x\u03A9") << false << QByteArray("?x?");
    QTest::newRow("NUL substituted") << QString(QChar(0)) << false << QByteArray("?");
}

void TestGsmText::sendText()
{
    QFETCH(QString, text);
    QFETCH(bool, unicode);
    QFETCH(QByteArray, expected);
    QCOMPARE(BuildSendText(text, unicode), expected);
}

void TestGsmText::randomTextsAgree()
{
    // The table-driven count agrees with a count spelled out from GsmCharClass, and the send
    // text has one byte per unit (GSM) or four hex digits per unit plus the terminator (Unicode).
    QRandomGenerator random(7);
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = random.bounded(700);
        const QString gsm = QStringLiteral("ab {}[]\u20AC\r\n\u00C7\u03A9^");
        for (int i = 0; i < length; ++i) {
            switch (round % 3) {
            case 0:
                text.append(QChar(static_cast<char16_t>(random.bounded(0x10000))));
                break;
            case 1:
                text.append(gsm[random.bounded(gsm.size())]);
                break;
            default:
                text.append(QChar(static_cast<char16_t>(random.bounded(0x100))));
            }
        }
        qsizetype expected = 0;
        bool unicode = false;
        for (QChar c : text) {
            const int cls = GsmCharClass(c.unicode());
            unicode = unicode || cls == gcUnicode;
            expected += c == u'\r' ? 0 : cls == gcExtension ? 2 : 1;
        }
        const TTextCount count = CountMessageText(text);
        QCOMPARE(count.IsUnicode, unicode);
        QCOMPARE(count.Count, unicode ? text.size() : expected);
        QCOMPARE(BuildSendText(text, count.IsUnicode).size(), unicode ? (text.size() + 1) * 4 : text.size());
    }
}

QTEST_GUILESS_MAIN(TestGsmText)
#include "TestGsmText.moc"
