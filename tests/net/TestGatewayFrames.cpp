#include "net/SMSServer.h"
#include "platform/OleDate.h"

#include <QTest>
#include <ctime>

Q_DECLARE_METATYPE(TRecSMS)

// Frames and replies of the gateway protocol; expected bytes are worked out by hand.
class TestGatewayFrames : public QObject
{
    Q_OBJECT

private:
    static TRecSMS Record(const QByteArray& destinations)
    {
        TRecSMS sms;
        sms.Destinations = destinations;
        sms.Sender = "Me";
        sms.Text = "Hi";
        sms.FileName = "file.sms";
        sms.Quality = "H";
        return sms;
    }

private slots:
    void loginFrame_data()
    {
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("frame");
        // 06+61+62+63+04+04 = 0x134 -> "34"
        QTest::newRow("empty password")
            << QByteArray("abc") << QByteArray() << QByteArray::fromHex("0b0661626304043334") + "\x03";
        // 06+04+04 = 0x0E, written with its leading zero
        QTest::newRow("both empty") << QByteArray() << QByteArray() << QByteArray::fromHex("0b060404304503");
        // 06+'u'(75)+04+'p'(70)+04 = 0xF3
        QTest::newRow("one letter each")
            << QByteArray("u") << QByteArray("p") << QByteArray::fromHex("0b06750470044633") + "\x03";
    }
    void loginFrame()
    {
        QFETCH(QByteArray, user);
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, frame);
        QCOMPARE(GatewayFrames::Wrap(GatewayFrames::LoginPayload(user, password)).toHex(), frame.toHex());
    }

    void submitFrame_data()
    {
        QTest::addColumn<TRecSMS>("sms");
        QTest::addColumn<QByteArray>("frame");

        QTest::newRow("cleaned, two destinations")
            << Record("+39 333-111;222")
            << QByteArray::fromHex(
                   "0b052b3339333333313131044d65044869044e0466696c652e736d7304480732323200393303");

        TRecSMS single = Record("+39333111");
        single.Anonymous = true;
        single.Quality = "M";
        QTest::newRow("single destination, anonymous")
            << single
            << QByteArray::fromHex(
                   "0b052b333933333331313104554e4b4e4f574e044869044e0466696c652e736d73044d373903");

        QTest::newRow("empty last destination")
            << Record("+39333111;")
            << QByteArray::fromHex("0b052b3339333333313131044d65044869044e0466696c652e736d7304480700464403");

        TRecSMS scheduled = Record("+39333111");
        scheduled.ScheduleTime = 47485 + 11.0 / 24; // 2030-01-02 11:00
        QTest::newRow("scheduled")
            << scheduled
            << QByteArray::fromHex(
                   "0b052b3339333333313131044d65044869044e0466696c652e736d73044809444454323033303031"
                   "303231313030303009384503");

        TRecSMS atThreshold = Record("+39333111");
        atThreshold.ScheduleTime = 30000.0;
        atThreshold.Anonymous = true;
        atThreshold.Quality = "M";
        QTest::newRow("30000.0 is not a schedule")
            << atThreshold
            << QByteArray::fromHex(
                   "0b052b333933333331313104554e4b4e4f574e044869044e0466696c652e736d73044d373903");

        TRecSMS all = Record("+1;+2;+3");
        all.FlagF = true;
        all.FileName = "file.UNI";
        all.ScheduleTime = 47485 + 11.0 / 24;
        QTest::newRow("three destinations, F, scheduled")
            << all
            << QByteArray::fromHex(
                   "0b052b31044d6504486904460466696c652e554e490448072b32072b330944445432303330303130"
                   "32313130303030090000383103");
    }
    void submitFrame()
    {
        QFETCH(TRecSMS, sms);
        QFETCH(QByteArray, frame);
        QCOMPARE(GatewayFrames::Wrap(GatewayFrames::SubmitPayload(sms)).toHex(), frame.toHex());
    }

    // The schedule block is the same whatever the local zone, also for times that the zone
    // skips or repeats when daylight saving starts or ends.
    void scheduleIgnoresLocalZone_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<QByteArray>("block");
        const auto at = [](int y, int mo, int d, int h, int mi) {
            return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC);
        };
        QTest::newRow("UTC") << QByteArray("UTC") << at(2030, 3, 31, 2, 30) << QByteArray("20300331023000");
        QTest::newRow("Rome, hour skipped")
            << QByteArray("Europe/Rome") << at(2030, 3, 31, 2, 30) << QByteArray("20300331023000");
        QTest::newRow("Rome, hour repeated")
            << QByteArray("Europe/Rome") << at(2030, 10, 27, 2, 30) << QByteArray("20301027023000");
        QTest::newRow("New York, hour skipped")
            << QByteArray("America/New_York") << at(2030, 3, 10, 2, 15) << QByteArray("20300310021500");
    }
    void scheduleIgnoresLocalZone()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, at);
        QFETCH(QByteArray, block);
        const QByteArray previous = qgetenv("TZ");
        const bool hadZone = qEnvironmentVariableIsSet("TZ");
        qputenv("TZ", zone);
        tzset();
        TRecSMS sms = Record("+39333111");
        sms.ScheduleTime = DateTimeToDays(at);
        const QByteArray payload = GatewayFrames::SubmitPayload(sms);
        if (hadZone)
            qputenv("TZ", previous);
        else
            qunsetenv("TZ");
        tzset();
        const qsizetype start = payload.indexOf(GatewayFrames::ScheduleDelimiter);
        QCOMPARE(payload.mid(start), QByteArray("\tDDT") + block + '\t');
    }

    void payloadLength()
    {
        TRecSMS sms = Record("+1;+2;+3");
        sms.ScheduleTime = 47485.5;
        // 7 + 19 + (n - 1) + destinations "+1;+2;+3" + sender + text + file name + quality
        QCOMPARE(GatewayFrames::SubmitPayload(sms).size(), 7 + 19 + 2 + 8 + 2 + 2 + 8 + 1);
    }

    void readInteger_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("digits") << QByteArray("1234") << 1234;
        QTest::newRow("leading blanks") << QByteArray("   42") << 42;
        QTest::newRow("signed") << QByteArray("-17") << -17;
        QTest::newRow("plus") << QByteArray("+5") << 5;
        QTest::newRow("empty") << QByteArray() << -99;
        QTest::newRow("sign only") << QByteArray("-") << -99;
        QTest::newRow("trailing text") << QByteArray("12 EUR") << -99;
        QTest::newRow("letters") << QByteArray("abc") << -99;
        QTest::newRow("overflow") << QByteArray("99999999999") << -99;
        QTest::newRow("int min") << QByteArray("-2147483648") << int(-2147483648LL);
        QTest::newRow("binary") << QByteArray("\x00\xff", 2) << -99;
    }
    void readInteger()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, value);
        QCOMPARE(GatewayFrames::ReadInteger(text, -99), value);
    }

    void loginCredit_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("credit");
        QTest::newRow("credit after 16") << QByteArray("+OK Credit left: 12340\r\n") << 12340;
        QTest::newRow("exactly 16") << QByteArray("+OK Credit left:") << 0;
        QTest::newRow("shorter") << QByteArray("+OK") << 0;
        QTest::newRow("17th character on") << QByteArray("+OK 456789012345678") << 678;
        QTest::newRow("not a number") << QByteArray("+OK Credit left: lots") << 0;
    }
    void loginCredit()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, credit);
        QVERIFY(GatewayFrames::IsPositive(reply));
        QCOMPARE(GatewayFrames::LoginCredit(reply), credit);
    }

    void submitReply_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("positive");
        QTest::addColumn<int>("value"); // remaining when positive, else the code
        QTest::newRow("remaining") << QByteArray("+OK Remaining: 1234\r\n") << true << 1234;
        QTest::newRow("lower-case ok") << QByteArray("+ok Remaining: 7") << true << 7;
        QTest::newRow("ok alone") << QByteArray("+OK") << true << -1;
        QTest::newRow("no keyword") << QByteArray("+OK 123456789") << true << -1;
        QTest::newRow("no keyword, nine characters") << QByteArray("+OK 12345678 42") << true << 42;
        QTest::newRow("no credits any case") << QByteArray("-ERR no More Credits\r\n") << false << 1;
        QTest::newRow("too many sessions") << QByteArray("-ERR TOO MANY SESSIONS") << false << 2;
        QTest::newRow("numeric") << QByteArray("-ERR 17") << false << 17;
        QTest::newRow("err alone") << QByteArray("-ERR") << false << -1;
        QTest::newRow("err text") << QByteArray("-ERR something else") << false << -1;
        QTest::newRow("neither") << QByteArray("HELLO") << false << 0;
        QTest::newRow("empty") << QByteArray() << false << 0;
        QTest::newRow("binary") << QByteArray("\x00\x01\xfe\xff", 4) << false << 0;
        QTest::newRow("huge") << QByteArray(1 << 20, '9') << false << 0;
    }
    void submitReply()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, positive);
        QFETCH(int, value);
        QCOMPARE(GatewayFrames::IsPositive(reply), positive);
        QCOMPARE(positive ? GatewayFrames::SubmitRemaining(reply) : GatewayFrames::SubmitErrorCode(reply),
                 value);
    }
};

QTEST_GUILESS_MAIN(TestGatewayFrames)
#include "TestGatewayFrames.moc"
