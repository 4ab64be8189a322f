#include "PeerProcesses.h"
#include "net/SMSServer.h"
#include "net/TcpClient.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSignalSpy>

// The real session against brelmont-provider-sim started as a child process, directly and
// through real SOCKS5 servers (microsocks, dante) on loopback.
class TestGatewayEndToEnd : public QObject
{
    Q_OBJECT

private:
    struct Outcome
    {
        bool accepted = false;
        int value = 0; // remaining credit, or the refusal code
    };

    static TRecSMS Message()
    {
        TRecSMS sms;
        sms.Destinations = "+39333111;+39347222";
        sms.Sender = "Brelmont";
        sms.Text = "Ciao \x80";
        sms.FileName = "file.sms";
        sms.Quality = "H";
        return sms;
    }

    static TSMSServer* NewSession(quint16 port, quint16 fallback, quint8 mode,
                                  const QByteArray& password = "secret")
    {
        auto* s = new TSMSServer(QStringLiteral("127.0.0.1"), port, fallback);
        s->UserName = "mario";
        s->Password = password;
        s->SendMode = mode;
        return s;
    }

    static Outcome Send(TSMSServer* session, const TRecSMS& sms = Message())
    {
        Outcome outcome;
        QSignalSpy ok(session, &TSMSServer::OnSMSOKResult);
        QSignalSpy error(session, &TSMSServer::OnSMSErrorResult);
        session->Send(sms);
        if (!QTest::qWaitFor([&] { return !ok.isEmpty() || !error.isEmpty(); }, 30000))
            return {false, -1000};
        if (!ok.isEmpty())
            return {true, ok.at(0).at(1).toInt()};
        return {false, error.at(0).at(1).toInt()};
    }

    // Credit and status of one login-only exchange.
    static std::pair<int, int> Login(TSMSServer* session)
    {
        QSignalSpy login(session, &TSMSServer::OnSMSLogin);
        session->Connect();
        if (!login.wait(30000))
            return {-1000, -1000};
        return {login.at(0).at(1).toInt(), login.at(0).at(2).toInt()};
    }

    static void UseProxy(TSMSServer* s, quint16 port, const QString& user = {}, const QString& password = {})
    {
        s->SetProxy(true, QStringLiteral("127.0.0.1"), port, !user.isEmpty(), user, password);
    }

    static void CheckLoggedSubmission(const ProviderSim& sim)
    {
        const QList<QByteArray> lines = sim.LogLines();
        QCOMPARE(lines.size(), 1);
        const QJsonObject entry = QJsonDocument::fromJson(lines.first()).object();
        QCOMPARE(entry.value(QStringLiteral("text")).toString(), QStringLiteral("Ciao \u20AC"));
        QCOMPARE(entry.value(QStringLiteral("sender")).toString(), QStringLiteral("Brelmont"));
        QCOMPARE(entry.value(QStringLiteral("destinations")).toVariant().toStringList(),
                 (QStringList{QStringLiteral("+39333111"), QStringLiteral("+39347222")}));
        QCOMPARE(entry.value(QStringLiteral("quality")).toString(), QStringLiteral("H"));
        QVERIFY(entry.value(QStringLiteral("schedule")).isNull());
        // The frame as it crossed the wire, worked out by hand.
        QCOMPARE(
            entry.value(QStringLiteral("frame")).toString(),
            QStringLiteral("0b052b3339333333313131044272656c6d6f6e74044369616f2080044e0466696c652e736d7304"
                           "48072b333933343732323200433403"));
    }

private slots:
    void sendAcceptedDirectly()
    {
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340")}));
        const Outcome outcome = Send(NewSession(sim.port, sim.fallbackPort, 1));
        QVERIFY(outcome.accepted);
        QCOMPARE(outcome.value, 12340 - 2 * 100); // one part to two recipients
        CheckLoggedSubmission(sim);
    }

    void creditAndRefusedLogin()
    {
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340")}));
        std::unique_ptr<TSMSServer> good(NewSession(sim.port, sim.fallbackPort, 0));
        QCOMPARE(Login(good.get()), std::make_pair(12340, -1));
        std::unique_ptr<TSMSServer> bad(NewSession(sim.port, sim.fallbackPort, 0, "wrong"));
        QCOMPARE(Login(bad.get()), std::make_pair(0, 0));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        QTest::newRow("no more credits")
            << QStringList{QStringLiteral("--account"), QStringLiteral("mario:secret:150")} << 1;
        QTest::newRow("numeric") << QStringList{QStringLiteral("--account"),
                                                QStringLiteral("mario:secret:9999:17")}
                                 << 17;
    }
    void refusals()
    {
        QFETCH(QStringList, options);
        QFETCH(int, code);
        ProviderSim sim;
        QVERIFY(sim.Start(options));
        const Outcome outcome = Send(NewSession(sim.port, sim.fallbackPort, 1));
        QVERIFY(!outcome.accepted);
        QCOMPARE(outcome.value, code);
        QVERIFY(sim.LogLines().isEmpty());
    }

    void tooManySessions()
    {
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:9999"),
                           QStringLiteral("--max-sessions"), QStringLiteral("1")}));
        std::unique_ptr<TSMSServer> credit(NewSession(sim.port, sim.fallbackPort, 0));
        QCOMPARE(Login(credit.get()).second, -1); // stays logged in
        const Outcome outcome = Send(NewSession(sim.port, sim.fallbackPort, 1));
        QCOMPARE(outcome.accepted, false);
        QCOMPARE(outcome.value, 2);
    }

    void fallbackPort()
    {
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340"),
                           QStringLiteral("--primary-closed")}));
        const Outcome outcome = Send(NewSession(sim.port, sim.fallbackPort, 1));
        QVERIFY(outcome.accepted);
        CheckLoggedSubmission(sim);
    }

    void splitRepliesFromTheGateway()
    {
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340"),
                           QStringLiteral("--split-replies"), QStringLiteral("100")}));
        std::unique_ptr<TSMSServer> credit(NewSession(sim.port, sim.fallbackPort, 0));
        QCOMPARE(Login(credit.get()), std::make_pair(12340, -1));
        const Outcome outcome = Send(NewSession(sim.port, sim.fallbackPort, 1));
        QVERIFY(outcome.accepted);
        QCOMPARE(outcome.value, 12140);
    }

    void throughMicrosocks_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::newRow("no authentication") << QString() << QString();
        QTest::newRow("user and password") << QStringLiteral("proxyuser") << QStringLiteral("proxypass");
    }
    void throughMicrosocks()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        if (!Microsocks::Available())
            QSKIP("microsocks is not installed");
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340")}));
        Microsocks proxy;
        QVERIFY(proxy.Start(user, password));
        std::unique_ptr<TSMSServer> credit(NewSession(sim.port, sim.fallbackPort, 0));
        UseProxy(credit.get(), proxy.port, user, password);
        QCOMPARE(Login(credit.get()), std::make_pair(12340, -1));
        TSMSServer* send = NewSession(sim.port, sim.fallbackPort, 1);
        UseProxy(send, proxy.port, user, password);
        QVERIFY(Send(send).accepted);
        CheckLoggedSubmission(sim);
    }

    void microsocksWrongPassword()
    {
        if (!Microsocks::Available())
            QSKIP("microsocks is not installed");
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340")}));
        Microsocks proxy;
        QVERIFY(proxy.Start(QStringLiteral("proxyuser"), QStringLiteral("proxypass")));
        std::unique_ptr<TSMSServer> credit(NewSession(sim.port, sim.fallbackPort, 0));
        UseProxy(credit.get(), proxy.port, QStringLiteral("proxyuser"), QStringLiteral("nope"));
        QCOMPARE(Login(credit.get()), std::make_pair(0, 40102));
    }

    void microsocksClosedDestination()
    {
        if (!Microsocks::Available())
            QSKIP("microsocks is not installed");
        Microsocks proxy;
        QVERIFY(proxy.Start());
        TfndSocks5Proxy description;
        description.Host = QStringLiteral("127.0.0.1");
        description.Port = QString::number(proxy.port);
        TfndTCPClient client;
        client.SetHost(QStringLiteral("127.0.0.1"));
        client.SetPort(QString::number(ClosedLoopbackPort()));
        client.SetProxy(&description);
        QSignalSpy failed(&client, &TfndTCPClient::OnConnectFailed);
        client.SetActive(true);
        QVERIFY(failed.wait(10000));
        QCOMPARE(client.ErrorCode(), 40005);
    }

    void danteRuleSetRefusal()
    {
        if (!Dante::Available())
            QSKIP("dante-server is not installed");
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340")}));
        Dante proxy;
        QVERIFY(proxy.Start(sim.port)); // the primary port is refused by rule
        TfndSocks5Proxy description;
        description.Host = QStringLiteral("127.0.0.1");
        description.Port = QString::number(proxy.port);
        TfndTCPClient client;
        client.SetHost(QStringLiteral("127.0.0.1"));
        client.SetPort(QString::number(sim.port));
        client.SetProxy(&description);
        QSignalSpy failed(&client, &TfndTCPClient::OnConnectFailed);
        client.SetActive(true);
        QVERIFY(failed.wait(10000));
        QCOMPARE(client.ErrorCode(), 40002);
        QCOMPARE(client.ErrorText(), QStringLiteral("Connection not allowed by rule set"));

        // The session falls back to the second port, which dante lets through.
        TSMSServer* send = NewSession(sim.port, sim.fallbackPort, 1);
        UseProxy(send, proxy.port);
        QVERIFY(Send(send).accepted);
        CheckLoggedSubmission(sim);
    }

    void danteBothPortsRefused()
    {
        if (!Dante::Available())
            QSKIP("dante-server is not installed");
        Dante proxy;
        const quint16 blocked = ClosedLoopbackPort();
        QVERIFY(proxy.Start(blocked));
        std::unique_ptr<TSMSServer> credit(NewSession(blocked, blocked, 0));
        UseProxy(credit.get(), proxy.port);
        QCOMPARE(Login(credit.get()), std::make_pair(0, 40002));
    }

    void proxyNotListening()
    {
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340")}));
        std::unique_ptr<TSMSServer> credit(NewSession(sim.port, sim.fallbackPort, 0));
        UseProxy(credit.get(), ClosedLoopbackPort());
        QCOMPARE(Login(credit.get()), std::make_pair(0, 10061));
        QPointer<TSMSServer> send = NewSession(sim.port, sim.fallbackPort, 1);
        UseProxy(send, ClosedLoopbackPort());
        const Outcome outcome = Send(send);
        QCOMPARE(outcome.accepted, false);
        QCOMPARE(outcome.value, 0);
        QVERIFY(sim.LogLines().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestGatewayEndToEnd)
#include "TestGatewayEndToEnd.moc"
