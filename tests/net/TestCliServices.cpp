#include "PeerProcesses.h"
#include "cli/CliCommand.h"
#include "net/NumberLookup.h"
#include "settings/SettingsHolder.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// brelmont-cli lookup and suggest, run in-process against brelmont-provider-sim, directly and
// through microsocks; the stand-in deciphers and reads every request with its own code.
class TestCliServices : public QObject
{
    Q_OBJECT

    struct Run
    {
        int code = -1;
        QString out;
        QString err;
    };

    template <typename Command, typename... Extra>
    static Run Cli(Command command, const QStringList& args, Extra... extra)
    {
        Run run;
        QTextStream out(&run.out);
        QTextStream err(&run.err);
        run.code = command(args, CliIo{out, err}, extra...);
        out.flush();
        err.flush();
        return run;
    }

    // An account whose name and password need escaping, the Portuguese interface, the stand-in's
    // ports and, when proxyPort is set, microsocks.
    static void Configure(const ProviderSim& sim, quint16 proxyPort = 0, const QString& proxyUser = {})
    {
        TSettingsHolder s;
        s.LoadSettings(false);
        s.SetUserName(QStringLiteral("ma&rio"));
        s.SetRememberPwd(true);
        s.SetPassword(QStringLiteral("p\\w<è"));
        s.SetLanguage(QStringLiteral("POR"));
        s.SetProxyEnabled(proxyPort != 0);
        s.SetProxyAddress(QStringLiteral("127.0.0.1"));
        s.SetProxyPort(proxyPort);
        s.SetProxyAuthEnabled(!proxyUser.isEmpty());
        s.SetProxyUsername(proxyUser);
        s.SetProxyPassword(QStringLiteral("socks-pw"));
        QVERIFY(s.SaveSettings());
        const QString loopback = QStringLiteral("127.0.0.1");
        const QList<std::pair<const char*, RegValue>> endpoints{
            {"ServiceHost", RegValue::String(loopback)},
            {"ServicePort", RegValue::Dword(sim.ports.value(QStringLiteral("service-port")))},
            {"SuggestionHost", RegValue::String(loopback)},
            {"SuggestionPort", RegValue::Dword(sim.httpPort)}};
        for (const auto& [name, value] : endpoints)
            QVERIFY(s.WriteStoredValue(TEndpoints::KeyPath(), QString::fromLatin1(name), value));
    }

    static QJsonObject Logged(const ProviderSim& sim, const char* kind)
    {
        const QList<QByteArray> lines = sim.LogLines();
        for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
            const QJsonObject entry = QJsonDocument::fromJson(*it).object();
            if (entry.value(QStringLiteral("kind")).toString() == QLatin1StringView(kind))
                return entry;
        }
        return {};
    }

    static bool StartSim(ProviderSim& sim, const QStringList& extra = {})
    {
        return sim.Start(QStringList{QStringLiteral("--account"), QStringLiteral("ma&rio:p\\w<è:1000"),
                                     QStringLiteral("--lookup"), QStringLiteral("+39 333&1:ported"),
                                     QStringLiteral("--lookup"), QStringLiteral("404:fault"),
                                     QStringLiteral("--lookup"), QStringLiteral("500:silent")} +
                         extra);
    }

private slots:
    void lookupAndSuggest_data()
    {
        QTest::addColumn<QString>("proxy");
        QTest::newRow("direct") << QString();
        QTest::newRow("microsocks") << QStringLiteral("none");
        QTest::newRow("microsocks with password") << QStringLiteral("socks-user");
    }
    void lookupAndSuggest()
    {
        QFETCH(QString, proxy);
        ProviderSim sim;
        QVERIFY(StartSim(sim));
        Microsocks socks;
        if (!proxy.isEmpty()) {
            if (!Microsocks::Available())
                QSKIP("microsocks is not installed");
            QVERIFY(socks.Start(proxy == u"none" ? QString() : proxy, QStringLiteral("socks-pw")));
        }
        Configure(sim, socks.port, proxy == u"none" ? QString() : proxy);

        Run run = Cli(RunLookupCommand, {QStringLiteral("+39 333&1")}, 0);
        QCOMPARE(run.code, int(CliOk));
        TLookupTexts texts;
        texts.ApplyLanguage(QStringLiteral("POR"));
        QCOMPARE(
            run.out.split(u'\n'),
            (QStringList{texts.NumberCaption + QStringLiteral(" +39 333&1"),
                         texts.OperatorCaption + QStringLiteral(" Vireo Telecom"),
                         texts.MCCCaption + QStringLiteral(" 222"), texts.MNCCaption + QStringLiteral(" 10"),
                         texts.ZoneCaption + QStringLiteral(" Milano"),
                         texts.StatusCaption + u' ' + texts.Reachable, QString()}));
        const QJsonObject fields = Logged(sim, "lookup").value(QStringLiteral("fields")).toObject();
        QCOMPARE(fields.value(QStringLiteral("user")).toString(), QStringLiteral("ma&rio"));
        QCOMPARE(fields.value(QStringLiteral("password")).toString(), QStringLiteral("p\\w<è"));
        QCOMPARE(fields.value(QStringLiteral("dest")).toString(), QStringLiteral("+39 333&1"));
        QCOMPARE(fields.value(QStringLiteral("lang")).toString(), QStringLiteral("PO"));

        run = Cli(RunLookupCommand, {QStringLiteral("404")}, 0);
        QCOMPARE(run.code, int(CliRefused));
        QCOMPARE(run.err, QStringLiteral("Number not in service\n"));
        QVERIFY(run.out.startsWith(texts.NumberCaption + QStringLiteral(" 404\n")));

        const QString idea = QStringLiteral("Idea & <più> \\ con &BODY= dentro");
        QBuffer input;
        input.setData(idea.toUtf8() + "\nsecond line\n");
        input.open(QIODevice::ReadOnly);
        run = Cli(RunSuggestCommand, {}, &input, 0);
        QCOMPARE(run.code, int(CliOk));
        const QJsonObject entry = Logged(sim, "suggestion");
        QCOMPARE(entry.value(QStringLiteral("ok")).toBool(), true);
        const QJsonObject form = entry.value(QStringLiteral("fields")).toObject();
        QCOMPARE(form.value(QStringLiteral("BODY")).toString(), idea + QStringLiteral("\r\nsecond line"));
        QCOMPARE(form.value(QStringLiteral("PASSWORD")).toString(), QStringLiteral("p\\w<è"));
        QCOMPARE(form.value(QStringLiteral("LANGUAGE")).toString(), QStringLiteral("POR"));
        QCOMPARE(entry.value(QStringLiteral("head")).toArray().at(1).toString(),
                 QStringLiteral("Host: 127.0.0.1"));

        if (!proxy.isEmpty()) { // the requests went through the proxy: without it they fail
            socks.process.kill();
            socks.process.waitForFinished();
            QCOMPARE(Cli(RunLookupCommand, {QStringLiteral("1")}, 0).code, int(CliRefused));
        }
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<bool>("suggest");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("silent service") << QStringList() << false << QStringList{QStringLiteral("500")};
        QTest::newRow("suggestion refused")
            << QStringList{QStringLiteral("--suggestion-reply"), QStringLiteral("error")} << true
            << QStringList{QStringLiteral("--text"), QStringLiteral("x")};
        QTest::newRow("suggestion unanswered")
            << QStringList{QStringLiteral("--suggestion-reply"), QStringLiteral("stall")} << true
            << QStringList{QStringLiteral("--text"), QStringLiteral("x")};
    }
    void failures()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(bool, suggest);
        QFETCH(QStringList, args);
        ProviderSim sim;
        QVERIFY(StartSim(sim, simOptions));
        Configure(sim);
        const Run run = suggest ? Cli(RunSuggestCommand, args, static_cast<QIODevice*>(nullptr), 500)
                                : Cli(RunLookupCommand, args, 500);
        QCOMPARE(run.code, int(CliRefused));
        QVERIFY(!run.err.isEmpty());
        QCOMPARE(run.out.count(u'\n'), 1); // the failure text of the interface language
    }
};

QTEST_GUILESS_MAIN(TestCliServices)
#include "TestCliServices.moc"
