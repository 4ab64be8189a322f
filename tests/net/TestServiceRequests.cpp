#include "NetTestSupport.h"
#include "net/Cipher.h"
#include "net/NumberLookup.h"
#include "net/Suggestion.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// The lookup and suggestion services against scripted peers on loopback: every reply, good or
// broken, ends in exactly one outcome before the time-out, and nothing of a failed exchange
// stays open.
class TestServiceRequests : public QObject
{
    Q_OBJECT

    static constexpr int kTimeOutMs = 400;

    static TSuggestionContext SuggestionTo(quint16 port)
    {
        TSuggestionContext c;
        c.Route = {QStringLiteral("127.0.0.1"), port, std::nullopt};
        return c;
    }

    static TLookupContext LookupTo(quint16 port)
    {
        return {{QStringLiteral("127.0.0.1"), port, std::nullopt},
                {QStringLiteral("mario"), QStringLiteral("pw"), QStringLiteral("ENG")},
                {"OS", "00-00-00-00-00-01", "user", "2.0.0.1"}};
    }

    // True once the bytes hold a whole enciphered request.
    static bool WholeRequest(const QByteArray& in)
    {
        return in.size() > 4 && (in.size() - 4) % 16 == 0 && DecryptString(in).endsWith("</MESSAGE>");
    }

private slots:
    void lookupReplies_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces"); // written 50 ms apart
        QTest::addColumn<bool>("closeAfter");
        QTest::addColumn<QString>("outcome"); // the operator name, or what went wrong
        const QByteArray reply = EncryptString("<MESSAGE><RESULT>+OK</RESULT><OPERATOR><OPERATOR_NAME>Op"
                                               "</OPERATOR_NAME></OPERATOR></MESSAGE>");
        QTest::newRow("in three pieces")
            << QList{reply.left(3), reply.mid(3, 20), reply.mid(23)} << false << QStringLiteral("Op");
        QTest::newRow("silence") << QList<QByteArray>{} << false << QStringLiteral("no reply within");
        QTest::newRow("closed without reply")
            << QList<QByteArray>{} << true << QStringLiteral("without a reply");
        QTest::newRow("cut short") << QList{reply.left(20)} << true << QStringLiteral("before its document");
        QTest::newRow("not cipher") << QList{QByteArray("-ERR busy\r\n")} << false
                                    << QStringLiteral("not cipher");
        QTest::newRow("not xml") << QList{EncryptString("Service down")} << false
                                 << QStringLiteral("not a readable");
        QTest::newRow("entity bomb")
            << QList{EncryptString(
                   "<!DOCTYPE M [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>"
                   "<M><RESULT>&b;</RESULT></M>")}
            << false << QStringLiteral("document type");
        QTest::newRow("refused") << QList<QByteArray>{} << false << QStringLiteral("(10061)");
        QTest::newRow("10 MB") << QList{EncryptString(QByteArray(10 * 1024 * 1024, 'x'))} << false
                               << QStringLiteral("longer than");
    }
    void lookupReplies()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(bool, closeAfter);
        QFETCH(QString, outcome);
        ScriptedPeer peer([&](QTcpSocket* s, QByteArray& in) {
            if (!WholeRequest(in))
                return;
            in.clear();
            int delay = 0;
            for (const QByteArray& piece : pieces)
                QTimer::singleShot(delay++ * 50, s, [s, piece] { s->write(piece); });
            if (closeAfter)
                QTimer::singleShot(delay * 50, s, [s] { s->disconnectFromHost(); });
        });
        const bool refused = outcome == u"(10061)"; // nobody listens
        TNumberLookup lookup([&] { return LookupTo(refused ? ClosedLoopbackPort() : peer.Port()); });
        lookup.SetTimeOut(kTimeOutMs);
        QSignalSpy done(&lookup, &TNumberLookup::lookupDone);
        QSignalSpy failed(&lookup, &TNumberLookup::lookupFailed);
        const quint64 id = lookup.RequestLookup(QStringLiteral("+39333"));
        QTRY_COMPARE_WITH_TIMEOUT(done.size() + failed.size(), 1, 5000);
        if (!done.isEmpty()) {
            QCOMPARE(done.first().at(0).toULongLong(), id);
            QCOMPARE(done.first().at(1).value<TLookupResponse>().Details.OperatorName, outcome);
        } else {
            QCOMPARE(failed.first().at(0).toULongLong(), id);
            QCOMPARE(failed.first().at(1).toString(), QStringLiteral("+39333"));
            const QString problem = failed.first().at(2).toString();
            QVERIFY2(problem.contains(outcome), qPrintable(problem));
            QTRY_COMPARE(peer.closed, refused ? 0 : 1); // the exchange let go of its connection
        }
        QTest::qWait(kTimeOutMs + 100);
        QCOMPARE(done.size() + failed.size(), 1);
        QCOMPARE(lookup.PendingCount(), 0);
    }

    // Two lookups at once each get their own connection and their own reply.
    void lookupsAtOnce()
    {
        ScriptedPeer peer([](QTcpSocket* s, QByteArray& in) {
            if (!WholeRequest(in))
                return;
            const QByteArray plain = DecryptString(in);
            const qsizetype at = plain.indexOf("<DEST>") + 6;
            const QByteArray dest = plain.mid(at, plain.indexOf("</DEST>") - at);
            in.clear();
            s->write(EncryptString("<M><RESULT>+OK</RESULT><MSISDN_DATA><MSISDN>" + dest +
                                   "!</MSISDN></MSISDN_DATA></M>"));
        });
        TNumberLookup lookup([&] { return LookupTo(peer.Port()); });
        QSignalSpy done(&lookup, &TNumberLookup::lookupDone);
        const quint64 first = lookup.RequestLookup(QStringLiteral("111"));
        const quint64 second = lookup.RequestLookup(QStringLiteral("222"));
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 5000);
        QHash<quint64, QString> numbers;
        for (const QList<QVariant>& args : done)
            numbers.insert(args.at(0).toULongLong(), args.at(1).value<TLookupResponse>().Details.Number);
        QCOMPARE(numbers.value(first), QStringLiteral("111!"));
        QCOMPARE(numbers.value(second), QStringLiteral("222!"));
        QCOMPARE(peer.connections, 2);
    }

    void suggestionReplies_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<bool>("sent");
        QTest::newRow("+OK in pieces") << QList<QByteArray>{"HTTP/1.1 200 OK\r\n\r\n+", "ok\r\n"} << true;
        QTest::newRow("kept alive without +OK")
            << QList<QByteArray>{"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n-ERR"} << false;
        QTest::newRow("2000 bytes without +OK")
            << QList{QByteArray(1000, 'a'), QByteArray(1000, 'b') + "+OK"} << false;
    }
    void suggestionReplies()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(bool, sent);
        ScriptedPeer peer([&](QTcpSocket* s, QByteArray& in) {
            const qsizetype head = in.indexOf("\r\n\r\n");
            if (head < 0 ||
                in.size() <
                    head + 4 + in.mid(in.indexOf("Content-Length: ") + 16).split('\r').first().toInt())
                return;
            in.clear();
            int delay = 0;
            for (const QByteArray& piece : pieces)
                QTimer::singleShot(delay++ * 50, s, [s, piece] { s->write(piece); });
        });
        TSuggestionSender sender([&] { return SuggestionTo(peer.Port()); });
        QSignalSpy sentSpy(&sender, &TSuggestionSender::suggestionSent);
        QSignalSpy failedSpy(&sender, &TSuggestionSender::suggestionFailed);
        sender.SendSuggestion("idea");
        // Decided by the reply itself, long before the time-out.
        QTRY_COMPARE_WITH_TIMEOUT(sentSpy.size() + failedSpy.size(), 1, 5000);
        QCOMPARE(sentSpy.size(), sent ? 1 : 0);
        QVERIFY(DecryptString(peer.received.mid(peer.received.indexOf("\r\n\r\n") + 4))
                    .contains("&BODY=idea&OS="));
    }

    // A suggestion that got no answer ends its connection, so the next one is sent.
    void suggestionAfterTimeOut()
    {
        ScriptedPeer peer([&](QTcpSocket* s, QByteArray& in) {
            if (in.contains("\r\n\r\n") && peer.connections == 2)
                s->write("HTTP/1.1 200 OK\r\n\r\n+OK");
        });
        TSuggestionSender sender([&] { return SuggestionTo(peer.Port()); });
        sender.SetTimeOut(kTimeOutMs);
        QSignalSpy sent(&sender, &TSuggestionSender::suggestionSent);
        QSignalSpy failed(&sender, &TSuggestionSender::suggestionFailed);
        const quint64 first = sender.SendSuggestion("one");
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 5000);
        QCOMPARE(failed.first().at(0).toULongLong(), first);
        QTRY_COMPARE(peer.closed, 1);
        const quint64 second = sender.SendSuggestion("two");
        QTRY_COMPARE_WITH_TIMEOUT(sent.size(), 1, 5000);
        QCOMPARE(sent.first().at(0).toULongLong(), second);
        QCOMPARE(peer.connections, 2);
    }
};

QTEST_GUILESS_MAIN(TestServiceRequests)
#include "TestServiceRequests.moc"
