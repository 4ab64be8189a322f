#include "net/Socks5.h"

#include <QTest>

// The SOCKS5 client negotiation, byte for byte, without sockets.
class TestSocks5Negotiation : public QObject
{
    Q_OBJECT

private:
    using Result = TSocks5Negotiation::Result;

    static TfndSocks5Proxy Proxy(bool auth, const QString& user = {}, const QString& password = {})
    {
        TfndSocks5Proxy p;
        p.Host = QStringLiteral("127.0.0.1");
        p.UseAuthentication = auth;
        p.Username = user;
        p.Password = password;
        return p;
    }

    // Feeds bytes; returns the result and what the client sends next.
    static Result Feed(TSocks5Negotiation& n, QByteArray& in, const QByteArray& bytes,
                       QByteArray* out = nullptr)
    {
        in.append(bytes);
        QByteArray sent;
        const Result r = n.Feed(in, sent);
        if (out)
            *out = sent;
        return r;
    }

private slots:
    void greetingOffersOneMethod_data()
    {
        QTest::addColumn<bool>("auth");
        QTest::addColumn<QByteArray>("greeting");
        QTest::newRow("no authentication") << false << QByteArray::fromHex("050100");
        QTest::newRow("user and password") << true << QByteArray::fromHex("050102");
    }
    void greetingOffersOneMethod()
    {
        QFETCH(bool, auth);
        QFETCH(QByteArray, greeting);
        TSocks5Negotiation n(Proxy(auth), QStringLiteral("gw.example"), 80);
        QCOMPARE(n.Start().toHex(), greeting.toHex());
    }

    void connectRequestByName()
    {
        TSocks5Negotiation n(Proxy(false), QStringLiteral("gw.example"), 0x1F90);
        n.Start();
        QByteArray in, out;
        QCOMPARE(Feed(n, in, QByteArray::fromHex("0500"), &out), Result::NeedMore);
        QCOMPARE(out.toHex(),
                 (QByteArray::fromHex("050100030a") + "gw.example" + QByteArray::fromHex("1f90")).toHex());
    }

    void connectRequestByAddress()
    {
        TSocks5Negotiation n(Proxy(false), QStringLiteral("10.1.2.3"), 26);
        n.Start();
        QByteArray in, out;
        Feed(n, in, QByteArray::fromHex("0500"), &out);
        QCOMPARE(out.toHex(), QByteArray("050100010a010203001a"));
    }

    void locallyResolvedAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("IPv4") << QStringLiteral("192.168.0.9") << QByteArray("05010001c0a800090050");
        // A name with only an IPv6 address can still be reached (address type 04).
        QTest::newRow("IPv6") << QStringLiteral("2001:db8::7")
                              << QByteArray("0501000420010db80000000000000000000000070050");
    }
    void locallyResolvedAddress()
    {
        QFETCH(QString, address);
        QFETCH(QByteArray, request);
        TfndSocks5Proxy p = Proxy(false);
        p.ResolveThroughProxy = false;
        TSocks5Negotiation n(p, QStringLiteral("gw.example"), 80, QHostAddress(address));
        n.Start();
        QByteArray in, out;
        Feed(n, in, QByteArray::fromHex("0500"), &out);
        QCOMPARE(out.toHex(), request);
    }

    void authenticationThenRequestInPieces()
    {
        TSocks5Negotiation n(Proxy(true, QStringLiteral("bob"), QStringLiteral("pw")),
                             QStringLiteral("1.2.3.4"), 80);
        n.Start();
        QByteArray in, out;
        QCOMPARE(Feed(n, in, QByteArray::fromHex("05"), &out), Result::NeedMore);
        QVERIFY(out.isEmpty());
        QCOMPARE(Feed(n, in, QByteArray::fromHex("02"), &out), Result::NeedMore);
        QCOMPARE(out.toHex(), QByteArray("0103626f62027077"));
        QCOMPARE(Feed(n, in, QByteArray::fromHex("0100"), &out), Result::NeedMore);
        QCOMPARE(out.toHex(), QByteArray("050100010102030400"
                                         "50"));
        // Reply with a domain-name address, in three pieces, followed by destination bytes.
        QCOMPARE(Feed(n, in, QByteArray::fromHex("0500"), &out), Result::NeedMore);
        QCOMPARE(Feed(n, in, QByteArray::fromHex("000304"), &out), Result::NeedMore);
        QCOMPARE(Feed(n, in, QByteArray::fromHex("686f7374"), &out), Result::NeedMore);
        QCOMPARE(Feed(n, in, QByteArray::fromHex("0050") + "+OK", &out), Result::Done);
        QCOMPARE(in, QByteArray("+OK"));
    }

    void proxyChoosesAuthenticationUnasked()
    {
        TSocks5Negotiation n(Proxy(false), QStringLiteral("1.2.3.4"), 80);
        n.Start();
        QByteArray in, out;
        QCOMPARE(Feed(n, in, QByteArray::fromHex("0502"), &out), Result::NeedMore);
        QCOMPARE(out.toHex(), QByteArray("010000"));
    }

    void ipv6Reply()
    {
        TSocks5Negotiation n(Proxy(false), QStringLiteral("1.2.3.4"), 80);
        n.Start();
        QByteArray in;
        Feed(n, in, QByteArray::fromHex("0500"));
        QCOMPARE(Feed(n, in, QByteArray::fromHex("05000004") + QByteArray(16, '\1')), Result::NeedMore);
        QCOMPARE(Feed(n, in, QByteArray::fromHex("0050")), Result::Done);
    }

    void failures_data()
    {
        QTest::addColumn<bool>("auth");
        QTest::addColumn<QByteArray>("methodReply");
        QTest::addColumn<QByteArray>("next");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("no acceptable method") << false << QByteArray::fromHex("05ff") << QByteArray() << 40101
                                              << QStringLiteral("Socks negotiation failed");
        QTest::newRow("wrong version") << false << QByteArray::fromHex("0400") << QByteArray() << 40101
                                       << QStringLiteral("Socks negotiation failed");
        QTest::newRow("http garbage") << false << QByteArray("HTTP/1.1 400") << QByteArray() << 40101
                                      << QStringLiteral("Socks negotiation failed");
        QTest::newRow("authentication refused")
            << true << QByteArray::fromHex("0502") << QByteArray::fromHex("0102") << 40102
            << QStringLiteral("Socks authentication failed");
        QTest::newRow("connection refused")
            << false << QByteArray::fromHex("0500") << QByteArray::fromHex("05050001000000000000") << 40005
            << QStringLiteral("Connection refused");
        QTest::newRow("rule set") << false << QByteArray::fromHex("0500")
                                  << QByteArray::fromHex("05020001000000000000") << 40002
                                  << QStringLiteral("Connection not allowed by rule set");
        QTest::newRow("address type 7")
            << false << QByteArray::fromHex("0500") << QByteArray::fromHex("0500000700") << 40103
            << QStringLiteral("Socks5 Address type #7 not supported");
        QTest::newRow("reply of another version")
            << false << QByteArray::fromHex("0500") << QByteArray::fromHex("04000001000000000000") << 40103
            << QStringLiteral("Invalid response from Socks server");
    }
    void failures()
    {
        QFETCH(bool, auth);
        QFETCH(QByteArray, methodReply);
        QFETCH(QByteArray, next);
        QFETCH(int, code);
        QFETCH(QString, text);
        TSocks5Negotiation n(Proxy(auth), QStringLiteral("1.2.3.4"), 80);
        n.Start();
        QByteArray in;
        Result r = Feed(n, in, methodReply);
        if (r != Result::Failed)
            r = Feed(n, in, next);
        QCOMPARE(r, Result::Failed);
        QCOMPARE(n.ErrorCode(), code);
        QCOMPARE(n.ErrorText(), text);
    }

    void closedMidNegotiation_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("code");
        QTest::newRow("before the method") << QByteArray() << 40101;
        QTest::newRow("after authentication sent") << QByteArray::fromHex("0502") << 40102;
        QTest::newRow("inside the reply") << QByteArray::fromHex("050005000001") << 40103;
    }
    void closedMidNegotiation()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, code);
        TSocks5Negotiation n(Proxy(true), QStringLiteral("1.2.3.4"), 80);
        n.Start();
        QByteArray in = before, out;
        n.Feed(in, out);
        if (in.size() > 0) // the authentication answer and a partial reply
            n.Feed(in, out);
        n.ConnectionClosed();
        QCOMPARE(n.ErrorCode(), code);
    }

    void tooLongFields_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("text");
        const QString longText(256, u'x');
        QTest::newRow("user name") << longText << QString() << QStringLiteral("1.2.3.4")
                                   << QStringLiteral("Username too long for use with SOCKS");
        QTest::newRow("password") << QString() << longText << QStringLiteral("1.2.3.4")
                                  << QStringLiteral("Password too long for use with SOCKS");
        QTest::newRow("domain") << QString() << QString() << longText
                                << QStringLiteral("Domain name too long for use with SOCKS");
    }
    void tooLongFields()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, host);
        QFETCH(QString, text);
        TSocks5Negotiation n(Proxy(true, user, password), host, 80);
        n.Start();
        QByteArray in = QByteArray::fromHex("0502"), out;
        Result r = n.Feed(in, out);
        if (r != Result::Failed) {
            in = QByteArray::fromHex("0100");
            r = n.Feed(in, out);
        }
        QCOMPARE(r, Result::Failed);
        QCOMPARE(n.ErrorText(), text);
    }
};

QTEST_GUILESS_MAIN(TestSocks5Negotiation)
#include "TestSocks5Negotiation.moc"
