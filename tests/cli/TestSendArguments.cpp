#include "cli/CliCommand.h"

#include <QTest>

// The refusals of brelmont-cli send that come from the message rules; none reaches the network.
class TestSendArguments : public QObject
{
    Q_OBJECT

private slots:
    void refused_data();
    void refused();
};

void TestSendArguments::refused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("rejected number") << QStringList{QStringLiteral("--to"), QStringLiteral("+39333111;7"),
                                                    QStringLiteral("--text"), QStringLiteral("x")}
                                     << QStringLiteral("brelmont-cli send: not a phone number: '7'\n");
    QTest::newRow("text too long") << QStringList{QStringLiteral("--to"), QStringLiteral("+39333111"),
                                                  QStringLiteral("--text"),
                                                  QStringLiteral("a").repeated(612) + u'{'}
                                   << QStringLiteral("brelmont-cli send: the text is too long (614/612)\n");
    QTest::newRow("unicode text too long")
        << QStringList{QStringLiteral("--to"), QStringLiteral("+39333111"), QStringLiteral("--text"),
                       QStringLiteral("\u00E1").repeated(269)}
        << QStringLiteral("brelmont-cli send: the text is too long ((Unicode) 269/268)\n");
    QTest::newRow("list without members")
        << QStringList{QStringLiteral("--list"), QStringLiteral("Nessuna"), QStringLiteral("--text"),
                       QStringLiteral("x")}
        << QStringLiteral(
               "brelmont-cli send: at least one --to NUMBER or --list NAME with members is needed\n");
    QTest::newRow("only invalid values")
        << QStringList{QStringLiteral("--to"), QStringLiteral(";,;"), QStringLiteral("--text"),
                       QStringLiteral("x")}
        << QStringLiteral(
               "brelmont-cli send: at least one --to NUMBER or --list NAME with members is needed\n");
    const QStringList to{QStringLiteral("--to"), QStringLiteral("+39333111"), QStringLiteral("--text"),
                         QStringLiteral("x"), QStringLiteral("--at")};
    const QString atUsage = QStringLiteral("brelmont-cli send: --at takes \"YYYY-MM-DD HH:MM\"\n");
    QTest::newRow("--at with seconds") << to + QStringList{QStringLiteral("2030-01-01 10:00:00")} << atUsage;
    QTest::newRow("--at 24:00") << to + QStringList{QStringLiteral("2030-01-01 24:00")} << atUsage;
    QTest::newRow("--at 10:60") << to + QStringList{QStringLiteral("2030-01-01 10:60")} << atUsage;
    QTest::newRow("--at one-digit hour") << to + QStringList{QStringLiteral("2030-01-01 9:30")} << atUsage;
    QTest::newRow("--at 30 February") << to + QStringList{QStringLiteral("2030-02-30 10:00")} << atUsage;
    QTest::newRow("too long number alone")
        << QStringList{QStringLiteral("--to"), QStringLiteral("99999999999999999999"),
                       QStringLiteral("--text"), QStringLiteral("x")}
        << QStringLiteral(
               "brelmont-cli send: left out '99999999999999999999': more than 18 significant digits\n"
               "brelmont-cli send: at least one --to NUMBER or --list NAME with members is needed\n");
}

void TestSendArguments::refused()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int code = RunSendCommand(args, CliIo{outStream, errStream});
    outStream.flush();
    errStream.flush();
    QCOMPARE(code, int(CliBadArguments));
    QCOMPARE(err, message);
    QCOMPARE(out, QString());
}

QTEST_GUILESS_MAIN(TestSendArguments)
#include "TestSendArguments.moc"
