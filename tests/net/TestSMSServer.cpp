#include "NetTestSupport.h"
#include "net/SMSServer.h"
#include "net/TcpClient.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
// A gateway stand-in: answers each complete frame (up to byte 03) by its first payload byte.
struct GatewayPeer
{
    QByteArray loginReply = "+OK Credit left: 5000\r\n";
    QByteArray submitReply = "+OK Remaining: 1234\r\n";
    int splitGapMs = 0;    // > 0: the reply goes in two pieces this far apart
    char closeOnFrame = 0; // hang up instead of answering a frame of this kind
    QElapsedTimer submitArrived;
    ScriptedPeer peer{[this](QTcpSocket* s, QByteArray& in) { OnData(s, in); }};

    void OnData(QTcpSocket* s, QByteArray& in)
    {
        qsizetype end;
        while ((end = in.indexOf('\x03')) >= 0) {
            const QByteArray frame = in.left(end + 1);
            in.remove(0, end + 1);
            const bool login = frame.size() > 1 && frame.at(1) == '\x06';
            if (!login)
                submitArrived.start();
            if (frame.size() > 1 && closeOnFrame == frame.at(1)) {
                s->disconnectFromHost();
                return;
            }
            Reply(s, login ? loginReply : submitReply);
        }
    }
    void Reply(QTcpSocket* s, const QByteArray& text)
    {
        if (splitGapMs <= 0) {
            s->write(text);
            return;
        }
        s->write(text.left(2));
        s->flush();
        QTimer::singleShot(splitGapMs, s, [s, rest = text.mid(2)] { s->write(rest); });
    }
};

TRecSMS Message()
{
    TRecSMS sms;
    sms.Destinations = "+39333111;+39347222";
    sms.Sender = "Me";
    sms.Text = "Hi";
    sms.FileName = "file.sms";
    sms.Quality = "H";
    return sms;
}
} // namespace

// One gateway exchange against a loopback stand-in.
class TestSMSServer : public QObject
{
    Q_OBJECT

private:
    static TSMSServer* NewServer(quint16 port, quint16 fallback, quint8 mode)
    {
        auto* s = new TSMSServer(QStringLiteral("127.0.0.1"), port, fallback);
        s->UserName = "mario";
        s->Password = "pw";
        s->SendMode = mode;
        return s;
    }

private slots:
    void sendIsAcceptedAfterThePause()
    {
        GatewayPeer gw;
        QPointer<TSMSServer> s = NewServer(gw.peer.Port(), ClosedLoopbackPort(), 1);
        QSignalSpy ok(s.data(), &TSMSServer::OnSMSOKResult);
        qint64 submitToResult = -1;
        connect(s.data(), &TSMSServer::OnSMSOKResult, this,
                [&] { submitToResult = gw.submitArrived.elapsed(); });
        s->Send(Message());
        QCOMPARE(s->State(), quint8(1));
        QVERIFY(ok.wait(5000));
        QCOMPARE(ok.at(0).at(1).toInt(), 1234);
        // The reply came at once, but was taken only after the 1000 ms pause.
        // (The pause starts when the frame is written, a moment before the stand-in reads it.)
        QVERIFY2(submitToResult >= TSMSServer::SubmitPauseMs - 50, QByteArray::number(submitToResult));
        const QByteArray expected = GatewayFrames::Wrap(GatewayFrames::LoginPayload("mario", "pw")) +
                                    GatewayFrames::Wrap(GatewayFrames::SubmitPayload(Message()));
        QCOMPARE(gw.peer.received.toHex(), expected.toHex());
        // The session ends itself and closes its connection.
        QTRY_VERIFY(s.isNull());
        QTRY_COMPARE(gw.peer.closed, 1);
    }

    void submitRefusals_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("code");
        QTest::newRow("no credits") << QByteArray("-ERR NO MORE CREDITS\r\n") << 1;
        QTest::newRow("sessions") << QByteArray("-ERR too many sessions\r\n") << 2;
        QTest::newRow("numeric") << QByteArray("-ERR 17\r\n") << 17;
        QTest::newRow("err alone") << QByteArray("-ERR\r\n") << -1;
        QTest::newRow("unrecognised") << QByteArray("WHAT?\r\n") << 0;
        QTest::newRow("binary without line end") << QByteArray("\x01\x02\xff", 3) << 0;
    }
    void submitRefusals()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, code);
        GatewayPeer gw;
        gw.submitReply = reply;
        QPointer<TSMSServer> s = NewServer(gw.peer.Port(), ClosedLoopbackPort(), 1);
        s->Tag = 7;
        int seenCode = -100;
        QByteArray textAtError = "unset";
        connect(s.data(), &TSMSServer::OnSMSErrorResult, this, [&](TSMSServer* sender, int c, quint8 tag) {
            seenCode = c;
            textAtError = sender->Sms().Text;
            QCOMPARE(tag, quint8(7));
        });
        s->Send(Message());
        QTRY_COMPARE_WITH_TIMEOUT(seenCode, code, 5000);
        QCOMPARE(textAtError, QByteArray()); // the message text is cleared on a refusal
        QTRY_VERIFY(s.isNull());
    }

    // Only the first MaxReplyBytes of a reply without a line end count, however the bytes
    // arrive (during the pause after the submit frame everything arrives at once).
    void overlongReplyDecidedOnItsFirstBytes_data()
    {
        QTest::addColumn<quint8>("mode");
        QTest::newRow("login") << quint8(0);
        QTest::newRow("submit") << quint8(1);
    }
    void overlongReplyDecidedOnItsFirstBytes()
    {
        QFETCH(quint8, mode);
        const QByteArray overlong = QByteArray(TSMSServer::MaxReplyBytes, 'x') + "+OK Remaining: 5\r\n";
        GatewayPeer gw;
        (mode == 0 ? gw.loginReply : gw.submitReply) = overlong;
        QPointer<TSMSServer> s = NewServer(gw.peer.Port(), ClosedLoopbackPort(), mode);
        QSignalSpy login(s.data(), &TSMSServer::OnSMSLogin);
        QSignalSpy ok(s.data(), &TSMSServer::OnSMSOKResult);
        QSignalSpy error(s.data(), &TSMSServer::OnSMSErrorResult);
        mode == 0 ? s->Connect() : s->Send(Message());
        QTRY_COMPARE_WITH_TIMEOUT(login.size() + ok.size() + error.size(), 1, 10000);
        QTest::qWait(TSMSServer::ReplyQuietMs * 2);
        QCOMPARE(login.size() + ok.size() + error.size(), 1);
        if (mode == 0) {
            QCOMPARE(login.at(0).at(2).toInt(), 0); // refused: no "+OK" in the first bytes
            delete s.data();
        } else {
            QCOMPARE(error.size(), 1);
            QCOMPARE(error.at(0).at(1).toInt(), 0);
        }
    }

    void refusedLoginInSendMode()
    {
        GatewayPeer gw;
        gw.loginReply = "-ERR LOGIN FAILED\r\n";
        QPointer<TSMSServer> s = NewServer(gw.peer.Port(), ClosedLoopbackPort(), 1);
        QSignalSpy error(s.data(), &TSMSServer::OnSMSErrorResult);
        s->Send(Message());
        QVERIFY(error.wait());
        QCOMPARE(error.at(0).at(1).toInt(), 0);
        QTRY_VERIFY(s.isNull());
        QCOMPARE(gw.peer.received.count('\x03'), 1); // no submit frame
    }

    void loginOnlyIsReusable()
    {
        GatewayPeer gw;
        gw.loginReply = "+OK Credit left: 12340\r\n";
        std::unique_ptr<TSMSServer> s(NewServer(gw.peer.Port(), ClosedLoopbackPort(), 0));
        s->Tag = 1;
        QSignalSpy login(s.get(), &TSMSServer::OnSMSLogin);
        s->Connect();
        QVERIFY(login.wait());
        QCOMPARE(login.at(0).at(1).toInt(), 12340);
        QCOMPARE(login.at(0).at(2).toInt(), -1);
        QCOMPARE(login.at(0).at(3).value<quint8>(), quint8(1));
        QCOMPARE(s->State(), quint8(1));
        s->Tag = 0;
        s->Connect();
        QVERIFY(login.wait());
        QCOMPARE(login.size(), 2);
        QCOMPARE(login.at(1).at(3).value<quint8>(), quint8(0));
        QCOMPARE(gw.peer.connections, 2);
    }

    void loginOnlyRefused_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("err") << QByteArray("-ERR LOGIN FAILED\r\n");
        QTest::newRow("binary") << QByteArray("\x00\x9f\x10", 3);
        QTest::newRow("huge") << QByteArray(3 << 20, 'x') + "\n";
        QTest::newRow("huge without line end") << QByteArray(3 << 20, 'y');
    }
    void loginOnlyRefused()
    {
        QFETCH(QByteArray, reply);
        GatewayPeer gw;
        gw.loginReply = reply;
        std::unique_ptr<TSMSServer> s(NewServer(gw.peer.Port(), ClosedLoopbackPort(), 0));
        QSignalSpy login(s.get(), &TSMSServer::OnSMSLogin);
        s->Connect();
        QVERIFY(login.wait(10000));
        QTest::qWait(TSMSServer::ReplyQuietMs * 2);
        QCOMPARE(login.size(), 1); // decided once, however the bytes arrived
        QCOMPARE(login.at(0).at(1).toInt(), 0);
        QCOMPARE(login.at(0).at(2).toInt(), 0);
    }

    void splitReply_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("credit");
        QTest::addColumn<int>("status");
        // The first piece holds two bytes of the reply; the rest follows 100 ms later.
        QTest::newRow("keyword cut") << QByteArray("+OK Credit left: 77\r\n") << 77 << -1;
        QTest::newRow("blank line first") << QByteArray("\r\n+OK Credit left: 88\r\n") << 88 << -1;
        QTest::newRow("refusal cut") << QByteArray("-ERR LOGIN FAILED\r\n") << 0 << 0;
        QTest::newRow("blank line only") << QByteArray("\r\n") << 0 << 0;
    }
    void splitReply()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, credit);
        QFETCH(int, status);
        GatewayPeer gw;
        gw.loginReply = reply;
        gw.splitGapMs = 100;
        std::unique_ptr<TSMSServer> s(NewServer(gw.peer.Port(), ClosedLoopbackPort(), 0));
        QSignalSpy login(s.get(), &TSMSServer::OnSMSLogin);
        s->Connect();
        QVERIFY(login.wait());
        QCOMPARE(login.at(0).at(1).toInt(), credit);
        QCOMPARE(login.at(0).at(2).toInt(), status);
        QTest::qWait(200);
        QCOMPARE(login.size(), 1);
    }

    void replyWithoutLineEndAfterQuiet()
    {
        GatewayPeer gw;
        gw.loginReply = "+OK Credit left: 99";
        std::unique_ptr<TSMSServer> s(NewServer(gw.peer.Port(), ClosedLoopbackPort(), 0));
        QSignalSpy login(s.get(), &TSMSServer::OnSMSLogin);
        s->Connect();
        QVERIFY(login.wait());
        QCOMPARE(login.at(0).at(1).toInt(), 99);
    }

    void fallsBackToTheSecondPort()
    {
        GatewayPeer gw;
        QPointer<TSMSServer> s = NewServer(ClosedLoopbackPort(), gw.peer.Port(), 1);
        QPointer<TfndTCPClient> first = s->Client();
        QSignalSpy ok(s.data(), &TSMSServer::OnSMSOKResult);
        s->Send(Message());
        QVERIFY(ok.wait(5000));
        QVERIFY(first.isNull()); // the failed connection was discarded after its event
        QCOMPARE(gw.peer.connections, 1);
    }

    void bothPortsClosedLoginOnly()
    {
        std::unique_ptr<TSMSServer> s(NewServer(ClosedLoopbackPort(), ClosedLoopbackPort(), 0));
        s->Tag = 3;
        QSignalSpy login(s.get(), &TSMSServer::OnSMSLogin);
        s->Connect();
        QVERIFY(login.wait());
        QCOMPARE(login.at(0).at(1).toInt(), 0);
        QCOMPARE(login.at(0).at(2).toInt(), 10061);
        QCOMPARE(login.at(0).at(3).value<quint8>(), quint8(3));
    }

    void bothPortsClosedSendMode()
    {
        QPointer<TSMSServer> s = NewServer(ClosedLoopbackPort(), ClosedLoopbackPort(), 1);
        QSignalSpy error(s.data(), &TSMSServer::OnSMSErrorResult);
        s->Send(Message());
        QVERIFY(error.wait());
        QCOMPARE(error.at(0).at(1).toInt(), 0);
        QTRY_VERIFY(s.isNull());
    }

    void hangUpWithoutAnswer()
    {
        GatewayPeer gw;
        gw.closeOnFrame = '\x05';
        QPointer<TSMSServer> s = NewServer(gw.peer.Port(), ClosedLoopbackPort(), 1);
        QSignalSpy error(s.data(), &TSMSServer::OnSMSErrorResult);
        s->Send(Message());
        QVERIFY(error.wait(5000));
        QCOMPARE(error.at(0).at(1).toInt(), 0);
    }

    // The gateway takes the connection and never answers the login.
    void silentGateway_data()
    {
        QTest::addColumn<quint8>("mode");
        QTest::newRow("login only") << quint8(0);
        QTest::newRow("send") << quint8(1);
    }
    void silentGateway()
    {
        QFETCH(quint8, mode);
        ScriptedPeer silent;
        QPointer<TSMSServer> s = NewServer(silent.Port(), ClosedLoopbackPort(), mode);
        s->Client()->SetTimeOut(300);
        QSignalSpy login(s.data(), &TSMSServer::OnSMSLogin);
        QSignalSpy error(s.data(), &TSMSServer::OnSMSErrorResult);
        mode == 0 ? s->Connect() : s->Send(Message());
        QTRY_COMPARE_WITH_TIMEOUT(login.size() + error.size(), 1, 10000);
        QTRY_COMPARE(silent.closed, 1);             // the unanswered connection is closed
        QCOMPARE(silent.received.count('\x03'), 1); // the login frame only
        if (mode == 0) {
            QCOMPARE(login.at(0).at(1).toInt(), 0);
            QCOMPARE(login.at(0).at(2).toInt(), int(TSMSServer::NoLoginReplyStatus));
            delete s.data();
        } else {
            QCOMPARE(error.at(0).at(1).toInt(), 0);
            QTRY_VERIFY(s.isNull());
        }
    }

    void hangUpOnLoginWithoutAnswer()
    {
        GatewayPeer gw;
        gw.closeOnFrame = '\x06';
        std::unique_ptr<TSMSServer> s(NewServer(gw.peer.Port(), ClosedLoopbackPort(), 0));
        QSignalSpy login(s.get(), &TSMSServer::OnSMSLogin);
        s->Connect();
        QVERIFY(login.wait(5000));
        QCOMPARE(login.at(0).at(1).toInt(), 0);
        QCOMPARE(login.at(0).at(2).toInt(), int(TSMSServer::ConnectionClosedStatus));
    }

    void proxySettings()
    {
        std::unique_ptr<TSMSServer> s(NewServer(80, 26, 0));
        s->SetProxy(true, QStringLiteral(" proxy.example "), 3128, true, QStringLiteral("u"),
                    QStringLiteral("p"));
        QCOMPARE(s->Proxy().Host, QStringLiteral(" proxy.example ")); // kept untrimmed
        QCOMPARE(s->Proxy().Port, QStringLiteral("3128"));
        QVERIFY(s->Proxy().UseAuthentication);
        QCOMPARE(s->Client()->Port(), QStringLiteral("80"));
        QCOMPARE(s->Client()->TimeOut(), 20000);
    }
};

QTEST_GUILESS_MAIN(TestSMSServer)
#include "TestSMSServer.moc"
