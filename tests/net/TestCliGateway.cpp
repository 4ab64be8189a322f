#include "PeerProcesses.h"
#include "cli/CliCommand.h"
#include "i18n/GlobalTexts.h"
#include "settings/SettingsHolder.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <ctime>

// brelmont-cli send and credit, run in-process against brelmont-provider-sim with the
// test's own registry file.
class TestCliGateway : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        int code = -1;
        QString out;
        QString err;
    };

    static Run Cli(int (*command)(const QStringList&, CliIo), const QStringList& args)
    {
        Run run;
        QTextStream out(&run.out);
        QTextStream err(&run.err);
        run.code = command(args, CliIo{out, err});
        out.flush();
        err.flush();
        return run;
    }

    // The settings the commands will read: account, language, gateway and proxy.
    static void Configure(quint16 port, quint16 fallback, int timeZone = 1, quint16 proxyPort = 0,
                          const QString& proxyUser = {}, const QString& proxyPassword = {})
    {
        TSettingsHolder settings;
        settings.LoadSettings(false);
        settings.SetUserName(QStringLiteral("mario"));
        settings.SetRememberPwd(true);
        settings.SetPassword(QStringLiteral("secret"));
        settings.SetLanguage(QStringLiteral("ENG"));
        settings.SetSender(QStringLiteral("Brelmont"));
        settings.SetTimeZone(timeZone);
        settings.SetProxyEnabled(proxyPort != 0);
        settings.SetProxyAddress(QStringLiteral("127.0.0.1"));
        settings.SetProxyPort(proxyPort);
        settings.SetProxyAuthEnabled(!proxyUser.isEmpty());
        settings.SetProxyUsername(proxyUser);
        settings.SetProxyPassword(proxyPassword);
        QVERIFY(settings.SaveSettings());
        settings.WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("GatewayHost"),
                                  RegValue::String(QStringLiteral("127.0.0.1")));
        settings.WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("GatewayPort"),
                                  RegValue::Dword(port));
        settings.WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("GatewayFallbackPort"),
                                  RegValue::Dword(fallback));
    }

    static QJsonObject LastLogged(const ProviderSim& sim)
    {
        const QList<QByteArray> lines = sim.LogLines();
        return lines.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(lines.last()).object();
    }

    static QString Euro(const QString& whole, const QString& cents)
    {
        return QStringLiteral("Credits: \u20AC ") + whole + QLocale::system().decimalPoint() + cents;
    }

    // credit, send, credit again: the printed credits follow the stand-in's account and the
    // submit frame reaches it byte for byte.
    static void CreditSendCredit(const ProviderSim& sim)
    {
        Run run = Cli(RunCreditCommand, {});
        QCOMPARE(run.code, int(CliOk));
        QCOMPARE(run.out, Euro(QStringLiteral("12"), QStringLiteral("34")) + u'\n');

        run = Cli(RunSendCommand, {QStringLiteral("--to"), QStringLiteral("+39 333-111, +39347222"),
                                   QStringLiteral("--text"), QStringLiteral("Ciao \u20AC")});
        QCOMPARE(run.code, int(CliOk));
        QCOMPARE(run.out,
                 QStringLiteral("Message sent\n") + Euro(QStringLiteral("12"), QStringLiteral("14")) + u'\n');
        const QJsonObject entry = LastLogged(sim);
        QCOMPARE(
            entry.value(QStringLiteral("frame")).toString(),
            QStringLiteral("0b052b3339333333313131044272656c6d6f6e74044369616f2080044e0466696c652e736d7304"
                           "48072b333933343732323200433403"));

        run = Cli(RunCreditCommand, {});
        QCOMPARE(run.out, Euro(QStringLiteral("12"), QStringLiteral("14")) + u'\n');
    }

private slots:
    void badArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no recipient") << QStringList{QStringLiteral("--text"), QStringLiteral("hi")};
        QTest::newRow("no text") << QStringList{QStringLiteral("--to"), QStringLiteral("+39333111")};
        QTest::newRow("quality") << QStringList{QStringLiteral("--to"),      QStringLiteral("+39333111"),
                                                QStringLiteral("--text"),    QStringLiteral("hi"),
                                                QStringLiteral("--quality"), QStringLiteral("low")};
        QTest::newRow("time format") << QStringList{QStringLiteral("--to"),   QStringLiteral("+39333111"),
                                                    QStringLiteral("--text"), QStringLiteral("hi"),
                                                    QStringLiteral("--at"),   QStringLiteral("tomorrow")};
        QTest::newRow("time in the past") << QStringList{
            QStringLiteral("--to"), QStringLiteral("+39333111"), QStringLiteral("--text"),
            QStringLiteral("hi"),   QStringLiteral("--at"),      QStringLiteral("2001-01-01 10:00")};
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")};
    }
    void badArguments()
    {
        QFETCH(QStringList, args);
        const Run run = Cli(RunSendCommand, args);
        QCOMPARE(run.code, int(CliBadArguments));
        QVERIFY(!run.err.isEmpty());
    }

    void sendAndCredit()
    {
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340")}));
        Configure(sim.port, sim.fallbackPort);
        CreditSendCredit(sim);
    }

    void unicodeMediumScheduled()
    {
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340")}));
        Configure(sim.port, sim.fallbackPort, 2); // the user is at UTC+2
        const Run run =
            Cli(RunSendCommand,
                {QStringLiteral("--to"), QStringLiteral("+39333111"), QStringLiteral("--text"),
                 QStringLiteral("Привет\nмир"), QStringLiteral("--quality"), QStringLiteral("medium"),
                 QStringLiteral("--anonymous"), QStringLiteral("--at"), QStringLiteral("2030-01-02 10:00")});
        QCOMPARE(run.code, int(CliOk));
        const QJsonObject entry = LastLogged(sim);
        QCOMPARE(entry.value(QStringLiteral("text")).toString(), QStringLiteral("Привет\r\nмир"));
        QCOMPARE(entry.value(QStringLiteral("unicode")).toBool(), true);
        QCOMPARE(entry.value(QStringLiteral("quality")).toString(), QStringLiteral("M"));
        QCOMPARE(entry.value(QStringLiteral("sender")).toString(), QStringLiteral("UNKNOWN"));
        // 10:00 at UTC+2 is 09:00 at the provider's UTC+1.
        QCOMPARE(entry.value(QStringLiteral("schedule")).toString(), QStringLiteral("2030-01-02T09:00:00"));
    }

    // A time that the local zone skips when daylight saving starts is still a valid provider
    // time: it is neither refused nor shifted.
    void scheduledInsideLocalDaylightSavingGap_data()
    {
        QTest::addColumn<int>("timeZone");
        QTest::addColumn<QString>("at");
        QTest::addColumn<QString>("schedule");
        QTest::newRow("chosen in the gap")
            << 1 << QStringLiteral("2030-03-31 02:30") << QStringLiteral("2030-03-31T02:30:00");
        QTest::newRow("converted into the gap")
            << 2 << QStringLiteral("2030-03-31 03:45") << QStringLiteral("2030-03-31T02:45:00");
    }
    void scheduledInsideLocalDaylightSavingGap()
    {
        QFETCH(int, timeZone);
        QFETCH(QString, at);
        QFETCH(QString, schedule);
        const QByteArray previous = qgetenv("TZ");
        const bool hadZone = qEnvironmentVariableIsSet("TZ");
        qputenv("TZ", "Europe/Rome"); // the stand-in started below runs in it too
        tzset();
        const auto restoreZone = qScopeGuard([&] {
            if (hadZone)
                qputenv("TZ", previous);
            else
                qunsetenv("TZ");
            tzset();
        });
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340")}));
        Configure(sim.port, sim.fallbackPort, timeZone);
        const Run run =
            Cli(RunSendCommand, {QStringLiteral("--to"), QStringLiteral("+39333111"),
                                 QStringLiteral("--text"), QStringLiteral("hi"), QStringLiteral("--at"), at});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.code, int(CliOk));
        QCOMPARE(LastLogged(sim).value(QStringLiteral("schedule")).toString(), schedule);
    }

    void refusedSend()
    {
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:50")}));
        Configure(sim.port, sim.fallbackPort);
        const Run run = Cli(RunSendCommand, {QStringLiteral("--to"), QStringLiteral("+39333111"),
                                             QStringLiteral("--text"), QStringLiteral("hi")});
        QCOMPARE(run.code, int(CliRefused));
        QCOMPARE(run.out, QStringLiteral("Message not sent\n"));
        QVERIFY(run.err.contains(QStringLiteral("code 1")));
    }

    void fallbackThenBothClosed()
    {
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340"),
                           QStringLiteral("--primary-closed")}));
        Configure(sim.port, sim.fallbackPort);
        QCOMPARE(Cli(RunCreditCommand, {}).code, int(CliOk));

        Configure(ClosedLoopbackPort(), ClosedLoopbackPort());
        const Run run = Cli(RunCreditCommand, {});
        QCOMPARE(run.code, int(CliRefused));
        QCOMPARE(run.out, QStringLiteral("Not Connected, check internet/firewall.\n"));
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
        Configure(sim.port, sim.fallbackPort, 1, proxy.port, user, password);
        CreditSendCredit(sim);
    }

    void wrongProxyPassword()
    {
        if (!Microsocks::Available())
            QSKIP("microsocks is not installed");
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340")}));
        Microsocks proxy;
        QVERIFY(proxy.Start(QStringLiteral("proxyuser"), QStringLiteral("proxypass")));
        Configure(sim.port, sim.fallbackPort, 1, proxy.port, QStringLiteral("proxyuser"),
                  QStringLiteral("nope"));
        const Run run = Cli(RunCreditCommand, {});
        QCOMPARE(run.code, int(CliRefused));
        QCOMPARE(run.out, QStringLiteral("Not Connected, check internet/firewall.\n")); // 40102
        QVERIFY(sim.LogLines().isEmpty());
    }

    void throughDante()
    {
        if (!Dante::Available())
            QSKIP("dante-server is not installed");
        ProviderSim sim;
        QVERIFY(sim.Start({QStringLiteral("--account"), QStringLiteral("mario:secret:12340")}));
        Dante proxy;
        QVERIFY(proxy.Start(ClosedLoopbackPort()));
        Configure(sim.port, sim.fallbackPort, 1, proxy.port);
        CreditSendCredit(sim);
    }
};

QTEST_GUILESS_MAIN(TestCliGateway)
#include "TestCliGateway.moc"
