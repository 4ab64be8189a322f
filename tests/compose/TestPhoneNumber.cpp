#include "compose/PhoneNumber.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

class TestPhoneNumber : public QObject
{
    Q_OBJECT

private slots:
    void clean_data();
    void clean();
    void defaultPrefix_data();
    void defaultPrefix();
    void lacksPrefix_data();
    void lacksPrefix();
    void contactNumber_data();
    void contactNumber();
    void numberList_data();
    void numberList();
    void numberListOfAnyShape();
    void destinationValue_data();
    void destinationValue();
    void randomInputKeepsTheForm();
};

void TestPhoneNumber::clean_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("cleaned"); // the in-out number afterwards
    QTest::addColumn<QString>("result");
    const auto row = [](const char* name, const char* in, const char* cleaned, const char* result) {
        QTest::newRow(name) << QString::fromUtf8(in) << QString::fromUtf8(cleaned)
                            << QString::fromUtf8(result);
    };
    row("0039 prefix", "0039 333-1234567", "+393331234567", "+393331234567");
    row("parentheses and blanks", "(333) 123 4567", "3331234567", "3331234567");
    row("leading zero dropped", "0612345678", "612345678", "612345678");
    row("single digit rejected", "7", "7", "");
    row("lone plus accepted", "+", "+", "+");
    row("letters rejected", "abc", "", "");
    row("dots", "+39 333.123.45.67", "+393331234567", "+393331234567");
    row("0044 London", "0044 20 7946 0000", "+442079460000", "+442079460000");
    row("00 alone", "00", "+", "+");
    row("0 alone", "0", "", "");
    row("0 and dash", "0-", "", "");
    row("plus not first", "3+39333", "339333", "339333");
    row("plus after blank", " +39333", "39333", "39333");
    row("two digits", "12", "12", "12");
    row("zero then digit", "05", "5", "");
    row("plus zero kept", "+0393331234567", "+0393331234567", "+0393331234567");
    row("000 prefix", "000612", "+0612", "+0612");
    row("empty", "", "", "");
    row("unicode digits are not digits", "\u0663\u0663\u0663", "", "");
    row("already clean", "+393331234567", "+393331234567", "+393331234567");
}

void TestPhoneNumber::clean()
{
    QFETCH(QString, input);
    QFETCH(QString, cleaned);
    QFETCH(QString, result);
    QString number = input;
    QString out = QStringLiteral("stale");
    CleanPhoneNumber(number, out);
    QCOMPARE(number, cleaned);
    QCOMPARE(out, result);
    QCOMPARE(AcceptedPhoneNumber(input), result);
}

void TestPhoneNumber::defaultPrefix_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no prefix") << QStringLiteral("3331234567") << QStringLiteral("+39")
                               << QStringLiteral("+393331234567");
    QTest::newRow("0039 left alone") << QStringLiteral("0039347123") << QStringLiteral("+39")
                                     << QStringLiteral("+39347123");
    QTest::newRow("06123") << QStringLiteral("06123") << QStringLiteral("+39") << QStringLiteral("+396123");
    QTest::newRow("double zero is a prefix")
        << QStringLiteral("0 0 6123") << QStringLiteral("+44") << QStringLiteral("+6123");
    QTest::newRow("plus kept") << QStringLiteral("+441234") << QStringLiteral("+39")
                               << QStringLiteral("+441234");
    QTest::newRow("rejected stays cleaned")
        << QStringLiteral("7-") << QStringLiteral("+39") << QStringLiteral("7");
    QTest::newRow("bare plus prefix")
        << QStringLiteral("333") << QStringLiteral("+") << QStringLiteral("+333");
}

void TestPhoneNumber::defaultPrefix()
{
    QFETCH(QString, input);
    QFETCH(QString, prefix);
    QFETCH(QString, expected);
    QCOMPARE(ApplyDefaultPrefix(input, prefix), expected);
}

void TestPhoneNumber::lacksPrefix_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("lacks");
    QTest::newRow("national") << QStringLiteral("333 1234567") << true;
    QTest::newRow("plus") << QStringLiteral("+39333") << false;
    QTest::newRow("double zero") << QStringLiteral("0039333") << false;
    QTest::newRow("rejected") << QStringLiteral("7") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestPhoneNumber::lacksPrefix()
{
    QFETCH(QString, input);
    QFETCH(bool, lacks);
    QCOMPARE(LacksInternationalPrefix(input), lacks);
}

void TestPhoneNumber::contactNumber_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("countrySelected");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("ok");
    QTest::newRow("italy mobile") << QStringLiteral("+39") << QStringLiteral("3331234567") << true
                                  << QStringLiteral("+393331234567") << true;
    QTest::newRow("leading 0 of the field stays") << QStringLiteral("+39") << QStringLiteral("0612345678")
                                                  << true << QStringLiteral("+390612345678") << true;
    QTest::newRow("prefix label comes first")
        << QStringLiteral("+39") << QStringLiteral("0044123") << true << QStringLiteral("+390044123") << true;
    QTest::newRow("no country") << QStringLiteral("+39") << QStringLiteral("333") << false
                                << QStringLiteral("+39333") << false;
    QTest::newRow("blank field") << QStringLiteral("+39") << QStringLiteral("   ") << true
                                 << QStringLiteral("+39") << false;
    QTest::newRow("no prefix, one digit") << QString() << QStringLiteral("7") << true << QString() << false;
    QTest::newRow("bare plus country")
        << QStringLiteral("+") << QStringLiteral("12") << true << QStringLiteral("+12") << true;
}

void TestPhoneNumber::contactNumber()
{
    QFETCH(QString, prefix);
    QFETCH(QString, field);
    QFETCH(bool, countrySelected);
    QFETCH(QString, result);
    QFETCH(bool, ok);
    const TContactNumberCheck check = CheckContactNumber(prefix, field, countrySelected);
    QCOMPARE(check.Result, result);
    QCOMPARE(check.Valid, !result.isEmpty());
    QCOMPARE(check.OkEnabled, ok);
}

void TestPhoneNumber::numberList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("numbers");
    QTest::newRow("two lines") << QStringLiteral("3331234567;3471234567\r\n+393331234567")
                               << QStringList{QStringLiteral("3331234567"), QStringLiteral("3471234567"),
                                              QStringLiteral("+393331234567")};
    QTest::newRow("blank splits") << QStringLiteral("333 1234567")
                                  << QStringList{QStringLiteral("333"), QStringLiteral("1234567")};
    QTest::newRow("quotes keep together")
        << QStringLiteral("\"333 1234567\";\"0039 347 1\"")
        << QStringList{QStringLiteral("3331234567"), QStringLiteral("+393471")};
    QTest::newRow("tabs and lone CR")
        << QStringLiteral("0612\t0713\r+3")
        << QStringList{QStringLiteral("612"), QStringLiteral("713"), QStringLiteral("+3")};
    QTest::newRow("rejected pieces skipped")
        << QStringLiteral("7;abc;;0;+39 12") << QStringList{QStringLiteral("+39"), QStringLiteral("12")};
    QTest::newRow("hint yields nothing")
        << QStringLiteral("Copy here your number list to add using ; or return as separator.")
        << QStringList{};
    QTest::newRow("unterminated quote ends at line end")
        << QStringLiteral("\"333 44\n555") << QStringList{QStringLiteral("33344"), QStringLiteral("555")};
    QTest::newRow("text after a quote is its own piece")
        << QStringLiteral("\"12\"34") << QStringList{QStringLiteral("12"), QStringLiteral("34")};
    QTest::newRow("empty") << QString() << QStringList{};
}

void TestPhoneNumber::numberList()
{
    QFETCH(QString, text);
    QFETCH(QStringList, numbers);
    QCOMPARE(ParseNumberList(text), numbers);
}

void TestPhoneNumber::numberListOfAnyShape()
{
    QString pasted;
    for (int i = 0; i < 100000; ++i)
        pasted += QStringLiteral("+39333%1;\"\0\"\r\n").arg(i, 7, 10, QLatin1Char('0'));
    const QStringList numbers = ParseNumberList(pasted);
    QCOMPARE(numbers.size(), qsizetype(100000));
    QCOMPARE(numbers.last(), QStringLiteral("+393330099999"));
    QCOMPARE(ParseNumberList(QStringLiteral("\"")), QStringList{});
    QCOMPARE(ParseNumberList(QString(QChar(0xD800))), QStringList{});
}

void TestPhoneNumber::destinationValue_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<qint64>("value");
    QTest::newRow("plus") << QStringLiteral("+393331234567") << qint64(393331234567);
    QTest::newRow("plus zero same value") << QStringLiteral("+0393331234567") << qint64(393331234567);
    QTest::newRow("no plus") << QStringLiteral("3331234567") << qint64(3331234567);
    QTest::newRow("18 digits") << QStringLiteral("+999999999999999999") << qint64(999999999999999999);
    QTest::newRow("19 digits dropped") << QStringLiteral("+1000000000000000000") << qint64(0);
    QTest::newRow("leading zeros do not count") << QStringLiteral("000009999999999999999999") << qint64(0);
    QTest::newRow("leading zeros then 18 digits")
        << QStringLiteral("00000999999999999999999") << qint64(999999999999999999);
    QTest::newRow("zeros then 18 digits")
        << QStringLiteral("+000123456789012345678") << qint64(123456789012345678);
    QTest::newRow("empty") << QString() << qint64(0);
    QTest::newRow("lone plus") << QStringLiteral("+") << qint64(0);
    QTest::newRow("zero") << QStringLiteral("+000") << qint64(0);
    QTest::newRow("leftovers") << QStringLiteral("+39 333") << qint64(0);
    QTest::newRow("minus") << QStringLiteral("-39") << qint64(0);
    QTest::newRow("double plus") << QStringLiteral("++39") << qint64(0);
}

void TestPhoneNumber::destinationValue()
{
    QFETCH(QString, number);
    QFETCH(qint64, value);
    QCOMPARE(DestinationValue(number), value);
}

void TestPhoneNumber::randomInputKeepsTheForm()
{
    // Any input cleans to "+"/digits, an accepted number cleans to itself, and the pieces of a
    // pasted list are accepted numbers.
    const QString alphabet = QStringLiteral("0000123456789++  ;;\"\r\n\t-().a\u00E1\u0663") + QChar(0) +
                             QChar(0xD800) + QChar(0xDC00) + QChar(0xFFFF);
    const QRegularExpression cleanForm(QStringLiteral("^\\+?[0-9]*$"));
    const QRegularExpression acceptedForm(QStringLiteral("^(\\+[0-9]*|[1-9][0-9]+)$"));
    QRandomGenerator random(5);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int length = random.bounded(24);
        for (int i = 0; i < length; ++i)
            text.append(alphabet[random.bounded(alphabet.size())]);
        QString number = text;
        QString result;
        CleanPhoneNumber(number, result);
        QVERIFY2(cleanForm.match(number).hasMatch(), qPrintable(number));
        for (const QString& piece : ParseNumberList(text))
            QVERIFY2(acceptedForm.match(piece).hasMatch(), qPrintable(piece));
        if (result.isEmpty())
            continue;
        QVERIFY2(acceptedForm.match(result).hasMatch(), qPrintable(result));
        QCOMPARE(AcceptedPhoneNumber(result), result);
    }
}

QTEST_GUILESS_MAIN(TestPhoneNumber)
#include "TestPhoneNumber.moc"
