#include "NetTestSupport.h"
#include "i18n/GlobalTexts.h"
#include "net/GatewayResults.h"
#include "net/SMSServer.h"
#include "net/TcpClient.h"
#include "settings/SettingsHolder.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Send and credit results, as their signals report them.
class TestGatewayResults : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TSettingsHolder> m_settings;
    std::unique_ptr<TGlobalTexts> m_texts;
    std::unique_ptr<TGatewayResults> m_results;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        const QString registry = m_dir->filePath(QStringLiteral("registry.reg"));
        m_settings = std::make_unique<TSettingsHolder>(registry);
        m_settings->LoadSettings(false);
        // Nothing listens on the gateway ports: sessions started here never reach anything.
        m_settings->WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("GatewayHost"),
                                     RegValue::String(QStringLiteral("127.0.0.1")));
        m_settings->WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("GatewayPort"),
                                     RegValue::Dword(ClosedLoopbackPort()));
        m_settings->WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("GatewayFallbackPort"),
                                     RegValue::Dword(ClosedLoopbackPort()));
        m_settings->LoadSettings(false);
        m_settings->SetUserName(QStringLiteral("mario"));
        m_settings->SetPassword(QStringLiteral("secret"));
        m_settings->SetSender(QStringLiteral("Mario"));
        m_texts = std::make_unique<TGlobalTexts>();
        m_texts->ApplyLanguage(QStringLiteral("ENG"));
        m_results = std::make_unique<TGatewayResults>(*m_settings, *m_texts);
        m_results->SetLocale(QLocale(QLocale::Italian, QLocale::Italy));
    }
    void cleanup()
    {
        m_results.reset();
        m_settings.reset();
        m_dir.reset();
    }

    void creditText_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<qint64>("credit");
        QTest::addColumn<QString>("text");
        const QLocale comma(QLocale::Italian, QLocale::Italy);
        const QLocale point(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("comma") << "ITA" << comma << qint64(12340) << QStringLiteral("Credito: \u20AC 12,34");
        QTest::newRow("zero") << "ITA" << comma << qint64(0) << QStringLiteral("Credito: \u20AC 0,00");
        QTest::newRow("no grouping") << "ENG" << point << qint64(1234567)
                                     << QStringLiteral("Credits: \u20AC 1234.57");
        QTest::newRow("rounded half up")
            << "ENG" << point << qint64(5) << QStringLiteral("Credits: \u20AC 0.01");
        QTest::newRow("below a cent")
            << "ENG" << point << qint64(4) << QStringLiteral("Credits: \u20AC 0.00");
        QTest::newRow("negative") << "POR" << comma << qint64(-1500)
                                  << QStringLiteral("Credito: \u20AC -1,50");
    }
    void creditText()
    {
        QFETCH(QString, language);
        QFETCH(QLocale, locale);
        QFETCH(qint64, credit);
        QFETCH(QString, text);
        m_texts->ApplyLanguage(language);
        m_results->SetLocale(locale);
        QCOMPARE(m_results->CreditText(credit), text);
    }

    void creditReceived_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("tag");
        QTest::addColumn<bool>("notice");
        QTest::newRow("asked") << QStringLiteral("mario") << 1 << true;
        QTest::newRow("silent query") << QStringLiteral("mario") << 0 << false;
        QTest::newRow("demo account, empty field") << QString() << 1 << false;
        QTest::newRow("demo account in capitals") << TSettingsHolder::DemoUserName().toUpper() << 1 << false;
    }
    void creditReceived()
    {
        QFETCH(QString, user);
        QFETCH(int, tag);
        QFETCH(bool, notice);
        m_settings->SetUserName(user);
        m_texts->ApplyLanguage(QStringLiteral("ITA"));
        QSignalSpy credit(m_results.get(), &TGatewayService::creditReceived);
        QSignalSpy connection(m_results.get(), &TGatewayService::connectionStateChanged);
        m_results->SMSLogin(nullptr, 12340, -1, static_cast<quint8>(tag));
        QCOMPARE(credit.size(), 1);
        QCOMPARE(credit.at(0).at(0).toLongLong(), qint64(12340));
        QCOMPARE(credit.at(0).at(1).toString(), QStringLiteral("Credito: \u20AC 12,34"));
        QCOMPARE(credit.at(0).at(2).toBool(), notice);
        QCOMPARE(connection.size(), 1);
        QCOMPARE(connection.at(0).at(0).toBool(), false);
        QVERIFY(m_results->IsCreditReleasePending());
    }

    void failedQueryTexts_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("refused login") << 0 << QStringLiteral("UserID/Password syntax error.");
        QTest::newRow("10013") << 10013 << QStringLiteral("Not Connected, check antivirus/firewall.");
        QTest::newRow("10051") << 10051 << QStringLiteral("Not Connected, check internet/firewall.");
        QTest::newRow("10060") << 10060 << QStringLiteral("Not Connected, check internet/firewall.");
        QTest::newRow("10061") << 10061 << QStringLiteral("Not Connected, check internet/firewall.");
        QTest::newRow("40102") << 40102 << QStringLiteral("Not Connected, check internet/firewall.");
        QTest::newRow("11004") << 11004 << QStringLiteral("Connection timeout.");
        QTest::newRow("other") << 12345 << QStringLiteral("Error code 12345");
        QTest::newRow("socks rule set") << 40002 << QStringLiteral("Error code 40002");
    }
    void failedQueryTexts()
    {
        QFETCH(int, status);
        QFETCH(QString, text);
        QSignalSpy refused(m_results.get(), &TGatewayService::loginRefused);
        QSignalSpy credit(m_results.get(), &TGatewayService::creditReceived);
        m_results->SMSLogin(nullptr, 0, status, 1);
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused.at(0).at(0).toInt(), status);
        QCOMPARE(refused.at(0).at(1).toString(), text);
        QCOMPARE(credit.size(), 0);
        QVERIFY(!m_results->IsCreditReleasePending());
    }

    void submissionOutcomes_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("demoNotices");
        QTest::newRow("accepted") << QStringLiteral("mario") << true << 0;
        QTest::newRow("accepted for the demo account") << QString() << true << 1;
        QTest::newRow("refused") << QStringLiteral("mario") << false << 0;
        QTest::newRow("refused for the demo account") << QString() << false << 0;
    }
    void submissionOutcomes()
    {
        QFETCH(QString, user);
        QFETCH(bool, accepted);
        QFETCH(int, demoNotices);
        m_settings->SetUserName(user);
        QSignalSpy sent(m_results.get(), &TGatewayService::sendAccepted);
        QSignalSpy notSent(m_results.get(), &TGatewayService::sendRefused);
        QSignalSpy demo(m_results.get(), &TGatewayService::demoNoticeDue);
        if (accepted)
            m_results->SMSOKResult(nullptr, 4321);
        else
            m_results->SMSErrorResult(nullptr, 17, 0);
        QCOMPARE(sent.size(), accepted ? 1 : 0);
        QCOMPARE(notSent.size(), accepted ? 0 : 1);
        const QList<QVariant> outcome = accepted ? sent.at(0) : notSent.at(0);
        QCOMPARE(outcome.at(accepted ? 0 : 1).toString(),
                 accepted ? QStringLiteral("Message sent") : QStringLiteral("Message not sent"));
        QCOMPARE(outcome.at(accepted ? 1 : 0).toLongLong(), accepted ? qint64(4321) : qint64(17));
        QCOMPARE(demo.size(), demoNotices);
    }

    void sendBuildsTheRecord_data()
    {
        QTest::addColumn<QString>("destinations");
        QTest::addColumn<int>("quality");
        QTest::addColumn<bool>("unicode");
        QTest::addColumn<QByteArray>("recDestinations");
        QTest::addColumn<QByteArray>("recQuality");
        QTest::addColumn<QByteArray>("fileName");
        QTest::newRow("one trailing separator removed")
            << "+391;+392;;" << 0 << false << QByteArray("+391;+392;") << QByteArray("H")
            << QByteArray("file.sms");
        QTest::newRow("medium") << "+391;" << 1 << true << QByteArray("+391") << QByteArray("M")
                                << QByteArray("file.UNI");
        QTest::newRow("quality 5 is high")
            << "+391" << 5 << false << QByteArray("+391") << QByteArray("H") << QByteArray("file.sms");
    }
    void sendBuildsTheRecord()
    {
        QFETCH(QString, destinations);
        QFETCH(int, quality);
        QFETCH(bool, unicode);
        QFETCH(QByteArray, recDestinations);
        QFETCH(QByteArray, recQuality);
        QFETCH(QByteArray, fileName);
        m_results->SendSMS(destinations, "Ciao", unicode, static_cast<quint8>(quality), true, 47485.5);
        TSMSServer* session = m_results->SendSession();
        QVERIFY(session);
        const TRecSMS& sms = session->Sms();
        QCOMPARE(sms.Destinations, recDestinations);
        QCOMPARE(sms.Quality, recQuality);
        QCOMPARE(sms.FileName, fileName);
        QCOMPARE(sms.Sender, QByteArray("Mario"));
        QCOMPARE(sms.Text, QByteArray("Ciao"));
        QVERIFY(sms.Anonymous);
        QVERIFY(!sms.FlagF);
        QCOMPARE(sms.ScheduleTime, 47485.5);
        QCOMPARE(session->UserName, QByteArray("mario"));
        QCOMPARE(session->SendMode, quint8(1));
        QVERIFY(session->Client()->Active());
    }

    void failedSendReportsAndEnds()
    {
        QSignalSpy refused(m_results.get(), &TGatewayService::sendRefused);
        QVERIFY(m_results->SendSMS(QStringLiteral("+391;"), "x", false, 0, false, 0));
        QVERIFY(refused.wait());
        QCOMPARE(refused.at(0).at(1).toString(), QStringLiteral("Message not sent"));
        QTRY_VERIFY(!m_results->SendSession());
        m_results->DropSessions(); // nothing left to release twice
    }

    void sendThatCannotStartLeavesNoSession()
    {
        m_settings->WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("GatewayHost"),
                                     RegValue::String(QString()));
        m_settings->LoadSettings(false);
        QCOMPARE(m_settings->GetEndpoints().GatewayHost, QString());
        QSignalSpy refused(m_results.get(), &TGatewayService::sendRefused);
        for (int i = 0; i < 3; ++i)
            QVERIFY(!m_results->SendSMS(QStringLiteral("+391"), "x", false, 0, false, 0));
        QVERIFY(!m_results->SendSession());
        QTRY_COMPARE(m_results->findChildren<TSMSServer*>().size(), 0);
        QCOMPARE(refused.size(), 0); // nothing is shown
    }

    void queryInsideTheReleaseDelayKeepsTheSession()
    {
        m_results->AskCredit(0);
        QPointer<TSMSServer> session = m_results->CreditSession();
        m_results->SMSLogin(session, 10, -1, 0);
        QVERIFY(m_results->IsCreditReleasePending());
        // A new query before the release: the session it runs on is not released under it.
        m_results->AskCredit(1);
        QVERIFY(!m_results->IsCreditReleasePending());
        QTest::qWait(TGatewayResults::CreditReleaseMs * 2);
        QCOMPARE(m_results->CreditSession(), session.data());
        QVERIFY(session);
        QCOMPARE(session->Tag, quint8(1));
    }

    void creditSessionIsReusedThenReleased()
    {
        m_settings->SetProxyEnabled(true); // an empty proxy address attaches no proxy
        QSignalSpy refused(m_results.get(), &TGatewayService::loginRefused);
        m_results->AskCredit(1);
        QPointer<TSMSServer> first = m_results->CreditSession();
        QVERIFY(first);
        QCOMPARE(first->Tag, quint8(1));
        QVERIFY(refused.wait());
        QCOMPARE(refused.at(0).at(0).toInt(), 10061);
        // A failed query keeps the session for the next one.
        m_results->AskCredit(0);
        QCOMPARE(m_results->CreditSession(), first.data());
        QCOMPARE(first->Tag, quint8(0));
        // A successful login releases it 200 ms later.
        m_results->SMSLogin(first, 10, -1, 0);
        QVERIFY(m_results->CreditSession());
        QTRY_VERIFY(!m_results->CreditSession());
        QTRY_VERIFY(first.isNull());
    }

    void dropSessionsReleasesBoth()
    {
        QSignalSpy refused(m_results.get(), &TGatewayService::sendRefused);
        QSignalSpy loginRefused(m_results.get(), &TGatewayService::loginRefused);
        m_results->AskCredit(0);
        m_results->SendSMS(QStringLiteral("+391"), "x", false, 0, false, 0);
        QPointer<TSMSServer> credit = m_results->CreditSession();
        QPointer<TSMSServer> send = m_results->SendSession();
        m_results->DropSessions();
        QVERIFY(!m_results->CreditSession());
        QVERIFY(!m_results->SendSession());
        QTRY_VERIFY(credit.isNull() && send.isNull());
        QTest::qWait(50);
        QCOMPARE(refused.size() + loginRefused.size(), 0); // released sessions report nothing
    }
};

QTEST_GUILESS_MAIN(TestGatewayResults)
#include "TestGatewayResults.moc"
