#include "NetTestSupport.h"
#include "net/TcpClient.h"

#include <QSignalSpy>
#include <QTest>

// The asynchronous client against loopback peers (a plain server and a scripted SOCKS5 proxy).
class TestTcpClient : public QObject
{
    Q_OBJECT

private:
    static void Point(TfndTCPClient& c, quint16 port)
    {
        c.SetHost(QStringLiteral("127.0.0.1"));
        c.SetPort(QString::number(port));
    }

    // A SOCKS5 proxy that accepts no authentication and answers the request with replyCode.
    static ScriptedPeer::Handler Socks(char replyCode, QByteArray* request = nullptr)
    {
        return [replyCode, request](QTcpSocket* s, QByteArray& in) {
            if (in.size() == 3 && in.startsWith("\x05\x01")) {
                s->write(QByteArray::fromHex("0500"));
                in.clear();
                in.append('\xAA'); // marks the greeting as answered
                return;
            }
            if (in.startsWith('\xAA') && in.size() >= 1 + 10) {
                if (request)
                    *request = in.mid(1);
                QByteArray reply = QByteArray::fromHex("0500000100000000");
                reply[1] = replyCode;
                s->write(reply + QByteArray::fromHex("0000") + (replyCode == 0 ? "hello" : ""));
                in.clear();
            }
        };
    }

private slots:
    void refusesChangesWhileActive()
    {
        ScriptedPeer peer;
        TfndTCPClient c;
        Point(c, peer.Port());
        c.SetActive(true);
        QVERIFY_THROWS_EXCEPTION(ETcpClientError, c.SetHost(QStringLiteral("other")));
        QVERIFY_THROWS_EXCEPTION(ETcpClientError, c.SetPort(QStringLiteral("81")));
        TfndSocks5Proxy proxy;
        QVERIFY_THROWS_EXCEPTION(ETcpClientError, c.SetProxy(&proxy));
        c.SetActive(false);
        c.SetPort(QStringLiteral("81"));
        QCOMPARE(c.Port(), QStringLiteral("81"));
    }

    void needsHostAndPort()
    {
        TfndTCPClient c;
        try {
            c.SetActive(true);
            QFAIL("no error");
        } catch (const ETcpClientError& e) {
            QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("Host not set"));
        }
        c.SetHost(QStringLiteral("127.0.0.1"));
        try {
            c.SetActive(true);
            QFAIL("no error");
        } catch (const ETcpClientError& e) {
            QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("Port not set"));
        }
        QVERIFY(!c.Active());
    }

    void connectsReadsAndWrites()
    {
        ScriptedPeer peer([](QTcpSocket* s, QByteArray& in) {
            if (in == "ping\n")
                s->write("pong\n");
        });
        TfndTCPClient c;
        Point(c, peer.Port());
        QSignalSpy connected(&c, &TfndTCPClient::OnConnected);
        QSignalSpy data(&c, &TfndTCPClient::OnDataAvailable);
        c.SetActive(true);
        QVERIFY(c.Active());
        QVERIFY(connected.wait());
        c.Socket()->WriteStr("ping\n");
        QVERIFY(data.wait());
        QCOMPARE(peer.received, QByteArray("ping\n"));
        QCOMPARE(c.Socket()->ReadAvailable(), QByteArray("pong\n"));
        QCOMPARE(c.Socket()->ReadAvailable(), QByteArray());
    }

    void readStrLeavesTheRest()
    {
        ScriptedPeer peer([](QTcpSocket* s, QByteArray& in) {
            if (in == "go\n")
                s->write(QByteArray(2000, 'a') + QByteArray(500, 'b'));
        });
        TfndTCPClient c;
        Point(c, peer.Port());
        QSignalSpy connected(&c, &TfndTCPClient::OnConnected);
        c.SetActive(true);
        QVERIFY(connected.wait());
        c.Socket()->WriteStr("go\n");
        QTRY_COMPARE(c.Socket()->BytesAvailable(), 2500);
        QCOMPARE(c.Socket()->ReadStr(2000), QByteArray(2000, 'a'));
        QCOMPARE(c.Socket()->ReadAvailable(), QByteArray(500, 'b'));
    }

    void refusedConnectionFails()
    {
        TfndTCPClient c;
        Point(c, ClosedLoopbackPort());
        QSignalSpy failed(&c, &TfndTCPClient::OnConnectFailed);
        c.SetActive(true);
        QVERIFY(failed.wait());
        QCOMPARE(c.ErrorCode(), 10061);
        QVERIFY(!c.Active());
    }

    void deactivateInsideConnectFailed()
    {
        TfndTCPClient c;
        Point(c, ClosedLoopbackPort());
        int calls = 0;
        connect(&c, &TfndTCPClient::OnConnectFailed, this, [&](TfndTCPClient* sender) {
            ++calls;
            sender->SetActive(false);
        });
        QSignalSpy failed(&c, &TfndTCPClient::OnConnectFailed);
        c.SetActive(true);
        QVERIFY(failed.wait());
        QTest::qWait(50);
        QCOMPARE(calls, 1);
        QVERIFY(!c.Active());
    }

    void shutdownSendsTheQueueFirst()
    {
        ScriptedPeer peer;
        TfndTCPClient c;
        Point(c, peer.Port());
        QSignalSpy connected(&c, &TfndTCPClient::OnConnected);
        c.SetActive(true);
        QVERIFY(connected.wait());
        const QByteArray big(4 * 1024 * 1024, 'q');
        c.Socket()->WriteStr(big);
        c.SetActive(false); // closes only after the queue went out
        QTRY_COMPARE_WITH_TIMEOUT(peer.closed, 1, 20000);
        QCOMPARE(peer.received.size(), big.size());
    }

    void throughProxy()
    {
        QByteArray request;
        ScriptedPeer proxyPeer(Socks(0, &request));
        TfndSocks5Proxy proxy;
        proxy.Host = QStringLiteral("127.0.0.1");
        proxy.Port = QString::number(proxyPeer.Port());
        TfndTCPClient c;
        c.SetHost(QStringLiteral("10.0.0.1"));
        c.SetPort(QStringLiteral("80"));
        c.SetProxy(&proxy);
        QSignalSpy connected(&c, &TfndTCPClient::OnConnected);
        QSignalSpy data(&c, &TfndTCPClient::OnDataAvailable);
        c.SetActive(true);
        QVERIFY(connected.wait());
        QCOMPARE(request.toHex(), QByteArray("050100010a0000010050"));
        // Bytes that came right behind the proxy's reply are delivered as data.
        QTRY_COMPARE(data.size(), 1);
        QCOMPARE(c.Socket()->ReadAvailable(), QByteArray("hello"));
    }

    void proxyReplyCodeFails()
    {
        ScriptedPeer proxyPeer(Socks(5));
        TfndSocks5Proxy proxy;
        proxy.Host = QStringLiteral("127.0.0.1");
        proxy.Port = QString::number(proxyPeer.Port());
        TfndTCPClient c;
        c.SetHost(QStringLiteral("10.0.0.1"));
        c.SetPort(QStringLiteral("80"));
        c.SetProxy(&proxy);
        QSignalSpy failed(&c, &TfndTCPClient::OnConnectFailed);
        c.SetActive(true);
        QVERIFY(failed.wait());
        QCOMPARE(c.ErrorCode(), 40005);
        QCOMPARE(c.ErrorText(), QStringLiteral("Connection refused"));
    }

    void proxyClosingMidNegotiationFails()
    {
        ScriptedPeer proxyPeer([](QTcpSocket* s, QByteArray&) { s->close(); });
        TfndSocks5Proxy proxy;
        proxy.Host = QStringLiteral("127.0.0.1");
        proxy.Port = QString::number(proxyPeer.Port());
        TfndTCPClient c;
        c.SetHost(QStringLiteral("gw.example"));
        c.SetPort(QStringLiteral("80"));
        c.SetProxy(&proxy);
        QSignalSpy failed(&c, &TfndTCPClient::OnConnectFailed);
        c.SetActive(true);
        QVERIFY(failed.wait());
        QCOMPARE(c.ErrorCode(), 40101);
    }

    void silentPeerTimesOut()
    {
        // A proxy that accepts the connection and never answers the greeting.
        ScriptedPeer proxyPeer;
        TfndSocks5Proxy proxy;
        proxy.Host = QStringLiteral("127.0.0.1");
        proxy.Port = QString::number(proxyPeer.Port());
        TfndTCPClient c;
        c.SetHost(QStringLiteral("gw.example"));
        c.SetPort(QStringLiteral("80"));
        c.SetProxy(&proxy);
        c.SetTimeOut(300);
        QSignalSpy failed(&c, &TfndTCPClient::OnConnectFailed);
        c.SetActive(true);
        QVERIFY(failed.wait());
        QCOMPARE(c.ErrorCode(), 10060);
    }

    void unknownHostFails()
    {
        TfndTCPClient c;
        c.SetHost(QStringLiteral("no-such-host.invalid"));
        c.SetPort(QStringLiteral("80"));
        QSignalSpy failed(&c, &TfndTCPClient::OnConnectFailed);
        c.SetActive(true);
        QVERIFY(failed.wait(20000));
        QCOMPARE(c.ErrorCode(), 11004);
    }

    void errorNumbers_data()
    {
        QTest::addColumn<int>("qtError");
        QTest::addColumn<int>("code");
        QTest::newRow("refused") << int(QAbstractSocket::ConnectionRefusedError) << 10061;
        QTest::newRow("no host") << int(QAbstractSocket::HostNotFoundError) << 11004;
        QTest::newRow("timeout") << int(QAbstractSocket::SocketTimeoutError) << 10060;
        QTest::newRow("network") << int(QAbstractSocket::NetworkError) << 10051;
        QTest::newRow("access") << int(QAbstractSocket::SocketAccessError) << 10013;
    }
    void errorNumbers()
    {
        QFETCH(int, qtError);
        QFETCH(int, code);
        QCOMPARE(TfndTCPClient::WinSockErrorOf(static_cast<QAbstractSocket::SocketError>(qtError)), code);
    }

    void portNames()
    {
        QCOMPARE(TfndTCPClient::ResolvePort(QStringLiteral("26")), quint16(26));
        QCOMPARE(TfndTCPClient::ResolvePort(QStringLiteral("http")), quint16(80));
        QCOMPARE(TfndTCPClient::ResolvePort(QStringLiteral("no-such-service")), quint16(0));
        QCOMPARE(TfndTCPClient::ResolvePort(QStringLiteral("70000")), quint16(0));
    }
};

QTEST_GUILESS_MAIN(TestTcpClient)
#include "TestTcpClient.moc"
